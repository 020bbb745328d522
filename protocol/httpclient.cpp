#include "protocol/httpclient.h"

#include "protocol/httpresult.h"
#include "protocol/request.h"
#include "protocol/tcpnodelay.h"

#include <QDebug>
#include <QMetaEnum>
#include <QNetworkAccessManager>
#include <QNetworkRequest>
#include <QSslConfiguration>
#include <QTimer>
#include <QUrl>

namespace {
const char *errorName(QNetworkReply::NetworkError error)
{
    const char *name = QMetaEnum::fromType<QNetworkReply::NetworkError>().valueToKey(error);
    return name ? name : "";
}
} // namespace

HttpClient::HttpClient(QObject *parent)
    : QObject(parent)
{
    // Requests arrive and results leave through queued connections across threads.
    qRegisterMetaType<Request *>("Request*");
    qRegisterMetaType<HttpResult *>("HttpResult*");
}

QNetworkAccessManager *HttpClient::networkManager()
{
    // Made on the first request, on the HTTP thread: a network manager loads the bearer plugins
    // and starts their thread (12 to 36 ms and 4.5 MiB here), which a start without server
    // accounts never needs and the first frame should not wait for.
    if (m_networkManager) {
        return m_networkManager;
    }
    m_networkManager = new QNetworkAccessManager(this);
    connect(m_networkManager, &QNetworkAccessManager::finished, this, &HttpClient::onNetworkReply);
    // Nagle off on the manager's connections (see TcpNoDelay): on a TLS connection before its
    // first request, on a plain one after it, which is in time because a fresh connection's
    // peer still acknowledges at once.
    connect(m_networkManager, &QNetworkAccessManager::encrypted, this,
            [] { TcpNoDelay::applyToConnectedSockets(); });
    connect(m_networkManager, &QNetworkAccessManager::finished, this,
            [] { TcpNoDelay::applyToConnectedSockets(); });
    return m_networkManager;
}

HttpClient::~HttpClient()
{
    qDeleteAll(m_requestQueue);
}

void HttpClient::PutRequest(Request *request)
{
    m_requestQueue.append(request);
}

void HttpClient::RemoveFromQuery(Request *request)
{
    m_requestQueue.removeOne(request);
    delete request;
}

QString HttpClient::GetErrorString(QNetworkReply::NetworkError error)
{
    switch (error) {
    case QNetworkReply::ConnectionRefusedError:
        return QStringLiteral("Не удалось установить соединение с сервером");
    case QNetworkReply::SslHandshakeFailedError:
        return QStringLiteral("Не удалось подтвердить подлинность сертификата сервера");
    case QNetworkReply::UnknownNetworkError:
        return QStringLiteral("Неизвестная сетевая ошибка");
    case QNetworkReply::ProtocolInvalidOperationError:
    case QNetworkReply::InternalServerError:
        return QStringLiteral("Ошибка при регистрации аккаунта");
    default:
        return QStringLiteral("Ошибка при регистрации аккаунта!");
    }
}

void HttpClient::abortReply(QNetworkReply *reply, const char *why)
{
    if (reply->isFinished()) {
        return;
    }
    qDebug() << "Http transfer aborted:" << why;
    reply->abort();
}

void HttpClient::onSendRequest(Request *pNewRequest)
{
    // The address carries scheme, host and any path prefix; the command is appended as it is.
    const QUrl url(pNewRequest->GetAddress() + pNewRequest->GetCommand(), QUrl::TolerantMode);
    QNetworkRequest networkRequest(url);
    networkRequest.setRawHeader("Content-Type", "application/json");
    networkRequest.setTransferTimeout(m_transferTimeout);
    // A redirect ends the exchange as a failure: the address the user scanned is the only
    // server this request may reach.
    networkRequest.setAttribute(QNetworkRequest::RedirectPolicyAttribute,
                                QNetworkRequest::ManualRedirectPolicy);
    const QByteArray body = pNewRequest->GetDataJson();

    qDebug() << "Current peer mode::" << static_cast<int>(networkRequest.sslConfiguration().peerVerifyMode());

    QNetworkReply *reply = networkManager()->post(networkRequest, body);
    pNewRequest->SetReply(reply);
    PutRequest(pNewRequest);

    // Bounds whatever the server sends: the body kept in memory, and the time a reply may take.
    // The body stays unread in the reply until it has finished, so what is available is all that
    // arrived; the read buffer holds the network layer back once a little more than the cap waits.
    reply->setReadBufferSize(Request::MAX_REPLY_BYTES + 64 * 1024);
    const auto tooLarge = [reply] {
        if (reply->bytesAvailable() > Request::MAX_REPLY_BYTES ||
            reply->header(QNetworkRequest::ContentLengthHeader).toLongLong() > Request::MAX_REPLY_BYTES) {
            abortReply(reply, "reply larger than the cap");
        }
    };
    connect(reply, &QNetworkReply::metaDataChanged, reply, tooLarge);
    connect(reply, &QNetworkReply::readyRead, reply, tooLarge);
    QTimer::singleShot(m_requestDeadline, reply, [reply] { abortReply(reply, "reply past its deadline"); });
    if (reply->error() != QNetworkReply::NoError) {
        qDebug() << "Instant reply error:" << errorName(reply->error());
    }
}

void HttpClient::onNetworkReply(QNetworkReply *reply)
{
    const int status = Request::ReplyStatusCode(reply);
    qDebug() << "Http reply error:" << errorName(reply->error()) << ", with status code:" << status;

    Request *request = nullptr;
    for (Request *queued : qAsConst(m_requestQueue)) {
        if (queued->GetReply() == reply) {
            request = queued;
            break;
        }
    }
    if (!request) {
        qDebug() << "Request not found for reply";
        reply->deleteLater();
        return;
    }
    if (reply->error() == QNetworkReply::NoError) {
        qDebug() << "Reply received for type:" << static_cast<int>(request->GetRequestType());
    }
    HttpResult *result = request->DecodeReply(reply);
    emit httpresult(result);
    RemoveFromQuery(request);
    reply->deleteLater();
}
