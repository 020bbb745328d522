#include "tests/platform/fakenotificationserver.h"
#include "tests/platform/privatebus.h"

#include <notification.h>

#include <QCoreApplication>
#include <QDBusConnection>
#include <QtTest>

// Stands for the application whose D-Bus method a remote action calls.
class ActionTarget : public QObject
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.kestrel.Target")

public:
    QList<QStringList> calls;

public slots:
    Q_SCRIPTABLE void wake(const QString &first, const QString &second) { calls.append({first, second}); }
};

namespace {
QStringList warnings;
void recordWarnings(QtMsgType type, const QMessageLogContext &, const QString &message)
{
    if (type == QtWarningMsg)
        warnings.append(message);
}
} // namespace

class TestNotification : public QObject
{
    Q_OBJECT

private:
    ActionTarget m_target;

    static QVariant wakeAction(const QString &name)
    {
        return Notification::remoteAction(
            name, QStringLiteral("Open app"), QStringLiteral("org.kestrel.Target"), QStringLiteral("/target"),
            QStringLiteral("org.kestrel.Target"), QStringLiteral("wake"), {name, QStringLiteral("arg")});
    }

private slots:
    void initTestCase()
    {
        QDBusConnection bus =
            QDBusConnection::connectToBus(QDBusConnection::SessionBus, QStringLiteral("target"));
        QVERIFY(
            bus.registerObject(QStringLiteral("/target"), &m_target, QDBusConnection::ExportScriptableSlots));
        QVERIFY(bus.registerService(QStringLiteral("org.kestrel.Target")));
    }

    void cleanupTestCase() { QDBusConnection::disconnectFromBus(QStringLiteral("target")); }

    void publishReachesTheService()
    {
        FakeNotificationServer server;
        QVERIFY(server.start());
        Notification notification;
        notification.setAppName(QStringLiteral("Kestrel 2FA"));
        notification.setSummary(QStringLiteral("Login"));
        notification.setBody(QStringLiteral("Confirm"));
        notification.setIsTransient(false);
        notification.setItemCount(1);
        notification.setHintValue(QStringLiteral("x-nemo-feedback"), QStringLiteral("sms_exists"));
        notification.setRemoteActions({wakeAction(QStringLiteral("default"))});
        notification.publish();

        QTRY_COMPARE(server.published.size(), 1);
        const FakeNotificationServer::Published &shown = server.published.at(0);
        QCOMPARE(shown.appName, QStringLiteral("Kestrel 2FA"));
        QCOMPARE(shown.summary, QStringLiteral("Login"));
        QCOMPARE(shown.body, QStringLiteral("Confirm"));
        QCOMPARE(shown.actions, QStringList({QStringLiteral("default"), QStringLiteral("Open app")}));
        QCOMPARE(shown.hints.value(QStringLiteral("x-nemo-feedback")).toString(),
                 QStringLiteral("sms_exists"));
        QCOMPARE(shown.hints.value(QStringLiteral("transient")).toBool(), false);
        QCOMPARE(shown.hints.value(QStringLiteral("x-nemo-item-count")).toInt(), 1);
    }

    void chosenActionCallsItsMethod()
    {
        FakeNotificationServer server;
        QVERIFY(server.start());
        m_target.calls.clear();
        {
            // The notification object goes right after publishing, as the push intake does.
            Notification notification;
            notification.setRemoteActions(
                {wakeAction(QStringLiteral("default")), wakeAction(QStringLiteral("second"))});
            notification.publish();
        }
        QTRY_COMPARE(server.published.size(), 1);
        const uint id = server.published.at(0).id;

        server.invokeAction(id + 1, QStringLiteral("default")); // someone else's notification
        server.invokeAction(id, QStringLiteral("unknown"));
        server.invokeAction(id, QStringLiteral("second"));
        server.invokeAction(id, QStringLiteral("default"));
        QTRY_COMPARE(m_target.calls.size(), 2);
        QCOMPARE(m_target.calls.at(0), QStringList({QStringLiteral("second"), QStringLiteral("arg")}));
        QCOMPARE(m_target.calls.at(1), QStringList({QStringLiteral("default"), QStringLiteral("arg")}));
    }

    void withoutServiceOnlyWarns()
    {
        warnings.clear();
        const QtMessageHandler previous = qInstallMessageHandler(recordWarnings);
        Notification notification;
        notification.setSummary(QStringLiteral("Nobody listens"));
        notification.publish();
        QTRY_VERIFY(!warnings.isEmpty());
        qInstallMessageHandler(previous);
        QVERIFY2(warnings.at(0).contains(QStringLiteral("no notification service")),
                 qPrintable(warnings.at(0)));
    }
};

KESTREL_PRIVATE_BUS_TEST_MAIN(QCoreApplication, TestNotification)

#include "tst_notification.moc"
