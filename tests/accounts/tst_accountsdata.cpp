#include "accounts/account.h"
#include "accounts/accountsdata.h"

#include <QPointer>
#include <QTemporaryDir>
#include <QtTest>

namespace {

const QString SECRET_A = "GEZDGNBVGY3TQOJQGEZDGNBVGY3TQOJQ";
const QString SECRET_B = "JBSWY3DPEHPK3PXP";

// kind: "local", "orb", "auth" or "ticket" (a local account built from a ticket URI).
Account *makeAccount(const QString &kind, const QString &label, const QString &address = QString(),
                     const QString &tokenUID = QString(), const QString &secret = SECRET_A)
{
    const QString uri = "otpauth://totp/" + label + "?secret=" + secret;
    if (kind == "orb") {
        return Account::CreateStandartOrbAccount(uri, address, tokenUID);
    }
    if (kind == "auth") {
        return Account::CreateAuthAccount(uri, address, "req", tokenUID, "key");
    }
    if (kind == "ticket") {
        Account *ticket = Account::CreateStandartAccount("orbticket://req?address=" + address);
        ticket->m_tokenUID = tokenUID;
        return ticket;
    }
    return Account::CreateStandartAccount(uri);
}

} // namespace

class TestAccountsData : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void duplicateRule_data();
    void duplicateRule();
    void updateRegistrationId();
    void lookups();
    void listChanges();

private:
    QTemporaryDir m_dataHome;
};

void TestAccountsData::initTestCase()
{
    QVERIFY(m_dataHome.isValid());
    qputenv("XDG_DATA_HOME", m_dataHome.path().toUtf8());
}

void TestAccountsData::duplicateRule_data()
{
    QTest::addColumn<QString>("storedKind");
    QTest::addColumn<QString>("storedLabel");
    QTest::addColumn<QString>("storedAddress");
    QTest::addColumn<QString>("storedUID");
    QTest::addColumn<QString>("newKind");
    QTest::addColumn<QString>("newLabel");
    QTest::addColumn<QString>("newAddress");
    QTest::addColumn<QString>("newUID");
    QTest::addColumn<bool>("equal");

    QTest::newRow("local, other secret") << "local"
                                         << "A:b"
                                         << ""
                                         << ""
                                         << "local"
                                         << "A:b"
                                         << ""
                                         << "" << true;
    QTest::newRow("local, other user") << "local"
                                       << "A:b"
                                       << ""
                                       << ""
                                       << "local"
                                       << "A:c"
                                       << ""
                                       << "" << false;
    QTest::newRow("local, other issuer") << "local"
                                         << "A:b"
                                         << ""
                                         << ""
                                         << "local"
                                         << "B:b"
                                         << ""
                                         << "" << false;
    QTest::newRow("no colon labels differ but both empty") << "local"
                                                           << "alice"
                                                           << ""
                                                           << ""
                                                           << "local"
                                                           << "bob"
                                                           << ""
                                                           << "" << true;
    QTest::newRow("server OTP ignores server") << "orb"
                                               << "A:b"
                                               << "https://a"
                                               << "1"
                                               << "orb"
                                               << "A:b"
                                               << "https://b"
                                               << "2" << true;
    QTest::newRow("push, same server and id") << "auth"
                                              << "A:b"
                                              << "https://a"
                                              << "1"
                                              << "auth"
                                              << "A:b"
                                              << "https://a"
                                              << "1" << true;
    QTest::newRow("push, other server") << "auth"
                                        << "A:b"
                                        << "https://a"
                                        << "1"
                                        << "auth"
                                        << "A:b"
                                        << "https://b"
                                        << "1" << false;
    QTest::newRow("push, other id") << "auth"
                                    << "A:b"
                                    << "https://a"
                                    << "1"
                                    << "auth"
                                    << "A:b"
                                    << "https://a"
                                    << "2" << false;
    QTest::newRow("push, other user") << "auth"
                                      << "A:b"
                                      << "https://a"
                                      << "1"
                                      << "auth"
                                      << "A:c"
                                      << "https://a"
                                      << "1" << false;
    QTest::newRow("local against stored push") << "auth"
                                               << "A:b"
                                               << "https://a"
                                               << "1"
                                               << "local"
                                               << "A:b"
                                               << ""
                                               << "" << true;
    QTest::newRow("push against stored local") << "local"
                                               << "A:b"
                                               << ""
                                               << ""
                                               << "auth"
                                               << "A:b"
                                               << "https://a"
                                               << "1" << false;
    QTest::newRow("ticket, same server") << "ticket"
                                         << ""
                                         << "https://a"
                                         << ""
                                         << "ticket"
                                         << ""
                                         << "https://a"
                                         << "" << true;
    QTest::newRow("ticket, other server") << "ticket"
                                          << ""
                                          << "https://a"
                                          << ""
                                          << "ticket"
                                          << ""
                                          << "https://b"
                                          << "" << false;
}

void TestAccountsData::duplicateRule()
{
    QFETCH(QString, storedKind);
    QFETCH(QString, storedLabel);
    QFETCH(QString, storedAddress);
    QFETCH(QString, storedUID);
    QFETCH(QString, newKind);
    QFETCH(QString, newLabel);
    QFETCH(QString, newAddress);
    QFETCH(QString, newUID);
    QFETCH(bool, equal);

    AccountsData data;
    data.AddAccount(makeAccount("local", "Other:x"));
    Account *stored = makeAccount(storedKind, storedLabel, storedAddress, storedUID);
    data.AddAccount(stored);
    // A second match later in the list is never returned.
    data.AddAccount(makeAccount(storedKind, storedLabel, storedAddress, storedUID));
    QScopedPointer<Account> candidate(makeAccount(newKind, newLabel, newAddress, newUID, SECRET_B));

    QCOMPARE(data.findIfEquals(candidate.data()), equal ? stored : nullptr);
    qDeleteAll(data.m_accounts);
}

