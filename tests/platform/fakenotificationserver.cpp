#include "tests/platform/fakenotificationserver.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>

namespace {
const QString SERVICE = QStringLiteral("org.freedesktop.Notifications");
const QString PATH = QStringLiteral("/org/freedesktop/Notifications");
} // namespace

FakeNotificationServer::FakeNotificationServer()
    : m_connectionName(QStringLiteral("fake-notifications-%1").arg(quintptr(this)))
{
}

FakeNotificationServer::~FakeNotificationServer()
{
    stop();
}

bool FakeNotificationServer::start()
{
    QDBusConnection bus = QDBusConnection::connectToBus(QDBusConnection::SessionBus, m_connectionName);
    m_started =
        bus.isConnected() &&
        bus.registerObject(
            PATH, this, QDBusConnection::ExportScriptableSlots | QDBusConnection::ExportScriptableSignals) &&
        bus.registerService(SERVICE);
    return m_started;
}

void FakeNotificationServer::stop()
{
    if (!m_started)
        return;
    QDBusConnection bus(m_connectionName);
    bus.unregisterService(SERVICE);
    bus.unregisterObject(PATH);
    QDBusConnection::disconnectFromBus(m_connectionName);
    m_started = false;
}

uint FakeNotificationServer::Notify(const QString &appName, uint, const QString &, const QString &summary,
                                    const QString &body, const QStringList &actions, const QVariantMap &hints,
                                    int)
{
    const uint id = m_nextId++;
    published.append(Published{id, appName, summary, body, actions, hints});
    return id;
}
