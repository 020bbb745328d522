#include "accounts/standartorbaccount.h"

StandartOrbAccount::StandartOrbAccount(const QString &uri, const QString &address, const QString &tokenUID)
    : Account(TypeStandartOrb, uri)
{
    m_address = address;
    m_tokenUID = tokenUID;
}

StandartOrbAccount::StandartOrbAccount(const QJsonObject &object)
    : Account(TypeStandartOrb, object.value("URI").toString())
{
    m_address = object.value("addres").toString();
    m_tokenUID = object.value("tokenUID").toString();
    restoreStored(object);
}

StandartOrbAccount::~StandartOrbAccount() = default;

QJsonObject StandartOrbAccount::toJsonObject() const
{
    return Account::toJsonObject();
}
