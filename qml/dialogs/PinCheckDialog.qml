import QtQuick 2.15
import QtQuick.Controls 2.15
import QtQuick.Controls.Material 2.15
import "../components"

// Asks for the application PIN before secrets leave the screen or the device: an account's QR
// code, the transfer codes, a backup file. Wrong entries count towards the same wait as on the
// lock screen.
Dialog {
    id: dialog

    property var app
    readonly property var limiter: app ? app.pinLimiter : null
    property var action: null
    property string error

    function ask(next) {
        action = next
        error = ""
        field.text = ""
        open()
    }

    function check() {
        if (limiter.locked || field.text.length === 0)
            return
        if (field.text === app.pinModel.getPinCode()) {
            limiter.recordSuccess()
            const next = action
            close()
            if (next)
                next()
            return
        }
        field.text = ""
        limiter.recordFailure()
        error = qsTr("Неверный PIN-код")
    }

    objectName: "pinCheckDialog"
    title: qsTr("Введите PIN-код")
    modal: true
    focus: true
    anchors.centerIn: Overlay.overlay
    width: Math.min(parent ? parent.width - 48 : 360, 400)
    onOpened: field.forceActiveFocus()
    onClosed: {
        action = null
        field.text = ""
    }
    onApplied: check()

    Column {
        width: parent.width
        spacing: 12

        PinField {
            id: field
            objectName: "pinCheckField"
            width: parent.width
            enabled: !dialog.limiter.locked
            onAccepted: dialog.check()
        }
        Label {
            objectName: "pinCheckError"
            width: parent.width
            visible: text.length > 0
            wrapMode: Text.Wrap
            color: Material.color(Material.Red)
            text: dialog.limiter.locked
                  ? qsTr("Слишком много неверных попыток. Повторите через %1.").arg(
                        dialog.app.formatWait(dialog.limiter.remainingSeconds))
                  : dialog.error
        }
    }

    footer: DialogButtonBox {
        Button {
            text: qsTr("Отмена")
            flat: true
            DialogButtonBox.buttonRole: DialogButtonBox.RejectRole
        }
        Button {
            objectName: "pinCheckButton"
            text: qsTr("Продолжить")
            flat: true
            enabled: !dialog.limiter.locked && field.text.length > 0
            DialogButtonBox.buttonRole: DialogButtonBox.ApplyRole
        }
    }
}
