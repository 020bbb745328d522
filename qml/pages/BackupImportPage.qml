import QtQuick 2.15
import QtQuick.Controls 2.15
import QtQuick.Controls.Material 2.15
import QtQuick.Layouts 1.15
import Qt.labs.platform 1.1 as Platform
import "../components"

// Adds the accounts of a backup file: an Aegis vault or a text file of otpauth links or transfer
// codes. Accounts already in the list are not added twice; nothing stored is changed.
Page {
    id: page

    property var app
    property string error
    property string summary

    function choose() {
        const picker = app.stack.push(Qt.resolvedUrl("ImagePickerPage.qml"), {
            app: app,
            heading: qsTr("Выберите файл"),
            nameFilters: ["*.json", "*.txt"],
            emptyText: qsTr("Здесь нет файлов .json и .txt"),
            thumbnails: false
        })
        picker.picked.connect(function (file) {
            app.stack.pop()
            pathField.text = decodeURIComponent(file.toString().replace(/^file:\/\//, ""))
        })
    }

    function start() {
        error = ""
        summary = ""
        const result = app.accounts.importBackup(pathField.text, password.text)
        if (result.error.length > 0) {
            error = result.error
            return
        }
        password.text = ""
        summary = result.message
        app.showMessage(qsTr("Импорт завершён"))
    }

    objectName: "backupImportPage"
    Component.onCompleted: {
        const documents = Platform.StandardPaths.writableLocation(Platform.StandardPaths.DocumentsLocation)
        pathField.text = decodeURIComponent(documents.toString().replace(/^file:\/\//, "")) + "/"
    }

    header: PageHeader {
        title: qsTr("Импорт из файла")
        onBackClicked: page.StackView.view.pop()
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
                text: qsTr("Подходят файлы Aegis (.json, с паролем или без) и текстовые файлы со ссылками "
                           + "otpauth:// или кодами переноса otpauth-migration://, по одной в строке.")
            }
            RowLayout {
                Layout.fillWidth: true
                TextField {
                    id: pathField
                    objectName: "pathField"
                    Layout.fillWidth: true
                    selectByMouse: true
                    placeholderText: qsTr("Файл")
                    inputMethodHints: Qt.ImhNoPredictiveText | Qt.ImhNoAutoUppercase
                    onTextChanged: page.error = ""
                }
                Button {
                    objectName: "chooseButton"
                    text: qsTr("Выбрать…")
                    flat: true
                    onClicked: page.choose()
                }
            }
            TextField {
                id: password
                objectName: "passwordField"
                Layout.fillWidth: true
                echoMode: TextInput.Password
                inputMethodHints: Qt.ImhSensitiveData | Qt.ImhNoPredictiveText
                placeholderText: qsTr("Пароль, если файл зашифрован")
                onTextChanged: page.error = ""
            }
            Button {
                objectName: "importButton"
                Layout.fillWidth: true
                text: qsTr("Импортировать")
                highlighted: true
                enabled: pathField.text.trim().length > 0
                onClicked: page.start()
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
            Label {
                objectName: "summaryLabel"
                Layout.fillWidth: true
                visible: page.summary.length > 0
                text: page.summary
                textFormat: Text.PlainText
                wrapMode: Text.Wrap
            }
        }
    }
}
