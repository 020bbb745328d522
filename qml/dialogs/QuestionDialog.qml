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
    // A popup takes its colours from the window, not from the item it is shown over; these
    // follow the item instead (the main item sets the theme).
    Material.theme: parent ? parent.Material.theme : Material.Light
    Material.accent: parent ? parent.Material.accent : Material.Teal
    focus: true
    anchors.centerIn: Overlay.overlay
    width: Math.min(parent ? parent.width - 48 : 360, 400)
    standardButtons: Dialog.NoButton

    Label {
        id: label
        // The dialog's own width: the content's would follow the text's height back into it.
        width: dialog.availableWidth
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
