import QtQuick 2.15
import QtQuick.Controls 2.15
import QtQuick.Controls.Material 2.15
import QtQuick.Layouts 1.15
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

    ColumnLayout {
        anchors.centerIn: parent
        width: Math.min(parent.width, 320)
        spacing: 16

        Icon {
            Layout.alignment: Qt.AlignHCenter
            Layout.preferredWidth: 56
            Layout.preferredHeight: 56
            name: "lock"
            color: Material.accent
        }
        Label {
            Layout.fillWidth: true
            horizontalAlignment: Text.AlignHCenter
            text: qsTr("Введите PIN-код")
            font.pixelSize: 20
        }
        PinField {
            id: field
            objectName: "pinField"
            Layout.fillWidth: true
            enabled: !lock.limiter.locked
            onAccepted: lock.tryUnlock()
        }
        Button {
            objectName: "unlockButton"
            Layout.fillWidth: true
            text: qsTr("Разблокировать")
            highlighted: true
            enabled: !lock.limiter.locked && field.text.length > 0
            onClicked: lock.tryUnlock()
        }
        Label {
            objectName: "lockError"
            Layout.fillWidth: true
            horizontalAlignment: Text.AlignHCenter
            wrapMode: Text.Wrap
            color: Material.color(Material.Red)
            visible: text.length > 0
            text: lock.limiter.locked
                  ? qsTr("Слишком много неверных попыток. Повторите через %1.").arg(
                        lock.app.formatWait(lock.limiter.remainingSeconds))
                  : lock.error
        }
    }
}
