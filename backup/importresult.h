#ifndef KESTREL_BACKUP_IMPORTRESULT_H
#define KESTREL_BACKUP_IMPORTRESULT_H

#include <QString>
#include <QStringList>

// What a file or a transfer code holds for the scan path: the accounts as "otpauth://" URIs, in
// order, and the entries this program cannot use. With an error nothing may be imported. A plain
// value, copied freely.
class ImportResult
{
public:
    QStringList uris;
    int unsupported = 0;
    // For the user, in Russian; empty on success.
    QString error;
    // A single transfer code's place in its transfer (0-based), when it says so.
    int batchIndex = 0;
    int batchSize = 0;

    // A result that carries only `error`.
    static ImportResult failure(const QString &error)
    {
        ImportResult result;
        result.error = error;
        return result;
    }
};

#endif // KESTREL_BACKUP_IMPORTRESULT_H
