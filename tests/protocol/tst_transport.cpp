#include "accounts/account.h"
#include "models/accountslistmodel.h"
#include "protocol/httpclient.h"
#include "protocol/httpclientprocess.h"
#include "protocol/registerorbaccountoperation.h"
#include "protocol/request.h"
#include "tests/common/devserverfixture.h"
#include "tests/common/modelfixture.h"

#include <QtTest>

#include <limits>
#include <memory>

Q_DECLARE_METATYPE(HttpResult::ErrorCode)

namespace {
// Long enough for a loaded sanitizer build, short enough to keep the test quick.
const int SHORT_TRANSFER_TIMEOUT_MS = 300;
// Nothing listens on port 1 of the loopback.
const QString REFUSING_ADDRESS = QStringLiteral("http://127.0.0.1:1/vexa");
} // namespace

// The transport against kestrel-devserver on loopback, with the client on its own thread as in
// the application.
class TestTransport : public QObject
{
    Q_OBJECT

    DevServerFixture m_server;
    QThread m_httpThread;
    HttpClientProcess *m_process = nullptr;
    QList<HttpResult *> m_results;

    // Hands `request` to the transport and waits for its result.
    std::unique_ptr<HttpResult> exchange(Request *request)
    {
        const int before = m_results.size();
        emit m_process->sendRequest(request);
        if (!QTest::qWaitFor([&] { return m_results.size() > before; }, 15000)) {
            return nullptr;
        }
        return std::unique_ptr<HttpResult>(m_results.takeLast());
    }

    void setTransferTimeout(int milliseconds)
    {
        HttpClient *client = m_process->GetClient();
        QMetaObject::invokeMethod(
            client, [client, milliseconds] { client->SetTransferTimeout(milliseconds); },
            Qt::BlockingQueuedConnection);
    }

private slots:
    void initTestCase()
    {
        QVERIFY(ModelFixture::useTemporaryDataHome());
        QVERIFY2(m_server.start(), qPrintable(m_server.errorString()));

        m_process = new HttpClientProcess();
        m_process->moveToThread(&m_httpThread);
        connect(&m_httpThread, &QThread::finished, m_process, &QObject::deleteLater);
        // Queued to this thread, so that the list is only touched here.
        connect(m_process->GetClient(), &HttpClient::httpresult, this,
                [this](HttpResult *result) { m_results.append(result); });
        m_process->startClient();
        QVERIFY(m_httpThread.isRunning());
    }

    void cleanupTestCase()
    {
        m_httpThread.quit();
        m_httpThread.wait();
    }

    void init()
    {
        m_server.clearFaults();
        m_server.clearLog();
    }

    void cleanup()
    {
        for (HttpResult *result : qAsConst(m_results)) {
            delete result->operation;
            delete result;
        }
        m_results.clear();
        setTransferTimeout(HttpClient::TRANSFER_TIMEOUT_MS);
    }

    void errorReplies_data()
    {
        QTest::addColumn<QString>("endpoint");
        QTest::addColumn<QJsonObject>("fault");
        QTest::addColumn<HttpResult::ErrorCode>("code");
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("message");

        QTest::newRow("connection refused") << "refused" << QJsonObject() << HttpResult::ErrorConnection << 0
                                            << "Не удалось установить соединение с сервером";
        QTest::newRow("self-signed certificate")
            << "tls" << QJsonObject() << HttpResult::ErrorSslHandshake << 0
            << "Не удалось подтвердить подлинность сертификата сервера";
        QTest::newRow("400") << "/updateTokens" << QJsonObject{{"status", 400}, {"message", "bad"}}
                             << HttpResult::ErrorProtocol << 400 << "Неверная операция для данного протокола";
        QTest::newRow("500 with message")
            << "/acceptToken" << QJsonObject{{"status", 500}, {"message", "Сессия закрыта"}}
            << HttpResult::ErrorServer << 500 << "Сессия закрыта";
        // Every failure carries a text for the user.
        QTest::newRow("500 without message") << "/register" << QJsonObject{{"status", 500}}
                                             << HttpResult::ErrorServer << 500 << "Внутренняя ошибка сервера";
        QTest::newRow("404") << "/getRemovedTokens" << QJsonObject{{"status", 404}, {"message", "none"}}
                             << HttpResult::ErrorUnknown << 404 << "Неожиданный ответ сервера (код HTTP 404)";
        QTest::newRow("address ending in a slash") << "slash" << QJsonObject() << HttpResult::ErrorUnknown
                                                   << 404 << "Неожиданный ответ сервера (код HTTP 404)";
        QTest::newRow("reply never finishes")
            << "/updateTokens" << QJsonObject{{"delayMs", 3000}} << HttpResult::ErrorUnknown << 0
            << "Неизвестная сетевая ошибка";
    }

