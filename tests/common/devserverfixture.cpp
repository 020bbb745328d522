#include "tests/common/devserverfixture.h"

#include <QElapsedTimer>
#include <QEventLoop>
#include <QJsonDocument>
#include <QNetworkAccessManager>
#include <QNetworkProxy>
#include <QNetworkRequest>
#include <QTimer>
#include <QUrl>

#include <memory>

namespace {
const QByteArray ADDRESS_LINE = "address: ";
} // namespace

DevServerFixture::DevServerFixture() = default;

DevServerFixture::~DevServerFixture()
{
    stop();
    delete m_network;
}

bool DevServerFixture::start(const QStringList &extraArgs, int startTimeoutMs)
{
    stop();
    m_output.clear();
    m_address.clear();
    m_origin.clear();
    m_error.clear();
    m_process.setProgram(QStringLiteral(KESTREL_DEVSERVER_PATH));
    m_process.setArguments(
        QStringList{QStringLiteral("--port"), QStringLiteral("0"), QStringLiteral("--no-qr")} + extraArgs);
    m_process.setProcessChannelMode(QProcess::MergedChannels);
    m_process.start();
    if (!m_process.waitForStarted(startTimeoutMs)) {
        m_error = QStringLiteral("cannot start %1: %2").arg(m_process.program(), m_process.errorString());
        return false;
    }
    QElapsedTimer timer;
    timer.start();
    while (timer.elapsed() < startTimeoutMs) {
        m_output += m_process.readAll();
        const int at = m_output.indexOf(ADDRESS_LINE);
        const int end = at < 0 ? -1 : m_output.indexOf('\n', at);
        if (end > at) {
            m_address =
                QString::fromUtf8(m_output.mid(at + ADDRESS_LINE.size(), end - at - ADDRESS_LINE.size()));
            const QUrl url(m_address);
            m_origin = QStringLiteral("%1://%2:%3").arg(url.scheme(), url.host()).arg(url.port());
            return true;
        }
        if (m_process.state() != QProcess::Running) {
            break;
        }
        m_process.waitForReadyRead(qMax<qint64>(1, startTimeoutMs - timer.elapsed()));
    }
    m_output += m_process.readAll();
    m_error = QStringLiteral("the server printed no address: ") + QString::fromUtf8(m_output);
    stop();
    return false;
}

void DevServerFixture::stop()
{
    if (m_process.state() != QProcess::NotRunning) {
        m_process.kill();
        m_process.waitForFinished(5000);
    }
}

bool DevServerFixture::isRunning() const
{
    return m_process.state() == QProcess::Running;
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
        m_network = new QNetworkAccessManager();
        // The server is on loopback; a proxy from the environment must not get in between.
        m_network->setProxy(QNetworkProxy::NoProxy);
    }
    QNetworkRequest request{QUrl(url)};
    request.setHeader(QNetworkRequest::ContentTypeHeader, QByteArrayLiteral("application/json"));
    std::unique_ptr<QNetworkReply> reply(m_network->post(request, body));
    if (ignoreTlsErrors) {
        reply->ignoreSslErrors();
    }
    QEventLoop loop;
    QTimer timer;
    timer.setSingleShot(true);
    QObject::connect(reply.get(), &QNetworkReply::finished, &loop, &QEventLoop::quit);
    QObject::connect(&timer, &QTimer::timeout, &loop, &QEventLoop::quit);
    timer.start(m_adminTimeoutMs);
    if (!reply->isFinished()) {
        loop.exec();
    }
    RawReply result;
    if (!reply->isFinished()) {
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
    m_error.clear();
    const RawReply reply = post(m_origin + QStringLiteral("/admin/") + command,
                                QJsonDocument(body).toJson(QJsonDocument::Compact), true);
    m_lastStatus = reply.status;
    QJsonParseError parseError;
    const QJsonDocument document = QJsonDocument::fromJson(reply.body, &parseError);
    if (reply.status == 0) {
        m_error = QStringLiteral("admin %1: no answer (network error %2)").arg(command).arg(reply.error);
        return QJsonObject();
    }
    if (parseError.error != QJsonParseError::NoError || !document.isObject()) {
        m_error = QStringLiteral("admin %1: the answer is not a JSON object").arg(command);
        return QJsonObject();
    }
    if (reply.status != 200) {
        m_error = QStringLiteral("admin %1: HTTP %2: %3")
                      .arg(command)
                      .arg(reply.status)
                      .arg(document.object().value(QStringLiteral("message")).toString());
    }
    return document.object();
}

QJsonObject DevServerFixture::createTicket(const QString &kind, const QString &member,
                                           const QJsonObject &options)
{
    QJsonObject body = options;
    body.insert(QStringLiteral("kind"), kind);
    body.insert(QStringLiteral("member"), member);
    return admin(QStringLiteral("ticket"), body);
}

QJsonArray DevServerFixture::tickets()
{
    return admin(QStringLiteral("tickets")).value(QStringLiteral("tickets")).toArray();
}

QJsonObject DevServerFixture::createLogin(const QString &tokenUID, const QString &metadata, qint64 time)
{
    QJsonObject body;
    body.insert(QStringLiteral("tokenUID"), tokenUID);
    body.insert(QStringLiteral("metadata"), metadata);
    if (time >= 0) {
        body.insert(QStringLiteral("time"), time);
    }
    return admin(QStringLiteral("login"), body);
}

QJsonArray DevServerFixture::logins()
{
    return admin(QStringLiteral("logins")).value(QStringLiteral("logins")).toArray();
}

QJsonObject DevServerFixture::withdrawLogin(const QString &sessionID)
{
    return admin(QStringLiteral("withdraw"), QJsonObject{{QStringLiteral("sessionID"), sessionID}});
}

QJsonObject DevServerFixture::revokeToken(const QString &tokenUID)
{
    return admin(QStringLiteral("revoke"), QJsonObject{{QStringLiteral("tokenUID"), tokenUID}});
}

QJsonObject DevServerFixture::injectFault(const QString &endpoint, const QJsonObject &fault, int count)
{
    QJsonObject body = fault;
    body.insert(QStringLiteral("endpoint"), endpoint);
    body.insert(QStringLiteral("count"), count);
    return admin(QStringLiteral("fault"), body);
}

QJsonObject DevServerFixture::clearFaults()
{
    return admin(QStringLiteral("clearFaults"));
}

QJsonArray DevServerFixture::requestLog()
{
    return admin(QStringLiteral("log")).value(QStringLiteral("requests")).toArray();
}

QJsonObject DevServerFixture::clearLog()
{
    return admin(QStringLiteral("clearLog"));
}

QJsonArray DevServerFixture::devices()
{
    return admin(QStringLiteral("devices")).value(QStringLiteral("devices")).toArray();
}
