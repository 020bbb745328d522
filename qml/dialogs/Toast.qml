import QtQuick 2.15
import QtQuick.Controls 2.15

// A short note at the bottom of the window ("Код скопирован").
ToolTip {
    objectName: "toast"
    x: parent ? (parent.width - width) / 2 : 0
    y: parent ? parent.height - height - 96 : 0
    z: 2000
}
