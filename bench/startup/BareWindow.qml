import QtQuick 2.15
import QtQuick.Controls 2.15
import QtQuick.Controls.Material 2.15
import QtQuick.Layouts 1.15
import ru.kestrel.vexa 1.0
import ru.kestrel.ui 1.0

// The reference of the start-up benchmark: the main window's imports, nothing else.
Page {
    Label {
        anchors.centerIn: parent
        text: "Kestrel 2FA"
    }
}
