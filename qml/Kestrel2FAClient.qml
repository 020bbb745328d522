import QtQuick 2.15
import QtQuick.Controls 2.15
import QtQuick.Controls.Material 2.15
import QtQuick.Layouts 1.15
import ru.kestrel.vexa 1.0
import ru.kestrel.ui 1.0
import "pages"

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
    // True from the start when a PIN is set: nothing shows until it is entered.
    property bool locked: pinModel.isPinCodePresent()
    property var popups: ({})

    objectName: "app"
    implicitWidth: 420
    implicitHeight: 760
    padding: 0

    AccountsListModel { id: accountsModel }
    ApplicationPinModel { id: pinModel }
    QRCodeScannerModel { id: scannerModel }
    PinAttemptLimiter { id: limiter }
    Clipboard { id: clipboard }

    // Popups are made on first use from their files: the window comes up sooner without them.
    function popup(name) {
        if (popups[name])
            return popups[name]
        const files = {
            "remove": "dialogs/RemoveDialog.qml",
            "rowMenu": "dialogs/RowMenu.qml",
            "duplicate": "dialogs/DuplicateDialog.qml",
            "registration": "dialogs/RegistrationDialog.qml",
            "confirmation": "dialogs/ConfirmationDialog.qml",
            "lock": "dialogs/LockScreen.qml",
            "toast": "dialogs/Toast.qml",
            "pinCheck": "dialogs/PinCheckDialog.qml",
            "accountQr": "dialogs/AccountQrDialog.qml"
        }
        const component = Qt.createComponent(Qt.resolvedUrl(files[name]))
        const withApp = ["lock", "remove", "rowMenu", "pinCheck", "accountQr"]
        const properties = name === "confirmation" ? { accounts: accountsModel }
                         : withApp.indexOf(name) >= 0 ? { app: root } : {}
        const p = component.createObject(root, properties)
        // The handlers may still run while the window closes, when the main item is gone.
        if (name === "duplicate") {
            p.replaceChosen.connect(accountsModel.rewrite)
            p.keepBothChosen.connect(accountsModel.duplicate)
        } else if (name === "registration") {
            p.closed.connect(function () {
                if (root)
                    root.registering = false
            })
        } else if (name === "lock") {
            p.visibleChanged.connect(function () {
                if (root && p)
                    root.locked = p.visible
            })
            p.unlocked.connect(function () {
                if (root && root.confirmationWaiting)
                    root.showConfirmation()
            })
        }
        popups[name] = p
        return p
    }

    function shown(name) {
        return popups[name] !== undefined && popups[name].visible
    }

    function showMessage(text) {
        popup("toast").show(text, 2500)
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
            return qsTr("Это не QR-код аккаунта. Нужна ссылка вида otpauth://totp/…, otpauth://hotp/…, "
                        + "код переноса otpauth-migration://… или билет orbticket://…")
        addAnswered = false
        accountsModel.add(uri)
        if (!addAnswered) {
            registering = true
            popup("registration").start()
        }
        backToList()
        return ""
    }

    function backToList() {
        stack.pop(null)
    }

    function openAddPage() {
        stack.push(Qt.resolvedUrl("pages/AddAccountPage.qml"), { app: root })
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

    // A page of pages/ with the main item as its app.
    function openPage(file) {
        stack.push(Qt.resolvedUrl("pages/" + file), { app: root })
    }

    // Secrets leave the screen or the device only after the PIN, when one is set.
    function withPin(action) {
        if (pinModel.isPinCodePresent())
            popup("pinCheck").ask(action)
        else
            action()
    }

    function showAccountQr(id, issuer, user) {
        withPin(function () { popup("accountQr").show(id, issuer, user) })
    }

    function openPinSetup(mode) {
        stack.push(Qt.resolvedUrl("pages/PinSetupPage.qml"), { app: root, mode: mode })
    }

    function askRemove(id, index, issuer, user) {
        const dialog = popup("remove")
        dialog.accountId = id
        dialog.row = index
        dialog.text = qsTr("Удалить аккаунт «%1»%2? Коды для входа по нему больше не будут доступны.")
                                .arg(issuer || qsTr("Без названия")).arg(user ? " (" + user + ")" : "")
        dialog.open()
    }

    // One menu for all rows, shown beside the row's button.
    function openRowMenu(row, anchor) {
        const menu = popup("rowMenu")
        menu.target = row
        const p = anchor.mapToItem(root, anchor.width, anchor.height)
        menu.popup(p.x - menu.width, p.y)
    }

    function lock() {
        if (pinModel.isPinCodePresent() && !shown("lock"))
            popup("lock").open()
    }

    function showConfirmation() {
        confirmationWaiting = false
        popup("confirmation").show()
    }

    // A popup needs the window, which the view gives the main item only after creating it.
    Component.onCompleted: Qt.callLater(lock)

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
            if (shown("registration"))
                popup("registration").close()
        }
        function onRequestduplicate() {
            root.addAnswered = true
            root.registering = false
            if (shown("registration"))
                popup("registration").close()
            popup("duplicate").open()
        }
        function onImportsummary(message) {
            root.addAnswered = true
            popup("toast").show(message, 5000)
        }
        function onItemrewrited(row) {
            root.tick++
            root.showMessage(qsTr("Аккаунт заменён"))
        }
        function onBadreply(msg) {
            root.addAnswered = true
            if (shown("confirmation")) {
                popup("confirmation").outcome("error", msg)
            } else if (root.registering) {
                root.registering = false
                popup("registration").fail(msg)
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
                if (shown("confirmation"))
                    popup("confirmation").outcome("withdrawn")
            }
        }
        function onAccepted() {
            if (shown("confirmation"))
                popup("confirmation").outcome("accepted")
        }
        function onDeclined() {
            if (shown("confirmation"))
                popup("confirmation").outcome("declined")
        }
    }

    // A PIN or a count of wrong entries that could not be written.
    Connections {
        target: pinModel
        function onBadreply(msg) { root.showMessage(msg) }
    }
    Connections {
        target: limiter
        function onBadreply(msg) { root.showMessage(msg) }
    }

    // Desktop keyboards: Back (Alt+Left) leaves a page.
    Shortcut {
        sequences: [StandardKey.Back]
        enabled: stack.depth > 1 && !root.locked
        onActivated: stack.pop()
    }

    StackView {
        id: stack
        objectName: "stack"
        anchors.fill: parent
        visible: !root.locked
        initialItem: AccountsPage { app: root }
    }
}