void TestAccountsData::updateRegistrationId()
{
    AccountsData data;
    data.AddAccount(makeAccount("local", "A:a"));
    data.AddAccount(makeAccount("auth", "A:b", "https://a", "1"));
    data.AddAccount(makeAccount("auth", "A:c", "https://a", "2"));
    data.AddAccount(makeAccount("orb", "A:d", "https://a", "3"));
    auto *first = dynamic_cast<AuthAccount *>(data.accountForIndex(1));
    auto *second = dynamic_cast<AuthAccount *>(data.accountForIndex(2));
    QVERIFY(first && second);
    first->m_notificationToken.registrationId = "old";
    second->m_notificationToken.registrationId = "new";
    first->m_notificationToken.saved = true;
    second->m_notificationToken.saved = true;
    const QJsonArray before = data.toJsonArray();

    data.UpdateRegistrationId("new");
    QCOMPARE(first->m_notificationToken.registrationId, QString("new"));
    QVERIFY(!first->m_notificationToken.saved);
    QVERIFY(second->m_notificationToken.saved);
    // Accounts without a notification record are untouched.
    QCOMPARE(data.toJsonArray().at(0), before.at(0));
    QCOMPARE(data.toJsonArray().at(3), before.at(3));

    first->m_notificationToken.saved = true;
    data.UpdateRegistrationId("new");
    QVERIFY(first->m_notificationToken.saved);
    QVERIFY(second->m_notificationToken.saved);
    qDeleteAll(data.m_accounts);
}

void TestAccountsData::lookups()
{
    AccountsData data;
    QVERIFY(!data.accountForIndex(0));
    QVERIFY(!data.accountForID(0));
    QVERIFY(!data.accountForUser(""));
    QVERIFY(!data.accountForTokenUID(""));
    QVERIFY(data.toJsonArray().isEmpty());
    QScopedPointer<Account> probe(makeAccount("local", "A:b"));
    QVERIFY(!data.findIfEquals(probe.data()));

    Account *a = makeAccount("orb", "A:bob", "https://a", "uid-1");
    Account *b = makeAccount("orb", "B:bob", "https://a", "uid-1");
    Account *c = makeAccount("local", "C:carol");
    data.AddAccount(a);
    data.AddAccount(b);
    data.AddAccount(c);
    QCOMPARE(data.accountForIndex(-1), nullptr);
    QCOMPARE(data.accountForIndex(2), c);
    QCOMPARE(data.accountForIndex(3), nullptr);
    QCOMPARE(data.indexOf(b), 1);
    QCOMPARE(data.indexOf(probe.data()), -1);
    QCOMPARE(data.accountForID(c->m_id), c);
    QCOMPARE(data.accountForID(c->m_id + 1000), nullptr);
    QCOMPARE(data.accountForUser("bob"), a);
    QCOMPARE(data.accountForUser("Bob"), nullptr);
    QCOMPARE(data.accountForTokenUID("uid-1"), a);
    QCOMPARE(data.accountForTokenUID("uid-2"), nullptr);

    const QJsonArray array = data.toJsonArray();
    QCOMPARE(array.size(), 3);
    QCOMPARE(array.at(0).toObject().value("Issuer").toString(), QString("A"));
    QCOMPARE(array.at(2).toObject().value("Issuer").toString(), QString("C"));
    qDeleteAll(data.m_accounts);
}

void TestAccountsData::listChanges()
{
    AccountsData data;
    QPointer<Account> a = makeAccount("local", "A:a");
    QPointer<Account> b = makeAccount("local", "A:b");
    QPointer<Account> c = makeAccount("local", "A:c");
    QScopedPointer<Account> outsider(makeAccount("local", "A:x"));
    data.AddAccount(a);
    data.AddAccount(b);
    data.AddAccount(c);

    data.removeAtIndex(-1);
    data.removeAtIndex(3);
    QCOMPARE(data.m_accounts.size(), 3);

    QCOMPARE(data.RemoveAccount(nullptr), -1);
    QCOMPARE(data.RemoveAccount(outsider.data()), -1);
    QCOMPARE(data.ReplaceAccount(outsider.data(), a), -1);
    QCOMPARE(data.m_accounts, QList<Account *>({a, b, c}));

    // Replace and remove only take pointers out of the list.
    QScopedPointer<Account> replaced(b.data());
    QCOMPARE(data.ReplaceAccount(b, outsider.data()), 1);
    QCOMPARE(data.m_accounts, QList<Account *>({a, outsider.data(), c}));
    QVERIFY(!b.isNull());
    QScopedPointer<Account> removed(c.data());
    QCOMPARE(data.RemoveAccount(c), 2);
    QCOMPARE(data.m_accounts.size(), 2);
    QVERIFY(!c.isNull());

    data.removeAtIndex(0);
    QVERIFY(a.isNull());
    QCOMPARE(data.m_accounts, QList<Account *>({outsider.data()}));
    data.m_accounts.clear();
}

QTEST_GUILESS_MAIN(TestAccountsData)
#include "tst_accountsdata.moc"
