#include "accounts/account.h"
#include "accounts/accountclock.h"
#include "accounts/accountsdata.h"
#include "accounts/authaccount.h"
#include "accounts/datastorage.h"

#include <QLocale>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>
#include <memory>

namespace {

// RFC 4226 / RFC 6238 SHA-1 test secret "12345678901234567890" in Base32.
const QString SECRET = "GEZDGNBVGY3TQOJQGEZDGNBVGY3TQOJQ";
const QString TOTP = "otpauth://totp/A:b?secret=" + SECRET;
const QString HOTP = "otpauth://hotp/A:b?secret=" + SECRET + "&counter=2";
// A boundary of 30- and 60-second periods.
const qint64 BASE_TIME = 1800000000;

void setClock(qint64 secs, int offsetSeconds = 0)
{
    AccountClock::setSource(
        [=] { return QDateTime::fromSecsSinceEpoch(secs, Qt::OffsetFromUTC, offsetSeconds); });
}

QStringList g_log;

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

class TestAccount : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dataHome;

private slots:
    void initTestCase()
    {
        QVERIFY(m_dataHome.isValid());
        qputenv("XDG_DATA_HOME", m_dataHome.path().toUtf8());
    }

    void cleanup()
    {
        AccountClock::setSource({});
        QLocale::setDefault(QLocale::c());
        DataStorage::Instance()->SaveRegistrationId(QString());
    }

    void constructFromUri_data()
    {
        QTest::addColumn<QString>("uri");
        QTest::addColumn<QString>("expected"); // token type|issuer|user|period text|counter|address|reqID
        const QString s = "?secret=" + SECRET;
        const QString invalid = "0||||0||";
        QTest::newRow("issuer and user") << "otpauth://totp/Co%20X:j%40x.org" + s + "&issuer=Y"
                                         << "1|Co X|j@x.org|30|0||";
        QTest::newRow("period text kept") << "otpauth://totp/A:b" + s + "&period=060"
                                          << "1|A|b|060|0||";
        QTest::newRow("no colon") << "otpauth://totp/john" + s << "1|||30|0||";
        QTest::newRow("two colons") << "otpauth://totp/a:b:c" + s << "1|||30|0||";
        QTest::newRow("ends in colon") << "otpauth://totp/ACME:" + s << "1|ACME||30|0||";
        QTest::newRow("ticket") << "orbticket://r7?address=https://h:8443/api&pin=1&key=k=="
                                << "3||||0|https://h:8443/api|r7";
        QTest::newRow("ticket without address") << "orbticket://r7?pin=1234" << invalid;
        QTest::newRow("ticket to an ftp server") << "orbticket://r7?address=ftp://h/api" << invalid;
        QTest::newRow("ticket without reqID") << "orbticket://?address=https://a" << invalid;
        QTest::newRow("not a URI") << "hello" << invalid;
    }
    void constructFromUri()
    {
        QFETCH(QString, uri);
        std::unique_ptr<Account> account(Account::CreateStandartAccount(uri));
        const QStringList actual = {
            QString::number(account->m_tokenType), account->m_issuer,  account->m_user, account->m_period,
            QString::number(account->m_counter),   account->m_address, account->m_reqID};
        QTEST(actual.join('|'), "expected");
        if (account->m_tokenType != Account::TokenTOTP && account->m_tokenType != Account::TokenHOTP) {
            QCOMPARE(int(account->m_otpToken.type()), 0);
        }
        // Every construction takes the next identifier, valid or not.
        std::unique_ptr<Account> next(Account::CreateStandartAccount(uri));
        QCOMPARE(next->m_id, account->m_id + 1);
    }

