#include "notificationsinterface.h"

NotificationsInterface::NotificationsInterface(const QString &service, const QString &path,
                                               const QDBusConnection &bus, QObject *parent)
    : QDBusAbstractInterface(service, path, staticInterfaceName(), bus, parent)
{
}
