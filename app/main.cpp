#include "app/applicationcontroller.h"
#include "app/buildversion.h"
#include "app/interfacelanguage.h"
#include "app/pushnotificationsmodel.h"
#include "app/pushreceiverservice.h"
#include "app/qmltypes.h"
#include "ui/uitypes.h"

#include <auroraapp.h>

#include <QGuiApplication>
#include <QQmlEngine>
#include <QScopedPointer>
#include <QtDebug>

int main(int argc, char *argv[])
{
    registerQmlTypes();
    registerUiTypes();
    selectUiStyle();

    const QString version = BuildVersion::versionText(QStringLiteral(__DATE__));
    qDebug().noquote() << "Application started version:" << version;

    QScopedPointer<QGuiApplication> application(Aurora::Application::application(argc, argv));
    application->setOrganizationName(QStringLiteral("ru.kestrel"));
    application->setApplicationName(QStringLiteral("Kestrel2FAClient"));
    // The version text in the interface's language (the Russian one above on a Russian system).
    InterfaceLanguage::apply(QLocale::system(), QStringLiteral(__DATE__));

    QStringList arguments = application->arguments();
    arguments.removeFirst();

    if (PushReceiverService::isRegistered()) {
        return PushReceiverService::updateApplicationArgs(arguments);
    }

    auto *service = new PushReceiverService(application.data(), arguments);
    if (!service->ownsName()) {
        // Another launch took the name meanwhile; the arguments went to it.
        delete service;
        return 0;
    }
    auto *controller = new ApplicationController(arguments, application.data());
    QObject::connect(service, &PushReceiverService::guiRequested, controller,
                     &ApplicationController::showGui);

    const int result = application->exec();
    delete controller;
    delete service;
    return result;
}
