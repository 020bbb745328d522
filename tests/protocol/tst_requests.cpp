#include "accounts/account.h"
#include "protocol/activateorbticketrequest.h"
#include "protocol/authoperation.h"
#include "protocol/authrequest.h"
#include "protocol/deleteaccountsoperationrequest.h"
#include "protocol/getremovedtokensrequest.h"
#include "protocol/registerorbaccountoperation.h"
#include "protocol/updatetokensrequest.h"
#include "tests/protocol/gcmtestcipher.h"
#include "tests/protocol/modelfixture.h"

#include "models/accountslistmodel.h"

#include <QtTest>

#include <memory>
#include <time.h>

namespace {
const QString ADDRESS = QStringLiteral("http://127.0.0.1:1/vexa");
// Base32 of the 16 bytes 00 01 02 ... 0f.
const QString TICKET_KEY = QStringLiteral("AAAQEAYEAUDAOCAJBIFQYDIOB4");
const QByteArray KEY = QByteArray::fromHex("000102030405060708090a0b0c0d0e0f");
const QByteArray IV = QByteArray::fromHex("cafebabefacedbaddecaf888");
const QString OTP_URI = QStringLiteral("otpauth://totp/Bank:alice?secret=JBSWY3DPEHPK3PXP");

std::unique_ptr<ActivateOrbTicketRequest> ticketRequest()
{
    return std::make_unique<ActivateOrbTicketRequest>(
        ADDRESS, QStringLiteral("req-1"), QStringLiteral("1234"), QStringLiteral("ru-RU"), TICKET_KEY);
}

QString encrypted(const QJsonObject &plaintext)
{
    return encryptTicketAnswer(KEY, IV, QJsonDocument(plaintext).toJson(QJsonDocument::Compact));
}

QByteArray answer(const QString &member, const QJsonValue &value)
{
    return QJsonDocument(QJsonObject{{member, value}}).toJson(QJsonDocument::Compact);
}

NotificationToken record(const QString &tokenUID, const QString &registrationId, bool saved)
{
    NotificationToken token;
    token.tokenUID = tokenUID;
    token.registrationId = registrationId;
    token.language = QStringLiteral("en");
    token.timeZoneOffset = 180;
    token.appVersion = QStringLiteral("1.2.2.32");
    token.saved = saved;
    return token;
}
} // namespace

class TestRequests : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void cleanup();
    void registerBody_data();
    void registerBody();
    void decryptOTPData_data();
    void decryptOTPData();
    void unusableAnswerIsRejected_data();
    void unusableAnswerIsRejected();
    void mobileAuthAnswer();
    void requestBodies_data();
    void requestBodies();
    void updateReply_data();
    void updateReply();
    void removedTokensReply_data();
    void removedTokensReply();

private:
    QTemporaryDir m_dataHome;
};

void TestRequests::initTestCase()
{
    QVERIFY(m_dataHome.isValid());
    qputenv("XDG_DATA_HOME", m_dataHome.path().toUtf8());
    qputenv("TZ", "UTC");
    tzset();
}

void TestRequests::cleanup()
{
    QLocale::setDefault(QLocale::c());
}

void TestRequests::registerBody_data()
{
    QTest::addColumn<QLocale>("locale");
    QTest::addColumn<QByteArray>("body");
    QTest::newRow("russian") << QLocale(QLocale::Russian, QLocale::Russia)
                             << QByteArray(R"({"language":"ru","reqID":"req-1"})");
    QTest::newRow("english") << QLocale(QLocale::English, QLocale::UnitedStates)
                             << QByteArray(R"({"language":"en","reqID":"req-1"})");
    QTest::newRow("ukrainian") << QLocale(QLocale::Ukrainian, QLocale::Ukraine)
                               << QByteArray(R"({"language":"en","reqID":"req-1"})");
}

void TestRequests::registerBody()
{
    QFETCH(QLocale, locale);
    QFETCH(QByteArray, body);
    QLocale::setDefault(locale);
    auto request = ticketRequest();
    QCOMPARE(request->GetCommand(), QStringLiteral("/register"));
    QCOMPARE(request->GetDataJson(), body);
}

