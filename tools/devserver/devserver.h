#ifndef KESTREL_TOOLS_DEVSERVER_DEVSERVER_H
#define KESTREL_TOOLS_DEVSERVER_DEVSERVER_H

#include "tools/devserver/devstate.h"
#include "tools/devserver/selfsignedcertificate.h"

#include <QByteArray>
#include <QHash>
#include <QJsonArray>
#include <QJsonObject>
#include <QString>

#include <memory>
#include <mutex>
#include <string>
#include <thread>

namespace httplib {
class Server;
struct Request;
struct Response;
} // namespace httplib

// The authentication server for tests and demos: the four protocol endpoints under the path
// prefix, the admin interface under "/admin/", faults, the request log and the optional state
// file. HTTP requests arrive on the HTTP library's worker threads; one mutex guards the state,
// the faults and the log.
class DevServer
{
public:
    struct Options
    {
        int port = 0; // 0: a free port
        QString prefix = QStringLiteral("/vexa");
        QString tlsCertificate; // PEM files for HTTPS
        QString tlsKey;
        bool selfSigned = false; // HTTPS with a certificate made at start
        QString certificateOut;  // where to write the self-signed certificate (PEM), if anywhere
        QString stateFile;
        bool qr = true; // draw tickets as QR codes as well
        int demoDelaySeconds = 5;
        int demoIntervalSeconds = 60;
    };

    // Requests bodies are limited to this many bytes.
    static const int MAX_BODY = 64 * 1024;

    explicit DevServer(const Options &options);
    ~DevServer();
    DevServer(const DevServer &) = delete;
    DevServer &operator=(const DevServer &) = delete;

    // Loads the state file, binds 127.0.0.1 and starts serving on a thread of its own.
    bool start(QString *error);
    void stop();

    // Base address tickets carry: scheme, host, port and prefix.
    QString address() const { return m_origin + m_options.prefix; }
    QString origin() const { return m_origin; }

    // Creates and prints a ticket; empty object and `error` set on bad options.
    QJsonObject createTicket(const QJsonObject &options, QString *error);
    // One ticket of each kind, for trying the client by hand.
    void createDemoTickets();
    // Demo logins: a few seconds after a push ticket registers, then at every interval.
    void demoTick(qint64 now);

    // Output for the terminal, one writer at a time.
    static void say(const std::string &text);

private:
    struct Fault
    {
        int remaining = 0;
        int status = 0;
        bool hasMessage = false;
        QString message;
        bool hasBody = false;
        QByteArray body;
        int delayMs = 0;
        bool close = false;
        QString kind; // a misbehaviour of the answer itself: see misbehave()
    };

    void serveProtocol(const QString &endpoint, const httplib::Request &req, httplib::Response &res);
    void misbehave(const QString &endpoint, const QString &kind, const httplib::Request &req,
                   httplib::Response &res);
    void serveAdmin(const QString &command, const httplib::Request &req, httplib::Response &res);
    QJsonObject adminFault(const QJsonObject &body, int *status);
    void record(const QString &endpoint, const std::string &body, int status, const QString &outcome,
                bool fault);
    void printTicket(const DevState::Ticket &ticket) const;
    void save();
    bool load(QString *error);

    Options m_options;
    QString m_origin;
    std::unique_ptr<httplib::Server> m_http;
    SelfSignedCertificate m_certificate;
    std::thread m_thread;
    int m_port = 0;

    std::mutex m_mutex;
    DevState m_state;
    QHash<QString, Fault> m_faults;
    QJsonArray m_log;
    qint64 m_nextSeq = 1;
    QHash<QString, qint64> m_demoNext;
};

#endif // KESTREL_TOOLS_DEVSERVER_DEVSERVER_H
