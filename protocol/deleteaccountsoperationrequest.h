#ifndef KESTREL_PROTOCOL_DELETEACCOUNTSOPERATIONREQUEST_H
#define KESTREL_PROTOCOL_DELETEACCOUNTSOPERATIONREQUEST_H

#include "protocol/operationrequest.h"

#include <QList>

// The answer to a removed-tokens check: the ids of the tokens the server no longer knows.
class DeleteAccountsOperationRequest : public OperationRequest
{
public:
    DeleteAccountsOperationRequest(QString address, HttpResult::ErrorCode code);

    void DoOperation(AccountsListModel *model) override;

    void putToken(QString tokenUID);
    const QList<QString> &GetTokens() const { return m_tokens; }

private:
    QList<QString> m_tokens;
};

#endif // KESTREL_PROTOCOL_DELETEACCOUNTSOPERATIONREQUEST_H
