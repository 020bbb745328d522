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
        error = app.checkPin(field.text)
        field.text = ""
        if (error.length === 0) {
            close()
            unlocked()
        }
    }

    objectName: "lockScreen"
    // A popup takes its colours from the window, not from the item it is shown over; these
    // follow the item instead (the main item sets the theme).
    Material.theme: parent ? parent.Material.theme : Material.Light
    Material.accent: parent ? parent.Material.accent : Material.Teal
    // The main item fills the window; as the parent it also gives the lock its theme.
    parent: app
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
        id: column
        // Placed by what is above the error text, so that a longer error does not move the rest.
        anchors.horizontalCenter: parent.horizontalCenter
        y: Math.max(0, (parent.height - (height - lockError.height)) / 2)
        width: Math.min(parent.width, 320)
        spacing: 16

        Icon {
            objectName: "lockIcon"
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
            Accessible.name: qsTr("Введите PIN-код")
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
            id: lockError
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
