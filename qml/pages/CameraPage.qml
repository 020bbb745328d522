import QtQuick 2.15
import QtQuick.Controls 2.15
import QtQuick.Controls.Material 2.15
import QtQuick.Layouts 1.15
import QtMultimedia 5.15
import ru.kestrel.ui 1.0
import "../components"

// Looks for a QR code in the viewfinder twice a second until one is read.
Page {
    id: page

    property var app
    property string error
    property bool done

    objectName: "cameraPage"

    QRImageDecoder { id: decoder }

    header: PageHeader {
        title: qsTr("Сканирование QR-кода")
        onBackClicked: page.StackView.view.pop()
    }

    Camera {
        id: camera
        captureMode: Camera.CaptureViewfinder
        focus.focusMode: CameraFocus.FocusContinuous
        onError: page.error = errorString
    }

    VideoOutput {
        id: viewfinder
        anchors.fill: parent
        source: camera
        autoOrientation: true
        fillMode: VideoOutput.PreserveAspectCrop
    }

    Rectangle {
        anchors.centerIn: parent
        width: Math.min(parent.width, parent.height) * 0.7
        height: width
        color: "transparent"
        border.color: "white"
        border.width: 3
        radius: 12
    }

    Label {
        anchors.bottom: parent.bottom
        anchors.horizontalCenter: parent.horizontalCenter
        anchors.margins: 24
        width: parent.width - 48
        horizontalAlignment: Text.AlignHCenter
        wrapMode: Text.Wrap
        color: "white"
        style: Text.Outline
        text: page.error.length > 0 ? page.error : qsTr("Наведите камеру на QR-код")
    }

    Timer {
        interval: 500
        repeat: true
        running: !page.done && page.StackView.status === StackView.Active && camera.cameraStatus === Camera.ActiveStatus
        onTriggered: viewfinder.grabToImage(function (result) {
            if (page.done || !decoder.decodeImage(result.image))
                return
            page.error = page.app.submitUri(decoder.text)
            page.done = page.error.length === 0
        })
    }
}
