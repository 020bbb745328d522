#include "accounts/account.h"
#include "accounts/accountclock.h"
#include "accounts/datastorage.h"

#include <QJsonArray>
#include <QLocale>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>
#include <memory>

namespace {

// RFC 4226 / RFC 6238 SHA-1 test secret "12345678901234567890" in Base32.
const QString RFC_SECRET = "GEZDGNBVGY3TQOJQGEZDGNBVGY3TQOJQ";
// A period boundary for 30 and 60 seconds.
const qint64 BASE_TIME = 1800000000;

void setClock(qint64 secs, int offsetSeconds = 0)
{
    AccountClock::setSource([secs, offsetSeconds] {
        return QDateTime::fromSecsSinceEpoch(secs, Qt::OffsetFromUTC, offsetSeconds);
    });
}

QStringList g_log;

void captureMessage(QtMsgType, const QMessageLogContext &, const QString &message)
{
    g_log.append(message);
}

} // namespace

class TestAccount : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanup();
    void constructFromUri_data();
    void constructFromUri();
    void identifiersFollowConstruction();
    void hotpCountsUp();
    void totpCodeAndLock();
    void timeout_data();
    void timeout();
    void pushAccountEnvironment_data();
    void pushAccountEnvironment();
    void pushAccountSetters();
    void persistedForm();
    void createFromJson_data();
    void createFromJson();
    void restoredHotpContinues_data();
    void restoredHotpContinues();
    void restoredPushRecord_data();
    void restoredPushRecord();
    void secretsMaskedInLog();

private:
    QTemporaryDir m_dataHome;
};

void TestAccount::initTestCase()
{
    QVERIFY(m_dataHome.isValid());
    qputenv("XDG_DATA_HOME", m_dataHome.path().toUtf8());
}

void TestAccount::cleanup()
{
    AccountClock::setSource({});
    QLocale::setDefault(QLocale::c());
    DataStorage::Instance()->SaveRegistrationId(QString());
}

void TestAccount::constructFromUri_data()
{
    QTest::addColumn<QString>("uri");
    QTest::addColumn<int>("tokenType");
    QTest::addColumn<QString>("issuer");
    QTest::addColumn<QString>("user");
    QTest::addColumn<QString>("period");
    QTest::addColumn<int>("counter");
    QTest::addColumn<QString>("address");
    QTest::addColumn<QString>("reqID");

    QTest::newRow("totp issuer and user")
        << "otpauth://totp/ACME%20Co:john%40example.com?secret=" + RFC_SECRET + "&issuer=Other" << 1
        << "ACME Co"
        << "john@example.com"
        << "30" << 0 << ""
        << "";
    QTest::newRow("totp period text kept") << "otpauth://totp/A:b?period=060&secret=" + RFC_SECRET << 1 << "A"
                                           << "b"
                                           << "060" << 0 << ""
                                           << "";
    QTest::newRow("label without colon") << "otpauth://totp/john?secret=" + RFC_SECRET << 1 << ""
                                         << ""
                                         << "30" << 0 << ""
                                         << "";
    QTest::newRow("label with two colons") << "otpauth://totp/a:b:c?secret=" + RFC_SECRET << 1 << ""
                                           << ""
                                           << "30" << 0 << ""
                                           << "";
    QTest::newRow("label ending in colon") << "otpauth://totp/ACME:?secret=" + RFC_SECRET << 1 << "ACME"
                                           << ""
                                           << "30" << 0 << ""
                                           << "";
    QTest::newRow("hotp counter") << "otpauth://hotp/A:b?secret=" + RFC_SECRET + "&counter=5" << 2 << "A"
                                  << "b"
                                  << "" << 5 << ""
                                  << "";
    QTest::newRow("ticket") << "orbticket://req-7?address=https://auth.example:8443/api&pin=1234&key=k==" << 3
                            << ""
                            << ""
                            << "" << 0 << "https://auth.example:8443/api"
                            << "req-7";
    QTest::newRow("ticket without address") << "orbticket://req-7?pin=1234" << 0 << ""
                                            << ""
                                            << "" << 0 << ""
                                            << "";
    QTest::newRow("ticket without reqID") << "orbticket://?address=https://a" << 0 << ""
                                          << ""
                                          << "" << 0 << ""
                                          << "";
    QTest::newRow("ticket without parameters") << "orbticket://req-7" << 0 << ""
                                               << ""
                                               << "" << 0 << ""
                                               << "";
    QTest::newRow("upper-case type") << "otpauth://TOTP/A:b?secret=" + RFC_SECRET << 0 << ""
                                     << ""
                                     << "" << 0 << ""
                                     << "";
    QTest::newRow("digits not a number") << "otpauth://totp/A:b?digits=x&secret=" + RFC_SECRET << 0 << ""
                                         << ""
                                         << "" << 0 << ""
                                         << "";
    QTest::newRow("counter beyond 32 bits")
        << "otpauth://hotp/A:b?counter=99999999999&secret=" + RFC_SECRET << 0 << ""
        << ""
        << "" << 0 << ""
        << "";
    QTest::newRow("not a uri") << "hello" << 0 << ""
                               << ""
                               << "" << 0 << ""
                               << "";
}

