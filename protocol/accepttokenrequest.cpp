#include "protocol/accepttokenrequest.h"

#include "protocol/accepttokenoperation.h"
#include "protocol/declinetokenoperation.h"

#include <QJsonDocument>
#include <QJsonObject>

AcceptTokenRequest::AcceptTokenRequest(QString address, QString tokenUID, QString valueOTP, QString sessionID,
                                       QString hmac)
    : Request(AcceptToken, address)
    , m_accepted(true)
    , m_tokenUID(tokenUID)
    , m_valueOTP(valueOTP)
    , m_sessionID(sessionID)
    , m_hmac(hmac)
{
}

AcceptTokenRequest::AcceptTokenRequest(QString address, QString tokenUID, QString sessionID, QString hmac)
    : Request(DeclineToken, address)
    , m_accepted(false)
    , m_tokenUID(tokenUID)
    , m_sessionID(sessionID)
    , m_hmac(hmac)
{
}

QString AcceptTokenRequest::GetCommand() const
{
    return QStringLiteral("/acceptToken");
}

QByteArray AcceptTokenRequest::GetDataJson() const
{
    QJsonObject body;
    body.insert(QStringLiteral("tokenUID"), m_tokenUID);
    body.insert(QStringLiteral("accepted"), m_accepted);
    body.insert(QStringLiteral("sessionID"), m_sessionID);
    body.insert(QStringLiteral("hmac"), m_hmac);
    if (m_accepted) {
        body.insert(QStringLiteral("valueotp"), m_valueOTP);
    }
    return QJsonDocument(body).toJson(QJsonDocument::Compact);
}

HttpResult *AcceptTokenRequest::DecodeReply(QNetworkReply *reply) const
{
    return DecodeFinishedReply(reply);
}

HttpResult *AcceptTokenRequest::DecodeReplyData(QNetworkReply::NetworkError error, int statusCode,
                                                const QByteArray &body) const
{
    const HttpResult::ErrorCode code = HttpResult::NetworkErrorToErrorCode(error);
    HttpResult *result = new HttpResult(code);
    OperationRequest *operation = nullptr;
    if (m_requestType == AcceptToken) {
        operation = new AcceptTokenOperation(m_address, code);
    } else {
        operation = new DeclineTokenOperation(m_address, code);
    }
    // A successful answer has no body worth reading.
    if (code != HttpResult::ErrorNone) {
        ApplyErrorReply(result, statusCode, body);
    }
    result->PutOperation(operation);
    return result;
}
