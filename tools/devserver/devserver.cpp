#include "tools/devserver/devserver.h"

#include "tools/devserver/terminalqr.h"

#include <httplib.h>

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QRegularExpression>
#include <QSaveFile>

#include <arpa/inet.h>
#include <dirent.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <iterator>
#include <memory>

namespace {
const char *const ENDPOINTS[] = {"/register", "/updateTokens", "/getRemovedTokens", "/acceptToken"};
const int LOG_LIMIT = 2000;
const int LOG_BODY_LIMIT = 4096;
const int MAX_DELAY_MS = 60000;
const char *const FAULT_KINDS[] = {"stream", "drip", "reset", "redirect", "flood"};
// The misbehaving answers end at these bounds at the latest, whatever the client does. The time
// outlasts the client's own deadline, so that trying a client by hand shows its deadline at work.
const qint64 STREAM_LIMIT = 64 * 1024 * 1024;
const std::chrono::seconds MISBEHAVE_LIMIT(120);
const std::chrono::milliseconds DRIP_INTERVAL(100);
const std::chrono::microseconds STREAM_PAUSE(1000);
const size_t DRIP_LENGTH = 100000;
const size_t RESET_LENGTH = 1000;
// Just under the 1 MiB a client may be expected to accept.
const int FLOOD_BYTES = 900 * 1024;
const size_t WORKER_THREADS = 24;

std::mutex g_outputMutex;

qint64 now()
{
    return QDateTime::currentSecsSinceEpoch();
}

QByteArray compact(const QJsonObject &object)
{
    return QJsonDocument(object).toJson(QJsonDocument::Compact);
}

void answerJson(httplib::Response &res, int status, const QJsonObject &body)
{
    res.status = status;
    const QByteArray text = compact(body);
    res.set_content(text.constData(), static_cast<size_t>(text.size()), "application/json");
}

QJsonObject messageObject(const QString &message)
{
    QJsonObject object;
    object.insert(QStringLiteral("message"), message);
    return object;
}

int socketPort(const sockaddr_storage &address)
{
    if (address.ss_family == AF_INET) {
        return ntohs(reinterpret_cast<const sockaddr_in &>(address).sin_port);
    }
    if (address.ss_family == AF_INET6) {
        return ntohs(reinterpret_cast<const sockaddr_in6 &>(address).sin6_port);
    }
    return -1;
}

// The HTTP library hides the connection's socket from handlers, so find it by its two ports.
// Ends the connection: an orderly shutdown, or with `reset` an abortive one (RST), which a
// client cannot take for the end of an answer without a length. For the reset, the socket loses
// its last descriptor to a stand-in, so the library's later writes fail and it closes the
// stand-in as usual.
bool endConnection(int localPort, int remotePort, bool reset)
{
    DIR *dir = opendir("/proc/self/fd");
    if (!dir) {
        return false;
    }
    bool found = false;
    while (dirent *entry = readdir(dir)) {
        char *end = nullptr;
        const long fd = std::strtol(entry->d_name, &end, 10);
        if (end == entry->d_name || *end != '\0' || fd == dirfd(dir)) {
            continue;
        }
        struct stat info;
        if (fstat(static_cast<int>(fd), &info) != 0 || !S_ISSOCK(info.st_mode)) {
            continue;
        }
        sockaddr_storage local{};
        sockaddr_storage peer{};
        socklen_t localLength = sizeof local;
        socklen_t peerLength = sizeof peer;
        if (getsockname(static_cast<int>(fd), reinterpret_cast<sockaddr *>(&local), &localLength) != 0 ||
            getpeername(static_cast<int>(fd), reinterpret_cast<sockaddr *>(&peer), &peerLength) != 0) {
            continue;
        }
        if (socketPort(local) == localPort && socketPort(peer) == remotePort) {
            if (!reset) {
                found = shutdown(static_cast<int>(fd), SHUT_RDWR) == 0;
                break;
            }
            const linger abortive{1, 0};
            const int standIn = socket(AF_INET, SOCK_STREAM, 0);
            found =
                standIn >= 0 &&
                setsockopt(static_cast<int>(fd), SOL_SOCKET, SO_LINGER, &abortive, sizeof abortive) == 0 &&
                dup2(standIn, static_cast<int>(fd)) >= 0;
            if (standIn >= 0) {
                close(standIn);
            }
            break;
        }
    }
    closedir(dir);
    return found;
}

QString normalisedEndpoint(QString endpoint)
{
    if (!endpoint.startsWith(QLatin1Char('/'))) {
        endpoint.prepend(QLatin1Char('/'));
    }
    for (const char *known : ENDPOINTS) {
        if (endpoint == QLatin1String(known)) {
            return endpoint;
        }
    }
    return QString();
}
} // namespace