void TestAccount::constructFromUri()
{
    QFETCH(QString, uri);
    QFETCH(int, tokenType);
    QFETCH(QString, issuer);
    QFETCH(QString, user);
    QFETCH(QString, period);
    QFETCH(int, counter);
    QFETCH(QString, address);
    QFETCH(QString, reqID);

    std::unique_ptr<Account> account(Account::CreateStandartAccount(uri));
    QCOMPARE(int(account->m_tokenType), tokenType);
    QCOMPARE(account->m_accountType, Account::TypeStandart);
    QCOMPARE(account->m_issuer, issuer);
    QCOMPARE(account->m_user, user);
    QCOMPARE(account->m_period, period);
    QCOMPARE(account->m_counter, counter);
    QCOMPARE(account->m_address, address);
    QCOMPARE(account->m_reqID, reqID);
    QCOMPARE(account->m_uri, uri);
    QCOMPARE(account->getPassword(), QString("- - - -"));
    if (tokenType != 1 && tokenType != 2) {
        QCOMPARE(int(account->m_otpToken.type()), 0);
    }
}

void TestAccount::identifiersFollowConstruction()
{
    std::unique_ptr<Account> invalid(Account::CreateStandartAccount("garbage"));
    std::unique_ptr<Account> unnumbered(new Account());
    std::unique_ptr<Account> valid(Account::CreateStandartAccount("otpauth://totp/A:b?secret=" + RFC_SECRET));
    QCOMPARE(valid->m_id, invalid->m_id + 1);
    QVERIFY(unnumbered->m_id != invalid->m_id && unnumbered->m_id != valid->m_id);
}

void TestAccount::hotpCountsUp()
{
    std::unique_ptr<Account> account(
        Account::CreateStandartAccount("otpauth://hotp/A:b?secret=" + RFC_SECRET.toLower() + "&counter=5"));
    QSignalSpy changed(account.get(), &Account::passwordChanged);
    account->UpdatePass();
    QCOMPARE(account->getPassword(), QString("- - - -"));
    QCOMPARE(account->GetTimeoutProgress(), 100);

    // RFC 4226 codes for counters 6 and 7: the first code shown is for the URI's counter + 1.
    account->IncrementCounter();
    QCOMPARE(account->m_counter, 6);
    QCOMPARE(account->getPassword(), QString("287922"));
    account->IncrementCounter();
    QCOMPARE(account->m_counter, 7);
    QCOMPARE(account->getPassword(), QString("162583"));
    QCOMPARE(changed.count(), 2);

    std::unique_ptr<Account> totp(Account::CreateStandartAccount("otpauth://totp/A:b?secret=" + RFC_SECRET));
    totp->IncrementCounter();
    QCOMPARE(totp->m_counter, 0);
    QCOMPARE(totp->getPassword(), QString("- - - -"));
}

