#ifndef KESTREL_APP_APPLICATIONCONTROLLER_H
#define KESTREL_APP_APPLICATIONCONTROLLER_H

#include "app/pushnotificationsmodel.h"

#include <push_client.h>

#include <QObject>
#include <QString>
#include <QStringList>

class QQuickView;
class QTimer;

// The program's top-level object: owns the push client, the push notifications model and the
// QML view, registers the application at the push service and shows the window unless the
// process was started with "/no-gui". A desktop window comes back at the size and place it was
// left (AppSettings), and the screens' Qt.quit() (Ctrl+Q) ends the program. GUI thread only.
class ApplicationController : public QObject
{
    Q_OBJECT
    Q_PROPERTY(PushNotificationsModel *notificationsModel READ notificationsModel CONSTANT)
    Q_PROPERTY(QString applicationId READ applicationId NOTIFY applicationIdChanged)
    Q_PROPERTY(QString registrationId READ registrationId NOTIFY registrationIdChanged)

public:
    static const QString APPLICATION_ID_FILE;
    // Only this much of the application id file is read: an id is a short token.
    static const qint64 MAX_APPLICATION_ID_SIZE = 4096;

    explicit ApplicationController(QObject *parent = nullptr);
    ApplicationController(const QStringList &arguments, QObject *parent = nullptr);
    // Reads the application id from `applicationIdFile` instead of APPLICATION_ID_FILE.
    ApplicationController(const QStringList &arguments, const QString &applicationIdFile, QObject *parent);
    ~ApplicationController() override;

    PushNotificationsModel *notificationsModel() const;
    QString applicationId() const;
    QString registrationId() const;

    QString _readApplicationId() const;

public slots:
    void showGui();

signals:
    void applicationIdChanged(const QString &applicationId);
    void registrationIdChanged(const QString &registrationId);

private slots:
    void _setApplicationId(const QString &applicationId);
    void _setRegistrationId(const QString &registrationId);

private:
    void restoreWindowPlace();
    void saveWindowPlace();

    Aurora::PushNotifications::Client *m_pushClient;
    PushNotificationsModel *m_notificationsModel;
    QQuickView *m_view = nullptr;
    // Saves the window's place once it has stopped moving.
    QTimer *m_placeTimer;
    QString m_registrationId;
    QString m_applicationIdFile;
};

#endif // KESTREL_APP_APPLICATIONCONTROLLER_H
