#include "notificationactionrelay.h"

#include "notificationsinterface.h"

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QPointer>
#include <QtDebug>

namespace {
const QString SERVICE = QStringLiteral("org.freedesktop.Notifications");
const QString PATH = QStringLiteral("/org/freedesktop/Notifications");
const QString IFACE = QString::fromLatin1(NotificationsInterface::staticInterfaceName());
// Notifications the user never closes would otherwise keep their actions for ever.
const int MAX_TRACKED_NOTIFICATIONS = 64;
} // namespace

NotificationActionRelay *NotificationActionRelay::instance()
{
    static QPointer<NotificationActionRelay> relay;
    if (!relay) {
        relay = new NotificationActionRelay(QCoreApplication::instance());
    }
    return relay;
}

NotificationActionRelay::NotificationActionRelay(QObject *parent)
    : QObject(parent)
{
    const QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected()) {
        return;
    }
    auto *service = new NotificationsInterface(SERVICE, PATH, bus, this);
    connect(service, &NotificationsInterface::ActionInvoked, this, &NotificationActionRelay::onActionInvoked);
    connect(service, &NotificationsInterface::NotificationClosed, this,
            &NotificationActionRelay::onNotificationClosed);
}

void NotificationActionRelay::publish(const QString &appName, const QString &summary, const QString &body,
                                      const QStringList &actions, const QVariantMap &hints,
                                      const QVariantList &remoteActions)
{
    // A service that reads markup in bodies would show a pushed "<a href=...>" as a link: the body
    // is escaped for such a service, and sent as it is to one that shows text as it comes. Asked
    // each time, as the service may change; one connection keeps the notifications in order.
    const QDBusMessage ask =
        QDBusMessage::createMethodCall(SERVICE, PATH, IFACE, QStringLiteral("GetCapabilities"));
    auto *capabilities = new QDBusPendingCallWatcher(QDBusConnection::sessionBus().asyncCall(ask), this);
    connect(capabilities, &QDBusPendingCallWatcher::finished, this, [=](QDBusPendingCallWatcher *w) {
        const QDBusPendingReply<QStringList> reply = *w;
        const bool markup = reply.isError() || reply.value().contains(QStringLiteral("body-markup"));
        notify(appName, summary, markup ? body.toHtmlEscaped() : body, actions, hints, remoteActions);
        w->deleteLater();
    });
}

void NotificationActionRelay::notify(const QString &appName, const QString &summary, const QString &body,
                                     const QStringList &actions, const QVariantMap &hints,
                                     const QVariantList &remoteActions)
{
    QDBusMessage call = QDBusMessage::createMethodCall(SERVICE, PATH, IFACE, QStringLiteral("Notify"));
    call << appName << uint(0) << QString() << summary << body << actions << hints << int(-1);

    auto *watcher = new QDBusPendingCallWatcher(QDBusConnection::sessionBus().asyncCall(call), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this,
            [this, remoteActions](QDBusPendingCallWatcher *w) {
                QDBusPendingReply<uint> reply = *w;
                if (reply.isError()) {
                    qWarning() << "Notification not published, no notification service:"
                               << reply.error().message();
                } else {
                    remember(reply.value(), remoteActions);
                }
                w->deleteLater();
            });
}

void NotificationActionRelay::remember(uint id, const QVariantList &remoteActions)
{
    if (remoteActions.isEmpty()) {
        return;
    }
    if (!m_remoteActions.contains(id)) {
        m_order.append(id);
    }
    m_remoteActions.insert(id, remoteActions);
    while (m_order.size() > MAX_TRACKED_NOTIFICATIONS) {
        m_remoteActions.remove(m_order.takeFirst());
    }
}

void NotificationActionRelay::onActionInvoked(uint id, const QString &actionKey)
{
    const QVariantList actions = m_remoteActions.value(id);
    for (const QVariant &entry : actions) {
        const QVariantMap action = entry.toMap();
        if (action.value(QStringLiteral("name")).toString() != actionKey) {
            continue;
        }
        QDBusMessage call = QDBusMessage::createMethodCall(action.value(QStringLiteral("service")).toString(),
                                                           action.value(QStringLiteral("path")).toString(),
                                                           action.value(QStringLiteral("iface")).toString(),
                                                           action.value(QStringLiteral("method")).toString());
        call.setArguments(action.value(QStringLiteral("arguments")).toList());
        QDBusConnection::sessionBus().call(call, QDBus::NoBlock);
    }
}

void NotificationActionRelay::onNotificationClosed(uint id, uint /*reason*/)
{
    if (m_remoteActions.remove(id)) {
        m_order.removeOne(id);
    }
}
