#include "notification.h"

#include "notificationactionrelay.h"

#include <QStringList>

Notification::Notification(QObject *parent)
    : QObject(parent)
{
}

void Notification::publish()
{
    QStringList actions;
    for (const QVariant &action : qAsConst(m_remoteActions)) {
        const QVariantMap map = action.toMap();
        actions << map.value(QStringLiteral("name")).toString()
                << map.value(QStringLiteral("displayName")).toString();
    }
    QVariantMap hints = m_hints;
    hints.insert(QStringLiteral("transient"), m_transient);
    hints.insert(QStringLiteral("x-nemo-item-count"), m_itemCount);

    NotificationActionRelay::instance()->publish(m_appName, m_summary, m_body, actions, hints,
                                                 m_remoteActions);
}

QVariant Notification::remoteAction(const QString &name, const QString &displayName, const QString &service,
                                    const QString &path, const QString &iface, const QString &method,
                                    const QVariantList &arguments)
{
    QVariantMap action;
    action.insert(QStringLiteral("name"), name);
    action.insert(QStringLiteral("displayName"), displayName);
    action.insert(QStringLiteral("service"), service);
    action.insert(QStringLiteral("path"), path);
    action.insert(QStringLiteral("iface"), iface);
    action.insert(QStringLiteral("method"), method);
    action.insert(QStringLiteral("arguments"), arguments);
    return action;
}
