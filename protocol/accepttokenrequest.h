#ifndef KESTREL_PROTOCOL_ACCEPTTOKENREQUEST_H
#define KESTREL_PROTOCOL_ACCEPTTOKENREQUEST_H

#include "protocol/request.h"

// The user's answer to a login confirmation ("/acceptToken"), accepting (type AcceptToken) or
// declining (type DeclineToken), signed by the session.
class AcceptTokenRequest : public Request
{
    Q_OBJECT
public:
    // Accepting answer; carries the account's current code.
    AcceptTokenRequest(QString address, QString tokenUID, QString valueOTP, QString sessionID, QString hmac);
    // Declining answer; carries no code.
    AcceptTokenRequest(QString address, QString tokenUID, QString sessionID, QString hmac);

    QString GetCommand() const override;
    QByteArray GetDataJson() const override;

protected:
    OperationRequest *CreateOperation(HttpResult::ErrorCode code) const override;

private:
    bool m_accepted;
    QString m_tokenUID;
    QString m_valueOTP;
    QString m_sessionID;
    QString m_hmac;
};

#endif // KESTREL_PROTOCOL_ACCEPTTOKENREQUEST_H
