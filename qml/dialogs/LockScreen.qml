import QtQuick 2.15
import QtQuick.Controls 2.15
import QtQuick.Controls.Material 2.15
import "../components"

// Covers the whole window, dialogs included, until the application PIN is entered.
Popup {
    id: lock

    property var app
    readonly property var pinModel: app ? app.pinModel : null
    readonly property var limiter: app ? app.pinLimiter : null
    property string error

    signal unlocked

    function tryUnlock() {
        if (limiter.locked || field.text.length === 0)
            return
        if (field.text === pinModel.getPinCode()) {
            limiter.recordSuccess()
            field.text = ""
            error = ""
            close()
            unlocked()
            return
        }
        field.text = ""
        limiter.recordFailure()
        error = qsTr("Неверный PIN-код")
    }

    objectName: "lockScreen"
    parent: Overlay.overlay
    x: 0
    y: 0
    width: parent ? parent.width : 0
    height: parent ? parent.height : 0
    z: 1000
    modal: true
    focus: true
    closePolicy: Popup.NoAutoClose
    padding: 24
    onOpened: field.forceActiveFocus()

    background: Rectangle { color: Material.background }

    Column {
        anchors.centerIn: parent
        width: Math.min(parent.width, 320)
        spacing: 16

        Icon {
            anchors.horizontalCenter: parent.horizontalCenter
            width: 56
            height: 56
            name: "lock"
            color: Material.accent
        }
        Label {
            width: parent.width
            horizontalAlignment: Text.AlignHCenter
            text: qsTr("Введите PIN-код")
            font.pixelSize: 20
        }
        PinField {
            id: field
            objectName: "pinField"
            width: parent.width
            enabled: !lock.limiter.locked
            onAccepted: lock.tryUnlock()
        }
        Button {
            objectName: "unlockButton"
            width: parent.width
            text: qsTr("Разблокировать")
            highlighted: true
            enabled: !lock.limiter.locked && field.text.length > 0
            onClicked: lock.tryUnlock()
        }
        Label {
            objectName: "lockError"
            width: parent.width
            horizontalAlignment: Text.AlignHCenter
            wrapMode: Text.Wrap
            color: Material.color(Material.Red)
            text: lock.limiter.locked
                  ? qsTr("Слишком много неверных попыток. Повторите через %1.").arg(
                        lock.app.formatWait(lock.limiter.remainingSeconds))
                  : lock.error
        }
    }
}
