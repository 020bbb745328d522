import QtQuick 2.15
import QtQuick.Controls 2.15
import QtTest 1.15
import Qt.labs.platform 1.1 as Platform

// The flows of the main window that can break: adding, duplicates, removal, HOTP codes, login
// confirmations against kestrel-devserver, and the PIN lock with its wait after wrong entries.
Item {
    width: 420
    height: 760

    Loader {
        id: loader
        anchors.fill: parent
        active: false
        source: mainFileUrl
    }

    TestCase {
        name: "Screens"
        when: windowShown

        readonly property string totp: "otpauth://totp/GitHub:alice@example.com?secret=JBSWY3DPEHPK3PXP&issuer=GitHub"
        readonly property string hotp: "otpauth://hotp/Bank:bob?secret=GEZDGNBVGY3TQOJQ&counter=7"
        property var app: null

        // A fresh start of the program on the same data.
        function restart() {
            loader.active = false
            loader.active = true
            tryCompare(loader, "status", Loader.Ready, 5000)
            app = loader.item
            waitForRendering(app)
        }

        function init() {
            restart()
            app.accounts.resetAllData()
            app.pinModel.resetPinCode()
            compare(list().count, 0)
        }

        function cleanup() {
            if (app)
                app.pinModel.resetPinCode()
            loader.active = false
        }

        function find(name, parent) {
            const item = findChild(parent || app, name)
            verify(item !== null, "no item " + name)
            return item
        }

        function list() { return find("accountsList") }

        // Clicks land only once a page has slid into place.
        function settle(pageName) {
            tryCompare(app.stack.currentItem, "objectName", pageName)
            tryCompare(app.stack, "busy", false)
            return app.stack.currentItem
        }

        // Rows are made when the list lays itself out, after the page has come back.
        function row(i) {
            settle("accountsPage")
            tryVerify(function () { return findChild(list(), "account_" + i) !== null }, 3000, "no row " + i)
            return findChild(list(), "account_" + i)
        }

        function addByText(text) {
            if (app.stack.currentItem.objectName !== "addPage") {
                settle("accountsPage")
                mouseClick(find("addButton"))
            }
            const page = settle("addPage")
            find("uriField", page).text = text
            mouseClick(find("addTextButton", page))
            return page
        }

        // Types each PIN into the page's field and submits it.
        function enterPins(page, pins, fieldName, buttonName) {
            for (let i = 0; i < pins.length; ++i) {
                find(fieldName || "pinField", page).text = pins[i]
                mouseClick(find(buttonName || "nextButton", page))
            }
        }

        function test_addByPastedText() {
            verify(find("emptyState").visible)
            const page = addByText("https://example.com/not-a-code")
            compare(app.stack.depth, 2, "an unusable text keeps the add page")
            verify(find("errorLabel", page).text.indexOf("otpauth://") >= 0, find("errorLabel", page).text)

            addByText("  " + totp + "\n")
            tryCompare(list(), "count", 1)
            tryCompare(find("emptyState"), "visible", false)
            const r = row(0)
            compare(r.issuer, "GitHub")
            compare(r.user, "alice@example.com")
            verify(/^[0-9]{3} [0-9]{3}$/.test(find("code", r).text), find("code", r).text)
            compare(find("toast").text, "Аккаунт добавлен")
            // Tap copies the code without its space.
            mouseClick(r)
            compare(app.clipboardText(), r.password)
            compare(find("toast").text, "Код скопирован")

            // The search field filters by issuer and by user.
            addByText("otpauth://totp/Mail:carol?secret=GEZDGNBVGY3TQOJQ")
            tryCompare(list(), "count", 2)
            settle("accountsPage")
            mouseClick(find("searchButton"))
            const search = find("searchField")
            search.text = "CAROL"
            tryCompare(row(0), "visible", false)
            verify(row(1).visible)
            search.text = "nobody"
            tryCompare(find("noMatches"), "visible", true)
            search.text = ""
            verify(row(0).visible && row(1).visible && !find("noMatches").visible)
        }

        function test_duplicateDialog_data() {
            return [
                { tag: "keep both", button: "duplicateButton", rows: 2, toast: "Аккаунт добавлен" },
                { tag: "replace", button: "rewriteButton", rows: 1, toast: "Аккаунт заменён" },
                { tag: "cancel", button: "cancelButton", rows: 1, toast: "" },
            ]
        }

        function test_duplicateDialog(data) {
            addByText(totp)
            tryCompare(list(), "count", 1)
            find("toast").text = ""
            addByText(totp)
            const dialog = find("duplicateDialog")
            tryCompare(dialog, "opened", true)
            compare(list().count, 1, "nothing is added before the choice")
            mouseClick(find(data.button, dialog.contentItem))
            tryCompare(dialog, "visible", false)
            compare(list().count, data.rows)
            compare(find("toast").text, data.toast)
        }

        function test_remove() {
            addByText(totp)
            addByText(hotp)
            tryCompare(list(), "count", 2)
            const buttons = [["cancelButton", 2], ["acceptButton", 1]]
            for (let i = 0; i < buttons.length; ++i) {
                mouseClick(find("more", row(1)))
                tryCompare(find("removeItem"), "visible", true)
                mouseClick(find("removeItem"))
                const dialog = find("removeDialog")
                tryCompare(dialog, "opened", true)
                verify(dialog.text.indexOf("Bank") >= 0 && dialog.text.indexOf("bob") >= 0, dialog.text)
                mouseClick(find(buttons[i][0], dialog.footer))
                tryCompare(list(), "count", buttons[i][1])
                tryCompare(dialog, "visible", false)
            }
            compare(row(0).issuer, "GitHub")

            // Reset in the settings (reached through the main menu), behind its own confirmation.
            mouseClick(find("menuButton"))
            tryCompare(find("settingsItem"), "visible", true)
            mouseClick(find("settingsItem"))
            const settings = settle("settingsPage")
            mouseClick(find("resetItem", settings))
            const reset = find("resetDialog", settings)
            tryCompare(reset, "opened", true)
            mouseClick(find("acceptButton", reset.footer))
            tryCompare(list(), "count", 0)
            tryCompare(reset, "visible", false)
            mouseClick(find("backButton", settings))
            tryCompare(app.stack, "depth", 1)
            verify(find("emptyState").visible)
        }

        function test_hotpNextCode() {
            addByText(hotp)
            tryCompare(list(), "count", 1)
            const r = row(0)
            verify(!r.hasCode, "no HOTP code before the first request")
            mouseClick(find("nextCode", r))
            tryVerify(function () { return r.hasCode })
            const first = r.password
            mouseClick(find("nextCode", r))
            tryVerify(function () { return r.password !== first })
        }

        function dataFile(name) {
            return Platform.StandardPaths.writableLocation(Platform.StandardPaths.AppDataLocation) + "/" + name
        }

        // Export with a password (typed twice) and without one (after a warning), then import.
        function test_backupExportImport() {
            addByText(totp)
            tryCompare(list(), "count", 1)
            app.openSettings()
            mouseClick(find("exportItem", settle("settingsPage")))
            let page = settle("backupExportPage")
            const fields = { pathField: dataFile("screens.json"), passwordField: "пароль", repeatField: "пароль!" }
            for (const name in fields)
                find(name, page).text = fields[name]
            mouseClick(find("exportButton", page))
            compare(find("errorLabel", page).text, "Пароли не совпадают.")
            find("repeatField", page).text = "пароль"
            mouseClick(find("exportButton", page))
            tryCompare(find("doneLabel", page), "visible", true)

            find("formatBox", page).currentIndex = 1
            find("pathField", page).text = dataFile("screens-plain.json")
            mouseClick(find("exportButton", page))
            const warning = find("plainExportDialog", page)
            tryCompare(warning, "opened", true)
            verify(!find("doneLabel", page).visible, "nothing written before the answer")
            mouseClick(find("acceptButton", warning.footer))
            tryCompare(find("doneLabel", page), "visible", true)
            tryCompare(warning, "visible", false)

            app.accounts.resetAllData()
            mouseClick(find("backButton", page))
            mouseClick(find("importItem", settle("settingsPage")))
            page = settle("backupImportPage")
            mouseClick(find("chooseButton", page))
            compare(settle("imagePickerPage").nameFilters, ["*.json", "*.txt"])
            mouseClick(find("backButton", app.stack.currentItem))
            settle("backupImportPage")
            find("pathField", page).text = dataFile("screens.json")
            mouseClick(find("importButton", page))
            compare(find("errorLabel", page).text, "Файл зашифрован: введите пароль.")
            find("passwordField", page).text = "пароль"
            mouseClick(find("importButton", page))
            compare(find("summaryLabel", page).text, "Импортировано аккаунтов: 1. Уже были в списке: 0. Не поддерживаются: 0.")
            compare(list().count, 1)
        }

        // An account's code and the transfer codes wait for the PIN; the codes add on another phone.
        function test_qrCodesBehindPin() {
            for (let i = 0; i < 11; ++i)
                app.accounts.add("otpauth://totp/Site" + i + ":user?secret=JBSWY3DPEHPK3PXP")
            app.pinModel.onSetPinCode("2468")
            mouseClick(find("more", row(0)))
            // Clicks during the menu's opening animation land on the wrong item.
            tryCompare(find("rowMenu"), "opened", true)
            mouseClick(find("showQrItem"))
            const check = find("pinCheckDialog")
            for (const pin of ["1111", "2468"]) {
                tryCompare(check, "opened", true)
                find("pinCheckField", check.contentItem).text = pin
                mouseClick(find("pinCheckButton", check.footer))
            }
            compare(find("pinCheckError", check.contentItem).text, "Неверный PIN-код")
            const dialog = find("accountQrDialog")
            tryCompare(dialog, "opened", true)
            verify(find("accountQrCode", dialog.contentItem).valid)
            verify(dialog.uri.indexOf("otpauth://totp/Site0:user?secret=JBSWY3DPEHPK3PXP") === 0, dialog.uri)
            mouseClick(find("closeButton", dialog.footer))
            tryCompare(dialog, "visible", false)

            app.openSettings()
            mouseClick(find("transferItem", settle("settingsPage")))
            tryCompare(check, "opened", true)
            find("pinCheckField", check.contentItem).text = "2468"
            mouseClick(find("pinCheckButton", check.footer))
            const transfer = settle("transferPage")
            tryCompare(check, "visible", false)
            compare(find("transferCodes", transfer).count, 2)
            mouseClick(find("nextButton", transfer))
            tryCompare(find("transferCodes", transfer), "currentIndex", 1)

            const codes = app.accounts.migrationCodes()
            app.accounts.resetAllData()
            app.backToList()
            for (const code of codes)
                addByText(code)
            tryCompare(list(), "count", 11)
            compare(find("toast").text, "Код переноса 2 из 2. Импортировано аккаунтов: 1. Уже были в списке: 0. Не поддерживаются: 0.")
        }

        function test_aboutShowsVersion() {
            app.openAbout()
            compare(find("versionLabel", settle("aboutPage")).text, "Версия 1.2.2.32 от 20 июл. 2023 г.")
        }

        // A ticket whose server cannot be reached: the registration dialog turns into the error.
        function test_registrationFails() {
            addByText("orbticket://0123456789ABCDEF?address=http://127.0.0.1:1/vexa&pin=1234&key=MDEyMzQ1Njc4OWFiY2RlZg")
            const dialog = find("registrationDialog")
            tryCompare(dialog, "visible", true)
            tryVerify(function () { return dialog.error.length > 0 }, 15000, "no error shown")
            compare(find("registrationText", dialog.contentItem).text, dialog.error)
            compare(list().count, 0)
        }

        // Registration from a ticket, then three login requests: accepted, declined, withdrawn.
        function test_confirmation() {
            verify(devServer.start(), devServer.errorString())
            const ticket = devServer.createTicket("push", "mobileauth", { issuer: "Kestrel Demo", user: "ivan" })
            addByText(ticket.uri)
            tryCompare(find("registrationDialog"), "visible", true)
            tryCompare(list(), "count", 1, 15000)
            tryCompare(find("registrationDialog"), "visible", false)
            tryCompare(row(0), "network", 1, 15000)

            const outcomes = [["acceptButton", "accepted"], ["declineButton", "declined"], ["", "withdrawn"]]
            for (let i = 0; i < outcomes.length; ++i) {
                const login = devServer.createLogin(ticket.tokenUID, "Вход с 10.0.0." + i + ", Firefox")
                let dialog = null
                tryVerify(function () {
                    dialog = findChild(app, "confirmationDialog")
                    return dialog !== null && dialog.opened
                }, 15000, "no confirmation dialog")
                compare(find("issuerLabel", dialog.contentItem).text, "Kestrel Demo")
                compare(find("metadataLabel", dialog.contentItem).text, login.metadata)
                verify(/^\d\d\.\d\d\.\d{4}$/.test(find("dateLabel", dialog.contentItem).text))
                verify(/^\d\d:\d\d:\d\d$/.test(find("timeLabel", dialog.contentItem).text))
                compare(dialog.phase, "pending")
                verify(dialog.total > 0 && dialog.total <= 30, "countdown from " + dialog.total)
                if (outcomes[i][0] !== "")
                    mouseClick(find(outcomes[i][0], dialog.footer))
                else
                    devServer.withdrawLogin(login.sessionID)
                tryCompare(dialog, "phase", outcomes[i][1], 15000)
                const state = devServer.logins().find(function (l) { return l.sessionID === login.sessionID }).state
                compare(state, outcomes[i][1], "as the server saw it")
                mouseClick(find("closeButton", dialog.footer))
                tryCompare(dialog, "visible", false)
            }
        }

        // Last: the wrong entries leave a wait that outlives the test.
        function test_zz_pinLock() {
            // Set in the settings: too short is refused, a mismatch of the repeat starts over.
            app.openSettings()
            const settings = settle("settingsPage")
            mouseClick(find("setPinItem", settings))
            let setup = settle("pinSetupPage")
            enterPins(setup, ["12"])
            verify(find("errorLabel", setup).visible, "too short")
            enterPins(setup, ["2468", "2469"])
            compare(setup.step, "new")
            enterPins(setup, ["2468", "2468"])
            settle("settingsPage")
            verify(app.pinModel.isPinCodePresent())

            // Change, then remove, each after the current PIN.
            app.openPinSetup("change")
            setup = settle("pinSetupPage")
            enterPins(setup, ["1111"])
            compare(find("errorLabel", setup).text, "Неверный PIN-код")
            enterPins(setup, ["2468", "1357", "1357"])
            settle("settingsPage")
            compare(app.pinModel.getPinCode(), "1357")
            app.openPinSetup("remove")
            enterPins(settle("pinSetupPage"), ["1357"])
            settle("settingsPage")
            verify(!app.pinModel.isPinCodePresent())

            // At start, nothing but the lock screen shows; four wrong entries are free.
            app.pinModel.onSetPinCode("2468")
            restart()
            let lock = find("lockScreen")
            verify(lock.visible && !app.stack.visible)
            enterPins(lock.contentItem, ["0000", "0000", "0000", "0000"], "pinField", "unlockButton")
            compare(find("lockError", lock.contentItem).text, "Неверный PIN-код")
            enterPins(lock.contentItem, ["2468"], "pinField", "unlockButton")
            tryCompare(lock, "visible", false)

            // Five wrong entries in a row close the field, show the wait, and refuse even the
            // right PIN until it ends, also after a restart.
            restart()
            lock = find("lockScreen")
            enterPins(lock.contentItem, ["1", "2", "3", "4", "5"], "pinField", "unlockButton")
            verify(app.pinLimiter.remainingSeconds > 25 && app.pinLimiter.remainingSeconds <= 30)
            verify(find("lockError", lock.contentItem).text.indexOf("0:") >= 0, find("lockError", lock.contentItem).text)
            find("pinField", lock.contentItem).text = "2468"
            lock.tryUnlock()
            verify(lock.visible)
            restart()
            verify(find("lockScreen").visible)
            verify(!find("pinField", find("lockScreen").contentItem).enabled)
            verify(!find("unlockButton", find("lockScreen").contentItem).enabled)
        }
    }
}
