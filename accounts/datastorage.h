#ifndef KESTREL_ACCOUNTS_DATASTORAGE_H
#define KESTREL_ACCOUNTS_DATASTORAGE_H

#include "accounts/accountsdata.h"

#include <QObject>
#include <QString>

// The process-wide owner of the account collection and of the three data files in the
// application's data directory, all written through DataDirectory.
class DataStorage : public QObject
{
    Q_OBJECT

public:
    static DataStorage *Instance();

    explicit DataStorage(QObject *parent = nullptr);

    // Appends the accounts of "accounts.txt" to the collection. A file that exists but does not
    // hold a JSON array is copied aside first, so that the next save cannot destroy it.
    void LoadData();
    // Rewrites "accounts.txt" from the collection; on failure the old file stays as it was.
    void SaveData();
    void SaveApplicationPin(const QString &pin);
    QString GetApplicationPin();
    void SaveRegistrationId(const QString &id);
    QString GetRegistrationId();

    AccountsData m_accountsData;

private:
    QString _getAppDataPath() const;
    QString readLine(const QString &fileName) const;
    void keepDamagedFile(const QString &path) const;
};

#endif // KESTREL_ACCOUNTS_DATASTORAGE_H
