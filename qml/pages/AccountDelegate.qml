import QtQuick 2.15
import QtQuick.Controls 2.15
import QtQuick.Controls.Material 2.15
import "../components"

// One account of the list. The model signals no changes, so the row reads what changes by
// itself (code, progress, a push account's server state) again on every tick of the
// application, and the rest only when it is made, moves to another index or is rewritten. Rows
// exist only on screen, so nothing off screen is read; reading a code is cheap, the model makes a
// new one only when its period has rolled over.
Item {
    id: row

    property var app
    required property int index
    property string filter
    // Vertical shift while the row is dragged to another place.
    property real dragOffset: 0

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
    // The next code shows during the last seconds of a period.
    readonly property int nextCodeSeconds: 10

    // Bumped when the row's account is rewritten or changed or its counter advanced: everything
    // is read again.
    property int revision: 0

    function role(r, everyTick) {
        if (!app)
            return ""
        revision // re-read on a change of the account
        if (everyTick)
            app.tick
        const value = app.accounts.data(app.accounts.index(index, 0), r)
        return value === undefined || value === null ? "" : value
    }

    readonly property string issuer: role(roleIssuer, false)
    readonly property string user: role(roleUser, false)
    readonly property int accountId: Number(role(roleId, false))
    readonly property int tokenType: Number(role(roleType, false))
    readonly property string accent: role(roleColor, false) || "skyblue"
    readonly property string password: role(rolePassword, tokenType !== typeHOTP)
    readonly property int progress: tokenType === typeHOTP ? 100 : Number(role(roleProgress, true))
    readonly property int network: tokenType === typePush ? Number(role(roleNetwork, true)) : 0
    readonly property string message: tokenType === typePush ? role(roleMessage, true) : ""
    // Digits only: "- - - -" stands for a code not computed yet, an empty text for a failed one.
    readonly property bool hasCode: /^[0-9]+$/.test(password)
    readonly property bool expiring: hasCode && tokenType !== typeHOTP && progress <= 15
    readonly property string nextPassword: {
        if (!app || !hasCode || tokenType !== typeTOTP)
            return ""
        app.tick
        return app.accounts.nextPassword(index, nextCodeSeconds)
    }

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

    // Screen readers read "1 2 3 4 5 6" digit by digit.
    function spokenCode(code) {
        return code.split("").join(" ")
    }

    function copyCode() {
        if (!hasCode) {
            app.showMessage(tokenType === typeHOTP ? qsTr("Сначала получите код кнопкой ↻")
                                                   : qsTr("Код пока недоступен"))
            return
        }
        app.copyText(password)
        app.showMessage(qsTr("Код скопирован"))
    }

    function nextCode() {
        app.accounts.incrementCounter(accountId, index)
        revision++
    }

    Connections {
        target: row.app ? row.app.accounts : null
        function onItemrewrited(rewritten) {
            if (rewritten === row.index)
                row.revision++
        }
        function onDataChanged(topLeft, bottomRight) {
            if (row.index >= topLeft.row && row.index <= bottomRight.row)
                row.revision++
        }
    }

    objectName: "account_" + index
    width: ListView.view ? ListView.view.width : implicitWidth
    // Rows outside the search are folded away; they keep their index, which removal needs.
    height: matches ? implicitHeight : 0
    visible: matches
    implicitHeight: content.implicitHeight + 24
    z: dragArea.pressed ? 2 : 0
    transform: Translate { y: row.dragOffset }
    Accessible.role: Accessible.ListItem
    Accessible.name: (issuer || qsTr("Без названия")) + (user ? ", " + user : "")
    Accessible.description: hasCode ? qsTr("Код %1").arg(spokenCode(password)) : ""
    Accessible.onPressAction: copyCode()
    Keys.onReturnPressed: copyCode()
    Keys.onEnterPressed: copyCode()
    Keys.onDeletePressed: app.askRemove(accountId, index, issuer, user)
    Keys.onMenuPressed: app.openRowMenu(row, more)
    Keys.onPressed: {
        if (event.matches(StandardKey.Copy)) {
            copyCode()
            event.accepted = true
        } else if (event.key === Qt.Key_F10 && (event.modifiers & Qt.ShiftModifier)) {
            app.openRowMenu(row, more)
            event.accepted = true
        }
    }

    // Kept light, so that a long list starts nearly as fast as an empty window: plain items
    // instead of a styled delegate, no Canvas, no Menu and no layouts per row.
    Rectangle {
        objectName: "focusFrame"
        anchors.fill: parent
        color: mouse.pressed || dragArea.pressed ? row.Material.rippleColor : "transparent"
        // The keyboard's place in the list; a tap or a click leaves no mark.
        border.width: row.activeFocus && row.app && row.app.keyboardUsed ? 2 : 0
        border.color: row.Material.accent
    }

    MouseArea {
        id: mouse
        anchors.fill: parent
        onPressed: row.app.keyboardUsed = false
        onClicked: {
            row.ListView.view.currentIndex = row.index
            row.copyCode()
        }
        onPressAndHold: row.app.openRowMenu(row, row)
    }

    Item {
        id: content
        anchors.fill: parent
        anchors.margins: 12
        implicitHeight: Math.max(44, texts.implicitHeight)

        Rectangle {
            id: avatar
            width: 44
            height: 44
            radius: 22
            color: row.accent
            Text {
                anchors.centerIn: parent
                text: (row.issuer || row.user || "?").charAt(0).toUpperCase()
                textFormat: Text.PlainText
                font.pixelSize: 20
                font.bold: true
                color: "#1b1b1b"
            }
        }

        Column {
            id: texts
            anchors.left: avatar.right
            anchors.leftMargin: 12
            anchors.right: buttons.left
            spacing: 2

            Text {
                objectName: "issuerText"
                width: parent.width
                text: row.issuer || qsTr("Без названия")
                // Names and server texts come from scanned codes and servers: never markup.
                textFormat: Text.PlainText
                font.bold: true
                font.pixelSize: 16
                elide: Text.ElideRight
                color: row.Material.foreground
            }
            Text {
                width: parent.width
                visible: row.user.length > 0
                text: row.user
                textFormat: Text.PlainText
                opacity: 0.7
                elide: Text.ElideRight
                color: row.Material.foreground
            }
            Text {
                objectName: "code"
                width: parent.width
                visible: row.hasCode || row.tokenType === row.typeTOTP || row.tokenType === row.typeHOTP
                text: row.hasCode ? row.groupedCode(row.password)
                                  : (row.tokenType === row.typeHOTP ? qsTr("нажмите ↻ для кода") : "— — —")
                textFormat: Text.PlainText
                font.pixelSize: row.hasCode ? 30 : 14
                // The application's own face for words: an empty family would fall back to a serif.
                font.family: row.hasCode ? "DejaVu Sans Mono" : Qt.application.font.family
                color: row.expiring ? Material.color(Material.Red) : Material.accent
                Accessible.name: row.hasCode ? row.spokenCode(row.password) : text
            }
            // Remaining validity of a time-based code.
            Rectangle {
                objectName: "progressBar"
                visible: row.hasCode && row.tokenType !== row.typeHOTP
                width: parent.width
                height: 3
                radius: 1.5
                color: Material.dividerColor
                Rectangle {
                    width: parent.width * Math.max(0, Math.min(100, row.progress)) / 100
                    height: parent.height
                    radius: parent.radius
                    color: row.expiring ? Material.color(Material.Red) : Material.accent
                }
            }
            Text {
                objectName: "nextCodeText"
                width: parent.width
                visible: row.nextPassword.length > 0
                text: qsTr("Следующий: %1").arg(row.groupedCode(row.nextPassword))
                textFormat: Text.PlainText
                font.pixelSize: 13
                opacity: 0.7
                color: row.Material.foreground
            }
            Text {
                objectName: "network"
                width: parent.width
                visible: row.tokenType === row.typePush
                text: row.network === 1 ? qsTr("● Сервер на связи: вход подтверждается здесь")
                                        : row.network === 2 ? qsTr("● Нет связи с сервером")
                                                            : qsTr("● Подключение к серверу…")
                color: row.network === 1 ? Material.color(Material.Green)
                                         : row.network === 2 ? Material.color(Material.Red) : Material.color(Material.Grey)
                wrapMode: Text.Wrap
            }
            Text {
                objectName: "serverMessage"
                width: parent.width
                // The server's text explains a broken connection; while connected it says nothing new.
                visible: row.network === 2 && row.message.length > 0
                text: row.app ? row.app.displayMessage(row.message) : ""
                textFormat: Text.PlainText
                opacity: 0.8
                wrapMode: Text.Wrap
                color: row.Material.foreground
            }
        }

        Row {
            id: buttons
            anchors.right: parent.right
            anchors.verticalCenter: parent.verticalCenter

            GlyphButton {
                objectName: "nextCode"
                visible: row.tokenType === row.typeHOTP
                text: "↻"
                toolTip: qsTr("Следующий код")
                onClicked: row.nextCode()
            }
            GlyphButton {
                id: more
                objectName: "more"
                text: "⋮"
                toolTip: qsTr("Действия")
                onClicked: row.app.openRowMenu(row, this)
            }
            // Drag to another place in the list; "Выше" and "Ниже" in the menu do the same.
            GlyphButton {
                id: handle
                objectName: "dragHandle"
                visible: row.filter.trim().length === 0
                width: 32
                text: "≡"
                opacity: 0.6
                toolTip: qsTr("Перетащите, чтобы изменить порядок")
                // Screen readers move rows with "Выше" and "Ниже" of the menu.
                Accessible.ignored: true

                MouseArea {
                    id: dragArea

                    property real startY

                    anchors.fill: parent
                    preventStealing: true
                    cursorShape: Qt.SizeVerCursor
                    onPressed: {
                        row.app.keyboardUsed = false
                        startY = mapToItem(row.ListView.view, mouse.x, mouse.y).y
                    }
                    onPositionChanged: row.dragOffset = mapToItem(row.ListView.view, mouse.x, mouse.y).y - startY
                    onReleased: {
                        const view = row.ListView.view
                        const centre = row.y + row.height / 2 + row.dragOffset
                        let to = view.indexAt(0, centre)
                        if (to < 0)
                            to = centre < 0 ? 0 : view.count - 1
                        row.dragOffset = 0
                        if (to !== row.index)
                            row.app.moveRow(row.index, to)
                    }
                    onCanceled: row.dragOffset = 0
                }
            }
        }
    }
}
