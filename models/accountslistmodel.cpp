#include "models/accountslistmodel.h"

#include "accounts/datastorage.h"
#include "otp/otpauthuri.h"
#include "protocol/authoperation.h"
#include "protocol/authrequest.h"
#include "protocol/httpresult.h"
#include "protocol/operationrequest.h"
#include "servers/servermanager.h"
#include "servers/vexaserver.h"

#include <QCoreApplication>
#include <QDebug>

namespace {

const QString TICKET_INCOMPLETE_MESSAGE = QStringLiteral(
    "Невозможно зарегистрировать аккаунт: в QR-коде нет адреса сервера или идентификатора запроса.");

AccountsData &accounts()
{
    return DataStorage::Instance()->m_accountsData;
}

QString ticketParam(const OTPAuthURI &uri, const char *name)
{
    const auto it = uri.params().find(name);
    return it == uri.params().end() ? QString() : QString::fromStdString(it->second);
}

} // namespace

AccountsListModel::AccountsListModel(QObject *parent)
    : QAbstractListModel(parent)
    , m_serverManager(new ServerManager(this))
{
    Initialize();
}

AccountsListModel::~AccountsListModel()
{
    // The manager joins its threads; results it forwarded meanwhile are still queued here and
    // are freed without being carried out against a model that is going away.
    delete m_serverManager;
    m_serverManager = nullptr;
    m_closing = true;
    QCoreApplication::sendPostedEvents(this, QEvent::MetaCall);
    qDeleteAll(m_retiredAccounts);
    m_retiredAccounts.clear();
    // A new account the user never kept is not in the collection.
    delete m_newAccount;
    m_newAccount = nullptr;
}

void AccountsListModel::Initialize()
{
    connect(m_serverManager, SIGNAL(requestConfirmation(AuthRequest *)), this,
            SLOT(onRequestConfirmation(AuthRequest *)));
    connect(m_serverManager, SIGNAL(cancelConfirmation()), this, SLOT(onCancelConfirmation()));
    connect(m_serverManager, SIGNAL(newConfirmationStatus(Account::ConfirmationStatus)), this,
            SLOT(onConfirmationStatusChanged(Account::ConfirmationStatus)));
    connect(m_serverManager, SIGNAL(httpresult(HttpResult *)), this, SLOT(onHttpResult(HttpResult *)),
            Qt::QueuedConnection);
    // Queued: the view connects to badreply only once the model is made.
    const auto tellUser = [this](const QString &message) {
        if (!m_closing) {
            onBadReply(message);
        }
    };
    DataStorage *storage = DataStorage::Instance();
    connect(storage, &DataStorage::problem, this, tellUser, Qt::QueuedConnection);
    // Loads once per process, whoever comes first; a second model finds the collection filled.
    storage->LoadData();
    // Told while no view was there, e.g. a save that failed in a windowless start.
    for (const QString &message : storage->TakePendingProblems()) {
        QMetaObject::invokeMethod(
            this, [tellUser, message] { tellUser(message); }, Qt::QueuedConnection);
    }
    m_serverManager->getRemovedTokens();
}

int AccountsListModel::rowCount(const QModelIndex &parent) const
{
    if (parent.isValid()) {
        return 0;
    }
    return accounts().m_accounts.size();
}

QVariant AccountsListModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || role < RoleColor || role > RoleMessage) {
        return QVariant();
    }
    Account *account = accounts().accountForIndex(index.row());
    if (!account) {
        return QVariant();
    }
    switch (role) {
    case RoleColor:
        return index.row() < 2 ? QStringLiteral("orange") : QStringLiteral("skyblue");
    case RolePassword:
        account->UpdatePass();
        return account->getPassword();
    case RoleUser:
        return account->m_user;
    case RoleIssuer:
        return account->m_issuer;
    case RoleId:
        return account->m_id;
    case RoleProgress:
        return account->GetTimeoutProgress();
    case RoleType:
        return static_cast<int>(account->m_tokenType);
    case RoleNetwork: {
        VexaServer *server = account->m_tokenType == Account::TokenPushAuth
                                 ? m_serverManager->GetServer(account->m_address)
                                 : nullptr;
        return server ? static_cast<int>(server->GetNetworkStatus()) : 0;
    }
    case RoleMessage: {
        VexaServer *server = account->m_tokenType == Account::TokenPushAuth
                                 ? m_serverManager->GetServer(account->m_address)
                                 : nullptr;
        return server ? server->GetServerErrorMessage() : QString();
    }
    }
    return QVariant();
}