DevServer::DevServer(const Options &options)
    : m_options(options)
{
}

DevServer::~DevServer()
{
    stop();
}

void DevServer::say(const std::string &text)
{
    std::lock_guard<std::mutex> lock(g_outputMutex);
    std::fwrite(text.data(), 1, text.size(), stdout);
    std::fflush(stdout);
}

bool DevServer::start(QString *error)
{
    if (!m_options.stateFile.isEmpty() && !load(error)) {
        return false;
    }
    bool tls = false;
    if (!m_options.tlsCertificate.isEmpty()) {
        m_http.reset(new httplib::SSLServer(QFile::encodeName(m_options.tlsCertificate).constData(),
                                            QFile::encodeName(m_options.tlsKey).constData()));
        tls = true;
    } else if (m_options.selfSigned) {
        if (!m_certificate.generate()) {
            *error = QStringLiteral("cannot make a self-signed certificate");
            return false;
        }
        m_http.reset(new httplib::SSLServer(m_certificate.certificate(), m_certificate.privateKey()));
        tls = true;
        if (!m_options.certificateOut.isEmpty()) {
            QSaveFile file(m_options.certificateOut);
            const std::string pem = m_certificate.certificatePem();
            if (!file.open(QIODevice::WriteOnly) ||
                file.write(pem.data(), static_cast<qint64>(pem.size())) != static_cast<qint64>(pem.size()) ||
                !file.commit()) {
                *error = QStringLiteral("cannot write the certificate to ") + m_options.certificateOut;
                return false;
            }
        }
    } else {
        m_http.reset(new httplib::Server());
    }
    if (!m_http->is_valid()) {
        *error = QStringLiteral("the TLS certificate or key cannot be used");
        return false;
    }

    // Idle keep-alive connections each hold a worker; Qt opens up to six per host and per
    // client, and a test may run two clients at once.
    m_http->new_task_queue = [] { return new httplib::ThreadPool(WORKER_THREADS); };
    m_http->set_payload_max_length(MAX_BODY);
    // Headers and body go out in separate writes; without this, delayed ACKs add 40 ms each.
    m_http->set_tcp_nodelay(true);
    m_http->set_keep_alive_timeout(2);
    m_http->set_read_timeout(5);
    m_http->set_write_timeout(5);
    // Answers the library makes itself (unknown path, oversized body, bad request line) get a
    // JSON "message" too; an oversized body counts as a bad request.
    m_http->set_error_handler(
        httplib::Server::HandlerWithResponse([](const httplib::Request &, httplib::Response &res) {
            if (res.has_header("Content-Type")) {
                return httplib::Server::HandlerResponse::Unhandled;
            }
            QString message = QStringLiteral("HTTP %1").arg(res.status);
            if (res.status == 413) {
                res.status = 400;
                message = QStringLiteral("request body larger than %1 bytes").arg(MAX_BODY);
            } else if (res.status == 404) {
                message = QStringLiteral("not found");
            } else if (res.status == 400) {
                message = QStringLiteral("malformed request");
            }
            answerJson(res, res.status, messageObject(message));
            return httplib::Server::HandlerResponse::Handled;
        }));
    m_http->set_exception_handler([](const httplib::Request &, httplib::Response &res, std::exception_ptr) {
        answerJson(res, 500, messageObject(QStringLiteral("internal error")));
    });

    const std::string prefix = QRegularExpression::escape(m_options.prefix).toStdString();
    for (const char *endpoint : ENDPOINTS) {
        const QString name = QString::fromLatin1(endpoint);
        const std::string pattern = prefix + QRegularExpression::escape(name).toStdString();
        m_http->Post(pattern, [this, name](const httplib::Request &req, httplib::Response &res) {
            serveProtocol(name, req, res);
        });
    }
    auto admin = [this](const httplib::Request &req, httplib::Response &res) {
        serveAdmin(QString::fromStdString(req.matches[1]), req, res);
    };
    m_http->Post(R"(/admin/([A-Za-z]+))", admin);
    m_http->Get(R"(/admin/([A-Za-z]+))", admin);

    if (m_options.port == 0) {
        m_port = m_http->bind_to_any_port("127.0.0.1");
    } else {
        m_port = m_http->bind_to_port("127.0.0.1", m_options.port) ? m_options.port : -1;
    }
    if (m_port <= 0) {
        *error = QStringLiteral("cannot listen on 127.0.0.1 port %1").arg(m_options.port);
        return false;
    }
    m_origin = QStringLiteral("%1://127.0.0.1:%2")
                   .arg(tls ? QStringLiteral("https") : QStringLiteral("http"))
                   .arg(m_port);
    m_thread = std::thread([this] { m_http->listen_after_bind(); });
    return true;
}

