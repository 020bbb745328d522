import QtQuick 2.15
import QtQuick.Controls 2.15
import QtQuick.Controls.Material 2.15
import QtQuick.Layouts 1.15
import "../components"

Page {
    id: page

    objectName: "aboutPage"

    header: PageHeader {
        title: qsTr("О программе")
        onBackClicked: page.StackView.view.pop()
    }

    ColumnLayout {
        anchors.centerIn: parent
        width: Math.min(parent.width - 48, 380)
        spacing: 12

        Icon {
            Layout.alignment: Qt.AlignHCenter
            Layout.preferredWidth: 80
            Layout.preferredHeight: 80
            name: "shield"
            color: Material.accent
        }
        Label {
            Layout.fillWidth: true
            horizontalAlignment: Text.AlignHCenter
            text: qsTr("Kestrel 2FA")
            font.pixelSize: 24
            font.bold: true
        }
        Label {
            objectName: "versionLabel"
            Layout.fillWidth: true
            horizontalAlignment: Text.AlignHCenter
            wrapMode: Text.Wrap
            text: Qt.application.version
        }
        Label {
            Layout.fillWidth: true
            horizontalAlignment: Text.AlignHCenter
            wrapMode: Text.Wrap
            opacity: 0.8
            text: qsTr("Двухфакторная аутентификация: одноразовые коды TOTP и HOTP, регистрация аккаунтов "
                       + "на сервере по билету и подтверждение входа одним нажатием.")
        }
    }
}
