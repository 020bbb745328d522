#ifndef KESTREL_TESTS_SERVERS_RESULTSINK_H
#define KESTREL_TESTS_SERVERS_RESULTSINK_H

#include "servers/vexaserver.h"

#include <QList>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QStringList>

class Account;
class HttpResult;
class ServerManager;

// Carries out the results a ServerManager passes on, the way the accounts list model does
// (update replies to processAuthOperation, answers to onAuthOk, removed tokens out of the
// collection, registered accounts into the collection and their session), and records what
// the sessions reported, so that the server side can be tested on its own.
class ResultSink : public QObject
{
    Q_OBJECT

public:
    struct UpdateSeen
    {
        QString address;
        int errorCode;
        VexaServer::NetworkStatus status;
        QString message;
    };

    explicit ResultSink(ServerManager *manager);
    // Frees the results still queued to it; destroy the manager first.
    ~ResultSink() override;

    QList<Account *> added;
    QStringList badReplies;
    QList<UpdateSeen> updates;
    int results = 0;

public slots:
    void onHttpResult(HttpResult *result);

private:
    QPointer<ServerManager> m_manager;
};

#endif // KESTREL_TESTS_SERVERS_RESULTSINK_H
