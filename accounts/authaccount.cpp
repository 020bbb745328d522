#include "accounts/authaccount.h"

#include "accounts/accountclock.h"
#include "accounts/datastorage.h"

#include <QLocale>

namespace {

const char *const PLATFORM_OS = "aurora";
const char *const APP_VERSION = "1.2.2.32";

QString userLanguage()
{
    return QLocale::languageToString(QLocale().language()) == QLatin1String("Russian") ? QStringLiteral("ru")
                                                                                       : QStringLiteral("en");
}

} // namespace

AuthAccount::AuthAccount(const QString &uri, const QString &address, const QString &reqID,
                         const QString &tokenUID, const QString &authKey)
    : Account(TypeAuth, uri)
{
    m_tokenType = TokenPushAuth;
    m_address = address;
    m_reqID = reqID;
    SetTokenUID(tokenUID);
    m_authKey = authKey;
    m_notificationToken.registrationId = DataStorage::Instance()->GetRegistrationId();
    m_notificationToken.platformOS = PLATFORM_OS;
    m_notificationToken.language = userLanguage();
    // Minutes east of UTC, truncated toward zero.
    m_notificationToken.timeZoneOffset = AccountClock::now().offsetFromUtc() / 60;
    m_notificationToken.appVersion = APP_VERSION;
    m_notificationToken.saved = false;
}

AuthAccount::AuthAccount(const QJsonObject &object)
    : Account(TypeAuth, object.value("URI").toString())
{
    m_tokenType = TokenPushAuth;
    m_address = object.value("addres").toString();
    m_reqID = object.value("reqID").toString();
    m_authKey = object.value("authKey").toString();
    SetTokenUID(object.value("tokenUID").toString());

    const QJsonObject token = object.value("token").toObject();
    const QString current = DataStorage::Instance()->GetRegistrationId();
    m_notificationToken.saved = token.value("saved").toBool(false);
    const QString stored = token.value("registrationId").toString();
    // The device's present registration id wins over the stored one.
    SetRegistrationId(!current.isEmpty() && current != stored ? current : stored);
    SetPlatformOS(token.value("platformOS").toString());
    SetLanguage(token.value("language").toString());
    SetTimeZoneOffset(token.value("timezoneOffset").toInt(0));
    SetAppVersion(token.value("appVersion").toString());
    restoreStored(object);
}

AuthAccount::~AuthAccount() = default;

QJsonObject AuthAccount::toJsonObject() const
{
    QJsonObject object = Account::toJsonObject();
    QJsonObject token;
    token.insert("registrationId", m_notificationToken.registrationId);
    token.insert("platformOS", m_notificationToken.platformOS);
    token.insert("language", m_notificationToken.language);
    token.insert("timezoneOffset", m_notificationToken.timeZoneOffset);
    token.insert("appVersion", m_notificationToken.appVersion);
    token.insert("saved", m_notificationToken.saved);
    object.insert("token", token);
    return object;
}

template <typename T> void AuthAccount::setTokenField(T NotificationToken::*field, const T &value)
{
    if (m_notificationToken.*field == value) {
        return;
    }
    m_notificationToken.*field = value;
    m_notificationToken.saved = false;
}

void AuthAccount::SetTokenUID(const QString &tokenUID)
{
    if (m_notificationToken.tokenUID == tokenUID) {
        return;
    }
    m_tokenUID = tokenUID;
    m_notificationToken.tokenUID = tokenUID;
    m_notificationToken.saved = false;
}

void AuthAccount::SetRegistrationId(const QString &id)
{
    setTokenField(&NotificationToken::registrationId, id);
}

void AuthAccount::SetPlatformOS(const QString &os)
{
    setTokenField(&NotificationToken::platformOS, os);
}

void AuthAccount::SetLanguage(const QString &language)
{
    setTokenField(&NotificationToken::language, language);
}

void AuthAccount::SetAppVersion(const QString &version)
{
    setTokenField(&NotificationToken::appVersion, version);
}

void AuthAccount::SetTimeZoneOffset(int minutes)
{
    setTokenField(&NotificationToken::timeZoneOffset, minutes);
}
