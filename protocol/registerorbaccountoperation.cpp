#include "protocol/registerorbaccountoperation.h"

#include "accounts/account.h"
#include "models/accountslistmodel.h"

RegisterOrbAccountOperation::RegisterOrbAccountOperation(QString address, HttpResult::ErrorCode code)
    : OperationRequest(RegisterAccountOp, address, code)
{
}

RegisterOrbAccountOperation::~RegisterOrbAccountOperation()
{
    delete m_account;
}

void RegisterOrbAccountOperation::SetAccount(Account *account)
{
    if (account != m_account) {
        delete m_account;
        m_account = account;
    }
}

Account *RegisterOrbAccountOperation::TakeAccount()
{
    Account *account = m_account;
    m_account = nullptr;
    return account;
}

void RegisterOrbAccountOperation::DoOperation(AccountsListModel *model)
{
    Account *account = TakeAccount();
    if (account && account->m_otpToken.isValid()) {
        model->addNewAccount(account);
        return;
    }
    model->onBadReply(QStringLiteral("Невозможно зарегистрировать аккаунт. Получены некорректные данные."));
    delete account;
}
