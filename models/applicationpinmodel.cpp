#include "models/applicationpinmodel.h"

#include "accounts/datastorage.h"

ApplicationPinModel::ApplicationPinModel(QObject *parent)
    : QObject(parent)
    , m_pinCode(DataStorage::Instance()->GetApplicationPin())
{
}

void ApplicationPinModel::onSetPinCode(QString pinCode)
{
    // The copy changes even if the file cannot be written: the PIN then holds for this run only.
    m_pinCode = pinCode;
    DataStorage::Instance()->SaveApplicationPin(pinCode);
}

void ApplicationPinModel::resetPinCode()
{
    m_pinCode = QString();
    DataStorage::Instance()->SaveApplicationPin(QString());
}

QString ApplicationPinModel::getPinCode()
{
    return m_pinCode;
}

bool ApplicationPinModel::isPinCodePresent()
{
    return !m_pinCode.isEmpty();
}
