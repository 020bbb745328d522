import QtQuick 2.15
import QtQuick.Controls 2.15
import QtTest 1.15

// The flows of the main window that can break: adding, duplicates, removal, HOTP codes, login
// confirmations against kestrel-devserver, and the PIN lock with its wait after wrong entries.
Item {
    id: top
    width: 420
    height: 760

    Loader {
        id: loader
        anchors.fill: parent
        active: false
        source: mainFileUrl
    }

    TestCase {
        id: test
        name: "Screens"
        when: windowShown

        readonly property string totp: "otpauth://totp/GitHub:alice@example.com?secret=JBSWY3DPEHPK3PXP&issuer=GitHub"
        readonly property string totp2: "otpauth://totp/Mail:carol?secret=GEZDGNBVGY3TQOJQ"
        readonly property string hotp: "otpauth://hotp/Bank:bob?secret=GEZDGNBVGY3TQOJQ&counter=7"
        property var app: null

        function load() {
            loader.active = true
            tryVerify(function () { return loader.status === Loader.Ready }, 5000)
            app = loader.item
            waitForRendering(app)
        }

        function unload() {
            app = null
            loader.active = false
        }

        function init() {
            load()
            app.accounts.resetAllData()
            app.pinModel.resetPinCode()
            compare(list().count, 0)
        }

        function cleanup() {
            if (app)
                app.pinModel.resetPinCode()
            unload()
        }

        function find(name, parent) {
            const item = findChild(parent || app, name)
            verify(item !== null, "no item " + name)
            return item
        }

        function list() { return find("accountsList") }
        // Rows are made when the list lays itself out, after the page has come back.
        function row(i) {
            settle("accountsPage")
            tryVerify(function () { return findChild(list(), "account_" + i) !== null }, 3000, "no row " + i)
            return findChild(list(), "account_" + i)
        }

        // Clicks land only once a page has slid into place.
        function settle(pageName) {
            tryCompare(app.stack.currentItem, "objectName", pageName)
            tryCompare(app.stack, "busy", false)
        }

        function addByText(text) {
            if (app.stack.currentItem.objectName !== "addPage") {
                settle("accountsPage")
                mouseClick(find("addButton"))
                settle("addPage")
            }
            const page = app.stack.currentItem
            find("uriField", page).text = text
            mouseClick(find("addTextButton", page))
            return page
        }

        function test_addByPastedText() {
            verify(find("emptyState").visible)

            let page = addByText("https://example.com/not-a-code")
            compare(app.stack.depth, 2, "an unusable text keeps the add page")
            const error = find("errorLabel", page)
            verify(error.visible)
            verify(error.text.indexOf("otpauth://") >= 0, error.text)
            compare(list().count, 0)

            find("uriField", page).text = "  " + totp + "\n"
            mouseClick(find("addTextButton", page))
            tryCompare(app.stack, "depth", 1)
            tryCompare(list(), "count", 1)
            tryCompare(find("emptyState"), "visible", false)
            const r = row(0)
            compare(r.issuer, "GitHub")
            compare(r.user, "alice@example.com")
            verify(/^[0-9]{3} [0-9]{3}$/.test(find("code", r).text), "code: " + find("code", r).text + " password: " + r.password)
            compare(find("toast").text, "Аккаунт добавлен")

            // Tap copies the code without its space.
            mouseClick(r)
            compare(app.clipboardText(), r.password)
            compare(find("toast").text, "Код скопирован")

            // The search field filters by issuer and by user.
            addByText(totp2)
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
            verify(row(0).visible && row(1).visible)
            verify(!find("noMatches").visible)
        }

        // A picture of a code chosen in the picker adds the account; a picture without one says so.
        function test_addFromImage() {
            mouseClick(find("addButton"))
            settle("addPage")
            const addPage = app.stack.currentItem
            mouseClick(find("imageButton", addPage))
            settle("imagePickerPage")
            app.stack.currentItem.picked(qrFiles.encode("otpauth://totp/Photo:eve?secret=JBSWY3DPEHPK3PXP"))
            tryCompare(list(), "count", 1)
            compare(row(0).issuer, "Photo")
            compare(row(0).user, "eve")

            mouseClick(find("addButton"))
            settle("addPage")
            const again = app.stack.currentItem
            again.submitImage(Qt.resolvedUrl("tst_screens.qml"))
            verify(find("errorLabel", again).text.length > 0, "no message for a file that is no picture")
            again.submitImage(qrFiles.encode("just some text"))
            verify(find("errorLabel", again).text.indexOf("otpauth://") >= 0, find("errorLabel", again).text)
            compare(list().count, 1)
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
            for (let i = 0; i < data.rows; ++i)
                compare(row(i).issuer, "GitHub")
        }

        function test_remove() {
            addByText(totp)
            addByText(hotp)
            tryCompare(list(), "count", 2)

            mouseClick(find("more", row(1)))
            const removeItem = find("removeItem")
            tryCompare(removeItem, "visible", true)
            mouseClick(removeItem)
            const dialog = find("removeDialog")
            tryCompare(dialog, "opened", true)
            verify(dialog.text.indexOf("Bank") >= 0 && dialog.text.indexOf("bob") >= 0, dialog.text)
            mouseClick(find("cancelButton", dialog.footer))
            tryCompare(dialog, "visible", false)
            compare(list().count, 2)

            app.askRemove(row(0).accountId, 0, row(0).issuer, row(0).user)
            tryCompare(dialog, "opened", true)
            verify(dialog.text.indexOf("GitHub") >= 0 && dialog.text.indexOf("alice@example.com") >= 0)
            mouseClick(find("acceptButton", dialog.footer))
            tryCompare(list(), "count", 1)
            compare(row(0).issuer, "Bank")
            tryCompare(dialog, "visible", false)

            // Reset in the settings (reached through the main menu), behind its own confirmation.
            mouseClick(find("menuButton"))
            const settingsItem = find("settingsItem")
            tryCompare(settingsItem, "visible", true)
            mouseClick(settingsItem)
            settle("settingsPage")
            const settings = app.stack.currentItem
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
            verify(/^[0-9]{6}$/.test(r.password))
        }

        function test_aboutShowsVersion() {
            app.openAbout()
            settle("aboutPage")
            compare(find("versionLabel", app.stack.currentItem).text, "Версия 1.2.2.32 от 20 июл. 2023 г.")
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
            verify(ticket.uri.indexOf("orbticket://") === 0, JSON.stringify(ticket))

            addByText(ticket.uri)
            tryCompare(find("registrationDialog"), "visible", true)
            tryCompare(list(), "count", 1, 15000)
            tryCompare(find("registrationDialog"), "visible", false)
            compare(row(0).tokenType, 4)
            tryCompare(row(0), "network", 1, 15000)

            let dialog = null
            const outcomes = [["acceptButton", "accepted", "accepted"], ["declineButton", "declined", "declined"],
                              ["", "withdrawn", "withdrawn"]]
            for (let i = 0; i < outcomes.length; ++i) {
                const login = devServer.createLogin(ticket.tokenUID, "Вход с 10.0.0." + i + ", Firefox")
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
                compare(devServer.loginState(login.sessionID), outcomes[i][2])
                mouseClick(find("closeButton", dialog.footer))
                tryCompare(dialog, "visible", false)
            }
        }

        function enterPin(field, button, pin) {
            field.text = pin
            mouseClick(button)
        }

        // Last: the wrong entries leave a wait that outlives the test.
        function test_zz_pinLock() {
            // Set a PIN in the settings: entered twice, a mismatch starts over.
            app.openSettings()
            settle("settingsPage")
            const settings = app.stack.currentItem
            mouseClick(find("setPinItem", settings))
            settle("pinSetupPage")
            let setup = app.stack.currentItem
            enterPin(find("pinField", setup), find("nextButton", setup), "12")
            verify(find("errorLabel", setup).visible, "too short")
            enterPin(find("pinField", setup), find("nextButton", setup), "2468")
            enterPin(find("pinField", setup), find("nextButton", setup), "2469")
            compare(setup.step, "new")
            enterPin(find("pinField", setup), find("nextButton", setup), "2468")
            enterPin(find("pinField", setup), find("nextButton", setup), "2468")
            settle("settingsPage")
            verify(app.pinModel.isPinCodePresent())
            verify(find("changePinItem", settings).visible)

            // Restart: the lock screen asks for it.
            unload()
            load()
            const lock = find("lockScreen")
            verify(lock.visible)
            const field = find("pinField", lock.contentItem)
            const unlock = find("unlockButton", lock.contentItem)
            for (let i = 0; i < 4; ++i) {
                enterPin(field, unlock, "0000")
                compare(find("lockError", lock.contentItem).text, "Неверный PIN-код")
            }
            enterPin(field, unlock, "2468")
            tryCompare(lock, "visible", false)

            // Change, then remove, each after the current PIN.
            app.openPinSetup("change")
            settle("pinSetupPage")
            setup = app.stack.currentItem
            enterPin(find("pinField", setup), find("nextButton", setup), "1111")
            compare(setup.step, "current")
            compare(find("errorLabel", setup).text, "Неверный PIN-код")
            enterPin(find("pinField", setup), find("nextButton", setup), "2468")
            enterPin(find("pinField", setup), find("nextButton", setup), "1357")
            enterPin(find("pinField", setup), find("nextButton", setup), "1357")
            tryCompare(app.stack, "depth", 1)
            compare(app.pinModel.getPinCode(), "1357")
            app.openPinSetup("remove")
            settle("pinSetupPage")
            setup = app.stack.currentItem
            enterPin(find("pinField", setup), find("nextButton", setup), "1357")
            tryCompare(app.stack, "depth", 1)
            verify(!app.pinModel.isPinCodePresent())
            app.pinModel.onSetPinCode("2468")

            // Five wrong entries in a row: the field is closed and the wait is shown.
            unload()
            load()
            const lock2 = find("lockScreen")
            const field2 = find("pinField", lock2.contentItem)
            for (let j = 0; j < 5; ++j)
                enterPin(field2, find("unlockButton", lock2.contentItem), "1111")
            verify(!field2.enabled)
            verify(!find("unlockButton", lock2.contentItem).enabled)
            verify(app.pinLimiter.locked)
            verify(app.pinLimiter.remainingSeconds > 25 && app.pinLimiter.remainingSeconds <= 30)
            verify(find("lockError", lock2.contentItem).text.indexOf("0:") >= 0, find("lockError", lock2.contentItem).text)
            // Even the right PIN is not taken during the wait.
            field2.text = "2468"
            lock2.tryUnlock()
            verify(lock2.visible)

            // The wait survives a restart.
            unload()
            load()
            const lock3 = find("lockScreen")
            verify(lock3.visible)
            verify(!find("pinField", lock3.contentItem).enabled)
            verify(app.pinLimiter.failedAttempts === 5)
        }
    }
}