void DevServer::stop()
{
    if (m_http) {
        m_http->stop();
    }
    if (m_thread.joinable()) {
        m_thread.join();
    }
}

QJsonObject DevServer::createTicket(const QJsonObject &options, QString *error)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    const QJsonObject ticket = m_state.createTicket(address(), options, now(), error);
    if (!ticket.isEmpty()) {
        printTicket(m_state.tickets().constLast());
        save();
    }
    return ticket;
}

void DevServer::createDemoTickets()
{
    const char *const kinds[] = {"push", "otp", "plain"};
    for (const char *kind : kinds) {
        QJsonObject options;
        options.insert(QStringLiteral("kind"), QString::fromLatin1(kind));
        options.insert(QStringLiteral("user"),
                       QStringLiteral("demo-%1@example.org").arg(QString::fromLatin1(kind)));
        QString error;
        createTicket(options, &error);
    }
}

void DevServer::demoTick(qint64 time)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    bool changed = false;
    for (const DevState::Ticket &ticket : m_state.tickets()) {
        if (ticket.kind != QLatin1String("push") || ticket.registeredAt == 0 || ticket.revoked) {
            continue;
        }
        const qint64 due =
            m_demoNext.value(ticket.tokenUID, ticket.registeredAt + m_options.demoDelaySeconds);
        if (time < due) {
            continue;
        }
        // An unanswered demo request is replaced, so the phone never sees a pile of them.
        QString error;
        for (const QString &sessionID : m_state.pendingDemoLogins(ticket.tokenUID)) {
            m_state.withdrawLogin(sessionID, &error);
        }
        const QString metadata = QStringLiteral("Sign-in to %1 from 192.0.2.%2 (Firefox on Linux)")
                                     .arg(ticket.issuer)
                                     .arg(10 + (m_nextSeq % 200));
        if (!m_state.createLogin(ticket.tokenUID, metadata, time, true, &error).isEmpty()) {
            say(QStringLiteral("demo: login request for %1:%2\n")
                    .arg(ticket.issuer, ticket.user)
                    .toStdString());
            changed = true;
        }
        m_demoNext.insert(ticket.tokenUID, time + m_options.demoIntervalSeconds);
    }
    if (changed) {
        save();
    }
}

void DevServer::printTicket(const DevState::Ticket &ticket) const
{
    std::string text = "ticket: " + ticket.ticketUri().toStdString() + "\n";
    text += QStringLiteral("  kind %1, member %2, account %3:%4\n")
                .arg(ticket.kind, ticket.member, ticket.issuer, ticket.user)
                .toStdString();
    if (m_options.qr) {
        text += TerminalQr::render(ticket.ticketUri().toStdString());
    }
    say(text);
}

