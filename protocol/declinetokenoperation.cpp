#include "protocol/declinetokenoperation.h"

#include "models/accountslistmodel.h"

#include <QDebug>

DeclineTokenOperation::DeclineTokenOperation(QString address, HttpResult::ErrorCode code, QString sessionID)
    : OperationRequest(DeclineTokenOp, address, code)
    , m_sessionID(std::move(sessionID))
{
}

void DeclineTokenOperation::DoOperation(AccountsListModel *model)
{
    qDebug() << "Operation decline auth";
    model->onAuthOk(m_address, m_sessionID, false);
}
