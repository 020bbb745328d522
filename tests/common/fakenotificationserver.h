#ifndef KESTREL_TESTS_COMMON_FAKENOTIFICATIONSERVER_H
#define KESTREL_TESTS_COMMON_FAKENOTIFICATIONSERVER_H

#include <QDBusConnection>
#include <QList>
#include <QObject>
#include <QStringList>
#include <QVariantMap>

// org.freedesktop.Notifications on a bus connection of its own: records every Notify and lets a
// test choose an action as a user would.
class FakeNotificationServer : public QObject
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.Notifications")

public:
    struct Published
    {
        uint id;
        QString appName, summary, body;
        QStringList actions;
        QVariantMap hints;
    };
    QList<Published> published;
    QStringList capabilities{QStringLiteral("actions"), QStringLiteral("body"),
                             QStringLiteral("body-markup")};

    ~FakeNotificationServer() override
    {
        QDBusConnection::disconnectFromBus(QStringLiteral("fake-notifications"));
    }

    bool start()
    {
        QDBusConnection bus =
            QDBusConnection::connectToBus(QDBusConnection::SessionBus, QStringLiteral("fake-notifications"));
        return bus.registerObject(QStringLiteral("/org/freedesktop/Notifications"), this,
                                  QDBusConnection::ExportScriptableSlots |
                                      QDBusConnection::ExportScriptableSignals) &&
               bus.registerService(QStringLiteral("org.freedesktop.Notifications"));
    }

    void invokeAction(uint id, const QString &actionKey) { emit ActionInvoked(id, actionKey); }

public slots:
    Q_SCRIPTABLE QStringList GetCapabilities() { return capabilities; }
    Q_SCRIPTABLE uint Notify(const QString &appName, uint, const QString &, const QString &summary,
                             const QString &body, const QStringList &actions, const QVariantMap &hints, int)
    {
        published.append(Published{uint(published.size() + 1), appName, summary, body, actions, hints});
        return published.last().id;
    }

signals:
    Q_SCRIPTABLE void ActionInvoked(uint id, const QString &actionKey);
};

#endif // KESTREL_TESTS_COMMON_FAKENOTIFICATIONSERVER_H
