#include "accounts/standartaccaunt.h"

StandartAccaunt::StandartAccaunt(const QString &uri)
    : Account(TypeStandart, uri)
{
}

StandartAccaunt::StandartAccaunt(const QJsonObject &object)
    : Account(TypeStandart, object.value("URI").toString())
{
    restoreStored(object);
}

StandartAccaunt::~StandartAccaunt() = default;

QJsonObject StandartAccaunt::toJsonObject() const
{
    return Account::toJsonObject();
}
