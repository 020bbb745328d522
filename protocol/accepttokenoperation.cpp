#include "protocol/accepttokenoperation.h"

#include "models/accountslistmodel.h"

AcceptTokenOperation::AcceptTokenOperation(QString address, HttpResult::ErrorCode code)
    : OperationRequest(AcceptTokenOp, address, code)
{
}

void AcceptTokenOperation::DoOperation(AccountsListModel *model)
{
    model->onAuthOk(m_address, m_errorCode == HttpResult::ErrorNone);
}
