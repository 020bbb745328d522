#include "servers/vexaserver.h"

#include "accounts/authaccount.h"
#include "accounts/datastorage.h"
#include "otp/otpauthuri.h"
#include "protocol/authoperation.h"
#include "protocol/authrequest.h"
#include "protocol/httpclientprocess.h"
#include "protocol/operationrequest.h"
#include "protocol/request.h"

#include <QCryptographicHash>
#include <QDebug>
#include <QLocale>
#include <QMessageAuthenticationCode>
#include <QMetaEnum>
#include <QMutexLocker>

VexaServer::VexaServer(QObject *parent)
    : QObject(parent)
{
}

VexaServer::~VexaServer()
{
    delete m_currentRequest;
}

void VexaServer::Init(HttpClientProcess *process, QString address)
{
    QMutexLocker locker(&m_lock);
    delete m_currentRequest;
    m_currentRequest = nullptr;
    m_address = address;
    m_httpProcess = process;
}

void VexaServer::put(Account *account)
{
    if (!account) {
        return;
    }
    QMutexLocker locker(&m_lock);
    const QString key = account->m_tokenUID;
    if (m_accounts.contains(key)) {
        return;
    }
    const bool first = m_accounts.isEmpty();
    m_accounts.insert(key, account);
    m_tokens.append(key);
    if (account->m_tokenType == Account::TokenPushAuth) {
        m_authTokens.append(key);
        if (auto *auth = dynamic_cast<AuthAccount *>(account)) {
            m_notificationTokens.insert(key, auth->m_notificationToken);
        }
    }
    locker.unlock();
    // A registration's account arrives after its reply re-armed the worker; a tick in between
    // (the GUI thread held up longer than an interval) found no account and ended the chain.
    if (first) {
        emit accountsArrived();
    }
}

void VexaServer::removeToken(QString tokenId)
{
    QMutexLocker locker(&m_lock);
    m_tokens.removeOne(tokenId);
    m_authTokens.removeOne(tokenId);
    m_accounts.remove(tokenId);
    m_notificationTokens.remove(tokenId);
}

int VexaServer::findTokenIndex(QString tokenId)
{
    Account *account = nullptr;
    {
        QMutexLocker locker(&m_lock);
        account = m_accounts.value(tokenId, nullptr);
    }
    if (!account) {
        return -1;
    }
    return DataStorage::Instance()->m_accountsData.indexOf(account);
}

void VexaServer::getRemovedTokens()
{
    Request *request = nullptr;
    {
        QMutexLocker locker(&m_lock);
        if (m_accounts.isEmpty()) {
            return;
        }
        request = Request::CreateGetRemovedTokensRequest(m_address, m_tokens);
        m_state = PROCESS_REMOVE_TOKENS;
    }
    send(request);
}

bool VexaServer::beginRegisterAccount(const OTPAuthURI &uri)
{
    const auto &params = uri.params();
    const auto address = params.find("address");
    const auto reqID = params.find("reqID");
    if (address == params.end() || reqID == params.end() || address->second.empty() ||
        reqID->second.empty()) {
        qDebug() << "[VexaServer] ticket without address or reqID, nothing registered";
        return false;
    }
    Request *request = Request::CreateActivateOrbRequest(
        QString::fromStdString(address->second), QString::fromStdString(reqID->second),
        QString::fromStdString(uri.pin()), QLocale::system().bcp47Name(), QString::fromStdString(uri.key()));
    send(request);
    return true;
}

bool VexaServer::updateAccounts()
{
    qDebug() << "updateAccounts iteration for server:" << m_address;
    Request *request = nullptr;
    {
        QMutexLocker locker(&m_lock);
        if (m_state != PROCESS_AUTH && m_state != ONHOLD) {
            return false;
        }
        if (m_accounts.isEmpty()) {
            return true;
        }
        QList<NotificationToken> records;
        records.reserve(m_authTokens.size());
        for (const QString &id : qAsConst(m_authTokens)) {
            records.append(m_notificationTokens.value(id));
        }
        request = Request::CreateUpdateTokensRequest(m_address, records);
        if (m_state != PROCESS_AUTH) {
            m_state = PROCESS;
        }
    }
    send(request);
    qDebug() << "updateAccounts iteration ends";
    return true;
}

void VexaServer::onHttpResult(HttpResult *result)
{
    OperationRequest *op = result ? result->operation : nullptr;
    if (!op) {
        return;
    }
    qDebug() << "onHttpResult for server:" << op->m_address;
    if (op->m_address != m_address) {
        return;
    }
    switch (op->m_operationType) {
    case OperationRequest::RegisterAccountOp:
    case OperationRequest::AuthOp:
    case OperationRequest::DeleteAccountsOp:
        SyncNotificationTokens();
        qDebug() << "emit replyReceived";
        emit replyReceived();
        break;
    default:
        break;
    }
    emit httpresult(result);
}