void TestAccount::totpCodeAndLock()
{
    std::unique_ptr<Account> account(
        Account::CreateStandartAccount("otpauth://totp/A:b?digits=8&secret=" + RFC_SECRET));
    QSignalSpy changed(account.get(), &Account::passwordChanged);
    setClock(59);
    account->m_lockedOTP = true;
    account->UpdatePass();
    QCOMPARE(account->getPassword(), QString("94287082"));
    QCOMPARE(changed.count(), 1);
    QVERIFY(!account->m_lockedOTP);

    // The same code again: no signal, and the lock stays.
    account->m_lockedOTP = true;
    setClock(31);
    account->UpdatePass();
    QCOMPARE(changed.count(), 1);
    QVERIFY(account->m_lockedOTP);

    setClock(1111111109);
    account->UpdatePass();
    QCOMPARE(account->getPassword(), QString("07081804"));
    QCOMPARE(changed.count(), 2);
    QCOMPARE(account->property("password").toString(), QString("07081804"));
}

void TestAccount::timeout_data()
{
    QTest::addColumn<QString>("uri");
    QTest::addColumn<int>("secondsIntoPeriod");
    QTest::addColumn<int>("timeout");
    QTest::addColumn<int>("progress");

    const QString totp = "otpauth://totp/A:b?secret=" + RFC_SECRET;
    QTest::newRow("totp start") << totp << 0 << 30 << 100;
    QTest::newRow("totp half") << totp << 15 << 15 << 50;
    QTest::newRow("totp last second") << totp << 29 << 1 << 3;
    QTest::newRow("totp 60 s") << "otpauth://totp/A:b?period=60&secret=" + RFC_SECRET << 45 << 15 << 25;
    QTest::newRow("hotp has no period")
        << "otpauth://hotp/A:b?counter=1&secret=" + RFC_SECRET << 7 << 0 << 100;
    QTest::newRow("ticket has no period") << "orbticket://r?address=https://a" << 7 << 0 << 100;
    QTest::newRow("invalid has no period") << "junk" << 7 << 0 << 100;
}

void TestAccount::timeout()
{
    QFETCH(QString, uri);
    QFETCH(int, secondsIntoPeriod);
    QFETCH(int, timeout);
    QFETCH(int, progress);

    std::unique_ptr<Account> account(Account::CreateStandartAccount(uri));
    setClock(BASE_TIME + secondsIntoPeriod);
    QCOMPARE(account->GetTimeout(), timeout);
    QCOMPARE(account->GetTimeoutProgress(), progress);
}

void TestAccount::pushAccountEnvironment_data()
{
    QTest::addColumn<int>("offsetSeconds");
    QTest::addColumn<QString>("locale");
    QTest::addColumn<int>("minutes");
    QTest::addColumn<QString>("language");

    QTest::newRow("Moscow, Russian") << 10800 << "ru_RU" << 180 << "ru";
    QTest::newRow("UTC-3:30, English") << -12600 << "en_CA" << -210 << "en";
    QTest::newRow("UTC, German") << 0 << "de_DE" << 0 << "en";
    QTest::newRow("UTC+5:30, Russian in Ukraine") << 19800 << "ru_UA" << 330 << "ru";
}

