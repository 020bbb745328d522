#include "otp/otpgenerator.h"
#include "tests/common/devserverfixture.h"

#include <QJsonDocument>
#include <QMessageAuthenticationCode>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QtTest>

namespace {
QByteArray json(const QJsonObject &object)
{
    return QJsonDocument(object).toJson(QJsonDocument::Compact);
}

// The body of a "/register" request for a ticket.
QByteArray registration(const QJsonObject &ticket)
{
    return json({{"language", "en"}, {"reqID", ticket.value("reqID")}});
}

QJsonObject parse(const QByteArray &body)
{
    return QJsonDocument::fromJson(body).object();
}

QString sign(const QString &key, const QString &message)
{
    return QString::fromLatin1(
        QMessageAuthenticationCode::hash(message.toUtf8(), key.toUtf8(), QCryptographicHash::Sha256)
            .toBase64());
}

QString currentCode(const QJsonObject &ticket, qint64 offset)
{
    return QString::fromStdString(OTPGenerator::computeTOTP(
        long(QDateTime::currentSecsSinceEpoch() + offset), ticket.value("secret").toString().toStdString(),
        uchar(ticket.value("digits").toInt()), uint(ticket.value("period").toInt()), 1, nullptr));
}
} // namespace

class TestDevServer : public QObject
{
    Q_OBJECT

    DevServerFixture m_server;

    QJsonObject registeredTicket()
    {
        const QJsonObject ticket = m_server.createTicket();
        return m_server.post(m_server.address() + "/register", registration(ticket)).status == 200
                   ? ticket
                   : QJsonObject();
    }

private slots:
    void initTestCase()
    {
        QVERIFY2(m_server.start(), qPrintable(m_server.errorString()));
        QVERIFY(m_server.address().startsWith(QLatin1String("http://127.0.0.1:")));
    }

    // What the encrypted answers hold, and which kind and member make which account, is checked
    // where the client decrypts them (the transport tests); here, the ticket's text and both
    // members asked for.
    void registrationAnswer()
    {
        const QJsonObject options{{"issuer", "Acme Corp"},
                                  {"user", "ann@example.org"},
                                  {"algorithm", "SHA256"},
                                  {"digits", 8},
                                  {"period", 60}};
        const QJsonObject ticket = m_server.createTicket("push", "both", options);
        QCOMPARE(ticket.value("uri").toString(),
                 QStringLiteral("orbticket://%1?address=%2&pin=%3&key=%4")
                     .arg(ticket.value("reqID").toString(), m_server.address(),
                          ticket.value("pin").toString(), ticket.value("key").toString()));
        const QString otp = ticket.value("otp").toString();
        QVERIFY2(otp.startsWith("otpauth://totp/Acme%20Corp:ann%40example.org?secret="), qPrintable(otp));
        QVERIFY(otp.contains("&algorithm=SHA256&digits=8&period=60"));

        const auto reply = m_server.post(m_server.address() + "/register", registration(ticket));
        QCOMPARE(reply.status, 200);
        QVERIFY(parse(reply.body).contains("mobileotp") && parse(reply.body).contains("mobileauth"));
    }

    void acceptToken_data()
    {
        QTest::addColumn<QString>("forgery");
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("state");
        QTest::newRow("code one step old") << "old code" << 200 << "accepted";
        QTest::newRow("signed with another key") << "key" << 400 << "pending";
        QTest::newRow("signature of a refusal on an acceptance") << "verb" << 400 << "pending";
        QTest::newRow("wrong code, signed") << "code" << 400 << "pending";
        QTest::newRow("unknown session") << "session" << 500 << "pending";
    }
    void acceptToken()
    {
        QFETCH(QString, forgery);
        QFETCH(int, status);
        const QJsonObject ticket = registeredTicket();
        QVERIFY(!ticket.isEmpty());
        const QString tokenUID = ticket.value("tokenUID").toString();
        const QString sessionID = m_server.createLogin(tokenUID, "Sign-in").value("sessionID").toString();
        QVERIFY(!sessionID.isEmpty());

        QString code = currentCode(ticket, forgery == "old code" ? -30 : 0);
        if (forgery == "code") {
            code = QString::number((code.toInt() + 1) % 1000000).rightJustified(6, '0');
        }
        const QString authkey =
            forgery == "key" ? QString("not the key") : ticket.value("authkey").toString();
        const QString verb = forgery != "verb" ? "true:" + code : QString("false");
        const QString sentSession = forgery == "session" ? QString("0000") : sessionID;
        const QJsonObject body{{"accepted", true},
                               {"hmac", sign(authkey, tokenUID + ":" + sentSession + ":" + verb)},
                               {"sessionID", sentSession},
                               {"tokenUID", tokenUID},
                               {"valueotp", code}};
        const auto reply = m_server.post(m_server.address() + "/acceptToken", json(body));
        QCOMPARE(reply.status, status);
        QCOMPARE(parse(reply.body).value("message").toString().isEmpty(), status == 200);
        for (const QJsonValue &login : m_server.logins()) {
            if (login.toObject().value("sessionID") == sessionID) {
                QTEST(login.toObject().value("state").toString(), "state");
            }
        }
        if (status == 200) {
            // The login is closed: answering it again is refused.
            QCOMPARE(m_server.post(m_server.address() + "/acceptToken", json(body)).status, 500);
        }
    }

