import QtQuick 2.15
import QtQuick.Controls 2.15
import QtQuick.Controls.Material 2.15
import QtQuick.Layouts 1.15

// A login request from a server: for which account, when, and how long ago it came. The request
// carries no expiry of its own, so none is announced: the server says whether the answer still
// counts. The dialog follows the model's signals and ends every request with
// finishConfirmation() when it closes. Everything the server sent is shown as plain text: markup
// in it must neither restyle the dialog nor make the program fetch anything.
Dialog {
    id: dialog

    property var accounts
    // "pending", "sending", "accepted", "declined", "withdrawn" or "error"
    property string phase: "pending"
    property string error
    property string issuer
    property string user
    property string metadata
    property string requestDate
    property string requestTime
    property bool lockedOTP
    // When the request reached the program (ms since the epoch), and the seconds since then.
    property double arrived
    property int elapsed

    readonly property bool finished: phase !== "pending" && phase !== "sending"

    function show(arrivedAt) {
        issuer = accounts.issuer
        user = accounts.requestUser
        metadata = accounts.metadata
        requestDate = accounts.requestDate
        requestTime = accounts.requestTime
        lockedOTP = accounts.isLockedOTP
        arrived = arrivedAt > 0 ? arrivedAt : Date.now()
        updateElapsed()
        error = ""
        phase = "pending"
        open()
    }

    function updateElapsed() {
        elapsed = Math.max(0, Math.floor((Date.now() - arrived) / 1000))
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
    // A popup takes its colours from the window, not from the item it is shown over; these
    // follow the item instead (the main item sets the theme).
    Material.theme: parent ? parent.Material.theme : Material.Light
    Material.accent: parent ? parent.Material.accent : Material.Teal
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
        running: dialog.visible && dialog.phase === "pending"
        onTriggered: dialog.updateElapsed()
    }

    // The account was renamed while the request is shown.
    Connections {
        target: dialog.accounts
        function onIssuerChanged() {
            if (dialog.visible) {
                dialog.issuer = dialog.accounts.issuer
                dialog.user = dialog.accounts.requestUser
            }
        }
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
            textFormat: Text.PlainText
            text: dialog.issuer || qsTr("Без названия")
            font.pixelSize: 22
            font.bold: true
        }
        Label {
            objectName: "userLabel"
            Layout.fillWidth: true
            visible: dialog.user.length > 0
            wrapMode: Text.Wrap
            textFormat: Text.PlainText
            text: qsTr("Аккаунт: %1").arg(dialog.user)
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
        Label {
            objectName: "stateLabel"
            Layout.fillWidth: true
            wrapMode: Text.Wrap
            textFormat: Text.PlainText
            font.bold: dialog.finished
            color: dialog.phase === "accepted" ? Material.color(Material.Green)
                   : dialog.phase === "pending" || dialog.phase === "sending"
                     ? Material.foreground : Material.color(Material.Red)
            opacity: dialog.phase === "pending" ? 0.7 : 1
            text: {
                switch (dialog.phase) {
                case "pending":
                    return dialog.elapsed < 60 ? qsTr("Запрос пришёл %n с назад", "", dialog.elapsed)
                                               : qsTr("Запрос пришёл %n мин назад", "", Math.floor(dialog.elapsed / 60))
                case "sending":
                    return qsTr("Отправляем ответ…")
                case "accepted":
                    return qsTr("Вход подтверждён")
                case "declined":
                    return qsTr("Вход отклонён")
                case "withdrawn":
                    return qsTr("Запрос отозван")
                default:
                    return dialog.error
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
