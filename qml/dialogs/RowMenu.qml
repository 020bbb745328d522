import QtQuick 2.15
import QtQuick.Controls 2.15

// One menu for all account rows, shown beside the row it was opened for.
Menu {
    id: menu

    property var app
    property var target: null
    readonly property bool hotp: target !== null && target.tokenType === 2

    objectName: "rowMenu"

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
        objectName: "removeItem"
        text: qsTr("Удалить…")
        onTriggered: menu.app.askRemove(menu.target.accountId, menu.target.index, menu.target.issuer,
                                        menu.target.user)
    }
}
