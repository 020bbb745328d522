#include "app/applicationcontroller.h"

#include <auroraapp.h>

#include <QCoreApplication>
#include <QFile>
#include <QQmlContext>
#include <QQuickView>
#include <QtDebug>

const QString ApplicationController::APPLICATION_ID_FILE =
    QStringLiteral("/usr/share/ru.kestrel.Kestrel2FAClient/applicationid");

namespace {
const QString NO_GUI_OPTION = QStringLiteral("/no-gui");
const QString MAIN_QML_FILE = QStringLiteral("qml/Kestrel2FAClient.qml");
const QString CONTROLLER_PROPERTY = QStringLiteral("ApplicationController");
} // namespace

ApplicationController::ApplicationController(QObject *parent)
    : ApplicationController(QStringList(), parent)
{
}

ApplicationController::ApplicationController(const QStringList &arguments, QObject *parent)
    : ApplicationController(arguments, APPLICATION_ID_FILE, parent)
{
}

ApplicationController::ApplicationController(const QStringList &arguments, const QString &applicationIdFile,
                                             QObject *parent)
    : QObject(parent)
    , m_pushClient(new Aurora::PushNotifications::Client(this))
    , m_notificationsModel(new PushNotificationsModel(this))
    , m_applicationIdFile(applicationIdFile)
{
    qRegisterMetaType<PushNotificationsModel *>("PushNotificationsModel *");

    _setApplicationId(_readApplicationId());

    if (!arguments.contains(NO_GUI_OPTION))
        showGui();

    connect(this, &ApplicationController::registrationIdChanged, m_notificationsModel,
            &PushNotificationsModel::onRegistrationIdChanged);
    connect(m_pushClient, &Aurora::PushNotifications::Client::clientInactive, this, [this]() {
        if (!m_view)
            QCoreApplication::quit();
    });
    connect(m_pushClient, &Aurora::PushNotifications::Client::pushSystemReadinessChanged, this,
            [](bool available) {
                qWarning().noquote() << "Push system is" << (available ? "available" : "not available");
            });
    connect(m_pushClient, &Aurora::PushNotifications::Client::registrationId, this,
            &ApplicationController::_setRegistrationId);
    connect(m_pushClient, &Aurora::PushNotifications::Client::registrationError, this,
            []() { qWarning() << "Push system have problems with registrationId"; });
    connect(m_pushClient, &Aurora::PushNotifications::Client::notifications, m_notificationsModel,
            &PushNotificationsModel::handlePushes);
}

ApplicationController::~ApplicationController()
{
    // The view's QML engine must go while the application object still exists.
    delete m_view;
}

PushNotificationsModel *ApplicationController::notificationsModel() const
{
    return m_notificationsModel;
}

QString ApplicationController::applicationId() const
{
    return m_pushClient->applicationId();
}

QString ApplicationController::registrationId() const
{
    return m_registrationId;
}

QString ApplicationController::_readApplicationId() const
{
    QString applicationId;
    QFile file(m_applicationIdFile);
    if (file.exists() && file.open(QIODevice::ReadOnly)) {
        QByteArray content = file.read(MAX_APPLICATION_ID_SIZE).trimmed();
        const int zero = content.indexOf('\0');
        if (zero >= 0)
            content.truncate(zero);
        applicationId = QString::fromUtf8(content);
    }
    qDebug().noquote() << "ApplicationId loaded:" << applicationId;
    return applicationId;
}

void ApplicationController::showGui()
{
    if (m_view) {
        qDebug() << "[ApplicationController] showGui: window raised";
        m_view->raise();
        m_view->showFullScreen();
        return;
    }
    qDebug() << "[ApplicationController] showGui: window created";
    m_view = Aurora::Application::createView();
    m_view->rootContext()->setContextProperty(CONTROLLER_PROPERTY, this);
    m_view->setSource(Aurora::Application::pathTo(MAIN_QML_FILE));
    m_view->show();
}

void ApplicationController::_setApplicationId(const QString &applicationId)
{
    if (m_pushClient->applicationId() == applicationId)
        return;
    m_pushClient->setApplicationId(applicationId);
    m_pushClient->registrate();
    emit applicationIdChanged(applicationId);
}

void ApplicationController::_setRegistrationId(const QString &registrationId)
{
    qDebug().noquote() << "Registration ID received:" << registrationId;
    if (registrationId == m_registrationId)
        return;
    m_registrationId = registrationId;
    emit registrationIdChanged(registrationId);
}
