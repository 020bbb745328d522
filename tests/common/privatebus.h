#ifndef KESTREL_TESTS_COMMON_PRIVATEBUS_H
#define KESTREL_TESTS_COMMON_PRIVATEBUS_H

#include <QProcess>
#include <QString>
#include <QTemporaryDir>

// A dbus-daemon of the test's own, so that the well-known names a test claims never meet
// another test or a desktop. start() points DBUS_SESSION_BUS_ADDRESS of this process (and of
// the processes it starts) at it; it must run before anything touches the session bus.
class PrivateBus
{
public:
    ~PrivateBus()
    {
        m_daemon.kill();
        m_daemon.waitForFinished(5000);
    }

    bool start()
    {
        m_daemon.start(QStringLiteral("dbus-daemon"),
                       {QStringLiteral("--session"), QStringLiteral("--nofork"),
                        QStringLiteral("--nopidfile"), QStringLiteral("--print-address=1")});
        while (!m_daemon.canReadLine()) {
            if (!m_daemon.waitForReadyRead(10000)) {
                return false;
            }
        }
        const QByteArray address = m_daemon.readLine().trimmed();
        qputenv("DBUS_SESSION_BUS_ADDRESS", address);
        return !address.isEmpty();
    }

private:
    QProcess m_daemon;
};

// main() of a Qt Test whose cases share one private session bus and one fresh data directory
// (XDG_DATA_HOME, also for the programs the test starts), under the program's own names. GUI
// tests run on the "minimal" platform: the "offscreen" one leaks its screen at exit, which the
// leak checker of the sanitizer build would report. The test object goes before the bus and
// the directory (it was declared after them).
#define KESTREL_PRIVATE_BUS_TEST_MAIN(Application, TestObject)                                               \
    int main(int argc, char *argv[])                                                                         \
    {                                                                                                        \
        qputenv("QT_QPA_PLATFORM", "minimal");                                                               \
        Application app(argc, argv);                                                                         \
        app.setOrganizationName(QStringLiteral("ru.kestrel"));                                               \
        app.setApplicationName(QStringLiteral("Kestrel2FAClient"));                                          \
        QTemporaryDir dataHome;                                                                              \
        qputenv("XDG_DATA_HOME", dataHome.path().toUtf8());                                                  \
        PrivateBus bus;                                                                                      \
        if (!bus.start()) {                                                                                  \
            qFatal("cannot start a private dbus-daemon");                                                    \
        }                                                                                                    \
        TestObject test;                                                                                     \
        return QTest::qExec(&test, argc, argv);                                                              \
    }

#endif // KESTREL_TESTS_COMMON_PRIVATEBUS_H
