#include "tests/common/qmltestsetup.h"

#include "app/qmltypes.h"
#include "ui/uitypes.h"

#include <QCoreApplication>
#include <QQmlContext>
#include <QQmlError>
#include <QUrl>

QmlTestSetup::QmlTestSetup()
{
    // Before anything asks for standard paths: the accounts, PIN and attempt files of the
    // tests stay in a directory of their own.
    qputenv("XDG_DATA_HOME", m_dataHome.path().toLocal8Bit());
    qputenv("XDG_RUNTIME_DIR", m_dataHome.path().toLocal8Bit());
    // The offscreen platform has no OpenGL; the software renderer draws the same scene.
    if (qgetenv("QT_QPA_PLATFORM") == "offscreen") {
        qputenv("QT_QUICK_BACKEND", "software");
    }
    registerQmlTypes();
    registerUiTypes();
    selectUiStyle();
}

void QmlTestSetup::applicationAvailable()
{
    QCoreApplication::setOrganizationName("ru.kestrel");
    QCoreApplication::setApplicationName("Kestrel2FAClient");
    useLanguage("ru_RU");
}

void QmlTestSetup::qmlEngineAvailable(QQmlEngine *engine)
{
    engine->rootContext()->setContextProperty(
        "mainFileUrl", QUrl::fromLocalFile(QStringLiteral(KESTREL_QML_DIR "/Kestrel2FAClient.qml")));
    engine->rootContext()->setContextProperty("devServer", new DevServerBridge(engine));
    engine->rootContext()->setContextProperty("testSetup", this);
    connect(engine, &QQmlEngine::warnings, this, [this](const QList<QQmlError> &warnings) {
        for (const QQmlError &warning : warnings) {
            m_warnings << warning.toString();
        }
    });
}
