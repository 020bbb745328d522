// Vault files come from anywhere: read any bytes with a password, as an import does. The scrypt
// work a slot may ask for is lowered so that the fuzzer spends its time on the parsing; the seed
// vaults use N = 16.
#include "backup/aegisvault.h"
#include "otp/otpauthuri.h"

#include <QByteArray>

#include <cstddef>
#include <cstdint>
#include <cstdlib>

// Qt 5.15's JSON parser loses the earlier value of a repeated key when that value is an object or
// an array; those leaks are Qt's and bounded by the input size.
extern "C" const char *__lsan_default_suppressions()
{
    return "leak:libQt5Core.so\n";
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QByteArray content =
        QByteArray::fromRawData(reinterpret_cast<const char *>(data), static_cast<int>(size));
    const ImportResult result = AegisVault::read(content, QStringLiteral("пароль"), 16 * 8 * 2);
    // A refused file yields nothing, and what is yielded is an OTP URI of our own making.
    if (!result.error.isEmpty() && (!result.uris.isEmpty() || result.unsupported != 0)) {
        std::abort();
    }
    for (const QString &uri : result.uris) {
        const OTPAuthURI parsed(uri.toStdString());
        if (parsed.type() != OTPAuthURI::TOTP && parsed.type() != OTPAuthURI::HOTP) {
            std::abort();
        }
    }
    return 0;
}
