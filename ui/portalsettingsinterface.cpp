#include "ui/portalsettingsinterface.h"

PortalSettingsInterface::PortalSettingsInterface(const QString &service, const QString &path,
                                                 const QDBusConnection &bus, QObject *parent)
    : QDBusAbstractInterface(service, path, staticInterfaceName(), bus, parent)
{
}
