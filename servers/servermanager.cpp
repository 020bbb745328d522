#include "servers/servermanager.h"

#include "accounts/authaccount.h"
#include "accounts/datastorage.h"
#include "protocol/authoperation.h"
#include "protocol/authrequest.h"
#include "protocol/httpclient.h"
#include "protocol/httpclientprocess.h"
#include "protocol/httpresult.h"
#include "protocol/operationrequest.h"
#include "protocol/request.h"
#include "servers/vexaserver.h"
#include "servers/vexaserverprocess.h"

#include <QCoreApplication>
#include <QDebug>
#include <QThread>
#include <atomic>

namespace {
std::atomic<int> s_defaultPollIntervalMs{VexaServerProcess::POLL_INTERVAL_MS};
}

void ServerManager::SetDefaultPollIntervalForTests(int ms)
{
    s_defaultPollIntervalMs = ms > 0 ? ms : VexaServerProcess::POLL_INTERVAL_MS;
}

ServerManager::ServerManager(QObject *parent, int pollIntervalMs)
    : QObject(parent)
    , m_pollIntervalMs(pollIntervalMs > 0 ? pollIntervalMs : s_defaultPollIntervalMs.load())
{
    // Pointers cross threads in queued connections.
    qRegisterMetaType<HttpResult *>("HttpResult*");
    qRegisterMetaType<Request *>("Request*");
    InitHttpProcess();
}

ServerManager::~ServerManager()
{
    m_shuttingDown = true;

    // Workers first, so that nothing hands the transport a new request afterwards.
    emit stopAll();
    for (QThread *thread : qAsConst(m_threads)) {
        thread->quit();
        thread->wait();
        delete thread;
    }
    m_threads.clear();
    m_servers.clear();
    m_pendingStarts.clear();
    m_currentRequest = nullptr;
    qDeleteAll(m_sessions);
    m_sessions.clear();

    if (m_httpProcess) {
        // A barrier: every request handed over so far has reached the client, which owns it
        // from then on; a request still in the event queue would be lost with the queue.
        QMetaObject::invokeMethod(
            m_httpProcess, [] {}, Qt::BlockingQueuedConnection);
        m_httpProcess->deleteLater();
        m_httpThread->quit();
        m_httpThread->wait();
        delete m_httpThread;
        m_httpThread = nullptr;
        m_httpProcess = nullptr;
    }
    // Results the HTTP thread queued to this manager before it ended.
    QCoreApplication::sendPostedEvents(this, QEvent::MetaCall);
}

void ServerManager::InitHttpProcess()
{
    m_httpProcess = new HttpClientProcess(nullptr);
    m_httpThread = new QThread();
    m_httpProcess->moveToThread(m_httpThread);
    connect(m_httpProcess, &HttpClientProcess::finished, m_httpThread, &QThread::quit);
    connect(this, &ServerManager::stopAll, m_httpProcess, &HttpClientProcess::stop);
    connect(m_httpProcess, &HttpClientProcess::finished, m_httpProcess, &QObject::deleteLater);
    connect(m_httpThread, &QThread::finished, m_httpThread, &QObject::deleteLater);
    connect(m_httpProcess->GetClient(), &HttpClient::httpresult, this, &ServerManager::onHttpResult);
    m_httpProcess->startClient();
}

void ServerManager::CreateNewServer(QString address)
{
    auto *server = new VexaServer(nullptr);
    connect(server, &VexaServer::requestConfirmation, this, &ServerManager::onRequestConfirmation);
    connect(server, &VexaServer::cancelConfirmation, this, &ServerManager::onCancelConfirmation);
    connect(server, &VexaServer::newConfirmationStatus, this, &ServerManager::onNewConfirmationStatus);
    server->Init(m_httpProcess, address);
    putServer(server);
}

void ServerManager::putServer(VexaServer *server)
{
    auto *thread = new QThread();
    server->moveToThread(thread);
    auto *worker = new VexaServerProcess(server, m_pollIntervalMs);
    worker->moveToThread(thread);
    connect(thread, &QThread::started, worker, &VexaServerProcess::processIteration);
    connect(worker, &VexaServerProcess::finished, thread, &QThread::quit);
    // Blocking: the destructor waits until every worker has stopped its timer on its own thread.
    connect(this, &ServerManager::stopAll, worker, &VexaServerProcess::stop, Qt::BlockingQueuedConnection);
    connect(worker, &VexaServerProcess::finished, worker, &QObject::deleteLater);
    connect(thread, &QThread::finished, thread, &QObject::deleteLater);
    m_threads.append(thread);
    m_sessions.append(server);
    m_servers.insert(server->GetAddress(), worker);
    if (m_holdStarts) {
        m_pendingStarts.append(worker);
    } else {
        worker->startServer();
    }
}

