import QtQuick 2.15
import QtQuick.Controls 2.15
import QtQuick.Controls.Material 2.15
import ru.kestrel.ui 1.0

// One account's own "otpauth://" code, for another authenticator to scan.
Dialog {
    id: dialog

    property var app
    property string uri
    property string name

    function show(id, issuer, user) {
        uri = app.accounts.accountUri(id)
        name = (issuer || qsTr("Без названия")) + (user ? " (" + user + ")" : "")
        open()
    }

    objectName: "accountQrDialog"
    modal: true
    focus: true
    anchors.centerIn: Overlay.overlay
    width: Math.min(parent ? parent.width - 24 : 400, 440)
    // The secret is not kept once the code is off the screen.
    onClosed: uri = ""

    Column {
        width: parent.width
        spacing: 12

        Label {
            width: parent.width
            text: dialog.name
            textFormat: Text.PlainText
            font.bold: true
            font.pixelSize: 18
            elide: Text.ElideRight
        }
        QRCode {
            objectName: "accountQrCode"
            width: parent.width
            height: width
            text: dialog.uri
        }
        Label {
            width: parent.width
            wrapMode: Text.Wrap
            opacity: 0.8
            text: qsTr("Отсканируйте код другим приложением-аутентификатором. Не показывайте его посторонним: "
                       + "по нему можно получать ваши коды.")
        }
    }

    footer: DialogButtonBox {
        Button {
            objectName: "closeButton"
            text: qsTr("Закрыть")
            flat: true
            DialogButtonBox.buttonRole: DialogButtonBox.RejectRole
        }
    }
}
