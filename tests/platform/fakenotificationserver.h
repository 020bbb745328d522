#ifndef KESTREL_TESTS_PLATFORM_FAKENOTIFICATIONSERVER_H
#define KESTREL_TESTS_PLATFORM_FAKENOTIFICATIONSERVER_H

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

    ~FakeNotificationServer() override;
    bool start();
    void invokeAction(uint id, const QString &actionKey) { emit ActionInvoked(id, actionKey); }

public slots:
    Q_SCRIPTABLE uint Notify(const QString &appName, uint replacesId, const QString &appIcon,
                             const QString &summary, const QString &body, const QStringList &actions,
                             const QVariantMap &hints, int expireTimeout);

signals:
    Q_SCRIPTABLE void ActionInvoked(uint id, const QString &actionKey);
};

#endif // KESTREL_TESTS_PLATFORM_FAKENOTIFICATIONSERVER_H
