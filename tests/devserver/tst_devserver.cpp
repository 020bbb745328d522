#include "otp/otpgenerator.h"
#include "tests/common/devserverfixture.h"

#include <QElapsedTimer>
#include <QJsonDocument>
#include <QMessageAuthenticationCode>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QtTest>

#include <openssl/evp.h>

#include <memory>

namespace {
QByteArray json(const QJsonObject &object)
{
    return QJsonDocument(object).toJson(QJsonDocument::Compact);
}

QJsonObject parse(const QByteArray &body)
{
    return QJsonDocument::fromJson(body).object();
}

// Independent of the server's code: plain EVP calls, as a client would make them.
QByteArray decrypt(const QByteArray &key, const QString &text)
{
    const QStringList parts = text.split(QLatin1Char('.'));
    if (parts.size() != 3) {
        return QByteArray();
    }
    const auto mode = QByteArray::Base64UrlEncoding | QByteArray::AbortOnBase64DecodingErrors;
    const auto iv = QByteArray::fromBase64Encoding(parts[0].toLatin1(), mode);
    const auto ciphertext = QByteArray::fromBase64Encoding(parts[1].toLatin1(), mode);
    auto tag = QByteArray::fromBase64Encoding(parts[2].toLatin1(), mode);
    if (!iv || !ciphertext || !tag || iv.decoded.size() != 12 || tag.decoded.size() != 16 ||
        key.size() != 16) {
        return QByteArray();
    }
    std::unique_ptr<EVP_CIPHER_CTX, void (*)(EVP_CIPHER_CTX *)> ctx(EVP_CIPHER_CTX_new(),
                                                                    EVP_CIPHER_CTX_free);
    QByteArray plain(ciphertext.decoded.size() + 16, '\0');
    int length = 0;
    int finalLength = 0;
    auto *out = reinterpret_cast<unsigned char *>(plain.data());
    if (EVP_DecryptInit_ex(ctx.get(), EVP_aes_128_gcm(), nullptr,
                           reinterpret_cast<const unsigned char *>(key.data()),
                           reinterpret_cast<const unsigned char *>(iv.decoded.data())) != 1 ||
        EVP_DecryptUpdate(ctx.get(), out, &length,
                          reinterpret_cast<const unsigned char *>(ciphertext.decoded.data()),
                          ciphertext.decoded.size()) != 1 ||
        EVP_CIPHER_CTX_ctrl(ctx.get(), EVP_CTRL_GCM_SET_TAG, 16, tag.decoded.data()) != 1 ||
        EVP_DecryptFinal_ex(ctx.get(), out + length, &finalLength) != 1) {
        return QByteArray();
    }
    return plain.left(length + finalLength);
}

QString sign(const QString &key, const QString &message)
{
    return QString::fromLatin1(
        QMessageAuthenticationCode::hash(message.toUtf8(), key.toUtf8(), QCryptographicHash::Sha256)
            .toBase64());
}

QString currentCode(const QJsonObject &ticket, qint64 offset = 0)
{
    return QString::fromStdString(
        OTPGenerator::computeTOTP(static_cast<long>(QDateTime::currentSecsSinceEpoch() + offset),
                                  ticket.value("secret").toString().toStdString(),
                                  static_cast<unsigned char>(ticket.value("digits").toInt()),
                                  static_cast<unsigned int>(ticket.value("period").toInt()), 1, nullptr));
}
} // namespace

class TestDevServer : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void registrationAnswer_data();
    void registrationAnswer();
    void acceptToken_data();
    void acceptToken();
    void tokenLists();
    void faultLastsExactlyN_data();
    void faultLastsExactlyN();
    void badInput_data();
    void badInput();
    void stateSurvivesRestart();
    void demoMakesTicketsAndLogins();
    void selfSignedCertificateFailsVerification();

private:
    QJsonObject registeredTicket(const QString &kind = QStringLiteral("push"));

    DevServerFixture m_server;
};

void TestDevServer::initTestCase()
{
    QVERIFY2(m_server.start(), qPrintable(m_server.errorString()));
    QVERIFY(m_server.address().startsWith(QLatin1String("http://127.0.0.1:")));
    QVERIFY(m_server.address().endsWith(QLatin1String("/vexa")));
}

