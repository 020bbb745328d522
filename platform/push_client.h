#ifndef KESTREL_PLATFORM_PUSH_CLIENT_H
#define KESTREL_PLATFORM_PUSH_CLIENT_H

#include "push.h"

#include <QObject>
#include <QString>
#include <QTimer>

namespace Aurora {
namespace PushNotifications {

// Stand-in for the phone's push client.
//
// registrate() answers with a registration id that stays the same for the same application id
// across runs; the ids are kept in "pushclient.json" in the program's data directory.
//
// Pushes arrive through a D-Bus interface of the client's own, on the program's session-bus
// connection, so that anyone on the bus can deliver one:
//
//     gdbus call --session --dest ru.kestrel.Kestrel2FAClient --object-path /ru/kestrel/PushStandIn
//         --method ru.kestrel.PushStandIn.Deliver '{"mtype":"auth"}' 'Title' 'Message'
//
// Like the phone's client, it reports clientInactive() when it has had nothing to deliver for a
// while (30 s from construction or from the last push), so that a windowless instance ends.
class Client : public QObject
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "ru.kestrel.PushStandIn")

public:
    static const char *const DBUS_PATH;
    static const int DEFAULT_INACTIVITY_MS = 30000;

    explicit Client(QObject *parent = nullptr);
    ~Client() override;

    QString applicationId() const;
    void setApplicationId(const QString &applicationId);
    // Delivers registrationId() or registrationError() from the event loop.
    void registrate();

    // Stand-in only: how long the client waits for a push before it reports clientInactive().
    void setInactivityInterval(int msec);

public slots:
    // The stand-in's delivery method on the bus; hands one push to notifications().
    Q_SCRIPTABLE void Deliver(const QString &data, const QString &title, const QString &message);

signals:
    void clientInactive();
    void pushSystemReadinessChanged(bool available);
    void registrationId(const QString &registrationId);
    void registrationError();
    void notifications(const Aurora::PushNotifications::PushList &pushList);

private:
    QString storedRegistrationId(const QString &applicationId) const;

    QString m_applicationId;
    QTimer m_inactivityTimer;
    bool m_exported = false;
};

} // namespace PushNotifications
} // namespace Aurora

#endif // KESTREL_PLATFORM_PUSH_CLIENT_H