void DevServer::serveProtocol(const QString &endpoint, const httplib::Request &req, httplib::Response &res)
{
    Fault fault;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        auto it = m_faults.find(endpoint);
        if (it != m_faults.end()) {
            fault = it.value();
            if (--it.value().remaining <= 0) {
                m_faults.erase(it);
            }
        }
    }
    if (fault.delayMs > 0) {
        std::this_thread::sleep_for(std::chrono::milliseconds(fault.delayMs));
    }
    if (!fault.kind.isEmpty()) {
        misbehave(endpoint, fault.kind, req, res);
        return;
    }
    if (fault.close) {
        const bool closed =
            endConnection(req.local_port > 0 ? req.local_port : m_port, req.remote_port, false);
        record(endpoint, req.body, 0,
               closed ? QStringLiteral("fault: connection closed")
                      : QStringLiteral("fault: connection not found"),
               true);
        answerJson(res, 500, messageObject(QStringLiteral("connection should have been closed")));
        return;
    }
    if (fault.status != 0) {
        res.status = fault.status;
        if (fault.hasBody) {
            res.set_content(fault.body.constData(), static_cast<size_t>(fault.body.size()), "text/plain");
        } else {
            const QByteArray body = compact(fault.hasMessage ? messageObject(fault.message) : QJsonObject());
            res.set_content(body.constData(), static_cast<size_t>(body.size()), "application/json");
        }
        record(endpoint, req.body, fault.status, QStringLiteral("fault: status %1").arg(fault.status), true);
        return;
    }

    QJsonParseError parseError;
    const QJsonDocument document =
        QJsonDocument::fromJson(QByteArray(req.body.data(), static_cast<int>(req.body.size())), &parseError);
    DevState::Reply reply;
    if (parseError.error != QJsonParseError::NoError || !document.isObject()) {
        reply.status = 400;
        reply.body = messageObject(parseError.error != QJsonParseError::NoError
                                       ? QStringLiteral("malformed JSON")
                                       : QStringLiteral("the body must be a JSON object"));
        reply.outcome = QStringLiteral("rejected: ") + reply.body.value(QStringLiteral("message")).toString();
    } else {
        std::lock_guard<std::mutex> lock(m_mutex);
        const QJsonObject body = document.object();
        if (endpoint == QLatin1String("/register")) {
            reply = m_state.registerTicket(body, now());
        } else if (endpoint == QLatin1String("/updateTokens")) {
            reply = m_state.updateTokens(body);
        } else if (endpoint == QLatin1String("/getRemovedTokens")) {
            reply = m_state.getRemovedTokens(body);
        } else {
            reply = m_state.acceptToken(body, now());
        }
        if (reply.status == 200 && endpoint != QLatin1String("/getRemovedTokens")) {
            save();
        }
    }
    answerJson(res, reply.status, reply.body);
    record(endpoint, req.body, reply.status, reply.outcome, fault.delayMs > 0);
}

