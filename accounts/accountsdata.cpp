#include "accounts/accountsdata.h"
#include "accounts/authaccount.h"

#include "accounts/account.h"

AccountsData::AccountsData(QObject *parent)
    : QObject(parent)
{
}

AccountsData::~AccountsData() = default;

Account *AccountsData::accountForIndex(int index)
{
    return index >= 0 && index < m_accounts.size() ? m_accounts.at(index) : nullptr;
}

int AccountsData::indexOf(Account *account)
{
    return m_accounts.indexOf(account);
}

Account *AccountsData::findIfEquals(const Account *account)
{
    const bool serverBound =
        account->m_tokenType == Account::TokenTicket || account->m_tokenType == Account::TokenPushAuth;
    for (Account *stored : qAsConst(m_accounts)) {
        if (stored->m_user != account->m_user || stored->m_issuer != account->m_issuer) {
            continue;
        }
        if (serverBound &&
            (stored->m_address != account->m_address || stored->m_tokenUID != account->m_tokenUID)) {
            continue;
        }
        return stored;
    }
    return nullptr;
}

Account *AccountsData::accountForID(int id)
{
    for (Account *account : qAsConst(m_accounts)) {
        if (account->m_id == id) {
            return account;
        }
    }
    return nullptr;
}

Account *AccountsData::accountForTokenUID(const QString &tokenUID)
{
    for (Account *account : qAsConst(m_accounts)) {
        if (account->m_tokenUID == tokenUID) {
            return account;
        }
    }
    return nullptr;
}

Account *AccountsData::accountForUser(const QString &user)
{
    for (Account *account : qAsConst(m_accounts)) {
        if (account->m_user == user) {
            return account;
        }
    }
    return nullptr;
}

void AccountsData::UpdateRegistrationId(const QString &registrationId)
{
    for (Account *account : qAsConst(m_accounts)) {
        auto *auth = dynamic_cast<AuthAccount *>(account);
        if (account->m_tokenType != Account::TokenPushAuth || auth == nullptr) {
            continue;
        }
        NotificationToken &token = auth->m_notificationToken;
        if (token.registrationId != registrationId) {
            token.registrationId = registrationId;
            token.saved = false;
        }
    }
}

QJsonArray AccountsData::toJsonArray()
{
    QJsonArray array;
    for (const Account *account : qAsConst(m_accounts)) {
        array.append(account->toJsonObject());
    }
    return array;
}

void AccountsData::AddAccount(Account *account)
{
    m_accounts.append(account);
}

void AccountsData::removeAtIndex(int index)
{
    if (index < 0 || index >= m_accounts.size()) {
        return;
    }
    delete m_accounts.takeAt(index);
}

int AccountsData::ReplaceAccount(Account *oldAccount, Account *newAccount)
{
    const int index = m_accounts.indexOf(oldAccount);
    if (index >= 0) {
        m_accounts[index] = newAccount;
    }
    return index;
}

int AccountsData::RemoveAccount(Account *account)
{
    if (account == nullptr) {
        return -1;
    }
    const int index = m_accounts.indexOf(account);
    if (index >= 0) {
        m_accounts.removeAt(index);
    }
    return index;
}
