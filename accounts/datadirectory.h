#ifndef KESTREL_ACCOUNTS_DATADIRECTORY_H
#define KESTREL_ACCOUNTS_DATADIRECTORY_H

#include <QByteArray>
#include <QString>

// The one way the program writes files into its data directory (QStandardPaths::AppDataLocation;
// tests point it elsewhere through XDG_DATA_HOME). The directory is private to the user: created
// 0700, and tightened to 0700 when an earlier release or the umask left it looser. Every file is
// 0600 and replaced through QSaveFile, so it holds either its old or its new content. Each step
// is checked; a failure is logged with the file and the reason and returned to the caller, who
// tells the user.
//
// Stateless: callable from any thread, every call works on objects of its own.
class DataDirectory
{
public:
    static QString path();
    // `name` inside the data directory.
    static QString filePath(const QString &name);
    // Replaces the file at `filePath` with `content`, creating its directory when missing.
    static bool writeFile(const QString &filePath, const QByteArray &content);
};

#endif // KESTREL_ACCOUNTS_DATADIRECTORY_H