QJsonObject TestDevServer::registeredTicket(const QString &kind)
{
    const QJsonObject ticket = m_server.createTicket(kind);
    const auto reply = m_server.post(m_server.address() + "/register",
                                     json({{"language", "en"}, {"reqID", ticket.value("reqID")}}));
    return reply.status == 200 ? ticket : QJsonObject();
}

void TestDevServer::registrationAnswer_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("member");
    QTest::newRow("push account") << "push"
                                  << "mobileotp";
    QTest::newRow("server-bound OTP account under mobileauth") << "otp"
                                                               << "mobileauth";
    QTest::newRow("plain object") << "plain"
                                  << "mobileotp";
    QTest::newRow("both members, mobileotp is the real one") << "push"
                                                             << "both";
}

void TestDevServer::registrationAnswer()
{
    QFETCH(QString, kind);
    QFETCH(QString, member);
    const QJsonObject options{{"issuer", "Acme Corp"},
                              {"user", "ann@example.org"},
                              {"algorithm", "SHA256"},
                              {"digits", 8},
                              {"period", 60}};
    const QJsonObject ticket = m_server.createTicket(kind, member, options);
    QCOMPARE(m_server.lastStatus(), 200);
    const QString uri = ticket.value("uri").toString();
    QCOMPARE(uri, QStringLiteral("orbticket://%1?address=%2&pin=%3&key=%4")
                      .arg(ticket.value("reqID").toString(), m_server.address(),
                           ticket.value("pin").toString(), ticket.value("key").toString()));
    const QString otp = ticket.value("otp").toString();
    QVERIFY2(otp.startsWith("otpauth://totp/Acme%20Corp:ann%40example.org?secret="), qPrintable(otp));
    QVERIFY(otp.contains("&algorithm=SHA256&digits=8&period=60"));

    const QByteArray request = json({{"language", "ru"}, {"reqID", ticket.value("reqID")}});
    const auto reply = m_server.post(m_server.address() + "/register", request);
    QCOMPARE(reply.status, 200);
    const QJsonObject answer = parse(reply.body);
    const QString used = member == "both" ? QStringLiteral("mobileotp") : member;
    QVERIFY(answer.contains(used));
    QCOMPARE(answer.contains("mobileauth"), member != "mobileotp");

    if (kind == "plain") {
        QCOMPARE(answer.value(used).toObject().value("otp").toString(), otp);
    } else {
        const QByteArray key = base32_decode(ticket.value("key").toString().toStdString());
        QCOMPARE(key.size(), 16);
        const QByteArray plain = decrypt(key, answer.value(used).toString());
        QVERIFY2(!plain.isEmpty(), "the answer does not decrypt under the ticket key");
        const QJsonObject account = parse(plain);
        QCOMPARE(account.value("otp").toString(), otp);
        QCOMPARE(account.value("tokenUID").toString(), ticket.value("tokenUID").toString());
        QCOMPARE(account.value("authkey").toString(), ticket.value("authkey").toString());
        QCOMPARE(account.contains("authkey"), kind == "push");
        if (member == "both") {
            QVERIFY(decrypt(key, answer.value("mobileauth").toString()).isEmpty());
        }
    }

    // A ticket is good for one registration only.
    const auto again = m_server.post(m_server.address() + "/register", request);
    QCOMPARE(again.status, 500);
    QVERIFY(!parse(again.body).value("message").toString().isEmpty());
}

void TestDevServer::acceptToken_data()
{
    QTest::addColumn<bool>("accepted");
    QTest::addColumn<QString>("forgery");
    QTest::addColumn<int>("status");
    QTest::addColumn<QString>("state");
    QTest::newRow("valid acceptance") << true << "" << 200 << "accepted";
    QTest::newRow("code one step old") << true << "old code" << 200 << "accepted";
    QTest::newRow("valid refusal") << false << "" << 200 << "declined";
    QTest::newRow("signed with another key") << true << "key" << 400 << "pending";
    QTest::newRow("signature of a refusal on an acceptance") << true << "verb" << 400 << "pending";
    QTest::newRow("wrong code, signed") << true << "code" << 400 << "pending";
    QTest::newRow("unknown session") << true << "session" << 500 << "pending";
}

