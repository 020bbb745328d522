#include "app/buildversion.h"

#include <QDate>

namespace BuildVersion {

const char *const PROGRAM_VERSION = "1.2.2.32";

namespace {

QDate buildDay(const QString &buildDate)
{
    return QLocale(QStringLiteral("en_US")).toDate(buildDate.simplified(), QStringLiteral("MMM d yyyy"));
}

} // namespace

QString versionText(const QString &buildDate)
{
    return QStringLiteral("Версия ") + QLatin1String(PROGRAM_VERSION) + QStringLiteral(" от ") +
           buildDay(buildDate).toString(QStringLiteral("d MMM yyyy")) + QStringLiteral(" г.");
}

QString versionText(const QString &buildDate, const QLocale &language)
{
    const QString format = QStringLiteral("d MMM yyyy");
    if (language.language() == QLocale::Russian) {
        return QStringLiteral("Версия ") + QLatin1String(PROGRAM_VERSION) + QStringLiteral(" от ") +
               QLocale(QLocale::Russian).toString(buildDay(buildDate), format) + QStringLiteral(" г.");
    }
    return QStringLiteral("Version ") + QLatin1String(PROGRAM_VERSION) + QStringLiteral(" of ") +
           QLocale(QLocale::English).toString(buildDay(buildDate), format);
}

} // namespace BuildVersion