void VexaServer::onAuthOperation(AuthOperation *op)
{
    if (!op) {
        return;
    }
    qDebug() << "onUpdateTokensReply enter";
    AuthRequest *offered = nullptr;
    bool cancel = false;
    {
        QMutexLocker locker(&m_lock);
        recordNetworkStatusLocked(op->m_errorCode);
        if (m_errorCode != HttpResult::ErrorNone) {
            if (m_state != PROCESS_AUTH) {
                m_state = ONHOLD;
                return;
            }
            cancel = true;
        } else {
            if (!m_currentRequest) {
                // A request for a token this session does not hold cannot be answered (there is
                // no key to sign with), so the first one it can answer is offered.
                AuthRequest *first = nullptr;
                Account *account = nullptr;
                for (AuthRequest *request : op->GetRequests()) {
                    account = m_accounts.value(request->GetTokenUID(), nullptr);
                    if (account) {
                        first = request;
                        break;
                    }
                }
                if (!first) {
                    m_state = ONHOLD;
                    return;
                }
                first->SetIssuer(account->m_issuer);
                first->SetLockedOTP(account->m_lockedOTP);
                first->SetTimeout(account->GetTimeout());
                m_currentRequest = op->TakeRequest(first);
                m_state = PROCESS_AUTH;
                offered = m_currentRequest;
                qDebug() << "Request time: " << offered->GetTime()
                         << ", request date: " << offered->GetDate();
            } else if (!op->FindSessionRequest(m_currentRequest->GetTokenUID(),
                                               m_currentRequest->GetSessionID())) {
                // Withdrawn at the server, even when a newer login of the same token waits: that
                // one is offered once the view has finished this one.
                cancel = true;
            }
        }
    }
    if (offered) {
        emit requestConfirmation(offered);
    } else if (cancel) {
        emit cancelConfirmation();
    }
}

void VexaServer::onAuthOperationIgnored(AuthOperation *op)
{
    if (!op) {
        return;
    }
    qDebug() << "[VexaServer] update reply not evaluated while another confirmation is shown:" << m_address;
    QMutexLocker locker(&m_lock);
    recordNetworkStatusLocked(op->m_errorCode);
    if (m_state == PROCESS && !m_answerInFlight) {
        m_state = ONHOLD;
    }
}

void VexaServer::recordNetworkStatusLocked(HttpResult::ErrorCode code)
{
    m_errorCode = code;
    if (code != HttpResult::ErrorNone) {
        qDebug() << "[VexaServer] receive error: UnknownNetworkError";
        qDebug() << "switch network status to NW_DISCONNECTED";
        m_networkStatus = NW_DISCONNECTED;
    } else {
        qDebug() << "switch network status to NW_CONNECTED";
        m_networkStatus = NW_CONNECTED;
    }
}

void VexaServer::sendAnswer(bool accept)
{
    QString tokenUID;
    QString sessionID;
    Account *account = nullptr;
    {
        QMutexLocker locker(&m_lock);
        if (!m_currentRequest) {
            qDebug() << "m_currentRequest nullptr";
        } else {
            qDebug() << "m_currentRequest prepare http request";
            tokenUID = m_currentRequest->GetTokenUID();
            sessionID = m_currentRequest->GetSessionID();
            account = m_accounts.value(tokenUID, nullptr);
        }
    }
    if (m_currentRequest && !account) {
        // Removed meanwhile: there is no key to sign with. The view closes the dialog and
        // finishes the confirmation as for a withdrawn request.
        qDebug() << "[VexaServer] the account of the current request is gone, no answer sent";
        emit cancelConfirmation();
        return;
    }
    Request *request = nullptr;
    if (account) {
        // Accounts are used and deleted on the GUI thread only, and this runs there: the pointer
        // stays valid without the lock, and the code is computed outside it.
        QString message = account->m_tokenUID + QLatin1Char(':') + sessionID + QLatin1Char(':');
        QString password;
        if (accept) {
            // The shown code may belong to an earlier period when the view has not read it for
            // a while; the server checks the current one.
            account->UpdatePass();
            password = account->getPassword();
            message += QStringLiteral("true:") + password;
        } else {
            message += QStringLiteral("false");
        }
        const QString signature =
            QString::fromLatin1(QMessageAuthenticationCode::hash(
                                    message.toUtf8(), account->m_authKey.toUtf8(), QCryptographicHash::Sha256)
                                    .toBase64());
        request = accept
                      ? Request::CreateAcceptTokenRequest(m_address, tokenUID, password, sessionID, signature)
                      : Request::CreateDeclineTokenRequest(m_address, tokenUID, sessionID, signature);
        QMutexLocker locker(&m_lock);
        m_state = PROCESS;
        m_answerInFlight = true;
    }
    if (request) {
        send(request);
    }
}

