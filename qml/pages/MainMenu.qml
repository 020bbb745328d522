import QtQuick 2.15
import QtQuick.Controls 2.15
import QtQuick.Controls.Material 2.15

Menu {
    property var app

    objectName: "mainMenu"
    // A popup takes its colours from the window, not from the item it is shown over; these
    // follow the item instead (the main item sets the theme).
    Material.theme: parent ? parent.Material.theme : Material.Light
    Material.accent: parent ? parent.Material.accent : Material.Teal

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
