#ifndef KESTREL_PROTOCOL_DECLINETOKENOPERATION_H
#define KESTREL_PROTOCOL_DECLINETOKENOPERATION_H

#include "protocol/operationrequest.h"

// The server's reply to a declining answer: always reported as not accepted.
class DeclineTokenOperation : public OperationRequest
{
public:
    // `sessionID`: the login session the answer was about.
    DeclineTokenOperation(QString address, HttpResult::ErrorCode code, QString sessionID = QString());

    void DoOperation(AccountsListModel *model) override;

    const QString &GetSessionID() const { return m_sessionID; }

private:
    QString m_sessionID;
};

#endif // KESTREL_PROTOCOL_DECLINETOKENOPERATION_H
