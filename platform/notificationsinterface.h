#ifndef KESTREL_PLATFORM_NOTIFICATIONSINTERFACE_H
#define KESTREL_PLATFORM_NOTIFICATIONSINTERFACE_H

#include <QDBusAbstractInterface>
#include <QString>

// The signals of the desktop notification service as Qt signals, so that they are connected
// by member pointer: QDBusConnection::connect takes a slot only by its signature. Qt relays a
// signal from the service once something is connected to it. Lives on the thread that uses it.
class NotificationsInterface : public QDBusAbstractInterface
{
    Q_OBJECT

public:
    static const char *staticInterfaceName() { return "org.freedesktop.Notifications"; }

    NotificationsInterface(const QString &service, const QString &path, const QDBusConnection &bus,
                           QObject *parent);

signals:
    void ActionInvoked(uint id, const QString &actionKey);
    void NotificationClosed(uint id, uint reason);
};

#endif // KESTREL_PLATFORM_NOTIFICATIONSINTERFACE_H
