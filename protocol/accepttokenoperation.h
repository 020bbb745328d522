#ifndef KESTREL_PROTOCOL_ACCEPTTOKENOPERATION_H
#define KESTREL_PROTOCOL_ACCEPTTOKENOPERATION_H

#include "protocol/operationrequest.h"

// The server's reply to an accepting answer: the session finishes the confirmation as accepted
// when the exchange had no error.
class AcceptTokenOperation : public OperationRequest
{
public:
    // `sessionID`: the login session the answer was about.
    AcceptTokenOperation(QString address, HttpResult::ErrorCode code, QString sessionID = QString());

    void DoOperation(AccountsListModel *model) override;

    const QString &GetSessionID() const { return m_sessionID; }

private:
    QString m_sessionID;
};

#endif // KESTREL_PROTOCOL_ACCEPTTOKENOPERATION_H