void TestDevServer::acceptToken()
{
    QFETCH(bool, accepted);
    QFETCH(QString, forgery);
    QFETCH(int, status);
    QFETCH(QString, state);
    const QJsonObject ticket = registeredTicket();
    QVERIFY(!ticket.isEmpty());
    const QString tokenUID = ticket.value("tokenUID").toString();
    const QString sessionID =
        m_server.createLogin(tokenUID, "Sign-in from 192.0.2.1").value("sessionID").toString();
    QVERIFY(!sessionID.isEmpty());

    QString code = currentCode(ticket, forgery == "old code" ? -30 : 0);
    if (forgery == "code") {
        code = QString::number((code.toInt() + 1) % 1000000).rightJustified(6, '0');
    }
    const QString authkey =
        forgery == "key" ? QStringLiteral("not the key") : ticket.value("authkey").toString();
    const QString verb =
        accepted && forgery != "verb" ? QStringLiteral("true:") + code : QStringLiteral("false");
    const QString sentSession = forgery == "session" ? QStringLiteral("0000") : sessionID;
    QJsonObject body{{"accepted", accepted},
                     {"hmac", sign(authkey, tokenUID + ":" + sentSession + ":" + verb)},
                     {"sessionID", sentSession},
                     {"tokenUID", tokenUID}};
    if (accepted) {
        body.insert("valueotp", code);
    }
    const auto reply = m_server.post(m_server.address() + "/acceptToken", json(body));
    QCOMPARE(reply.status, status);
    if (status != 200) {
        QVERIFY(!parse(reply.body).value("message").toString().isEmpty());
    }
    for (const QJsonValue &login : m_server.logins()) {
        if (login.toObject().value("sessionID") == sessionID) {
            QCOMPARE(login.toObject().value("state").toString(), state);
        }
    }
    if (status == 200) {
        // The login is closed: answering it again is refused.
        QCOMPARE(m_server.post(m_server.address() + "/acceptToken", json(body)).status, 500);
    }
}

void TestDevServer::tokenLists()
{
    const QJsonObject kept = registeredTicket();
    const QJsonObject revoked = registeredTicket();
    const QString keptID = kept.value("tokenUID").toString();
    const QString revokedID = revoked.value("tokenUID").toString();
    QVERIFY(!keptID.isEmpty() && !revokedID.isEmpty());
    const QString sessionID = m_server.createLogin(keptID, "meta", 1700000000).value("sessionID").toString();
    m_server.createLogin(revokedID, "gone");
    m_server.revokeToken(revokedID);
    QCOMPARE(m_server.lastStatus(), 200);

    const QJsonObject device{
        {"hmac", ""},           {"language", "en"},      {"notificationDeviceID", "reg-1"},
        {"os", "aurora"},       {"timeZoneOffset", 180}, {"tokenUID", keptID},
        {"version", "1.2.2.32"}};
    auto reply = m_server.post(m_server.address() + "/updateTokens",
                               json({{"availableTokens", QJsonArray{keptID, revokedID}},
                                     {"notificationDeviceTokens", QJsonArray{device}}}));
    QCOMPARE(reply.status, 200);
    const QJsonObject pending{
        {"metadata", "meta"}, {"sessionID", sessionID}, {"time", 1700000000}, {"tokenUID", keptID}};
    QCOMPARE(parse(reply.body).value("availableTokens").toArray(), QJsonArray{pending});
    QCOMPARE(m_server.devices().first().toObject().value("notificationDeviceID").toString(),
             QStringLiteral("reg-1"));

    reply = m_server.post(m_server.address() + "/getRemovedTokens",
                          json({{"tokenUIDs", QJsonArray{keptID, revokedID, "never-issued"}}}));
    QCOMPARE(reply.status, 200);
    const QJsonArray removed{QJsonObject{{"tokenUID", revokedID}}, QJsonObject{{"tokenUID", "never-issued"}}};
    QCOMPARE(parse(reply.body).value("tokens").toArray(), removed);
}

