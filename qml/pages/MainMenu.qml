import QtQuick 2.15
import QtQuick.Controls 2.15
import QtQuick.Controls.Material 2.15

Menu {
    property var app

    Material.foreground: "#212121"

    MenuItem {
        text: qsTr("Добавить аккаунт")
        onTriggered: app.openAddPage()
    }
    MenuItem {
        objectName: "settingsItem"
        text: qsTr("Настройки")
        onTriggered: app.openSettings()
    }
    MenuItem {
        text: qsTr("О программе")
        onTriggered: app.openAbout()
    }
}
