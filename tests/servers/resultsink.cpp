#include "tests/servers/resultsink.h"

#include "accounts/account.h"
#include "accounts/datastorage.h"
#include "protocol/authoperation.h"
#include "protocol/deleteaccountsoperationrequest.h"
#include "protocol/httpresult.h"
#include "protocol/registerorbaccountoperation.h"
#include "servers/servermanager.h"

#include <QCoreApplication>

ResultSink::ResultSink(ServerManager *manager)
    : m_manager(manager)
{
    connect(manager, &ServerManager::httpresult, this, &ResultSink::onHttpResult, Qt::QueuedConnection);
}

ResultSink::~ResultSink()
{
    QCoreApplication::sendPostedEvents(this, QEvent::MetaCall);
}

void ResultSink::onHttpResult(HttpResult *result)
{
    ++results;
    OperationRequest *op = result->operation;
    VexaServer *server = op && m_manager ? m_manager->GetServer(op->m_address) : nullptr;
    AccountsData &accounts = DataStorage::Instance()->m_accountsData;
    if (op && server) {
        switch (op->m_operationType) {
        case OperationRequest::AuthOp:
            m_manager->processAuthOperation(static_cast<AuthOperation *>(op));
            updates.append({op->m_address, op->m_errorCode, server->GetNetworkStatus(),
                            server->GetServerErrorMessage()});
            break;
        case OperationRequest::DeleteAccountsOp:
            for (const QString &id : static_cast<DeleteAccountsOperationRequest *>(op)->GetTokens()) {
                const int row = server->findTokenIndex(id);
                if (row >= 0) {
                    m_manager->removeToken(op->m_address, id);
                    added.removeOne(accounts.accountForIndex(row));
                    accounts.removeAtIndex(row);
                }
            }
            server->SetState(VexaServer::ONHOLD);
            break;
        case OperationRequest::AcceptTokenOp:
        case OperationRequest::DeclineTokenOp:
            if (result->errorCode != HttpResult::ErrorNone) {
                badReplies.append(result->message);
            } else {
                server->onAuthOk(op->m_operationType == OperationRequest::AcceptTokenOp);
            }
            break;
        case OperationRequest::RegisterAccountOp:
            if (Account *account = static_cast<RegisterOrbAccountOperation *>(op)->GetAccount();
                result->errorCode == HttpResult::ErrorNone && account) {
                // The operation keeps its own account; the collection gets an equal one.
                Account *copy = Account::CreateAccountFromJson(account->toJsonObject());
                accounts.AddAccount(copy);
                server->put(copy);
                added.append(copy);
            } else {
                badReplies.append(result->message);
            }
            break;
        }
    }
    delete op;
    delete result;
}