void VexaServer::onAcceptAuth()
{
    sendAnswer(true);
    qDebug() << "{VexaServer] acceptAuth";
}

void VexaServer::onDeclineAuth()
{
    sendAnswer(false);
    qDebug() << "{VexaServer] declineAuth";
}

void VexaServer::onAuthOk(const QString &sessionID, bool ok)
{
    {
        QMutexLocker locker(&m_lock);
        // The view may finish a confirmation while its answer is on the way, and a newer request
        // may be shown by the time the reply comes: the reply is not that request's outcome.
        if (!m_currentRequest || !m_answerInFlight || m_currentRequest->GetSessionID() != sessionID) {
            qDebug() << "[VexaServer] reply for an answer to a request no longer shown, ignored";
            return;
        }
        if (ok) {
            qDebug() << "Auth accepted";
            if (Account *account = m_accounts.value(m_currentRequest->GetTokenUID(), nullptr)) {
                account->m_lockedOTP = true;
            }
        } else {
            qDebug() << "Auth declined";
        }
        m_state = ONHOLD;
        m_answerInFlight = false;
    }
    qDebug() << "{VexaServer] Auth accept result:" << (ok ? "true" : "false");
    // Last: a receiver may end the confirmation right away.
    emit newConfirmationStatus(ok ? Account::ConfirmationAccepted : Account::ConfirmationDeclined);
}

void VexaServer::finishConfirmation()
{
    QMutexLocker locker(&m_lock);
    delete m_currentRequest;
    m_currentRequest = nullptr;
    m_state = ONHOLD;
    m_answerInFlight = false;
}

void VexaServer::onReplyError(QNetworkReply::NetworkError error)
{
    qDebug() << "[VexaServer] receive error:"
             << QMetaEnum::fromType<QNetworkReply::NetworkError>().valueToKey(error);
    QMutexLocker locker(&m_lock);
    m_state = ONHOLD;
}

QString VexaServer::GetServerErrorMessage() const
{
    switch (GetErrorCode()) {
    case HttpResult::ErrorNone:
        return QStringLiteral("Нет ошибки!");
    case HttpResult::ErrorProtocol:
    case HttpResult::ErrorServer:
        return QStringLiteral("Ошибка при регистрации аккаунта!");
    case HttpResult::ErrorConnection:
        return QStringLiteral("Не удалось установить соединение с сервером!");
    case HttpResult::ErrorUnknown:
        return QStringLiteral("Неизвестная сетевая ошибка!");
    default:
        return QStringLiteral("Неизвестная ошибка!");
    }
}

QString VexaServer::GetServerStateName() const
{
    switch (GetState()) {
    case UNDEF:
        return QStringLiteral("UNDEF");
    case PROCESS:
        return QStringLiteral("PROCESS");
    case PROCESS_REMOVE_TOKENS:
        return QStringLiteral("PROCESS_REMOVE_TOKENS");
    case PROCESS_AUTH:
        return QStringLiteral("PROCESS_AUTH");
    default:
        return QStringLiteral("ONHOLD");
    }
}

VexaServer::ServerState VexaServer::GetState() const
{
    QMutexLocker locker(&m_lock);
    return m_state;
}

void VexaServer::SetState(VexaServer::ServerState state)
{
    QMutexLocker locker(&m_lock);
    m_state = state;
}

VexaServer::NetworkStatus VexaServer::GetNetworkStatus() const
{
    QMutexLocker locker(&m_lock);
    return m_networkStatus;
}

HttpResult::ErrorCode VexaServer::GetErrorCode() const
{
    QMutexLocker locker(&m_lock);
    return m_errorCode;
}

QList<QString> VexaServer::GetTokens() const
{
    QMutexLocker locker(&m_lock);
    return m_tokens;
}

bool VexaServer::HasToken(const QString &tokenId) const
{
    QMutexLocker locker(&m_lock);
    return m_accounts.contains(tokenId);
}

void VexaServer::SyncNotificationTokens()
{
    QMutexLocker locker(&m_lock);
    for (const QString &id : qAsConst(m_authTokens)) {
        if (auto *auth = dynamic_cast<AuthAccount *>(m_accounts.value(id, nullptr))) {
            m_notificationTokens.insert(id, auth->m_notificationToken);
        }
    }
}

void VexaServer::send(Request *request)
{
    if (m_httpProcess) {
        emit m_httpProcess->sendRequest(request);
    } else {
        delete request;
    }
}
