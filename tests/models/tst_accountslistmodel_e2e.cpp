#include "accounts/datastorage.h"
#include "models/accountslistmodel.h"
#include "servers/servermanager.h"
#include "tests/common/devserverfixture.h"

#include <QtTest>

// The whole road from a scanned ticket to an answered login, against kestrel-devserver.
namespace {

AccountsData &stored()
{
    return DataStorage::Instance()->m_accountsData;
}

QString accountsFile()
{
    return QStandardPaths::writableLocation(QStandardPaths::AppDataLocation) + "/accounts.txt";
}

QString loginState(DevServerFixture &server, const QString &sessionID)
{
    for (const QJsonValue &login : server.logins()) {
        if (login["sessionID"].toString() == sessionID) {
            return login["state"].toString();
        }
    }
    return QString();
}

int requestsTo(DevServerFixture &server, const QString &endpoint)
{
    int count = 0;
    for (const QJsonValue &entry : server.requestLog()) {
        count += entry["endpoint"].toString() == endpoint ? 1 : 0;
    }
    return count;
}

} // namespace

class TestAccountsListModelE2E : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        QVERIFY(m_home.isValid());
        qputenv("XDG_DATA_HOME", m_home.path().toUtf8());
        QCoreApplication::setOrganizationName("kestrel-tests");
        QCoreApplication::setApplicationName("listmodel-e2e");
        ServerManager::SetDefaultPollIntervalForTests(100);
        QVERIFY2(m_server.start(), qPrintable(m_server.errorString()));
    }

    void cleanup()
    {
        m_model.reset();
        qDeleteAll(stored().m_accounts);
        stored().m_accounts.clear();
        QFile::remove(accountsFile());
        m_server.clearFaults();
    }

    void confirmation_data()
    {
        QTest::addColumn<bool>("accept");
        QTest::newRow("accept") << true;
        QTest::newRow("decline") << false;
    }

    void confirmation()
    {
        QFETCH(bool, accept);
        const QJsonObject ticket = registerPushAccount();
        QVERIFY(!ticket.isEmpty());
        QFile file(accountsFile());
        QVERIFY(file.open(QIODevice::ReadOnly));
        QVERIFY(file.readAll().contains(ticket["tokenUID"].toString().toUtf8()));

        const QString session = offerLogin(ticket, "Вход: Firefox, 10.0.0.7", 1700000000);
        QVERIFY(!session.isEmpty());
        QCOMPARE(m_model->getMetadata(), QString("Вход: Firefox, 10.0.0.7"));
        QCOMPARE(m_model->getIssuer(), QString("Kestrel"));
        const QDateTime when = QDateTime::fromSecsSinceEpoch(1700000000);
        QCOMPARE(m_model->getRequestDate(), when.toString("dd.MM.yyyy"));
        QCOMPARE(m_model->getRequestTime(), when.toString("hh:mm:ss"));
        QVERIFY(!m_model->getLockedOTP());
        QVERIFY(m_model->getTimeout() >= 1 && m_model->getTimeout() <= 30);

        QSignalSpy accepted(m_model.get(), &AccountsListModel::accepted);
        QSignalSpy declined(m_model.get(), &AccountsListModel::declined);
        QSignalSpy bad(m_model.get(), &AccountsListModel::badreply);
        if (accept) {
            m_model->acceptAuth();
            QTRY_COMPARE(accepted.size(), 1);
        } else {
            m_model->declineAuth();
            QTRY_COMPARE(declined.size(), 1);
        }
        QCOMPARE(accepted.size() + declined.size() + bad.size(), 1);
        // The server checked signature and code before it closed the login.
        QCOMPARE(loginState(m_server, session), QString(accept ? "accepted" : "declined"));
        // The answered request stays readable until the view finishes it.
        QCOMPARE(m_model->getMetadata(), QString("Вход: Firefox, 10.0.0.7"));
        m_model->finishConfirmation();
        QVERIFY(m_model->getMetadata().isEmpty());

        // Polling goes on and offers the next login.
        QVERIFY(!offerLogin(ticket, "second", -1).isEmpty());
    }

    void serverErrorReachesView()
    {
        const QJsonObject ticket = registerPushAccount();
        QVERIFY(!ticket.isEmpty());
        QVERIFY(!offerLogin(ticket, "m", -1).isEmpty());
        m_server.injectFault("/acceptToken", {{"status", 500}, {"message", "Сессия устарела"}});
        QSignalSpy bad(m_model.get(), &AccountsListModel::badreply);
        QSignalSpy accepted(m_model.get(), &AccountsListModel::accepted);
        m_model->acceptAuth();
        QTRY_COMPARE(bad.size(), 1);
        QCOMPARE(bad.at(0).at(0).toString(), QString("Сессия устарела"));
        QCOMPARE(accepted.size(), 0);
        m_model->finishConfirmation();
    }

    // The account of the request on screen is removed: the request stays readable until it is
    // finished, then the account is released (the sanitizer build checks both).
    void removedWhileShown()
    {
        const QJsonObject ticket = registerPushAccount();
        QVERIFY(!ticket.isEmpty());
        QVERIFY(!offerLogin(ticket, "gone", -1).isEmpty());
        m_model->remove(m_model->data(m_model->index(0), AccountsListModel::RoleId).toInt(), 0);
        QCOMPARE(m_model->rowCount(), 0);
        QCOMPARE(m_model->getMetadata(), QString("gone"));
        m_model->declineAuth();
        m_model->finishConfirmation();
        QVERIFY(m_model->getMetadata().isEmpty());
    }

    void undecryptableRegistration()
    {
        m_model = std::make_unique<AccountsListModel>();
        const QJsonObject ticket = m_server.createTicket("push");
        m_server.injectFault("/register", {{"status", 200}, {"body", R"({"mobileotp":"AAAA.BBBB.CCCC"})"}});
        QSignalSpy bad(m_model.get(), &AccountsListModel::badreply);
        QSignalSpy ready(m_model.get(), &AccountsListModel::accountready);
        m_model->add(ticket["uri"].toString());
        QTRY_COMPARE(bad.size(), 1);
        QCOMPARE(bad.at(0).at(0).toString(),
                 QString("Невозможно зарегистрировать аккаунт. Получены некорректные данные."));
        QCOMPARE(ready.size(), 0);
        QCOMPARE(m_model->rowCount(), 0);
    }

    // A restart polls again; a token revoked meanwhile disappears with the first reply.
    void restart()
    {
        const QJsonObject kept = registerPushAccount();
        const QJsonObject revoked = registerPushAccount();
        QCOMPARE(m_model->rowCount(), 2);
        m_model.reset();
        qDeleteAll(stored().m_accounts);
        stored().m_accounts.clear();
        m_server.revokeToken(revoked["tokenUID"].toString());
        m_server.clearLog();

        m_model = std::make_unique<AccountsListModel>();
        QCOMPARE(m_model->rowCount(), 2);
        QTRY_COMPARE(m_model->rowCount(), 1);
        QCOMPARE(stored().accountForIndex(0)->m_tokenUID, kept["tokenUID"].toString());
        QTRY_VERIFY(requestsTo(m_server, "/updateTokens") >= 2);
        QVERIFY(!offerLogin(kept, "after restart", -1).isEmpty());
        QFile file(accountsFile());
        QVERIFY(file.open(QIODevice::ReadOnly));
        QVERIFY(!file.readAll().contains(revoked["tokenUID"].toString().toUtf8()));
    }

