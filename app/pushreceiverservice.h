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
    // Claims the service name. When another launch owns it already (it may have taken it after
    // isRegistered() saw it free), `arguments` are forwarded to that instance, as a later launch
    // does, and the caller ends this process (ownsName() false).
    explicit PushReceiverService(QObject *parent, const QStringList &arguments = QStringList());
    ~PushReceiverService() override;

    // Whether this process owns the service name; false after a lost race for it.
    bool ownsName() const { return m_ownsName; }

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

private:
    bool m_ownsName = false;
};

#endif // KESTREL_APP_PUSHRECEIVERSERVICE_H