void TestRequests::decryptOTPData_data()
{
    QTest::addColumn<QString>("data");
    QTest::addColumn<QByteArray>("plaintext");
    const QByteArray secret = "{\"otp\":\"x\"}";
    const QString good = encryptTicketAnswer(KEY, IV, secret);
    const QStringList parts = good.split('.');
    QTest::newRow("three parts") << good << secret;
    const auto padded = [](const QString &part) {
        return QString::fromLatin1(QByteArray::fromBase64(part.toLatin1(), QByteArray::Base64UrlEncoding)
                                       .toBase64(QByteArray::Base64UrlEncoding));
    };
    QTest::newRow("padded parts") << padded(parts[0]) + '.' + padded(parts[1]) + '.' + padded(parts[2])
                                  << secret;
    QTest::newRow("two parts") << parts[0] + '.' + parts[1] << QByteArray();
    QTest::newRow("four parts") << good + '.' + parts[2] << QByteArray();
    QTest::newRow("empty text") << QString() << QByteArray();
    QTest::newRow("standard alphabet")
        << QString(good).replace('-', '+').replace('_', '/').append("+/") << QByteArray();
    QTest::newRow("bad Base64") << parts[0] + ".*" + parts[1] + '.' + parts[2] << QByteArray();
    QString tamperedTag = good;
    tamperedTag[tamperedTag.size() - 2] = tamperedTag.at(tamperedTag.size() - 2) == 'A' ? 'B' : 'A';
    QTest::newRow("tampered tag") << tamperedTag << QByteArray();
    QTest::newRow("short IV") << parts[0].left(8) + '.' + parts[1] + '.' + parts[2] << QByteArray();
}

void TestRequests::decryptOTPData()
{
    QFETCH(QString, data);
    QFETCH(QByteArray, plaintext);
    QCOMPARE(ticketRequest()->DecryptOTPData(data), plaintext);
}

// Whatever the answer lacks, an account comes back; the registration operation refuses it.
void TestRequests::unusableAnswerIsRejected_data()
{
    QTest::addColumn<QByteArray>("body");
    const QString good = encrypted({{"otp", OTP_URI}, {"tokenUID", "t-1"}, {"authkey", "k"}});
    QString tampered = good;
    tampered[tampered.size() - 1] = tampered.at(tampered.size() - 1) == 'A' ? 'Q' : 'A';
    QTest::newRow("tampered tag") << answer("mobileotp", tampered);
    QTest::newRow("two parts") << answer("mobileotp", good.section('.', 0, 1));
    QTest::newRow("four parts") << answer("mobileotp", good + ".AAAA");
    QTest::newRow("bad Base64") << answer("mobileotp", "@@@@." + good.section('.', 1));
    QTest::newRow("plaintext not an object") << answer("mobileotp", encryptTicketAnswer(KEY, IV, "[1,2]"));
    QTest::newRow("no otp member") << answer("mobileotp", encrypted({{"tokenUID", "t-1"}}));
    QTest::newRow("number member") << answer("mobileotp", 5);
    QTest::newRow("body not JSON") << QByteArray("<html>");
    QTest::newRow("no member") << QByteArray("{}");
}

void TestRequests::unusableAnswerIsRejected()
{
    QFETCH(QByteArray, body);
    std::unique_ptr<HttpResult> result(ticketRequest()->DecodeReplyData(QNetworkReply::NoError, 200, body));
    std::unique_ptr<OperationRequest> operation(result->operation);
    QCOMPARE(result->errorCode, HttpResult::ErrorNone);
    auto *registration = dynamic_cast<RegisterOrbAccountOperation *>(operation.get());
    QVERIFY(registration && registration->GetAccount());

    ModelFixture model;
    operation->DoOperation(model.model());
    QCOMPARE(ModelFixture::accounts().size(), 0);
    QCOMPARE(model.badReplies.size(), 1);
    QCOMPARE(model.badReplies.at(0).at(0).toString(),
             QStringLiteral("Невозможно зарегистрировать аккаунт. Получены некорректные данные."));
    QVERIFY(!registration->GetAccount());
}

