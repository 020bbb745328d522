import QtQuick 2.15
import QtQuick.Controls 2.15
import QtQuick.Controls.Material 2.15
import QtQuick.Layouts 1.15
import Qt.labs.folderlistmodel 2.15
import Qt.labs.platform 1.1 as Platform
import "../components"

// A picker of picture files (or, with other filters, of any files) that looks the same on the
// phone and the desktop and needs no platform dialog.
Page {
    id: page

    property var app
    property string heading: qsTr("Выберите изображение")
    property var nameFilters: ["*.png", "*.jpg", "*.jpeg", "*.bmp", "*.gif", "*.webp"]
    property string emptyText: qsTr("Здесь нет изображений")
    property bool thumbnails: true
    readonly property url pictures: Platform.StandardPaths.writableLocation(Platform.StandardPaths.PicturesLocation)
    readonly property url home: Platform.StandardPaths.writableLocation(Platform.StandardPaths.HomeLocation)

    readonly property alias currentFolder: folderModel.folder

    signal picked(url file)

    objectName: "imagePickerPage"

    header: PageHeader {
        title: page.heading
        subtitle: decodeURIComponent(folderModel.folder.toString().replace(/^file:\/\//, ""))
        onBackClicked: page.StackView.view.pop()

        ToolButton {
            Accessible.name: qsTr("Вверх")
            enabled: folderModel.parentFolder.toString().length > 0
            contentItem: Icon { name: "up"; color: "white" }
            onClicked: folderModel.folder = folderModel.parentFolder
        }
    }

    FolderListModel {
        id: folderModel
        folder: page.pictures
        // A missing folder makes the model fall back to the working directory; home is better.
        property bool checked: false
        onStatusChanged: {
            if (status !== FolderListModel.Ready || checked)
                return
            checked = true
            if (folder.toString().replace(/\/$/, "") !== page.pictures.toString().replace(/\/$/, ""))
                folder = page.home
        }
        showDirsFirst: true
        showDotAndDotDot: false
        caseSensitive: false
        nameFilters: page.nameFilters
    }

    ListView {
        id: list
        anchors.fill: parent
        model: folderModel
        clip: true
        focus: true
        keyNavigationEnabled: true
        ScrollBar.vertical: ScrollBar {}
        delegate: ItemDelegate {
            required property string fileName
            required property url fileUrl
            required property bool fileIsDir

            width: ListView.view.width
            text: fileName
            onClicked: fileIsDir ? folderModel.folder = fileUrl : page.picked(fileUrl)
            Keys.onReturnPressed: clicked()
            contentItem: RowLayout {
                spacing: 12
                Item {
                    Layout.preferredWidth: 48
                    Layout.preferredHeight: 48
                    Icon {
                        anchors.fill: parent
                        anchors.margins: 8
                        visible: fileIsDir || !page.thumbnails
                        name: fileIsDir ? "folder" : "file"
                        color: Material.foreground
                    }
                    Image {
                        anchors.fill: parent
                        visible: !fileIsDir && page.thumbnails
                        source: fileIsDir || !page.thumbnails ? "" : fileUrl
                        sourceSize.width: 96
                        sourceSize.height: 96
                        asynchronous: true
                        fillMode: Image.PreserveAspectCrop
                    }
                }
                Label {
                    Layout.fillWidth: true
                    text: fileName
                    elide: Text.ElideMiddle
                }
            }
        }
    }

    Label {
        anchors.centerIn: parent
        visible: list.count === 0 && folderModel.status === FolderListModel.Ready
        text: page.emptyText
        opacity: 0.7
    }
}
