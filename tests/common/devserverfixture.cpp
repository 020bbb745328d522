#include "tests/common/devserverfixture.h"

#include <QDeadlineTimer>
#include <QJsonDocument>
#include <QNetworkProxy>
#include <QNetworkRequest>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QUrl>

bool DevServerFixture::start(const QStringList &extraArgs, int startTimeoutMs)
{
    stop();
    m_output.clear();
    m_address.clear();
    m_origin.clear();
    m_process.setProgram(QStringLiteral(KESTREL_DEVSERVER_PATH));
    m_process.setArguments(QStringList{"--port", "0", "--no-qr"} + extraArgs);
    m_process.setProcessChannelMode(QProcess::MergedChannels);
    m_process.start();
    // The server prints its base address once it listens.
    const QRegularExpression addressLine(QStringLiteral("address: (\\S+)\n"));
    const QDeadlineTimer deadline(startTimeoutMs);
    QRegularExpressionMatch match;
    while (!(match = addressLine.match(QString::fromUtf8(output()))).hasMatch()) {
        // Fails at once when the server did not start or has ended.
        if (!m_process.waitForReadyRead(int(deadline.remainingTime()))) {
            m_error = QStringLiteral("the server printed no address (%1): %2")
                          .arg(m_process.errorString(), QString::fromUtf8(output()));
            stop();
            return false;
        }
    }
    m_address = match.captured(1);
    const QUrl url(m_address);
    m_origin = QStringLiteral("%1://%2:%3").arg(url.scheme(), url.host()).arg(url.port());
    m_error.clear();
    return true;
}

void DevServerFixture::stop()
{
    if (m_process.state() != QProcess::NotRunning) {
        m_process.kill();
        m_process.waitForFinished(5000);
    }
}

QByteArray DevServerFixture::output()
{
    m_output += m_process.readAll();
    return m_output;
}

DevServerFixture::RawReply DevServerFixture::post(const QString &url, const QByteArray &body,
                                                  bool ignoreTlsErrors)
{
    if (!m_network) {
        m_network = std::make_unique<QNetworkAccessManager>();
        // The server is on loopback; a proxy from the environment must not get in between.
        m_network->setProxy(QNetworkProxy::NoProxy);
    }
    QNetworkRequest request{QUrl(url)};
    request.setHeader(QNetworkRequest::ContentTypeHeader, QByteArrayLiteral("application/json"));
    // A fresh connection per call: on a kept-alive one the body, sent as a second segment,
    // waits about 40 ms for the server's delayed acknowledgement of the header.
    request.setRawHeader(QByteArrayLiteral("Connection"), QByteArrayLiteral("close"));
    std::unique_ptr<QNetworkReply> reply(m_network->post(request, body));
    if (ignoreTlsErrors) {
        reply->ignoreSslErrors();
    }
    QSignalSpy finished(reply.get(), &QNetworkReply::finished);
    RawReply result;
    if (!reply->isFinished() && !finished.wait(m_adminTimeoutMs)) {
        reply->abort();
        result.error = QNetworkReply::TimeoutError;
        return result;
    }
    result.status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    result.error = reply->error();
    result.body = reply->readAll();
    return result;
}

QJsonObject DevServerFixture::admin(const QString &command, const QJsonObject &body)
{
    const RawReply reply = post(m_origin + QStringLiteral("/admin/") + command,
                                QJsonDocument(body).toJson(QJsonDocument::Compact), true);
    const QJsonDocument document = QJsonDocument::fromJson(reply.body);
    const QJsonObject answer = document.object();
    m_error.clear();
    if (!document.isObject() || reply.status != 200) {
        m_error = QStringLiteral("admin %1: HTTP %2, network error %3: %4")
                      .arg(command)
                      .arg(reply.status)
                      .arg(reply.error)
                      .arg(QString::fromUtf8(reply.body));
    }
    return answer;
}

QJsonArray DevServerFixture::list(const QString &command, const QString &member)
{
    return admin(command).value(member.isEmpty() ? command : member).toArray();
}

QJsonObject DevServerFixture::createTicket(const QString &kind, const QString &member,
                                           const QJsonObject &options)
{
    QJsonObject body = options;
    body.insert(QStringLiteral("kind"), kind);
    body.insert(QStringLiteral("member"), member);
    return admin(QStringLiteral("ticket"), body);
}

QJsonObject DevServerFixture::createLogin(const QString &tokenUID, const QString &metadata, qint64 time)
{
    QJsonObject body{{QStringLiteral("tokenUID"), tokenUID}, {QStringLiteral("metadata"), metadata}};
    if (time >= 0) {
        body.insert(QStringLiteral("time"), time);
    }
    return admin(QStringLiteral("login"), body);
}

QJsonObject DevServerFixture::injectFault(const QString &endpoint, const QJsonObject &fault, int count)
{
    QJsonObject body = fault;
    body.insert(QStringLiteral("endpoint"), endpoint);
    body.insert(QStringLiteral("count"), count);
    return admin(QStringLiteral("fault"), body);
}
