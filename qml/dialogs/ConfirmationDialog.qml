import QtQuick 2.15
import QtQuick.Controls 2.15
import QtQuick.Controls.Material 2.15
import QtQuick.Layouts 1.15

// A login request from a server: who asks, when, and how long the answer may take. The dialog
// follows the model's signals and ends every request with finishConfirmation() when it closes.
// Everything the server sent is shown as plain text: markup in it must neither restyle the
// dialog nor make the program fetch anything.
Dialog {
    id: dialog

    property var accounts
    // "pending", "sending", "accepted", "declined", "withdrawn" or "error"
    property string phase: "pending"
    property string error
    property string issuer
    property string metadata
    property string requestDate
    property string requestTime
    property bool lockedOTP
    property int remaining
    property int total

    readonly property bool finished: phase !== "pending" && phase !== "sending"

    function show() {
        issuer = accounts.issuer
        metadata = accounts.metadata
        requestDate = accounts.requestDate
        requestTime = accounts.requestTime
        lockedOTP = accounts.isLockedOTP
        total = accounts.timeout
        remaining = total
        error = ""
        phase = "pending"
        open()
    }

    function accept() {
        phase = "sending"
        accounts.acceptAuth()
    }

    function decline() {
        phase = "sending"
        accounts.declineAuth()
    }

    // Outcomes that arrive when nothing is waiting for them (e.g. a second withdrawal) change nothing.
    function outcome(newPhase, message) {
        if (!opened && !visible)
            return
        if (newPhase === "withdrawn" && finished)
            return
        if ((newPhase === "accepted" || newPhase === "declined" || newPhase === "error") && phase !== "sending")
            return
        error = message || ""
        phase = newPhase
    }

    objectName: "confirmationDialog"
    modal: true
    focus: true
    closePolicy: finished ? Popup.CloseOnEscape : Popup.NoAutoClose
    anchors.centerIn: Overlay.overlay
    width: Math.min(parent ? parent.width - 32 : 360, 440)
    title: qsTr("Подтверждение входа")
    onClosed: accounts.finishConfirmation()

    Timer {
        interval: 1000
        repeat: true
        running: dialog.visible && dialog.phase === "pending" && dialog.remaining > 0
        // Only informs: the answer is signed with the code current when it is given, and the
        // server tells whether the request still holds.
        onTriggered: dialog.remaining -= 1
    }

    ColumnLayout {
        width: parent.width
        spacing: 10

        Label {
            Layout.fillWidth: true
            wrapMode: Text.Wrap
            text: qsTr("Вы входите в сервис?")
            opacity: 0.8
        }
        Label {
            objectName: "issuerLabel"
            Layout.fillWidth: true
            wrapMode: Text.Wrap
            text: dialog.issuer
            textFormat: Text.PlainText
            font.pixelSize: 22
            font.bold: true
        }
        GridLayout {
            Layout.fillWidth: true
            columns: 2
            columnSpacing: 12
            rowSpacing: 4
            Label { text: qsTr("Дата"); opacity: 0.7 }
            Label { objectName: "dateLabel"; text: dialog.requestDate; Layout.fillWidth: true }
            Label { text: qsTr("Время"); opacity: 0.7 }
            Label { objectName: "timeLabel"; text: dialog.requestTime; Layout.fillWidth: true }
            Label {
                text: qsTr("Сведения")
                opacity: 0.7
                visible: dialog.metadata.length > 0
                Layout.alignment: Qt.AlignTop
            }
            Label {
                objectName: "metadataLabel"
                text: dialog.metadata
                textFormat: Text.PlainText
                visible: dialog.metadata.length > 0
                wrapMode: Text.Wrap
                Layout.fillWidth: true
            }
        }
        Label {
            Layout.fillWidth: true
            visible: dialog.lockedOTP && dialog.phase === "pending"
            wrapMode: Text.Wrap
            text: qsTr("Текущий код уже использован для подтверждения входа.")
            color: Material.color(Material.Orange)
        }
        ProgressBar {
            Layout.fillWidth: true
            visible: dialog.phase === "pending" && dialog.total > 0
            from: 0
            to: Math.max(1, dialog.total)
            value: dialog.remaining
        }
        Label {
            objectName: "stateLabel"
            Layout.fillWidth: true
            wrapMode: Text.Wrap
            textFormat: Text.PlainText
            font.bold: dialog.finished
            color: dialog.phase === "accepted" ? Material.color(Material.Green)
                   : (dialog.phase === "pending" && dialog.remaining > 0) || dialog.phase === "sending"
                     ? Material.foreground : Material.color(Material.Red)
            text: {
                switch (dialog.phase) {
                case "pending":
                    return dialog.total <= 0 ? ""
                         : dialog.remaining > 0 ? qsTr("Осталось %n с", "", dialog.remaining)
                         : qsTr("Время на ответ истекло, сервер может отклонить ответ")
                case "sending":
                    return qsTr("Отправляем ответ…")
                case "accepted":
                    return qsTr("Вход подтверждён")
                case "declined":
                    return qsTr("Вход отклонён")
                case "withdrawn":
                    return qsTr("Запрос отозван")
                default:
                    return qsTr("Ошибка: %1").arg(dialog.error)
                }
            }
        }
    }

    footer: DialogButtonBox {
        Button {
            objectName: "declineButton"
            visible: !dialog.finished
            enabled: dialog.phase === "pending"
            text: qsTr("Отклонить")
            flat: true
            Material.foreground: Material.Red
            onClicked: dialog.decline()
        }
        Button {
            objectName: "acceptButton"
            visible: !dialog.finished
            enabled: dialog.phase === "pending"
            text: qsTr("Подтвердить")
            highlighted: true
            onClicked: dialog.accept()
        }
        Button {
            objectName: "closeButton"
            visible: dialog.finished
            text: qsTr("Закрыть")
            flat: true
            onClicked: dialog.close()
        }
    }
}