// The answers a plain fault cannot give. Each ends when the client goes away or at the bounds
// above, so a worker is never held for good; the bytes handed over go to the log's outcome once
// the answer has ended.
void DevServer::misbehave(const QString &endpoint, const QString &kind, const httplib::Request &req,
                          httplib::Response &res)
{
    const std::string body = req.body;
    if (kind == QLatin1String("redirect")) {
        // To where the request went: a client that followed it would be answered normally.
        res.set_redirect((address() + endpoint).toStdString(), 302);
        record(endpoint, body, 302, QStringLiteral("fault: redirect"), true);
        return;
    }
    if (kind == QLatin1String("flood")) {
        // Thousands of logins of a token no client holds, in one valid answer.
        QByteArray flood = R"({"availableTokens":[)";
        for (int i = 0; flood.size() < FLOOD_BYTES; ++i) {
            flood += R"({"tokenUID":"flood","sessionID":"s-)" + QByteArray::number(i) + R"("},)";
        }
        flood.chop(1);
        flood += "]}";
        res.set_content(flood.constData(), static_cast<size_t>(flood.size()), "application/json");
        record(endpoint, body, 200, QStringLiteral("fault: flood, %1 bytes").arg(flood.size()), true);
        return;
    }
    res.status = 200;
    const auto sent = std::make_shared<qint64>(0);
    const auto until = std::chrono::steady_clock::now() + MISBEHAVE_LIMIT;
    const auto logSent = [this, endpoint, kind, body, sent](bool) {
        record(endpoint, body, 200, QStringLiteral("fault: %1, %2 bytes").arg(kind).arg(*sent), true);
    };
    // A provider's false ends the answer by dropping the connection.
    if (kind == QLatin1String("stream")) {
        // No length: the body would end only with the connection. At a fast link's pace, not
        // loopback's: a client thread flooded at full speed may read on for a while after it has
        // given up, which would hide where it gave up.
        const auto more = [sent, until](size_t, httplib::DataSink &sink) {
            static const std::string chunk(64 * 1024, ' ');
            if (*sent >= STREAM_LIMIT || std::chrono::steady_clock::now() > until ||
                !sink.write(chunk.data(), chunk.size())) {
                return false;
            }
            *sent += static_cast<qint64>(chunk.size());
            std::this_thread::sleep_for(STREAM_PAUSE);
            return true;
        };
        res.set_content_provider("application/json", more, logSent);
    } else if (kind == QLatin1String("drip")) {
        const auto more = [sent, until](size_t, size_t, httplib::DataSink &sink) {
            std::this_thread::sleep_for(DRIP_INTERVAL);
            if (std::chrono::steady_clock::now() > until || !sink.write(" ", 1)) {
                return false;
            }
            ++*sent;
            return true;
        };
        res.set_content_provider(DRIP_LENGTH, "application/json", more, logSent);
    } else {
        // "reset": the head and the start of the body arrive, the rest never does.
        const int localPort = req.local_port > 0 ? req.local_port : m_port;
        const int remotePort = req.remote_port;
        const auto part = [sent, localPort, remotePort](size_t, size_t, httplib::DataSink &sink) {
            const std::string start = R"({"availableTokens":[)";
            if (sink.write(start.data(), start.size())) {
                *sent = static_cast<qint64>(start.size());
            }
            endConnection(localPort, remotePort, true);
            return false;
        };
        res.set_content_provider(RESET_LENGTH, "application/json", part, logSent);
    }
}

void DevServer::record(const QString &endpoint, const std::string &body, int status, const QString &outcome,
                       bool fault)
{
    QJsonObject entry;
    entry.insert(QStringLiteral("endpoint"), endpoint);
    entry.insert(QStringLiteral("time"), QDateTime::currentDateTimeUtc().toString(Qt::ISODateWithMs));
    entry.insert(QStringLiteral("status"), status);
    entry.insert(QStringLiteral("outcome"), outcome);
    entry.insert(QStringLiteral("fault"), fault);
    const QByteArray bytes(body.data(), static_cast<int>(body.size()));
    QJsonParseError parseError;
    const QJsonDocument document = QJsonDocument::fromJson(bytes, &parseError);
    if (parseError.error == QJsonParseError::NoError && !document.isNull()) {
        entry.insert(QStringLiteral("body"),
                     document.isObject() ? QJsonValue(document.object()) : QJsonValue(document.array()));
    } else {
        entry.insert(QStringLiteral("rawBody"), QString::fromUtf8(bytes.left(LOG_BODY_LIMIT)));
    }
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        entry.insert(QStringLiteral("seq"), m_nextSeq++);
        m_log.append(entry);
        while (m_log.size() > LOG_LIMIT) {
            m_log.removeFirst();
        }
    }
    // The terminal gets the outcome only; bodies carry codes and signatures.
    say(QStringLiteral("POST %1%2 -> %3 %4\n")
            .arg(m_options.prefix, endpoint)
            .arg(status)
            .arg(outcome)
            .toStdString());
}