    void errorReplies()
    {
        QFETCH(QString, endpoint);
        QFETCH(QJsonObject, fault);
        QFETCH(HttpResult::ErrorCode, code);
        QFETCH(int, status);
        QFETCH(QString, message);

        QString address = m_server.address();
        DevServerFixture tlsServer;
        if (endpoint == "refused") {
            address = REFUSING_ADDRESS;
        } else if (endpoint == "tls") {
            QVERIFY2(tlsServer.start({"--self-signed"}), qPrintable(tlsServer.errorString()));
            address = tlsServer.address();
        } else if (endpoint == "slash") {
            address += '/';
        } else {
            m_server.injectFault(endpoint, fault, 3);
        }
        if (fault.contains("delayMs")) {
            setTransferTimeout(SHORT_TRANSFER_TIMEOUT_MS);
        }

        // A failed exchange still yields an operation carrying the error (that it is of its request's
        // kind, the server manager's hostile replies find: they wait for that kind).
        Request *request =
            endpoint == "/acceptToken" ? Request::CreateDeclineTokenRequest(address, "t-1", "s-1", "c2ln")
            : endpoint == "/register"  ? Request::CreateActivateOrbRequest(address, "req-x", "", "en-US",
                                                                           "AAAQEAYEAUDAOCAJBIFQYDIOB4")
            : endpoint == "/getRemovedTokens" ? Request::CreateGetRemovedTokensRequest(address, {"t-1"})
                                              : Request::CreateUpdateTokensRequest(address, {});
        std::unique_ptr<HttpResult> result = exchange(request);
        QVERIFY(result);
        std::unique_ptr<OperationRequest> operation(result->operation);
        QCOMPARE(result->errorCode, code);
        QCOMPARE(result->statusCode, status);
        QCOMPARE(result->message, message);
        QVERIFY(operation);
        QCOMPARE(operation->m_errorCode, code);
        QCOMPARE(operation->m_address, address);
        if (auto *registration = dynamic_cast<RegisterOrbAccountOperation *>(operation.get())) {
            QVERIFY(!registration->GetAccount());
        }
    }

    void repliesInOppositeOrder()
    {
        m_server.injectFault("/updateTokens", {{"delayMs", 300}});
        emit m_process->sendRequest(Request::CreateUpdateTokensRequest(m_server.address(), {}));
        emit m_process->sendRequest(Request::CreateGetRemovedTokensRequest(m_server.address(), {"t-gone"}));
        QTRY_COMPARE_WITH_TIMEOUT(m_results.size(), 2, 15000);

        QCOMPARE(m_results.at(0)->operation->m_operationType, OperationRequest::DeleteAccountsOp);
        QCOMPARE(m_results.at(1)->operation->m_operationType, OperationRequest::AuthOp);
        for (const HttpResult *result : qAsConst(m_results)) {
            QCOMPARE(result->errorCode, HttpResult::ErrorNone);
        }
    }

    void registration_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("member");
        QTest::addColumn<int>("type");
        QTest::newRow("encrypted push answer") << "push"
                                               << "mobileotp" << int(Account::TypeAuth);
        QTest::newRow("encrypted under mobileauth, no authkey")
            << "otp"
            << "mobileauth" << int(Account::TypeStandartOrb);
        QTest::newRow("plain object answer") << "plain"
                                             << "mobileotp" << int(Account::TypeStandart);
        QTest::newRow("both members: mobileotp wins") << "push"
                                                      << "both" << int(Account::TypeAuth);
    }

    void registration()
    {
        QFETCH(QString, kind);
        QFETCH(QString, member);
        QFETCH(int, type);
        const QJsonObject ticket = m_server.createTicket(kind, member);
        QVERIFY2(!ticket.isEmpty(), qPrintable(m_server.errorString()));
        std::unique_ptr<HttpResult> result = exchange(
            Request::CreateActivateOrbRequest(ticket["address"].toString(), ticket["reqID"].toString(),
                                              ticket["pin"].toString(), "en-US", ticket["key"].toString()));
        QVERIFY(result);
        std::unique_ptr<OperationRequest> operation(result->operation);
        QCOMPARE(result->errorCode, HttpResult::ErrorNone);
        Account *account = static_cast<RegisterOrbAccountOperation *>(operation.get())->GetAccount();
        QVERIFY(account);
        // Built on the HTTP thread, handed over to this one.
        QCOMPARE(account->thread(), QThread::currentThread());
        QCOMPARE(int(account->m_accountType), type);
        QCOMPARE(account->m_uri, ticket["otp"].toString());
        const bool bound = type != Account::TypeStandart;
        QCOMPARE(account->m_address, bound ? m_server.address() : QString());
        QCOMPARE(account->m_tokenUID, bound ? ticket["tokenUID"].toString() : QString());
        QCOMPARE(account->m_authKey, ticket["authkey"].toString());
        QCOMPARE(account->m_reqID, type == Account::TypeAuth ? ticket["reqID"].toString() : QString());
    }

    // A POST on a kept-alive connection is not held back until the server acknowledges its header:
    // with the header and the body in two segments and Nagle on, each one waited about 40 ms for the
    // server's delayed ACK.
    void keptAliveExchangesNotHeldBack()
    {
        qint64 fastest = std::numeric_limits<qint64>::max();
        for (int i = 0; i < 5; ++i) {
            QEventLoop loop;
            connect(m_process->GetClient(), &HttpClient::httpresult, &loop, &QEventLoop::quit,
                    Qt::QueuedConnection);
            QTimer::singleShot(15000, &loop, &QEventLoop::quit);
            QElapsedTimer timer;
            timer.start();
            emit m_process->sendRequest(Request::CreateUpdateTokensRequest(m_server.address(), {}));
            loop.exec();
            fastest = std::min(fastest, timer.elapsed());
            QCOMPARE(m_results.size(), i + 1);
        }
        QVERIFY2(fastest < 25, qPrintable(QString("the fastest exchange took %1 ms").arg(fastest)));
    }
};

QTEST_GUILESS_MAIN(TestTransport)
#include "tst_transport.moc"
