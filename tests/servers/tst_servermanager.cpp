#include "accounts/account.h"
#include "accounts/datastorage.h"
#include "otp/otpauthuri.h"
#include "protocol/authrequest.h"
#include "protocol/httpclient.h"
#include "protocol/httpclientprocess.h"
#include "servers/servermanager.h"
#include "servers/vexaserver.h"
#include "tests/common/devserverfixture.h"
#include "tests/servers/resultsink.h"

#include <QDateTime>
#include <QJsonArray>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>
#include <memory>

Q_DECLARE_METATYPE(Account::ConfirmationStatus)

namespace {
const int INTERVAL_MS = 150;
const int WAIT_MS = 10000;

QStringList messages;
QtMessageHandler previousHandler = nullptr;

void recordMessage(QtMsgType type, const QMessageLogContext &context, const QString &text)
{
    if (type != QtDebugMsg) {
        messages.append(text);
    }
    if (type != QtDebugMsg && previousHandler) {
        previousHandler(type, context, text);
    }
}

QJsonArray entries(DevServerFixture &server, const QString &endpoint, bool okOnly = false)
{
    QJsonArray result;
    for (const QJsonValue &value : server.requestLog()) {
        const QJsonObject entry = value.toObject();
        if (entry.value("endpoint").toString() == endpoint &&
            (!okOnly || entry.value("status").toInt() == 200)) {
            result.append(entry);
        }
    }
    return result;
}

bool waitForUpdates(DevServerFixture &server, int count)
{
    return QTest::qWaitFor([&] { return entries(server, "/updateTokens").size() >= count; }, WAIT_MS);
}

QStringList texts(const QJsonValue &array)
{
    QStringList result;
    for (const QJsonValue &value : array.toArray()) {
        result.append(value.toString());
    }
    return result;
}

// Answers of one server that a single timer chain produced are at least one interval apart:
// the next tick is armed only when a reply has arrived.
void verifyOneChain(const QJsonArray &log)
{
    QDateTime previous;
    for (const QJsonValue &value : log) {
        const QDateTime time =
            QDateTime::fromString(value.toObject().value("time").toString(), Qt::ISODateWithMs);
        if (previous.isValid()) {
            QVERIFY2(previous.msecsTo(time) >= INTERVAL_MS - 10,
                     qPrintable(QStringLiteral("updates %1 ms apart").arg(previous.msecsTo(time))));
        }
        previous = time;
    }
}

// One dev server, a manager polling at the test interval, and the stand-in for the list model.
// The manager goes first, then the sink (which frees what was still queued to it).
struct Rig
{
    DevServerFixture server;
    std::unique_ptr<ResultSink> sink;
    std::unique_ptr<ServerManager> manager;

    bool start()
    {
        if (!server.start()) {
            qWarning() << server.errorString();
            return false;
        }
        manager = std::make_unique<ServerManager>(nullptr, INTERVAL_MS);
        sink = std::make_unique<ResultSink>(manager.get());
        return true;
    }
    ~Rig()
    {
        manager.reset();
        sink.reset();
    }

    // Registers a ticket of `kind` through the session of its address; the new account.
    Account *registerAccount(const QString &kind, DevServerFixture *at = nullptr)
    {
        DevServerFixture &target = at ? *at : server;
        const QJsonObject ticket = target.createTicket(kind);
        const QString address = ticket.value("address").toString();
        if (!manager->GetServer(address)) {
            manager->CreateNewServer(address);
        }
        const int before = sink->added.size();
        if (!manager->GetServer(address)->beginRegisterAccount(
                OTPAuthURI(ticket.value("uri").toString().toStdString())))
            return nullptr;
        if (!QTest::qWaitFor([&] { return sink->added.size() > before; }, WAIT_MS)) {
            return nullptr;
        }
        return sink->added.last();
    }
};

void clearCollection()
{
    AccountsData &accounts = DataStorage::Instance()->m_accountsData;
    while (!accounts.m_accounts.isEmpty()) {
        accounts.removeAtIndex(0);
    }
}
} // namespace

