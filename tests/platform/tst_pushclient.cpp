#include "tests/platform/privatebus.h"

#include <push_client.h>

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

using Aurora::PushNotifications::Client;
using Aurora::PushNotifications::PushList;

class TestPushClient : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dataHome;

    // The id one fresh client (as in a new run of the program) registers with.
    static QString registrationIdFor(const QString &applicationId)
    {
        Client client;
        QSignalSpy ids(&client, &Client::registrationId);
        QSignalSpy ready(&client, &Client::pushSystemReadinessChanged);
        client.setApplicationId(applicationId);
        client.registrate();
        if (!ids.wait(5000) || ids.count() != 1 || ready.count() != 1 || !ready.at(0).at(0).toBool())
            return QString();
        return ids.at(0).at(0).toString();
    }

private slots:
    void initTestCase()
    {
        QVERIFY(m_dataHome.isValid());
        qputenv("XDG_DATA_HOME", m_dataHome.path().toUtf8());
        QCoreApplication::setOrganizationName(QStringLiteral("ru.kestrel"));
        QCoreApplication::setApplicationName(QStringLiteral("PushClientTest"));
    }

    void registrationIdStaysWithTheApplicationId()
    {
        const QString first = registrationIdFor(QStringLiteral("app-one"));
        QVERIFY(!first.isEmpty());
        QCOMPARE(registrationIdFor(QStringLiteral("app-one")), first);
        const QString other = registrationIdFor(QStringLiteral("app-two"));
        QVERIFY(!other.isEmpty());
        QVERIFY(other != first);
        QCOMPARE(registrationIdFor(QStringLiteral("app-one")), first);
    }

    void emptyApplicationIdFailsToRegister()
    {
        Client client;
        QSignalSpy errors(&client, &Client::registrationError);
        QSignalSpy ids(&client, &Client::registrationId);
        client.registrate();
        QVERIFY(errors.wait(5000));
        QCOMPARE(ids.count(), 0);
    }

    void pushArrivesOverTheBus()
    {
        Client client;
        QSignalSpy pushes(&client, &Client::notifications);
        // From a connection of its own, as gdbus would call.
        const QString caller = QStringLiteral("push-sender");
        QDBusConnection sender = QDBusConnection::connectToBus(QDBusConnection::SessionBus, caller);
        QDBusMessage call = QDBusMessage::createMethodCall(
            QDBusConnection::sessionBus().baseService(), QString::fromLatin1(Client::DBUS_PATH),
            QStringLiteral("ru.kestrel.PushStandIn"), QStringLiteral("Deliver"));
        call << QStringLiteral("{\"mtype\":\"auth\"}") << QStringLiteral("Title")
             << QStringLiteral("Ünïcode");
        QDBusPendingCallWatcher watcher(sender.asyncCall(call));
        QVERIFY(pushes.wait(5000));
        const PushList list = pushes.at(0).at(0).value<PushList>();
        QCOMPARE(list.size(), 1);
        QCOMPARE(list.at(0).data, QStringLiteral("{\"mtype\":\"auth\"}"));
        QCOMPARE(list.at(0).title, QStringLiteral("Title"));
        QCOMPARE(list.at(0).message, QStringLiteral("Ünïcode"));
        QTRY_VERIFY(watcher.isFinished());
        QVERIFY(!watcher.isError());
        QDBusConnection::disconnectFromBus(caller);
    }

    void inactivityIsReportedAfterTheLastPush()
    {
        Client client;
        QSignalSpy inactive(&client, &Client::clientInactive);
        client.setInactivityInterval(100);
        QVERIFY(inactive.wait(5000));
        QCOMPARE(inactive.count(), 1);
        // A push re-arms the timer once more.
        client.Deliver(QString(), QString(), QString());
        QVERIFY(inactive.wait(5000));
        QCOMPARE(inactive.count(), 2);
    }
};

KESTREL_PRIVATE_BUS_TEST_MAIN(QCoreApplication, TestPushClient)

#include "tst_pushclient.moc"
