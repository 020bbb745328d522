#include "protocol/deleteaccountsoperationrequest.h"

#include "models/accountslistmodel.h"

#include <QDebug>

DeleteAccountsOperationRequest::DeleteAccountsOperationRequest(QString address, HttpResult::ErrorCode code)
    : OperationRequest(DeleteAccountsOp, address, code)
{
}

void DeleteAccountsOperationRequest::DoOperation(AccountsListModel *model)
{
    qDebug() << "[DeleteAccountsOperationRequest] DoOperation";
    model->removeTokensForAddress(m_address, QList<QString>(m_tokens));
}

void DeleteAccountsOperationRequest::putToken(QString tokenUID)
{
    m_tokens.append(tokenUID);
}
