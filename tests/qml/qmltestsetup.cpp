#include "tests/qml/qmltestsetup.h"

#include "app/qmltypes.h"
#include "ui/uitypes.h"

#include <QCoreApplication>
#include <QJsonArray>
#include <QJsonObject>
#include <QQmlContext>
#include <QQmlError>
#include <QUrl>

bool DevServerBridge::start()
{
    return m_server.isRunning() || m_server.start();
}

QVariantMap DevServerBridge::createTicket(const QString &kind, const QString &member,
                                          const QVariantMap &options)
{
    return m_server.createTicket(kind, member, QJsonObject::fromVariantMap(options)).toVariantMap();
}

QVariantMap DevServerBridge::createLogin(const QString &tokenUID, const QString &metadata)
{
    return m_server.createLogin(tokenUID, metadata).toVariantMap();
}

QVariantMap DevServerBridge::withdrawLogin(const QString &sessionID)
{
    return m_server.withdrawLogin(sessionID).toVariantMap();
}

QString DevServerBridge::loginState(const QString &sessionID)
{
    const QJsonArray logins = m_server.logins();
    for (const QJsonValue &login : logins) {
        if (login.toObject().value("sessionID").toString() == sessionID)
            return login.toObject().value("state").toString();
    }
    return QString();
}

QmlTestSetup::QmlTestSetup()
{
    // Before anything asks for standard paths: the accounts, PIN and attempt files of the
    // tests stay in a directory of their own.
    qputenv("XDG_DATA_HOME", m_dataHome.path().toLocal8Bit());
    // The offscreen platform has no OpenGL; the software renderer draws the same scene.
    if (qgetenv("QT_QPA_PLATFORM") == "offscreen")
        qputenv("QT_QUICK_BACKEND", "software");
    registerQmlTypes();
    registerUiTypes();
    selectUiStyle();
}

void QmlTestSetup::applicationAvailable()
{
    QCoreApplication::setOrganizationName("ru.kestrel");
    QCoreApplication::setApplicationName("Kestrel2FAClient");
    QCoreApplication::setApplicationVersion(QString::fromUtf8("Версия 1.2.2.32 от 20 июл. 2023 г."));
}

void QmlTestSetup::qmlEngineAvailable(QQmlEngine *engine)
{
    engine->rootContext()->setContextProperty(
        "mainFileUrl", QUrl::fromLocalFile(QStringLiteral(KESTREL_QML_DIR "/Kestrel2FAClient.qml")));
    engine->rootContext()->setContextProperty("devServer", new DevServerBridge(engine));
    connect(engine, &QQmlEngine::warnings, this, [this](const QList<QQmlError> &warnings) {
        for (const QQmlError &warning : warnings)
            m_warnings << warning.toString();
    });
}