bool AccountsListModel::setData(const QModelIndex &index, const QVariant &value, int role)
{
    if (data(index, role) == value) {
        return false;
    }
    Account *account = index.isValid() ? accounts().accountForIndex(index.row()) : nullptr;
    if (!account) {
        return false;
    }
    account->setPassword(value.toString());
    emit dataChanged(index, index, {role});
    return true;
}

Qt::ItemFlags AccountsListModel::flags(const QModelIndex &index) const
{
    return index.isValid() ? Qt::ItemIsEditable : Qt::NoItemFlags;
}

QHash<int, QByteArray> AccountsListModel::roleNames() const
{
    QHash<int, QByteArray> roles = QAbstractListModel::roleNames();
    roles[RoleColor] = "color";
    roles[RolePassword] = "password";
    roles[RoleUser] = "user";
    roles[RoleIssuer] = "issuer";
    roles[RoleId] = "id";
    roles[RoleProgress] = "progress";
    roles[RoleType] = "type";
    roles[RoleNetwork] = "network";
    roles[RoleMessage] = "message";
    return roles;
}

void AccountsListModel::add(QString uri)
{
    qDebug() << "AccountsListModel::add begin";
    const OTPAuthURI parsed(uri.toUtf8().toStdString());
    if (parsed.type() == OTPAuthURI::OrbTicket) {
        const QString address = ticketParam(parsed, "address");
        // Without an address there is no server to ask, without a request id nothing to ask for.
        if (address.isEmpty() || ticketParam(parsed, "reqID").isEmpty()) {
            qDebug() << "AccountsListModel::add ticket without address or reqID";
            onBadReply(TICKET_INCOMPLETE_MESSAGE);
            return;
        }
        if (!m_serverManager->GetServer(address)) {
            m_serverManager->CreateNewServer(address);
        }
        VexaServer *server = m_serverManager->GetServer(address);
        if (!server || !server->beginRegisterAccount(parsed)) {
            onBadReply(TICKET_INCOMPLETE_MESSAGE);
        }
        return;
    }

    Account *account = Account::CreateStandartAccount(uri);
    if (Account *existing = accounts().findIfEquals(account)) {
        offerDuplicate(account, existing);
        return;
    }
    qDebug() << "AccountsListModel::add append new account";
    appendAccount(account, false);
}

void AccountsListModel::addNewAccount(Account *account)
{
    if (!account) {
        return;
    }
    if (Account *existing = accounts().findIfEquals(account)) {
        offerDuplicate(account, existing);
        return;
    }
    qDebug() << "AccountsListModel::add append new account";
    appendAccount(account, true);
}

void AccountsListModel::duplicate()
{
    Account *account = m_newAccount;
    if (!account) {
        return;
    }
    m_newAccount = nullptr;
    m_existingAccount = nullptr;
    appendAccount(account, false);
}

void AccountsListModel::rewrite()
{
    Account *account = m_newAccount;
    Account *replaced = m_existingAccount;
    if (!account) {
        return;
    }
    m_newAccount = nullptr;
    m_existingAccount = nullptr;

    const int row = replaced ? accounts().ReplaceAccount(replaced, account) : -1;
    if (row < 0) {
        // The stored account was removed while the user chose: the new one simply comes in.
        appendAccount(account, true);
        return;
    }
    DataStorage::Instance()->SaveData();
    // The session serves the new account under the token id from now on.
    if (!replaced->m_address.isEmpty()) {
        m_serverManager->removeToken(replaced->m_address, replaced->m_tokenUID);
    }
    if (!account->m_address.isEmpty() && !account->m_tokenUID.isEmpty()) {
        if (VexaServer *server = m_serverManager->GetServer(account->m_address)) {
            server->put(account);
        }
    }
    releaseAccount(replaced);
    emit itemrewrited(row);
}

