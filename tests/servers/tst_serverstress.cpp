#include "accounts/account.h"
#include "accounts/datastorage.h"
#include "otp/otpauthuri.h"
#include "protocol/authrequest.h"
#include "servers/servermanager.h"
#include "servers/vexaserver.h"
#include "tests/common/devserverfixture.h"
#include "tests/servers/resultsink.h"

#include <QElapsedTimer>
#include <QJsonArray>
#include <QRandomGenerator>
#include <QSet>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>
#include <memory>
#include <vector>

// Several servers poll at a short interval while the GUI thread adds, removes and re-registers
// accounts and answers the confirmations that come up. Afterwards every session holds exactly
// the accounts of its address in the collection, and no update listed a token twice.
class TestServerStress : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void stress();

private:
    QTemporaryDir m_dataDir;
};

namespace {
const int SERVERS = 3;
const int INTERVAL_MS = 20;
const int DURATION_MS = 3000;
const int WAIT_MS = 10000;
} // namespace

void TestServerStress::initTestCase()
{
    QVERIFY(m_dataDir.isValid());
    qputenv("XDG_DATA_HOME", m_dataDir.path().toUtf8());
}

void TestServerStress::stress()
{
    std::vector<std::unique_ptr<DevServerFixture>> servers;
    for (int i = 0; i < SERVERS; ++i) {
        servers.push_back(std::make_unique<DevServerFixture>());
        QVERIFY2(servers.back()->start(), qPrintable(servers.back()->errorString()));
    }
    auto manager = std::make_unique<ServerManager>(nullptr, INTERVAL_MS);
    auto sink = std::make_unique<ResultSink>(manager.get());
    AccountsData &accounts = DataStorage::Instance()->m_accountsData;

    // Real accounts, registered through the sessions, so that logins can be created for them.
    QList<Account *> registered;
    for (auto &server : servers) {
        for (const QString kind : {"push", "push", "otp"}) {
            const QJsonObject ticket = server->createTicket(kind);
            const QString address = ticket.value("address").toString();
            if (!manager->GetServer(address)) {
                manager->CreateNewServer(address);
            }
            const int before = sink->added.size();
            QVERIFY(manager->GetServer(address)->beginRegisterAccount(
                OTPAuthURI(ticket.value("uri").toString().toStdString())));
            QVERIFY(QTest::qWaitFor([&] { return sink->added.size() > before; }, WAIT_MS));
            registered.append(sink->added.last());
        }
    }

    // The view's part: answer whatever is shown, then end it.
    QRandomGenerator random(20261206);
    int offered = 0;
    int answered = 0;
    connect(manager.get(), &ServerManager::requestConfirmation, manager.get(), [&](AuthRequest *) {
        ++offered;
        const bool accept = random.bounded(2) == 0;
        QTimer::singleShot(0, manager.get(),
                           [&, accept] { accept ? manager->acceptAuth() : manager->declineAuth(); });
    });
    connect(manager.get(), &ServerManager::newConfirmationStatus, manager.get(),
            [&](Account::ConfirmationStatus) {
                ++answered;
                QTimer::singleShot(0, manager.get(), [&] { manager->finishConfirmation(); });
            });
    connect(manager.get(), &ServerManager::cancelConfirmation, manager.get(),
            [&] { QTimer::singleShot(0, manager.get(), [&] { manager->finishConfirmation(); }); });

    const QString otp = registered.first()->m_uri;
    int serial = 0;
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < DURATION_MS) {
        const QList<Account *> current = accounts.m_accounts;
        Account *some = current.isEmpty() ? nullptr : current.at(random.bounded(current.size()));
        switch (random.bounded(6)) {
        case 0:
        case 1: {
            const QString address = servers[random.bounded(SERVERS)]->address();
            Account *account = Account::CreateAuthAccount(otp, address, "stress",
                                                          QStringLiteral("stress-%1").arg(++serial), "key");
            accounts.AddAccount(account);
            manager->GetServer(address)->put(account);
            break;
        }
        case 2:
            // The registered accounts stay, so that their logins keep coming.
            if (some && !registered.contains(some)) {
                // Forget it in the session first; then nothing refers to it any more.
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
            if (random.bounded(10) == 0) {
                Account *target = registered.at(random.bounded(registered.size()));
                if (target->m_tokenType == Account::TokenPushAuth) {
                    for (auto &server : servers) {
                        if (server->address() == target->m_address) {
                            server->createLogin(target->m_tokenUID, "stress");
                        }
                    }
                }
            }
            break;
        }
        QCoreApplication::processEvents(QEventLoop::AllEvents, 2);
    }

    // No account lost or doubled: each session holds exactly its address's accounts.
    QSet<Account *> unique;
    for (Account *account : accounts.m_accounts) {
        QVERIFY(!unique.contains(account));
        unique.insert(account);
    }
    for (auto &server : servers) {
        QSet<QString> expected;
        for (Account *account : accounts.m_accounts) {
            if (account->m_address == server->address()) {
                expected.insert(account->m_tokenUID);
            }
        }
        const QList<QString> tokens = manager->GetServer(server->address())->GetTokens();
        QCOMPARE(QSet<QString>(tokens.begin(), tokens.end()).size(), tokens.size());
        QCOMPARE(QSet<QString>(tokens.begin(), tokens.end()), expected);

        int updates = 0;
        for (const QJsonValue &value : server->requestLog()) {
            const QJsonObject entry = value.toObject();
            if (entry.value("endpoint").toString() != "/updateTokens") {
                continue;
            }
            ++updates;
            const QJsonArray listed = entry.value("body").toObject().value("availableTokens").toArray();
            QSet<QString> seen;
            for (const QJsonValue &token : listed) {
                QVERIFY2(!seen.contains(token.toString()), qPrintable(token.toString()));
                seen.insert(token.toString());
            }
        }
        QVERIFY(updates > 0);
    }
    qInfo() << "operations on" << serial << "accounts," << offered << "confirmations offered," << answered
            << "answered";

    manager.reset();
    sink.reset();
    while (!accounts.m_accounts.isEmpty()) {
        accounts.removeAtIndex(0);
    }
}

QTEST_MAIN(TestServerStress)
#include "tst_serverstress.moc"