void TestRequests::mobileAuthAnswer()
{
    const QByteArray body =
        answer("mobileauth", encrypted({{"otp", OTP_URI}, {"tokenUID", "t-9"}, {"authkey", "secret-key"}}));
    std::unique_ptr<Account> account(ticketRequest()->ExtractAccountData(body));
    QCOMPARE(account->m_accountType, Account::TypeAuth);
    QCOMPARE(account->m_tokenType, Account::TokenPushAuth);
    QCOMPARE(account->m_address, ADDRESS);
    QCOMPARE(account->m_reqID, QStringLiteral("req-1"));
    QCOMPARE(account->m_tokenUID, QStringLiteral("t-9"));
    QCOMPARE(account->m_authKey, QStringLiteral("secret-key"));
    QCOMPARE(account->m_issuer, QStringLiteral("Bank"));
    QVERIFY(account->m_otpToken.isValid());
}

void TestRequests::requestBodies_data()
{
    QTest::addColumn<QSharedPointer<Request>>("request");
    QTest::addColumn<QString>("command");
    QTest::addColumn<QByteArray>("body");

    const QByteArray device = R"({"hmac":"","language":"en","notificationDeviceID":"reg-2","os":"aurora",)"
                              R"("timeZoneOffset":180,"tokenUID":"t-2","version":"1.2.2.32"})";
    QTest::newRow("update: saved, unsaved, no registration id")
        << QSharedPointer<Request>(Request::CreateUpdateTokensRequest(
               ADDRESS,
               {record("t-1", "reg-1", true), record("t-2", "reg-2", false), record("t-3", "", false)}))
        << "/updateTokens"
        << QByteArray(R"({"availableTokens":["t-1","t-2","t-3"],"notificationDeviceTokens":[)") + device +
               "]}";
    QTest::newRow("update: no records")
        << QSharedPointer<Request>(Request::CreateUpdateTokensRequest(ADDRESS, {})) << "/updateTokens"
        << QByteArray(R"({"availableTokens":[],"notificationDeviceTokens":[]})");
    QTest::newRow("removed tokens") << QSharedPointer<Request>(
                                           Request::CreateGetRemovedTokensRequest(ADDRESS, {"t-1", "t-2"}))
                                    << "/getRemovedTokens" << QByteArray(R"({"tokenUIDs":["t-1","t-2"]})");
    QTest::newRow("accept") << QSharedPointer<Request>(
                                   Request::CreateAcceptTokenRequest(ADDRESS, "t-1", "123456", "s-1", "c2ln"))
                            << "/acceptToken"
                            << QByteArray(
                                   R"({"accepted":true,"hmac":"c2ln","sessionID":"s-1","tokenUID":"t-1",)"
                                   R"("valueotp":"123456"})");
    QTest::newRow("decline")
        << QSharedPointer<Request>(Request::CreateDeclineTokenRequest(ADDRESS, "t-1", "s-1", "c2ln"))
        << "/acceptToken"
        << QByteArray(R"({"accepted":false,"hmac":"c2ln","sessionID":"s-1","tokenUID":"t-1"})");
}

void TestRequests::requestBodies()
{
    QFETCH(QSharedPointer<Request>, request);
    QFETCH(QString, command);
    QFETCH(QByteArray, body);
    QCOMPARE(request->GetCommand(), command);
    QCOMPARE(request->GetAddress(), ADDRESS);
    QCOMPARE(request->GetDataJson(), body);
}

