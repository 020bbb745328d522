import QtQuick 2.15
import QtQuick.Controls 2.15
import QtQuick.Controls.Material 2.15
import QtQuick.Layouts 1.15
import "../components"

// Sets, changes or removes the application PIN. Changing and removing ask for the current PIN
// first, under the same limit of wrong entries as the lock screen.
Page {
    id: page

    property var app
    // "set", "change" or "remove"
    property string mode: "set"
    // "current", "new" or "confirm"
    property string step: mode === "set" ? "new" : "current"
    property string newPin
    property string error

    readonly property int minLength: 4

    objectName: "pinSetupPage"

    function next() {
        const entry = field.text
        field.text = ""
        error = ""
        if (step === "current") {
            if (app.pinLimiter.locked)
                return
            if (entry !== app.pinModel.getPinCode()) {
                app.pinLimiter.recordFailure()
                error = qsTr("Неверный PIN-код")
                return
            }
            app.pinLimiter.recordSuccess()
            if (mode === "remove") {
                // On failure the model has told why, and the PIN stays.
                if (!app.pinModel.resetPinCode())
                    return
                app.showMessage(qsTr("PIN-код удалён"))
                page.StackView.view.pop()
                return
            }
            step = "new"
        } else if (step === "new") {
            if (entry.length < minLength) {
                error = qsTr("PIN-код должен содержать не меньше %n цифр", "", minLength)
                return
            }
            newPin = entry
            step = "confirm"
        } else {
            if (entry !== newPin) {
                error = qsTr("PIN-коды не совпадают, введите новый PIN-код ещё раз")
                newPin = ""
                step = "new"
                return
            }
            if (!app.pinModel.onSetPinCode(newPin))
                return
            app.showMessage(mode === "set" ? qsTr("PIN-код установлен") : qsTr("PIN-код изменён"))
            page.StackView.view.pop()
            return
        }
        field.forceActiveFocus()
    }

    Component.onCompleted: field.forceActiveFocus()

    header: PageHeader {
        title: page.mode === "set" ? qsTr("Установка PIN-кода")
               : page.mode === "change" ? qsTr("Смена PIN-кода") : qsTr("Удаление PIN-кода")
        onBackClicked: page.StackView.view.pop()
    }

    ColumnLayout {
        anchors.centerIn: parent
        width: Math.min(parent.width - 48, 320)
        spacing: 16

        Label {
            objectName: "stepLabel"
            Layout.fillWidth: true
            horizontalAlignment: Text.AlignHCenter
            wrapMode: Text.Wrap
            font.pixelSize: 18
            text: page.step === "current" ? qsTr("Введите текущий PIN-код")
                  : page.step === "new" ? qsTr("Введите новый PIN-код") : qsTr("Повторите новый PIN-код")
        }
        PinField {
            id: field
            objectName: "pinField"
            Layout.fillWidth: true
            enabled: page.step !== "current" || !page.app.pinLimiter.locked
            onAccepted: page.next()
        }
        Button {
            objectName: "nextButton"
            Layout.fillWidth: true
            highlighted: true
            enabled: field.enabled && field.text.length > 0
            text: page.step === "confirm" ? qsTr("Сохранить")
                  : page.step === "current" && page.mode === "remove" ? qsTr("Удалить PIN-код") : qsTr("Далее")
            onClicked: page.next()
        }
        Label {
            objectName: "errorLabel"
            Layout.fillWidth: true
            horizontalAlignment: Text.AlignHCenter
            wrapMode: Text.Wrap
            color: Material.color(Material.Red)
            visible: text.length > 0
            text: page.step === "current" && page.app.pinLimiter.locked
                  ? qsTr("Слишком много неверных попыток. Повторите через %1.").arg(
                        page.app.formatWait(page.app.pinLimiter.remainingSeconds))
                  : page.error
        }
        Label {
            Layout.fillWidth: true
            visible: page.step !== "current"
            horizontalAlignment: Text.AlignHCenter
            wrapMode: Text.Wrap
            opacity: 0.7
            text: qsTr("PIN-код будет запрашиваться при каждом запуске программы.")
        }
    }
}
