#ifndef KESTREL_PLATFORM_NOTIFICATION_H
#define KESTREL_PLATFORM_NOTIFICATION_H

#include <QObject>
#include <QString>
#include <QVariant>
#include <QVariantList>
#include <QVariantMap>

// Stand-in for the phone's notification library. publish() hands the notification to the
// desktop notification service of the session bus (org.freedesktop.Notifications); when the
// service later reports that one of its remote actions was chosen, the action's D-Bus method is
// called, as the phone's notification manager does. The published notification outlives this
// object.
class Notification : public QObject
{
    Q_OBJECT

public:
    explicit Notification(QObject *parent = nullptr);

    QString appName() const { return m_appName; }
    void setAppName(const QString &appName) { m_appName = appName; }
    QString summary() const { return m_summary; }
    void setSummary(const QString &summary) { m_summary = summary; }
    QString body() const { return m_body; }
    void setBody(const QString &body) { m_body = body; }
    bool isTransient() const { return m_transient; }
    void setIsTransient(bool transient) { m_transient = transient; }
    int itemCount() const { return m_itemCount; }
    void setItemCount(int itemCount) { m_itemCount = itemCount; }
    QVariant hintValue(const QString &hint) const { return m_hints.value(hint); }
    void setHintValue(const QString &hint, const QVariant &value) { m_hints.insert(hint, value); }
    QVariantList remoteActions() const { return m_remoteActions; }
    void setRemoteActions(const QVariantList &remoteActions) { m_remoteActions = remoteActions; }

    // Sends the notification without waiting for the service; without a notification service
    // on the bus only a warning is logged.
    Q_INVOKABLE void publish();

    // Packs an action: its name ("default" for the notification's own click), the label shown,
    // and the D-Bus method called when the user chooses it.
    static QVariant remoteAction(const QString &name, const QString &displayName, const QString &service,
                                 const QString &path, const QString &iface, const QString &method,
                                 const QVariantList &arguments = QVariantList());

private:
    QString m_appName;
    QString m_summary;
    QString m_body;
    bool m_transient = false;
    int m_itemCount = 0;
    QVariantMap m_hints;
    QVariantList m_remoteActions;
};

#endif // KESTREL_PLATFORM_NOTIFICATION_H
