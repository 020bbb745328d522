#include "app/buildversion.h"

#include <QDate>
#include <QLocale>

namespace BuildVersion {

const char *const PROGRAM_VERSION = "1.2.2.32";

QString versionText(const QString &buildDate)
{
    const QDate date =
        QLocale(QStringLiteral("en_US")).toDate(buildDate.simplified(), QStringLiteral("MMM d yyyy"));
    return QStringLiteral("Версия ") + QLatin1String(PROGRAM_VERSION) + QStringLiteral(" от ") +
           date.toString(QStringLiteral("d MMM yyyy")) + QStringLiteral(" г.");
}

} // namespace BuildVersion
