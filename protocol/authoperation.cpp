#include "protocol/authoperation.h"

#include "models/accountslistmodel.h"
#include "protocol/authrequest.h"

AuthOperation::AuthOperation(QString address, HttpResult::ErrorCode code)
    : OperationRequest(AuthOp, address, code)
{
}

AuthOperation::~AuthOperation()
{
    // Requests no session made current have no other owner.
    qDeleteAll(m_requests);
}

void AuthOperation::DoOperation(AccountsListModel *model)
{
    model->processAuthOperation(this);
}

AuthRequest *AuthOperation::GetFirstAuthRequest()
{
    return m_requests.isEmpty() ? nullptr : m_requests.first();
}

AuthRequest *AuthOperation::FindTokenRequest(QString tokenUID)
{
    for (AuthRequest *request : qAsConst(m_requests)) {
        if (request->GetTokenUID() == tokenUID) {
            return request;
        }
    }
    return nullptr;
}

AuthRequest *AuthOperation::FindSessionRequest(const QString &tokenUID, const QString &sessionID) const
{
    for (AuthRequest *request : m_requests) {
        if (request->GetTokenUID() == tokenUID && request->GetSessionID() == sessionID) {
            return request;
        }
    }
    return nullptr;
}

void AuthOperation::PutRequest(AuthRequest *request)
{
    if (request) {
        m_requests.append(request);
    }
}

AuthRequest *AuthOperation::TakeRequest(AuthRequest *request)
{
    return m_requests.removeOne(request) ? request : nullptr;
}

void AuthOperation::PutSavedToken(const QString &tokenUID)
{
    m_savedTokens.append(tokenUID);
}