void DevServer::serveAdmin(const QString &command, const httplib::Request &req, httplib::Response &res)
{
    if (req.remote_addr.rfind("127.", 0) != 0) {
        answerJson(res, 403, messageObject(QStringLiteral("admin interface is for loopback clients only")));
        return;
    }
    QJsonObject body;
    if (!req.body.empty()) {
        QJsonParseError parseError;
        const QJsonDocument document = QJsonDocument::fromJson(
            QByteArray(req.body.data(), static_cast<int>(req.body.size())), &parseError);
        if (parseError.error != QJsonParseError::NoError || !document.isObject()) {
            answerJson(res, 400, messageObject(QStringLiteral("the body must be a JSON object")));
            return;
        }
        body = document.object();
    }
    QString error;
    QJsonObject answer;
    int status = 200;
    if (command == QLatin1String("ticket")) {
        answer = createTicket(body, &error);
        status = answer.isEmpty() ? 400 : 200;
        answerJson(res, status, answer.isEmpty() ? messageObject(error) : answer);
        return;
    }
    std::lock_guard<std::mutex> lock(m_mutex);
    if (command == QLatin1String("tickets")) {
        answer.insert(QStringLiteral("tickets"), m_state.ticketsJson());
    } else if (command == QLatin1String("logins")) {
        answer.insert(QStringLiteral("logins"), m_state.loginsJson());
    } else if (command == QLatin1String("devices")) {
        answer.insert(QStringLiteral("devices"), m_state.devicesJson());
    } else if (command == QLatin1String("log")) {
        answer.insert(QStringLiteral("requests"), m_log);
    } else if (command == QLatin1String("clearLog")) {
        m_log = QJsonArray();
    } else if (command == QLatin1String("login")) {
        const QJsonValue time = body.value(QStringLiteral("time"));
        if (!body.value(QStringLiteral("tokenUID")).isString() ||
            (body.contains(QStringLiteral("metadata")) &&
             !body.value(QStringLiteral("metadata")).isString()) ||
            (body.contains(QStringLiteral("time")) && !time.isDouble())) {
            status = 400;
            error = QStringLiteral(
                "needs \"tokenUID\" (string), optional \"metadata\" (string) and \"time\" (number)");
        } else {
            answer = m_state.createLogin(body.value(QStringLiteral("tokenUID")).toString(),
                                         body.value(QStringLiteral("metadata")).toString(),
                                         time.isDouble() ? DevState::seconds(time) : now(), false, &error);
            status = answer.isEmpty() ? 404 : 200;
        }
    } else if (command == QLatin1String("withdraw")) {
        status =
            m_state.withdrawLogin(body.value(QStringLiteral("sessionID")).toString(), &error) ? 200 : 404;
    } else if (command == QLatin1String("revoke")) {
        status = m_state.revokeToken(body.value(QStringLiteral("tokenUID")).toString(), &error) ? 200 : 404;
    } else if (command == QLatin1String("fault")) {
        answer = adminFault(body, &status);
        if (status != 200) {
            error = answer.value(QStringLiteral("message")).toString();
        }
    } else if (command == QLatin1String("clearFaults")) {
        m_faults.clear();
    } else {
        status = 404;
        error = QStringLiteral("unknown admin command");
    }
    if (status == 200 && (command == QLatin1String("login") || command == QLatin1String("withdraw") ||
                          command == QLatin1String("revoke"))) {
        save();
    }
    if (status == 200) {
        answer.insert(QStringLiteral("ok"), true);
        answerJson(res, status, answer);
    } else {
        answerJson(res, status, messageObject(error));
    }
}

