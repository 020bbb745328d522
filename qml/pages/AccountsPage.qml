import QtQuick 2.15
import QtQuick.Controls 2.15
import QtQuick.Controls.Material 2.15
import QtQuick.Layouts 1.15
import "../components"

// The start page. What is not needed at once (the search field, the menu, the empty-list text)
// is made when first shown, so that the window appears sooner.
Page {
    id: page

    property var app
    property bool searching: false
    property var mainMenu: null
    readonly property string filter: searchLoader.item ? searchLoader.item.text : ""
    readonly property alias accountsList: list

    objectName: "accountsPage"
    // Back from another page, the keyboard goes on in the list.
    StackView.onActivated: list.forceActiveFocus()

    function startSearch() {
        searching = true
        searchLoader.item.forceActiveFocus()
    }

    function stopSearch() {
        searching = false
        list.forceActiveFocus()
    }

    Shortcut {
        sequences: [StandardKey.Find]
        enabled: page.StackView.status === StackView.Active
        onActivated: page.startSearch()
    }
    Shortcut {
        sequences: [StandardKey.New]
        enabled: page.StackView.status === StackView.Active
        onActivated: page.app.openAddPage()
    }

    // The style's tool bar and round button draw their shadows through an offscreen layer each
    // (a shader compile and a buffer at start, a pass every frame): plain rectangles instead.
    header: ToolBar {
        id: toolBar
        Material.foreground: "white"
        background: Rectangle {
            implicitHeight: 48
            color: toolBar.Material.toolBarColor
            Rectangle {
                anchors.top: parent.bottom
                width: parent.width
                height: 4
                gradient: Gradient {
                    GradientStop { position: 0; color: "#40000000" }
                    GradientStop { position: 1; color: "transparent" }
                }
            }
        }

        RowLayout {
            anchors.fill: parent
            anchors.leftMargin: 12
            spacing: 0

            Label {
                visible: !page.searching
                Layout.fillWidth: true
                text: qsTr("Kestrel 2FA")
                font.pixelSize: 20
                font.bold: true
            }
            Loader {
                id: searchLoader
                visible: page.searching
                active: page.searching
                Layout.fillWidth: true
                source: "SearchField.qml"
                onLoaded: item.closeRequested.connect(page.stopSearch)
            }
            ToolButton {
                objectName: "searchButton"
                Accessible.name: page.searching ? qsTr("Закрыть поиск") : qsTr("Поиск")
                contentItem: Icon { name: page.searching ? "close" : "search"; color: "white" }
                onClicked: page.searching ? page.stopSearch() : page.startSearch()
            }
            ToolButton {
                id: menuButton
                objectName: "menuButton"
                text: "⋮"
                font.pixelSize: 22
                font.bold: true
                Accessible.name: qsTr("Меню")
                onClicked: {
                    // Made on the page, not in the tool bar, whose white text it would take.
                    if (!page.mainMenu)
                        page.mainMenu = Qt.createComponent("MainMenu.qml").createObject(page, { app: page.app })
                    const p = menuButton.mapToItem(page, menuButton.width, menuButton.height)
                    page.mainMenu.popup(p.x - page.mainMenu.width, p.y)
                }
            }
        }
    }

    ListView {
        id: list
        objectName: "accountsList"
        anchors.fill: parent
        model: page.app.accounts
        clip: true
        focus: true
        activeFocusOnTab: true
        keyNavigationEnabled: true
        Accessible.role: Accessible.List
        Accessible.name: qsTr("Аккаунты")
        bottomMargin: 88
        cacheBuffer: 0
        ScrollBar.vertical: ScrollBar {}
        delegate: AccountDelegate {
            app: page.app
            filter: page.filter
        }
        moveDisplaced: Transition {
            NumberAnimation { property: "y"; duration: 150 }
        }

        // Hidden rows keep their indexes, which removal needs; count the shown ones for the empty
        // text. Only a search needs the count: it is taken again each second while one is shown.
        property int shownCount: {
            if (page.filter.trim().length === 0)
                return count
            page.app.tick
            let n = 0
            for (let i = 0; i < contentItem.children.length; ++i) {
                const item = contentItem.children[i]
                if (item.matches === true)
                    ++n
            }
            return n
        }
    }

    Loader {
        objectName: "emptyState"
        anchors.centerIn: parent
        width: Math.min(parent.width - 48, 360)
        active: list.count === 0
        visible: active
        source: "EmptyState.qml"
        onLoaded: item.app = page.app
    }

    Label {
        objectName: "noMatches"
        anchors.centerIn: parent
        visible: list.count > 0 && page.filter.trim().length > 0 && list.shownCount === 0
        text: qsTr("Ничего не найдено")
        opacity: 0.7
    }

    RoundButton {
        id: addButton
        objectName: "addButton"
        anchors.right: parent.right
        anchors.bottom: parent.bottom
        anchors.margins: 20
        width: 64
        height: 64
        highlighted: true
        text: "+"
        font.pixelSize: 32
        Accessible.name: qsTr("Добавить аккаунт")
        onClicked: page.app.openAddPage()
        background: Rectangle {
            radius: width / 2
            color: addButton.Material.highlightedButtonColor
            Rectangle {
                z: -1
                y: 3
                width: parent.width
                height: parent.height
                radius: parent.radius
                color: "#33000000"
            }
            Rectangle {
                anchors.fill: parent
                radius: parent.radius
                visible: addButton.down || addButton.hovered || addButton.visualFocus
                color: addButton.Material.rippleColor
            }
        }
    }
}