class TestServerManager : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanup();

    void polling_data();
    void polling();
    void startupAndRemovedTokens();
    void serverWithoutAccountsGetsNothing();
    void notificationRecords();
    void errors_data();
    void errors();
    void confirmation_data();
    void confirmation();
    void withdrawnRequest();
    void removedAccountDuringConfirmation();
    void twoServersOneConfirmation();
    void sessionsAndGuards();
    void managersComeAndGo();

private:
    QTemporaryDir m_dataDir;
};

void TestServerManager::initTestCase()
{
    QVERIFY(m_dataDir.isValid());
    qputenv("XDG_DATA_HOME", m_dataDir.path().toUtf8());
    qRegisterMetaType<AuthRequest *>("AuthRequest*");
    qRegisterMetaType<Account::ConfirmationStatus>("Account::ConfirmationStatus");
    previousHandler = qInstallMessageHandler(recordMessage);
}

void TestServerManager::cleanup()
{
    clearCollection();
    messages.clear();
}

void TestServerManager::polling_data()
{
    QTest::addColumn<QString>("kind");
    QTest::newRow("push account") << "push";
    QTest::newRow("server-bound OTP account only") << "otp";
}

void TestServerManager::polling()
{
    QFETCH(QString, kind);
    Rig rig;
    QVERIFY(rig.start());
    Account *account = rig.registerAccount(kind);
    QVERIFY(account);
    QCOMPARE(rig.manager->GetServer(account->m_address)->GetTokens(), QList<QString>{account->m_tokenUID});

    rig.server.clearLog();
    QElapsedTimer clock;
    clock.start();
    QVERIFY(waitForUpdates(rig.server, 6));
    const qint64 elapsed = clock.elapsed();
    const QJsonArray updates = entries(rig.server, "/updateTokens");
    // One chain: never more updates than intervals elapsed (a second chain would double them).
    QVERIFY2(updates.size() <= elapsed / INTERVAL_MS + 1, qPrintable(QString::number(updates.size())));
    verifyOneChain(updates);
    const QStringList expected = kind == "push" ? QStringList{account->m_tokenUID} : QStringList{};
    for (const QJsonValue &value : updates) {
        QCOMPARE(texts(value.toObject().value("body").toObject().value("availableTokens")), expected);
    }
    QCOMPARE(rig.manager->GetServer(account->m_address)->GetNetworkStatus(), VexaServer::NW_CONNECTED);
}

void TestServerManager::startupAndRemovedTokens()
{
    Rig rig;
    QVERIFY(rig.start());
    Account *kept = rig.registerAccount("push");
    Account *revoked = rig.registerAccount("otp");
    QVERIFY(kept && revoked);
    const QString address = kept->m_address;
    const QString revokedToken = revoked->m_tokenUID;
    rig.server.revokeToken(revokedToken);

    // A restart: a new manager finds both accounts in the collection.
    rig.manager = std::make_unique<ServerManager>(nullptr, INTERVAL_MS);
    rig.sink = std::make_unique<ResultSink>(rig.manager.get());
    rig.sink->added = {kept, revoked};
    rig.server.clearLog();
    rig.manager->getRemovedTokens();
    QVERIFY(waitForUpdates(rig.server, 3));

    const QJsonArray log = rig.server.requestLog();
    QCOMPARE(log.first().toObject().value("endpoint").toString(), QString("/getRemovedTokens"));
    QCOMPARE(texts(log.first().toObject().value("body").toObject().value("tokenUIDs")),
             (QStringList{kept->m_tokenUID, revokedToken}));
    QCOMPARE(entries(rig.server, "/getRemovedTokens").size(), 1);
    // The revoked account left the session and the collection; the other is polled.
    QCOMPARE(rig.manager->GetServer(address)->GetTokens(), QList<QString>{kept->m_tokenUID});
    QCOMPARE(DataStorage::Instance()->m_accountsData.m_accounts, QList<Account *>{kept});
    verifyOneChain(entries(rig.server, "/updateTokens"));
}

