import QtQuick 2.15
import QtQuick.Controls 2.15
import QtQuick.Controls.Material 2.15
import QtQuick.Layouts 1.15

// The new account equals one already stored: replace it, keep both, or drop the new one.
Dialog {
    id: dialog

    property var accounts
    // The stored account, as the model names it when the choice is offered.
    property string issuer
    property string user
    property int row: -1

    signal replaceChosen
    signal keepBothChosen

    function offer() {
        issuer = accounts.duplicateIssuer
        user = accounts.duplicateUser
        row = accounts.duplicateRow
        open()
    }

    objectName: "duplicateDialog"
    // A popup takes its colours from the window, not from the item it is shown over; these
    // follow the item instead (the main item sets the theme).
    Material.theme: parent ? parent.Material.theme : Material.Light
    Material.accent: parent ? parent.Material.accent : Material.Teal
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
            wrapMode: Text.Wrap
            text: qsTr("В списке уже есть аккаунт с этим сервисом и именем:")
        }
        Label {
            objectName: "storedAccount"
            Layout.fillWidth: true
            Layout.topMargin: 4
            wrapMode: Text.Wrap
            textFormat: Text.PlainText
            font.bold: true
            text: (dialog.issuer || qsTr("Без названия")) + (dialog.user ? " — " + dialog.user : "")
        }
        Label {
            Layout.fillWidth: true
            visible: dialog.row >= 0
            opacity: 0.7
            text: qsTr("%1-й в списке").arg(dialog.row + 1)
        }
        Label {
            Layout.fillWidth: true
            Layout.topMargin: 8
            Layout.bottomMargin: 12
            wrapMode: Text.Wrap
            text: qsTr("Заменить его новым, сохранить оба или отменить добавление?")
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
