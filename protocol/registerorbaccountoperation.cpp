#include "protocol/registerorbaccountoperation.h"

#include "accounts/account.h"
#include "models/accountslistmodel.h"
#include "otp/otpauthuri.h"
#include "otp/otptoken.h"

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
    // Parameters a server sends that can never give a right code make the answer a bad reply,
    // like undecryptable data: a digit count of 262 would otherwise be cut to 6.
    if (account && account->m_otpToken.isValid() &&
        OTPToken::checkUri(OTPAuthURI(account->m_uri.toUtf8().toStdString())) == OTPToken::UriFault::None) {
        model->addNewAccount(account);
        return;
    }
    model->onBadReply(QStringLiteral("Невозможно зарегистрировать аккаунт. Получены некорректные данные."));
    delete account;
}
