import QtQuick 2.15
import QtQuick.Controls 2.15
import QtQuick.Controls.Material 2.15
import QtQuick.Layouts 1.15
import Qt.labs.folderlistmodel 2.15
import Qt.labs.platform 1.1 as Platform
import ru.kestrel.ui 1.0
import "../components"

// A picker of picture files (or, with other filters, of any files) that looks the same on the
// phone and the desktop and needs no platform dialog. It starts where the last file was taken
// from (else Pictures, Downloads, home), offers those folders as shortcuts and takes a typed path.
Page {
    id: page

    property var app
    property string heading: qsTr("Выберите изображение")
    property var nameFilters: ["*.png", "*.jpg", "*.jpeg", "*.bmp", "*.gif", "*.webp"]
    property string emptyText: qsTr("Здесь нет изображений")
    property bool thumbnails: true
    property string pathError
    // The folder shown; the model tells of its own changes only once it has read them.
    property url currentFolder: fileUrl(AppSettings.startFolder())
    readonly property string currentPath: localPath(currentFolder)

    signal picked(url file)

    function fileUrl(path) {
        return "file://" + path.split("/").map(encodeURIComponent).join("/")
    }

    function localPath(url) {
        return decodeURIComponent(url.toString().replace(/^file:\/\//, ""))
    }

    function openFolder(path) {
        let folder = path.trim()
        if (folder === "~" || folder.indexOf("~/") === 0)
            folder = localPath(Platform.StandardPaths.writableLocation(Platform.StandardPaths.HomeLocation))
                     + folder.substring(1)
        if (!AppSettings.isFolder(folder)) {
            pathError = qsTr("Папка не найдена: %1").arg(folder)
            return
        }
        pathError = ""
        currentFolder = fileUrl(folder)
    }

    function pick(fileUrl) {
        AppSettings.lastFolder = currentPath
        picked(fileUrl)
    }

    objectName: "imagePickerPage"

    header: PageHeader {
        title: page.heading
        onBackClicked: page.StackView.view.pop()

        ToolButton {
            objectName: "upButton"
            Accessible.name: qsTr("Вверх")
            enabled: folderModel.parentFolder.toString().length > 0
            contentItem: Icon { name: "up"; color: "white" }
            onClicked: page.currentFolder = folderModel.parentFolder
        }
    }

    FolderListModel {
        id: folderModel
        folder: page.currentFolder
        showDirsFirst: true
        showDotAndDotDot: false
        caseSensitive: false
        nameFilters: page.nameFilters
    }

    ColumnLayout {
        anchors.fill: parent
        spacing: 0

        RowLayout {
            Layout.fillWidth: true
            Layout.leftMargin: 8
            Layout.rightMargin: 8
            spacing: 0
            Repeater {
                model: [
                    { name: "pictures", text: qsTr("Изображения"), location: Platform.StandardPaths.PicturesLocation },
                    { name: "downloads", text: qsTr("Загрузки"), location: Platform.StandardPaths.DownloadLocation },
                    { name: "home", text: qsTr("Домашняя папка"), location: Platform.StandardPaths.HomeLocation }
                ]
                Button {
                    required property var modelData
                    readonly property string path: page.localPath(
                        Platform.StandardPaths.writableLocation(modelData.location))
                    objectName: "shortcut_" + modelData.name
                    flat: true
                    visible: AppSettings.isFolder(path)
                    text: modelData.text
                    onClicked: page.openFolder(path)
                }
            }
        }

        TextField {
            id: pathField
            objectName: "pathField"
            Layout.fillWidth: true
            Layout.leftMargin: 16
            Layout.rightMargin: 16
            text: page.currentPath
            placeholderText: qsTr("Путь к папке")
            inputMethodHints: Qt.ImhNoAutoUppercase | Qt.ImhNoPredictiveText
            selectByMouse: true
            Accessible.name: qsTr("Путь к папке")
            onAccepted: page.openFolder(text)
        }
        Label {
            objectName: "pathError"
            Layout.fillWidth: true
            Layout.leftMargin: 16
            Layout.rightMargin: 16
            visible: page.pathError.length > 0
            text: page.pathError
            textFormat: Text.PlainText
            wrapMode: Text.Wrap
            color: Material.color(Material.Red)
        }

        ListView {
            id: list
            objectName: "fileList"
            Layout.fillWidth: true
            Layout.fillHeight: true
            model: folderModel
            clip: true
            focus: true
            activeFocusOnTab: true
            keyNavigationEnabled: true
            ScrollBar.vertical: ScrollBar {}
            delegate: ItemDelegate {
                required property string fileName
                required property url fileUrl
                required property bool fileIsDir

                width: ListView.view.width
                text: fileName
                Accessible.name: fileIsDir ? qsTr("Папка %1").arg(fileName) : fileName
                onClicked: fileIsDir ? page.currentFolder = fileUrl : page.pick(fileUrl)
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
                        textFormat: Text.PlainText
                        elide: Text.ElideMiddle
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
    }
}