    void faultLastsExactlyN_data()
    {
        QTest::addColumn<QJsonObject>("fault");
        QTest::addColumn<int>("count");
        QTest::addColumn<int>("status");
        QTest::addColumn<QByteArray>("body");
        QTest::newRow("body that is not JSON")
            << QJsonObject{{"status", 502}, {"body", "<html>"}} << 3 << 502 << QByteArray("<html>");
        QTest::newRow("connection closed") << QJsonObject{{"close", true}} << 3 << 0 << QByteArray();
    }
    void faultLastsExactlyN()
    {
        QFETCH(QJsonObject, fault);
        QFETCH(int, count);
        QFETCH(int, status);
        QFETCH(QByteArray, body);
        const QByteArray request = json({{"tokenUIDs", QJsonArray()}});
        QVERIFY(m_server.injectFault("/getRemovedTokens", fault, count).value("ok").toBool());
        m_server.clearLog();
        // One fresh connection per request: Qt's own client would resend a request whose
        // connection closed without an answer, which blurs the count.
        const QUrl base(m_server.address());
        for (int i = 0; i <= count; ++i) {
            QTcpSocket socket;
            socket.connectToHost(QHostAddress::LocalHost, quint16(base.port()));
            QVERIFY(socket.waitForConnected(5000));
            socket.write("POST " + base.path().toUtf8() +
                         "/getRemovedTokens HTTP/1.1\r\nHost: 127.0.0.1\r\n" +
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
                QVERIFY2(answer.startsWith("HTTP/1.1 " + QByteArray::number(status) + " "),
                         answer.constData());
                QVERIFY2(answer.endsWith("\r\n\r\n" + body), answer.constData());
            }
        }
        const QJsonArray log = m_server.requestLog();
        QCOMPARE(log.size(), count + 1);
        for (int i = 0; i <= count; ++i) {
            QCOMPARE(log.at(i).toObject().value("fault").toBool(), i < count);
        }
    }

    void badInput_data()
    {
        QTest::addColumn<QString>("endpoint");
        QTest::addColumn<QByteArray>("body");
        const QByteArray oversized = "{\"reqID\":\"" + QByteArray(70 * 1024, 'a') + "\",\"language\":\"en\"}";
        QTest::newRow("register: malformed") << "/register" << QByteArray("{\"reqID\":");
        QTest::newRow("register: array") << "/register" << QByteArray("[]");
        QTest::newRow("register: reqID a number")
            << "/register" << QByteArray(R"({"language":"en","reqID":7})");
        QTest::newRow("register: oversized") << "/register" << oversized;
        QTest::newRow("update: missing member") << "/updateTokens" << QByteArray(R"({"availableTokens":[]})");
        QTest::newRow("update: device not an object")
            << "/updateTokens" << QByteArray(R"({"availableTokens":[],"notificationDeviceTokens":[1]})");
        QTest::newRow("removed: ids not strings")
            << "/getRemovedTokens" << QByteArray(R"({"tokenUIDs":[null]})");
        QTest::newRow("accept: accepted a string")
            << "/acceptToken" << QByteArray(R"({"accepted":"true","hmac":"","sessionID":"","tokenUID":""})");
        QTest::newRow("accept: acceptance without valueotp")
            << "/acceptToken" << QByteArray(R"({"accepted":true,"hmac":"","sessionID":"","tokenUID":""})");
    }

    void badInput()
    {
        QFETCH(QString, endpoint);
        QFETCH(QByteArray, body);
        const auto reply = m_server.post(m_server.address() + endpoint, body);
        QCOMPARE(reply.status, 400);
        QVERIFY2(!parse(reply.body).value("message").toString().isEmpty(), reply.body.constData());
        QVERIFY(m_server.isRunning());
    }

    void stateSurvivesRestart()
    {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const QString stateFile = dir.filePath("state.json");
        DevServerFixture server;
        QVERIFY2(server.start({"--state", stateFile, "--prefix", "/p/q"}), qPrintable(server.errorString()));
        QVERIFY(server.address().endsWith("/p/q"));
        const QJsonObject ticket = server.createTicket("push");
        QCOMPARE(server.post(server.address() + "/register", registration(ticket)).status, 200);

        QVERIFY2(server.start({"--state", stateFile, "--prefix", "/p/q", "--exit-after", "1"}),
                 qPrintable(server.errorString()));
        QCOMPARE(server.tickets().first().toObject().value("tokenUID"), ticket.value("tokenUID"));
        QCOMPARE(server.post(server.address() + "/register", registration(ticket)).status, 500);
        // --exit-after ends the server on its own.
        QTRY_VERIFY_WITH_TIMEOUT(!server.isRunning(), 10000);
    }

    void demoMakesTicketsAndLogins()
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
        const QJsonObject push = tickets.first().toObject();
        QVERIFY(server.output().contains(push.value("uri").toString().toUtf8()));
        QCOMPARE(server.logins().size(), 0);
        QCOMPARE(server.post(server.address() + "/register", registration(push)).status, 200);
        QTRY_COMPARE_WITH_TIMEOUT(server.logins().size(), 1, 10000);
        QCOMPARE(server.logins().first().toObject().value("tokenUID"), push.value("tokenUID"));
    }
};

QTEST_GUILESS_MAIN(TestDevServer)
#include "tst_devserver.moc"
