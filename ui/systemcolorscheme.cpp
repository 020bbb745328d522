#include "ui/systemcolorscheme.h"

#include "ui/portalsettingsinterface.h"

#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QtDebug>

const QString SystemColorScheme::PORTAL_SERVICE = QStringLiteral("org.freedesktop.portal.Desktop");
const QString SystemColorScheme::PORTAL_PATH = QStringLiteral("/org/freedesktop/portal/desktop");
const QString SystemColorScheme::PORTAL_INTERFACE =
    QString::fromLatin1(PortalSettingsInterface::staticInterfaceName());

namespace {

const QString APPEARANCE_GROUP = QStringLiteral("org.freedesktop.appearance");
const QString COLOR_SCHEME_KEY = QStringLiteral("color-scheme");
const uint PREFER_DARK = 1;
// A portal that is slow to start must not keep the question open for long.
const int REPLY_TIMEOUT_MS = 3000;

} // namespace

SystemColorScheme::SystemColorScheme(QObject *parent)
    : SystemColorScheme(QDBusConnection::sessionBus(), parent)
{
}

SystemColorScheme::SystemColorScheme(const QDBusConnection &bus, QObject *parent)
    : QObject(parent)
    , m_bus(bus)
{
    if (!m_bus.isConnected()) {
        return;
    }
    auto *portal = new PortalSettingsInterface(PORTAL_SERVICE, PORTAL_PATH, m_bus, this);
    connect(portal, &PortalSettingsInterface::SettingChanged, this, &SystemColorScheme::onSettingChanged);
    QDBusMessage call = QDBusMessage::createMethodCall(PORTAL_SERVICE, PORTAL_PATH, PORTAL_INTERFACE,
                                                       QStringLiteral("ReadOne"));
    call << APPEARANCE_GROUP << COLOR_SCHEME_KEY;
    auto *watcher = new QDBusPendingCallWatcher(m_bus.asyncCall(call, REPLY_TIMEOUT_MS), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this, [this](QDBusPendingCallWatcher *w) {
        w->deleteLater();
        const QDBusMessage reply = w->reply();
        if (reply.type() == QDBusMessage::ReplyMessage && !reply.arguments().isEmpty()) {
            take(reply.arguments().constFirst());
        } else {
            qDebug().noquote() << "[SystemColorScheme] no answer from the settings portal:"
                               << reply.errorName();
        }
    });
}

void SystemColorScheme::onSettingChanged(const QString &group, const QString &key, const QDBusVariant &value)
{
    if (group == APPEARANCE_GROUP && key == COLOR_SCHEME_KEY) {
        take(value.variant());
    }
}

void SystemColorScheme::take(const QVariant &value)
{
    const QVariant inner =
        value.userType() == qMetaTypeId<QDBusVariant>() ? value.value<QDBusVariant>().variant() : value;
    bool ok = false;
    const uint scheme = inner.toUInt(&ok);
    const bool dark = ok && scheme == PREFER_DARK;
    if (!m_answered) {
        m_answered = true;
        emit answeredChanged();
    }
    if (dark != m_dark) {
        m_dark = dark;
        emit darkChanged();
    }
}
