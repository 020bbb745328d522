#include "app/applicationcontroller.h"

#include "ui/appsettings.h"

#include <auroraapp.h>

#include <QCoreApplication>
#include <QFile>
#include <QGuiApplication>
#include <QQmlContext>
#include <QQmlEngine>
#include <QQuickView>
#include <QScreen>
#include <QTimer>
#include <QtDebug>

const QString ApplicationController::APPLICATION_ID_FILE =
    QStringLiteral("/usr/share/ru.kestrel.Kestrel2FAClient/applicationid");

namespace {
const QString NO_GUI_OPTION = QStringLiteral("/no-gui");
const QString MAIN_QML_FILE = QStringLiteral("qml/Kestrel2FAClient.qml");
const QString CONTROLLER_PROPERTY = QStringLiteral("ApplicationController");
const int PLACE_SAVE_DELAY_MS = 1000;
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
    , m_placeTimer(new QTimer(this))
    , m_applicationIdFile(applicationIdFile)
{
    m_placeTimer->setSingleShot(true);
    m_placeTimer->setInterval(PLACE_SAVE_DELAY_MS);
    connect(m_placeTimer, &QTimer::timeout, this, &ApplicationController::saveWindowPlace);

    qRegisterMetaType<PushNotificationsModel *>("PushNotificationsModel *");

    _setApplicationId(_readApplicationId());

    if (!arguments.contains(NO_GUI_OPTION)) {
        showGui();
    }

    connect(this, &ApplicationController::registrationIdChanged, m_notificationsModel,
            &PushNotificationsModel::onRegistrationIdChanged);
    connect(m_pushClient, &Aurora::PushNotifications::Client::clientInactive, this, [this]() {
        if (!m_view) {
            QCoreApplication::quit();
        }
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
        if (zero >= 0) {
            content.truncate(zero);
        }
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
    connect(m_view->engine(), &QQmlEngine::quit, QCoreApplication::instance(), &QCoreApplication::quit,
            Qt::QueuedConnection);
    restoreWindowPlace();
    m_view->show();
}

void ApplicationController::restoreWindowPlace()
{
    const QRect place = AppSettings::instance()->windowGeometry();
    // A place on a screen that is gone would open the window out of sight.
    for (const QScreen *screen : QGuiApplication::screens()) {
        if (place.isValid() && screen->availableGeometry().intersects(place)) {
            m_view->setFramePosition(place.topLeft());
            m_view->resize(place.size());
            break;
        }
    }
    for (auto signal :
         {&QWindow::xChanged, &QWindow::yChanged, &QWindow::widthChanged, &QWindow::heightChanged}) {
        connect(m_view, signal, m_placeTimer, qOverload<>(&QTimer::start));
    }
}

void ApplicationController::saveWindowPlace()
{
    // Full screen (the phone, a second launch) is not a place to come back to.
    if (m_view && m_view->isVisible() && m_view->windowState() == Qt::WindowNoState) {
        AppSettings::instance()->setWindowGeometry(QRect(m_view->framePosition(), m_view->size()));
    }
}

void ApplicationController::_setApplicationId(const QString &applicationId)
{
    if (m_pushClient->applicationId() == applicationId) {
        return;
    }
    m_pushClient->setApplicationId(applicationId);
    m_pushClient->registrate();
    emit applicationIdChanged(applicationId);
}

void ApplicationController::_setRegistrationId(const QString &registrationId)
{
    qDebug().noquote() << "Registration ID received:" << registrationId;
    if (registrationId == m_registrationId) {
        return;
    }
    m_registrationId = registrationId;
    emit registrationIdChanged(registrationId);
}
