import QtQuick 2.15
import QtQuick.Controls 2.15
import QtQuick.Controls.Material 2.15

// A short note at the bottom of the window ("Код скопирован").
ToolTip {
    id: toast

    objectName: "toast"
    // A popup takes its colours from the window, not from the item it is shown over; these
    // follow the item instead (the main item sets the theme).
    Material.theme: parent ? parent.Material.theme : Material.Light
    Material.accent: parent ? parent.Material.accent : Material.Teal
    x: parent ? (parent.width - width) / 2 : 0
    y: parent ? parent.height - height - 96 : 0
    z: 2000

    // Messages may be a server's own text: shown as it is, never as markup.
    contentItem: Text {
        objectName: "toastText"
        text: toast.text
        textFormat: Text.PlainText
        font: toast.font
        wrapMode: Text.Wrap
        color: toast.Material.foreground
    }
}