void TestAccount::pushAccountEnvironment()
{
    QFETCH(int, offsetSeconds);
    QFETCH(QString, locale);
    QFETCH(int, minutes);
    QFETCH(QString, language);

    setClock(BASE_TIME, offsetSeconds);
    QLocale::setDefault(QLocale(locale));
    DataStorage::Instance()->SaveRegistrationId("device-42");
    std::unique_ptr<Account> account(Account::CreateAuthAccount(
        "otpauth://totp/Bank:ann?secret=" + RFC_SECRET, "https://a", "req", "uid-1", "auth-key"));
    auto *auth = dynamic_cast<AuthAccount *>(account.get());
    QVERIFY(auth);
    QCOMPARE(auth->m_tokenType, Account::TokenPushAuth);
    QCOMPARE(auth->m_accountType, Account::TypeAuth);
    QCOMPARE(int(auth->m_otpToken.type()), 1);
    QCOMPARE(auth->m_user, QString("ann"));
    QCOMPARE(auth->m_tokenUID, QString("uid-1"));
    QCOMPARE(auth->m_authKey, QString("auth-key"));
    const NotificationToken &token = auth->m_notificationToken;
    QCOMPARE(token.tokenUID, QString("uid-1"));
    QCOMPARE(token.registrationId, QString("device-42"));
    QCOMPARE(token.platformOS, QString("aurora"));
    QCOMPARE(token.language, language);
    QCOMPARE(token.timeZoneOffset, minutes);
    QCOMPARE(token.appVersion, QString("1.2.2.32"));
    QVERIFY(!token.saved);
}

void TestAccount::pushAccountSetters()
{
    AuthAccount account("otpauth://totp/Bank:ann?secret=" + RFC_SECRET, "https://a", "req", "uid-1", "key");
    const NotificationToken before = account.m_notificationToken;
    const QList<std::function<void(const NotificationToken &)>> setters = {
        [&](const NotificationToken &t) { account.SetTokenUID(t.tokenUID); },
        [&](const NotificationToken &t) { account.SetRegistrationId(t.registrationId); },
        [&](const NotificationToken &t) { account.SetPlatformOS(t.platformOS); },
        [&](const NotificationToken &t) { account.SetLanguage(t.language); },
        [&](const NotificationToken &t) { account.SetAppVersion(t.appVersion); },
        [&](const NotificationToken &t) { account.SetTimeZoneOffset(t.timeZoneOffset); },
    };
    NotificationToken other = before;
    other.tokenUID = "uid-2";
    other.registrationId = "reg-2";
    other.platformOS = "other";
    other.language = "de";
    other.appVersion = "9";
    other.timeZoneOffset = 61;
    for (int i = 0; i < setters.size(); ++i) {
        account.m_notificationToken.saved = true;
        setters.at(i)(account.m_notificationToken);
        QVERIFY2(account.m_notificationToken.saved, qPrintable(QString("setter %1 with equal value").arg(i)));
        setters.at(i)(other);
        QVERIFY2(!account.m_notificationToken.saved, qPrintable(QString("setter %1 with new value").arg(i)));
    }
    QCOMPARE(account.m_tokenUID, QString("uid-2"));
    QCOMPARE(account.m_notificationToken.tokenUID, QString("uid-2"));
    QCOMPARE(account.m_notificationToken.registrationId, QString("reg-2"));
    QCOMPARE(account.m_notificationToken.timeZoneOffset, 61);
}

void TestAccount::persistedForm()
{
    std::unique_ptr<Account> local(
        Account::CreateStandartAccount("otpauth://totp/A:b?secret=" + RFC_SECRET.toLower()));
    const QJsonObject object = local->toJsonObject();
    QCOMPARE(object.keys(), QStringList({"Counter", "Issuer", "Period", "Secret", "Type", "URI", "User",
                                         "addres", "authKey", "reqID", "tokenUID"}));
    QVERIFY(object.value("Period").isString());
    QVERIFY(object.value("Counter").isDouble());
    QCOMPARE(object.value("Secret").toString(), RFC_SECRET);
    QCOMPARE(object.value("URI").toString(), local->m_uri);
    QCOMPARE(object.value("addres").toString(), QString(""));

    std::unique_ptr<Account> auth(Account::CreateAuthAccount("otpauth://totp/A:b?secret=" + RFC_SECRET,
                                                             "https://a", "req", "uid", "auth-key"));
    const QJsonObject authObject = auth->toJsonObject();
    QCOMPARE(authObject.value("Type").toInt(), 3);
    QCOMPARE(authObject.value("addres").toString(), QString("https://a"));
    QCOMPARE(authObject.value("tokenUID").toString(), QString("uid"));
    QCOMPARE(authObject.value("authKey").toString(), QString("auth-key"));
    QCOMPARE(
        authObject.value("token").toObject().keys(),
        QStringList({"appVersion", "language", "platformOS", "registrationId", "saved", "timezoneOffset"}));
}

