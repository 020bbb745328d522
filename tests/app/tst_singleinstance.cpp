#include "app/pushreceiverservice.h"
#include "tests/common/fakenotificationserver.h"
#include "tests/common/privatebus.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QtTest>

// Runs the program itself, as the platform and the user start it, on the test's own bus.
class TestSingleInstance : public QObject
{
    Q_OBJECT

    const QString m_service = QStringLiteral("ru.kestrel.Kestrel2FAClient");
    const int m_timeout = 20000; // start-up under the sanitizers takes about a second
    FakeNotificationServer m_notifications;
    QProcess m_running;
    QByteArray m_output;

    void start(QProcess &process, const QStringList &arguments)
    {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("minimal"));
        process.setProcessEnvironment(environment);
        process.setProcessChannelMode(QProcess::MergedChannels);
        process.start(QStringLiteral(KESTREL_APP_BINARY), arguments);
    }

    // How often the running instance has logged "showGui: window <what>" so far.
    int windows(const char *what)
    {
        m_running.waitForReadyRead(0);
        m_output += m_running.readAll();
        return m_output.count(QByteArray("showGui: window ") + what);
    }

    qint64 nameOwnerPid()
    {
        QDBusConnectionInterface *bus = QDBusConnection::sessionBus().interface();
        return bus->isServiceRegistered(m_service) ? qint64(bus->servicePid(m_service).value()) : -1;
    }

    bool call(const QString &path, const QString &interface, const QString &method,
              const QVariantList &arguments)
    {
        QDBusMessage message = QDBusMessage::createMethodCall(m_service, path, interface, method);
        message.setArguments(arguments);
        return QDBusConnection::sessionBus().call(message, QDBus::Block, 30000).type() ==
               QDBusMessage::ReplyMessage;
    }

    void stopRunning()
    {
        if (m_running.state() == QProcess::NotRunning) {
            return;
        }
        m_running.terminate();
        QVERIFY(m_running.waitForFinished(m_timeout));
    }

private slots:
    void initTestCase() { QVERIFY(m_notifications.start()); }

    void cleanupTestCase() { stopRunning(); }

    void firstLaunchOwnsTheName()
    {
        start(m_running, {QStringLiteral("/no-gui")});
        QTRY_COMPARE_WITH_TIMEOUT(nameOwnerPid(), m_running.processId(), m_timeout);
        QCOMPARE(windows("created"), 0);
    }

    void laterLaunchForwardsItsArguments_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<bool>("lostRace");
        QTest::addColumn<int>("created");
        QTest::addColumn<int>("raised");
        // Counts after each row; the rows build on each other.
        QTest::newRow("no-gui among others leaves it windowless")
            << QStringList{QStringLiteral("x"), QStringLiteral("/no-gui")} << false << 0 << 0;
        QTest::newRow("no arguments show the window") << QStringList() << false << 1 << 0;
        QTest::newRow("then raise it") << QStringList{QStringLiteral("other")} << false << 1 << 1;
        // A launch that saw the name free and lost it before claiming it is in the state of this
        // process claiming the name the running instance owns.
        QTest::newRow("the loser of a race for the name") << QStringList() << true << 1 << 2;
    }

    void laterLaunchForwardsItsArguments()
    {
        QFETCH(QStringList, arguments);
        QFETCH(bool, lostRace);
        QFETCH(int, created);
        QFETCH(int, raised);
        if (lostRace) {
            QObject application;
            const PushReceiverService lost(&application, arguments);
            QVERIFY(!lost.ownsName());
        } else {
            QProcess launcher;
            start(launcher, arguments);
            QVERIFY(launcher.waitForFinished(m_timeout));
            QCOMPARE(launcher.exitStatus(), QProcess::NormalExit);
            QVERIFY2(launcher.exitCode() == 0, launcher.readAll().constData());
        }
        QTRY_COMPARE_WITH_TIMEOUT(windows("created"), created, m_timeout);
        QTRY_COMPARE_WITH_TIMEOUT(windows("raised"), raised, m_timeout);
        QCOMPARE(nameOwnerPid(), m_running.processId());
    }

    void notificationActionWakesTheApplication()
    {
        const QString path = QStringLiteral("/ru/kestrel/PushStandIn"),
                      interface = QStringLiteral("ru.kestrel.PushStandIn");
        QVERIFY(
            call(path, interface, QStringLiteral("Deliver"), {"{\"mtype\":\"auth\"}", "Login", "Confirm"}));
        QTRY_COMPARE_WITH_TIMEOUT(m_notifications.published.size(), 1, m_timeout);
        // Which pushes are shown, and the rest of what a notification holds, is checked with the
        // push model.
        QCOMPARE(m_notifications.published.at(0).body, QStringLiteral("Confirm"));
        m_notifications.invokeAction(m_notifications.published.at(0).id, QStringLiteral("default"));
        QTRY_COMPARE_WITH_TIMEOUT(windows("raised"), 3, m_timeout);
    }

    void wakeUpShowsTheWindowOfAWindowlessInstance()
    {
        stopRunning();
        QTRY_COMPARE_WITH_TIMEOUT(nameOwnerPid(), qint64(-1), m_timeout);
        m_output.clear();
        // The next launch becomes the running instance.
        start(m_running, {QStringLiteral("/no-gui")});
        QTRY_COMPARE_WITH_TIMEOUT(nameOwnerPid(), m_running.processId(), m_timeout);
        QVERIFY(call(QStringLiteral("/ru/kestrel/Kestrel2FAClient"), m_service,
                     QStringLiteral("handleApplicationWakeUp"), {}));
        QTRY_COMPARE_WITH_TIMEOUT(windows("created"), 1, m_timeout);
        QCOMPARE(windows("raised"), 0);
    }
};

KESTREL_PRIVATE_BUS_TEST_MAIN(QCoreApplication, TestSingleInstance)

#include "tst_singleinstance.moc"