void AccountsListModel::remove(int id, int index)
{
    qDebug() << "Remove item for index row:" << id;
    Account *account = accounts().accountForID(id);
    if (!account) {
        return;
    }
    // The view's row may be stale; announcing another row than the one removed would make it
    // show the wrong accounts.
    const int row = accounts().indexOf(account);
    if (row != index) {
        qDebug() << "[AccountsListModel] remove: view row" << index << "is row" << row;
    }
    beginRemoveRows(QModelIndex(), row, row);
    forgetInSession(account);
    accounts().RemoveAccount(account);
    DataStorage::Instance()->SaveData();
    endRemoveRows();
    releaseAccount(account);
}

void AccountsListModel::resetAllData()
{
    const int count = rowCount();
    if (count < 1) {
        return;
    }
    QList<Account *> removed;
    beginRemoveRows(QModelIndex(), 0, count - 1);
    while (!accounts().m_accounts.isEmpty()) {
        Account *account = accounts().accountForIndex(accounts().m_accounts.size() - 1);
        forgetInSession(account);
        accounts().RemoveAccount(account);
        removed.append(account);
    }
    DataStorage::Instance()->SaveData();
    endRemoveRows();
    for (Account *account : qAsConst(removed)) {
        releaseAccount(account);
    }
}

void AccountsListModel::incrementCounter(int id, int index)
{
    Q_UNUSED(index)
    if (Account *account = accounts().accountForID(id)) {
        account->IncrementCounter();
        DataStorage::Instance()->SaveData();
    }
}

bool AccountsListModel::isEmpty()
{
    return accounts().m_accounts.isEmpty();
}

void AccountsListModel::removeTokensForAddress(QString address, QList<QString> tokenIds)
{
    VexaServer *server = m_serverManager->GetServer(address);
    if (!server) {
        qDebug() << "Server not found for address:" << address;
        return;
    }
    QList<Account *> removed;
    for (const QString &tokenId : qAsConst(tokenIds)) {
        const int row = server->findTokenIndex(tokenId);
        if (row == -1) {
            qDebug() << "Error: token not found";
            continue;
        }
        Account *account = accounts().accountForIndex(row);
        beginRemoveRows(QModelIndex(), row, row);
        m_serverManager->removeToken(address, tokenId);
        accounts().RemoveAccount(account);
        endRemoveRows();
        removed.append(account);
    }
    server->SetState(VexaServer::ONHOLD);
    DataStorage::Instance()->SaveData();
    for (Account *account : qAsConst(removed)) {
        releaseAccount(account);
    }
}

void AccountsListModel::appendAccount(Account *account, bool toSession)
{
    const int row = rowCount();
    beginInsertRows(QModelIndex(), row, row);
    accounts().AddAccount(account);
    // Not on disk is not ready: the storage tells the user instead, and keeps trying.
    const bool saved = DataStorage::Instance()->SaveData();
    if (toSession && !account->m_address.isEmpty()) {
        if (VexaServer *server = m_serverManager->GetServer(account->m_address)) {
            server->put(account);
        }
    }
    if (saved) {
        emit accountready();
    }
    endInsertRows();
}

void AccountsListModel::offerDuplicate(Account *account, Account *existing)
{
    if (m_newAccount && m_newAccount != account) {
        delete m_newAccount;
    }
    m_existingAccount = existing;
    m_newAccount = account;
    emit requestduplicate();
}

void AccountsListModel::forgetInSession(Account *account)
{
    if (VexaServer *server = m_serverManager->GetServer(account->m_address)) {
        server->removeToken(account->m_tokenUID);
    } else {
        qDebug() << "Server not found for address:" << account->m_address;
    }
}

