import QtQuick 2.15
import QtQuick.Controls 2.15
import QtTest 1.15
import Qt.labs.platform 1.1 as Platform
import ru.kestrel.ui 1.0

// The flows of the main window that can break: adding (pasted, typed by hand, by keyboard
// alone), duplicates, editing, order, removal, HOTP and next codes, the image picker, backups and QR codes, login
// confirmations against kestrel-devserver, both themes and both languages, and the PIN lock with
// its wait after wrong entries.
Item {
    width: 420
    height: 760

    // The width a text takes when shown as it is, not as markup.
    TextMetrics { id: metrics }

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
            // Pages change at once: the flows, not the slides, are under test.
            for (const slide of ["pushEnter", "pushExit", "popEnter", "popExit", "replaceEnter", "replaceExit"])
                app.stack[slide] = null
            waitForRendering(app)
        }

        function init() {
            restart()
            app.accounts.resetAllData()
            app.pinModel.resetPinCode()
        }

        function cleanup() {
            if (app)
                app.pinModel.resetPinCode()
            loader.active = false
            AppSettings.theme = "light"
            testSetup.useLanguage("ru")
        }

        // Each visible text under `item` against the nearest opaque background behind it, with
        // its own and its parents' transparency: none may fade into it, and in English none is
        // left in Russian.
        function checkTexts(item, what, english) {
            const f = function (v) { return v <= 0.03928 ? v / 12.92 : Math.pow((v + 0.055) / 1.055, 2.4) }
            const lum = function (c) { return 0.2126 * f(c.r) + 0.7152 * f(c.g) + 0.0722 * f(c.b) + 0.05 }
            const visit = function (t) {
                if (!t || !t.visible || t.opacity === 0)
                    return
                for (let i = 0; i < t.children.length; ++i)
                    visit(t.children[i])
                if (typeof t.text !== "string" || t.text.length === 0 || t.color === undefined || t.font === undefined)
                    return
                verify(!english || !/[А-яЁё]/.test(t.text), what + ": " + t.text)
                let alpha = t.color.a * t.opacity, bg = null
                for (let p = t.parent; p && !bg; p = p.parent) {
                    const b = p.background ? p.background : p.border !== undefined ? p : null
                    if (b && b.visible && b.color !== undefined && b.color.a > 0.5 && b.height > 4)
                        bg = b.color
                    else
                        alpha *= p.opacity
                }
                const mix = function (a, b) { return alpha * a + (1 - alpha) * b }
                const ratio = bg ? lum(Qt.rgba(mix(t.color.r, bg.r), mix(t.color.g, bg.g), mix(t.color.b, bg.b), 1)) / lum(bg) : 2
                verify(Math.max(ratio, 1 / ratio) >= 2, what + ": " + t.text + " " + t.color + " on " + bg)
            }
            visit(item)
        }

        // A popup, once it is made (on first use), open and takes clicks.
        function opened(name, parent, timeout) {
            tryVerify(function () { return findChild(parent || app, name) !== null }, timeout, "no " + name)
            const popup = find(name, parent)
            tryCompare(popup, "opened", true, timeout)
            return popup
        }

        // Clicks one of a popup's buttons; the popup goes.
        function answer(popup, button) {
            mouseClick(find(button, popup.footer))
            tryCompare(popup, "visible", false)
        }

        // Chooses `name` in row r's menu, where `disabled` (if given) is disabled.
        function rowMenu(r, name, disabled) {
            mouseClick(find("more", row(r)))
            // Clicks during the menu's opening animation land on the wrong item.
            const menu = opened("rowMenu")
            verify(!disabled || !find(disabled).enabled, disabled)
            mouseClick(find(name))
            tryCompare(menu, "visible", false)
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

        // Adds through the add page; with `rows`, waits until the list has that many.
        function addByText(text, rows) {
            if (app.stack.currentItem.objectName !== "addPage") {
                settle("accountsPage")
                mouseClick(find("addButton"))
            }
            const page = settle("addPage")
            find("uriField", page).text = text
            mouseClick(find("addTextButton", page))
            if (rows !== undefined)
                tryCompare(list(), "count", rows)
            return page
        }

        // Types each PIN into the page's field and submits it.
        function enterPins(page, pins, fieldName, buttonName) {
            for (let i = 0; i < pins.length; ++i) {
                find(fieldName || "pinField", page).text = pins[i]
                mouseClick(find(buttonName || "nextButton", page))
            }
        }

        // Answers the PIN check with each PIN in turn: all but the last are wrong.
        function passPinCheck(pins) {
            const check = find("pinCheckDialog")
            for (let i = 0; i < pins.length; ++i) {
                tryCompare(check, "opened", true)
                find("pinCheckField", check.contentItem).text = pins[i]
                mouseClick(find("pinCheckButton", check.footer))
                compare(find("pinCheckError", check.contentItem).text, i < pins.length - 1 ? "Неверный PIN-код" : "")
            }
            // Clicks reach what the PIN let through once the check has gone.
            tryCompare(check, "visible", false)
        }

        function test_addByPastedText() {
            verify(find("emptyState").visible)
            const page = addByText("https://example.com/not-a-code")
            compare(app.stack.depth, 2, "an unusable text keeps the add page")
            verify(find("errorLabel", page).text.indexOf("otpauth://") >= 0, find("errorLabel", page).text)

            addByText("  " + totp + "\n", 1)
            tryCompare(find("emptyState"), "visible", false)
            const r = row(0)
            verify(/^[0-9]{3} [0-9]{3}$/.test(find("code", r).text), find("code", r).text)
            // Tap copies the code without its space.
            mouseClick(r)
            compare(app.clipboardText(), r.password)
            compare(find("toast").text, "Код скопирован")

            // HOTP: no code before the first request (that each request moves the counter on is
            // the models' test).
            addByText(hotp, 2)
            const h = row(1)
            mouseClick(h)
            compare(find("toast").text, "Сначала получите код кнопкой ↻")
            mouseClick(find("nextCode", h))
            tryVerify(function () { return h.hasCode })

            // The search field filters by issuer and by user.
            mouseClick(find("searchButton"))
            const search = find("searchField")
            search.text = "BOB"
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
            addByText(hotp)
            addByText(totp, 2)
            find("toast").text = ""
            addByText(totp)
            const dialog = opened("duplicateDialog")
            compare(list().count, 2, "nothing is added before the choice")
            compare(find("storedAccount", dialog.contentItem).text, "GitHub — alice@example.com")
            compare(dialog.row, 1)
            mouseClick(find(data.button, dialog.contentItem))
            tryCompare(dialog, "visible", false)
            compare(list().count, data.rows + 1)
            compare(find("toast").text, data.toast)
            if (data.button !== "duplicateButton")
                return
            // The second one is named apart at once.
            const edit = opened("editDialog")
            compare(find("userField", edit.contentItem).text, "alice@example.com")
            find("userField", edit.contentItem).text = "alice (work)"
            answer(edit, "saveButton")
            tryCompare(row(2), "user", "alice (work)")
            compare(row(1).user, "alice@example.com")
        }

        // Export (after the PIN) with a password (typed twice) and without one (after a warning),
        // then import.
        function test_backupExportImport() {
            const dir = Platform.StandardPaths.writableLocation(Platform.StandardPaths.AppDataLocation)
            addByText(totp, 1)
            app.pinModel.onSetPinCode("2468")
            app.openSettings()
            mouseClick(find("exportItem", settle("settingsPage")))
            passPinCheck(["2468"])
            let page = settle("backupExportPage")
            const fields = { pathField: dir + "/screens.json", passwordField: "пароль", repeatField: "пароль!" }
            for (const name in fields)
                find(name, page).text = fields[name]
            mouseClick(find("exportButton", page))
            compare(find("errorLabel", page).text, "Пароли не совпадают.")
            find("repeatField", page).text = "пароль"
            mouseClick(find("exportButton", page))
            tryCompare(find("doneLabel", page), "visible", true)

            find("formatBox", page).currentIndex = 1
            find("pathField", page).text = dir + "/screens-plain.json"
            mouseClick(find("exportButton", page))
            const warning = opened("plainExportDialog", page)
            verify(!find("doneLabel", page).visible, "nothing written before the answer")
            answer(warning, "acceptButton")
            tryCompare(find("doneLabel", page), "visible", true)

            app.accounts.resetAllData()
            mouseClick(find("backButton", page))
            mouseClick(find("importItem", settle("settingsPage")))
            page = settle("backupImportPage")
            mouseClick(find("chooseButton", page))
            // The picker goes where a typed path leads, and says so when it leads nowhere.
            const picker = settle("imagePickerPage")
            compare(picker.nameFilters, ["*.json", "*.txt"])
            const path = find("pathField", picker)
            path.text = "/no/such/folder"
            path.accepted()
            compare(find("pathError", picker).text, "Папка не найдена: /no/such/folder")
            path.text = "/usr/share"
            path.accepted()
            tryCompare(picker, "currentPath", "/usr/share")
            verify(!find("pathError", picker).visible)
            mouseClick(find("backButton", picker))
            settle("backupImportPage")
            find("pathField", page).text = dir + "/screens.json"
            mouseClick(find("importButton", page))
            compare(find("errorLabel", page).text, "Файл зашифрован: введите пароль.")
            find("passwordField", page).text = "пароль"
            mouseClick(find("importButton", page))
            compare(find("summaryLabel", page).text, "Импортировано аккаунтов: 1. Уже были в списке: 0. Не поддерживаются: 0.")
        }

        // An account's code and the transfer codes wait for the PIN; the codes add on another phone.
        function test_qrCodesBehindPin() {
            for (let i = 0; i < 11; ++i)
                app.accounts.add("otpauth://totp/Site" + i + ":user?secret=JBSWY3DPEHPK3PXP")
            app.pinModel.onSetPinCode("2468")
            rowMenu(0, "showQrItem")
            passPinCheck(["1111", "2468"])
            const dialog = opened("accountQrDialog")
            verify(find("accountQrCode", dialog.contentItem).valid)
            verify(dialog.uri.indexOf("otpauth://totp/Site0:user?secret=JBSWY3DPEHPK3PXP") === 0, dialog.uri)
            answer(dialog, "closeButton")

            app.openSettings()
            mouseClick(find("transferItem", settle("settingsPage")))
            passPinCheck(["2468"])
            const transfer = settle("transferPage")
            compare(find("transferCodes", transfer).count, 2)
            mouseClick(find("nextButton", transfer))
            tryCompare(find("transferCodes", transfer), "currentIndex", 1)

            // The second code holds the eleventh account.
            const codes = app.accounts.migrationCodes()
            app.accounts.resetAllData()
            app.backToList()
            addByText(codes[1], 1)
            compare(find("toast").text, "Код переноса 2 из 2. Импортировано аккаунтов: 1. Уже были в списке: 0. Не поддерживаются: 0.")
        }

        // A ticket whose server cannot be reached: the registration dialog turns into the error
        // and keeps the ticket for another try.
        function test_registrationFails() {
            addByText("orbticket://0123456789ABCDEF?address=http://127.0.0.1:1/vexa&pin=1234&key=MDEyMzQ1Njc4OWFiY2RlZg")
            const dialog = opened("registrationDialog")
            for (let attempt = 0; attempt < 2; ++attempt) {
                tryVerify(function () { return dialog.error.length > 0 }, 15000, "no error shown")
                compare(find("registrationText", dialog.contentItem).text, "Не удалось установить соединение с сервером")
                compare(list().count, 0)
                mouseClick(find("retryButton", dialog.footer))
                compare(dialog.error, "", "trying again")
                verify(dialog.visible)
            }
        }

        // Shown as written, not as markup (which could restyle the dialog or fetch an image): the
        // text takes the width of its every character, unwrapped.
        function verifyPlain(label, text) {
            compare(label.text, text)
            metrics.font = label.font
            metrics.text = text
            fuzzyCompare(label.implicitWidth, metrics.advanceWidth, 2, text)
        }

        // Registration from a ticket, then three login requests: accepted, declined, withdrawn
        // (the last one renamed while shown, in the dark theme). Issuer and metadata carry
        // markup, which restyles nothing and fetches nothing.
        function test_confirmation() {
            verify(devServer.start(), devServer.errorString())
            const issuer = "<b>Kestrel</b> Demo"
            const ticket = devServer.createTicket("push", "mobileauth", { issuer: issuer, user: "ivan" })
            addByText(ticket.uri)
            tryCompare(list(), "count", 1, 15000)
            tryCompare(find("registrationDialog"), "visible", false)
            tryCompare(row(0), "network", 1, 15000)
            verifyPlain(find("issuerText", row(0)), issuer)

            const outcomes = [["acceptButton", "accepted"], ["declineButton", "declined"], ["", "withdrawn"]]
            for (let i = 0; i < outcomes.length; ++i) {
                const login = devServer.createLogin(ticket.tokenUID, "<font color=green>Вход с 10.0.0." + i
                                                    + "</font><img src=\"http://127.0.0.1:1/i.png\">")
                const dialog = opened("confirmationDialog", app, 15000)
                verifyPlain(find("issuerLabel", dialog.contentItem), issuer)
                compare(find("userLabel", dialog.contentItem).text, "Аккаунт: ivan")
                verifyPlain(find("metadataLabel", dialog.contentItem), login.metadata)
                verify(/^\d\d\.\d\d\.\d{4}$/.test(find("dateLabel", dialog.contentItem).text))
                verify(/^\d\d:\d\d:\d\d$/.test(find("timeLabel", dialog.contentItem).text))
                // Pending: how long ago it came, never an expiry the server does not enforce.
                verify(/^Запрос пришёл [0-5] с назад$/.test(find("stateLabel", dialog.contentItem).text),
                       find("stateLabel", dialog.contentItem).text)
                if (i === 2) {
                    AppSettings.theme = "dark"
                    verify(app.accounts.rename(row(0).accountId, "Kestrel Work", "ivan.p"))
                    compare(find("issuerLabel", dialog.contentItem).text, "Kestrel Work")
                    compare(find("userLabel", dialog.contentItem).text, "Аккаунт: ivan.p")
                    checkTexts(dialog.contentItem.parent, "confirmation, dark")
                }
                if (outcomes[i][0] !== "")
                    mouseClick(find(outcomes[i][0], dialog.footer))
                else
                    devServer.withdrawLogin(login.sessionID)
                tryCompare(dialog, "phase", outcomes[i][1], 15000)
                const state = devServer.logins().find(function (l) { return l.sessionID === login.sessionID }).state
                compare(state, outcomes[i][1], "as the server saw it")
                answer(dialog, "closeButton")
            }
        }

        // Typed by hand: each refusal names what to mend and keeps the page; then a secret as
        // people copy it, with the advanced choices, gives the code of the same account's URI.
        function test_manualEntry() {
            app.openAddPage()
            mouseClick(find("manualButton", settle("addPage")))
            const page = settle("manualEntryPage")
            const fields = ["issuerField", "userField", "secretField"]
            const entries = [["A", "b", "JBSW Y3DP 0189", "A–Z"], ["A", "b", "JBSWY3", "неполный"],
                             ["A", "b", "  ", "Введите секретный ключ"], ["A:B", "b", "JBSWY3DPEHPK3PXP", "Двоеточие"],
                             [" ", "", "JBSWY3DPEHPK3PXP", "Введите название"], ["Bank", "", "gezd gnbv-gy3t qojq====", ""]]
            mouseClick(find("advancedSwitch", page))
            for (const [i, box] of ["typeBox", "digitsBox", "algorithmBox"].entries())
                find(box, page).currentIndex = [1, 2, 1][i]
            find("counterBox", page).value = 5
            for (const entry of entries) {
                for (let f = 0; f < 3; ++f)
                    find(fields[f], page).text = entry[f]
                mouseClick(find("manualAddButton", page))
                if (entry[3])
                    verify(find("errorLabel", page).text.indexOf(entry[3]) >= 0, find("errorLabel", page).text)
            }
            const typed = row(0)
            compare(typed.issuer + "|" + typed.user, "Bank|")
            app.accounts.add("otpauth://hotp/R:r?secret=GEZDGNBVGY3TQOJQ&digits=8&algorithm=SHA256&counter=5")
            typed.nextCode()
            row(1).nextCode()
            verify(/^[0-9]{8}$/.test(typed.password), typed.password)
            compare(typed.password, row(1).password)
        }

        // Renamed, moved by the row menu and by dragging, all of it kept over a restart; then
        // removed once the question is answered yes.
        function test_editOrderAndRemove() {
            for (const issuer of ["A", "B", "C"])
                app.accounts.add("otpauth://totp/" + issuer + ":u?secret=JBSWY3DPEHPK3PXP")
            rowMenu(1, "editItem")
            const edit = opened("editDialog")
            find("issuerField", edit.contentItem).text = "Bee & Co"
            find("userField", edit.contentItem).text = "bob"
            find("userField", edit.contentItem).forceActiveFocus()
            keyClick(Qt.Key_Return)
            tryCompare(edit, "visible", false)

            const order = function () { return [row(0).issuer, row(1).issuer, row(2).issuer].join() }
            rowMenu(0, "downItem", "upItem")
            compare(order(), "Bee & Co,A,C")
            rowMenu(2, "upItem", "downItem")
            compare(order(), "Bee & Co,C,A")
            // Row 0 dragged by its handle below the middle of row 1.
            const grip = find("dragHandle", row(0)).mapToItem(list(), 16, 22)
            mousePress(list(), grip.x, grip.y)
            for (const step of [0.6, 1.2])
                mouseMove(list(), grip.x, grip.y + row(0).height * step, -1, Qt.LeftButton)
            mouseRelease(list(), grip.x, grip.y + row(0).height * 1.2)
            tryVerify(function () { return order() === "C,Bee & Co,A" }, 3000, order())
            restart()
            compare(order() + "," + row(1).user, "C,Bee & Co,A,bob")
            for (const [button, rows] of [["cancelButton", 3], ["acceptButton", 2]]) {
                rowMenu(1, "removeItem")
                const dialog = opened("removeDialog")
                verify(dialog.text.indexOf("Bee & Co") >= 0 && dialog.text.indexOf("bob") >= 0, dialog.text)
                answer(dialog, button)
                tryCompare(list(), "count", rows)
            }
            compare(row(0).issuer + row(1).issuer, "CA")
        }

        // A period of 2 s is always in its last seconds: the next code shows, then becomes the code.
        function test_nextCode() {
            app.accounts.add("otpauth://totp/Fast:x?secret=JBSWY3DPEHPK3PXP&period=2")
            tryCompare(find("nextCodeText", row(0)), "visible", true)
            const next = row(0).nextPassword
            tryCompare(row(0), "password", next, 4000)
        }

        // From the list to a copied code without the mouse: New, Tab to the field, paste, Tab to
        // Add, Space, Down, Ctrl+C. The focused row is marked only once the keyboard is used.
        function test_keyboardOnly() {
            app.accounts.add(hotp)
            restart()
            tryVerify(function () { return row(0).activeFocus }, 3000, "the list has the keyboard")
            compare(find("focusFrame", row(0)).border.width, 0, "no mark before a key is pressed")
            keySequence(StandardKey.New)
            const page = settle("addPage")
            const field = find("uriField", page)
            for (let i = 0; i < 10 && !field.activeFocus; ++i)
                keyClick(Qt.Key_Tab)
            app.copyText(totp)
            keySequence(StandardKey.Paste)
            for (const key of [Qt.Key_Tab, Qt.Key_Tab, Qt.Key_Space])
                keyClick(key)
            tryCompare(list(), "count", 2)
            tryVerify(function () { return list().activeFocus })
            keyClick(Qt.Key_Down)
            verify(row(1).activeFocus)
            compare(find("focusFrame", row(1)).border.width, 2, "the focused row is marked")
            keySequence(StandardKey.Copy)
            compare(app.clipboardText(), row(1).password)
        }

        // Pages and popups in both themes, in Russian and under another language (English).
        function test_themesAndLanguages_data() {
            return [{ tag: "light, Russian", theme: "light", language: "ru_RU" },
                    { tag: "dark, German system", theme: "dark", language: "de_DE" }]
        }

        function test_themesAndLanguages(data) {
            const english = data.language !== "ru_RU"
            AppSettings.theme = data.theme
            verify(testSetup.useLanguage(data.language))
            restart()
            checkTexts(app, "empty list", english)
            app.accounts.add(hotp)
            app.accounts.add(totp)
            app.tick++
            checkTexts(app, "list", english)
            const popups = [["mainMenu", function () { mouseClick(find("menuButton")) }],
                            ["rowMenu", function () { mouseClick(find("more", row(0))) }],
                            ["editDialog", function () { app.editRow(0, "") }],
                            ["removeDialog", function () { app.askRemove(row(0).accountId, 0, "Bank", "bob") }],
                            ["duplicateDialog", function () { app.accounts.add(totp) }]]
            for (const [name, open] of popups) {
                open()
                // The popup's own item holds its title, buttons and background.
                checkTexts(opened(name).contentItem.parent, name, english)
                find(name).close()
                tryCompare(find(name), "visible", false)
            }
            for (const [open, name] of [["openAddPage", "addPage"], ["openManualEntry", "manualEntryPage"],
                                        ["openSettings", "settingsPage"], ["BackupExportPage", "backupExportPage"],
                                        ["BackupImportPage", "backupImportPage"], ["TransferPage", "transferPage"],
                                        ["openAbout", "aboutPage"]]) {
                if (app[open])
                    app[open]()
                else
                    app.openPage(open + ".qml")
                if (name === "manualEntryPage")
                    mouseClick(find("advancedSwitch", settle(name)))
                checkTexts(settle(name), name, english)
            }
            compare(find("versionLabel").text, english ? "Version 1.2.2.32 of 20 Jul 2023" : "Версия 1.2.2.32 от 20 июл. 2023 г.")
            // The models' texts, written alike; a server's own words said to be its words.
            compare(app.displayMessage("Не удалось установить соединение с сервером!"),
                    english ? "Could not connect to the server" : "Не удалось установить соединение с сервером")
            compare(app.displayMessage("Session expired"),
                    english ? "The server replied: “Session expired”" : "Сервер ответил: «Session expired»")
            compare(app.displayMessage("Неожиданный ответ сервера (код HTTP 502)"),
                    english ? "Unexpected server response (HTTP code 502)" : "Неожиданный ответ сервера (код HTTP 502)")
            // The model's own text comes in the interface's language and is shown as it is.
            app.accounts.add("otpauth://totp/Bank:bob?secret=JBSWY3DPEHPK3PXP&digits=2")
            compare(find("toast").text, english ? "The account cannot be added: a code must have 3 to 10 digits."
                                                : "Невозможно добавить аккаунт: в коде должно быть от 3 до 10 цифр.")
        }

        // Last: the wrong entries leave a wait that outlives the test.
        function test_zz_pinLock() {
            // Set in the settings (reached through the main menu): too short is refused, a
            // mismatch of the repeat starts over.
            mouseClick(find("menuButton"))
            mouseClick(find("settingsItem", opened("mainMenu")))
            mouseClick(find("setPinItem", settle("settingsPage")))
            let setup = settle("pinSetupPage")
            enterPins(setup, ["12"])
            verify(find("errorLabel", setup).visible, "too short")
            find("pinField", setup).text = "2"
            verify(!find("errorLabel", setup).visible, "a new entry clears the old error")
            enterPins(setup, ["2468", "2469"])
            compare(setup.step, "new")
            enterPins(setup, ["2468", "2468"])
            const settings = settle("settingsPage")

            // Erasing everything now takes the PIN.
            app.accounts.add(totp)
            find("resetItem", settings).clicked()
            passPinCheck(["1111", "2468"])
            answer(opened("resetDialog", settings), "acceptButton")
            compare(app.accounts.rowCount(), 0)

            // Change, then remove, each after the current PIN.
            app.openPinSetup("change")
            setup = settle("pinSetupPage")
            enterPins(setup, ["1111"])
            compare(find("errorLabel", setup).text, "Неверный PIN-код")
            enterPins(setup, ["2468", "1357", "1357"])
            settle("settingsPage")
            app.openPinSetup("remove")
            enterPins(settle("pinSetupPage"), ["1357"])
            settle("settingsPage")
            verify(!app.pinModel.isPinCodePresent())

            // At start, nothing but the lock screen shows (here dark); four wrong entries are
            // free, the fourth warns of the wait, and the longer text moves nothing above it.
            app.pinModel.onSetPinCode("2468")
            AppSettings.theme = "dark"
            restart()
            let lock = opened("lockScreen")
            verify(!app.stack.visible)
            checkTexts(lock.contentItem.parent, "lock screen, dark")
            const iconY = find("lockIcon", lock.contentItem).mapToItem(null, 0, 0).y
            enterPins(lock.contentItem, ["0000", "0000", "0000"], "pinField", "unlockButton")
            compare(find("lockError", lock.contentItem).text, "Неверный PIN-код")
            enterPins(lock.contentItem, ["0000"], "pinField", "unlockButton")
            compare(find("lockError", lock.contentItem).text,
                    "Неверный PIN-код. После ещё одной ошибки ввод будет закрыт на 30 с.")
            const icon = find("lockIcon", lock.contentItem)
            waitForRendering(icon)
            compare(icon.mapToItem(null, 0, 0).y, iconY)
            enterPins(lock.contentItem, ["2468"], "pinField", "unlockButton")
            tryCompare(lock, "visible", false)

            // Five wrong entries in a row close the field, show the wait, and refuse even the
            // right PIN until it ends (that the wait outlives a restart is the limiter's test).
            restart()
            lock = find("lockScreen")
            enterPins(lock.contentItem, ["1", "2", "3", "4", "5"], "pinField", "unlockButton")
            verify(find("lockError", lock.contentItem).text.indexOf("0:") >= 0, find("lockError", lock.contentItem).text)
            verify(!find("pinField", lock.contentItem).enabled && !find("unlockButton", lock.contentItem).enabled)
            find("pinField", lock.contentItem).text = "2468"
            lock.tryUnlock()
            verify(lock.visible)
        }
    }
}
