#include "backup/backupfile.h"

#include "accounts/datadirectory.h"
#include "backup/aegisvault.h"
#include "backup/otpauthurilist.h"

#include <QFile>
#include <QFileInfo>
#include <QUrl>

namespace {

const char NO_FILE[] = QT_TRANSLATE_NOOP("BackupFile", "Выберите файл.");
const char UNREADABLE[] = QT_TRANSLATE_NOOP("BackupFile", "Не удалось прочитать файл: %1");
const char TOO_LARGE[] = QT_TRANSLATE_NOOP("BackupFile", "Файл слишком большой для резервной копии.");
const char UNWRITABLE[] = QT_TRANSLATE_NOOP("BackupFile", "Не удалось записать файл: %1");

} // namespace

ImportResult BackupFile::read(const QString &path, const QString &password)
{
    const QString local = localPath(path);
    if (local.isEmpty()) {
        return ImportResult::failure(BackupFile::tr(NO_FILE));
    }
    QFile file(local);
    if (!file.open(QIODevice::ReadOnly)) {
        return ImportResult::failure(BackupFile::tr(UNREADABLE).arg(file.errorString()));
    }
    // Read one byte past the limit: a file that grows while it is read is caught as well.
    const QByteArray content = file.read(MAX_SIZE + 1);
    if (content.size() > MAX_SIZE) {
        return ImportResult::failure(BackupFile::tr(TOO_LARGE));
    }
    if (file.error() != QFileDevice::NoError) {
        return ImportResult::failure(BackupFile::tr(UNREADABLE).arg(file.errorString()));
    }
    return parse(content, password);
}

ImportResult BackupFile::parse(const QByteArray &content, const QString &password)
{
    QByteArray text = content;
    if (text.startsWith("\xEF\xBB\xBF")) {
        text.remove(0, 3);
    }
    if (text.trimmed().startsWith('{')) {
        return AegisVault::read(text, password);
    }
    return OtpauthUriList::read(text);
}

QString BackupFile::write(const QString &path, const QByteArray &content)
{
    const QString local = localPath(path);
    if (local.isEmpty()) {
        return BackupFile::tr(NO_FILE);
    }
    // A folder the user named but that does not exist is a mistake to report, not to create.
    if (!QFileInfo(QFileInfo(local).absolutePath()).isDir()) {
        return BackupFile::tr(UNWRITABLE).arg(local);
    }
    // The same checked, atomic, owner-only write as the data files.
    return DataDirectory::writeFile(local, content) ? QString() : BackupFile::tr(UNWRITABLE).arg(local);
}

QString BackupFile::localPath(const QString &pathOrUrl)
{
    const QString text = pathOrUrl.trimmed();
    if (text.startsWith(QLatin1String("file:"), Qt::CaseInsensitive)) {
        return QUrl(text).toLocalFile();
    }
    return text;
}
