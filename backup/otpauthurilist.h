#ifndef KESTREL_BACKUP_OTPAUTHURILIST_H
#define KESTREL_BACKUP_OTPAUTHURILIST_H

#include "backup/backupentry.h"
#include "backup/importresult.h"

#include <QByteArray>
#include <QCoreApplication>
#include <QList>

// A UTF-8 text file with one "otpauth://" URI a line, the list nearly every authenticator
// reads. Lines holding transfer codes ("otpauth-migration://") are read too. Stateless.
class OtpauthUriList
{
    // Messages for the user, in the interface's language when they are made.
    Q_DECLARE_TR_FUNCTIONS(OtpauthUriList)

public:
    static QByteArray write(const QList<BackupEntry> &entries);
    // Blank lines are skipped and "\r\n" is accepted; any other line counts as not supported. A
    // damaged transfer code, or a file without a single URI, is an error.
    static ImportResult read(const QByteArray &content);
};

#endif // KESTREL_BACKUP_OTPAUTHURILIST_H
