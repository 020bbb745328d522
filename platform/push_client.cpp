#include "push_client.h"

#include "accounts/datadirectory.h"

#include <QDBusConnection>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QUuid>
#include <QtDebug>

namespace Aurora {
namespace PushNotifications {

const char *const Client::DBUS_PATH = "/ru/kestrel/PushStandIn";

namespace {
const QString REGISTRATIONS_FILE_NAME = QStringLiteral("pushclient.json");
// The file holds a few short ids; anything larger is not ours.
const qint64 MAX_REGISTRATIONS_FILE_SIZE = 64 * 1024;
} // namespace

Client::Client(QObject *parent)
    : QObject(parent)
{
    qRegisterMetaType<Push>("Aurora::PushNotifications::Push");
    qRegisterMetaType<PushList>("Aurora::PushNotifications::PushList");

    m_inactivityTimer.setSingleShot(true);
    m_inactivityTimer.setInterval(DEFAULT_INACTIVITY_MS);
    connect(&m_inactivityTimer, &QTimer::timeout, this, &Client::clientInactive);
    m_inactivityTimer.start();

    m_exported = QDBusConnection::sessionBus().registerObject(QString::fromLatin1(DBUS_PATH), this,
                                                              QDBusConnection::ExportScriptableSlots);
    if (!m_exported) {
        qWarning() << "Push client: cannot export the delivery interface on the session bus";
    }
}

Client::~Client()
{
    if (m_exported) {
        QDBusConnection::sessionBus().unregisterObject(QString::fromLatin1(DBUS_PATH));
    }
}

QString Client::applicationId() const
{
    return m_applicationId;
}

void Client::setApplicationId(const QString &applicationId)
{
    m_applicationId = applicationId;
}

void Client::registrate()
{
    if (m_applicationId.isEmpty()) {
        QTimer::singleShot(0, this, &Client::registrationError);
        return;
    }
    const QString id = storedRegistrationId(m_applicationId);
    QTimer::singleShot(0, this, [this, id]() {
        emit pushSystemReadinessChanged(true);
        emit registrationId(id);
    });
}

void Client::setInactivityInterval(int msec)
{
    m_inactivityTimer.setInterval(msec);
    if (m_inactivityTimer.isActive()) {
        m_inactivityTimer.start();
    }
}

void Client::Deliver(const QString &data, const QString &title, const QString &message)
{
    m_inactivityTimer.start();
    emit notifications(PushList{Push{data, title, message}});
}

QString Client::storedRegistrationId(const QString &applicationId) const
{
    const QString path = DataDirectory::filePath(REGISTRATIONS_FILE_NAME);

    QJsonObject registrations;
    QFile file(path);
    if (file.open(QIODevice::ReadOnly) && file.size() <= MAX_REGISTRATIONS_FILE_SIZE) {
        registrations = QJsonDocument::fromJson(file.readAll()).object();
    }
    file.close();

    const QString known = registrations.value(applicationId).toString();
    if (!known.isEmpty()) {
        return known;
    }

    const QString id = QUuid::createUuid().toString(QUuid::Id128);
    registrations.insert(applicationId, id);
    // The id still serves this run; the next one would get another.
    if (!DataDirectory::writeFile(path, QJsonDocument(registrations).toJson())) {
        qWarning() << "Push client: cannot keep the registration id in" << path;
    }
    return id;
}

} // namespace PushNotifications
} // namespace Aurora
