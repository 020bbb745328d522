#ifndef KESTREL_TESTS_COMMON_DEVSERVERFIXTURE_H
#define KESTREL_TESTS_COMMON_DEVSERVERFIXTURE_H

#include <QByteArray>
#include <QJsonArray>
#include <QJsonObject>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QProcess>
#include <QString>
#include <QStringList>

#include <memory>

// Runs one kestrel-devserver process for a test and talks to its admin interface.
//
//     DevServerFixture server;
//     QVERIFY2(server.start(), qPrintable(server.errorString()));
//     QJsonObject ticket = server.createTicket("push");
//     // ticket["uri"] is the "orbticket://" text, server.address() the base address it carries.
//
// The server listens on a free port of 127.0.0.1 and is killed by the destructor (or stop()).
// Every admin call is synchronous (bounded by adminTimeoutMs) and returns the server's JSON
// answer; on a transport failure or a non-JSON answer it returns an empty object and
// errorString() says why. A successful answer carries "ok": true.
// Needs a QCoreApplication (QTest's main provides one) and must be used on one thread.
class DevServerFixture
{
public:
    DevServerFixture() = default;
    ~DevServerFixture() { stop(); }
    DevServerFixture(const DevServerFixture &) = delete;
    DevServerFixture &operator=(const DevServerFixture &) = delete;

    // Starts the server with "--port 0" plus extraArgs (for example {"--self-signed"},
    // {"--prefix", "/p"}, {"--state", file}) and waits up to startTimeoutMs for its address line.
    bool start(const QStringList &extraArgs = {}, int startTimeoutMs = 15000);
    // Kills the server (if running) and waits for it to end.
    void stop();
    bool isRunning() const { return m_process.state() == QProcess::Running; }

    // Base address the tickets carry, e.g. "http://127.0.0.1:40123/vexa" (https with TLS).
    QString address() const { return m_address; }
    QString errorString() const { return m_error; }
    // Everything the server printed so far (stdout and stderr).
    QByteArray output();

    // Outcome of a raw POST.
    struct RawReply
    {
        int status = 0; // HTTP status, 0 when there was no HTTP answer
        QNetworkReply::NetworkError error = QNetworkReply::NoError;
        QByteArray body;
    };
    // POSTs `body` to `url` (for example address() + "/register") with a JSON content type.
    // Certificate errors are fatal unless ignoreTlsErrors is set.
    RawReply post(const QString &url, const QByteArray &body, bool ignoreTlsErrors = false);

    // POST <scheme>://127.0.0.1:<port>/admin/<command> with `body`; the building block of the calls below.
    QJsonObject admin(const QString &command, const QJsonObject &body = {});

    // New ticket. kind: "push" (answer with "authkey"), "otp" (server-bound OTP account) or
    // "plain" (unencrypted {"otp": uri} object). member: "mobileotp", "mobileauth" or "both".
    // `options` may add "issuer", "user", "algorithm" ("SHA1", "SHA256", "SHA512"), "digits",
    // "period", "secret" (Base32), "pin". Answer: "uri", "reqID", "address", "pin", "key",
    // "kind", "member", "otp" (the otpauth URI), "secret", "tokenUID", "authkey" (empty for
    // kinds other than push), "registered" (false).
    QJsonObject createTicket(const QString &kind = QStringLiteral("push"),
                             const QString &member = QStringLiteral("mobileotp"),
                             const QJsonObject &options = {});
    // All tickets in creation order, same members as createTicket's answer ("registered" true
    // once "/register" has answered for it, "revoked" true after revokeToken).
    QJsonArray tickets() { return list(QStringLiteral("tickets")); }

    // New pending login for a registered token. time: Unix seconds sent to the client
    // (-1: now). Answer: "sessionID", "tokenUID", "metadata", "time", "state" ("pending").
    QJsonObject createLogin(const QString &tokenUID, const QString &metadata, qint64 time = -1);
    // Every login in creation order; "state" is "pending", "accepted", "declined" or "withdrawn".
    QJsonArray logins() { return list(QStringLiteral("logins")); }
    QJsonObject withdrawLogin(const QString &sessionID)
    {
        return admin(QStringLiteral("withdraw"), {{QStringLiteral("sessionID"), sessionID}});
    }
    QJsonObject revokeToken(const QString &tokenUID)
    {
        return admin(QStringLiteral("revoke"), {{QStringLiteral("tokenUID"), tokenUID}});
    }

    // Fault for the next `count` requests to endpoint ("/register", "/updateTokens",
    // "/getRemovedTokens", "/acceptToken"). `fault` members: "status" (HTTP status) with an
    // optional "message" (answered as {"message": ...}; without it the body is "{}") or a raw
    // "body" (sent as text/plain, not JSON); "delayMs" (answer late; alone it delays the normal
    // answer); "close": true (drop the connection without a byte of answer); or a "kind":
    // "stream", "drip", "reset", "redirect" or "flood" (see tools/devserver/README.md). Replaces an
    // earlier fault of that endpoint. Qt resends a request whose connection closed without an
    // answer or in the middle of one (how often varies), so for "close" and "reset" give a count
    // well above that, e.g. 10, and call clearFaults() once the client has seen its error.
    QJsonObject injectFault(const QString &endpoint, const QJsonObject &fault, int count = 1);
    QJsonObject clearFaults() { return admin(QStringLiteral("clearFaults")); }

    // Received protocol requests, oldest first: "seq", "time", "endpoint" (without the prefix),
    // "body" (the parsed JSON, or "rawBody" text when it was not JSON), "status", "outcome".
    QJsonArray requestLog() { return list(QStringLiteral("log"), QStringLiteral("requests")); }
    QJsonObject clearLog() { return admin(QStringLiteral("clearLog")); }

private:
    // The array `member` (by default named like the command) of an admin answer.
    QJsonArray list(const QString &command, const QString &member = QString());

    std::unique_ptr<QNetworkAccessManager> m_network;
    QProcess m_process;
    QByteArray m_output;
    QString m_address;
    QString m_origin;
    QString m_error;
    int m_adminTimeoutMs = 10000;
};

#endif // KESTREL_TESTS_COMMON_DEVSERVERFIXTURE_H
