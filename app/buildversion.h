#ifndef KESTREL_APP_BUILDVERSION_H
#define KESTREL_APP_BUILDVERSION_H

#include <QString>

namespace BuildVersion {

extern const char *const PROGRAM_VERSION;

// "Версия <version> от <d MMM yyyy> г." from the compiler's date text ("Jul 20 2023",
// "Jul  5 2023").
QString versionText(const QString &buildDate);

} // namespace BuildVersion

#endif // KESTREL_APP_BUILDVERSION_H
