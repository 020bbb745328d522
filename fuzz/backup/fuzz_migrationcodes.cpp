// A scanned transfer code: any bytes as the protobuf payload, wrapped as a code is, and any bytes
// as the text after "data=".
#include "backup/migrationcodes.h"

#include <QByteArray>
#include <QUrl>

#include <cstddef>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QByteArray payload(reinterpret_cast<const char *>(data), static_cast<int>(size));
    const QString code =
        MigrationCodes::SCHEME + "offline?data=" + QUrl::toPercentEncoding(payload.toBase64());
    const ImportResult result = MigrationCodes::read(code);
    if (!result.error.isEmpty() && (!result.uris.isEmpty() || result.unsupported != 0)) {
        std::abort();
    }
    // The raw text, as a pasted code may be.
    (void)MigrationCodes::read(MigrationCodes::SCHEME + "offline?data=" + QString::fromLatin1(payload));
    return 0;
}
