#include "accounts/accountclock.h"
#include "models/accountslistmodel.h"
#include "servers/servermanager.h"
#include "tests/common/modelfixture.h"

#include <QAbstractItemModelTester>
#include <QtTest>

// The list model without a live server: sessions are created for an address where nothing
// listens, so every request they send fails at once.
namespace {

const QString DEAD_ADDRESS = QStringLiteral("http://127.0.0.1:1/vexa");
// RFC 6238 test secret ("12345678901234567890"), eight digits.
const QString RFC_TOTP =
    QStringLiteral("otpauth://totp/Acme:alice?secret=GEZDGNBVGY3TQOJQGEZDGNBVGY3TQOJQ&digits=8");

QString totp(const QString &label)
{
    return "otpauth://totp/" + label + "?secret=JBSWY3DPEHPK3PXP";
}

QList<int> ids(const AccountsListModel &model)
{
    QList<int> result;
    for (int row = 0; row < model.rowCount(); ++row) {
        result << model.data(model.index(row), AccountsListModel::RoleId).toInt();
    }
    return result;
}

void setClock(qint64 seconds)
{
    AccountClock::setSource([seconds] { return QDateTime::fromSecsSinceEpoch(seconds, Qt::UTC); });
}

} // namespace

class TestAccountsListModel : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        QVERIFY(ModelFixture::useTemporaryDataHome());
        ServerManager::SetDefaultPollIntervalForTests(50);
    }

    // Each test starts like a fresh installation.
    void cleanup()
    {
        AccountClock::setSource({});
        ModelFixture::clearAccounts();
    }

    void structureStaysConsistent()
    {
        ModelFixture fixture;
        AccountsListModel &model = *fixture.model();
        QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::Fatal);
        QSignalSpy duplicateAsked(&model, &AccountsListModel::requestduplicate);
        QSignalSpy rewritten(&model, &AccountsListModel::itemrewrited);
        QSignalSpy removed(&model, &AccountsListModel::rowsRemoved);
        model.resetAllData();
        QCOMPARE(removed.size(), 0);

        for (const char *label : {"A:one", "B:two", "C:three"}) {
            model.add(totp(label));
        }
        const QList<int> first = ids(model);
        QCOMPARE(first.size(), 3);

        // Nothing chosen yet: both choices do nothing.
        model.duplicate();
        model.rewrite();
        QCOMPARE(model.rowCount(), 3);

        model.add(totp("B:two"));
        QCOMPARE(duplicateAsked.size(), 1);
        model.duplicate();
        model.duplicate(); // the pair was used up
        QCOMPARE(model.rowCount(), 4);

        model.add(totp("C:three"));
        // A second scan replaces the pair still waiting (the first new account is released).
        model.add("otpauth://hotp/C:three?secret=JBSWY3DPEHPK3PXP&counter=1");
        model.rewrite();
        QCOMPARE(rewritten.size(), 1);
        QCOMPARE(rewritten.at(0).at(0).toInt(), 2);
        QCOMPARE(model.data(model.index(2), AccountsListModel::RoleType).toInt(), int(Account::TokenHOTP));
        QCOMPARE(model.rowCount(), 4);

        // The view names row 3, but the account is at row 0: row 0 goes.
        model.remove(first.at(0), 3);
        QCOMPARE(removed.size(), 1);
        QCOMPARE(removed.at(0).at(1).toInt(), 0);
        QCOMPARE(ids(model).first(), first.at(1));
        model.remove(-5, 0);
        QCOMPARE(model.rowCount(), 3);

        const int hotpId = model.data(model.index(1), AccountsListModel::RoleId).toInt();
        model.incrementCounter(hotpId, 0);
        QCOMPARE(ModelFixture::accounts().at(1)->m_counter, 2);

        // A ticket creates the session (its registration fails); then a server-bound account is
        // replaced, and tokens the server no longer knows disappear.
        model.add("orbticket://r1?address=" + DEAD_ADDRESS + "&pin=1&key=AAAQEAYEAUDAOCAJBIFQYDIOB4");
        QTRY_COMPARE(fixture.badReplies.size(), 1);
        model.addNewAccount(Account::CreateStandartOrbAccount(totp("Bank:a"), DEAD_ADDRESS, "t-1"));
        model.addNewAccount(Account::CreateStandartOrbAccount(totp("Bank:b"), DEAD_ADDRESS, "t-2"));
        model.addNewAccount(Account::CreateStandartOrbAccount(totp("Bank:b"), DEAD_ADDRESS, "t-3"));
        model.rewrite();
        QCOMPARE(model.rowCount(), 5);
        model.removeTokensForAddress(DEAD_ADDRESS, {"t-9", "t-3", "t-1"});
        model.removeTokensForAddress("http://nowhere", {"t-2"});
        QCOMPARE(ModelFixture::tokenIds(), QStringList({"", "", ""}));

        model.resetAllData();
        QVERIFY(model.isEmpty());
        QVERIFY(ModelFixture::accounts().isEmpty());
    }

    void roles()
    {
        setClock(59);
        AccountsListModel model;
        model.add(RFC_TOTP);
        model.add("otpauth://hotp/Shop:bob?secret=JBSWY3DPEHPK3PXP&counter=0");
        model.add(totp("Third:carol"));
        // A push account whose server has no session.
        model.addNewAccount(
            Account::CreateAuthAccount(totp("Push:dan"), "http://no-session", "r", "t-7", "k"));

        const auto value = [&model](int row, int role) { return model.data(model.index(row), role); };
        QCOMPARE(value(0, AccountsListModel::RolePassword).toString(), QString("94287082"));
        QCOMPARE(value(0, AccountsListModel::RoleProgress).toInt(), 3);
        setClock(1111111109);
        QCOMPARE(value(0, AccountsListModel::RolePassword).toString(), QString("07081804"));
        setClock(1234567890);
        QCOMPARE(value(0, AccountsListModel::RoleProgress).toInt(), 100);
        setClock(1234567905);
        QCOMPARE(value(0, AccountsListModel::RoleProgress).toInt(), 50);
        QCOMPARE(value(1, AccountsListModel::RoleProgress).toInt(), 100);
        QCOMPARE(value(1, AccountsListModel::RolePassword).toString(), QString("- - - -"));

        const QStringList colors{"orange", "orange", "skyblue", "skyblue"};
        const QList<int> types{1, 2, 1, 4};
        for (int row = 0; row < 4; ++row) {
            QCOMPARE(value(row, AccountsListModel::RoleColor).toString(), colors.at(row));
            QCOMPARE(value(row, AccountsListModel::RoleType).toInt(), types.at(row));
            QCOMPARE(value(row, AccountsListModel::RoleNetwork), QVariant(0));
            QVERIFY(value(row, AccountsListModel::RoleMessage).toString().isNull());
            QVERIFY(!value(row, Qt::UserRole - 1).isValid());
            QVERIFY(!value(row, Qt::UserRole + 9).isValid());
        }
        QCOMPARE(value(0, AccountsListModel::RoleIssuer).toString(), QString("Acme"));
        QCOMPARE(value(1, AccountsListModel::RoleUser).toString(), QString("bob"));
        QVERIFY(!model.data(model.index(4), AccountsListModel::RoleUser).isValid());
        QCOMPARE(model.roleNames().value(AccountsListModel::RoleMessage), QByteArray("message"));
        QCOMPARE(model.roleNames().value(Qt::UserRole), QByteArray("color"));

        QSignalSpy changed(&model, &AccountsListModel::dataChanged);
        QVERIFY(!model.setData(model.index(1), "- - - -", AccountsListModel::RolePassword));
        QVERIFY(model.setData(model.index(1), "123", AccountsListModel::RoleUser));
        QCOMPARE(changed.size(), 1);
        QCOMPARE(value(1, AccountsListModel::RolePassword).toString(), QString("123"));
        QCOMPARE(model.flags(model.index(1)), Qt::ItemIsEditable);
        QCOMPARE(model.flags(QModelIndex()), Qt::NoItemFlags);
    }

    // A push account of a server that cannot be reached shows it once the first update failed.
    void pushAccountNetwork()
    {
        AccountsListModel model;
        QSignalSpy bad(&model, &AccountsListModel::badreply);
        // The account is in the session before the failed registration re-arms the worker, as a
        // registration answer would put it there.
        model.add("orbticket://r1?address=" + DEAD_ADDRESS + "&key=AAAQEAYEAUDAOCAJBIFQYDIOB4");
        model.addNewAccount(Account::CreateAuthAccount(totp("Push:eve"), DEAD_ADDRESS, "r1", "t-1", "k"));
        QTRY_COMPARE(model.data(model.index(0), AccountsListModel::RoleNetwork).toInt(), 2);
        QCOMPARE(bad.size(), 1);
        QCOMPARE(model.data(model.index(0), AccountsListModel::RoleMessage).toString(),
                 QString("Не удалось установить соединение с сервером!"));

        // The properties are defined while no request is current, and the answers do nothing.
        QVERIFY(model.getIssuer().isEmpty() && model.getMetadata().isEmpty());
        QVERIFY(model.getRequestDate().isEmpty() && model.getRequestTime().isEmpty());
        QVERIFY(!model.getLockedOTP());
        QCOMPARE(model.getTimeout(), 0);
        model.acceptAuth();
        model.declineAuth();
        model.finishConfirmation();
    }

    void incompleteTicket_data()
    {
        QTest::addColumn<QString>("ticket");
        QTest::newRow("no address") << "orbticket://r1?pin=1&key=K";
        QTest::newRow("empty address") << "orbticket://r1?address=&key=K";
        QTest::newRow("empty reqID") << "orbticket://?address=" + DEAD_ADDRESS;
    }

    void incompleteTicket()
    {
        QFETCH(QString, ticket);
        ModelFixture fixture;
        fixture.model()->add(ticket);
        QCOMPARE(fixture.badReplies.size(), 1);
        QVERIFY(fixture.badReplies.at(0).at(0).toString().contains("адреса сервера"));
        QCOMPARE(fixture.model()->rowCount(), 0);
    }
};

QTEST_GUILESS_MAIN(TestAccountsListModel)
#include "tst_accountslistmodel.moc"
