import QtQuick 2.15
import QtQuick.Controls 2.15
import QtQuick.Controls.Material 2.15

// The search field of the accounts page's tool bar; Escape closes the search.
TextField {
    signal closeRequested

    objectName: "searchField"
    placeholderText: qsTr("Поиск по сервису и имени")
    Accessible.name: placeholderText
    inputMethodHints: Qt.ImhNoPredictiveText
    Material.foreground: "white"
    Material.accent: "white"
    Keys.onEscapePressed: closeRequested()
}