void TestServerManager::serverWithoutAccountsGetsNothing()
{
    Rig rig;
    QVERIFY(rig.start());
    rig.manager->CreateNewServer(rig.server.address());
    rig.manager->getRemovedTokens();
    QVERIFY(rig.manager->GetServer(rig.server.address()));
    // Absence can only be shown by waiting: several intervals, bounded.
    QTest::qWait(5 * INTERVAL_MS);
    QCOMPARE(rig.server.requestLog().size(), 0);
    QCOMPARE(rig.manager->GetServer(rig.server.address())->GetState(), VexaServer::ONHOLD);
}

void TestServerManager::notificationRecords()
{
    Rig rig;
    QVERIFY(rig.start());
    Account *account = rig.registerAccount("push");
    QVERIFY(account);

    // A registration id arrives on the GUI thread while the worker polls.
    DataStorage::Instance()->m_accountsData.UpdateRegistrationId("reg-id-1");
    rig.manager->syncNotificationTokens();
    rig.server.clearLog();
    QVERIFY(waitForUpdates(rig.server, 1));
    QJsonArray records = entries(rig.server, "/updateTokens")
                             .first()
                             .toObject()
                             .value("body")
                             .toObject()
                             .value("notificationDeviceTokens")
                             .toArray();
    QCOMPARE(records.size(), 1);
    QCOMPARE(records.first().toObject().value("notificationDeviceID").toString(), QString("reg-id-1"));
    QCOMPARE(records.first().toObject().value("tokenUID").toString(), account->m_tokenUID);

    // Acknowledged records are no longer sent.
    rig.manager->updateNotificationTokens({account->m_tokenUID});
    QVERIFY(static_cast<AuthAccount *>(account)->m_notificationToken.saved);
    rig.server.clearLog();
    QVERIFY(waitForUpdates(rig.server, 2));
    records = entries(rig.server, "/updateTokens")
                  .last()
                  .toObject()
                  .value("body")
                  .toObject()
                  .value("notificationDeviceTokens")
                  .toArray();
    QCOMPARE(records.size(), 0);
}

void TestServerManager::errors_data()
{
    QTest::addColumn<QJsonObject>("fault");
    QTest::addColumn<int>("count");
    QTest::addColumn<int>("errorCode");
    QTest::addColumn<QString>("message");
    const QString registration = QStringLiteral("Ошибка при регистрации аккаунта!");
    const QString unknown = QStringLiteral("Неизвестная сетевая ошибка!");
    QTest::newRow("500 with message")
        << QJsonObject{{"status", 500}, {"message", "boom"}} << 2 << 3 << registration;
    QTest::newRow("400") << QJsonObject{{"status", 400}} << 2 << 2 << registration;
    QTest::newRow("404") << QJsonObject{{"status", 404}} << 1 << 5 << unknown;
    QTest::newRow("connection closed") << QJsonObject{{"close", true}} << 3 << 5 << unknown;
    QTest::newRow("timeout") << QJsonObject{{"delayMs", 1500}} << 1 << 5 << unknown;
}

void TestServerManager::errors()
{
    QFETCH(QJsonObject, fault);
    QFETCH(int, count);
    QFETCH(int, errorCode);
    QFETCH(QString, message);
    Rig rig;
    QVERIFY(rig.start());
    HttpClient *client = rig.manager->GetHttpClientProcess()->GetClient();
    QMetaObject::invokeMethod(
        client, [client] { client->SetTransferTimeout(500); }, Qt::BlockingQueuedConnection);
    Account *account = rig.registerAccount("push");
    QVERIFY(account);
    QVERIFY(waitForUpdates(rig.server, 1));

    rig.server.clearLog();
    const int seen = rig.sink->updates.size();
    QVERIFY(!rig.server.injectFault("/updateTokens", fault, count).isEmpty());
    // The failed update, then good ones again.
    QVERIFY(QTest::qWaitFor(
        [&] {
            const auto &updates = rig.sink->updates;
            bool failed = false;
            for (int i = seen; i < updates.size(); ++i) {
                failed = failed || updates[i].errorCode != 0;
                if (failed && updates[i].errorCode == 0) {
                    return true;
                }
            }
            return false;
        },
        WAIT_MS));
    const auto updates = rig.sink->updates.mid(seen);
    int firstError = 0;
    while (updates[firstError].errorCode == 0) {
        ++firstError;
    }
    QCOMPARE(updates[firstError].errorCode, errorCode);
    QCOMPARE(updates[firstError].status, VexaServer::NW_DISCONNECTED);
    QCOMPARE(updates[firstError].message, message);
    QCOMPARE(updates.last().status, VexaServer::NW_CONNECTED);
    QCOMPARE(updates.last().message, QStringLiteral("Нет ошибки!"));
    // The chain neither stopped nor split: good answers keep one interval apart.
    QVERIFY(waitForUpdates(rig.server, entries(rig.server, "/updateTokens").size() + 3));
    verifyOneChain(entries(rig.server, "/updateTokens", true));
}

