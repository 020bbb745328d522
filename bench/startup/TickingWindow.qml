import QtQuick 2.15

// The bare window with one small change a second: what a window redrawn each second costs.
Rectangle {
    color: "white"

    Rectangle {
        id: bar
        y: 100
        width: 100
        height: 3
        color: "teal"
    }

    Timer {
        interval: 1000
        repeat: true
        running: true
        onTriggered: bar.width = (bar.width + 7) % 400
    }
}
