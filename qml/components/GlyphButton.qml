import QtQuick 2.15
import QtQuick.Controls 2.15
import QtQuick.Controls.Material 2.15

// A round button showing one text glyph; light enough for every row of a long list.
Item {
    id: button

    property alias text: glyph.text
    property string toolTip

    signal clicked

    implicitWidth: 44
    implicitHeight: 44
    Accessible.role: Accessible.Button
    Accessible.name: toolTip
    Accessible.onPressAction: clicked()

    Rectangle {
        anchors.centerIn: parent
        width: 40
        height: 40
        radius: 20
        color: area.pressed ? button.Material.rippleColor
                            : area.containsMouse ? button.Material.listHighlightColor : "transparent"
    }
    Text {
        id: glyph
        anchors.centerIn: parent
        font.pixelSize: 22
        font.bold: true
        color: button.Material.foreground
    }
    MouseArea {
        id: area
        anchors.fill: parent
        hoverEnabled: true
        onClicked: button.clicked()
    }
}
