#include "protocol/request.h"

#include "protocol/accepttokenrequest.h"
#include "protocol/activateorbticketrequest.h"
#include "protocol/getremovedtokensrequest.h"
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

HttpResult *Request::DecodeFinishedReply(QNetworkReply *reply) const
{
    return DecodeReplyData(reply->error(), ReplyStatusCode(reply), reply->readAll());
}

void Request::ApplyErrorReply(HttpResult *result, int statusCode, const QByteArray &body)
{
    result->statusCode = statusCode;
    if (statusCode == 500) {
        result->message = HttpResult::ExtractStatusMessage(body);
        qDebug() << "Http error reply body:" << QString::fromUtf8(body);
    } else if (statusCode == 400 || statusCode == 0) {
        result->message = HttpResult::GetErrorMessage(result->errorCode);
        qDebug() << "Http error reply body:" << QString::fromUtf8(body);
    }
}
