#include "accounts/standartaccaunt.h"

StandartAccaunt::StandartAccaunt(const QString &uri)
    : Account(TypeStandart, uri)
{
}

StandartAccaunt::StandartAccaunt(const QJsonObject &object)
    : Account(TypeStandart, object.value("URI").toString())
{
    restoreCounter(object);
}

StandartAccaunt::~StandartAccaunt() = default;

QJsonObject StandartAccaunt::toJsonObject() const
{
    return Account::toJsonObject();
}