void TestDevServer::faultLastsExactlyN_data()
{
    QTest::addColumn<QJsonObject>("fault");
    QTest::addColumn<int>("count");
    QTest::addColumn<int>("status");
    QTest::addColumn<QByteArray>("body");
    QTest::newRow("500 with message") << QJsonObject{{"status", 500}, {"message", "down for tea"}} << 2 << 500
                                      << QByteArray(R"({"message":"down for tea"})");
    QTest::newRow("500 without message") << QJsonObject{{"status", 500}} << 1 << 500 << QByteArray("{}");
    QTest::newRow("body that is not JSON")
        << QJsonObject{{"status", 502}, {"body", "<html>"}} << 3 << 502 << QByteArray("<html>");
    QTest::newRow("connection closed") << QJsonObject{{"close", true}} << 3 << 0 << QByteArray();
}

void TestDevServer::faultLastsExactlyN()
{
    QFETCH(QJsonObject, fault);
    QFETCH(int, count);
    QFETCH(int, status);
    QFETCH(QByteArray, body);
    const QString url = m_server.address() + "/getRemovedTokens";
    const QByteArray request = json({{"tokenUIDs", QJsonArray()}});
    m_server.injectFault("/getRemovedTokens", fault, count);
    QCOMPARE(m_server.lastStatus(), 200);
    m_server.clearLog();
    // One fresh connection per request: Qt's own client would resend a request whose
    // connection closed without an answer, which blurs the count.
    const QUrl base(m_server.address());
    for (int i = 0; i <= count; ++i) {
        QTcpSocket socket;
        socket.connectToHost(QHostAddress::LocalHost, static_cast<quint16>(base.port()));
        QVERIFY(socket.waitForConnected(5000));
        socket.write("POST " + base.path().toUtf8() + "/getRemovedTokens HTTP/1.1\r\nHost: 127.0.0.1\r\n" +
                     "Content-Type: application/json\r\nConnection: close\r\nContent-Length: " +
                     QByteArray::number(request.size()) + "\r\n\r\n" + request);
        QTRY_VERIFY_WITH_TIMEOUT(socket.state() == QAbstractSocket::UnconnectedState, 10000);
        const QByteArray answer = socket.readAll();
        if (i == count) {
            QVERIFY2(answer.startsWith("HTTP/1.1 200 ") && answer.endsWith(R"({"tokens":[]})"),
                     answer.constData());
        } else if (status == 0) {
            QCOMPARE(answer, QByteArray());
        } else {
            QVERIFY2(answer.startsWith("HTTP/1.1 " + QByteArray::number(status) + " "), answer.constData());
            QVERIFY2(answer.endsWith("\r\n\r\n" + body), answer.constData());
        }
    }
    const QJsonArray log = m_server.requestLog();
    QCOMPARE(log.size(), count + 1);
    for (int i = 0; i <= count; ++i) {
        QCOMPARE(log.at(i).toObject().value("fault").toBool(), i < count);
    }

    // What Qt's client makes of the fault.
    m_server.injectFault("/getRemovedTokens", fault, status == 0 ? 10 : 1);
    const auto reply = m_server.post(url, request);
    m_server.clearFaults();
    QCOMPARE(reply.status, status);
    QCOMPARE(reply.body, body);
    if (status == 0) {
        QCOMPARE(reply.error, QNetworkReply::RemoteHostClosedError);
    }
}

