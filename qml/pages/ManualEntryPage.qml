import QtQuick 2.15
import QtQuick.Controls 2.15
import QtQuick.Controls.Material 2.15
import QtQuick.Layouts 1.15
import "../components"

// An account typed by hand: service, name and secret, with the usual values for the rest. The
// entry becomes an "otpauth://" URI and goes the way of a scanned code, so the same rules apply.
Page {
    id: page

    property var app
    property string error

    readonly property bool hotp: typeBox.currentIndex === 1

    objectName: "manualEntryPage"

    // The secret as Base32: spaces, dashes, lower case and "=" padding as people copy it.
    function normalizedSecret(text) {
        return text.replace(/[\s-]/g, "").toUpperCase().replace(/=+$/, "")
    }

    // Why the secret cannot be used, or an empty text.
    function secretError(secret) {
        if (secret.length === 0)
            return qsTr("Введите секретный ключ")
        if (!/^[A-Z2-7]+$/.test(secret))
            return qsTr("Секретный ключ записывается латинскими буквами A–Z и цифрами 2–7. Проверьте, "
                        + "нет ли в нём других знаков (например, 0, 1, 8 или 9).")
        // Base32 of whole bytes never leaves 1, 3 or 6 characters over.
        if ([1, 3, 6].indexOf(secret.length % 8) >= 0)
            return qsTr("Секретный ключ неполный: проверьте, что он введён целиком.")
        return ""
    }

    function uri() {
        const issuer = issuerField.text.trim()
        const user = userField.text.trim()
        let text = "otpauth://" + (hotp ? "hotp" : "totp") + "/" + encodeURIComponent(issuer) + ":"
                   + encodeURIComponent(user) + "?secret=" + normalizedSecret(secretField.text)
        if (issuer.length > 0)
            text += "&issuer=" + encodeURIComponent(issuer)
        text += "&algorithm=" + algorithmBox.currentText + "&digits=" + digitsBox.currentText
        text += hotp ? "&counter=" + counterBox.value : "&period=" + periodBox.value
        return text
    }

    function submit() {
        error = app.namesError(issuerField.text, userField.text)
                || secretError(normalizedSecret(secretField.text))
        if (error.length === 0)
            error = app.submitUri(uri())
    }

    StackView.onActivated: issuerField.forceActiveFocus()

    header: PageHeader {
        title: qsTr("Ввод ключа")
        onBackClicked: page.StackView.view.pop()
    }

    Flickable {
        id: flick
        anchors.fill: parent
        contentWidth: width
        contentHeight: column.height + 32
        clip: true
        ScrollBar.vertical: ScrollBar {}

        ColumnLayout {
            id: column
            x: 16
            y: 16
            width: flick.width - 32
            spacing: 4

            Label { text: qsTr("Сервис"); opacity: 0.7 }
            TextField {
                id: issuerField
                objectName: "issuerField"
                Layout.fillWidth: true
                maximumLength: 256
                placeholderText: qsTr("Например, GitHub")
                selectByMouse: true
                Accessible.name: qsTr("Сервис")
                onTextChanged: page.error = ""
            }
            Label { text: qsTr("Имя аккаунта"); opacity: 0.7 }
            TextField {
                id: userField
                objectName: "userField"
                Layout.fillWidth: true
                maximumLength: 256
                placeholderText: qsTr("Например, почта или логин")
                inputMethodHints: Qt.ImhNoAutoUppercase
                selectByMouse: true
                Accessible.name: qsTr("Имя аккаунта")
                onTextChanged: page.error = ""
            }
            Label { text: qsTr("Секретный ключ"); opacity: 0.7 }
            TextField {
                id: secretField
                objectName: "secretField"
                Layout.fillWidth: true
                maximumLength: 1024
                placeholderText: "JBSW Y3DP EHPK 3PXP"
                inputMethodHints: Qt.ImhNoAutoUppercase | Qt.ImhNoPredictiveText | Qt.ImhSensitiveData
                font.family: "DejaVu Sans Mono"
                selectByMouse: true
                Accessible.name: qsTr("Секретный ключ")
                onTextChanged: page.error = ""
                onAccepted: page.submit()
            }

            Switch {
                id: advanced
                objectName: "advancedSwitch"
                Layout.topMargin: 8
                text: qsTr("Дополнительно")
            }

            GridLayout {
                Layout.fillWidth: true
                visible: advanced.checked
                columns: 2
                columnSpacing: 12

                Label { text: qsTr("Тип") }
                ComboBox {
                    id: typeBox
                    objectName: "typeBox"
                    Layout.fillWidth: true
                    model: [qsTr("По времени (TOTP)"), qsTr("По счётчику (HOTP)")]
                    Accessible.name: qsTr("Тип")
                }
                Label { text: qsTr("Цифр в коде") }
                ComboBox {
                    id: digitsBox
                    objectName: "digitsBox"
                    Layout.fillWidth: true
                    model: ["6", "7", "8"]
                    Accessible.name: qsTr("Цифр в коде")
                }
                Label { text: qsTr("Алгоритм") }
                ComboBox {
                    id: algorithmBox
                    objectName: "algorithmBox"
                    Layout.fillWidth: true
                    model: ["SHA1", "SHA256", "SHA512"]
                    Accessible.name: qsTr("Алгоритм")
                }
                Label { text: page.hotp ? qsTr("Счётчик") : qsTr("Период, с") }
                SpinBox {
                    id: periodBox
                    objectName: "periodBox"
                    Layout.fillWidth: true
                    visible: !page.hotp
                    from: 2
                    to: 120
                    value: 30
                    editable: true
                    Accessible.name: qsTr("Период, с")
                }
                SpinBox {
                    id: counterBox
                    objectName: "counterBox"
                    Layout.fillWidth: true
                    visible: page.hotp
                    from: 0
                    to: 2147483647
                    value: 0
                    editable: true
                    Accessible.name: qsTr("Счётчик")
                }
            }

            Label {
                objectName: "errorLabel"
                Layout.fillWidth: true
                Layout.topMargin: 8
                visible: page.error.length > 0
                text: page.error
                textFormat: Text.PlainText
                wrapMode: Text.Wrap
                color: Material.color(Material.Red)
            }

            Button {
                objectName: "manualAddButton"
                Layout.fillWidth: true
                Layout.topMargin: 8
                text: qsTr("Добавить")
                highlighted: true
                onClicked: page.submit()
            }
        }
    }
}
