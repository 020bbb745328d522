#ifndef KESTREL_PROTOCOL_HTTPCLIENT_H
#define KESTREL_PROTOCOL_HTTPCLIENT_H

#include <QList>
#include <QNetworkReply>
#include <QObject>
#include <QString>

class HttpResult;
class QNetworkAccessManager;
class Request;

// The one HTTP transport of the application, living on the HTTP thread. Posts every request
// as JSON, lets the request decode its own reply and emits the result.
class HttpClient : public QObject
{
    Q_OBJECT
    friend class HttpClientProcess;

public:
    // A reply that makes no progress for this long ends as an error result, so that the
    // session waiting for it goes on polling.
    static const int TRANSFER_TIMEOUT_MS = 30000;
    // A reply that trickles in is ended this long after it was sent, whatever its progress.
    static const int REQUEST_DEADLINE_MS = 60000;

    explicit HttpClient(QObject *parent = nullptr);
    // Deletes the requests still waiting for a reply.
    ~HttpClient() override;

    void PutRequest(Request *request);
    void RemoveFromQuery(Request *request);
    static QString GetErrorString(QNetworkReply::NetworkError error);

    // Applies to requests posted afterwards; tests shorten it.
    void SetTransferTimeout(int milliseconds) { m_transferTimeout = milliseconds; }
    int GetTransferTimeout() const { return m_transferTimeout; }
    void SetRequestDeadline(int milliseconds) { m_requestDeadline = milliseconds; }

signals:
    void httpresult(HttpResult *result);
    void badreply(QString msg);

private slots:
    // Reached only through HttpClientProcess::sendRequest, which the process connects here.
    void onSendRequest(Request *pNewRequest);
    void onNetworkReply(QNetworkReply *reply);

private:
    // Ends a reply that breaks a bound; it finishes as an error through onNetworkReply.
    static void abortReply(QNetworkReply *reply, const char *why);
    QNetworkAccessManager *networkManager();

    // Made on the first request (networkManager()).
    QNetworkAccessManager *m_networkManager = nullptr;
    QList<Request *> m_requestQueue;
    int m_transferTimeout = TRANSFER_TIMEOUT_MS;
    int m_requestDeadline = REQUEST_DEADLINE_MS;
};

#endif // KESTREL_PROTOCOL_HTTPCLIENT_H
