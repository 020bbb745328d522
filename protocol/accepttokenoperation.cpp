#include "protocol/accepttokenoperation.h"

#include "models/accountslistmodel.h"

AcceptTokenOperation::AcceptTokenOperation(QString address, HttpResult::ErrorCode code, QString sessionID)
    : OperationRequest(AcceptTokenOp, address, code)
    , m_sessionID(std::move(sessionID))
{
}

void AcceptTokenOperation::DoOperation(AccountsListModel *model)
{
    model->onAuthOk(m_address, m_sessionID, m_errorCode == HttpResult::ErrorNone);
}
