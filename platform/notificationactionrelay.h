#ifndef KESTREL_PLATFORM_NOTIFICATIONACTIONRELAY_H
#define KESTREL_PLATFORM_NOTIFICATIONACTIONRELAY_H

#include <QHash>
#include <QList>
#include <QObject>
#include <QString>
#include <QStringList>
#include <QVariantList>
#include <QVariantMap>

// Talks to the desktop notification service for every Notification of the process, and keeps
// the remote actions of the published notifications so that a chosen action still reaches its
// D-Bus method after the Notification object is gone. Lives as long as the application object.
class NotificationActionRelay : public QObject
{
    Q_OBJECT

public:
    static NotificationActionRelay *instance();

    void publish(const QString &appName, const QString &summary, const QString &body,
                 const QStringList &actions, const QVariantMap &hints, const QVariantList &remoteActions);

private slots:
    void onActionInvoked(uint id, const QString &actionKey);
    void onNotificationClosed(uint id, uint reason);

private:
    explicit NotificationActionRelay(QObject *parent);
    void notify(const QString &appName, const QString &summary, const QString &body,
                const QStringList &actions, const QVariantMap &hints, const QVariantList &remoteActions);
    void remember(uint id, const QVariantList &remoteActions);

    QHash<uint, QVariantList> m_remoteActions;
    // Publication order, so that the oldest entries go first when the table is full.
    QList<uint> m_order;
};

#endif // KESTREL_PLATFORM_NOTIFICATIONACTIONRELAY_H
