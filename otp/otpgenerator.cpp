#include "otp/otpgenerator.h"

#include "otp/base32.h"

// The low-level digest functions, see hashTwoParts.
#define OPENSSL_SUPPRESS_DEPRECATED
#include <openssl/crypto.h>
#include <openssl/sha.h>

#include <cstring>
#include <ctime>
#include <limits>
#include <vector>

const std::uint64_t DIGITS_POWER[11] = {
    1ULL,       10ULL,       100ULL,       1000ULL,       10000ULL,       100000ULL,
    1000000ULL, 10000000ULL, 100000000ULL, 1000000000ULL, 10000000000ULL,
};

namespace {

// Texts up to this length are decoded on the stack; real secrets are far shorter, so the code
// path that runs on every refresh of the screen does not touch the heap for them.
constexpr std::size_t STACK_TEXT = 256;

// Holds `length` bytes on the stack when they fit, on the heap otherwise.
class ScratchBuffer
{
public:
    explicit ScratchBuffer(std::size_t length)
    {
        if (length > sizeof(m_stack)) {
            m_heap.resize(length);
            m_data = m_heap.data();
        }
    }
    unsigned char *data() { return m_data; }

private:
    unsigned char m_stack[STACK_TEXT];
    std::vector<unsigned char> m_heap;
    unsigned char *m_data = m_stack;
};

// Character -> quintet tables, built once with Unmap32 so that they map exactly as it does.
// The secret table also takes lower-case letters as their upper-case forms.
struct QuintetTables
{
    unsigned char plain[256];
    unsigned char secret[256];

