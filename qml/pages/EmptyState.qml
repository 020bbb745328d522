import QtQuick 2.15
import QtQuick.Controls 2.15
import QtQuick.Controls.Material 2.15
import QtQuick.Layouts 1.15
import "../components"

// Shown instead of an empty list: what to do to add the first account.
ColumnLayout {
    property var app

    spacing: 16

    Icon {
        Layout.alignment: Qt.AlignHCenter
        Layout.preferredWidth: 72
        Layout.preferredHeight: 72
        name: "shield"
        color: Material.accent
    }
    Label {
        Layout.fillWidth: true
        horizontalAlignment: Text.AlignHCenter
        objectName: "emptyTitle"
        text: qsTr("Аккаунтов пока нет")
        font.pixelSize: 20
        font.bold: true
    }
    Label {
        Layout.fillWidth: true
        horizontalAlignment: Text.AlignHCenter
        wrapMode: Text.Wrap
        opacity: 0.8
        text: qsTr("Нажмите «+», чтобы добавить аккаунт: отсканируйте QR-код камерой, откройте снимок "
                   + "экрана с кодом или вставьте ссылку otpauth:// или orbticket://.")
    }
    Button {
        Layout.alignment: Qt.AlignHCenter
        text: qsTr("Добавить аккаунт")
        highlighted: true
        onClicked: app.openAddPage()
    }
}
