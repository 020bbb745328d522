#include "accounts/account.h"
#include "accounts/accountsdata.h"
#include "accounts/authaccount.h"

#include <QPointer>
#include <QTemporaryDir>
#include <QtTest>

namespace {

// "kind label address tokenUID" with kind local, orb, auth or ticket; "-" stands for empty.
Account *makeAccount(const QString &description, const QString &secret = "JBSWY3DPEHPK3PXP")
{
    QStringList f = description.split(' ');
    f.replaceInStrings(QRegularExpression("^-$"), QString());
    const QString uri = "otpauth://totp/" + f.at(1) + "?secret=" + secret;
    if (f.at(0) == "orb") {
        return Account::CreateStandartOrbAccount(uri, f.at(2), f.at(3));
    }
    if (f.at(0) == "auth") {
        return Account::CreateAuthAccount(uri, f.at(2), "req", f.at(3), "key");
    }
    Account *account =
        Account::CreateStandartAccount(f.at(0) == "ticket" ? "orbticket://r?address=" + f.at(2) : uri);
    account->m_tokenUID = f.at(3);
    return account;
}

} // namespace

class TestAccountsData : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dataHome;

private slots:
    void initTestCase()
    {
        QVERIFY(m_dataHome.isValid());
        qputenv("XDG_DATA_HOME", m_dataHome.path().toUtf8());
    }

    void duplicateRule_data()
    {
        // The stored account, whether the candidate counts as its duplicate, the candidate.
        QTest::addColumn<QString>("stored");
        QTest::addColumn<bool>("equal");
        QTest::addColumn<QString>("candidate");
        QTest::newRow("local, other secret") << "local A:b - -" << true << "local A:b - -";
        QTest::newRow("local, other user") << "local A:b - -" << false << "local A:c - -";
        QTest::newRow("local, other issuer") << "local A:b - -" << false << "local B:b - -";
        QTest::newRow("server OTP, other server") << "orb A:b https://a 1" << true << "orb A:b https://b 2";
        QTest::newRow("push, same server and id") << "auth A:b https://a 1" << true << "auth A:b https://a 1";
        QTest::newRow("push, other server") << "auth A:b https://a 1" << false << "auth A:b https://b 1";
        QTest::newRow("push, other id") << "auth A:b https://a 1" << false << "auth A:b https://a 2";
        QTest::newRow("local against stored push") << "auth A:b https://a 1" << true << "local A:b - -";
        QTest::newRow("push against stored local") << "local A:b - -" << false << "auth A:b https://a 1";
        QTest::newRow("ticket, same server") << "ticket - https://a -" << true << "ticket - https://a -";
        QTest::newRow("ticket, other server") << "ticket - https://a -" << false << "ticket - https://b -";
    }
    void duplicateRule()
    {
        QFETCH(QString, stored);
        QFETCH(QString, candidate);
        QFETCH(bool, equal);
        AccountsData data;
        data.AddAccount(makeAccount("local Other:x - -"));
        Account *match = makeAccount(stored);
        data.AddAccount(match);
        // A later match is never returned.
        data.AddAccount(makeAccount(stored));
        QScopedPointer<Account> probe(makeAccount(candidate, "GEZDGNBVGY3TQOJQ"));
        QCOMPARE(data.findIfEquals(probe.data()), equal ? match : nullptr);
        qDeleteAll(data.m_accounts);
    }

    void updateRegistrationId()
    {
        AccountsData data;
        for (const char *description : {"local A:a - -", "auth A:b https://a 1", "auth A:c https://a 2"}) {
            data.AddAccount(makeAccount(description));
        }
        auto *first = dynamic_cast<AuthAccount *>(data.accountForIndex(1));
        auto *second = dynamic_cast<AuthAccount *>(data.accountForIndex(2));
        QVERIFY(first && second);
        first->m_notificationToken.registrationId = "old";
        second->m_notificationToken.registrationId = "new";
        first->m_notificationToken.saved = second->m_notificationToken.saved = true;
        const QJsonValue local = data.toJsonArray().at(0);

        data.UpdateRegistrationId("new");
        QCOMPARE(first->m_notificationToken.registrationId, QString("new"));
        QVERIFY(!first->m_notificationToken.saved);
        QVERIFY(second->m_notificationToken.saved);
        QCOMPARE(data.toJsonArray().at(0), local);
        first->m_notificationToken.saved = true;
        data.UpdateRegistrationId("new");
        QVERIFY(first->m_notificationToken.saved);
        qDeleteAll(data.m_accounts);
    }

    void lookupsAndChanges()
    {
        AccountsData data;
        QScopedPointer<Account> outsider(makeAccount("local A:x - -"));
        QPointer<Account> a = makeAccount("orb A:bob https://a uid-1");
        QPointer<Account> b = makeAccount("orb B:bob https://a uid-1");
        QPointer<Account> c = makeAccount("local C:carol - -");
        data.m_accounts = {a, b, c};
        QCOMPARE(data.accountForUser("bob"), a);
        QCOMPARE(data.accountForTokenUID("uid-1"), a);
        QCOMPARE(data.accountForIndex(3), nullptr);

        data.removeAtIndex(-1);
        data.removeAtIndex(3);
        QCOMPARE(data.RemoveAccount(nullptr), -1);
        QCOMPARE(data.RemoveAccount(outsider.data()), -1);
        QCOMPARE(data.ReplaceAccount(outsider.data(), a), -1);
        QCOMPARE(data.m_accounts, QList<Account *>({a, b, c}));

        // Replace and remove take pointers out of the list without deleting; removeAtIndex deletes.
        QScopedPointer<Account> replaced(b.data()), removed(c.data());
        QCOMPARE(data.ReplaceAccount(b, outsider.data()), 1);
        QCOMPARE(data.RemoveAccount(c), 2);
        QVERIFY(!b.isNull() && !c.isNull());
        data.removeAtIndex(0);
        QVERIFY(a.isNull());
        QCOMPARE(data.m_accounts, QList<Account *>({outsider.data()}));
        data.m_accounts.clear();
    }
};

QTEST_GUILESS_MAIN(TestAccountsData)
#include "tst_accountsdata.moc"
