import QtQuick 2.15
import QtQuick.Controls.Material 2.15

// A button showing one text glyph; two items only, light enough for every row of a long list.
Text {
    id: button

    property string toolTip

    signal clicked

    width: 44
    height: 44
    horizontalAlignment: Text.AlignHCenter
    verticalAlignment: Text.AlignVCenter
    font.pixelSize: 22
    font.bold: true
    color: Material.foreground
    opacity: area.pressed ? 0.5 : area.containsMouse ? 0.75 : 1
    Accessible.role: Accessible.Button
    Accessible.name: toolTip
    Accessible.onPressAction: clicked()

    MouseArea {
        id: area
        anchors.fill: parent
        hoverEnabled: true
        onClicked: button.clicked()
    }
}