private:
    // Scans a new push ticket with the current model (created if needed) and waits for the row.
    QJsonObject registerPushAccount()
    {
        if (!m_model) {
            m_model = std::make_unique<AccountsListModel>();
        }
        const QJsonObject ticket = m_server.createTicket("push", "mobileotp", {{"issuer", "Kestrel"}});
        QSignalSpy ready(m_model.get(), &AccountsListModel::accountready);
        const int rows = m_model->rowCount();
        m_model->add(ticket["uri"].toString());
        if (!ready.wait(10000) || m_model->rowCount() != rows + 1) {
            return {};
        }
        return ticket;
    }

    // Creates a login at the server and waits until the model offers it; the session id or empty.
    QString offerLogin(const QJsonObject &ticket, const QString &metadata, qint64 time)
    {
        QSignalSpy offered(m_model.get(), &AccountsListModel::requestconfirmation);
        const QString session =
            m_server.createLogin(ticket["tokenUID"].toString(), metadata, time)["sessionID"].toString();
        if (session.isEmpty() || !offered.wait(10000) || m_model->getMetadata() != metadata) {
            return QString();
        }
        return session;
    }

    QTemporaryDir m_home;
    DevServerFixture m_server;
    std::unique_ptr<AccountsListModel> m_model;
};

QTEST_GUILESS_MAIN(TestAccountsListModelE2E)
#include "tst_accountslistmodel_e2e.moc"
