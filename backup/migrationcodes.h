#ifndef KESTREL_BACKUP_MIGRATIONCODES_H
#define KESTREL_BACKUP_MIGRATIONCODES_H

#include "backup/backupentry.h"
#include "backup/importresult.h"

#include <QCoreApplication>
#include <QList>
#include <QString>
#include <QStringList>

// Transfer codes "otpauth-migration://offline?data=…" of Google Authenticator: a protobuf
// payload with the accounts of one QR code, Base64 and URL-encoded. Stateless; safe to call from
// any thread.
class MigrationCodes
{
    // Messages for the user, in the interface's language when they are made.
    Q_DECLARE_TR_FUNCTIONS(MigrationCodes)

public:
    static const QString SCHEME;
    // Accounts a code carries at most; fewer when their names are long, so that a code stays
    // readable on a phone screen.
    static const int ACCOUNTS_PER_CODE = 10;

    // True for a text that starts with the scheme (letter case ignored).
    static bool isMigrationText(const QString &text);
    // The accounts of one code, or an error when it is damaged or of an unknown version.
    static ImportResult read(const QString &text);

    // Only TOTP with a 30 s period and 6 or 8 digits, or HOTP with 6 or 8 digits, can travel.
    static bool canCarry(const BackupEntry &entry);
    // The codes of one transfer: every entry that can travel, in order, ten or fewer a code, each
    // code with its batch index, the number of codes and `batchId`.
    static QStringList write(const QList<BackupEntry> &entries, int batchId);
};

#endif // KESTREL_BACKUP_MIGRATIONCODES_H