void AccountsListModel::releaseAccount(Account *account)
{
    if (!account) {
        return;
    }
    if (account == m_existingAccount) {
        m_existingAccount = nullptr;
    }
    const AuthRequest *current = m_serverManager ? m_serverManager->GetCurrentRequest() : nullptr;
    if (current && !account->m_tokenUID.isEmpty() && current->GetTokenUID() == account->m_tokenUID &&
        current->GetAddress() == account->m_address) {
        m_retiredAccounts.append(account);
        return;
    }
    delete account;
}

void AccountsListModel::releaseRetiredAccounts()
{
    const QList<Account *> retired = m_retiredAccounts;
    m_retiredAccounts.clear();
    for (Account *account : retired) {
        releaseAccount(account);
    }
}

void AccountsListModel::acceptAuth()
{
    m_serverManager->acceptAuth();
}

void AccountsListModel::declineAuth()
{
    m_serverManager->declineAuth();
}

void AccountsListModel::finishConfirmation()
{
    m_serverManager->finishConfirmation();
    releaseRetiredAccounts();
}

void AccountsListModel::onAuthOk(QString address, bool ok)
{
    if (VexaServer *server = m_serverManager->GetServer(address)) {
        server->onAuthOk(ok);
    } else {
        qDebug() << "Server not found for address:" << address;
    }
}

void AccountsListModel::onBadReply(QString msg)
{
    qDebug() << "AccountsListModel::onBarReply badreply signal received";
    emit badreply(msg);
}

void AccountsListModel::processAuthOperation(AuthOperation *op)
{
    m_serverManager->processAuthOperation(op);
}

QString AccountsListModel::getIssuer() const
{
    const AuthRequest *request = m_serverManager->GetCurrentRequest();
    return request ? request->GetIssuer() : QString();
}

QString AccountsListModel::getRequestDate() const
{
    const AuthRequest *request = m_serverManager->GetCurrentRequest();
    return request ? request->GetDate() : QString();
}

QString AccountsListModel::getRequestTime() const
{
    const AuthRequest *request = m_serverManager->GetCurrentRequest();
    return request ? request->GetTime() : QString();
}

QString AccountsListModel::getMetadata() const
{
    const AuthRequest *request = m_serverManager->GetCurrentRequest();
    return request ? request->GetMetadata() : QString();
}

bool AccountsListModel::getLockedOTP() const
{
    const AuthRequest *request = m_serverManager->GetCurrentRequest();
    return request && request->IsLockedOTP();
}

int AccountsListModel::getTimeout() const
{
    const AuthRequest *request = m_serverManager->GetCurrentRequest();
    return request ? request->GetTimeout() : 0;
}

void AccountsListModel::insertPush(Aurora::PushNotifications::Push push)
{
    Q_UNUSED(push)
}

void AccountsListModel::onHttpResult(HttpResult *result)
{
    qDebug() << "[AccountsListModel] onHttpResult";
    if (!result) {
        return;
    }
    OperationRequest *operation = result->operation;
    result->operation = nullptr;
    if (!operation) {
        qDebug() << "[AccountsListModel] null pointer for operation";
    } else if (!m_closing) {
        qDebug() << "[AccountsListModel] DoOperation";
        // Update and removed-token replies judge their error themselves; the others only report it.
        const OperationRequest::OperationType type = operation->m_operationType;
        if (result->errorCode != HttpResult::ErrorNone && type != OperationRequest::AuthOp &&
            type != OperationRequest::DeleteAccountsOp) {
            onBadReply(result->message);
        } else {
            operation->DoOperation(this);
        }
    }
    delete operation;
    delete result;
}

void AccountsListModel::onRequestConfirmation(AuthRequest *request)
{
    qDebug() << "AccountsListModel::onRequestConfirmation password locked:"
             << (request && request->IsLockedOTP());
    emit requestconfirmation();
}

void AccountsListModel::onCancelConfirmation()
{
    emit cancelconfirmation();
}

void AccountsListModel::onConfirmationStatusChanged(Account::ConfirmationStatus status)
{
    if (status == Account::ConfirmationAccepted) {
        emit accepted();
    } else if (status == Account::ConfirmationDeclined) {
        emit declined();
    }
}
