// A text file chosen for import: any bytes as lines of otpauth and transfer-code URIs.
#include "backup/otpauthurilist.h"

#include <QByteArray>

#include <cstddef>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QByteArray content =
        QByteArray::fromRawData(reinterpret_cast<const char *>(data), static_cast<int>(size));
    const ImportResult result = OtpauthUriList::read(content);
    if (!result.error.isEmpty() && !result.uris.isEmpty()) {
        std::abort();
    }
    for (const QString &uri : result.uris) {
        if (!uri.startsWith(QLatin1String("otpauth://"))) {
            std::abort();
        }
    }
    return 0;
}
