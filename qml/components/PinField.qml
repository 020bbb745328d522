import QtQuick 2.15
import QtQuick.Controls 2.15

// A masked field for the application PIN: digits only, a numeric keyboard on the phone.
TextField {
    echoMode: TextInput.Password
    inputMethodHints: Qt.ImhDigitsOnly | Qt.ImhSensitiveData | Qt.ImhNoPredictiveText
    validator: RegularExpressionValidator { regularExpression: /[0-9]{0,16}/ }
    horizontalAlignment: TextInput.AlignHCenter
    font.pixelSize: 24
    font.letterSpacing: 6
    selectByMouse: true
}
