#ifndef KESTREL_UI_PORTALSETTINGSINTERFACE_H
#define KESTREL_UI_PORTALSETTINGSINTERFACE_H

#include <QDBusAbstractInterface>
#include <QDBusVariant>
#include <QString>

// The SettingChanged signal of the freedesktop settings portal as a Qt signal, so that it is
// connected by member pointer: QDBusConnection::connect takes a slot only by its signature. Qt
// relays the signal from the portal once something is connected to it. Lives on the thread that
// uses it.
class PortalSettingsInterface : public QDBusAbstractInterface
{
    Q_OBJECT

public:
    static const char *staticInterfaceName() { return "org.freedesktop.portal.Settings"; }

    PortalSettingsInterface(const QString &service, const QString &path, const QDBusConnection &bus,
                            QObject *parent);

signals:
    void SettingChanged(const QString &group, const QString &key, const QDBusVariant &value);
};

#endif // KESTREL_UI_PORTALSETTINGSINTERFACE_H
