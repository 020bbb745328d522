#include "tests/common/privatebus.h"
#include "ui/pinattemptlimiter.h"

#include <notification.h>
#include <push_client.h>

#include <QtTest>
#include <sys/stat.h>

using Aurora::PushNotifications::Client;

namespace {
QStringList warnings;
void recordWarnings(QtMsgType type, const QMessageLogContext &, const QString &message)
{
    if (type == QtWarningMsg) {
        warnings.append(message);
    }
}

int fileMode(const QString &path)
{
    struct stat st = {};
    return ::stat(QFile::encodeName(path).constData(), &st) == 0 ? int(st.st_mode & 0777) : -1;
}
} // namespace

// The stand-ins' own choices; what the program sees of them is tested with the program.
class TestPlatform : public QObject
{
    Q_OBJECT

    // The id a fresh client, as in a new run of the program, registers with.
    static QString registrationIdFor(const QString &applicationId)
    {
        Client client;
        QSignalSpy ids(&client, &Client::registrationId);
        QSignalSpy errors(&client, &Client::registrationError);
        client.setApplicationId(applicationId);
        client.registrate();
        if (!QTest::qWaitFor([&]() { return ids.count() + errors.count() > 0; }, 5000) || ids.isEmpty()) {
            return QStringLiteral("<error>");
        }
        return ids.at(0).at(0).toString();
    }

private slots:
    void registrationIdStaysWithTheApplicationId()
    {
        const QString first = registrationIdFor(QStringLiteral("app-one"));
        QCOMPARE(first.size(), 32);
        QCOMPARE(registrationIdFor(QStringLiteral("app-one")), first);
        const QString other = registrationIdFor(QStringLiteral("app-two"));
        QVERIFY(other != first && other.size() == 32);
        QCOMPARE(registrationIdFor(QStringLiteral("app-one")), first);
        QCOMPARE(registrationIdFor(QString()), QStringLiteral("<error>"));
    }

    // The writers outside the storage keep the data directory private too, also when it was made
    // with the umask's mode before.
    void dataDirectoryModes_data()
    {
        QTest::addColumn<bool>("wrongPin"); // else a push registration
        QTest::addColumn<int>("existingMode");
        QTest::newRow("wrong PIN, new directory") << true << 0;
        QTest::newRow("wrong PIN, directory made 0755") << true << 0755;
        QTest::newRow("push registration, new directory") << false << 0;
        QTest::newRow("push registration, directory made 0755") << false << 0755;
    }

    void dataDirectoryModes()
    {
        QFETCH(bool, wrongPin);
        QFETCH(int, existingMode);
        const QString directory = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
        QVERIFY(QDir(directory).removeRecursively());
        QVERIFY(!existingMode || (QDir().mkpath(directory) &&
                                  ::chmod(QFile::encodeName(directory), mode_t(existingMode)) == 0));
        if (wrongPin) {
            PinAttemptLimiter().recordFailure();
        } else {
            QCOMPARE(registrationIdFor(QStringLiteral("app-modes")).size(), 32);
        }
        QCOMPARE(fileMode(directory), 0700);
        QCOMPARE(fileMode(directory + (wrongPin ? "/pinattempts.txt" : "/pushclient.json")), 0600);
    }

    void inactivityIsReportedAfterTheLastPush()
    {
        Client client;
        QSignalSpy inactive(&client, &Client::clientInactive);
        client.setInactivityInterval(100);
        QVERIFY(inactive.wait(5000));
        client.Deliver(QString(), QString(), QString()); // re-arms the timer once more
        QVERIFY(inactive.wait(5000));
        QCOMPARE(inactive.count(), 2);
    }

    void publishingWithoutServiceOnlyWarns()
    {
        warnings.clear();
        const QtMessageHandler previous = qInstallMessageHandler(recordWarnings);
        Notification notification;
        notification.publish();
        const bool warned = QTest::qWaitFor([]() { return !warnings.isEmpty(); }, 5000);
        qInstallMessageHandler(previous);
        QVERIFY(warned);
        QVERIFY2(warnings.at(0).contains(QStringLiteral("no notification service")),
                 qPrintable(warnings.at(0)));
    }
};

KESTREL_PRIVATE_BUS_TEST_MAIN(QCoreApplication, TestPlatform)

#include "tst_platform.moc"
