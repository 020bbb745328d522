#include "models/applicationpinmodel.h"

#include "accounts/datastorage.h"

namespace {
const char PIN_NOT_SAVED_MESSAGE[] = QT_TRANSLATE_NOOP(
    "ApplicationPinModel",
    "PIN-код не изменён: не удалось записать его на устройство (нет места или нет доступа к папке "
    "данных).");
}

ApplicationPinModel::ApplicationPinModel(QObject *parent)
    : QObject(parent)
    , m_pinCode(DataStorage::Instance()->GetApplicationPin())
{
}

bool ApplicationPinModel::onSetPinCode(QString pinCode)
{
    return store(pinCode);
}

bool ApplicationPinModel::resetPinCode()
{
    return store(QString());
}

QString ApplicationPinModel::getPinCode()
{
    return m_pinCode;
}

bool ApplicationPinModel::isPinCodePresent()
{
    return !m_pinCode.isEmpty();
}

bool ApplicationPinModel::store(const QString &pinCode)
{
    // A PIN held for this run only would be gone at the next start without a word.
    if (!DataStorage::Instance()->SaveApplicationPin(pinCode)) {
        emit badreply(tr(PIN_NOT_SAVED_MESSAGE));
        return false;
    }
    m_pinCode = pinCode;
    return true;
}
