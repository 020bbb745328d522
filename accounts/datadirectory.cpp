#include "accounts/datadirectory.h"

#include <QDebug>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStandardPaths>
#include <cerrno>
#include <cstring>
#include <sys/stat.h>

namespace {

// Creates `path` and its missing parents private to the user.
bool makeDirectory(const QString &path)
{
    const QFileInfo info(path);
    if (info.isDir()) {
        return true;
    }
    if (info.exists()) {
        return false;
    }
    const QString parent = info.absolutePath();
    if (parent != info.absoluteFilePath() && !makeDirectory(parent)) {
        return false;
    }
    if (::mkdir(QFile::encodeName(path).constData(), 0700) != 0 && errno != EEXIST) {
        return false;
    }
    return QFileInfo(path).isDir();
}

// Only the program's own directory is tightened: the parents belong to the user's desktop.
void makePrivate(const QString &directory)
{
    const QByteArray name = QFile::encodeName(directory);
    struct stat st = {};
    if (::stat(name.constData(), &st) != 0 || (st.st_mode & 077) == 0) {
        return;
    }
    if (::chmod(name.constData(), 0700) != 0) {
        // The files themselves stay 0600, so the write goes on.
        qWarning().noquote() << "Data directory mode error:" << directory << std::strerror(errno);
    }
}

bool fail(const char *what, const QString &filePath, const QString &reason)
{
    qWarning().noquote() << what << filePath << reason;
    return false;
}

} // namespace

QString DataDirectory::path()
{
    return QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
}

QString DataDirectory::filePath(const QString &name)
{
    return path() + QLatin1Char('/') + name;
}

bool DataDirectory::writeFile(const QString &filePath, const QByteArray &content)
{
    const QString directory = QFileInfo(filePath).absolutePath();
    if (!makeDirectory(directory)) {
        return fail("File open error:", filePath, QStringLiteral("no directory"));
    }
    if (QDir::cleanPath(directory) == QDir::cleanPath(QFileInfo(path()).absoluteFilePath())) {
        makePrivate(directory);
    }
    QSaveFile file(filePath);
    if (!file.open(QIODevice::WriteOnly)) {
        return fail("File open error:", filePath, file.errorString());
    }
    // A new file would get the umask's mode, a replaced one the mode of the old file.
    if (!file.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner)) {
        return fail("File write error:", filePath, file.errorString());
    }
    // QSaveFile notices neither a short write nor a failed final flush. An uncommitted file is
    // removed when it goes out of scope, and the old one stays.
    if (file.write(content) != content.size() || !file.flush() || !file.commit()) {
        return fail("File write error:", filePath, file.errorString());
    }
    return true;
}
