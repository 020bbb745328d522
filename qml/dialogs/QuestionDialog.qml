import QtQuick 2.15
import QtQuick.Controls 2.15
import QtQuick.Controls.Material 2.15
import QtQuick.Layouts 1.15

// A question with a destructive answer, e.g. removing an account.
Dialog {
    id: dialog

    property alias text: label.text
    property string acceptText: qsTr("Удалить")

    modal: true
    focus: true
    anchors.centerIn: Overlay.overlay
    width: Math.min(parent ? parent.width - 48 : 360, 400)
    standardButtons: Dialog.NoButton

    Label {
        id: label
        width: parent.width
        wrapMode: Text.Wrap
        // Carries issuer and user names, which come from scanned codes and servers.
        textFormat: Text.PlainText
    }

    footer: DialogButtonBox {
        Button {
            objectName: "cancelButton"
            text: qsTr("Отмена")
            flat: true
            DialogButtonBox.buttonRole: DialogButtonBox.RejectRole
        }
        Button {
            objectName: "acceptButton"
            text: dialog.acceptText
            flat: true
            Material.foreground: Material.Red
            DialogButtonBox.buttonRole: DialogButtonBox.AcceptRole
        }
    }
}
