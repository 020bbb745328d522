#include "fuzz/protocol/replyfuzzing.h"

// "IV.ciphertext.tag" text of an encrypted registration answer, under the seed corpus's key.
extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    replyfuzzing::initialize();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const ActivateOrbTicketRequest &request = replyfuzzing::registrationRequest();
    const QString text = QString::fromUtf8(reinterpret_cast<const char *>(data), static_cast<int>(size));
    const QByteArray plaintext = request.DecryptOTPData(text);
    // A successful decryption is never longer than its ciphertext.
    if (plaintext.size() > static_cast<int>(size)) {
        __builtin_trap();
    }
    return 0;
}
