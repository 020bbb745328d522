#ifndef KESTREL_ACCOUNTS_STANDARTORBACCOUNT_H
#define KESTREL_ACCOUNTS_STANDARTORBACCOUNT_H

#include "accounts/account.h"

// An OTP account provisioned by ticket activation at a server.
class StandartOrbAccount : public Account
{
public:
    StandartOrbAccount(const QString &uri, const QString &address, const QString &tokenUID);
    explicit StandartOrbAccount(const QJsonObject &object);
    ~StandartOrbAccount() override;

    QJsonObject toJsonObject() const override;
};

#endif // KESTREL_ACCOUNTS_STANDARTORBACCOUNT_H
