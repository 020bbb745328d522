#include "accounts/account.h"
#include "models/accountslistmodel.h"
#include "protocol/accepttokenoperation.h"
#include "protocol/activateorbticketrequest.h"
#include "protocol/authoperation.h"
#include "protocol/authrequest.h"
#include "protocol/declinetokenoperation.h"
#include "protocol/deleteaccountsoperationrequest.h"
#include "protocol/getremovedtokensrequest.h"
#include "protocol/registerorbaccountoperation.h"
#include "protocol/updatetokensrequest.h"
#include "tests/protocol/gcmtestcipher.h"
#include "tests/protocol/modelfixture.h"

#include <QtTest>

#include <memory>
#include <time.h>

Q_DECLARE_METATYPE(HttpResult::ErrorCode)

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
    void registrationAnswer_data();
    void registrationAnswer();
    void requestBodies_data();
    void requestBodies();
    void updateReply_data();
    void updateReply();
    void removedTokensReply_data();
    void removedTokensReply();
    void findRequests();
    void unshownRequestsDieWithOperation();
    void answerOutcome_data();
    void answerOutcome();

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

// Whatever the answer lacks, an account comes back; the registration operation refuses it.
void TestRequests::registrationAnswer_data()
{
    QTest::addColumn<QByteArray>("body");
    QTest::addColumn<bool>("usable");
    const QString good = encrypted({{"otp", OTP_URI}, {"tokenUID", "t-1"}, {"authkey", "k"}});
    QString padded;
    for (const QString &part : good.split('.')) {
        const QByteArray bytes = QByteArray::fromBase64(part.toLatin1(), QByteArray::Base64UrlEncoding);
        padded += (padded.isEmpty() ? "" : ".") + bytes.toBase64(QByteArray::Base64UrlEncoding);
    }
    QString tampered = good;
    tampered[tampered.size() - 1] = tampered.at(tampered.size() - 1) == 'A' ? 'Q' : 'A';
    QTest::newRow("padded Base64") << answer("mobileotp", padded) << true;
    QTest::newRow("only mobileauth") << answer("mobileauth", good) << true;
    QTest::newRow("tampered tag") << answer("mobileotp", tampered) << false;
    QTest::newRow("two parts") << answer("mobileotp", good.section('.', 0, 1)) << false;
    QTest::newRow("four parts") << answer("mobileotp", good + ".AAAA") << false;
    QTest::newRow("bad Base64") << answer("mobileotp", "@@@@." + good.section('.', 1)) << false;
    QTest::newRow("plaintext not an object")
        << answer("mobileotp", encryptTicketAnswer(KEY, IV, "[1]")) << false;
    QTest::newRow("number member") << answer("mobileotp", 5) << false;
    QTest::newRow("body not JSON") << QByteArray("<html>") << false;
}

