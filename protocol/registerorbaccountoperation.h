#ifndef KESTREL_PROTOCOL_REGISTERORBACCOUNTOPERATION_H
#define KESTREL_PROTOCOL_REGISTERORBACCOUNTOPERATION_H

#include "protocol/operationrequest.h"

class Account;

// The answer to a ticket activation: adds the new account, or rejects it when its OTP
// parameters are unusable.
class RegisterOrbAccountOperation : public OperationRequest
{
public:
    RegisterOrbAccountOperation(QString address, HttpResult::ErrorCode code);
    // Deletes an account that DoOperation never handed on.
    ~RegisterOrbAccountOperation() override;

    void DoOperation(AccountsListModel *model) override;

    Account *GetAccount() const { return m_account; }
    // Takes ownership of `account`.
    void SetAccount(Account *account);
    // Hands the account and its ownership to the caller.
    Account *TakeAccount();

private:
    Account *m_account = nullptr;
};

#endif // KESTREL_PROTOCOL_REGISTERORBACCOUNTOPERATION_H
