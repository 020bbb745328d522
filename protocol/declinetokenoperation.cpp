#include "protocol/declinetokenoperation.h"

#include "models/accountslistmodel.h"

#include <QDebug>

DeclineTokenOperation::DeclineTokenOperation(QString address, HttpResult::ErrorCode code)
    : OperationRequest(DeclineTokenOp, address, code)
{
}

void DeclineTokenOperation::DoOperation(AccountsListModel *model)
{
    qDebug() << "Operation decline auth";
    model->onAuthOk(m_address, false);
}
