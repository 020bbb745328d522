#include "backup/otpauthurilist.h"

#include "backup/migrationcodes.h"

namespace {

const char NOT_A_BACKUP[] =
    QT_TRANSLATE_NOOP("OtpauthUriList", "В файле нет ни одного аккаунта: это не резервная копия.");

} // namespace

QByteArray OtpauthUriList::write(const QList<BackupEntry> &entries)
{
    QByteArray content;
    for (const BackupEntry &entry : entries) {
        content += entry.toUri().toUtf8() + '\n';
    }
    return content;
}

ImportResult OtpauthUriList::read(const QByteArray &content)
{
    ImportResult result;
    bool recognized = false;
    const QList<QByteArray> lines = content.split('\n');
    for (const QByteArray &raw : lines) {
        const QString line = QString::fromUtf8(raw).trimmed();
        if (line.isEmpty()) {
            continue;
        }
        if (line.startsWith(QLatin1String("otpauth://"))) {
            recognized = true;
            result.uris << line;
        } else if (MigrationCodes::isMigrationText(line)) {
            recognized = true;
            const ImportResult code = MigrationCodes::read(line);
            if (!code.error.isEmpty()) {
                return code;
            }
            result.uris << code.uris;
            result.unsupported += code.unsupported;
        } else {
            ++result.unsupported;
        }
    }
    if (!recognized) {
        result = ImportResult();
        result.error = OtpauthUriList::tr(NOT_A_BACKUP);
    }
    return result;
}
