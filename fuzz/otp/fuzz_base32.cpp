// Base32 secrets come from QR codes and server replies: decode any bytes, and check that the
// encoder and decoder are inverse on any data.
#include "otp/base32.h"
#include "otp/otpgenerator.h"

#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

namespace {
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const std::string text(reinterpret_cast<const char *>(data), size);
    const QByteArray decoded = base32_decode(text);
    if (decoded.size() != Base32::GetDecode32Length(static_cast<int>(size))) {
        std::abort();
    }

    // Raw quintet buffers: values above 31 are refused, never read past.
    if (size > 0) {
        std::vector<unsigned char> quintets(data, data + size);
        std::vector<unsigned char> bytes(
            static_cast<std::size_t>(Base32::GetDecode32Length(static_cast<int>(size))) + 1);
        (void)Base32::Decode32(quintets.data(), static_cast<int>(size), bytes.data());
        (void)Base32::Map32(quintets.data(), static_cast<int>(size), Base32::ALPHABET);
    }

    // Round trip: bytes -> quintets -> characters -> bytes.
    if (size > 0) {
        std::vector<unsigned char> encoded(
            static_cast<std::size_t>(Base32::GetEncode32Length(static_cast<int>(size))));
        if (!Base32::Encode32(data, static_cast<int>(size), encoded.data()) ||
            !Base32::Map32(encoded.data(), static_cast<int>(encoded.size()), Base32::ALPHABET)) {
            std::abort();
        }
        const QByteArray back = base32_decode(std::string(encoded.begin(), encoded.end()));
        if (back != QByteArray(reinterpret_cast<const char *>(data), static_cast<int>(size))) {
            std::abort();
        }
    }

    // Any text as a secret: a code or an empty result, nothing else.
    const unsigned char algorithm = size > 0 ? data[0] % 4 : 1;
    const std::string code =
        OTPGenerator::computeHOTP(text, 8, static_cast<unsigned int>(size), algorithm, nullptr);
    if (!code.empty() && code.size() != 8) {
        std::abort();
    }
    return 0;
}
