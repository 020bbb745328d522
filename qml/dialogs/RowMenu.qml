import QtQuick 2.15
import QtQuick.Controls 2.15
import QtQuick.Controls.Material 2.15

// One menu for all account rows, shown beside the row it was opened for.
Menu {
    id: menu

    property var app
    property var target: null
    readonly property bool hotp: target !== null && target.tokenType === 2
    readonly property int row: target !== null ? target.index : -1

    objectName: "rowMenu"
    // A popup takes its colours from the window, not from the item it is shown over; these
    // follow the item instead (the main item sets the theme).
    Material.theme: parent ? parent.Material.theme : Material.Light
    Material.accent: parent ? parent.Material.accent : Material.Teal

    MenuItem {
        objectName: "copyItem"
        text: qsTr("Копировать код")
        enabled: menu.target !== null && menu.target.hasCode
        onTriggered: menu.target.copyCode()
    }
    MenuItem {
        objectName: "nextCodeItem"
        text: qsTr("Следующий код")
        visible: menu.hotp
        height: visible ? implicitHeight : 0
        onTriggered: menu.target.nextCode()
    }
    MenuItem {
        objectName: "showQrItem"
        text: qsTr("Показать QR-код")
        // Push accounts are bound to this device and have no code to show.
        visible: menu.target !== null && (menu.target.tokenType === 1 || menu.target.tokenType === 2)
        height: visible ? implicitHeight : 0
        onTriggered: menu.app.showAccountQr(menu.target.accountId, menu.target.issuer, menu.target.user)
    }
    MenuItem {
        objectName: "editItem"
        text: qsTr("Изменить…")
        onTriggered: menu.app.editRow(menu.row)
    }
    MenuItem {
        objectName: "upItem"
        text: qsTr("Выше")
        enabled: menu.row > 0
        onTriggered: menu.app.moveRow(menu.row, menu.row - 1)
    }
    MenuItem {
        objectName: "downItem"
        text: qsTr("Ниже")
        enabled: menu.target !== null && menu.row < menu.target.ListView.view.count - 1
        onTriggered: menu.app.moveRow(menu.row, menu.row + 1)
    }
    MenuItem {
        objectName: "removeItem"
        text: qsTr("Удалить…")
        onTriggered: menu.app.askRemove(menu.target.accountId, menu.target.index, menu.target.issuer,
                                        menu.target.user)
    }
}