void TestServerManager::confirmation_data()
{
    QTest::addColumn<bool>("accept");
    QTest::newRow("accept") << true;
    QTest::newRow("decline") << false;
}

void TestServerManager::confirmation()
{
    QFETCH(bool, accept);
    Rig rig;
    QVERIFY(rig.start());
    Account *account = rig.registerAccount("push");
    QVERIFY(account);
    VexaServer *session = rig.manager->GetServer(account->m_address);
    ServerManager &manager = *rig.manager;
    QSignalSpy requested(&manager, &ServerManager::requestConfirmation);
    QSignalSpy cancelled(&manager, &ServerManager::cancelConfirmation);
    QSignalSpy status(&manager, &ServerManager::newConfirmationStatus);

    const QJsonObject login = rig.server.createLogin(account->m_tokenUID, "Вход с 10.0.0.1");
    QTRY_COMPARE_WITH_TIMEOUT(requested.count(), 1, WAIT_MS);
    AuthRequest *request = manager.GetCurrentRequest();
    QCOMPARE(requested.first().first().value<AuthRequest *>(), request);
    QCOMPARE(request->GetSessionID(), login.value("sessionID").toString());
    QCOMPARE(request->GetMetadata(), QString("Вход с 10.0.0.1"));
    QVERIFY(!account->m_issuer.isEmpty());
    QCOMPARE(request->GetIssuer(), account->m_issuer);
    QCOMPARE(request->IsLockedOTP(), false);
    QVERIFY(request->GetTimeout() >= 1 && request->GetTimeout() <= 30);
    QCOMPARE(session->GetState(), VexaServer::PROCESS_AUTH);
    QCOMPARE(manager.GetConfirmationStatus(), Account::ConfirmationRequested);

    // Polling goes on while the request is shown, without offering it again.
    rig.server.clearLog();
    QVERIFY(waitForUpdates(rig.server, 2));
    QCOMPARE(requested.count(), 1);
    QCOMPARE(cancelled.count(), 0);

    // The view has never read the code (a start for a push): the answer must carry the current one.
    QCOMPARE(account->getPassword(), QString("- - - -"));
    accept ? manager.acceptAuth() : manager.declineAuth();
    QTRY_COMPARE_WITH_TIMEOUT(status.count(), 1, WAIT_MS);
    const auto expected = accept ? Account::ConfirmationAccepted : Account::ConfirmationDeclined;
    QCOMPARE(status.first().first().value<Account::ConfirmationStatus>(), expected);
    QCOMPARE(rig.server.logins().last().toObject().value("state").toString(),
             QString(accept ? "accepted" : "declined"));
    QCOMPARE(account->m_lockedOTP, accept);
    // Idle again, or already polling.
    QVERIFY(session->GetState() == VexaServer::ONHOLD || session->GetState() == VexaServer::PROCESS);
    QCOMPARE(manager.GetConfirmationStatus(), expected);
    QVERIFY(rig.sink->badReplies.isEmpty());

    // Answered but not finished: a new pending request waits.
    const QJsonObject next = rig.server.createLogin(account->m_tokenUID, "second");
    rig.server.clearLog();
    QVERIFY(waitForUpdates(rig.server, 2));
    QCOMPARE(requested.count(), 1);
    QCOMPARE(manager.GetCurrentRequest(), request);

    manager.finishConfirmation();
    QCOMPARE(manager.GetCurrentRequest(), nullptr);
    QCOMPARE(manager.GetConfirmationStatus(), Account::ConfirmationNone);
    QTRY_COMPARE_WITH_TIMEOUT(requested.count(), 2, WAIT_MS);
    QCOMPARE(manager.GetCurrentRequest()->GetSessionID(), next.value("sessionID").toString());
    // The code used for an accepted login stays locked until it changes.
    QCOMPARE(manager.GetCurrentRequest()->IsLockedOTP(), accept);
}

