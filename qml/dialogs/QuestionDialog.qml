import QtQuick 2.15
import QtQuick.Controls 2.15
import QtQuick.Controls.Material 2.15
import "../components"

// A question with a destructive answer, e.g. removing an account. With pinChecker set (an
// object whose checkPin(pin) gives an empty text for the right PIN, else the error to show), the
// answer counts only after the application PIN.
Dialog {
    id: dialog

    property alias text: label.text
    property string acceptText: qsTr("Удалить")
    property var pinChecker: null
    property string error

    function tryAccept() {
        if (pinChecker !== null) {
            error = pinChecker.checkPin(pinField.text)
            pinField.text = ""
            if (error.length > 0)
                return
        }
        accept()
    }

    modal: true
    // A popup takes its colours from the window, not from the item it is shown over; these
    // follow the item instead (the main item sets the theme).
    Material.theme: parent ? parent.Material.theme : Material.Light
    Material.accent: parent ? parent.Material.accent : Material.Teal
    focus: true
    anchors.centerIn: Overlay.overlay
    width: Math.min(parent ? parent.width - 48 : 360, 400)
    standardButtons: Dialog.NoButton
    onAboutToShow: {
        error = ""
        pinField.text = ""
    }
    onOpened: {
        if (pinChecker !== null)
            pinField.forceActiveFocus()
    }

    Column {
        width: parent.width
        spacing: 12

        Label {
            id: label
            width: parent.width
            wrapMode: Text.Wrap
        }
        Label {
            width: parent.width
            visible: dialog.pinChecker !== null
            text: qsTr("Введите PIN-код, чтобы продолжить")
        }
        PinField {
            id: pinField
            objectName: "questionPinField"
            width: parent.width
            visible: dialog.pinChecker !== null
            Accessible.name: qsTr("PIN-код")
            onAccepted: dialog.tryAccept()
        }
        Label {
            objectName: "questionError"
            width: parent.width
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
            objectName: "acceptButton"
            text: dialog.acceptText
            flat: true
            enabled: dialog.pinChecker === null || pinField.text.length > 0
            Material.foreground: Material.Red
            DialogButtonBox.buttonRole: DialogButtonBox.ApplyRole
            onClicked: dialog.tryAccept()
        }
    }
}
