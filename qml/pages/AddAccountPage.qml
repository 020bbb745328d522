import QtQuick 2.15
import QtQuick.Controls 2.15
import QtQuick.Controls.Material 2.15
import QtQuick.Layouts 1.15
import ru.kestrel.ui 1.0
import "../components"

// Four ways to a new account: the camera, a picture of the QR code, the code's text, or the
// secret typed by hand.
Page {
    id: page

    property var app
    property string error

    objectName: "addPage"
    // Keyboard users go on from here with Tab.
    StackView.onActivated: forceActiveFocus()

    function submit(text) {
        error = app.submitUri(text)
    }

    function submitImage(fileUrl) {
        if (decoder.decodeFile(fileUrl))
            submit(decoder.text)
        else
            error = decoder.errorString
    }

    QRImageDecoder { id: decoder }

    header: PageHeader {
        title: qsTr("Новый аккаунт")
        onBackClicked: page.StackView.view.pop()
    }

    // Probes for a camera without making this page depend on Qt Multimedia being installed.
    Loader {
        id: cameraProbe
        source: "CameraProbe.qml"
        readonly property bool available: status === Loader.Ready && item.available
    }

    DropArea {
        anchors.fill: parent
        keys: ["text/uri-list"]
        onDropped: {
            if (drop.hasUrls && drop.urls.length > 0)
                page.submitImage(drop.urls[0].toString())
        }
    }

    Flickable {
        id: flick
        anchors.fill: parent
        contentWidth: width
        contentHeight: column.height + 32
        clip: true
        ScrollBar.vertical: ScrollBar {}

        ColumnLayout {
            id: column
            x: 16
            y: 16
            width: flick.width - 32
            spacing: 12

            Label {
                Layout.fillWidth: true
                wrapMode: Text.Wrap
                opacity: 0.8
                text: qsTr("Добавьте аккаунт по QR-коду, который показывает сайт или сервер аутентификации.")
            }

            Button {
                objectName: "cameraButton"
                Layout.fillWidth: true
                visible: cameraProbe.available
                text: qsTr("Сканировать камерой")
                highlighted: true
                onClicked: page.app.openCamera()
            }

            Button {
                objectName: "imageButton"
                Layout.fillWidth: true
                text: qsTr("Открыть изображение с QR-кодом")
                highlighted: !cameraProbe.available
                onClicked: page.app.openImagePicker(page)
            }

            Button {
                objectName: "manualButton"
                Layout.fillWidth: true
                text: qsTr("Ввести ключ вручную")
                flat: true
                onClicked: page.app.openManualEntry()
            }

            Label {
                Layout.topMargin: 12
                Layout.fillWidth: true
                text: qsTr("Или вставьте текст кода")
                font.bold: true
            }

            TextArea {
                id: uriField
                objectName: "uriField"
                Layout.fillWidth: true
                Layout.minimumHeight: 96
                wrapMode: TextEdit.WrapAnywhere
                placeholderText: qsTr("otpauth://totp/Сервис:имя?secret=…")
                inputMethodHints: Qt.ImhNoPredictiveText | Qt.ImhNoAutoUppercase | Qt.ImhUrlCharactersOnly
                selectByMouse: true
                Accessible.name: qsTr("Текст QR-кода")
                // Tab leaves the field rather than being typed into it.
                KeyNavigation.priority: KeyNavigation.BeforeItem
                KeyNavigation.tab: pasteButton
                onTextChanged: page.error = ""
            }

            RowLayout {
                Layout.fillWidth: true
                Button {
                    id: pasteButton
                    objectName: "pasteButton"
                    text: qsTr("Вставить")
                    flat: true
                    onClicked: uriField.text = page.app.clipboardText()
                }
                Item { Layout.fillWidth: true }
                Button {
                    objectName: "addTextButton"
                    text: qsTr("Добавить")
                    highlighted: true
                    enabled: uriField.text.trim().length > 0
                    onClicked: page.submit(uriField.text)
                }
            }

            Label {
                objectName: "errorLabel"
                Layout.fillWidth: true
                visible: page.error.length > 0
                text: page.error
                textFormat: Text.PlainText
                wrapMode: Text.Wrap
                color: Material.color(Material.Red)
            }
        }
    }
}
