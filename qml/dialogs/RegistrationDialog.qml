import QtQuick 2.15
import QtQuick.Controls 2.15
import QtQuick.Controls.Material 2.15
import QtQuick.Layouts 1.15

// Shown while a ticket is being registered at its server, then its outcome. A failed attempt
// keeps the ticket, so the user can try again once the server is reachable.
Dialog {
    id: dialog

    property string error
    property string ticket

    signal retryChosen(string ticket)

    function start(ticketText) {
        ticket = ticketText
        error = ""
        open()
    }

    function fail(message) {
        error = message
        if (!opened)
            open()
    }

    objectName: "registrationDialog"
    // A popup takes its colours from the window, not from the item it is shown over; these
    // follow the item instead (the main item sets the theme).
    Material.theme: parent ? parent.Material.theme : Material.Light
    Material.accent: parent ? parent.Material.accent : Material.Teal
    title: error.length > 0 ? qsTr("Регистрация не удалась") : qsTr("Регистрация на сервере")
    modal: true
    focus: true
    closePolicy: Popup.CloseOnEscape
    anchors.centerIn: Overlay.overlay
    width: Math.min(parent ? parent.width - 48 : 360, 400)

    RowLayout {
        width: parent.width
        spacing: 16
        BusyIndicator {
            visible: dialog.error.length === 0
            running: visible && dialog.visible
        }
        Label {
            objectName: "registrationText"
            Layout.fillWidth: true
            wrapMode: Text.Wrap
            // The error may be the server's own text.
            textFormat: Text.PlainText
            text: dialog.error.length > 0 ? dialog.error
                                          : qsTr("Отправляем билет на сервер. Аккаунт появится в списке, "
                                                 + "как только сервер ответит.")
        }
    }

    footer: DialogButtonBox {
        Button {
            objectName: "closeButton"
            text: dialog.error.length > 0 ? qsTr("Закрыть") : qsTr("Скрыть")
            flat: true
            DialogButtonBox.buttonRole: DialogButtonBox.RejectRole
        }
        Button {
            objectName: "retryButton"
            visible: dialog.error.length > 0 && dialog.ticket.length > 0
            text: qsTr("Повторить")
            flat: true
            DialogButtonBox.buttonRole: DialogButtonBox.ApplyRole
            // The dialog stays and shows the next attempt.
            onClicked: dialog.retryChosen(dialog.ticket)
        }
    }
}
