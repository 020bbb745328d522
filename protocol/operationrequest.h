#ifndef KESTREL_PROTOCOL_OPERATIONREQUEST_H
#define KESTREL_PROTOCOL_OPERATIONREQUEST_H

#include "protocol/httpresult.h"

#include <QString>

class AccountsListModel;

// What a decoded server reply asks the application to do. Built on the HTTP thread by a reply
// decoder, carried to the GUI thread inside an HttpResult and carried out there at most once
// against the accounts list model.
class OperationRequest
{
public:
    enum OperationType
    {
        RegisterAccountOp = 1,
        AuthOp = 2,
        AcceptTokenOp = 3,
        DeclineTokenOp = 4,
        DeleteAccountsOp = 5
    };

    OperationRequest(OperationRequest::OperationType type, QString address, HttpResult::ErrorCode code);
    virtual ~OperationRequest();
    OperationRequest(const OperationRequest &) = delete;
    OperationRequest &operator=(const OperationRequest &) = delete;

    virtual void DoOperation(AccountsListModel *model) = 0;

    const QString &GetAddress() const { return m_address; }
    OperationRequest::OperationType GetOperationType() const { return m_operationType; }
    HttpResult::ErrorCode GetErrorCode() const { return m_errorCode; }

    QString m_address;
    OperationRequest::OperationType m_operationType;
    HttpResult::ErrorCode m_errorCode;
};

#endif // KESTREL_PROTOCOL_OPERATIONREQUEST_H
