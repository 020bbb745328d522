import QtQuick 2.15
import QtQuick.Controls 2.15
import QtQuick.Controls.Material 2.15
import QtQuick.Layouts 1.15
import "../components"
import "../dialogs"

Page {
    id: page

    property var app
    // The PIN model signals nothing; re-read its state whenever this page comes back to the top.
    property bool pinPresent: app.pinModel.isPinCodePresent()

    objectName: "settingsPage"
    StackView.onActivated: pinPresent = app.pinModel.isPinCodePresent()

    header: PageHeader {
        title: qsTr("Настройки")
        onBackClicked: page.StackView.view.pop()
    }

    Flickable {
        id: flick
        anchors.fill: parent
        contentWidth: width
        contentHeight: column.height
        clip: true

        ColumnLayout {
            id: column
            width: flick.width
            spacing: 0

            Label {
                Layout.margins: 16
                Layout.bottomMargin: 4
                text: qsTr("Защита")
                color: Material.accent
                font.bold: true
            }
            Label {
                objectName: "pinStateLabel"
                Layout.fillWidth: true
                Layout.leftMargin: 16
                Layout.rightMargin: 16
                wrapMode: Text.Wrap
                opacity: 0.8
                text: page.pinPresent ? qsTr("PIN-код установлен: он запрашивается при запуске программы.")
                                      : qsTr("PIN-код не установлен: программа открывается без проверки.")
            }
            ItemDelegate {
                objectName: "setPinItem"
                Layout.fillWidth: true
                visible: !page.pinPresent
                text: qsTr("Установить PIN-код")
                onClicked: page.app.openPinSetup("set")
            }
            ItemDelegate {
                objectName: "changePinItem"
                Layout.fillWidth: true
                visible: page.pinPresent
                text: qsTr("Изменить PIN-код")
                onClicked: page.app.openPinSetup("change")
            }
            ItemDelegate {
                objectName: "removePinItem"
                Layout.fillWidth: true
                visible: page.pinPresent
                text: qsTr("Удалить PIN-код")
                onClicked: page.app.openPinSetup("remove")
            }

            MenuSeparator { Layout.fillWidth: true }

            Label {
                Layout.margins: 16
                Layout.bottomMargin: 4
                text: qsTr("Резервная копия")
                color: Material.accent
                font.bold: true
            }
            // Export and transfer put every secret in a file or on the screen: behind the PIN.
            ItemDelegate {
                objectName: "exportItem"
                Layout.fillWidth: true
                text: qsTr("Экспорт в файл")
                onClicked: page.app.withPin(function () { page.app.openPage("BackupExportPage.qml") })
            }
            ItemDelegate {
                objectName: "importItem"
                Layout.fillWidth: true
                text: qsTr("Импорт из файла")
                onClicked: page.app.openPage("BackupImportPage.qml")
            }
            ItemDelegate {
                objectName: "transferItem"
                Layout.fillWidth: true
                text: qsTr("Перенести на другое устройство")
                onClicked: page.app.withPin(function () { page.app.openPage("TransferPage.qml") })
            }

            MenuSeparator { Layout.fillWidth: true }

            Label {
                Layout.margins: 16
                Layout.bottomMargin: 4
                text: qsTr("Данные")
                color: Material.accent
                font.bold: true
            }
            ItemDelegate {
                objectName: "resetItem"
                Layout.fillWidth: true
                text: qsTr("Сбросить все данные")
                Material.foreground: Material.Red
                onClicked: resetDialog.open()
            }

            MenuSeparator { Layout.fillWidth: true }

            ItemDelegate {
                Layout.fillWidth: true
                text: qsTr("О программе")
                onClicked: page.app.openAbout()
            }
        }
    }

    QuestionDialog {
        id: resetDialog
        objectName: "resetDialog"
        title: qsTr("Сбросить все данные?")
        text: qsTr("Все аккаунты будут удалены с этого устройства, коды по ним больше не будут доступны. "
                   + "Отменить это нельзя.")
        acceptText: qsTr("Сбросить")
        onAccepted: {
            page.app.accounts.resetAllData()
            page.app.showMessage(qsTr("Все аккаунты удалены"))
        }
    }
}