void TestAccount::createFromJson_data()
{
    QTest::addColumn<QJsonValue>("type");
    QTest::addColumn<int>("accountType");

    QTest::newRow("1") << QJsonValue(1) << 1;
    QTest::newRow("2") << QJsonValue(2) << 2;
    QTest::newRow("3") << QJsonValue(3) << 3;
    QTest::newRow("0") << QJsonValue(0) << 0;
    QTest::newRow("4") << QJsonValue(4) << 0;
    QTest::newRow("string") << QJsonValue("1") << 0;
    QTest::newRow("fraction") << QJsonValue(1.5) << 0;
    QTest::newRow("missing") << QJsonValue(QJsonValue::Undefined) << 0;
}

void TestAccount::createFromJson()
{
    QFETCH(QJsonValue, type);
    QFETCH(int, accountType);

    QJsonObject object{{"URI", "otpauth://totp/A:b?secret=" + RFC_SECRET}, {"addres", "https://a"}};
    if (!type.isUndefined()) {
        object.insert("Type", type);
    }
    std::unique_ptr<Account> account(Account::CreateAccountFromJson(object));
    if (accountType == 0) {
        QVERIFY(!account);
        return;
    }
    QVERIFY(account);
    QCOMPARE(int(account->m_accountType), accountType);
    QCOMPARE(account->m_user, QString("b"));
    QCOMPARE(bool(dynamic_cast<StandartAccaunt *>(account.get())), accountType == 1);
    QCOMPARE(bool(dynamic_cast<StandartOrbAccount *>(account.get())), accountType == 2);
    QCOMPARE(bool(dynamic_cast<AuthAccount *>(account.get())), accountType == 3);
    // Only server-bound accounts read the address back.
    QCOMPARE(account->m_address, QString(accountType == 1 ? "" : "https://a"));
}

void TestAccount::restoredHotpContinues_data()
{
    QTest::addColumn<int>("type");
    QTest::newRow("local") << 1;
    QTest::newRow("server OTP") << 2;
    QTest::newRow("push") << 3;
}

void TestAccount::restoredHotpContinues()
{
    QFETCH(int, type);
    const QString uri = "otpauth://hotp/A:b?secret=" + RFC_SECRET + "&counter=2";
    std::unique_ptr<Account> original(type == 1 ? Account::CreateStandartAccount(uri)
                                      : type == 2
                                          ? Account::CreateStandartOrbAccount(uri, "https://a", "uid")
                                          : Account::CreateAuthAccount(uri, "https://a", "r", "uid", "k"));
    for (int i = 0; i < 3; ++i) {
        original->IncrementCounter();
    }
    std::unique_ptr<Account> restored(Account::CreateAccountFromJson(original->toJsonObject()));
    QVERIFY(restored);
    QCOMPARE(restored->m_counter, 5);
    restored->IncrementCounter();
    QCOMPARE(restored->getPassword(), QString("287922"));

    // Counters past 2^31 are stored negative by earlier releases.
    QJsonObject wrapped = original->toJsonObject();
    wrapped.insert("Counter", -2);
    restored.reset(Account::CreateAccountFromJson(wrapped));
    QCOMPARE(quint32(restored->m_counter), 4294967294u);
    wrapped.remove("Counter");
    restored.reset(Account::CreateAccountFromJson(wrapped));
    QCOMPARE(restored->m_counter, 2);
}

