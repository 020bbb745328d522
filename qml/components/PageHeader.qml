import QtQuick 2.15
import QtQuick.Controls 2.15
import QtQuick.Controls.Material 2.15
import QtQuick.Layouts 1.15

// The tool bar of a page: a back button when the page can go back, the title, then any buttons
// the page adds.
ToolBar {
    id: bar

    property string title
    property string subtitle
    property bool canGoBack: true
    default property alias tools: row.data

    signal backClicked

    Material.foreground: "white"

    RowLayout {
        id: row
        anchors.fill: parent
        anchors.leftMargin: bar.canGoBack ? 0 : 16
        spacing: 0

        ToolButton {
            objectName: "backButton"
            visible: bar.canGoBack
            Accessible.name: qsTr("Назад")
            contentItem: Icon { name: "back"; color: bar.Material.foreground }
            onClicked: bar.backClicked()
        }
        ColumnLayout {
            Layout.fillWidth: true
            spacing: 0
            Label {
                Layout.fillWidth: true
                text: bar.title
                font.pixelSize: 20
                font.bold: true
                elide: Text.ElideRight
            }
            Label {
                Layout.fillWidth: true
                visible: bar.subtitle.length > 0
                text: bar.subtitle
                elide: Text.ElideMiddle
                opacity: 0.8
                font.pixelSize: 12
            }
        }
    }
}
