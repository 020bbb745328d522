#include "tests/protocol/modelfixture.h"

#include "accounts/account.h"
#include "accounts/datastorage.h"

namespace {

// The model has to exist before the spies are made; the accounts before the model.
AccountsListModel *startModel(const QString &address, const QStringList &tokenIds)
{
    for (const QString &tokenId : tokenIds) {
        DataStorage::Instance()->m_accountsData.AddAccount(Account::CreateAuthAccount(
            "otpauth://totp/Bank:" + tokenId + "?secret=JBSWY3DPEHPK3PXP", address, "req", tokenId, "key"));
    }
    return new AccountsListModel();
}

} // namespace

ModelFixture::ModelFixture(const QString &address, const QStringList &tokenIds)
    : m_model(startModel(address, tokenIds))
    , badReplies(m_model.get(), &AccountsListModel::badreply)
    , confirmations(m_model.get(), &AccountsListModel::requestconfirmation)
    , accepted(m_model.get(), &AccountsListModel::accepted)
    , declined(m_model.get(), &AccountsListModel::declined)
{
}

ModelFixture::~ModelFixture()
{
    m_model.reset();
    AccountsData &data = DataStorage::Instance()->m_accountsData;
    qDeleteAll(data.m_accounts);
    data.m_accounts.clear();
    DataStorage::Instance()->SaveData();
}

QList<Account *> ModelFixture::accounts()
{
    return DataStorage::Instance()->m_accountsData.m_accounts;
}

QStringList ModelFixture::tokenIds()
{
    QStringList ids;
    for (const Account *account : accounts()) {
        ids << account->m_tokenUID;
    }
    return ids;
}
