#include "tests/protocol/accountslistmodeldouble.h"

#include "models/accountslistmodel.h"
#include "protocol/authoperation.h"
#include "protocol/authrequest.h"

void ModelCallLog::clear()
{
    qDeleteAll(addedAccounts);
    *this = ModelCallLog();
}

ModelCallLog &modelCallLog()
{
    static ModelCallLog log;
    return log;
}

// The operations' calls are recorded; the rest of the interface does nothing.

void AccountsListModel::addNewAccount(Account *account)
{
    if (account) {
        modelCallLog().addedAccounts.append(account);
    }
}

void AccountsListModel::removeTokensForAddress(QString address, QList<QString> tokenIds)
{
    modelCallLog().removedTokens.append(qMakePair(address, QStringList(tokenIds)));
}

void AccountsListModel::onAuthOk(QString address, bool ok)
{
    modelCallLog().authOks.append(qMakePair(address, ok));
}

void AccountsListModel::onBadReply(QString msg)
{
    modelCallLog().badReplies.append(msg);
    emit badreply(msg);
}

void AccountsListModel::processAuthOperation(AuthOperation *op)
{
    QStringList tokens;
    for (const AuthRequest *request : op->GetRequests()) {
        tokens.append(request->GetTokenUID());
    }
    modelCallLog().authOperations.append(tokens);
    if (modelCallLog().onAuthOperation) {
        modelCallLog().onAuthOperation(op);
    }
}

AccountsListModel::AccountsListModel(QObject *parent)
    : QAbstractListModel(parent)
{
}
AccountsListModel::~AccountsListModel() {}
int AccountsListModel::rowCount(const QModelIndex &) const
{
    return 0;
}
QVariant AccountsListModel::data(const QModelIndex &, int) const
{
    return QVariant();
}
bool AccountsListModel::setData(const QModelIndex &, const QVariant &, int)
{
    return false;
}
Qt::ItemFlags AccountsListModel::flags(const QModelIndex &) const
{
    return Qt::NoItemFlags;
}
QHash<int, QByteArray> AccountsListModel::roleNames() const
{
    return QAbstractListModel::roleNames();
}
void AccountsListModel::add(QString) {}
void AccountsListModel::rewrite() {}
void AccountsListModel::duplicate() {}
void AccountsListModel::remove(int, int) {}
void AccountsListModel::resetAllData() {}
void AccountsListModel::incrementCounter(int, int) {}
bool AccountsListModel::isEmpty()
{
    return true;
}
void AccountsListModel::acceptAuth() {}
void AccountsListModel::declineAuth() {}
void AccountsListModel::finishConfirmation() {}
QString AccountsListModel::getIssuer() const
{
    return QString();
}
QString AccountsListModel::getRequestDate() const
{
    return QString();
}
QString AccountsListModel::getRequestTime() const
{
    return QString();
}
QString AccountsListModel::getMetadata() const
{
    return QString();
}
bool AccountsListModel::getLockedOTP() const
{
    return false;
}
int AccountsListModel::getTimeout() const
{
    return 0;
}
void AccountsListModel::onHttpResult(HttpResult *) {}
void AccountsListModel::onRequestConfirmation(AuthRequest *) {}
void AccountsListModel::onCancelConfirmation() {}
void AccountsListModel::onConfirmationStatusChanged(Account::ConfirmationStatus) {}
void AccountsListModel::Initialize() {}
