#ifndef KESTREL_TESTS_COMMON_QMLTESTSETUP_H
#define KESTREL_TESTS_COMMON_QMLTESTSETUP_H

#include "app/interfacelanguage.h"
#include "tests/common/devserverfixture.h"

#include <QGuiApplication>
#include <QJsonArray>
#include <QJsonObject>
#include <QObject>
#include <QQmlEngine>
#include <QTemporaryDir>
#include <QVariantMap>

// Lets the QML tests drive kestrel-devserver: tickets, login requests, withdrawals.
class DevServerBridge : public QObject
{
    Q_OBJECT

public:
    using QObject::QObject;

    Q_INVOKABLE bool start() { return m_server.isRunning() || m_server.start(); }
    Q_INVOKABLE QString errorString() const { return m_server.errorString(); }
    Q_INVOKABLE QVariantMap createTicket(const QString &kind, const QString &member,
                                         const QVariantMap &options)
    {
        return m_server.createTicket(kind, member, QJsonObject::fromVariantMap(options)).toVariantMap();
    }
    Q_INVOKABLE QVariantMap createLogin(const QString &tokenUID, const QString &metadata)
    {
        return m_server.createLogin(tokenUID, metadata).toVariantMap();
    }
    Q_INVOKABLE QVariantMap withdrawLogin(const QString &sessionID)
    {
        return m_server.withdrawLogin(sessionID).toVariantMap();
    }
    Q_INVOKABLE QVariantList logins() { return m_server.logins().toVariantList(); }

private:
    DevServerFixture m_server;
};

// Gives the QML tests a private data directory, the registered types, the program's names, the
// path of the screens and (as "testSetup") the interface language of another system language.
class QmlTestSetup : public QObject
{
    Q_OBJECT

public:
    static constexpr const char *BUILD_DATE = "Jul 20 2023";

    QmlTestSetup();

    // As a start under `locale` would; screens loaded from then on show it.
    Q_INVOKABLE static bool useLanguage(const QString &locale)
    {
        return InterfaceLanguage::apply(QLocale(locale), QString::fromLatin1(BUILD_DATE));
    }

    // Every QML warning of the run: Qt Quick Test only prints them.
    QStringList qmlWarnings() const { return m_warnings; }

public slots:
    void applicationAvailable();
    void qmlEngineAvailable(QQmlEngine *engine);

private:
    QTemporaryDir m_dataHome;
    QStringList m_warnings;
};

// main() of a Qt Test on the main window, prepared as for the Qt Quick Test ones.
#define KESTREL_QML_TEST_MAIN(TestObject)                                                                    \
    int main(int argc, char **argv)                                                                          \
    {                                                                                                        \
        QmlTestSetup setup;                                                                                  \
        QGuiApplication app(argc, argv);                                                                     \
        setup.applicationAvailable();                                                                        \
        TestObject test;                                                                                     \
        return QTest::qExec(&test, argc, argv);                                                              \
    }

#endif // KESTREL_TESTS_COMMON_QMLTESTSETUP_H
