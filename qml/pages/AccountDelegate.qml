import QtQuick 2.15
import QtQuick.Controls 2.15
import QtQuick.Controls.Material 2.15
import QtQuick.Layouts 1.15
import "../components"

// One account of the list. The model signals no changes of codes, progress or network state,
// so the row reads them again on every tick of the application.
ItemDelegate {
    id: row

    property var app
    required property int index
    property string filter

    // Role numbers of AccountsListModel.
    readonly property int roleColor: 256
    readonly property int rolePassword: 257
    readonly property int roleUser: 258
    readonly property int roleIssuer: 259
    readonly property int roleId: 260
    readonly property int roleProgress: 261
    readonly property int roleType: 262
    readonly property int roleNetwork: 263
    readonly property int roleMessage: 264

    readonly property int typeTOTP: 1
    readonly property int typeHOTP: 2
    readonly property int typePush: 4

    function role(r) {
        if (!app)
            return ""
        app.tick // re-read on every tick
        const value = app.accounts.data(app.accounts.index(index, 0), r)
        return value === undefined || value === null ? "" : value
    }

    readonly property string issuer: role(roleIssuer)
    readonly property string user: role(roleUser)
    readonly property int accountId: Number(role(roleId))
    readonly property int tokenType: Number(role(roleType))
    readonly property string accent: role(roleColor) || "skyblue"
    readonly property string password: role(rolePassword)
    readonly property int progress: Number(role(roleProgress))
    readonly property int network: tokenType === typePush ? Number(role(roleNetwork)) : 0
    readonly property string message: tokenType === typePush ? role(roleMessage) : ""
    // Digits only: "- - - -" stands for a code not computed yet, an empty text for a failed one.
    readonly property bool hasCode: /^[0-9]+$/.test(password)

    readonly property bool matches: {
        const f = filter.trim().toLowerCase()
        return f.length === 0 || issuer.toLowerCase().indexOf(f) >= 0 || user.toLowerCase().indexOf(f) >= 0
    }

    function groupedCode(code) {
        if (code.length < 6)
            return code
        const size = code.length % 4 === 0 ? 4 : 3
        let out = ""
        for (let i = 0; i < code.length; i += size)
            out += (i > 0 ? " " : "") + code.substr(i, size)
        return out
    }

    function copyCode() {
        if (!hasCode) {
            app.showMessage(tokenType === typeHOTP ? qsTr("Сначала получите код кнопкой «Следующий код»")
                                                   : qsTr("Код пока недоступен"))
            return
        }
        app.copyText(password)
        app.showMessage(qsTr("Код скопирован"))
    }

    function nextCode() {
        app.accounts.incrementCounter(accountId, index)
        app.tick++
    }

    objectName: "account_" + index
    width: ListView.view ? ListView.view.width : implicitWidth
    // Rows outside the search are folded away; they keep their index, which removal needs.
    height: matches ? implicitHeight : 0
    visible: matches
    padding: 12
    Accessible.name: issuer + " " + user
    onClicked: copyCode()
    onPressAndHold: menu.popup()
    Keys.onReturnPressed: copyCode()
    Keys.onDeletePressed: app.askRemove(accountId, index, issuer, user)

    contentItem: RowLayout {
        spacing: 12

        Rectangle {
            Layout.preferredWidth: 44
            Layout.preferredHeight: 44
            Layout.alignment: Qt.AlignTop
            radius: 22
            color: row.accent
            Label {
                anchors.centerIn: parent
                text: (row.issuer || row.user || "?").charAt(0).toUpperCase()
                font.pixelSize: 20
                font.bold: true
                color: "#1b1b1b"
            }
        }

        ColumnLayout {
            Layout.fillWidth: true
            spacing: 2

            Label {
                Layout.fillWidth: true
                text: row.issuer || qsTr("Без названия")
                font.bold: true
                font.pixelSize: 16
                elide: Text.ElideRight
            }
            Label {
                Layout.fillWidth: true
                visible: row.user.length > 0
                text: row.user
                opacity: 0.7
                elide: Text.ElideRight
            }
            Label {
                objectName: "code"
                Layout.fillWidth: true
                visible: row.hasCode || row.tokenType === row.typeTOTP || row.tokenType === row.typeHOTP
                text: row.hasCode ? row.groupedCode(row.password)
                                  : (row.tokenType === row.typeHOTP ? qsTr("нажмите ↻ для кода") : "— — —")
                font.pixelSize: row.hasCode ? 30 : 16
                font.family: "DejaVu Sans Mono"
                color: row.progress <= 15 && row.tokenType === row.typeTOTP ? Material.color(Material.Red)
                                                                            : Material.accent
            }
            Label {
                objectName: "network"
                Layout.fillWidth: true
                visible: row.tokenType === row.typePush
                text: row.network === 1 ? qsTr("● Сервер на связи: вход подтверждается здесь")
                                        : row.network === 2 ? qsTr("● Нет связи с сервером")
                                                            : qsTr("● Подключение к серверу…")
                color: row.network === 1 ? Material.color(Material.Green)
                                         : row.network === 2 ? Material.color(Material.Red) : Material.color(Material.Grey)
                wrapMode: Text.Wrap
            }
            Label {
                objectName: "serverMessage"
                Layout.fillWidth: true
                // The server's text explains a broken connection; while connected it says nothing new.
                visible: row.network === 2 && row.message.length > 0
                text: row.message
                opacity: 0.8
                wrapMode: Text.Wrap
            }
        }

        ProgressRing {
            Layout.preferredWidth: 32
            Layout.preferredHeight: 32
            visible: row.hasCode && row.tokenType !== row.typeHOTP
            percent: row.progress
            color: row.progress <= 15 ? Material.color(Material.Red) : Material.accent
        }

        ToolButton {
            objectName: "nextCode"
            visible: row.tokenType === row.typeHOTP
            Accessible.name: qsTr("Следующий код")
            ToolTip.visible: hovered
            ToolTip.text: qsTr("Следующий код")
            contentItem: Icon { name: "refresh"; color: Material.foreground }
            onClicked: row.nextCode()
        }

        ToolButton {
            objectName: "more"
            Accessible.name: qsTr("Действия")
            contentItem: Icon { name: "more"; color: Material.foreground }
            onClicked: menu.popup()
        }
    }

    Menu {
        id: menu
        MenuItem {
            text: qsTr("Копировать код")
            enabled: row.hasCode
            onTriggered: row.copyCode()
        }
        MenuItem {
            text: qsTr("Следующий код")
            visible: row.tokenType === row.typeHOTP
            height: visible ? implicitHeight : 0
            onTriggered: row.nextCode()
        }
        MenuItem {
            objectName: "removeItem"
            text: qsTr("Удалить…")
            onTriggered: row.app.askRemove(row.accountId, row.index, row.issuer, row.user)
        }
    }
}
