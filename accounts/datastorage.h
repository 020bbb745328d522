#ifndef KESTREL_ACCOUNTS_DATASTORAGE_H
#define KESTREL_ACCOUNTS_DATASTORAGE_H

#include "accounts/accountsdata.h"

#include <QJsonValue>
#include <QList>
#include <QObject>
#include <QPair>
#include <QPointer>
#include <QString>
#include <QStringList>

class QTimer;

// The process-wide owner of the account collection and of the three data files in the
// application's data directory, all written through DataDirectory.
//
// The collection is loaded from "accounts.txt" once per process, by whoever needs it first (the
// list model, the registration id, a save), so a save can never write a collection that was not
// loaded. A run that could not read an existing file never replaces it. Elements of the file this
// version cannot read are kept as read and written back in their place. A failed save keeps the
// accounts in memory and is repeated on a back-off timer and at the next change until it works.
//
// GUI thread, except GetRegistrationId, which the HTTP thread also calls (it only reads a file).
class DataStorage : public QObject
{
    Q_OBJECT

public:
    // Retries of a failed save: the first after this long, each further one twice as late.
    static constexpr int FIRST_RETRY_MS = 1000;
    static constexpr int MAX_RETRY_MS = 60000;

    static DataStorage *Instance();

    explicit DataStorage(QObject *parent = nullptr);

    // Appends the accounts of "accounts.txt" to the collection, the first time only. False when
    // the file exists but could not be read (saves are then refused for the rest of the run).
    bool LoadData();
    // Rewrites "accounts.txt" from the collection. False when nothing was written; the old file
    // then stays as it was, and problem() tells why.
    bool SaveData();
    bool SaveApplicationPin(const QString &pin);
    QString GetApplicationPin();
    bool SaveRegistrationId(const QString &id);
    QString GetRegistrationId();

    // What problem() said while nobody listened, each text once; handed out only once.
    QStringList TakePendingProblems();

    // Tests only: frees every account and forgets the load, as a new process starts.
    void ResetForTests();

    AccountsData m_accountsData;

signals:
    // A text for the user about the accounts file: a load that could not read it, found it
    // damaged or found entries this version cannot show, or a save that failed.
    void problem(const QString &message);

private:
    enum LoadState
    {
        NotLoaded,
        Loaded,
        // The file exists but could not be read: it is left alone for the rest of the run.
        Unreadable
    };

    QString _getAppDataPath() const;
    QString readLine(const QString &fileName) const;
    // Writes the collection; problem() only for a save of a change, not for a retry.
    bool writeAccounts(bool announceFailure);
    void retryLater();
    void report(const QString &message);
    // The kept copy's name, or an empty text when the file could not be moved aside.
    QString keepDamagedFile(const QString &path) const;

    LoadState m_loadState = NotLoaded;
    // Elements of the file that no account class accepts, by their position in it.
    QList<QPair<int, QJsonValue>> m_unreadable;
    QStringList m_pendingProblems;
    QPointer<QTimer> m_retryTimer;
    int m_retryMs = FIRST_RETRY_MS;
};

#endif // KESTREL_ACCOUNTS_DATASTORAGE_H