VexaServer *ServerManager::GetServer(QString address) const
{
    VexaServerProcess *worker = m_servers.value(address, nullptr);
    return worker ? worker->m_server : nullptr;
}

void ServerManager::groupAccountsByServer()
{
    const QList<Account *> accounts = DataStorage::Instance()->m_accountsData.m_accounts;
    for (Account *account : accounts) {
        if (account->m_address.isEmpty()) {
            continue;
        }
        if (!m_servers.contains(account->m_address)) {
            CreateNewServer(account->m_address);
        }
        if (account->m_tokenUID.isEmpty()) {
            continue;
        }
        GetServer(account->m_address)->put(account);
    }
}

void ServerManager::getRemovedTokens()
{
    m_holdStarts = true;
    groupAccountsByServer();
    const QMap<QString, VexaServerProcess *> servers = m_servers;
    for (VexaServerProcess *worker : servers) {
        worker->m_server->getRemovedTokens();
    }
    m_holdStarts = false;
    const QList<VexaServerProcess *> pending = m_pendingStarts;
    m_pendingStarts.clear();
    for (VexaServerProcess *worker : pending) {
        worker->startServer();
    }
}

void ServerManager::removeToken(QString address, QString tokenId)
{
    if (VexaServer *server = GetServer(address)) {
        server->removeToken(tokenId);
    }
}

VexaServer *ServerManager::currentSession() const
{
    return m_currentRequest ? GetServer(m_currentRequest->GetAddress()) : nullptr;
}

void ServerManager::acceptAuth()
{
    VexaServer *server = currentSession();
    if (!server) {
        return;
    }
    m_confirmationStatus = Account::ConfirmationAccepted;
    server->onAcceptAuth();
}

void ServerManager::declineAuth()
{
    VexaServer *server = currentSession();
    if (!server) {
        return;
    }
    m_confirmationStatus = Account::ConfirmationDeclined;
    server->onDeclineAuth();
}

void ServerManager::finishConfirmation()
{
    VexaServer *server = currentSession();
    if (!server) {
        return;
    }
    m_confirmationStatus = Account::ConfirmationNone;
    server->finishConfirmation();
    m_currentRequest = nullptr;
}

void ServerManager::processAuthOperation(AuthOperation *op)
{
    if (!op) {
        return;
    }
    VexaServer *server = GetServer(op->m_address);
    if (!server) {
        return;
    }
    // One confirmation at a time across all servers, and none while an answered one waits for
    // finishConfirmation. The session still learns that its update is over: left in PROCESS,
    // it would never be polled again.
    if ((m_currentRequest && m_currentRequest->GetAddress() != op->m_address) ||
        m_confirmationStatus == Account::ConfirmationAccepted ||
        m_confirmationStatus == Account::ConfirmationDeclined) {
        server->onAuthOperationIgnored(op);
        return;
    }
    server->onAuthOperation(op);
}

void ServerManager::updateNotificationTokens(QList<QString> tokenIds)
{
    AccountsData &accounts = DataStorage::Instance()->m_accountsData;
    for (const QString &id : qAsConst(tokenIds)) {
        if (auto *auth = dynamic_cast<AuthAccount *>(accounts.accountForTokenUID(id))) {
            auth->m_notificationToken.saved = true;
        }
    }
    DataStorage::Instance()->SaveData();
    syncNotificationTokens();
}

void ServerManager::syncNotificationTokens()
{
    for (VexaServerProcess *worker : qAsConst(m_servers)) {
        worker->m_server->SyncNotificationTokens();
    }
}

void ServerManager::onRequestConfirmation(AuthRequest *request)
{
    m_currentRequest = request;
    m_confirmationStatus = Account::ConfirmationRequested;
    emit requestConfirmation(request);
}

void ServerManager::onCancelConfirmation()
{
    m_confirmationStatus = Account::ConfirmationNone;
    emit cancelConfirmation();
}

void ServerManager::onNewConfirmationStatus(Account::ConfirmationStatus status)
{
    emit newConfirmationStatus(status);
}

void ServerManager::onHttpResult(HttpResult *result)
{
    if (!result) {
        return;
    }
    if (m_shuttingDown) {
        // Nobody is left to carry it out.
        delete result->operation;
        delete result;
        return;
    }
    if (result->operation) {
        if (VexaServer *server = GetServer(result->operation->m_address)) {
            server->onHttpResult(result);
        }
    }
    emit httpresult(result);
}
