import QtQuick 2.15
import QtQuick.Controls 2.15
import QtQuick.Controls.Material 2.15
import QtQuick.Layouts 1.15
import ru.kestrel.vexa 1.0
import ru.kestrel.ui 1.0
import "pages"
import "dialogs"

// The main window: the accounts list with the pages above it, and the dialogs that follow the
// accounts model's signals (duplicates, registrations, login confirmations) and the PIN lock.
Page {
    id: root

    readonly property alias accounts: accountsModel
    readonly property alias pinModel: pinModel
    readonly property alias pinLimiter: limiter
    readonly property alias stack: stack
    // Advances every second; the account rows read their codes again on it.
    property int tick: 0
    property bool registering: false
    // Set while add() runs: a local account answers at once, a ticket only later.
    property bool addAnswered: false
    property bool confirmationWaiting: false
    readonly property bool locked: lockScreen.opened || lockScreen.visible

    objectName: "app"
    implicitWidth: 420
    implicitHeight: 760
    padding: 0

    AccountsListModel { id: accountsModel }
    ApplicationPinModel { id: pinModel }
    QRCodeScannerModel { id: scannerModel }
    PinAttemptLimiter { id: limiter }
    Clipboard { id: clipboard }

    function showMessage(text) {
        toast.text = text
        toast.open()
        toastTimer.restart()
    }

    function copyText(text) {
        clipboard.setText(text)
    }

    function clipboardText() {
        return clipboard.text().trim()
    }

    function formatWait(seconds) {
        const h = Math.floor(seconds / 3600)
        const m = Math.floor(seconds / 60) % 60
        const s = seconds % 60
        const mm = h > 0 && m < 10 ? "0" + m : String(m)
        return (h > 0 ? h + ":" : "") + mm + ":" + (s < 10 ? "0" + s : s)
    }

    // Hands a QR text to the scanner model and, when it is usable, to the accounts model.
    // Returns a message for the user, or an empty text when the text was taken.
    function submitUri(text) {
        const uri = text.trim()
        if (uri.length === 0)
            return qsTr("Вставьте текст QR-кода")
        scannerModel.onQRCodeScanned(uri)
        if (!scannerModel.isValid())
            return qsTr("Это не QR-код аккаунта. Нужна ссылка вида otpauth://totp/…, otpauth://hotp/… "
                        + "или билет orbticket://…")
        addAnswered = false
        accountsModel.add(uri)
        if (!addAnswered) {
            registering = true
            registrationDialog.start()
        }
        backToList()
        return ""
    }

    function backToList() {
        stack.pop(null)
    }

    function openAddPage() {
        stack.push(addPage, {})
    }

    function openCamera() {
        stack.push(Qt.resolvedUrl("pages/CameraPage.qml"), { app: root })
    }

    function openImagePicker(addPageItem) {
        const picker = stack.push(Qt.resolvedUrl("pages/ImagePickerPage.qml"), { app: root })
        picker.picked.connect(function (file) {
            stack.pop()
            addPageItem.submitImage(file.toString())
        })
    }

    function openSettings() {
        stack.push(Qt.resolvedUrl("pages/SettingsPage.qml"), { app: root })
    }

    function openAbout() {
        stack.push(Qt.resolvedUrl("pages/AboutPage.qml"), {})
    }

    function openPinSetup(mode) {
        stack.push(Qt.resolvedUrl("pages/PinSetupPage.qml"), { app: root, mode: mode })
    }

    function askRemove(id, index, issuer, user) {
        removeDialog.accountId = id
        removeDialog.row = index
        removeDialog.text = qsTr("Удалить аккаунт «%1»%2? Коды для входа по нему больше не будут доступны.")
                                .arg(issuer || qsTr("Без названия")).arg(user ? " (" + user + ")" : "")
        removeDialog.open()
    }

    // One menu for all rows, shown beside the row's button.
    function openRowMenu(row, anchor) {
        rowMenu.target = row
        const p = anchor.mapToItem(root, anchor.width, anchor.height)
        rowMenu.popup(p.x - rowMenu.width, p.y)
    }

    function lock() {
        if (pinModel.isPinCodePresent() && !locked)
            lockScreen.open()
    }

    function showConfirmation() {
        confirmationWaiting = false
        confirmationDialog.show()
    }

    Component.onCompleted: lock()

    Timer {
        // Realigned to the wall-clock second, so codes change on time.
        interval: 1000
        repeat: true
        running: true
        onTriggered: {
            root.tick++
            interval = 1000 - (Date.now() % 1000) + 10
        }
    }

    Connections {
        target: Qt.application
        function onStateChanged() {
            if (Qt.application.state === Qt.ApplicationSuspended)
                root.lock()
        }
    }

    Connections {
        target: accountsModel

        function onAccountready() {
            root.addAnswered = true
            root.showMessage(root.registering ? qsTr("Аккаунт зарегистрирован") : qsTr("Аккаунт добавлен"))
            root.registering = false
            registrationDialog.close()
        }
        function onRequestduplicate() {
            root.addAnswered = true
            root.registering = false
            registrationDialog.close()
            duplicateDialog.open()
        }
        function onItemrewrited(row) {
            root.tick++
            root.showMessage(qsTr("Аккаунт заменён"))
        }
        function onBadreply(msg) {
            root.addAnswered = true
            if (confirmationDialog.visible) {
                confirmationDialog.outcome("error", msg)
            } else if (root.registering) {
                root.registering = false
                registrationDialog.fail(msg)
            } else {
                root.showMessage(msg)
            }
        }
        function onRequestconfirmation() {
            if (root.locked)
                root.confirmationWaiting = true
            else
                root.showConfirmation()
        }
        function onCancelconfirmation() {
            if (root.confirmationWaiting) {
                // Withdrawn before the user could see it.
                root.confirmationWaiting = false
                accountsModel.finishConfirmation()
            } else {
                confirmationDialog.outcome("withdrawn")
            }
        }
        function onAccepted() {
            confirmationDialog.outcome("accepted")
        }
        function onDeclined() {
            confirmationDialog.outcome("declined")
        }
    }

    StackView {
        id: stack
        objectName: "stack"
        anchors.fill: parent
        initialItem: AccountsPage { app: root }
    }

    Component {
        id: addPage
        AddAccountPage { app: root }
    }

    QuestionDialog {
        id: removeDialog
        objectName: "removeDialog"

        property int accountId: -1
        property int row: -1

        title: qsTr("Удалить аккаунт?")
        onAccepted: {
            accountsModel.remove(accountId, row)
            root.showMessage(qsTr("Аккаунт удалён"))
        }
    }

    Menu {
        id: rowMenu
        objectName: "rowMenu"

        property var target: null
        readonly property bool hotp: target !== null && target.tokenType === 2

        onClosed: target = null

        MenuItem {
            objectName: "copyItem"
            text: qsTr("Копировать код")
            enabled: rowMenu.target !== null && rowMenu.target.hasCode
            onTriggered: rowMenu.target.copyCode()
        }
        MenuItem {
            objectName: "nextCodeItem"
            text: qsTr("Следующий код")
            visible: rowMenu.hotp
            height: visible ? implicitHeight : 0
            onTriggered: rowMenu.target.nextCode()
        }
        MenuItem {
            objectName: "removeItem"
            text: qsTr("Удалить…")
            onTriggered: {
                const r = rowMenu.target
                root.askRemove(r.accountId, r.index, r.issuer, r.user)
            }
        }
    }

    DuplicateDialog {
        id: duplicateDialog
        onReplaceChosen: accountsModel.rewrite()
        onKeepBothChosen: accountsModel.duplicate()
    }

    RegistrationDialog {
        id: registrationDialog
        onClosed: root.registering = false
    }

    ConfirmationDialog {
        id: confirmationDialog
        accounts: accountsModel
    }

    LockScreen {
        id: lockScreen
        app: root
        onUnlocked: {
            if (root.confirmationWaiting)
                root.showConfirmation()
        }
    }

    ToolTip {
        id: toast
        objectName: "toast"
        x: (parent.width - width) / 2
        y: parent.height - height - 96
        z: 2000
        timeout: -1
        Timer {
            id: toastTimer
            interval: 2500
            onTriggered: toast.close()
        }
    }
}
