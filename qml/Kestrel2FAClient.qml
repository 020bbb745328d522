import QtQuick 2.6

// The main window; the screens come with the user-interface models.
Rectangle {
    width: 540
    height: 960
    color: "#1b1f24"

    Column {
        anchors.centerIn: parent
        spacing: 16

        Text {
            anchors.horizontalCenter: parent.horizontalCenter
            text: "Kestrel 2FA"
            color: "white"
            font.pixelSize: 36
        }
        Text {
            anchors.horizontalCenter: parent.horizontalCenter
            text: Qt.application.version
            color: "#a0a8b0"
            font.pixelSize: 18
        }
    }
}