void TestRequests::updateReply_data()
{
    QTest::addColumn<QByteArray>("body");
    // One "tokenUID|sessionID|metadata|date time" line per decoded request.
    QTest::addColumn<QStringList>("requests");
    QTest::newRow("three pending in reply order")
        << QByteArray(R"({"availableTokens":[)"
                      R"({"tokenUID":"t-2","sessionID":"s-1","metadata":"Firefox","time":1700000000},)"
                      R"({"tokenUID":"t-1","sessionID":"s-2","metadata":"","time":0},)"
                      R"({"tokenUID":"t-2","sessionID":"s-3","metadata":"m","time":86399}],)"
                      R"("notificationDeviceTokens":["t-1"]})")
        << QStringList{"t-2|s-1|Firefox|14.11.2023 22:13:20", "t-1|s-2||01.01.1970 00:00:00",
                       "t-2|s-3|m|01.01.1970 23:59:59"};
    QTest::newRow("members missing or of another type")
        << QByteArray(R"({"availableTokens":[{"tokenUID":7,"time":"12"},{"time":1.5},"text"]})")
        << QStringList{"|||01.01.1970 00:00:00", "|||01.01.1970 00:00:00", "|||01.01.1970 00:00:00"};
    QTest::newRow("no pending requests") << QByteArray(R"({"availableTokens":[]})") << QStringList();
    QTest::newRow("not an array") << QByteArray(R"({"availableTokens":{"tokenUID":"t-1"}})") << QStringList();
    QTest::newRow("body not JSON") << QByteArray("availableTokens") << QStringList();
}

void TestRequests::updateReply()
{
    QFETCH(QByteArray, body);
    QFETCH(QStringList, requests);
    UpdateTokensRequest request(ADDRESS, {});
    std::unique_ptr<HttpResult> result(request.DecodeReplyData(QNetworkReply::NoError, 200, body));
    std::unique_ptr<AuthOperation> operation(dynamic_cast<AuthOperation *>(result->operation));
    QVERIFY(operation);
    QCOMPARE(operation->m_operationType, OperationRequest::AuthOp);
    QCOMPARE(operation->m_address, ADDRESS);
    QStringList decoded;
    for (const AuthRequest *pending : operation->GetRequests()) {
        QCOMPARE(pending->GetAddress(), ADDRESS);
        decoded << QStringList{pending->GetTokenUID(), pending->GetSessionID(), pending->GetMetadata(),
                               pending->GetDate() + ' ' + pending->GetTime()}
                       .join('|');
    }
    QCOMPARE(decoded, requests);
    QCOMPARE(operation->GetFirstAuthRequest(),
             requests.isEmpty() ? nullptr : operation->GetRequests().first());
}

void TestRequests::removedTokensReply_data()
{
    QTest::addColumn<QByteArray>("body");
    QTest::addColumn<QStringList>("tokens");
    QTest::newRow("two removed") << QByteArray(R"({"tokens":[{"tokenUID":"t-1"},{"tokenUID":"t-3"}]})")
                                 << QStringList{"t-1", "t-3"};
    QTest::newRow("element without id") << QByteArray(R"({"tokens":[{"id":"t-1"}]})") << QStringList{""};
    QTest::newRow("empty array") << QByteArray(R"({"tokens":[]})") << QStringList();
    QTest::newRow("no tokens member") << QByteArray(R"({"removed":[{"tokenUID":"t-1"}]})") << QStringList();
    QTest::newRow("tokens not an array") << QByteArray(R"({"tokens":{"tokenUID":"t-1"}})") << QStringList();
    QTest::newRow("array document") << QByteArray(R"([{"tokenUID":"t-1"}])") << QStringList();
}

void TestRequests::removedTokensReply()
{
    QFETCH(QByteArray, body);
    QFETCH(QStringList, tokens);
    GetRemovedTokensRequest request(ADDRESS, {"t-1"});
    std::unique_ptr<HttpResult> result(request.DecodeReplyData(QNetworkReply::NoError, 200, body));
    std::unique_ptr<OperationRequest> operation(result->operation);
    auto *removal = dynamic_cast<DeleteAccountsOperationRequest *>(operation.get());
    QVERIFY(removal);
    QCOMPARE(QStringList(removal->GetTokens()), tokens);
    QCOMPARE(result->message, QString());

    // The listed tokens of that server leave the list; the others stay.
    const QStringList held{"t-1", "t-2", "t-3"};
    ModelFixture model(ADDRESS, held);
    operation->DoOperation(model.model());
    QStringList kept = held;
    for (const QString &token : tokens) {
        kept.removeAll(token);
    }
    QCOMPARE(ModelFixture::tokenIds(), kept);
}

QTEST_GUILESS_MAIN(TestRequests)
#include "tst_requests.moc"
