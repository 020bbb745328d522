#include "accounts/authaccount.h"
#include "accounts/datastorage.h"
#include "models/accountslistmodel.h"
#include "protocol/authrequest.h"
#include "protocol/httpclient.h"
#include "protocol/httpclientprocess.h"
#include "protocol/operationrequest.h"
#include "protocol/request.h"
#include "servers/servermanager.h"
#include "servers/vexaserver.h"
#include "tests/common/devserverfixture.h"
#include "tests/common/modelfixture.h"

#include <QDeadlineTimer>
#include <QJsonArray>
#include <QRandomGenerator>
#include <QSet>
#include <QSignalSpy>
#include <QTimer>
#include <QtTest>
#include <atomic>
#include <functional>
#include <memory>
#include <vector>

Q_DECLARE_METATYPE(Account::ConfirmationStatus)

namespace {
const int INTERVAL_MS = 50;
const int WAIT_MS = 10000;
const int STRESS_SERVERS = 3;
const int STRESS_INTERVAL_MS = 20;
const int STRESS_DURATION_MS = 1500;
// The hostile replies: polled at this interval, a request may take this long.
const int HOSTILE_INTERVAL_MS = 15;
const int DEADLINE_MS = 250;

QStringList warnings;
QtMessageHandler previousHandler = nullptr;
// Everything logged, debug lines included, from every thread.
std::atomic<qint64> loggedBytes{0};

void recordWarning(QtMsgType type, const QMessageLogContext &context, const QString &text)
{
    loggedBytes += text.size();
    if (type != QtDebugMsg) {
        warnings.append(text);
        previousHandler(type, context, text);
    }
}

// The requests to `endpoint`.
QList<QJsonObject> entries(DevServerFixture &server, const QString &endpoint)
{
    QList<QJsonObject> result;
    for (const QJsonValue &value : server.requestLog()) {
        const QJsonObject entry = value.toObject();
        if (entry.value("endpoint") == endpoint) {
            result.append(entry);
        }
    }
    return result;
}

template <typename T> bool distinct(const QList<T> &list)
{
    return QSet<T>(list.begin(), list.end()).size() == list.size();
}

// Waits as QTest::qWaitFor does, but runs each event as it comes instead of in 10 ms steps: a
// test here is a chain of many short hops through this thread.
bool waitFor(const std::function<bool()> &done)
{
    const QDeadlineTimer deadline(WAIT_MS);
    QTimer wake;
    wake.start(10);
    while (!done() && !deadline.hasExpired()) {
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    }
    return done();
}

// Waits for `more` updates beyond those logged so far.
bool waitForUpdates(DevServerFixture &server, int more)
{
    const int count = entries(server, "/updateTokens").size() + more;
    return waitFor([&] { return entries(server, "/updateTokens").size() >= count; });
}

// With one timer chain, a server's updates are at least one interval apart: the next tick is
// armed only when the reply has arrived. A second chain would fit about twice as many into the
// same time; the bound leaves an interval of slack for a reply logged after the clock started.
// `updates` counts the updates answered normally so far.
bool pollsInOneChain(const std::function<int()> &updates)
{
    const int count = updates() + 10;
    QElapsedTimer clock;
    clock.start();
    return waitFor([&] { return updates() >= count; }) && 10 <= clock.elapsed() / INTERVAL_MS + 2;
}

// A dev server and a list model, whose manager polls at the test interval.
struct Rig
{
    DevServerFixture server;
    std::unique_ptr<AccountsListModel> model;

    bool start()
    {
        open();
        return server.start();
    }
    void open() { model = std::make_unique<AccountsListModel>(); }
    ServerManager *manager() const { return model->findChild<ServerManager *>(); }
    VexaServer *session() const { return manager()->GetServer(server.address()); }

