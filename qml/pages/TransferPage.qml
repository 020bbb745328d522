import QtQuick 2.15
import QtQuick.Controls 2.15
import QtQuick.Layouts 1.15
import ru.kestrel.ui 1.0
import "../components"

// The accounts as transfer QR codes ("otpauth-migration://"), one page a code, for another phone
// to scan in turn.
Page {
    id: page

    property var app
    property var codes: []
    property string notice

    objectName: "transferPage"
    Component.onCompleted: {
        codes = app.accounts.migrationCodes()
        notice = app.accounts.exportNotice("migration")
    }
    // The codes hold every secret; they go with the page.
    StackView.onRemoved: codes = []

    header: PageHeader {
        title: qsTr("Перенос на другое устройство")
        subtitle: page.codes.length > 1 ? qsTr("Код %1 из %2").arg(swipe.currentIndex + 1).arg(page.codes.length) : ""
        onBackClicked: page.StackView.view.pop()
    }

    ColumnLayout {
        anchors.fill: parent
        anchors.margins: 16
        spacing: 12

        Label {
            Layout.fillWidth: true
            wrapMode: Text.Wrap
            opacity: 0.8
            text: page.codes.length > 0
                  ? qsTr("Отсканируйте коды по очереди приложением, которое принимает коды переноса Google "
                         + "Authenticator. Не показывайте их посторонним: по ним можно получать ваши коды.")
                  : qsTr("Нет аккаунтов, которые можно перенести.")
        }
        SwipeView {
            id: swipe
            objectName: "transferCodes"
            Layout.fillWidth: true
            Layout.fillHeight: true
            clip: true

            Repeater {
                model: page.codes
                QRCode {
                    text: modelData
                }
            }
        }
        PageIndicator {
            Layout.alignment: Qt.AlignHCenter
            visible: count > 1
            count: swipe.count
            currentIndex: swipe.currentIndex
        }
        RowLayout {
            Layout.fillWidth: true
            visible: swipe.count > 1
            Button {
                objectName: "previousButton"
                text: qsTr("Предыдущий")
                flat: true
                enabled: swipe.currentIndex > 0
                onClicked: swipe.decrementCurrentIndex()
            }
            Item { Layout.fillWidth: true }
            Button {
                objectName: "nextButton"
                text: qsTr("Следующий")
                highlighted: true
                enabled: swipe.currentIndex < swipe.count - 1
                onClicked: swipe.incrementCurrentIndex()
            }
        }
        Label {
            objectName: "noticeLabel"
            Layout.fillWidth: true
            visible: page.notice.length > 0
            wrapMode: Text.Wrap
            opacity: 0.8
            text: page.notice
        }
    }
}
