// Round trips of "/updateTokens" through the real transport (HttpClientProcess on its own thread,
// as in the application) against kestrel-devserver on loopback, with 1 and with 10 requests in
// flight, and the client's CPU time per request (the whole process: GUI and HTTP thread; the
// server is another process). Mean, median and spread of five runs are printed; the median
// wall time of one request in flight is the round-trip figure.
#include "accounts/account.h"
#include "accounts/authaccount.h"
#include "protocol/httpclient.h"
#include "protocol/httpclientprocess.h"
#include "protocol/operationrequest.h"
#include "protocol/registerorbaccountoperation.h"
#include "protocol/request.h"
#include "tests/common/devserverfixture.h"

#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QEventLoop>
#include <QTemporaryDir>
#include <QThread>
#include <QTimer>

#include <ctime>
#include <memory>

namespace {

double processCpuSeconds()
{
    timespec now{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return double(now.tv_sec) + double(now.tv_nsec) / 1e9;
}

void quiet(QtMsgType type, const QMessageLogContext &, const QString &message)
{
    if (type != QtDebugMsg && type != QtInfoMsg) {
        fprintf(stderr, "%s\n", qPrintable(message));
    }
}

// The transport and a registered push account whose token the updates list.
class Client : public QObject
{
public:
    bool start(DevServerFixture *server)
    {
        m_process = new HttpClientProcess();
        m_process->moveToThread(&m_thread);
        connect(m_process->GetClient(), &HttpClient::httpresult, this, [this](HttpResult *result) {
            m_failed += result->errorCode != HttpResult::ErrorNone;
            m_lastResult.reset(result);
            m_lastOperation.reset(result->operation);
            ++m_received;
            if (m_waitLoop && m_received >= m_waitTarget) {
                m_waitLoop->quit();
            }
        });
        m_process->startClient();

        const QJsonObject ticket = server->createTicket(QStringLiteral("push"));
        send(Request::CreateActivateOrbRequest(
            ticket[QStringLiteral("address")].toString(), ticket[QStringLiteral("reqID")].toString(),
            QString(), QStringLiteral("en-US"), ticket[QStringLiteral("key")].toString()));
        if (!waitFor(1)) {
            return false;
        }
        auto *registration = dynamic_cast<RegisterOrbAccountOperation *>(m_lastOperation.get());
        m_account.reset(registration ? registration->TakeAccount() : nullptr);
        if (!m_account || m_account->m_accountType != Account::TypeAuth) {
            return false;
        }
        m_token = static_cast<AuthAccount *>(m_account.get())->m_notificationToken;
        m_token.registrationId = QStringLiteral("bench-device");
        // One pending login, so that every reply carries a request to decode.
        server->createLogin(m_account->m_tokenUID, QStringLiteral("Firefox"));
        m_address = ticket[QStringLiteral("address")].toString();
        return true;
    }

    void stop()
    {
        m_thread.quit();
        m_thread.wait();
        delete m_process;
    }

    void sendUpdate() { send(Request::CreateUpdateTokensRequest(m_address, {m_token})); }

    // Runs the event loop until `count` results have arrived in total (30 s at most).
    bool waitFor(long count)
    {
        if (m_received < count) {
            QEventLoop loop;
            m_waitTarget = count;
            m_waitLoop = &loop;
            QTimer::singleShot(30000, &loop, &QEventLoop::quit);
            loop.exec();
            m_waitLoop = nullptr;
        }
        return m_received >= count;
    }

    long received() const { return m_received; }
    long failed() const { return m_failed; }

private:
    void send(Request *request) { emit m_process->sendRequest(request); }

    QThread m_thread;
    HttpClientProcess *m_process = nullptr;
    std::unique_ptr<HttpResult> m_lastResult;
    std::unique_ptr<OperationRequest> m_lastOperation;
    std::unique_ptr<Account> m_account;
    NotificationToken m_token;
    QString m_address;
    long m_received = 0;
    long m_failed = 0;
    QEventLoop *m_waitLoop = nullptr;
    long m_waitTarget = 0;
};

Client *g_client = nullptr;

void BM_UpdateTokensRoundTrip(benchmark::State &state)
{
    const int inFlight = static_cast<int>(state.range(0));
    const long failedBefore = g_client->failed();
    long requests = 0;
    const double cpuBefore = processCpuSeconds();
    for (auto _ : state) {
        const long target = g_client->received() + inFlight;
        for (int i = 0; i < inFlight; ++i) {
            g_client->sendUpdate();
        }
        if (!g_client->waitFor(target)) {
            state.SkipWithError("replies did not arrive");
            break;
        }
        requests += inFlight;
    }
    const double cpu = processCpuSeconds() - cpuBefore;
    state.SetItemsProcessed(requests);
    state.counters["client_cpu_us_per_request"] = requests ? cpu / double(requests) * 1e6 : 0.0;
    state.counters["failed"] = double(g_client->failed() - failedBefore);
}
// The machine is usually busy with other work: the median of several runs is what counts.
BENCHMARK(BM_UpdateTokensRoundTrip)
    ->Arg(1)
    ->Arg(10)
    ->UseRealTime()
    ->MinTime(1.0)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    qInstallMessageHandler(quiet);
    QTemporaryDir dataHome;
    qputenv("XDG_DATA_HOME", dataHome.path().toUtf8());

    DevServerFixture server;
    if (!server.start({QStringLiteral("--no-qr")})) {
        fprintf(stderr, "kestrel-devserver: %s\n", qPrintable(server.errorString()));
        return 1;
    }
    Client client;
    if (!client.start(&server)) {
        fprintf(stderr, "registration at the dev server failed\n");
        return 1;
    }
    g_client = &client;

    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    client.stop();
    return 0;
}
