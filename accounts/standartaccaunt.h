#ifndef KESTREL_ACCOUNTS_STANDARTACCAUNT_H
#define KESTREL_ACCOUNTS_STANDARTACCAUNT_H

#include "accounts/account.h"

// A local OTP account added from a scanned "otpauth://" code.
class StandartAccaunt : public Account
{
public:
    explicit StandartAccaunt(const QString &uri);
    explicit StandartAccaunt(const QJsonObject &object);
    ~StandartAccaunt() override;

    QJsonObject toJsonObject() const override;
};

#endif // KESTREL_ACCOUNTS_STANDARTACCAUNT_H