    QuintetTables()
    {
        for (int c = 0; c < 256; ++c) {
            plain[c] = static_cast<unsigned char>(c);
        }
        Base32::Unmap32(plain, 256, Base32::ALPHABET);
        for (int c = 0; c < 256; ++c) {
            secret[c] = plain[(c >= 'a' && c <= 'z') ? c - 'a' + 'A' : c];
        }
    }
};

const QuintetTables &quintetTables()
{
    static const QuintetTables tables;
    return tables;
}

// Decodes `length` quintets into `out` (Base32::GetDecode32Length(length) bytes); returns the
// number of bytes, 0 when there are none.
int decodeQuintets(const unsigned char *quintets, int length, unsigned char *out)
{
    const int bytes = Base32::GetDecode32Length(length);
    if (bytes <= 0 || !Base32::Decode32(quintets, length, out)) {
        return 0;
    }
    return bytes;
}

constexpr std::uint64_t INNER_PAD = 0x3636363636363636ULL;
constexpr std::uint64_t OUTER_PAD = 0x5C5C5C5C5C5C5C5CULL;

enum class Hash
{
    Sha1,
    Sha256,
    Sha512
};

// H(first || second) into `out` with libcrypto's low-level digest functions (deprecated in
// OpenSSL 3, but built by Debian): the EVP interface would load a provider on the first code,
// which costs 2 ms and 2 MiB at start-up, and dispatch every call through it.
template <typename Context, int (*Init)(Context *), int (*Update)(Context *, const void *, std::size_t),
          int (*Final)(unsigned char *, Context *)>
bool hashTwoParts(const void *first, std::size_t firstLength, const void *second, std::size_t secondLength,
                  unsigned char *out)
{
    Context context;
    const bool ok = Init(&context) == 1 && Update(&context, first, firstLength) == 1 &&
                    (secondLength == 0 || Update(&context, second, secondLength) == 1) &&
                    Final(out, &context) == 1;
    OPENSSL_cleanse(&context, sizeof(context));
    return ok;
}

// The same for the algorithm `hash`; returns the digest length, 0 on failure.
int digest(Hash hash, const void *first, std::size_t firstLength, const void *second,
           std::size_t secondLength, unsigned char *out)
{
    switch (hash) {
    case Hash::Sha1:
        return hashTwoParts<SHA_CTX, SHA1_Init, SHA1_Update, SHA1_Final>(first, firstLength, second,
                                                                         secondLength, out)
                   ? SHA_DIGEST_LENGTH
                   : 0;
    case Hash::Sha256:
        return hashTwoParts<SHA256_CTX, SHA256_Init, SHA256_Update, SHA256_Final>(first, firstLength, second,
                                                                                  secondLength, out)
                   ? SHA256_DIGEST_LENGTH
                   : 0;
    case Hash::Sha512:
        return hashTwoParts<SHA512_CTX, SHA512_Init, SHA512_Update, SHA512_Final>(first, firstLength, second,
                                                                                  secondLength, out)
                   ? SHA512_DIGEST_LENGTH
                   : 0;
    }
    return 0;
}

// RFC 2104 HMAC. Works on raw buffers and writes the digest (20, 32 or 64 bytes) into `out`,
// returning its length (0 when libcrypto fails), so that making a code costs no allocation.
int calcHMAC(const unsigned char *key, int keyLength, const unsigned char *message, int messageLength,
             Hash hash, unsigned char *out)
{
    const int blockSize = hash == Hash::Sha512 ? 128 : 64;
    unsigned char hashedKey[SHA512_DIGEST_LENGTH];
    if (keyLength > blockSize) {
        keyLength = digest(hash, key, static_cast<std::size_t>(keyLength), nullptr, 0, hashedKey);
        if (keyLength == 0) {
            return 0;
        }
        key = hashedKey;
    }

    // The pads are handled as 64-bit words: the key is zero-filled to the block first.
    std::uint64_t pad[16] = {};
    std::memcpy(pad, key, static_cast<std::size_t>(keyLength));
    const int words = blockSize / 8;
    for (int i = 0; i < words; ++i) {
        pad[i] ^= INNER_PAD;
    }
    unsigned char inner[SHA512_DIGEST_LENGTH];
    const int innerLength = digest(hash, pad, static_cast<std::size_t>(blockSize), message,
                                   static_cast<std::size_t>(messageLength), inner);
    if (innerLength == 0) {
        return 0;
    }
    for (int i = 0; i < words; ++i) {
        pad[i] ^= INNER_PAD ^ OUTER_PAD;
    }
    const int length = digest(hash, pad, static_cast<std::size_t>(blockSize), inner,
                              static_cast<std::size_t>(innerLength), out);
    OPENSSL_cleanse(pad, sizeof(pad));
    return length;
}

std::string hotp_helper(const std::string &secret, long counter, const unsigned char &digits,
                        const unsigned char &algorithm, OTPGenErrorCode *error)
{
    const auto reportSecret = [error]() {
        if (error) {
            *error = OTPGenErrorCode::InvalidSecret;
        }
        return std::string();
    };
    if (secret.size() > static_cast<std::size_t>(std::numeric_limits<int>::max())) {
        return reportSecret();
    }

    // Users type secrets in groups and in lower case; neither changes the key. Dropping the
    // spaces and mapping characters to quintets is one pass.
    const unsigned char *table = quintetTables().secret;
    ScratchBuffer quintetBuffer(secret.size());
    unsigned char *const quintets = quintetBuffer.data();
    int length = 0;
    for (const char c : secret) {
        if (c != ' ') {
            quintets[length++] = table[static_cast<unsigned char>(c)];
        }
    }
    ScratchBuffer key(static_cast<std::size_t>(Base32::GetDecode32Length(length)));
    const int keyLength = decodeQuintets(quintets, length, key.data());
    if (keyLength == 0) {
        return reportSecret();
    }

    Hash hash;
    switch (algorithm) {
    case 1:
        hash = Hash::Sha1;
        break;
    case 2:
        hash = Hash::Sha256;
        break;
    case 3:
        hash = Hash::Sha512;
        break;
    default:
        return reportSecret();
    }

    // Eight-byte big-endian moving factor; the counter is 32 bits wide, the upper half is zero.
    const std::uint32_t moving = static_cast<std::uint32_t>(counter);
    const unsigned char message[8] = {0,
                                      0,
                                      0,
                                      0,
                                      static_cast<unsigned char>(moving >> 24),
                                      static_cast<unsigned char>(moving >> 16),
                                      static_cast<unsigned char>(moving >> 8),
                                      static_cast<unsigned char>(moving)};
    unsigned char mac[SHA512_DIGEST_LENGTH];
    const int digestLength = calcHMAC(key.data(), keyLength, message, sizeof(message), hash, mac);
    // Only an exhausted libcrypto fails here: no code is better than a wrong one.
    if (digestLength < 20) {
        return reportSecret();
    }

    const int offset = mac[digestLength - 1] & 0x0F;
    const std::uint32_t value = (static_cast<std::uint32_t>(mac[offset] & 0x7F) << 24) |
                                (static_cast<std::uint32_t>(mac[offset + 1]) << 16) |
                                (static_cast<std::uint32_t>(mac[offset + 2]) << 8) | mac[offset + 3];
    // value < 2^31, so the remainder fits in 32 bits even for ten digits.
    std::uint32_t code = static_cast<std::uint32_t>(value % DIGITS_POWER[digits]);

    std::string result(digits, '0');
    for (int i = digits - 1; i >= 0 && code; --i) {
        result[static_cast<std::size_t>(i)] = static_cast<char>('0' + code % 10);
        code /= 10;
    }
    return result;
}

bool digitsInRange(unsigned char digits)
{
    return digits >= 3 && digits <= 10;
}

} // namespace

