#include "protocol/request.h"

#include "protocol/accepttokenrequest.h"
#include "protocol/activateorbticketrequest.h"
#include "protocol/getremovedtokensrequest.h"
#include "protocol/operationrequest.h"
#include "protocol/updatetokensrequest.h"

#include <QDebug>

Request::Request(Request::RequestType type, QString address)
    : m_address(std::move(address))
    , m_requestType(type)
{
}

Request::~Request() {}

Request *Request::CreateActivateOrbRequest(QString address, QString reqID, QString pin, QString language,
                                           QString key)
{
    return new ActivateOrbTicketRequest(address, reqID, pin, language, key);
}

Request *Request::CreateAcceptTokenRequest(QString address, QString tokenUID, QString valueOTP,
                                           QString sessionID, QString hmac)
{
    return new AcceptTokenRequest(address, tokenUID, valueOTP, sessionID, hmac);
}

Request *Request::CreateDeclineTokenRequest(QString address, QString tokenUID, QString sessionID,
                                            QString hmac)
{
    return new AcceptTokenRequest(address, tokenUID, sessionID, hmac);
}

Request *Request::CreateGetRemovedTokensRequest(QString address, QList<QString> tokenUIDs)
{
    return new GetRemovedTokensRequest(address, tokenUIDs);
}

Request *Request::CreateUpdateTokensRequest(QString address, QList<NotificationToken> tokens)
{
    return new UpdateTokensRequest(address, tokens);
}

int Request::ReplyStatusCode(QNetworkReply *reply)
{
    return reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
}

HttpResult *Request::DecodeReply(QNetworkReply *reply) const
{
    // An aborted reply (too large, too slow) is closed and has nothing left to read.
    const QByteArray body = reply->isReadable() ? reply->read(MAX_REPLY_BYTES) : QByteArray();
    return DecodeReplyData(reply->error(), ReplyStatusCode(reply), body);
}

HttpResult::ErrorCode Request::ReplyErrorCode(QNetworkReply::NetworkError error, int statusCode)
{
    const HttpResult::ErrorCode code = HttpResult::NetworkErrorToErrorCode(error);
    if (code != HttpResult::ErrorNone || (statusCode >= 200 && statusCode <= 299)) {
        return code;
    }
    // A redirect, which is not followed, or any other status a captive portal or a broken server
    // may send without Qt seeing an error: never a success.
    if (statusCode == 400) {
        return HttpResult::ErrorProtocol;
    }
    return statusCode == 500 ? HttpResult::ErrorServer : HttpResult::ErrorUnknown;
}

QString Request::Bounded(const QString &text, int length)
{
    if (text.size() <= length) {
        return text;
    }
    if (length > 0 && text.at(length - 1).isHighSurrogate()) {
        --length;
    }
    return text.left(length);
}

HttpResult *Request::DecodeReplyData(QNetworkReply::NetworkError error, int statusCode,
                                     const QByteArray &body) const
{
    const HttpResult::ErrorCode code = ReplyErrorCode(error, statusCode);
    HttpResult *result = new HttpResult(code);
    OperationRequest *operation = CreateOperation(code);
    if (code == HttpResult::ErrorNone) {
        DecodeBody(body, operation);
    } else {
        // Bodies are untrusted and may be large: the log gets their size only.
        qDebug() << "Http error reply, status" << statusCode << "body bytes:" << body.size();
        result->statusCode = statusCode;
        if (statusCode == 500) {
            result->message = Bounded(HttpResult::ExtractStatusMessage(body), MAX_MESSAGE_LENGTH);
        }
        // Every failure tells the user something: the server's own text, the text of the code,
        // or for a status no text covers, the status itself.
        if (result->message.isEmpty()) {
            const bool plainStatus = statusCode >= 100 && statusCode != 400 && statusCode != 500 &&
                                     (statusCode < 200 || statusCode > 299);
            result->message = plainStatus
                                  ? QStringLiteral("Неожиданный ответ сервера (код HTTP %1)").arg(statusCode)
                                  : HttpResult::GetErrorMessage(code);
        }
    }
    result->PutOperation(operation);
    return result;
}

void Request::DecodeBody(const QByteArray &body, OperationRequest *operation) const
{
    Q_UNUSED(body)
    Q_UNUSED(operation)
}
