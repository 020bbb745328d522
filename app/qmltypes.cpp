#include "app/qmltypes.h"

#include "app/pushnotificationsmodel.h"
#include "models/accountslistmodel.h"
#include "models/applicationpinmodel.h"
#include "models/qrcodescannermodel.h"

#include <QQmlEngine>

void registerQmlTypes()
{
    const char *uri = "ru.kestrel.vexa";
    qmlRegisterType<PushNotificationsModel>(uri, 1, 0, "PushNotificationsModel");
    qmlRegisterType<AccountsListModel>(uri, 1, 0, "AccountsListModel");
    qmlRegisterType<ApplicationPinModel>(uri, 1, 0, "ApplicationPinModel");
    qmlRegisterType<QRCodeScannerModel>(uri, 1, 0, "QRCodeScannerModel");
}
