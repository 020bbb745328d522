#ifndef KESTREL_PROTOCOL_HTTPCLIENTPROCESS_H
#define KESTREL_PROTOCOL_HTTPCLIENTPROCESS_H

#include <QObject>

class HttpClient;
class Request;

// Owner of the HTTP transport on its thread. Sessions hand requests over with sendRequest,
// which passes their ownership to the transport.
class HttpClientProcess : public QObject
{
    Q_OBJECT
public:
    explicit HttpClientProcess(QObject *parent = nullptr);

    // Starts the thread this process has been moved to.
    void startClient();
    HttpClient *GetClient() const { return m_client; }

signals:
    void sendRequest(Request *request);
    void finished();

public slots:
    void stop();

private:
    HttpClient *m_client;
};

#endif // KESTREL_PROTOCOL_HTTPCLIENTPROCESS_H
