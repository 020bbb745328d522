import QtQuick 2.15
import QtQuick.Controls 2.15
import QtQuick.Controls.Material 2.15
import QtQuick.Layouts 1.15

// The new account equals one already stored: replace it, keep both, or drop the new one.
Dialog {
    id: dialog

    signal replaceChosen
    signal keepBothChosen

    objectName: "duplicateDialog"
    title: qsTr("Такой аккаунт уже есть")
    modal: true
    focus: true
    closePolicy: Popup.CloseOnEscape
    anchors.centerIn: Overlay.overlay
    width: Math.min(parent ? parent.width - 48 : 360, 420)

    ColumnLayout {
        width: parent.width
        spacing: 4

        Label {
            Layout.fillWidth: true
            Layout.bottomMargin: 12
            wrapMode: Text.Wrap
            text: qsTr("Аккаунт с этим сервисом и именем уже добавлен. Заменить его новым, сохранить оба или "
                       + "отменить добавление?")
        }
        Button {
            objectName: "rewriteButton"
            Layout.fillWidth: true
            text: qsTr("Заменить")
            highlighted: true
            onClicked: {
                dialog.close()
                dialog.replaceChosen()
            }
        }
        Button {
            objectName: "duplicateButton"
            Layout.fillWidth: true
            text: qsTr("Сохранить оба")
            onClicked: {
                dialog.close()
                dialog.keepBothChosen()
            }
        }
        Button {
            objectName: "cancelButton"
            Layout.fillWidth: true
            text: qsTr("Отмена")
            flat: true
            onClicked: dialog.close()
        }
    }
}
