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
    // When the shown (or waiting) login request reached the program, in ms since the epoch.
    property double confirmationArrived: 0
    // Set by any key, cleared by the mouse: the focused row is marked only for keyboard users.
    property bool keyboardUsed: false
    // True from the start when a PIN is set: nothing shows until it is entered.
    property bool locked: pinModel.isPinCodePresent()
    property var popups: ({})

    objectName: "app"
    implicitWidth: 420
    implicitHeight: 760
    padding: 0
    // Popups made with this item as parent take the theme from here. The dark theme's light
    // teal would leave white text on highlighted buttons hard to read; a darker one serves both.
    Material.theme: AppSettings.dark ? Material.Dark : Material.Light
    Material.accent: AppSettings.dark ? Material.color(Material.Teal, Material.Shade400) : Material.Teal
    Keys.onPressed: {
        keyboardUsed = true
        event.accepted = false
    }

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
            "edit": "dialogs/EditDialog.qml",
            "toast": "dialogs/Toast.qml",
            "pinCheck": "dialogs/PinCheckDialog.qml",
            "accountQr": "dialogs/AccountQrDialog.qml"
        }
        const component = Qt.createComponent(Qt.resolvedUrl(files[name]))
        const withApp = ["lock", "remove", "rowMenu", "pinCheck", "accountQr", "edit"]
        const properties = name === "confirmation" || name === "duplicate" ? { accounts: accountsModel }
                         : withApp.indexOf(name) >= 0 ? { app: root } : {}
        const p = component.createObject(root, properties)
        // The handlers may still run while the window closes, when the main item is gone.
        if (name === "duplicate") {
            p.replaceChosen.connect(accountsModel.rewrite)
            // The second account gets a name of its own, so that the two can be told apart.
            p.keepBothChosen.connect(function () {
                accountsModel.duplicate()
                if (root)
                    root.editRow(accountsModel.rowCount() - 1,
                                 qsTr("Дайте новому аккаунту другое имя, чтобы отличать его от сохранённого."))
            })
        } else if (name === "registration") {
            p.closed.connect(function () {
                if (root)
                    root.registering = false
            })
            p.retryChosen.connect(function (ticket) {
                if (root)
                    root.addUri(ticket)
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

    // A wait in words: "30 с", "2 мин", "1 ч".
    function formatDuration(seconds) {
        if (seconds < 60)
            return qsTr("%n с", "", seconds)
        if (seconds < 3600)
            return qsTr("%n мин", "", Math.round(seconds / 60))
        return qsTr("%n ч", "", Math.round(seconds / 3600))
    }

    // "" when `pin` is the application PIN, else why not; a wrong entry counts against the limit.
    function checkPin(pin) {
        if (limiter.locked)
            return pinError()
        if (pin === pinModel.getPinCode()) {
            limiter.recordSuccess()
            return ""
        }
        limiter.recordFailure()
        return pinError()
    }

    // After a wrong entry: the wait, or a warning when one more wrong entry brings one.
    function pinError() {
        if (limiter.locked)
            return qsTr("Слишком много неверных попыток. Повторите через %1.").arg(formatWait(limiter.remainingSeconds))
        if (limiter.nextWaitSeconds > 0)
            return qsTr("Неверный PIN-код. После ещё одной ошибки ввод будет закрыт на %1.")
                       .arg(formatDuration(limiter.nextWaitSeconds))
        return qsTr("Неверный PIN-код")
    }

    // Texts of the models in the interface's language, all written alike. A text without
    // Cyrillic letters comes from a server and is shown as its words.
    readonly property var knownMessages: ({
        "Не удалось подтвердить подлинность сертификата сервера": QT_TR_NOOP("Не удалось подтвердить подлинность сертификата сервера"),
        "Неверная операция для данного протокола": QT_TR_NOOP("Неверная операция для данного протокола"),
        "Внутренняя ошибка сервера": QT_TR_NOOP("Внутренняя ошибка сервера"),
        "Не удалось установить соединение с сервером": QT_TR_NOOP("Не удалось установить соединение с сервером"),
        "Неизвестная сетевая ошибка": QT_TR_NOOP("Неизвестная сетевая ошибка"),
        "Ошибка при регистрации аккаунта": QT_TR_NOOP("Ошибка при регистрации аккаунта"),
        "Неизвестная ошибка": QT_TR_NOOP("Неизвестная ошибка"),
        "Невозможно зарегистрировать аккаунт. Получены некорректные данные.":
            QT_TR_NOOP("Невозможно зарегистрировать аккаунт: сервер прислал некорректные данные."),
        "Невозможно зарегистрировать аккаунт: в QR-коде нет адреса сервера или идентификатора запроса.":
            QT_TR_NOOP("Невозможно зарегистрировать аккаунт: в QR-коде нет адреса сервера или идентификатора запроса.")
    })

    function displayMessage(message) {
        const text = String(message || "").trim()
        const known = knownMessages[text.replace(/!$/, "")]
        if (known !== undefined)
            return qsTr(known)
        if (text.length === 0)
            return qsTr("Неизвестная ошибка")
        const status = /^Неожиданный ответ сервера \(код HTTP (\d+)\)$/.exec(text)
        if (status)
            return qsTr("Неожиданный ответ сервера (код HTTP %1)").arg(status[1])
        return /[А-яЁё]/.test(text) ? text : qsTr("Сервер ответил: «%1»").arg(text)
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
            return scannerModel.message()
        addUri(uri)
        backToList()
        return ""
    }

    // A ticket's registration is shown until its server answers; the dialog keeps the ticket
    // for another try.
    function addUri(uri) {
        addAnswered = false
        accountsModel.add(uri)
        if (!addAnswered) {
            registering = true
            popup("registration").start(uri)
        }
    }

    function backToList() {
        stack.pop(null)
    }

    function openAddPage() {
        stack.push(Qt.resolvedUrl("pages/AddAccountPage.qml"), { app: root })
    }

    function openManualEntry() {
        stack.push(Qt.resolvedUrl("pages/ManualEntryPage.qml"), { app: root })
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

    // Why an account cannot have these names, or an empty text: issuer and name are stored as
    // "issuer:name".
    function namesError(issuer, user) {
        if (issuer.indexOf(":") >= 0 || user.indexOf(":") >= 0)
            return qsTr("Двоеточие («:») в названии сервиса и имени не допускается")
        if (issuer.trim().length === 0 && user.trim().length === 0)
            return qsTr("Введите название сервиса или имя аккаунта")
        return ""
    }

    function editRow(row, hint) {
        const index = accountsModel.index(row, 0)
        // Role numbers of AccountsListModel: id, issuer, user.
        popup("edit").edit(accountsModel.data(index, 260), accountsModel.data(index, 259),
                           accountsModel.data(index, 258), hint || "")
    }

    // The moved row keeps the keyboard focus.
    function moveRow(from, to) {
        if (accountsModel.move(from, to)) {
            tick++
            stack.get(0).accountsList.currentIndex = to
        }
    }

    function lock() {
        if (pinModel.isPinCodePresent() && !shown("lock"))
            popup("lock").open()
    }

    function showConfirmation() {
        confirmationWaiting = false
        popup("confirmation").show(confirmationArrived)
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
            popup("duplicate").offer()
        }
        function onImportsummary(message) {
            root.addAnswered = true
            popup("toast").show(message, 5000)
        }
        function onItemrewrited(row) {
            root.tick++
            root.showMessage(qsTr("Аккаунт заменён"))
        }
        // Registration and other errors; those of a login answer come as confirmationerror, so a
        // failed registration never ends a login dialog that is waiting for the user.
        // The model's own texts come in the interface's language; a network text is worded here.
        function onBadreply(msg, fromNetwork) {
            root.addAnswered = true
            const text = fromNetwork ? root.displayMessage(msg) : msg
            if (root.registering) {
                root.registering = false
                popup("registration").fail(text)
            } else {
                root.showMessage(text)
            }
        }
        function onConfirmationerror(msg) {
            if (shown("confirmation"))
                popup("confirmation").outcome("error", root.displayMessage(msg))
        }
        function onRequestconfirmation() {
            root.confirmationArrived = Date.now()
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

    Connections {
        target: AppSettings
        function onSaveFailed() {
            root.showMessage(qsTr("Не удалось сохранить настройки: они действуют до выхода из программы"))
        }
    }

    // Written out: the standard Quit key is missing on some platforms' keyboard schemes.
    Shortcut {
        sequence: "Ctrl+Q"
        context: Qt.ApplicationShortcut
        onActivated: Qt.quit()
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