void TestServerManager::withdrawnRequest()
{
    Rig rig;
    QVERIFY(rig.start());
    Account *account = rig.registerAccount("push");
    QVERIFY(account);
    ServerManager &manager = *rig.manager;
    VexaServer *session = manager.GetServer(account->m_address);
    QSignalSpy requested(&manager, &ServerManager::requestConfirmation);
    QSignalSpy cancelled(&manager, &ServerManager::cancelConfirmation);

    const QJsonObject login = rig.server.createLogin(account->m_tokenUID, "gone soon");
    QTRY_COMPARE_WITH_TIMEOUT(requested.count(), 1, WAIT_MS);
    AuthRequest *request = manager.GetCurrentRequest();
    rig.server.withdrawLogin(login.value("sessionID").toString());
    QTRY_VERIFY_WITH_TIMEOUT(cancelled.count() >= 1, WAIT_MS);
    QCOMPARE(session->GetState(), VexaServer::PROCESS_AUTH);
    QCOMPARE(manager.GetCurrentRequest(), request);
    QCOMPARE(manager.GetConfirmationStatus(), Account::ConfirmationNone);

    manager.finishConfirmation();
    QVERIFY(session->GetState() == VexaServer::ONHOLD || session->GetState() == VexaServer::PROCESS);
    QCOMPARE(session->GetCurrentRequest(), nullptr);
    rig.server.clearLog();
    QVERIFY(waitForUpdates(rig.server, 2));
    QCOMPARE(requested.count(), 1);
}

void TestServerManager::removedAccountDuringConfirmation()
{
    Rig rig;
    QVERIFY(rig.start());
    Account *account = rig.registerAccount("push");
    QVERIFY(account);
    ServerManager &manager = *rig.manager;
    const QString address = account->m_address;
    QSignalSpy requested(&manager, &ServerManager::requestConfirmation);
    QSignalSpy cancelled(&manager, &ServerManager::cancelConfirmation);
    rig.server.createLogin(account->m_tokenUID, "meta");
    QTRY_COMPARE_WITH_TIMEOUT(requested.count(), 1, WAIT_MS);

    // The user removes the account while the request is shown.
    manager.removeToken(address, account->m_tokenUID);
    AccountsData &accounts = DataStorage::Instance()->m_accountsData;
    accounts.removeAtIndex(accounts.indexOf(account));
    rig.sink->added.clear();

    manager.acceptAuth();
    QCOMPARE(cancelled.count(), 1);
    QCOMPARE(manager.GetConfirmationStatus(), Account::ConfirmationNone);
    manager.GetServer(address)->onAuthOk(true);
    manager.finishConfirmation();
    QCOMPARE(manager.GetCurrentRequest(), nullptr);
    QVERIFY(QTest::qWaitFor([&] { return !rig.server.requestLog().isEmpty(); }, WAIT_MS));
    QCOMPARE(entries(rig.server, "/acceptToken").size(), 0);
}

void TestServerManager::twoServersOneConfirmation()
{
    Rig rig;
    QVERIFY(rig.start());
    DevServerFixture other;
    QVERIFY2(other.start(), qPrintable(other.errorString()));
    Account *first = rig.registerAccount("push");
    Account *second = rig.registerAccount("push", &other);
    QVERIFY(first && second);
    ServerManager &manager = *rig.manager;
    QSignalSpy requested(&manager, &ServerManager::requestConfirmation);
    QSignalSpy status(&manager, &ServerManager::newConfirmationStatus);

    rig.server.createLogin(first->m_tokenUID, "one");
    other.createLogin(second->m_tokenUID, "two");
    QTRY_COMPARE_WITH_TIMEOUT(requested.count(), 1, WAIT_MS);
    const QString shown = manager.GetCurrentRequest()->GetAddress();
    DevServerFixture &waiting = shown == first->m_address ? other : rig.server;

    // The other server is polled and reports its request, which waits.
    waiting.clearLog();
    QVERIFY(waitForUpdates(waiting, 3));
    QCOMPARE(requested.count(), 1);

    manager.declineAuth();
    QTRY_COMPARE_WITH_TIMEOUT(status.count(), 1, WAIT_MS);
    manager.finishConfirmation();
    QTRY_COMPARE_WITH_TIMEOUT(requested.count(), 2, WAIT_MS);
    QVERIFY(manager.GetCurrentRequest()->GetAddress() != shown);
}

