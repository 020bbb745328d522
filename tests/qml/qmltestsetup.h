#ifndef KESTREL_TESTS_QML_QMLTESTSETUP_H
#define KESTREL_TESTS_QML_QMLTESTSETUP_H

#include "tests/common/devserverfixture.h"

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

    Q_INVOKABLE bool start();
    Q_INVOKABLE QString errorString() const { return m_server.errorString(); }
    Q_INVOKABLE QVariantMap createTicket(const QString &kind, const QString &member,
                                         const QVariantMap &options);
    Q_INVOKABLE QVariantMap createLogin(const QString &tokenUID, const QString &metadata);
    Q_INVOKABLE QVariantMap withdrawLogin(const QString &sessionID);
    Q_INVOKABLE QString loginState(const QString &sessionID);

private:
    DevServerFixture m_server;
};

// Gives the QML tests a private data directory, the registered types and the path of the
// screens.
class QmlTestSetup : public QObject
{
    Q_OBJECT

public:
    QmlTestSetup();

    // Every QML warning of the run: Qt Quick Test only prints them.
    QStringList qmlWarnings() const { return m_warnings; }

public slots:
    void applicationAvailable();
    void qmlEngineAvailable(QQmlEngine *engine);

private:
    QTemporaryDir m_dataHome;
    QStringList m_warnings;
};

#endif // KESTREL_TESTS_QML_QMLTESTSETUP_H
