#ifndef KESTREL_ACCOUNTS_AUTHACCOUNT_H
#define KESTREL_ACCOUNTS_AUTHACCOUNT_H

#include "accounts/account.h"
#include "accounts/notificationtoken.h"

// A push-authentication account registered at a server; it also carries an OTP token whose code
// accompanies the user's acceptance of a login.
class AuthAccount : public Account
{
public:
    AuthAccount(const QString &uri, const QString &address, const QString &reqID, const QString &tokenUID,
                const QString &authKey);
    explicit AuthAccount(const QJsonObject &object);
    ~AuthAccount() override;

    QJsonObject toJsonObject() const override;

    // Each setter changes nothing for an equal value; a change clears the saved flag.
    void SetTokenUID(const QString &tokenUID);
    void SetRegistrationId(const QString &id);
    void SetPlatformOS(const QString &os);
    void SetLanguage(const QString &language);
    void SetAppVersion(const QString &version);
    void SetTimeZoneOffset(int minutes);

    // Read directly by the server session.
    NotificationToken m_notificationToken;

private:
    template <typename T> void setTokenField(T NotificationToken::*field, const T &value);
};

#endif // KESTREL_ACCOUNTS_AUTHACCOUNT_H