void TestAccount::restoredPushRecord_data()
{
    QTest::addColumn<QJsonValue>("token");
    QTest::addColumn<QString>("currentRegistrationId");
    QTest::addColumn<bool>("saved");
    QTest::addColumn<QString>("registrationId");

    const QJsonObject defaults{{"registrationId", ""}, {"platformOS", ""}, {"language", "ru"},
                               {"timezoneOffset", 3},  {"appVersion", ""}, {"saved", true}};
    QJsonObject registered = defaults;
    registered.insert("platformOS", "aurora");
    QJsonObject otherOffset = defaults;
    otherOffset.insert("timezoneOffset", 180);
    QJsonObject withId = defaults;
    withId.insert("registrationId", "old-id");
    QJsonObject unsaved = defaults;
    unsaved.insert("saved", false);

    QTest::newRow("member defaults keep saved") << QJsonValue(defaults) << "" << true << "";
    QTest::newRow("platform clears saved") << QJsonValue(registered) << "" << false << "";
    QTest::newRow("offset clears saved") << QJsonValue(otherOffset) << "" << false << "";
    QTest::newRow("stored id kept when device has none") << QJsonValue(withId) << "" << false << "old-id";
    QTest::newRow("device id replaces stored") << QJsonValue(withId) << "new-id" << false << "new-id";
    QTest::newRow("device id fills empty") << QJsonValue(defaults) << "new-id" << false << "new-id";
    QTest::newRow("saved false stays") << QJsonValue(unsaved) << "" << false << "";
    QTest::newRow("no record") << QJsonValue(QJsonValue::Undefined) << "" << false << "";
}

void TestAccount::restoredPushRecord()
{
    QFETCH(QJsonValue, token);
    QFETCH(QString, currentRegistrationId);
    QFETCH(bool, saved);
    QFETCH(QString, registrationId);

    DataStorage::Instance()->SaveRegistrationId(currentRegistrationId);
    QJsonObject object{{"Type", 3},
                       {"URI", "otpauth://totp/A:b?secret=" + RFC_SECRET},
                       {"addres", "https://a"},
                       {"reqID", "r-1"},
                       {"tokenUID", "uid-1"},
                       {"authKey", "ak"}};
    if (!token.isUndefined()) {
        object.insert("token", token);
    }
    std::unique_ptr<Account> account(Account::CreateAccountFromJson(object));
    auto *auth = dynamic_cast<AuthAccount *>(account.get());
    QVERIFY(auth);
    QCOMPARE(auth->m_tokenType, Account::TokenPushAuth);
    QCOMPARE(auth->m_address, QString("https://a"));
    QCOMPARE(auth->m_reqID, QString("r-1"));
    QCOMPARE(auth->m_authKey, QString("ak"));
    QCOMPARE(auth->m_tokenUID, QString("uid-1"));
    QCOMPARE(auth->m_notificationToken.tokenUID, QString("uid-1"));
    QCOMPARE(auth->m_notificationToken.saved, saved);
    QCOMPARE(auth->m_notificationToken.registrationId, registrationId);
}

void TestAccount::secretsMaskedInLog()
{
    g_log.clear();
    const QtMessageHandler previous = qInstallMessageHandler(captureMessage);
    delete Account::CreateStandartAccount("otpauth://totp/A:b?secret=SECRETVALUEXYZ&issuer=A");
    delete Account::CreateStandartAccount("orbticket://req?address=https://a&pin=918273&key=KEYVALUE==&x=1");
    delete Account::CreateAuthAccount("otpauth://hotp/A:b?counter=1&Secret=OTHERSECRET&secret=SECRETVALUEXYZ",
                                      "https://a", "req", "uid", "AUTHKEYVALUE");
    qInstallMessageHandler(previous);

    const QString all = g_log.join('\n');
    QVERIFY(all.contains("[Account] Begin construct for URI:"));
    QVERIFY(all.contains("==== OTP pin:"));
    QVERIFY(all.contains("secret=***"));
    QVERIFY(all.contains("address=https://a"));
    for (const char *secret : {"SECRETVALUEXYZ", "OTHERSECRET", "918273", "KEYVALUE", "AUTHKEYVALUE"}) {
        QVERIFY2(!all.contains(secret), secret);
    }
}

QTEST_GUILESS_MAIN(TestAccount)
#include "tst_account.moc"
