#include "models/accountslistmodel.h"

#include "accounts/datastorage.h"
#include "backup/aegisvault.h"
#include "backup/backupentry.h"
#include "backup/backupfile.h"
#include "backup/migrationcodes.h"
#include "backup/otpauthurilist.h"
#include "models/qrcodescannermodel.h"
#include "otp/otpauthuri.h"
#include "protocol/accepttokenoperation.h"
#include "protocol/authoperation.h"
#include "protocol/authrequest.h"
#include "protocol/declinetokenoperation.h"
#include "protocol/httpresult.h"
#include "protocol/operationrequest.h"
#include "servers/servermanager.h"
#include "servers/vexaserver.h"

#include <QCoreApplication>
#include <QDebug>
#include <QRandomGenerator>

namespace {

const char TICKET_INCOMPLETE_MESSAGE[] = QT_TRANSLATE_NOOP(
    "AccountsListModel",
    "Невозможно зарегистрировать аккаунт: в QR-коде нет адреса сервера или идентификатора запроса.");
const char REMOVED_BY_SERVER_MESSAGE[] = QT_TRANSLATE_NOOP(
    "AccountsListModel", "Сервер %1 сообщил, что эти аккаунты больше не действуют, и они удалены: %2.");
// What that message shows of names and addresses, which came from a server.
const int MAX_SHOWN_NAME = 64;
const int MAX_SHOWN_ADDRESS = 128;
const int MAX_LISTED_ACCOUNTS = 10;

AccountsData &accounts()
{
    return DataStorage::Instance()->m_accountsData;
}

// The models of the process; they share the collection.
QList<AccountsListModel *> &liveModels()
{
    static QList<AccountsListModel *> models;
    return models;
}

// Accounts out of the collection that the current confirmation of some model still names.
QList<Account *> &retiredAccounts()
{
    static QList<Account *> retired;
    return retired;
}

QString bounded(const QString &text, int length)
{
    if (text.size() <= length) {
        return text;
    }
    int kept = length - 1;
    if (text.at(kept - 1).isHighSurrogate()) {
        --kept;
    }
    return text.left(kept) + QChar(0x2026);
}

QString removedByServerMessage(const QString &address, const QList<Account *> &removed)
{
    QStringList names;
    for (const Account *account : removed) {
        if (names.size() == MAX_LISTED_ACCOUNTS) {
            names << AccountsListModel::tr("и ещё %1").arg(removed.size() - MAX_LISTED_ACCOUNTS);
            break;
        }
        const QString issuer = bounded(account->m_issuer, MAX_SHOWN_NAME);
        const QString user = bounded(account->m_user, MAX_SHOWN_NAME);
        names << (issuer.isEmpty() && user.isEmpty()   ? AccountsListModel::tr("без названия")
                  : issuer.isEmpty() || user.isEmpty() ? issuer + user
                                                       : issuer + " (" + user + ")");
    }
    return AccountsListModel::tr(REMOVED_BY_SERVER_MESSAGE)
        .arg(bounded(address, MAX_SHOWN_ADDRESS), names.join(QStringLiteral("; ")));
}

const char UNKNOWN_FORMAT[] = QT_TRANSLATE_NOOP("AccountsListModel", "Неизвестный формат файла.");
const char NOTHING_TO_EXPORT[] =
    QT_TRANSLATE_NOOP("AccountsListModel", "Нет аккаунтов, которые можно экспортировать.");
const char URIS_NOT_ENCRYPTED[] = QT_TRANSLATE_NOOP(
    "AccountsListModel", "Список ссылок не шифруется: уберите пароль или выберите формат Aegis.");
const char ENCRYPTION_FAILED[] = QT_TRANSLATE_NOOP("AccountsListModel", "Не удалось зашифровать файл.");

// A QR code holds at most about 3 KB; longer texts in a file are no account.
const int MAX_IMPORTED_URI = 4096;

// An imported account passes what a scanned one passes: an OTP URI that parses, a Base32 secret
// and an account that makes codes.
bool usableImport(const QString &uri, const Account &account)
{
    const OTPAuthURI parsed(uri.toUtf8().toStdString());
    BackupEntry entry;
    return uri.size() <= MAX_IMPORTED_URI && parsed.isValid() &&
           (parsed.type() == OTPAuthURI::TOTP || parsed.type() == OTPAuthURI::HOTP) &&
           BackupEntry::fromAccount(account, &entry) && account.m_otpToken.isValid();
}

QList<BackupEntry> exportEntries(bool migration)
{
    QList<BackupEntry> entries;
    for (const Account *account : qAsConst(accounts().m_accounts)) {
        BackupEntry entry;
        if (BackupEntry::fromAccount(*account, &entry) && (!migration || MigrationCodes::canCarry(entry))) {
            entries << entry;
        }
    }
    return entries;
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
    liveModels().removeOne(this);
    // The manager joins its threads; results it forwarded meanwhile are still queued here and
    // are freed without being carried out against a model that is going away.
    delete m_serverManager;
    m_serverManager = nullptr;
    m_closing = true;
    QCoreApplication::sendPostedEvents(this, QEvent::MetaCall);
    // This model's confirmation no longer holds them back.
    releaseRetiredAccounts();
    // A new account the user never kept is not in the collection.
    delete m_newAccount;
    m_newAccount = nullptr;
}

void AccountsListModel::Initialize()
{
    connect(m_serverManager, &ServerManager::requestConfirmation, this,
            &AccountsListModel::onRequestConfirmation);
    connect(m_serverManager, &ServerManager::cancelConfirmation, this,
            &AccountsListModel::onCancelConfirmation);
    connect(m_serverManager, &ServerManager::newConfirmationStatus, this,
            &AccountsListModel::onConfirmationStatusChanged);
    connect(m_serverManager, &ServerManager::httpresult, this, &AccountsListModel::onHttpResult,
            Qt::QueuedConnection);
    liveModels().append(this);
    // Queued: the view connects to badreply only once the model is made.
    const auto tellUser = [this](const QString &message) {
        if (!m_closing) {
            tell(message);
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
    if (MigrationCodes::isMigrationText(uri)) {
        const ImportResult result = MigrationCodes::read(uri);
        if (!result.error.isEmpty()) {
            tell(result.error);
            return;
        }
        emit importsummary(addImported(result).value("message").toString());
        return;
    }
    const OTPAuthURI parsed(uri.toUtf8().toStdString());
    if (parsed.type() == OTPAuthURI::OrbTicket) {
        const QString address = ticketParam(parsed, "address");
        // Without an address there is no server to ask, without a request id nothing to ask for.
        if (address.isEmpty() || ticketParam(parsed, "reqID").isEmpty()) {
            qDebug() << "AccountsListModel::add ticket without address or reqID";
            tell(tr(TICKET_INCOMPLETE_MESSAGE));
            return;
        }
        if (!m_serverManager->GetServer(address)) {
            m_serverManager->CreateNewServer(address);
        }
        VexaServer *server = m_serverManager->GetServer(address);
        if (!server || !server->beginRegisterAccount(parsed)) {
            tell(tr(TICKET_INCOMPLETE_MESSAGE));
        }
        return;
    }

    // Parameters that can never give a right code are refused, not saved.
    const QString unusable = QRCodeScannerModel::unusableMessage(parsed);
    if (!unusable.isEmpty()) {
        tell(unusable);
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
    // A failure is told by the storage, which keeps trying.
    DataStorage::Instance()->SaveData();
    // The sessions serve the new account under the token id from now on.
    if (!replaced->m_address.isEmpty()) {
        forgetEverywhere(replaced);
    }
    if (!account->m_tokenUID.isEmpty()) {
        putInSessions(account);
    }
    releaseAccount(replaced);
    for (AccountsListModel *model : qAsConst(liveModels())) {
        if (model != this) {
            emit model->dataChanged(model->index(row), model->index(row));
        }
    }
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
    beginRowRemoval(row, row);
    forgetEverywhere(account);
    accounts().RemoveAccount(account);
    DataStorage::Instance()->SaveData();
    endRowRemoval();
    releaseAccount(account);
}

void AccountsListModel::resetAllData()
{
    const int count = rowCount();
    if (count < 1) {
        return;
    }
    QList<Account *> removed;
    beginRowRemoval(0, count - 1);
    while (!accounts().m_accounts.isEmpty()) {
        Account *account = accounts().accountForIndex(accounts().m_accounts.size() - 1);
        forgetEverywhere(account);
        accounts().RemoveAccount(account);
        removed.append(account);
    }
    DataStorage::Instance()->SaveData();
    endRowRemoval();
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
        beginRowRemoval(row, row);
        forgetEverywhere(account);
        accounts().RemoveAccount(account);
        endRowRemoval();
        removed.append(account);
    }
    server->SetState(VexaServer::ONHOLD);
    // The server decides about its tokens, but OTP secrets go with them: the user is told.
    if (!removed.isEmpty()) {
        DataStorage::Instance()->SaveData();
        tell(removedByServerMessage(address, removed));
    }
    for (Account *account : qAsConst(removed)) {
        releaseAccount(account);
    }
}

void AccountsListModel::appendAccount(Account *account, bool toSession)
{
    const int row = rowCount();
    beginRowInsertion(row);
    accounts().AddAccount(account);
    // Not on disk is not ready: the storage tells the user instead, and keeps trying.
    const bool saved = DataStorage::Instance()->SaveData();
    if (toSession) {
        putInSessions(account);
    }
    if (saved) {
        emit accountready();
    }
    endRowInsertion();
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

void AccountsListModel::beginRowInsertion(int row)
{
    for (AccountsListModel *model : qAsConst(liveModels())) {
        model->beginInsertRows(QModelIndex(), row, row);
    }
}

void AccountsListModel::endRowInsertion()
{
    for (AccountsListModel *model : qAsConst(liveModels())) {
        model->endInsertRows();
    }
}

void AccountsListModel::beginRowRemoval(int first, int last)
{
    for (AccountsListModel *model : qAsConst(liveModels())) {
        model->beginRemoveRows(QModelIndex(), first, last);
    }
}

void AccountsListModel::endRowRemoval()
{
    for (AccountsListModel *model : qAsConst(liveModels())) {
        model->endRemoveRows();
    }
}

void AccountsListModel::forgetEverywhere(Account *account)
{
    forgetInSession(account);
    for (AccountsListModel *model : qAsConst(liveModels())) {
        if (model != this) {
            model->m_serverManager->removeToken(account->m_address, account->m_tokenUID);
        }
    }
}

void AccountsListModel::putInSessions(Account *account)
{
    if (account->m_address.isEmpty()) {
        return;
    }
    for (AccountsListModel *model : qAsConst(liveModels())) {
        if (VexaServer *server = model->m_serverManager->GetServer(account->m_address)) {
            server->put(account);
        }
    }
}

void AccountsListModel::releaseAccount(Account *account)
{
    if (!account) {
        return;
    }
    bool named = false;
    for (AccountsListModel *model : qAsConst(liveModels())) {
        if (model->m_existingAccount == account) {
            model->m_existingAccount = nullptr;
        }
        const AuthRequest *current =
            model->m_serverManager ? model->m_serverManager->GetCurrentRequest() : nullptr;
        named = named ||
                (current && !account->m_tokenUID.isEmpty() && current->GetTokenUID() == account->m_tokenUID &&
                 current->GetAddress() == account->m_address);
    }
    if (named) {
        retiredAccounts().append(account);
    } else {
        delete account;
    }
}

void AccountsListModel::releaseRetiredAccounts()
{
    const QList<Account *> retired = retiredAccounts();
    retiredAccounts().clear();
    for (Account *account : retired) {
        releaseAccount(account);
    }
}

QVariantMap AccountsListModel::importBackup(const QString &path, const QString &password)
{
    const ImportResult result = BackupFile::read(path, password);
    if (!result.error.isEmpty()) {
        qDebug() << "[AccountsListModel] import refused:" << result.error;
        return {
            {"imported", 0}, {"duplicates", 0}, {"unsupported", 0}, {"error", result.error}, {"message", ""}};
    }
    return addImported(result);
}

QString AccountsListModel::exportBackup(const QString &path, const QString &password, const QString &format)
{
    if (format != "aegis" && format != "uris") {
        return tr(UNKNOWN_FORMAT);
    }
    if (format == "uris" && !password.isEmpty()) {
        return tr(URIS_NOT_ENCRYPTED);
    }
    const QList<BackupEntry> entries = exportEntries(false);
    if (entries.isEmpty()) {
        return tr(NOTHING_TO_EXPORT);
    }
    const QByteArray content =
        format == "aegis" ? AegisVault::write(entries, password) : OtpauthUriList::write(entries);
    if (content.isEmpty()) {
        return tr(ENCRYPTION_FAILED);
    }
    const QString error = BackupFile::write(path, content);
    qDebug() << "[AccountsListModel] export of" << entries.size() << "accounts as" << format
             << (password.isEmpty() ? "plain" : "encrypted") << (error.isEmpty() ? "written" : "failed");
    return error;
}

QString AccountsListModel::exportNotice(const QString &format)
{
    int push = 0;
    int unusable = 0;
    int untransferable = 0;
    for (const Account *account : qAsConst(accounts().m_accounts)) {
        BackupEntry entry;
        if (account->m_tokenType == Account::TokenPushAuth) {
            ++push;
        } else if (!BackupEntry::fromAccount(*account, &entry)) {
            ++unusable;
        } else if (format == "migration" && !MigrationCodes::canCarry(entry)) {
            ++untransferable;
        }
    }
    QStringList parts;
    if (push > 0) {
        parts << tr("Аккаунты подтверждения входа не переносятся (%1): они привязаны к этому устройству "
                    "и его регистрации на сервере.")
                     .arg(push);
    }
    if (unusable > 0) {
        parts << tr("Аккаунты без действующих кодов пропущены (%1).").arg(unusable);
    }
    if (untransferable > 0) {
        parts << tr("Аккаунты с периодом не 30 секунд или с числом цифр не 6 и не 8 не помещаются в коды "
                    "переноса (%1): перенесите их файлом.")
                     .arg(untransferable);
    }
    return parts.join(' ');
}

QStringList AccountsListModel::migrationCodes()
{
    // Any id will do as long as all codes of one transfer share it.
    const int batchId = static_cast<int>(QRandomGenerator::system()->bounded(1, 0x7fffffff));
    return MigrationCodes::write(exportEntries(true), batchId);
}

QString AccountsListModel::accountUri(int id)
{
    const Account *account = accounts().accountForID(id);
    BackupEntry entry;
    return account && BackupEntry::fromAccount(*account, &entry) ? entry.toUri() : QString();
}

QVariantMap AccountsListModel::addImported(const ImportResult &result)
{
    int imported = 0;
    int duplicates = 0;
    int unsupported = result.unsupported;
    for (const QString &uri : result.uris) {
        Account *account = Account::CreateStandartAccount(uri);
        if (!usableImport(uri, *account)) {
            delete account;
            ++unsupported;
            continue;
        }
        if (accounts().findIfEquals(account)) {
            delete account;
            ++duplicates;
            continue;
        }
        const int row = rowCount();
        beginRowInsertion(row);
        accounts().AddAccount(account);
        endRowInsertion();
        ++imported;
    }
    if (imported > 0) {
        DataStorage::Instance()->SaveData();
    }
    qDebug() << "[AccountsListModel] import:" << imported << "added," << duplicates << "present,"
             << unsupported << "not supported";
    QString message = tr("Импортировано аккаунтов: %1. Уже были в списке: %2. Не поддерживаются: %3.")
                          .arg(imported)
                          .arg(duplicates)
                          .arg(unsupported);
    if (result.batchSize > 1) {
        message = tr("Код переноса %1 из %2. ").arg(result.batchIndex + 1).arg(result.batchSize) + message;
    }
    return {{"imported", imported},
            {"duplicates", duplicates},
            {"unsupported", unsupported},
            {"error", QString()},
            {"message", message}};
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

bool AccountsListModel::rename(int id, const QString &issuer, const QString &user)
{
    Account *account = accounts().accountForID(id);
    if (!account || !account->Rename(issuer, user)) {
        return false;
    }
    // A failure is told by the storage, which keeps trying.
    DataStorage::Instance()->SaveData();
    const int row = accounts().indexOf(account);
    for (AccountsListModel *model : qAsConst(liveModels())) {
        emit model->dataChanged(model->index(row), model->index(row), {RoleIssuer, RoleUser});
        // A shown request took the issuer when it came; it names the account as it is now.
        AuthRequest *request = model->m_serverManager->GetCurrentRequest();
        if (request && !account->m_tokenUID.isEmpty() && request->GetTokenUID() == account->m_tokenUID &&
            request->GetAddress() == account->m_address) {
            request->SetIssuer(issuer);
            emit model->issuerChanged();
        }
    }
    return true;
}

bool AccountsListModel::move(int from, int to)
{
    const int count = rowCount();
    if (from == to || from < 0 || to < 0 || from >= count || to >= count) {
        return false;
    }
    // Every model shows the one collection. Qt counts the destination before the move: one past
    // `to` when moving down.
    const QList<AccountsListModel *> models = liveModels();
    for (AccountsListModel *model : models) {
        model->beginMoveRows(QModelIndex(), from, from, QModelIndex(), to > from ? to + 1 : to);
    }
    accounts().Move(from, to);
    DataStorage::Instance()->SaveData();
    for (AccountsListModel *model : models) {
        model->endMoveRows();
        // The colour follows the row number.
        emit model->dataChanged(model->index(qMin(from, to)), model->index(qMax(from, to)), {RoleColor});
    }
    return true;
}

QString AccountsListModel::nextPassword(int row, int withinSeconds)
{
    Account *account = accounts().accountForIndex(row);
    if (!account || account->m_tokenType != Account::TokenTOTP || account->GetTimeout() > withinSeconds) {
        return QString();
    }
    return account->NextPassword();
}

void AccountsListModel::onAuthOk(QString address, QString sessionID, bool ok)
{
    if (VexaServer *server = m_serverManager->GetServer(address)) {
        server->onAuthOk(sessionID, ok);
    } else {
        qDebug() << "Server not found for address:" << address;
    }
}

void AccountsListModel::onBadReply(QString msg)
{
    qDebug() << "AccountsListModel::onBarReply badreply signal received";
    emit badreply(msg, true);
}

void AccountsListModel::tell(const QString &message)
{
    emit badreply(message, false);
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

QString AccountsListModel::getRequestUser() const
{
    const AuthRequest *request = m_serverManager->GetCurrentRequest();
    if (!request) {
        return QString();
    }
    for (const Account *account : qAsConst(accounts().m_accounts)) {
        if (account->m_tokenUID == request->GetTokenUID() && account->m_address == request->GetAddress()) {
            return account->m_user;
        }
    }
    return QString();
}

QString AccountsListModel::getDuplicateIssuer() const
{
    return getDuplicateRow() >= 0 ? m_existingAccount->m_issuer : QString();
}

QString AccountsListModel::getDuplicateUser() const
{
    return getDuplicateRow() >= 0 ? m_existingAccount->m_user : QString();
}

int AccountsListModel::getDuplicateRow() const
{
    return m_newAccount && m_existingAccount ? accounts().indexOf(m_existingAccount) : -1;
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
        const bool answer =
            type == OperationRequest::AcceptTokenOp || type == OperationRequest::DeclineTokenOp;
        if (result->errorCode != HttpResult::ErrorNone && answer) {
            // Each error goes to its own flow; one for an answer to a request no longer shown is
            // nobody's any more.
            if (answersCurrentRequest(operation)) {
                emit confirmationerror(result->message);
            } else {
                qDebug() << "[AccountsListModel] error reply for an answer no longer shown, dropped";
            }
        } else if (result->errorCode != HttpResult::ErrorNone && type != OperationRequest::AuthOp &&
                   type != OperationRequest::DeleteAccountsOp) {
            onBadReply(result->message);
        } else {
            operation->DoOperation(this);
        }
    }
    delete operation;
    delete result;
}

bool AccountsListModel::answersCurrentRequest(const OperationRequest *operation) const
{
    const AuthRequest *current = m_serverManager->GetCurrentRequest();
    QString sessionID;
    if (const auto *accepted = dynamic_cast<const AcceptTokenOperation *>(operation)) {
        sessionID = accepted->GetSessionID();
    } else if (const auto *declined = dynamic_cast<const DeclineTokenOperation *>(operation)) {
        sessionID = declined->GetSessionID();
    }
    return current && current->GetAddress() == operation->m_address && current->GetSessionID() == sessionID;
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
