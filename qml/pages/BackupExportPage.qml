import QtQuick 2.15
import QtQuick.Controls 2.15
import QtQuick.Controls.Material 2.15
import QtQuick.Layouts 1.15
import Qt.labs.platform 1.1 as Platform
import "../components"
import "../dialogs"

// Writes the OTP accounts to a file: an Aegis vault, encrypted or not, or a list of otpauth links.
Page {
    id: page

    property var app
    property string error
    property string done
    readonly property bool encrypted: formatBox.currentIndex === 0
    readonly property string format: formatBox.currentIndex === 2 ? "uris" : "aegis"
    readonly property string notice: app.accounts.exportNotice(format)

    function defaultPath() {
        const documents = Platform.StandardPaths.writableLocation(Platform.StandardPaths.DocumentsLocation)
        return decodeURIComponent(documents.toString().replace(/^file:\/\//, "")) + "/kestrel-backup-"
                + Qt.formatDate(new Date(), "yyyyMMdd") + (format === "uris" ? ".txt" : ".json")
    }

    function start() {
        error = ""
        done = ""
        if (!encrypted) {
            plainDialog.open()
        } else if (password.text.length === 0) {
            error = qsTr("Введите пароль.")
        } else if (password.text !== repeat.text) {
            error = qsTr("Пароли не совпадают.")
        } else {
            write()
        }
    }

    function write() {
        const result = app.accounts.exportBackup(pathField.text, encrypted ? password.text : "", format)
        if (result.length > 0) {
            error = result
            return
        }
        password.text = ""
        repeat.text = ""
        done = qsTr("Сохранено в файл %1.").arg(pathField.text) + (notice.length > 0 ? " " + notice : "")
        app.showMessage(qsTr("Резервная копия сохранена"))
    }

    objectName: "backupExportPage"
    Component.onCompleted: pathField.text = defaultPath()

    header: PageHeader {
        title: qsTr("Экспорт в файл")
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
                text: qsTr("Формат")
                font.bold: true
            }
            ComboBox {
                id: formatBox
                objectName: "formatBox"
                Layout.fillWidth: true
                model: [qsTr("Aegis, зашифрованный паролем"), qsTr("Aegis без шифрования"),
                    qsTr("Список ссылок otpauth:// без шифрования")]
                onCurrentIndexChanged: {
                    pathField.text = page.defaultPath()
                    page.error = ""
                    page.done = ""
                }
            }
            TextField {
                id: password
                objectName: "passwordField"
                Layout.fillWidth: true
                visible: page.encrypted
                echoMode: TextInput.Password
                inputMethodHints: Qt.ImhSensitiveData | Qt.ImhNoPredictiveText
                placeholderText: qsTr("Пароль")
            }
            TextField {
                id: repeat
                objectName: "repeatField"
                Layout.fillWidth: true
                visible: page.encrypted
                echoMode: TextInput.Password
                inputMethodHints: Qt.ImhSensitiveData | Qt.ImhNoPredictiveText
                placeholderText: qsTr("Пароль ещё раз")
            }
            Label {
                Layout.fillWidth: true
                visible: page.encrypted
                wrapMode: Text.Wrap
                opacity: 0.8
                text: qsTr("Без пароля файл не открыть: восстановить его нельзя.")
            }
            Label {
                Layout.fillWidth: true
                text: qsTr("Файл")
                font.bold: true
            }
            TextField {
                id: pathField
                objectName: "pathField"
                Layout.fillWidth: true
                selectByMouse: true
                inputMethodHints: Qt.ImhNoPredictiveText | Qt.ImhNoAutoUppercase
            }
            Label {
                objectName: "noticeLabel"
                Layout.fillWidth: true
                visible: page.notice.length > 0
                wrapMode: Text.Wrap
                opacity: 0.8
                text: page.notice
            }
            Button {
                objectName: "exportButton"
                Layout.fillWidth: true
                text: qsTr("Экспортировать")
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
                objectName: "doneLabel"
                Layout.fillWidth: true
                visible: page.done.length > 0
                text: page.done
                textFormat: Text.PlainText
                wrapMode: Text.Wrap
            }
        }
    }

    QuestionDialog {
        id: plainDialog
        objectName: "plainExportDialog"
        title: qsTr("Сохранить без шифрования?")
        text: qsTr("В файле будут открыты секреты всех аккаунтов: любой, кто его получит, сможет получать "
                   + "ваши коды. Храните его там, куда не доберутся посторонние, и удалите, когда он станет "
                   + "не нужен.")
        acceptText: qsTr("Сохранить")
        onAccepted: page.write()
    }
}
