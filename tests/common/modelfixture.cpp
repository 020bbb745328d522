#include "tests/common/modelfixture.h"

#include "accounts/account.h"
#include "accounts/datastorage.h"

#include <QFile>
#include <QStandardPaths>
#include <QTemporaryDir>

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
{
}

ModelFixture::~ModelFixture()
{
    m_model.reset();
    clearAccounts();
}

bool ModelFixture::useTemporaryDataHome()
{
    static QTemporaryDir home;
    qputenv("XDG_DATA_HOME", home.path().toUtf8());
    return home.isValid();
}

void ModelFixture::clearAccounts()
{
    DataStorage::Instance()->ResetForTests();
    QFile::remove(accountsFile());
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

QString ModelFixture::accountsFile()
{
    return QStandardPaths::writableLocation(QStandardPaths::AppDataLocation) + "/accounts.txt";
}