    // The code is the one of the current period at every second, also right at the boundary,
    // when the clock goes back, and after the password was set from elsewhere.
    void codeAtPeriodBoundary()
    {
        std::unique_ptr<Account> totp(Account::CreateStandartAccount(TOTP + "&digits=8"));
        QSignalSpy changed(totp.get(), &Account::passwordChanged);
        // RFC 6238: 1111111109 is in step 37037036, 1111111110 starts step 37037037. Each read:
        // the time, the code, the next period's code and whether the code changed. A lock set
        // before a read is lifted by a new code only.
        const QList<QStringList> reads = {{"1111111109", "07081804", "14050471", "changed"},
                                          {"1111111110", "14050471", "44266759", "changed"},
                                          {"1111111139", "14050471", "44266759", ""},
                                          {"1111111109", "07081804", "14050471", "changed"},
                                          {"1111111140", "44266759", "02306183", "changed"}};
        for (const QStringList &read : reads) {
            setClock(read.at(0).toLongLong());
            totp->m_lockedOTP = true;
            const int before = changed.count();
            totp->UpdatePass();
            QCOMPARE(totp->property("password").toString(), read.at(1));
            QCOMPARE(totp->NextPassword(), read.at(2));
            QCOMPARE(changed.count() - before, read.at(3).isEmpty() ? 0 : 1);
            QCOMPARE(totp->m_lockedOTP, read.at(3).isEmpty());
        }
        totp->setPassword("123");
        totp->UpdatePass();
        QCOMPARE(totp->getPassword(), QString("44266759"));
    }

    // The last second of a period is read through the list model's roles.
    void timeout_data()
    {
        QTest::addColumn<QString>("uri");
        QTest::addColumn<int>("secondsIn");
        QTest::addColumn<int>("timeout");
        QTest::addColumn<int>("progress");
        QTest::newRow("start") << TOTP << 0 << 30 << 100;
        QTest::newRow("60 s period") << TOTP + "&period=60" << 45 << 15 << 25;
        QTest::newRow("hotp: no period") << HOTP << 7 << 0 << 100;
    }
    void timeout()
    {
        QFETCH(QString, uri);
        QFETCH(int, secondsIn);
        std::unique_ptr<Account> account(Account::CreateStandartAccount(uri));
        setClock(BASE_TIME + secondsIn);
        QTEST(account->GetTimeout(), "timeout");
        QTEST(account->GetTimeoutProgress(), "progress");
    }

    // What else a new push account's record holds is in the data file tests' golden file.
    void pushAccountEnvironment_data()
    {
        QTest::addColumn<int>("offsetSeconds");
        QTest::addColumn<QString>("locale");
        QTest::addColumn<int>("minutes");
        QTest::addColumn<QString>("language");
        QTest::newRow("UTC-3:30, English") << -12600 << "en_CA" << -210 << "en";
        QTest::newRow("UTC+5:30, Russian in Ukraine") << 19800 << "ru_UA" << 330 << "ru";
    }
    void pushAccountEnvironment()
    {
        QFETCH(int, offsetSeconds);
        QFETCH(QString, locale);
        setClock(BASE_TIME, offsetSeconds);
        QLocale::setDefault(QLocale(locale));
        std::unique_ptr<Account> account(
            Account::CreateAuthAccount(TOTP, "https://a", "req", "uid-1", "key"));
        auto *auth = dynamic_cast<AuthAccount *>(account.get());
        QVERIFY(auth);
        const NotificationToken &token = auth->m_notificationToken;
        QTEST(token.language, "language");
        QTEST(token.timeZoneOffset, "minutes");
    }

    // Kinds and "Type" values are covered by the data file tests, and that a HOTP code waits for
    // its button by the list model's roles; these are the counter rules.
    void restoredHotpCounter()
    {
        QJsonObject object{{"Type", 1}, {"URI", HOTP}, {"Counter", 5}};
        std::unique_ptr<Account> account(Account::CreateAccountFromJson(object));
        // The code continues from the stored counter, not the URI's: RFC 4226 code for counter 6.
        account->IncrementCounter();
        QCOMPARE(account->getPassword(), QString("287922"));

        // Counters past 2^31 are stored negative by the 32-bit field; a missing one keeps the URI's.
        object.insert("Counter", -2);
        account.reset(Account::CreateAccountFromJson(object));
        QCOMPARE(quint32(account->m_counter), 4294967294u);
        object.remove("Counter");
        account.reset(Account::CreateAccountFromJson(object));
        QCOMPARE(account->m_counter, 2);
    }

