#include "accounts/account.h"
#include "accounts/datastorage.h"
#include "models/accountslistmodel.h"
#include "protocol/authrequest.h"
#include "servers/servermanager.h"
#include "servers/vexaserver.h"
#include "tests/common/devserverfixture.h"

#include <QElapsedTimer>
#include <QJsonArray>
#include <QRandomGenerator>
#include <QSet>
#include <QSignalSpy>
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
    ServerManager::SetDefaultPollIntervalForTests(INTERVAL_MS);
    auto model = std::make_unique<AccountsListModel>();
    ServerManager *manager = model->findChild<ServerManager *>();
    AccountsData &accounts = DataStorage::Instance()->m_accountsData;

    // Real accounts, scanned and registered, so that logins can be created for them.
    QList<Account *> registered;
    for (auto &server : servers) {
        for (const QString kind : {"push", "push", "otp"}) {
            QSignalSpy ready(model.get(), &AccountsListModel::accountready);
            // Distinct users, or the OTP accounts of different servers would count as duplicates.
            const QJsonObject user{{"user", QStringLiteral("user%1").arg(registered.size())}};
            model->add(server->createTicket(kind, "mobileotp", user).value("uri").toString());
            QVERIFY(ready.wait(WAIT_MS));
            registered.append(accounts.m_accounts.last());
        }
    }

    // The view's part: answer whatever is shown, then end it.
    QRandomGenerator random(20261206);
    int offered = 0;
    int answered = 0;
    AccountsListModel *view = model.get();
    const auto finish = [view] { QTimer::singleShot(0, view, [view] { view->finishConfirmation(); }); };
    connect(view, &AccountsListModel::requestconfirmation, view, [&] {
        ++offered;
        const bool accept = random.bounded(2) == 0;
        QTimer::singleShot(0, view, [view, accept] { accept ? view->acceptAuth() : view->declineAuth(); });
    });
    connect(view, &AccountsListModel::accepted, view, [&] { ++answered, finish(); });
    connect(view, &AccountsListModel::declined, view, [&] { ++answered, finish(); });
    connect(view, &AccountsListModel::cancelconfirmation, view, finish);

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
            // Every third registered account (an OTP one) cannot be asked to confirm.
            if (const int i = random.bounded(registered.size() * 10); i < registered.size() && i % 3 != 2) {
                servers[i / 3]->createLogin(registered[i]->m_tokenUID, "stress");
            }
            break;
        }
        QCoreApplication::processEvents(QEventLoop::AllEvents, 2);
    }

    // No account lost or doubled: each session holds exactly its address's accounts, and no
    // update listed a token twice.
    const QList<Account *> all = accounts.m_accounts;
    QCOMPARE(QSet<Account *>(all.begin(), all.end()).size(), all.size());
    for (auto &server : servers) {
        QSet<QString> expected;
        for (Account *account : all) {
            if (account->m_address == server->address()) {
                expected.insert(account->m_tokenUID);
            }
        }
        const QList<QString> tokens = manager->GetServer(server->address())->GetTokens();
        QCOMPARE(QSet<QString>(tokens.begin(), tokens.end()).size(), tokens.size());
        QCOMPARE(QSet<QString>(tokens.begin(), tokens.end()), expected);
        int updates = 0;
        for (const QJsonValue &entry : server->requestLog()) {
            if (entry["endpoint"] == "/updateTokens") {
                const QStringList listed = entry["body"]["availableTokens"].toVariant().toStringList();
                QCOMPARE(QSet<QString>(listed.begin(), listed.end()).size(), listed.size());
                ++updates;
            }
        }
        QVERIFY(updates > 0);
    }
    qInfo() << "operations on" << serial << "accounts," << offered << "confirmations offered," << answered
            << "answered";

    model.reset();
    while (!accounts.m_accounts.isEmpty()) {
        accounts.removeAtIndex(0);
    }
}

QTEST_MAIN(TestServerStress)
#include "tst_serverstress.moc"
