#ifndef KESTREL_SERVERS_VEXASERVER_H
#define KESTREL_SERVERS_VEXASERVER_H

#include "accounts/account.h"
#include "accounts/notificationtoken.h"
#include "protocol/httpresult.h"

#include <QList>
#include <QMap>
#include <QMutex>
#include <QNetworkReply>
#include <QObject>
#include <QString>

class AuthOperation;
class AuthRequest;
class HttpClientProcess;
class OTPAuthURI;
class Request;

// The session with one authentication server: the tokens held for it, the requests sent to it
// and the one login confirmation of that server being shown to the user.
//
// The session lives on its worker's thread, where only updateAccounts runs; every other
// operation is called from the GUI thread. One lock (m_lock) guards the token map and lists, the
// notification records, the state, the network status and the error code. It is taken for the
// whole of every operation that reads or changes them and is released before any signal is
// emitted and before a request is handed to the transport, so no slot ever runs under it. The
// worker thread never dereferences an account: the notification records it sends are copies
// taken on the GUI thread (put, and every reply that re-arms the worker), so the GUI thread can
// change and delete accounts freely once it has called removeToken. The current request and
// the accounts themselves are used on the GUI thread only.
class VexaServer : public QObject
{
    Q_OBJECT

public:
    enum ServerState
    {
        UNDEF = 0,
        PROCESS = 1,
        PROCESS_REMOVE_TOKENS = 2,
        PROCESS_AUTH = 3,
        ONHOLD = 4
    };
    Q_ENUM(ServerState)

    enum NetworkStatus
    {
        NW_UNKNOWN = 0,
        NW_CONNECTED = 1,
        NW_DISCONNECTED = 2
    };
    Q_ENUM(NetworkStatus)

    explicit VexaServer(QObject *parent = nullptr);
    // Frees the current request, if any.
    ~VexaServer() override;

    // Called once, before the worker thread starts; address and transport never change later.
    void Init(HttpClientProcess *process, QString address);

    void put(Account *account);
    // After this returns the session holds no reference to the account of that token.
    void removeToken(QString tokenId);
    int findTokenIndex(QString tokenId);
    void getRemovedTokens();
    // Sends the ticket activation. False, and nothing sent, when the ticket lacks "address" or
    // "reqID": the caller tells the user.
    bool beginRegisterAccount(const OTPAuthURI &uri);
    // One polling step (worker thread). The state is checked under the same lock that sends, so
    // an answer sent meanwhile from the GUI thread is never overtaken: returns false without
    // sending when a request is on its way (the caller re-arms), true otherwise (also when there
    // is nothing to poll).
    bool updateAccounts();

    void onAuthOperation(AuthOperation *op);
    // An update reply the manager does not let this session evaluate (another server's
    // confirmation is shown, or this one's is answered but not finished): the network status is
    // recorded and the update is over, so polling goes on, but nothing is offered or cancelled.
    void onAuthOperationIgnored(AuthOperation *op);
    // The reply to the answer about login `sessionID`. It counts only while that login is still
    // the current request and its answer is on its way; otherwise nothing changes.
    void onAuthOk(const QString &sessionID, bool ok);
    void onAcceptAuth();
    void onDeclineAuth();
    void finishConfirmation();

    QString GetServerErrorMessage() const;
    QString GetServerStateName() const;

    // Thread-safe accessors.
    const QString &GetAddress() const { return m_address; }
    VexaServer::ServerState GetState() const;
    // Used by the list model once the removed-token list has been processed.
    void SetState(VexaServer::ServerState state);
    VexaServer::NetworkStatus GetNetworkStatus() const;
    HttpResult::ErrorCode GetErrorCode() const;
    QList<QString> GetTokens() const;
    bool HasToken(const QString &tokenId) const;

    // GUI thread only.
    AuthRequest *GetCurrentRequest() const { return m_currentRequest; }
    // Re-reads the notification records of the push accounts (GUI thread); the next update
    // carries them. Runs on every reply that re-arms the worker.
    void SyncNotificationTokens();

signals:
    void httpresult(HttpResult *result);
    void replyReceived();
    // The first account came into a session that had none: a tick that found nothing to poll
    // armed no timer, so nothing else would start polling it.
    void accountsArrived();
    void requestConfirmation(AuthRequest *request);
    void cancelConfirmation();
    void newConfirmationStatus(Account::ConfirmationStatus status);

public slots:
    void onHttpResult(HttpResult *result);
    void onReplyError(QNetworkReply::NetworkError error);

private:
    void sendAnswer(bool accept);
    // Records the outcome of an update reply; the lock is held.
    void recordNetworkStatusLocked(HttpResult::ErrorCode code);
    // Hands the request to the transport; never called under the lock.
    void send(Request *request);

    HttpClientProcess *m_httpProcess = nullptr;
    QString m_address;
    QMap<QString, Account *> m_accounts;
    QList<QString> m_tokens;
    QList<QString> m_authTokens;
    VexaServer::ServerState m_state = ONHOLD;
    VexaServer::NetworkStatus m_networkStatus = NW_UNKNOWN;
    HttpResult::ErrorCode m_errorCode = HttpResult::ErrorNone;
    AuthRequest *m_currentRequest = nullptr;
    // An answer to the current request is on its way (PROCESS stands for it, not for an update).
    bool m_answerInFlight = false;

    // Copies of the push accounts' records, by token id, for the worker thread.
    QMap<QString, NotificationToken> m_notificationTokens;
    mutable QMutex m_lock;
};

#endif // KESTREL_SERVERS_VEXASERVER_H