    // Scans a new ticket of `kind` from `at`; the account the server registered.
    Account *registerTicket(DevServerFixture &at, const QString &kind)
    {
        QSignalSpy ready(model.get(), &AccountsListModel::accountready);
        model->add(at.createTicket(kind).value("uri").toString());
        return ready.wait(WAIT_MS) ? DataStorage::Instance()->m_accountsData.m_accounts.last() : nullptr;
    }
};
} // namespace

class TestServerManager : public QObject
{
    Q_OBJECT
    // One server for all the hostile rows: a server per row would double their time.
    DevServerFixture m_hostile;

private slots:
    void initTestCase()
    {
        QVERIFY(ModelFixture::useTemporaryDataHome());
        qRegisterMetaType<AuthRequest *>();
        qRegisterMetaType<Account::ConfirmationStatus>("Account::ConfirmationStatus");
        ServerManager::SetDefaultPollIntervalForTests(INTERVAL_MS);
        previousHandler = qInstallMessageHandler(recordWarning);
    }

    void cleanup()
    {
        // The next model must not load this test's accounts.
        ModelFixture::clearAccounts();
        ServerManager::SetDefaultPollIntervalForTests(INTERVAL_MS);
    }

    void polling_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::newRow("push account") << "push";
        QTest::newRow("server-bound OTP account only") << "otp";
        QTest::newRow("no account") << "";
    }

    void polling()
    {
        QFETCH(QString, kind);
        Rig rig;
        QVERIFY(rig.start());
        if (kind.isEmpty()) {
            rig.manager()->CreateNewServer(rig.server.address());
            // Absence can only be shown by waiting: several intervals, bounded.
            QTest::qWait(5 * INTERVAL_MS);
            QCOMPARE(rig.server.requestLog().size(), 0);
            // The first account starts the idle session polling, as a registration's account does
            // when it arrives after a tick that found none.
            Account *late = Account::CreateStandartOrbAccount("otpauth://totp/A:b?secret=JBSWY3DPEHPK3PXP",
                                                              rig.server.address(), "t-late");
            DataStorage::Instance()->m_accountsData.AddAccount(late);
            rig.session()->put(late);
            QVERIFY(waitForUpdates(rig.server, 2));
            return;
        }
        Account *account = rig.registerTicket(rig.server, kind);
        QVERIFY(account);

        // A restart: the session first asks which of its tokens were removed, once, then polls.
        rig.model.reset();
        // A request of the old model may still be stamped by the server; let it land first.
        QTest::qWait(INTERVAL_MS);
        rig.server.clearLog();
        rig.open();
        QVERIFY(waitForUpdates(rig.server, 3));
        const QJsonObject first = rig.server.requestLog().first().toObject();
        QCOMPARE(first.value("endpoint").toString(), QString("/getRemovedTokens"));
        QCOMPARE(first.value("body")["tokenUIDs"].toArray(), QJsonArray{account->m_tokenUID});
        QCOMPARE(entries(rig.server, "/getRemovedTokens").size(), 1);
        QCOMPARE(rig.session()->GetTokens(), QList<QString>{account->m_tokenUID});
        // Only push accounts have records; an OTP-only server gets updates all the same.
        const QJsonArray expected = kind == "push" ? QJsonArray{account->m_tokenUID} : QJsonArray{};
        for (const QJsonObject &update : entries(rig.server, "/updateTokens")) {
            QCOMPARE(update.value("body")["availableTokens"].toArray(), expected);
        }
        QVERIFY(pollsInOneChain([&] { return entries(rig.server, "/updateTokens").size(); }));
    }

    void hostileReplies_data()
    {
        QTest::addColumn<QString>("endpoint");
        QTest::addColumn<QString>("behaviour");
        QTest::addColumn<int>("code");
        QTest::addColumn<QString>("message");
        // What the server's session tells of an update's failure.
        QTest::addColumn<QString>("status");
        const QString unknown = QStringLiteral("Неизвестная сетевая ошибка");
        // The transport ends each misbehaviour the same way for every request kind; each kind is
        // still taken through to where its failure is told (or polling resumes).
        const QList<QPair<QString, QString>> rows{
            {"/updateTokens", "stream"},     {"/updateTokens", "drip"},        {"/updateTokens", "redirect"},
            {"/updateTokens", "reset"},      {"/updateTokens", "500"},         {"/register", "stream"},
            {"/register", "redirect"},       {"/acceptToken", "drip"},         {"/acceptToken", "reset"},
            {"/getRemovedTokens", "stream"}, {"/getRemovedTokens", "redirect"}};
        for (const auto &[endpoint, behaviour] : rows) {
            const bool server = behaviour == "500";
            QTest::addRow("%s %s", qPrintable(endpoint), qPrintable(behaviour))
                << endpoint << behaviour << int(server ? HttpResult::ErrorServer : HttpResult::ErrorUnknown)
                << (server ? QStringLiteral("boom")
                    : behaviour == "redirect" ? QStringLiteral("Неожиданный ответ сервера (код HTTP 302)")
                                              : unknown)
                << (server ? QStringLiteral("Ошибка при регистрации аккаунта!") : unknown + '!');
        }
        QTest::newRow("/updateTokens flood") << "/updateTokens"
                                             << "flood" << 0 << QString() << QString();
    }

    // Every request kind against a server that misbehaves once: the exchange ends as an error with a
    // text for the user's flow, never as a success, within the cap and the deadline, and the server
    // goes on being polled; after a failed update, in one chain.
    void hostileReplies()
    {
        QFETCH(QString, endpoint);
        QFETCH(QString, behaviour);
        QFETCH(int, code);
        QFETCH(QString, message);
        QFETCH(QString, status);
        // The failed update's checks need the test interval; the other kinds go faster.
        const bool polling = endpoint == "/updateTokens";
        ServerManager::SetDefaultPollIntervalForTests(polling ? INTERVAL_MS : HOSTILE_INTERVAL_MS);
        DevServerFixture &server = m_hostile;
        QVERIFY(server.isRunning() || server.start());
        server.clearFaults();
        server.clearLog();
        Rig rig;
        rig.open();
        Account *account = rig.registerTicket(server, "push");
        QVERIFY(account);
        AccountsListModel *model = rig.model.get();
        ServerManager *manager = rig.manager();
        HttpClient *client = manager->GetHttpClientProcess()->GetClient();
        QMetaObject::invokeMethod(
            client, [client] { client->SetRequestDeadline(DEADLINE_MS); }, Qt::BlockingQueuedConnection);
        // What the user is told: a registration's error, an answer's, or nothing for the polling.
        QSignalSpy badReplies(model, &AccountsListModel::badreply);
        QSignalSpy answerErrors(model, &AccountsListModel::confirmationerror);
        QSignalSpy &told = endpoint == "/register" ? badReplies : answerErrors;
        QSignalSpy confirmations(model, &AccountsListModel::requestconfirmation);
        QSignalSpy accepted(model, &AccountsListModel::accepted);
        // The operation type of the row's request kind.
        const int type =
            QStringList{"", "/register", "/updateTokens", "/acceptToken", "", "/getRemovedTokens"}.indexOf(
                endpoint);
        // Each result of that kind: its code and message, then, once the model has carried it out
        // (queued to it before this), the session's network status and what it tells.
        QList<std::tuple<int, QString, VexaServer::NetworkStatus, QString>> results;
        QObject scope;
        connect(manager, &ServerManager::httpresult, &scope, [&](HttpResult *result) {
            if (result->operation->m_operationType != type) {
                return;
            }
            const int index = results.size();
            results.append({result->errorCode, result->message, VexaServer::NW_CONNECTED, QString()});
            QMetaObject::invokeMethod(
                &scope,
                [&, index] {
                    VexaServer *session = manager->GetServer(server.address());
                    std::get<2>(results[index]) = session->GetNetworkStatus();
                    std::get<3>(results[index]) = session->GetServerErrorMessage();
                },
                Qt::QueuedConnection);
        });
        QVERIFY(waitForUpdates(server, 1));

        const QJsonObject fault = behaviour == "500" ? QJsonObject{{"status", 500}, {"message", "boom"}}
                                                     : QJsonObject{{"kind", behaviour}};
        // Qt resends a request whose connection closed mid-answer, a varying number of times.
        QVERIFY(server.injectFault(endpoint, fault, behaviour == "reset" ? 10 : 1).value("ok").toBool());
        const qint64 logged = loggedBytes;
        const int before = results.size();
        if (endpoint == "/register") {
            model->add(server.createTicket("push").value("uri").toString());
        } else if (endpoint == "/getRemovedTokens") {
            manager->getRemovedTokens();
        } else if (endpoint == "/acceptToken") {
            // Offered at the next update, which may come while the admin call waits.
            server.createLogin(account->m_tokenUID, "hostile");
            QTRY_COMPARE_WITH_TIMEOUT(confirmations.count(), 1, WAIT_MS);
            model->acceptAuth();
        }
        if (behaviour == "flood") {
            // Once the next update has been asked for, the flood has been decoded.
            QVERIFY(waitForUpdates(server, 2));
            QVERIFY2(loggedBytes - logged < 64 * 1024, qPrintable(QString::number(loggedBytes - logged)));
            return;
        }
        // The first failure, carried out.
        int failed = -1;
        const auto settled = [&](int i) {
            return i >= 0 && i < results.size() && !std::get<3>(results[i]).isEmpty();
        };
        QVERIFY(waitFor([&] {
            for (int i = before; failed < 0 && i < results.size(); ++i) {
                failed = std::get<0>(results[i]) != 0 ? i : -1;
            }
            return settled(failed);
        }));
        server.clearFaults();
        // Cut off near the cap, long before the deadline would have ended it (a stream comes at
        // tens of megabytes a second) or the server's own limit of 64 MiB. The server logs the bytes
        // it handed over once the stream has ended.
        qint64 streamed = -1;
        const QRegularExpression handedOver("^fault: stream, (\\d+) bytes$");
        QVERIFY(behaviour != "stream" || waitFor([&] {
                    for (const QJsonObject &entry : entries(server, endpoint)) {
                        const QRegularExpressionMatch match =
                            handedOver.match(entry.value("outcome").toString());
                        streamed = match.hasMatch() ? match.captured(1).toLongLong() : streamed;
                    }
                    return streamed >= 0;
                }));
        QVERIFY2(behaviour != "stream" ||
                     (streamed > Request::MAX_REPLY_BYTES && streamed < 4 * Request::MAX_REPLY_BYTES),
                 qPrintable(QString::number(streamed)));
        const auto [errorCode, text, network, sessionText] = results[failed];
        QCOMPARE(errorCode, code);
        QCOMPARE(text, message);
        if (polling) {
            QCOMPARE(network, VexaServer::NW_DISCONNECTED);
            QCOMPARE(sessionText, status);
            // A later update succeeds and is told so (a stream may still hold up the next one).
            int recovered = -1;
            QVERIFY(waitFor([&] {
                for (int i = failed + 1; recovered < 0 && i < results.size(); ++i) {
                    recovered = std::get<0>(results[i]) == 0 ? i : -1;
                }
                return settled(recovered);
            }));
            QCOMPARE(std::get<2>(results[recovered]), VexaServer::NW_CONNECTED);
            QCOMPARE(std::get<3>(results[recovered]), QStringLiteral("Нет ошибки!"));
        }
        if (endpoint == "/register" || endpoint == "/acceptToken") {
            QVERIFY(waitFor([&] { return told.count() == 1; }));
            QCOMPARE(told.at(0).at(0).toString(), message);
        }
        QCOMPARE(badReplies.count(), endpoint == "/register" ? 1 : 0);
        QCOMPARE(accepted.count(), 0);
        model->finishConfirmation();
        // Polling goes on (after an update, as its success showed), and in one chain after an error
        // the server answered and one the client ended itself.
        if (polling && (behaviour == "500" || behaviour == "drip")) {
            QVERIFY(pollsInOneChain([&] { return entries(server, "/updateTokens").size(); }));
        } else if (!polling) {
            QVERIFY(waitForUpdates(server, 1));
        }
    }

    void notificationRecords()
    {
        Rig rig;
        QVERIFY(rig.start());
        auto *account = static_cast<AuthAccount *>(rig.registerTicket(rig.server, "push"));
        QVERIFY(account);
        const auto records = [&] {
            return entries(rig.server, "/updateTokens")
                .last()
                .value("body")["notificationDeviceTokens"]
                .toArray();
        };

        // A registration id arrives on the GUI thread while the worker polls.
        DataStorage::Instance()->m_accountsData.UpdateRegistrationId("reg-id-1");
        rig.manager()->syncNotificationTokens();
        QVERIFY(waitForUpdates(rig.server, 1));
        QCOMPARE(records().size(), 1);
        QCOMPARE(records().at(0)["notificationDeviceID"].toString(), QString("reg-id-1"));
        QCOMPARE(records().at(0)["tokenUID"].toString(), account->m_tokenUID);

        // Acknowledged records are no longer sent.
        rig.manager()->updateNotificationTokens({account->m_tokenUID});
        QVERIFY(waitForUpdates(rig.server, 2));
        QCOMPARE(records().size(), 0);
    }

    void confirmation_data()
    {
        QTest::addColumn<QString>("ending");
        QTest::newRow("accepted") << "accept";
        QTest::newRow("declined") << "decline";
        QTest::newRow("withdrawn while a newer login waits") << "withdraw";
        QTest::newRow("account removed meanwhile") << "remove";
        QTest::newRow("answer's reply after the view finished") << "late";
    }

    void confirmation()
    {
        QFETCH(QString, ending);
        Rig rig;
        QVERIFY(rig.start());
        Account *account = rig.registerTicket(rig.server, "push");
        QVERIFY(account);
        ServerManager &manager = *rig.manager();
        QSignalSpy requested(&manager, &ServerManager::requestConfirmation);
        QSignalSpy cancelled(&manager, &ServerManager::cancelConfirmation);
        QSignalSpy status(&manager, &ServerManager::newConfirmationStatus);

        const QJsonObject login = rig.server.createLogin(account->m_tokenUID, "Вход с 10.0.0.1");
        QVERIFY2(!login.value("sessionID").toString().isEmpty(), qPrintable(rig.server.errorString()));
        QTRY_COMPARE_WITH_TIMEOUT(requested.count(), 1, WAIT_MS);
        AuthRequest *request = manager.GetCurrentRequest();
        QCOMPARE(requested[0][0].value<AuthRequest *>(), request);
        QCOMPARE(request->GetSessionID(), login.value("sessionID").toString());
        QCOMPARE(rig.session()->GetState(), VexaServer::PROCESS_AUTH);
        QCOMPARE(manager.GetConfirmationStatus(), Account::ConfirmationRequested);

        // Polling goes on while the request is shown, without offering it again.
        QVERIFY(waitForUpdates(rig.server, 2));
        QCOMPARE(requested.count(), 1);
        QCOMPARE(cancelled.count(), 0);

        // A second login of the same token waits behind the shown one.
        const QJsonObject next = rig.server.createLogin(account->m_tokenUID, "second");
        QVERIFY2(!next.value("sessionID").toString().isEmpty(), qPrintable(rig.server.errorString()));
        if (ending == "withdraw") {
            rig.server.withdrawLogin(login.value("sessionID").toString());
            QTRY_VERIFY_WITH_TIMEOUT(cancelled.count() >= 1, WAIT_MS);
            QCOMPARE(rig.session()->GetState(), VexaServer::PROCESS_AUTH);
        } else if (ending == "late") {
            QObject scope;
            int answers = 0;
            connect(&manager, &ServerManager::httpresult, &scope, [&answers](HttpResult *result) {
                answers += result->operation &&
                           result->operation->m_operationType == OperationRequest::AcceptTokenOp;
            });
            QVERIFY(rig.server.injectFault("/acceptToken", {{"delayMs", 300}}).value("ok").toBool());
            rig.model->acceptAuth();
            // The view is closed while the answer is on its way; polling resumes and a login is
            // offered again (the answered one, still pending at the server, or the second).
            rig.model->finishConfirmation();
            QTRY_COMPARE_WITH_TIMEOUT(requested.count(), 2, WAIT_MS);
            QTRY_COMPARE_WITH_TIMEOUT(answers, 1, WAIT_MS);
            // The reply is not the outcome of the request shown now, nor does it stop polling.
            QVERIFY(waitForUpdates(rig.server, 2));
            QCOMPARE(status.count(), 0);
            rig.model->finishConfirmation();
            return;
        } else if (ending == "remove") {
            // No key to sign with any more: nothing is sent and the view is told to close.
            rig.model->remove(account->m_id, 0);
            // The request on screen stays readable until it is finished.
            QCOMPARE(rig.model->getMetadata(), QString("Вход с 10.0.0.1"));
            rig.model->acceptAuth();
            QCOMPARE(cancelled.count(), 1);
            rig.session()->onAuthOk(request->GetSessionID(), true);
            // An answer would have reached the server within this bounded wait.
            QTest::qWait(3 * INTERVAL_MS);
            QCOMPARE(entries(rig.server, "/acceptToken").size(), 0);
        }
        if (ending == "withdraw" || ending == "remove") {
            QCOMPARE(manager.GetCurrentRequest(), request);
            QCOMPARE(manager.GetConfirmationStatus(), Account::ConfirmationNone);
            rig.model->finishConfirmation();
            QCOMPARE(rig.session()->GetCurrentRequest(), nullptr);
            if (ending == "withdraw") {
                QTRY_COMPARE_WITH_TIMEOUT(requested.count(), 2, WAIT_MS);
                QCOMPARE(manager.GetCurrentRequest()->GetSessionID(), next.value("sessionID").toString());
            }
            return;
        }

        // The view has never read the code (a start for a push): the answer carries the current one.
        const bool accept = ending == "accept";
        QCOMPARE(account->getPassword(), QString("- - - -"));
        accept ? rig.model->acceptAuth() : rig.model->declineAuth();
        QTRY_COMPARE_WITH_TIMEOUT(status.count(), 1, WAIT_MS);
        const auto expected = accept ? Account::ConfirmationAccepted : Account::ConfirmationDeclined;
        QCOMPARE(status[0][0].value<Account::ConfirmationStatus>(), expected);
        QCOMPARE(manager.GetConfirmationStatus(), expected);
        QCOMPARE(rig.server.logins().first()["state"].toString(), QString(accept ? "accepted" : "declined"));
        QCOMPARE(account->m_lockedOTP, accept);

        // Answered but not finished: polling goes on, the second login waits.
        QVERIFY(waitForUpdates(rig.server, 2));
        QCOMPARE(requested.count(), 1);
        QCOMPARE(manager.GetCurrentRequest(), request);

        rig.model->finishConfirmation();
        QCOMPARE(manager.GetConfirmationStatus(), Account::ConfirmationNone);
        QTRY_COMPARE_WITH_TIMEOUT(requested.count(), 2, WAIT_MS);
        QCOMPARE(manager.GetCurrentRequest()->GetSessionID(), next.value("sessionID").toString());
        // The code used for an accepted login stays locked until it changes.
        QCOMPARE(manager.GetCurrentRequest()->IsLockedOTP(), accept);
    }

    void twoServersOneConfirmation()
    {
        Rig rig;
        DevServerFixture other;
        QVERIFY(rig.start() && other.start());
        Account *first = rig.registerTicket(rig.server, "push");
        Account *second = rig.registerTicket(other, "push");
        QVERIFY(first && second);
        ServerManager &manager = *rig.manager();
        QSignalSpy requested(&manager, &ServerManager::requestConfirmation);
        QSignalSpy status(&manager, &ServerManager::newConfirmationStatus);

        rig.server.createLogin(first->m_tokenUID, "one");
        other.createLogin(second->m_tokenUID, "two");
        QTRY_COMPARE_WITH_TIMEOUT(requested.count(), 1, WAIT_MS);
        const QString shown = manager.GetCurrentRequest()->GetAddress();
        DevServerFixture &waiting = shown == first->m_address ? other : rig.server;

        // The other server keeps being polled and reports its request, which waits.
        QVERIFY(waitForUpdates(waiting, 3));
        QCOMPARE(requested.count(), 1);

        rig.model->declineAuth();
        QTRY_COMPARE_WITH_TIMEOUT(status.count(), 1, WAIT_MS);
        rig.model->finishConfirmation();
        QTRY_COMPARE_WITH_TIMEOUT(requested.count(), 2, WAIT_MS);
        QVERIFY(manager.GetCurrentRequest()->GetAddress() != shown);
    }

    void sessionsPerAddress()
    {
        AccountsData &accounts = DataStorage::Instance()->m_accountsData;
        const QString otp = "otpauth://totp/Issuer:user?secret=JBSWY3DPEHPK3PXP";
        const QString a = "http://127.0.0.1:1/a";
        const QString b = "http://127.0.0.1:1/b";
        accounts.AddAccount(Account::CreateStandartAccount(otp));
        accounts.AddAccount(Account::CreateAuthAccount(otp, a, "r1", "t1", "k1"));
        accounts.AddAccount(Account::CreateStandartOrbAccount(otp, a, "t2"));
        accounts.AddAccount(Account::CreateAuthAccount(otp, a, "r1", "t1", "k1"));
        accounts.AddAccount(Account::CreateStandartOrbAccount(otp, b, ""));
        Rig rig;
        rig.open();
        ServerManager &manager = *rig.manager();

        // One session per address, local accounts none; a known token is not put twice.
        QCOMPARE(manager.GetAddresses(), (QList<QString>{a, b}));
        QCOMPARE(manager.GetServer(a)->GetTokens(), (QList<QString>{"t1", "t2"}));
        QCOMPARE(manager.GetServer(b)->GetTokens(), QList<QString>{});
    }

    void managersComeAndGo()
    {
        Rig rig;
        QVERIFY(rig.start());
        QVERIFY(rig.registerTicket(rig.server, "push"));
        warnings.clear();
        ServerManager::SetDefaultPollIntervalForTests(10);
        for (int i = 0; i < 6; ++i) {
            // Each model has its own manager and threads.
            auto model = std::make_unique<AccountsListModel>();
            int results = 0;
            connect(model->findChild<ServerManager *>(), &ServerManager::httpresult, [&] { ++results; });
            // Some go while their first request is on its way, others after a few replies.
            QVERIFY(QTest::qWaitFor([&] { return results >= i % 3 * 2; }, WAIT_MS));
        }
        for (const QString &warning : qAsConst(warnings)) {
            QVERIFY2(!warning.contains("QThread") && !warning.contains("Timers"), qPrintable(warning));
        }
    }

    // Several servers poll at a short interval while the GUI thread adds, removes and re-registers
    // accounts and answers the confirmations that come up. Afterwards every session holds exactly
    // the accounts of its address in the collection, and no update listed a token twice.
    void stress()
    {
        std::vector<std::unique_ptr<DevServerFixture>> servers;
        for (int i = 0; i < STRESS_SERVERS; ++i) {
            servers.push_back(std::make_unique<DevServerFixture>());
            QVERIFY2(servers.back()->start(), qPrintable(servers.back()->errorString()));
        }
        ServerManager::SetDefaultPollIntervalForTests(STRESS_INTERVAL_MS);
        ModelFixture fixture;
        AccountsListModel *view = fixture.model();
        ServerManager *manager = view->findChild<ServerManager *>();
        AccountsData &accounts = DataStorage::Instance()->m_accountsData;

        // Real accounts, scanned and registered, so that logins can be created for them.
        QList<Account *> registered;
        for (auto &server : servers) {
            for (const QString kind : {"push", "push", "otp"}) {
                QSignalSpy ready(view, &AccountsListModel::accountready);
                // Distinct users, or the OTP accounts of different servers would count as duplicates.
                const QJsonObject user{{"user", QStringLiteral("user%1").arg(registered.size())}};
                view->add(server->createTicket(kind, "mobileotp", user).value("uri").toString());
                QVERIFY(ready.wait(WAIT_MS));
                registered.append(accounts.m_accounts.last());
            }
        }

        // The view's part: answer whatever is shown, then end it.
        QRandomGenerator random(20261206);
        const auto finish = [view] { QTimer::singleShot(0, view, [view] { view->finishConfirmation(); }); };
        connect(view, &AccountsListModel::requestconfirmation, view, [&] {
            const bool accept = random.bounded(2) == 0;
            QTimer::singleShot(0, view,
                               [view, accept] { accept ? view->acceptAuth() : view->declineAuth(); });
        });
        connect(view, &AccountsListModel::accepted, view, finish);
        connect(view, &AccountsListModel::declined, view, finish);
        connect(view, &AccountsListModel::cancelconfirmation, view, finish);

        int serial = 0;
        QElapsedTimer clock;
        clock.start();
        while (clock.elapsed() < STRESS_DURATION_MS) {
            const QList<Account *> current = accounts.m_accounts;
            Account *some = current.isEmpty() ? nullptr : current.at(random.bounded(current.size()));
            switch (random.bounded(6)) {
            case 0:
            case 1: {
                const QString address = servers[random.bounded(STRESS_SERVERS)]->address();
                Account *account =
                    Account::CreateAuthAccount(registered.first()->m_uri, address, "stress",
                                               QStringLiteral("stress-%1").arg(++serial), "key");
                accounts.AddAccount(account);
                manager->GetServer(address)->put(account);
                break;
            }
            case 2:
                // The registered accounts stay, so that their logins keep coming. The session forgets
                // an account first; then nothing refers to it any more.
                if (some && !registered.contains(some)) {
                    manager->removeToken(some->m_address, some->m_tokenUID);
                    accounts.removeAtIndex(accounts.indexOf(some));
                }
                break;
            case 3:
                accounts.UpdateRegistrationId(QStringLiteral("registration-%1").arg(++serial));
                manager->syncNotificationTokens();
                break;
            case 4:
                if (some) {
                    manager->removeToken(some->m_address, some->m_tokenUID);
                    manager->GetServer(some->m_address)->put(some);
                }
                break;
            case 5:
                // Every third registered account (an OTP one) cannot be asked to confirm.
                if (const int i = random.bounded(registered.size() * 10);
                    i < registered.size() && i % 3 != 2) {
                    servers[i / 3]->createLogin(registered[i]->m_tokenUID, "stress");
                }
                break;
            }
            QCoreApplication::processEvents(QEventLoop::AllEvents, 2);
        }

        const QList<Account *> all = accounts.m_accounts;
        QVERIFY(distinct(all));
        for (auto &server : servers) {
            QSet<QString> expected;
            for (Account *account : all) {
                if (account->m_address == server->address()) {
                    expected.insert(account->m_tokenUID);
                }
            }
            const QList<QString> tokens = manager->GetServer(server->address())->GetTokens();
            QVERIFY(distinct(tokens));
            QCOMPARE(QSet<QString>(tokens.begin(), tokens.end()), expected);
            int updates = 0;
            for (const QJsonValue &entry : server->requestLog()) {
                if (entry["endpoint"] == "/updateTokens") {
                    QVERIFY(distinct(entry["body"]["availableTokens"].toVariant().toStringList()));
                    ++updates;
                }
            }
            QVERIFY(updates > 0);
        }
    }
};

QTEST_MAIN(TestServerManager)
#include "tst_servermanager.moc"
