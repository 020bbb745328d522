#include "app/pushreceiverservice.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QtDebug>

namespace {
const QString DBUS_SERVICE = QStringLiteral("ru.kestrel.Kestrel2FAClient");
const QString DBUS_PATH = QStringLiteral("/ru/kestrel/Kestrel2FAClient");
const QString DBUS_IFACE = QStringLiteral("ru.kestrel.Kestrel2FAClient");
const QString DBUS_METHOD_ARGS = QStringLiteral("handleApplicationArgs");
const QString DBUS_METHOD_WAKEUP = QStringLiteral("handleApplicationWakeUp");
const QString NO_GUI_OPTION = QStringLiteral("/no-gui");
} // namespace

PushReceiverService::PushReceiverService(QObject *parent, const QStringList &arguments)
    : QDBusAbstractAdaptor(parent)
{
    setAutoRelaySignals(true);

    QDBusConnection bus = QDBusConnection::sessionBus();
    bus.registerObject(DBUS_PATH, this, QDBusConnection::ExportAllSlots);
    // The name is requested even when the launch check saw it free a moment ago: another
    // launch may have taken it since, and then this one must not run as a second instance; its
    // arguments go to the winner, or a user's launch racing with a "/no-gui" start would show no
    // window. main() then ends this process before its event loop runs.
    m_ownsName = bus.isConnected() && bus.registerService(DBUS_SERVICE);
    if (!m_ownsName) {
        qWarning() << "Cannot own the D-Bus service" << DBUS_SERVICE << bus.lastError().message();
        if (isRegistered()) {
            updateApplicationArgs(arguments);
        }
    }
}

PushReceiverService::~PushReceiverService()
{
    QDBusConnection bus = QDBusConnection::sessionBus();
    bus.unregisterObject(DBUS_PATH);
    if (m_ownsName) {
        bus.unregisterService(DBUS_SERVICE);
    }
}

bool PushReceiverService::isRegistered()
{
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected() || !bus.interface()) {
        return false;
    }
    return bus.interface()->isServiceRegistered(DBUS_SERVICE);
}

int PushReceiverService::updateApplicationArgs(const QStringList &arguments)
{
    QDBusMessage call = QDBusMessage::createMethodCall(DBUS_SERVICE, DBUS_PATH, DBUS_IFACE, DBUS_METHOD_ARGS);
    call << arguments;
    QDBusConnection::sessionBus().call(call);
    return 0;
}

QString PushReceiverService::notifyDBusService()
{
    return DBUS_SERVICE;
}

QString PushReceiverService::notifyDBusPath()
{
    return DBUS_PATH;
}

QString PushReceiverService::notifyDBusIface()
{
    return DBUS_IFACE;
}

QString PushReceiverService::notifyDBusMethod()
{
    return DBUS_METHOD_WAKEUP;
}

void PushReceiverService::handleApplicationArgs(const QStringList &arguments)
{
    if (!arguments.contains(NO_GUI_OPTION)) {
        emit guiRequested();
    }
}

void PushReceiverService::handleApplicationWakeUp()
{
    emit guiRequested();
}
