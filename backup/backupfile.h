#ifndef KESTREL_BACKUP_BACKUPFILE_H
#define KESTREL_BACKUP_BACKUPFILE_H

#include "backup/importresult.h"

#include <QByteArray>
#include <QCoreApplication>
#include <QString>

// Backup files on disk: reading one in any of the formats (told apart by content) and writing
// an export so that only its owner can read it. Paths may also be "file:" URLs, as the screens'
// file pickers give them. Stateless; GUI thread or any other.
class BackupFile
{
    // Messages for the user, in the interface's language when they are made.
    Q_DECLARE_TR_FUNCTIONS(BackupFile)

public:
    // Larger files are refused unread: real backups of thousands of accounts are far smaller.
    static const qint64 MAX_SIZE = 16 * 1024 * 1024;

    static ImportResult read(const QString &path, const QString &password);
    // An Aegis vault when the content is a JSON object, otherwise a list of URIs.
    static ImportResult parse(const QByteArray &content, const QString &password);
    // Replaces the file atomically with mode 0600; an empty text on success, otherwise the
    // Russian error for the user.
    static QString write(const QString &path, const QByteArray &content);

    static QString localPath(const QString &pathOrUrl);
};

#endif // KESTREL_BACKUP_BACKUPFILE_H