void TestDevServer::badInput_data()
{
    QTest::addColumn<QString>("endpoint");
    QTest::addColumn<QByteArray>("body");
    const QByteArray oversized = "{\"reqID\":\"" + QByteArray(70 * 1024, 'a') + "\",\"language\":\"en\"}";
    QTest::newRow("register: malformed") << "/register" << QByteArray("{\"reqID\":");
    QTest::newRow("register: array") << "/register" << QByteArray("[]");
    QTest::newRow("register: reqID a number") << "/register" << QByteArray(R"({"language":"en","reqID":7})");
    QTest::newRow("register: oversized") << "/register" << oversized;
    QTest::newRow("update: missing member") << "/updateTokens" << QByteArray(R"({"availableTokens":[]})");
    QTest::newRow("update: device not an object")
        << "/updateTokens" << QByteArray(R"({"availableTokens":[],"notificationDeviceTokens":[1]})");
    QTest::newRow("removed: ids not strings") << "/getRemovedTokens" << QByteArray(R"({"tokenUIDs":[null]})");
    QTest::newRow("accept: accepted a string")
        << "/acceptToken" << QByteArray(R"({"accepted":"true","hmac":"","sessionID":"","tokenUID":""})");
    QTest::newRow("accept: acceptance without valueotp")
        << "/acceptToken" << QByteArray(R"({"accepted":true,"hmac":"","sessionID":"","tokenUID":""})");
    QTest::newRow("empty body") << "/acceptToken" << QByteArray();
}

void TestDevServer::badInput()
{
    QFETCH(QString, endpoint);
    QFETCH(QByteArray, body);
    const auto reply = m_server.post(m_server.address() + endpoint, body);
    QCOMPARE(reply.status, 400);
    QVERIFY2(!parse(reply.body).value("message").toString().isEmpty(), reply.body.constData());
    QVERIFY(m_server.isRunning());
}

void TestDevServer::stateSurvivesRestart()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString stateFile = dir.filePath("state.json");
    DevServerFixture server;
    QVERIFY2(server.start({"--state", stateFile, "--prefix", "/p/q"}), qPrintable(server.errorString()));
    QVERIFY(server.address().endsWith("/p/q"));
    const QJsonObject ticket = server.createTicket("push");
    const QByteArray request = json({{"language", "en"}, {"reqID", ticket.value("reqID")}});
    QCOMPARE(server.post(server.address() + "/register", request).status, 200);

    QVERIFY2(server.start({"--state", stateFile, "--prefix", "/p/q", "--exit-after", "1"}),
             qPrintable(server.errorString()));
    QCOMPARE(server.tickets().first().toObject().value("tokenUID"), ticket.value("tokenUID"));
    QCOMPARE(server.post(server.address() + "/register", request).status, 500);
    // --exit-after ends the server on its own.
    QTRY_VERIFY_WITH_TIMEOUT(!server.isRunning(), 10000);
}

void TestDevServer::demoMakesTicketsAndLogins()
{
    DevServerFixture server;
    QVERIFY2(server.start({"--demo", "--demo-delay", "0"}), qPrintable(server.errorString()));
    const QJsonArray tickets = server.tickets();
    QCOMPARE(tickets.size(), 3);
    QStringList kinds;
    for (const QJsonValue &ticket : tickets) {
        kinds << ticket.toObject().value("kind").toString();
    }
    QCOMPARE(kinds, QStringList({"push", "otp", "plain"}));
    QVERIFY(server.output().contains(tickets.first().toObject().value("uri").toString().toUtf8()));
    QCOMPARE(server.logins().size(), 0);
    const QJsonObject push = tickets.first().toObject();
    QCOMPARE(
        server
            .post(server.address() + "/register", json({{"language", "en"}, {"reqID", push.value("reqID")}}))
            .status,
        200);
    QTRY_COMPARE_WITH_TIMEOUT(server.logins().size(), 1, 10000);
    QCOMPARE(server.logins().first().toObject().value("tokenUID"), push.value("tokenUID"));
}

void TestDevServer::selfSignedCertificateFailsVerification()
{
    DevServerFixture server;
    QVERIFY2(server.start({"--self-signed"}), qPrintable(server.errorString()));
    QVERIFY(server.address().startsWith("https://127.0.0.1:"));
    const QByteArray body = json({{"tokenUIDs", QJsonArray()}});
    const auto refused = server.post(server.address() + "/getRemovedTokens", body);
    QCOMPARE(refused.error, QNetworkReply::SslHandshakeFailedError);
    QCOMPARE(refused.status, 0);
    QCOMPARE(server.post(server.address() + "/getRemovedTokens", body, true).status, 200);
}

QTEST_GUILESS_MAIN(TestDevServer)
#include "tst_devserver.moc"
