import QtQuick 2.15
import QtQuick.Controls 2.15
import QtQuick.Controls.Material 2.15
import QtQuick.Layouts 1.15

// A new service name and account name for one account.
Dialog {
    id: dialog

    property var app
    property int accountId: -1
    property string hint
    property string error

    function edit(id, issuer, user, hintText) {
        accountId = id
        issuerField.text = issuer
        userField.text = user
        hint = hintText
        error = ""
        open()
    }

    function save() {
        error = app.namesError(issuerField.text, userField.text)
        if (error.length > 0)
            return
        if (!app.accounts.rename(accountId, issuerField.text.trim(), userField.text.trim())) {
            error = qsTr("Аккаунт не найден: возможно, он уже удалён")
            return
        }
        app.tick++
        close()
        app.showMessage(qsTr("Аккаунт изменён"))
    }

    objectName: "editDialog"
    // A popup takes its colours from the window, not from the item it is shown over; these
    // follow the item instead (the main item sets the theme).
    Material.theme: parent ? parent.Material.theme : Material.Light
    Material.accent: parent ? parent.Material.accent : Material.Teal
    title: qsTr("Изменить аккаунт")
    modal: true
    focus: true
    closePolicy: Popup.CloseOnEscape
    anchors.centerIn: Overlay.overlay
    width: Math.min(parent ? parent.width - 32 : 360, 420)
    onOpened: issuerField.forceActiveFocus()

    ColumnLayout {
        width: parent.width
        spacing: 4

        Label {
            Layout.fillWidth: true
            Layout.bottomMargin: 8
            visible: dialog.hint.length > 0
            text: dialog.hint
            wrapMode: Text.Wrap
        }
        Label { text: qsTr("Сервис"); opacity: 0.7 }
        TextField {
            id: issuerField
            objectName: "issuerField"
            Layout.fillWidth: true
            maximumLength: 256
            selectByMouse: true
            Accessible.name: qsTr("Сервис")
            onAccepted: dialog.save()
        }
        Label { text: qsTr("Имя"); opacity: 0.7 }
        TextField {
            id: userField
            objectName: "userField"
            Layout.fillWidth: true
            maximumLength: 256
            selectByMouse: true
            inputMethodHints: Qt.ImhNoAutoUppercase
            Accessible.name: qsTr("Имя")
            onAccepted: dialog.save()
        }
        Label {
            objectName: "editError"
            Layout.fillWidth: true
            visible: dialog.error.length > 0
            text: dialog.error
            wrapMode: Text.Wrap
            color: Material.color(Material.Red)
        }
    }

    footer: DialogButtonBox {
        Button {
            objectName: "cancelButton"
            text: qsTr("Отмена")
            flat: true
            DialogButtonBox.buttonRole: DialogButtonBox.RejectRole
        }
        Button {
            objectName: "saveButton"
            text: qsTr("Сохранить")
            flat: true
            DialogButtonBox.buttonRole: DialogButtonBox.ApplyRole
            onClicked: dialog.save()
        }
    }
}
