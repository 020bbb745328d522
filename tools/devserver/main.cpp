// kestrel-devserver: a local authentication server for the client's tests and demos.

#include "tools/devserver/devserver.h"

#include <QDateTime>
#include <QString>

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <pthread.h>

namespace {
void usage(FILE *out)
{
    std::fputs("Usage: kestrel-devserver [options]\n"
               "  --port N             port on 127.0.0.1 (default 0: a free port)\n"
               "  --prefix PATH        path prefix of the protocol endpoints (default /vexa, \"\" for none)\n"
               "  --tls CERT KEY       HTTPS with these PEM files\n"
               "  --self-signed        HTTPS with a certificate made at start\n"
               "  --cert-out FILE      write the self-signed certificate there (PEM)\n"
               "  --state FILE         keep tickets, tokens and logins in FILE across restarts\n"
               "  --demo               create one ticket of each kind and send login requests\n"
               "  --demo-delay S       first demo login S seconds after registration (default 5)\n"
               "  --demo-interval S    then one every S seconds (default 60)\n"
               "  --no-qr              print tickets as URIs only\n"
               "  --exit-after S       stop after S seconds\n"
               "  --help\n",
               out);
}

bool toInt(const char *text, int min, int max, int *value)
{
    char *end = nullptr;
    const long number = std::strtol(text, &end, 10);
    if (end == text || *end != '\0' || number < min || number > max) {
        return false;
    }
    *value = static_cast<int>(number);
    return true;
}

bool validPrefix(const QString &prefix)
{
    if (prefix.isEmpty()) {
        return true;
    }
    if (!prefix.startsWith(QLatin1Char('/')) || prefix.endsWith(QLatin1Char('/'))) {
        return false;
    }
    for (QChar c : prefix) {
        if (!(c.isLetterOrNumber() && c.unicode() < 128) && c != QLatin1Char('/') && c != QLatin1Char('-') &&
            c != QLatin1Char('_') && c != QLatin1Char('.')) {
            return false;
        }
    }
    return true;
}
} // namespace

int main(int argc, char **argv)
{
    DevServer::Options options;
    bool demo = false;
    int exitAfter = 0;
    for (int i = 1; i < argc; ++i) {
        const char *arg = argv[i];
        auto next = [&](int count) {
            if (i + count >= argc) {
                std::fprintf(stderr, "kestrel-devserver: %s needs %d argument(s)\n", arg, count);
                std::exit(2);
            }
        };
        bool ok = true;
        if (!std::strcmp(arg, "--port")) {
            next(1);
            ok = toInt(argv[++i], 0, 65535, &options.port);
        } else if (!std::strcmp(arg, "--prefix")) {
            next(1);
            options.prefix = QString::fromLocal8Bit(argv[++i]);
            ok = validPrefix(options.prefix);
        } else if (!std::strcmp(arg, "--tls")) {
            next(2);
            options.tlsCertificate = QString::fromLocal8Bit(argv[++i]);
            options.tlsKey = QString::fromLocal8Bit(argv[++i]);
        } else if (!std::strcmp(arg, "--self-signed")) {
            options.selfSigned = true;
        } else if (!std::strcmp(arg, "--cert-out")) {
            next(1);
            options.certificateOut = QString::fromLocal8Bit(argv[++i]);
        } else if (!std::strcmp(arg, "--state")) {
            next(1);
            options.stateFile = QString::fromLocal8Bit(argv[++i]);
        } else if (!std::strcmp(arg, "--demo")) {
            demo = true;
        } else if (!std::strcmp(arg, "--demo-delay")) {
            next(1);
            ok = toInt(argv[++i], 0, 86400, &options.demoDelaySeconds);
        } else if (!std::strcmp(arg, "--demo-interval")) {
            next(1);
            ok = toInt(argv[++i], 1, 86400, &options.demoIntervalSeconds);
        } else if (!std::strcmp(arg, "--no-qr")) {
            options.qr = false;
        } else if (!std::strcmp(arg, "--exit-after")) {
            next(1);
            ok = toInt(argv[++i], 1, 1000000, &exitAfter);
        } else if (!std::strcmp(arg, "--help")) {
            usage(stdout);
            return 0;
        } else {
            ok = false;
        }
        if (!ok) {
            std::fprintf(stderr, "kestrel-devserver: bad argument %s\n", arg);
            usage(stderr);
            return 2;
        }
    }

    // Signals are taken synchronously by the main thread; every thread started later
    // inherits the mask, so none of them is interrupted.
    sigset_t stopSignals;
    sigemptyset(&stopSignals);
    sigaddset(&stopSignals, SIGINT);
    sigaddset(&stopSignals, SIGTERM);
    pthread_sigmask(SIG_BLOCK, &stopSignals, nullptr);
    // A client that goes away mid-answer must not kill the server.
    std::signal(SIGPIPE, SIG_IGN);

    DevServer server(options);
    QString error;
    if (!server.start(&error)) {
        std::fprintf(stderr, "kestrel-devserver: %s\n", error.toLocal8Bit().constData());
        return 1;
    }
    // The address line comes last: whoever waits for it may rely on the demo tickets.
    if (demo) {
        server.createDemoTickets();
    }
    DevServer::say("admin: " + server.origin().toStdString() + "/admin/\n");
    DevServer::say("address: " + server.address().toStdString() + "\n");

    const qint64 deadline = exitAfter > 0 ? QDateTime::currentMSecsSinceEpoch() + exitAfter * 1000LL : 0;
    for (;;) {
        qint64 waitMs = 1000;
        if (deadline) {
            const qint64 left = deadline - QDateTime::currentMSecsSinceEpoch();
            if (left <= 0) {
                DevServer::say("stopping: time is up\n");
                break;
            }
            waitMs = qMin(waitMs, left);
        }
        timespec timeout;
        timeout.tv_sec = static_cast<time_t>(waitMs / 1000);
        timeout.tv_nsec = static_cast<long>(waitMs % 1000) * 1000000L;
        const int signal = sigtimedwait(&stopSignals, nullptr, &timeout);
        if (signal == SIGINT || signal == SIGTERM) {
            DevServer::say(signal == SIGINT ? "stopping: SIGINT\n" : "stopping: SIGTERM\n");
            break;
        }
        if (demo) {
            server.demoTick(QDateTime::currentSecsSinceEpoch());
        }
    }
    server.stop();
    DevServer::say("stopped\n");
    return 0;
}
