#ifndef KESTREL_SERVERS_SERVERMANAGER_H
#define KESTREL_SERVERS_SERVERMANAGER_H

#include "accounts/account.h"

#include <QList>
#include <QMap>
#include <QObject>
#include <QString>

class AuthOperation;
class AuthRequest;
class HttpClientProcess;
class HttpResult;
class QThread;
class VexaServer;
class VexaServerProcess;

// Owns the server side's threads: one HTTP thread for the transport, and per server address a
// VexaServer session driven by a VexaServerProcess worker on a thread of its own. Routes server
// results and the user's answers to the sessions and holds the one confirmation shown at a time
// across all servers.
//
// Threads and locking:
// - The manager, the list model, the collection and every account live on the GUI thread. The
//   manager's own fields (the map, the current request, the status) are used there only.
// - A session is reached from two threads: its worker thread runs updateAccounts (and reads the
//   state), the GUI thread calls everything else. Each session guards its token map and lists,
//   its notification-record copies, its state, network status and error code with one QMutex of
//   its own, taken for the whole of each operation that reads or changes them (an answer to a
//   confirmation computes code and signature between two locked steps: the account is a GUI
//   thread object). The lock is never held while a signal is emitted or a request is handed to
//   the transport, and no operation takes two session locks, so there is no lock order to get
//   wrong and no slot runs under a lock.
// - The worker thread never touches an account. The NotificationToken records an update sends
//   are copies taken on the GUI thread when an account is put into the session and on every
//   reply that re-arms the worker (and by updateNotificationTokens/syncNotificationTokens), so
//   the GUI thread's changes of a record (a registration id arriving, the saved flag) never race
//   with the copy; a change reaches the server with the next update after the next reply. Once
//   removeToken has returned, no session refers to that account any more and it may be deleted.
// - An answer sets PROCESS under the lock, and the worker's tick checks the state and builds its
//   update under the same lock, so no update goes out while an answer is on its way. Each worker
//   has a single QTimer, so a server keeps exactly one timer chain whatever the order of replies
//   and ticks; an update reply the manager does not let the session evaluate still ends the
//   update, so that server goes on being polled.
//
// Shutdown (the destructor, on the GUI thread): stopAll() runs every worker's stop() on its own
// thread and waits for it (blocking queued): the timer stops there and the worker is deleted
// there when its thread ends. Each worker thread is then quit and joined and its session deleted
// (freeing a current request). The HTTP thread comes last: once every request handed over so
// far has reached the client, the transport is deleted on its thread as the thread ends, the
// thread is joined, and results still queued to this manager are freed instead of forwarded.
// No QThread is destroyed while running and nothing is left behind.
class ServerManager : public QObject
{
    Q_OBJECT

public:
    // `pollIntervalMs` is for tests: 0 takes the process default, which is
    // VexaServerProcess::POLL_INTERVAL_MS unless a test changed it (SetDefaultPollIntervalForTests).
    explicit ServerManager(QObject *parent = nullptr, int pollIntervalMs = 0);
    ~ServerManager() override;

    void InitHttpProcess();
    HttpClientProcess *GetHttpClientProcess() const { return m_httpProcess; }
    void CreateNewServer(QString address);
    void putServer(VexaServer *server);
    VexaServer *GetServer(QString address) const;
    void groupAccountsByServer();
    void getRemovedTokens();
    void removeToken(QString address, QString tokenId);
    void acceptAuth();
    void declineAuth();
    void finishConfirmation();
    void processAuthOperation(AuthOperation *op);
    void updateNotificationTokens(QList<QString> tokenIds);
    // Lets every session re-read its push accounts' records, e.g. after the registration id of
    // the collection changed; the next update of each server carries them.
    void syncNotificationTokens();

    AuthRequest *GetCurrentRequest() const { return m_currentRequest; }
    Account::ConfirmationStatus GetConfirmationStatus() const { return m_confirmationStatus; }
    QList<QString> GetAddresses() const { return m_servers.keys(); }
    int pollInterval() const { return m_pollIntervalMs; }

    // Test-only: the interval of managers created afterwards with pollIntervalMs 0 (the list
    // model's). Values <= 0 restore POLL_INTERVAL_MS. Not reachable from the user interface.
    static void SetDefaultPollIntervalForTests(int ms);

signals:
    void httpresult(HttpResult *result);
    void requestConfirmation(AuthRequest *request);
    void cancelConfirmation();
    void newConfirmationStatus(Account::ConfirmationStatus status);
    void stopAll();

public slots:
    void onRequestConfirmation(AuthRequest *request);
    void onCancelConfirmation();
    void onNewConfirmationStatus(Account::ConfirmationStatus status);
    void onHttpResult(HttpResult *result);

private:
    VexaServer *currentSession() const;

    QMap<QString, VexaServerProcess *> m_servers;
    HttpClientProcess *m_httpProcess = nullptr;
    AuthRequest *m_currentRequest = nullptr;
    Account::ConfirmationStatus m_confirmationStatus = Account::ConfirmationNone;

    int m_pollIntervalMs = 0;
    QThread *m_httpThread = nullptr;
    // Every worker thread and session created, for the shutdown (the map may drop a worker
    // when an address is replaced).
    QList<QThread *> m_threads;
    QList<VexaServer *> m_sessions;
    // While getRemovedTokens groups the stored accounts, new workers start only after the
    // removed-tokens requests are out, so that request is each server's first.
    bool m_holdStarts = false;
    QList<VexaServerProcess *> m_pendingStarts;
    bool m_shuttingDown = false;
};

#endif // KESTREL_SERVERS_SERVERMANAGER_H
