// Ten servers polled by one ServerManager at the program's interval, for a minute (or the number
// of seconds given as the first argument): the client's CPU time, the updates each server
// received per minute, and the time from a login created at a server to requestConfirmation.
//
//     build/bench/bench_servers [seconds]

#include "accounts/account.h"
#include "accounts/datastorage.h"
#include "models/accountslistmodel.h"
#include "protocol/authrequest.h"
#include "servers/servermanager.h"
#include "servers/vexaserver.h"
#include "servers/vexaserverprocess.h"
#include "tests/common/devserverfixture.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QJsonArray>
#include <QRandomGenerator>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <algorithm>
#include <cstdio>
#include <memory>
#include <sys/resource.h>
#include <vector>

namespace {
const int SERVERS = 10;

double cpuSeconds()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_utime.tv_sec + usage.ru_utime.tv_usec / 1e6 + usage.ru_stime.tv_sec +
           usage.ru_stime.tv_usec / 1e6;
}

int fail(const char *what)
{
    std::fprintf(stderr, "bench_servers: %s\n", what);
    return 1;
}
} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const int seconds = argc > 1 ? std::max(10, atoi(argv[1])) : 60;
    QTemporaryDir dataDir;
    qputenv("XDG_DATA_HOME", dataDir.path().toUtf8());
    qputenv("QT_LOGGING_RULES", "*.debug=false");

    std::vector<std::unique_ptr<DevServerFixture>> servers;
    for (int i = 0; i < SERVERS; ++i) {
        servers.push_back(std::make_unique<DevServerFixture>());
        if (!servers.back()->start()) {
            return fail(qPrintable(servers.back()->errorString()));
        }
    }
    // The list model, as the program runs it: its manager polls every POLL_INTERVAL_MS.
    auto model = std::make_unique<AccountsListModel>();
    ServerManager *manager = model->findChild<ServerManager *>();
    std::vector<Account *> accounts;
    for (auto &server : servers) {
        QSignalSpy ready(model.get(), &AccountsListModel::accountready);
        model->add(server->createTicket("push").value("uri").toString());
        if (!ready.wait(10000)) {
            return fail("registration failed");
        }
        accounts.push_back(DataStorage::Instance()->m_accountsData.m_accounts.last());
    }

    AuthRequest *shown = nullptr;
    bool answered = false;
    QObject::connect(manager, &ServerManager::requestConfirmation, [&](AuthRequest *r) { shown = r; });
    QObject::connect(manager, &ServerManager::newConfirmationStatus,
                     [&](Account::ConfirmationStatus) { answered = true; });

    for (auto &server : servers) {
        server->clearLog();
    }
    const double cpuStart = cpuSeconds();
    QElapsedTimer clock;
    clock.start();
    std::vector<qint64> latencies;
    QRandomGenerator random(42);
    int next = 0;
    while (clock.elapsed() < seconds * 1000LL) {
        // A login at one server, at a random phase of its polling cycle.
        QTest::qWait(random.bounded(VexaServerProcess::POLL_INTERVAL_MS));
        const int index = next++ % SERVERS;
        shown = nullptr;
        servers[index]->createLogin(accounts[index]->m_tokenUID, "bench");
        const qint64 created = clock.elapsed();
        if (!QTest::qWaitFor([&] { return shown != nullptr; }, 10000)) {
            return fail("no requestConfirmation within 10 s");
        }
        latencies.push_back(clock.elapsed() - created);
        answered = false;
        model->declineAuth();
        if (!QTest::qWaitFor([&] { return answered; }, 10000)) {
            return fail("no answer within 10 s");
        }
        model->finishConfirmation();
    }
    const double elapsed = clock.elapsed() / 1000.0;
    const double cpu = cpuSeconds() - cpuStart;

    std::vector<double> perMinute;
    for (auto &server : servers) {
        int updates = 0;
        for (const QJsonValue &entry : server->requestLog()) {
            if (entry.toObject().value("endpoint").toString() == "/updateTokens") {
                ++updates;
            }
        }
        perMinute.push_back(updates * 60.0 / elapsed);
    }
    model.reset();

    std::sort(latencies.begin(), latencies.end());
    std::sort(perMinute.begin(), perMinute.end());
    double sum = 0;
    for (double value : perMinute) {
        sum += value;
    }
    std::printf("servers: %d, interval: %d ms, measured: %.1f s\n", SERVERS,
                VexaServerProcess::POLL_INTERVAL_MS, elapsed);
    std::printf("client CPU: %.3f s (%.2f%% of one core)\n", cpu, 100.0 * cpu / elapsed);
    std::printf("updates per server per minute: min %.1f, mean %.1f, max %.1f\n", perMinute.front(),
                sum / perMinute.size(), perMinute.back());
    std::printf("login -> requestConfirmation (%zu logins): median %lld ms, max %lld ms\n", latencies.size(),
                static_cast<long long>(latencies[latencies.size() / 2]),
                static_cast<long long>(latencies.back()));
    return 0;
}