QJsonObject DevServer::adminFault(const QJsonObject &body, int *status)
{
    *status = 400;
    const QString endpoint = normalisedEndpoint(body.value(QStringLiteral("endpoint")).toString());
    if (endpoint.isEmpty()) {
        return messageObject(QStringLiteral("\"endpoint\" must be \"/register\", \"/updateTokens\", "
                                            "\"/getRemovedTokens\" or \"/acceptToken\""));
    }
    auto intMember = [&](const char *key, int min, int max, int fallback, bool *ok) {
        const QJsonValue value = body.value(QLatin1String(key));
        if (value.isUndefined()) {
            return fallback;
        }
        const double number = value.toDouble(-1);
        if (!value.isDouble() || !(number >= min && number <= max) || number != static_cast<int>(number)) {
            *ok = false;
            return fallback;
        }
        return static_cast<int>(number);
    };
    bool ok = true;
    Fault fault;
    fault.remaining = intMember("count", 1, 1000000, 1, &ok);
    fault.status = intMember("status", 100, 599, 0, &ok);
    fault.delayMs = intMember("delayMs", 0, MAX_DELAY_MS, 0, &ok);
    const QJsonValue message = body.value(QStringLiteral("message"));
    const QJsonValue rawBody = body.value(QStringLiteral("body"));
    const QJsonValue close = body.value(QStringLiteral("close"));
    const QJsonValue kind = body.value(QStringLiteral("kind"));
    const bool knownKind = std::any_of(std::begin(FAULT_KINDS), std::end(FAULT_KINDS),
                                       [&](const char *known) { return kind == QLatin1String(known); });
    if (!ok || (!message.isUndefined() && !message.isString()) ||
        (!rawBody.isUndefined() && !rawBody.isString()) || (!close.isUndefined() && !close.isBool()) ||
        (!kind.isUndefined() && !knownKind)) {
        return messageObject(
            QStringLiteral("bad fault: \"count\" 1.., \"status\" 100..599, \"delayMs\" 0..%1, "
                           "\"message\" and \"body\" strings, \"close\" boolean, \"kind\" \"stream\", "
                           "\"drip\", \"reset\", \"redirect\" or \"flood\"")
                .arg(MAX_DELAY_MS));
    }
    if (knownKind &&
        (fault.status != 0 || !message.isUndefined() || !rawBody.isUndefined() || close.toBool())) {
        return messageObject(
            QStringLiteral("a fault with \"kind\" has no \"status\", \"message\", \"body\" or \"close\""));
    }
    fault.kind = kind.toString();
    fault.hasMessage = message.isString();
    fault.message = message.toString();
    fault.hasBody = rawBody.isString();
    fault.body = rawBody.toString().toUtf8();
    fault.close = close.toBool();
    if (fault.hasMessage && fault.hasBody) {
        return messageObject(QStringLiteral("a fault has either \"message\" or \"body\""));
    }
    if (fault.status == 0 && fault.hasMessage) {
        fault.status = 500;
    } else if (fault.status == 0 && fault.hasBody) {
        fault.status = 200;
    }
    if (fault.status == 0 && fault.delayMs == 0 && !fault.close && fault.kind.isEmpty()) {
        return messageObject(QStringLiteral(
            "a fault needs \"status\", \"message\", \"body\", \"delayMs\", \"close\" or \"kind\""));
    }
    m_faults.insert(endpoint, fault);
    *status = 200;
    QJsonObject answer;
    answer.insert(QStringLiteral("endpoint"), endpoint);
    answer.insert(QStringLiteral("count"), fault.remaining);
    return answer;
}

void DevServer::save()
{
    if (m_options.stateFile.isEmpty()) {
        return;
    }
    // QSaveFile writes a temporary file and renames it, so a crash never leaves half a state.
    QSaveFile file(m_options.stateFile);
    const QByteArray data = QJsonDocument(m_state.toJson()).toJson(QJsonDocument::Indented);
    if (!file.open(QIODevice::WriteOnly) || file.write(data) != data.size() || !file.commit()) {
        say("devserver: cannot write the state file " + m_options.stateFile.toStdString() + "\n");
        return;
    }
    // It holds OTP secrets and auth keys.
    QFile::setPermissions(m_options.stateFile, QFileDevice::ReadOwner | QFileDevice::WriteOwner);
}

bool DevServer::load(QString *error)
{
    QFile file(m_options.stateFile);
    if (!file.exists()) {
        return true;
    }
    if (!file.open(QIODevice::ReadOnly)) {
        *error = QStringLiteral("cannot read the state file ") + m_options.stateFile;
        return false;
    }
    QJsonParseError parseError;
    const QJsonDocument document = QJsonDocument::fromJson(file.readAll(), &parseError);
    QString reason;
    if (parseError.error != QJsonParseError::NoError || !document.isObject() ||
        !m_state.fromJson(document.object(), &reason)) {
        // Refuse to start rather than overwrite a state file we do not understand.
        *error = QStringLiteral("the state file %1 is not usable: %2")
                     .arg(m_options.stateFile, reason.isEmpty() ? parseError.errorString() : reason);
        return false;
    }
    return true;
}
