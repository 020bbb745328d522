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

OperationRequest *AcceptTokenRequest::CreateOperation(HttpResult::ErrorCode code) const
{
    // The answered session travels with the outcome: the session credits it only to that request.
    if (m_requestType == AcceptToken) {
        return new AcceptTokenOperation(m_address, code, m_sessionID);
    }
    return new DeclineTokenOperation(m_address, code, m_sessionID);
}
