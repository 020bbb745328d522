#include "tests/platform/fakenotificationserver.h"

#include <QDBusConnection>

namespace {
const QString CONNECTION = QStringLiteral("fake-notifications");
} // namespace

FakeNotificationServer::~FakeNotificationServer()
{
    QDBusConnection::disconnectFromBus(CONNECTION);
}

bool FakeNotificationServer::start()
{
    QDBusConnection bus = QDBusConnection::connectToBus(QDBusConnection::SessionBus, CONNECTION);
    return bus.registerObject(QStringLiteral("/org/freedesktop/Notifications"), this,
                              QDBusConnection::ExportScriptableSlots |
                                  QDBusConnection::ExportScriptableSignals) &&
           bus.registerService(QStringLiteral("org.freedesktop.Notifications"));
}

uint FakeNotificationServer::Notify(const QString &appName, uint, const QString &, const QString &summary,
                                    const QString &body, const QStringList &actions, const QVariantMap &hints,
                                    int)
{
    published.append(Published{uint(published.size() + 1), appName, summary, body, actions, hints});
    return published.last().id;
}