QByteArray base32_decode(const std::string &text)
{
    if (text.empty() || text.size() > static_cast<std::size_t>(std::numeric_limits<int>::max())) {
        return QByteArray();
    }
    const int length = static_cast<int>(text.size());
    const unsigned char *table = quintetTables().plain;
    ScratchBuffer quintets(text.size());
    for (int i = 0; i < length; ++i) {
        quintets.data()[i] = table[static_cast<unsigned char>(text[static_cast<std::size_t>(i)])];
    }
    QByteArray out(Base32::GetDecode32Length(length), Qt::Uninitialized);
    if (out.isEmpty() ||
        decodeQuintets(quintets.data(), length, reinterpret_cast<unsigned char *>(out.data())) == 0) {
        return QByteArray();
    }
    return out;
}

std::string OTPGenerator::computeTOTP(const long &time, const std::string &secret,
                                      const unsigned char &digits, const unsigned int &period,
                                      const unsigned char &algorithm, OTPGenErrorCode *error)
{
    if (!digitsInRange(digits)) {
        if (error) {
            *error = OTPGenErrorCode::InvalidDigits;
        }
        return std::string();
    }
    if (period < 2 || period > 120) {
        if (error) {
            *error = OTPGenErrorCode::InvalidPeriod;
        }
        // Out-of-range periods still give a code; a zero period cannot give any.
        if (period == 0) {
            return std::string();
        }
    }
    const std::uint32_t counter = static_cast<std::uint32_t>(time) / period;
    return hotp_helper(secret, counter, digits, algorithm, error);
}

std::string OTPGenerator::computeTOTP(const std::string &secret, const unsigned char &digits,
                                      const unsigned int &period, const unsigned char &algorithm,
                                      OTPGenErrorCode *error)
{
    const long now = static_cast<std::uint32_t>(std::time(nullptr));
    return computeTOTP(now, secret, digits, period, algorithm, error);
}

std::string OTPGenerator::computeHOTP(const std::string &secret, const unsigned char &digits,
                                      const unsigned int &counter, const unsigned char &algorithm,
                                      OTPGenErrorCode *error)
{
    if (!digitsInRange(digits)) {
        if (error) {
            *error = OTPGenErrorCode::InvalidDigits;
        }
        return std::string();
    }
    return hotp_helper(secret, counter, digits, algorithm, error);
}
