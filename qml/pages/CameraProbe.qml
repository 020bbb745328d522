import QtQuick 2.15
import QtMultimedia 5.15

QtObject {
    readonly property bool available: QtMultimedia.availableCameras.length > 0
}