void TestServerManager::sessionsAndGuards()
{
    ServerManager manager(nullptr, INTERVAL_MS);
    ResultSink sink(&manager);
    AccountsData &accounts = DataStorage::Instance()->m_accountsData;
    const QString otp = "otpauth://totp/Issuer:user?secret=JBSWY3DPEHPK3PXP";
    const QString address = "http://127.0.0.1:1/a";
    accounts.AddAccount(Account::CreateStandartAccount(otp));
    accounts.AddAccount(Account::CreateAuthAccount(otp, address, "r1", "t1", "k1"));
    accounts.AddAccount(Account::CreateStandartOrbAccount(otp, address, "t2"));
    accounts.AddAccount(Account::CreateAuthAccount(otp, address, "r1", "t1", "k1"));
    accounts.AddAccount(Account::CreateStandartOrbAccount(otp, "http://127.0.0.1:1/b", ""));
    manager.getRemovedTokens();

    QCOMPARE(manager.GetAddresses(), (QList<QString>{address, "http://127.0.0.1:1/b"}));
    QCOMPARE(manager.GetServer(address)->GetTokens(), (QList<QString>{"t1", "t2"}));
    QCOMPARE(manager.GetServer("http://127.0.0.1:1/b")->GetTokens(), QList<QString>{});
    QCOMPARE(manager.GetServer(address)->findTokenIndex("t2"), 2);
    QCOMPARE(manager.GetServer(address)->findTokenIndex("t9"), -1);
    QCOMPARE(manager.GetServer("http://127.0.0.1:1/c"), nullptr);
    QCOMPARE(manager.GetAddresses().size(), 2);

    // Without a current request the answers do nothing.
    manager.acceptAuth();
    manager.declineAuth();
    manager.finishConfirmation();
    QCOMPARE(manager.GetConfirmationStatus(), Account::ConfirmationNone);

    // Tickets that name no server or no request cannot be registered.
    VexaServer *session = manager.GetServer(address);
    QVERIFY(!session->beginRegisterAccount(OTPAuthURI("orbticket://req-1?pin=1234")));
    QVERIFY(!session->beginRegisterAccount(OTPAuthURI("orbticket://?address=http://127.0.0.1:1/a")));
    QVERIFY(!session->beginRegisterAccount(OTPAuthURI("orbticket://req-1")));

    // The connection-refused replies of the polling reach the session as errors.
    QTRY_VERIFY_WITH_TIMEOUT(session->GetNetworkStatus() == VexaServer::NW_DISCONNECTED, WAIT_MS);
    QCOMPARE(session->GetServerErrorMessage(),
             QStringLiteral("Не удалось установить соединение с сервером!"));
    QVERIFY(sink.badReplies.isEmpty());
}

void TestServerManager::managersComeAndGo()
{
    Rig rig;
    QVERIFY(rig.start());
    QVERIFY(rig.registerAccount("push"));
    for (int i = 0; i < 12; ++i) {
        auto manager = std::make_unique<ServerManager>(nullptr, 10);
        auto sink = std::make_unique<ResultSink>(manager.get());
        manager->getRemovedTokens();
        // Some go while their first request is on its way, others after a few replies.
        if (i % 3 != 0) {
            QVERIFY(QTest::qWaitFor([&] { return sink->results >= i % 3 * 2; }, WAIT_MS));
        }
        manager.reset();
        sink.reset();
    }
    for (const QString &message : qAsConst(messages)) {
        QVERIFY2(!message.contains("QThread") && !message.contains("Timers"), qPrintable(message));
    }
}

QTEST_MAIN(TestServerManager)
#include "tst_servermanager.moc"