void TestRequests::registrationAnswer()
{
    QFETCH(QByteArray, body);
    QFETCH(bool, usable);
    std::unique_ptr<HttpResult> result(ticketRequest()->DecodeReplyData(QNetworkReply::NoError, 200, body));
    std::unique_ptr<OperationRequest> operation(result->operation);
    QCOMPARE(result->errorCode, HttpResult::ErrorNone);
    auto *registration = dynamic_cast<RegisterOrbAccountOperation *>(operation.get());
    QVERIFY(registration && registration->GetAccount());

    ModelFixture model;
    operation->DoOperation(model.model());
    QVERIFY(!registration->GetAccount());
    QCOMPARE(ModelFixture::accounts().size(), usable ? 1 : 0);
    if (usable) {
        QCOMPARE(ModelFixture::accounts().at(0)->m_authKey, QStringLiteral("k"));
        QCOMPARE(ModelFixture::accounts().at(0)->m_reqID, QStringLiteral("req-1"));
    } else {
        QCOMPARE(model.badReplies.size(), 1);
        QCOMPARE(model.badReplies.at(0).at(0).toString(),
                 QStringLiteral("Невозможно зарегистрировать аккаунт. Получены некорректные данные."));
    }
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
    QTest::newRow("empty array") << QByteArray(R"({"tokens":[]})") << QStringList();
    QTest::newRow("no tokens member") << QByteArray(R"({"removed":[{"tokenUID":"t-1"}]})") << QStringList();
    QTest::newRow("tokens not an array") << QByteArray(R"({"tokens":{"tokenUID":"t-1"}})") << QStringList();
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

void TestRequests::findRequests()
{
    AuthOperation empty(ADDRESS, HttpResult::ErrorNone);
    QVERIFY(!empty.GetFirstAuthRequest());
    QVERIFY(!empty.FindTokenRequest("t-1"));

    AuthOperation operation(ADDRESS, HttpResult::ErrorNone);
    operation.PutRequest(nullptr);
    operation.PutRequest(new AuthRequest(ADDRESS, "t-1", "s-1", "first", 0));
    operation.PutRequest(new AuthRequest(ADDRESS, "t-2", "s-2", "second", 0));
    operation.PutRequest(new AuthRequest(ADDRESS, "t-1", "s-3", "third", 0));
    QCOMPARE(operation.GetRequests().size(), 3);
    QCOMPARE(operation.GetFirstAuthRequest()->GetSessionID(), QStringLiteral("s-1"));
    QCOMPARE(operation.FindTokenRequest("t-1")->GetSessionID(), QStringLiteral("s-1"));
    QCOMPARE(operation.FindTokenRequest("t-2")->GetSessionID(), QStringLiteral("s-2"));
    QVERIFY(!operation.FindTokenRequest("T-1"));
    QVERIFY(!operation.FindTokenRequest("t-9"));
}

// The session takes the request it shows; the others go with the operation (the sanitizer build
// reports a leak or a double deletion here).
void TestRequests::unshownRequestsDieWithOperation()
{
    auto *operation = new AuthOperation(ADDRESS, HttpResult::ErrorNone);
    operation->PutRequest(new AuthRequest(ADDRESS, "t-1", "s-1", "first", 0));
    operation->PutRequest(new AuthRequest(ADDRESS, "t-2", "s-2", "second", 0));
    AuthRequest stranger;
    QVERIFY(!operation->TakeRequest(&stranger));

    ModelFixture model(ADDRESS, {"t-1", "t-2"});
    operation->DoOperation(model.model());
    QCOMPARE(model.confirmations.size(), 1);
    QCOMPARE(model.model()->getMetadata(), QStringLiteral("first"));
    QCOMPARE(operation->GetRequests().size(), 1);
    delete operation;
    QCOMPARE(model.model()->getMetadata(), QStringLiteral("first"));
    model.model()->finishConfirmation();
    QVERIFY(model.model()->getMetadata().isEmpty());
}

void TestRequests::answerOutcome_data()
{
    QTest::addColumn<bool>("accepting");
    QTest::addColumn<HttpResult::ErrorCode>("code");
    QTest::addColumn<bool>("ok");
    QTest::newRow("accept confirmed") << true << HttpResult::ErrorNone << true;
    QTest::newRow("accept failed") << true << HttpResult::ErrorProtocol << false;
    QTest::newRow("decline confirmed") << false << HttpResult::ErrorNone << false;
    QTest::newRow("decline failed") << false << HttpResult::ErrorServer << false;
}

void TestRequests::answerOutcome()
{
    QFETCH(bool, accepting);
    QFETCH(HttpResult::ErrorCode, code);
    QFETCH(bool, ok);
    std::unique_ptr<OperationRequest> operation;
    if (accepting) {
        operation = std::make_unique<AcceptTokenOperation>(ADDRESS, code);
    } else {
        operation = std::make_unique<DeclineTokenOperation>(ADDRESS, code);
    }
    QCOMPARE(operation->m_operationType,
             accepting ? OperationRequest::AcceptTokenOp : OperationRequest::DeclineTokenOp);
    // The answer ends the confirmation the session of ADDRESS is showing.
    ModelFixture model(ADDRESS, {"t-1"});
    AuthOperation update(ADDRESS, HttpResult::ErrorNone);
    update.PutRequest(new AuthRequest(ADDRESS, "t-1", "s-1", "", 0));
    update.DoOperation(model.model());
    QCOMPARE(model.confirmations.size(), 1);
    operation->DoOperation(model.model());
    QCOMPARE(model.accepted.size(), ok ? 1 : 0);
    QCOMPARE(model.declined.size(), ok ? 0 : 1);
    model.model()->finishConfirmation();
}

QTEST_GUILESS_MAIN(TestRequests)
#include "tst_requests.moc"
