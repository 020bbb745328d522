#ifndef KESTREL_APP_BUILDVERSION_H
#define KESTREL_APP_BUILDVERSION_H

#include <QLocale>
#include <QString>

namespace BuildVersion {

extern const char *const PROGRAM_VERSION;

// "Версия <version> от <d MMM yyyy> г." from the compiler's date text ("Jul 20 2023",
// "Jul  5 2023").
QString versionText(const QString &buildDate);

// The same line in the interface's language: the Russian one above for Russian, else
// "Version <version> of <d MMM yyyy>" with English month names.
QString versionText(const QString &buildDate, const QLocale &language);

} // namespace BuildVersion

#endif // KESTREL_APP_BUILDVERSION_H
