#include "accounts/datastorage.h"
#include "models/accountslistmodel.h"
#include "servers/servermanager.h"
#include "tests/common/devserverfixture.h"
#include "tests/common/modelfixture.h"
#include "tests/common/testfiles.h"

#include <QtTest>

// The model against kestrel-devserver: restarts, failed saves and several models over one
// collection. The road from a scanned ticket to an answered login is walked by the screens'
// tests, the manager's side of the cycle with the servers.
class TestAccountsListModelE2E : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        QVERIFY(ModelFixture::useTemporaryDataHome());
        ServerManager::SetDefaultPollIntervalForTests(50);
        QVERIFY2(m_server.start(), qPrintable(m_server.errorString()));
    }

    void cleanup()
    {
        m_model.reset();
        ModelFixture::clearAccounts();
        m_server.clearFaults();
    }

    // A restart shows the same rows and polls again; a token revoked meanwhile disappears with
    // the first reply.
    void restart()
    {
        const QString kept = registerPushAccount();
        const QString revoked = registerPushAccount();
        m_model->add("otpauth://hotp/Local:hotp?secret=JBSWY3DPEHPK3PXP&counter=4");
        m_model->incrementCounter(m_model->data(m_model->index(2), AccountsListModel::RoleId).toInt(), 2);
        m_model.reset();
        const QString revokedUser = ModelFixture::accounts().at(1)->m_user;
        // A new process: only the file is left.
        DataStorage::Instance()->ResetForTests();
        m_server.revokeToken(revoked);
        m_server.clearLog();

        m_model = std::make_unique<AccountsListModel>();
        QSignalSpy told(m_model.get(), &AccountsListModel::badreply);
        QCOMPARE(m_model->rowCount(), 3);
        QCOMPARE(ModelFixture::accounts().at(2)->m_counter, 5);
        QTRY_COMPARE(m_model->rowCount(), 2);
        QCOMPARE(ModelFixture::tokenIds(), QStringList({kept, ""}));
        // The server may remove its tokens, but not without the user learning which and by whom.
        QCOMPARE(told.size(), 1);
        QCOMPARE(
            told.at(0).at(0).toString(),
            QString("Сервер %1 сообщил, что эти аккаунты больше не действуют, и они удалены: Kestrel (%2).")
                .arg(m_server.address(), revokedUser));
        // The removed-tokens request, then updates without the revoked token.
        QTRY_VERIFY(m_server.requestLog().size() >= 3);
        QCOMPARE(m_server.requestLog().last()["body"]["availableTokens"].toArray(), QJsonArray{kept});
        QVERIFY(!readFile(ModelFixture::accountsFile()).contains(revoked.toUtf8()));
    }

    // An account registered while it cannot be written: the user is told instead of "ready", the
    // row stays, and the account reaches the disk once the fault is gone.
    void failedSaveDuringRegistration()
    {
        m_model = std::make_unique<AccountsListModel>();
        // A directory where the file should be: no save can replace it.
        QVERIFY(QDir().mkpath(ModelFixture::accountsFile()));
        const QJsonObject ticket = m_server.createTicket("push");
        QSignalSpy told(m_model.get(), &AccountsListModel::badreply);
        QSignalSpy ready(m_model.get(), &AccountsListModel::accountready);
        m_model->add(ticket["uri"].toString());
        QTRY_COMPARE(told.size(), 1);
        QVERIFY2(told.at(0).at(0).toString().contains("Аккаунты остаются в памяти"),
                 qPrintable(told.at(0).at(0).toString()));
        QCOMPARE(ready.size(), 0);
        QCOMPARE(ModelFixture::tokenIds(), QStringList(ticket["tokenUID"].toString()));

        QVERIFY(QDir(ModelFixture::accountsFile()).removeRecursively());
        QTRY_VERIFY(readFile(ModelFixture::accountsFile()).contains(ticket["tokenUID"].toString().toUtf8()));
    }

    // Two models share the collection. A removal in one reaches the sessions of both: a later
    // login for that token is offered by neither, and nothing reads the freed account.
    void removalReachesEveryModel()
    {
        const QString removed = registerPushAccount();
        const QString kept = registerPushAccount();
        AccountsListModel second;
        QCOMPARE(second.rowCount(), 2);
        QSignalSpy offeredFirst(m_model.get(), &AccountsListModel::requestconfirmation);
        QSignalSpy offeredSecond(&second, &AccountsListModel::requestconfirmation);
        QSignalSpy secondRows(&second, &AccountsListModel::rowsRemoved);
        m_model->remove(m_model->data(m_model->index(0), AccountsListModel::RoleId).toInt(), 0);
        QCOMPARE(secondRows.size(), 1);

        m_server.clearLog();
        m_server.createLogin(removed, "m");
        // Both models go on polling (only updates are sent now), the login stays pending.
        QTRY_VERIFY(m_server.requestLog().size() >= 6);
        QCOMPARE(m_server.requestLog().last()["body"]["availableTokens"].toArray(), QJsonArray{kept});
        QCOMPARE(offeredFirst.size() + offeredSecond.size(), 0);
    }

private:
    // Scans a new push ticket with the current model (created if needed) and waits for the row;
    // the token id, or an empty string.
    QString registerPushAccount()
    {
        if (!m_model) {
            m_model = std::make_unique<AccountsListModel>();
        }
        const QJsonObject ticket = m_server.createTicket("push", "mobileotp", {{"issuer", "Kestrel"}});
        QSignalSpy ready(m_model.get(), &AccountsListModel::accountready);
        const int rows = m_model->rowCount();
        m_model->add(ticket["uri"].toString());
        return ready.wait(10000) && m_model->rowCount() == rows + 1 ? ticket["tokenUID"].toString()
                                                                    : QString();
    }

    DevServerFixture m_server;
    std::unique_ptr<AccountsListModel> m_model;
};

QTEST_GUILESS_MAIN(TestAccountsListModelE2E)
#include "tst_accountslistmodel_e2e.moc"
