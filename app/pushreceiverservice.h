#ifndef KESTREL_APP_PUSHRECEIVERSERVICE_H
#define KESTREL_APP_PUSHRECEIVERSERVICE_H

#include <QDBusAbstractAdaptor>
#include <QString>
#include <QStringList>

// Keeps the application single-instance: the running instance owns the service name on the
// session bus and takes the arguments of later launches and the wake-up calls of notification
// actions there. Both end in guiRequested().
class PushReceiverService : public QDBusAbstractAdaptor
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "ru.kestrel.Kestrel2FAClient")

public:
    explicit PushReceiverService(QObject *parent);
    ~PushReceiverService() override;

    // Whether anyone owns the service name on the session bus.
    static bool isRegistered();
    // Hands the arguments to the running instance and waits for it; always 0.
    static int updateApplicationArgs(const QStringList &arguments);

    static QString notifyDBusService();
    static QString notifyDBusPath();
    static QString notifyDBusIface();
    static QString notifyDBusMethod();

public slots:
    void handleApplicationArgs(const QStringList &arguments);
    void handleApplicationWakeUp();

signals:
    void guiRequested();
};

#endif // KESTREL_APP_PUSHRECEIVERSERVICE_H
