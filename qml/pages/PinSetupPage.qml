import QtQuick 2.15
import QtQuick.Controls 2.15
import QtQuick.Controls.Material 2.15
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
            error = app.checkPin(entry)
            if (error.length > 0)
                return
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

    Column {
        // The field stays in the middle whatever the texts around it say.
        anchors.horizontalCenter: parent.horizontalCenter
        y: Math.max(0, parent.height / 2 - field.y - field.height / 2)
        width: Math.min(parent.width - 48, 320)
        spacing: 16

        Label {
            id: stepLabel
            objectName: "stepLabel"
            width: parent.width
            horizontalAlignment: Text.AlignHCenter
            wrapMode: Text.Wrap
            font.pixelSize: 18
            text: page.step === "current" ? qsTr("Введите текущий PIN-код")
                  : page.step === "new" ? qsTr("Введите новый PIN-код") : qsTr("Повторите новый PIN-код")
        }
        PinField {
            id: field
            objectName: "pinField"
            width: parent.width
            enabled: page.step !== "current" || !page.app.pinLimiter.locked
            Accessible.name: stepLabel.text
            onAccepted: page.next()
            // What was wrong with the last entry no longer applies to a new one.
            onTextChanged: {
                if (text.length > 0)
                    page.error = ""
            }
        }
        Button {
            objectName: "nextButton"
            width: parent.width
            highlighted: true
            enabled: field.enabled && field.text.length > 0
            text: page.step === "confirm" ? qsTr("Сохранить")
                  : page.step === "current" && page.mode === "remove" ? qsTr("Удалить PIN-код") : qsTr("Далее")
            onClicked: page.next()
        }
        Label {
            objectName: "errorLabel"
            width: parent.width
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
            width: parent.width
            visible: page.step !== "current"
            horizontalAlignment: Text.AlignHCenter
            wrapMode: Text.Wrap
            opacity: 0.7
            text: qsTr("PIN-код будет запрашиваться при каждом запуске программы.")
        }
    }
}