    void restoredPushRecord_data()
    {
        QTest::addColumn<QJsonValue>("token");
        QTest::addColumn<QString>("deviceId");
        QTest::addColumn<bool>("saved");
        QTest::addColumn<QString>("registrationId");
        const QJsonObject defaults{{"registrationId", ""}, {"platformOS", ""}, {"language", "ru"},
                                   {"timezoneOffset", 3},  {"appVersion", ""}, {"saved", true}};
        auto with = [&](const char *key, const QJsonValue &value) {
            QJsonObject changed = defaults;
            changed.insert(key, value);
            return QJsonValue(changed);
        };
        QTest::newRow("member defaults keep saved") << QJsonValue(defaults) << "" << true << "";
        QTest::newRow("offset clears saved") << with("timezoneOffset", 180) << "" << false << "";
        QTest::newRow("device id wins") << with("registrationId", "old") << "new" << false << "new";
        QTest::newRow("saved false stays") << with("saved", false) << "" << false << "";
        QTest::newRow("no record") << QJsonValue(QJsonValue::Undefined) << "" << false << "";
    }
    void restoredPushRecord()
    {
        QFETCH(QJsonValue, token);
        QFETCH(QString, deviceId);
        DataStorage::Instance()->SaveRegistrationId(deviceId);
        QJsonObject object{
            {"Type", 3}, {"URI", TOTP}, {"addres", "https://a"}, {"reqID", "r-1"}, {"tokenUID", "u-1"}};
        if (!token.isUndefined()) {
            object.insert("token", token);
        }
        std::unique_ptr<Account> account(Account::CreateAccountFromJson(object));
        auto *auth = dynamic_cast<AuthAccount *>(account.get());
        QVERIFY(auth);
        QTEST(auth->m_notificationToken.saved, "saved");
        QTEST(auth->m_notificationToken.registrationId, "registrationId");
    }

    void secretsMaskedInLog()
    {
        g_log.clear();
        const QtMessageHandler previous = qInstallMessageHandler(
            [](QtMsgType, const QMessageLogContext &, const QString &m) { g_log.append(m); });
        delete Account::CreateStandartAccount("otpauth://totp/A:b?secret=SECRETVALUEXYZ&issuer=A");
        delete Account::CreateStandartAccount(
            "orbticket://req?address=https://a&pin=918273&key=KEYVALUE==&x=1");
        delete Account::CreateStandartAccount(
            "otpauth://hotp/A:b?counter=1&Secret=OTHERSECRET&secret=SECRETVALUEXYZ");
        qInstallMessageHandler(previous);

        const QString all = g_log.join('\n');
        QVERIFY(all.contains("[Account] Begin construct for URI:"));
        QVERIFY(all.contains("==== OTP pin:"));
        QVERIFY(all.contains("&pin=***&key=***&x=1"));
        for (const char *secret : {"SECRETVALUEXYZ", "OTHERSECRET", "918273", "KEYVALUE"}) {
            QVERIFY2(!all.contains(secret), secret);
        }
    }

    // The collection.
    void duplicateRule_data()
    {
        // The stored account, whether the candidate counts as its duplicate, the candidate.
        QTest::addColumn<QString>("stored");
        QTest::addColumn<bool>("equal");
        QTest::addColumn<QString>("candidate");
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
        // The match may be gone when the user chooses to replace it: an account not listed is not.
        QCOMPARE(data.ReplaceAccount(probe.data(), probe.data()), -1);
        QCOMPARE(data.m_accounts.size(), 3);
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
        // Rows past either end (a view's stale row) have no account.
        QVERIFY(first && second && !data.accountForIndex(3) && !data.accountForIndex(-1));
        first->m_notificationToken.registrationId = "old";
        second->m_notificationToken.registrationId = "new";
        first->m_notificationToken.saved = second->m_notificationToken.saved = true;

        data.UpdateRegistrationId("new");
        QCOMPARE(first->m_notificationToken.registrationId, QString("new"));
        QVERIFY(!first->m_notificationToken.saved);
        QVERIFY(second->m_notificationToken.saved);
        qDeleteAll(data.m_accounts);
    }
};

QTEST_GUILESS_MAIN(TestAccount)
#include "tst_account.moc"
