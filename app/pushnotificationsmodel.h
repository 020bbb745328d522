#ifndef KESTREL_APP_PUSHNOTIFICATIONSMODEL_H
#define KESTREL_APP_PUSHNOTIFICATIONSMODEL_H

#include <push_client.h>

#include <QList>
#include <QObject>
#include <QString>

// Records the pushes of the platform push service, newest first, turns every push that is not a
// silent action push into a system notification whose default action wakes the application,
// and persists the push registration id.
class PushNotificationsModel : public QObject
{
    Q_OBJECT

public:
    // The pushes kept; older ones are dropped, since nothing reads them back and a flood of
    // pushes must not grow the process without bound.
    static const int MAX_PUSHES = 100;
    // What a notification shows at most of a push's title and message, and all that is kept of
    // them: a flood of large pushes must not hold on to memory either.
    static const int MAX_SUMMARY_LENGTH = 256;
    static const int MAX_BODY_LENGTH = 1024;
    // What is kept of a push's payload; its kind is read before it is cut.
    static const int MAX_PAYLOAD_KEPT = 4096;
    // Payloads above this size are not parsed; such a push is shown like a non-JSON one.
    static const int MAX_PAYLOAD_PARSE_SIZE = 64 * 1024;

    explicit PushNotificationsModel(QObject *parent = nullptr);

    QList<Aurora::PushNotifications::Push> pushes() const { return m_pushes; }

    // The handler of the push client's notifications(): records every push and shows each one
    // whose "mtype" is not "action".
    void handlePushes(const Aurora::PushNotifications::PushList &pushes);

    // The kind of a push: the string "mtype" of its JSON payload, empty for anything else.
    static QString pushKind(const QString &payload);

public slots:
    void insertPush(const Aurora::PushNotifications::Push &push);
    void onRegistrationIdChanged(const QString &registrationId);

signals:
    void newpush();

private:
    static void showNotification(const Aurora::PushNotifications::Push &push);

    QList<Aurora::PushNotifications::Push> m_pushes;
};

#endif // KESTREL_APP_PUSHNOTIFICATIONSMODEL_H
