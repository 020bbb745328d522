#include "otp/otpgenerator.h"

#include "otp/base32.h"

#include <openssl/crypto.h>
#include <openssl/evp.h>

#include <cstring>
#include <ctime>
#include <limits>
#include <vector>

const std::uint64_t DIGITS_POWER[11] = {
    1ULL,       10ULL,       100ULL,       1000ULL,       10000ULL,       100000ULL,
    1000000ULL, 10000000ULL, 100000000ULL, 1000000000ULL, 10000000000ULL,
};

namespace {

const unsigned char BASE32_ALPHABET[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZ234567";

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
        for (int c = 0; c < 256; ++c)
            plain[c] = static_cast<unsigned char>(c);
        Base32::Unmap32(plain, 256, BASE32_ALPHABET);
        for (int c = 0; c < 256; ++c)
            secret[c] = plain[(c >= 'a' && c <= 'z') ? c - 'a' + 'A' : c];
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
    if (bytes <= 0 || !Base32::Decode32(quintets, length, out))
        return 0;
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

// The digests are fetched from the provider once: fetching by name on every code would cost
// more than the hashing itself. They are never freed, like any process-wide table.
const EVP_MD *digestOf(Hash hash)
{
    static const EVP_MD *const sha1 = EVP_MD_fetch(nullptr, "SHA1", nullptr);
    static const EVP_MD *const sha256 = EVP_MD_fetch(nullptr, "SHA256", nullptr);
    static const EVP_MD *const sha512 = EVP_MD_fetch(nullptr, "SHA512", nullptr);
    return hash == Hash::Sha512 ? sha512 : hash == Hash::Sha256 ? sha256 : sha1;
}

// One digest context per thread, initialised again for each use: creating a context allocates,
// and a code is made on every refresh of the screen.
class DigestContext
{
public:
    DigestContext()
        : m_context(EVP_MD_CTX_new())
    {
    }
    ~DigestContext() { EVP_MD_CTX_free(m_context); }
    DigestContext(const DigestContext &) = delete;
    DigestContext &operator=(const DigestContext &) = delete;

    // H(first || second) into `out`; returns the digest length, 0 on failure.
    int hash(const EVP_MD *md, const void *first, std::size_t firstLength, const void *second,
             std::size_t secondLength, unsigned char *out)
    {
        unsigned int length = 0;
        if (!m_context || !md || EVP_DigestInit_ex2(m_context, md, nullptr) != 1 ||
            EVP_DigestUpdate(m_context, first, firstLength) != 1 ||
            (secondLength > 0 && EVP_DigestUpdate(m_context, second, secondLength) != 1) ||
            EVP_DigestFinal_ex(m_context, out, &length) != 1) {
            return 0;
        }
        return static_cast<int>(length);
    }

private:
    EVP_MD_CTX *m_context;
};

// RFC 2104 HMAC. Works on raw buffers and writes the digest (20, 32 or 64 bytes) into `out`,
// returning its length (0 when libcrypto fails), so that making a code costs no allocation.
int calcHMAC(const unsigned char *key, int keyLength, const unsigned char *message, int messageLength,
             Hash hash, unsigned char *out)
{
    thread_local DigestContext context;
    const EVP_MD *md = digestOf(hash);
    const int blockSize = hash == Hash::Sha512 ? 128 : 64;
    unsigned char hashedKey[EVP_MAX_MD_SIZE];
    if (keyLength > blockSize) {
        keyLength = context.hash(md, key, static_cast<std::size_t>(keyLength), nullptr, 0, hashedKey);
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
    unsigned char inner[EVP_MAX_MD_SIZE];
    const int innerLength = context.hash(md, pad, static_cast<std::size_t>(blockSize), message,
                                         static_cast<std::size_t>(messageLength), inner);
    if (innerLength == 0) {
        return 0;
    }
    for (int i = 0; i < words; ++i) {
        pad[i] ^= INNER_PAD ^ OUTER_PAD;
    }
    const int length = context.hash(md, pad, static_cast<std::size_t>(blockSize), inner,
                                    static_cast<std::size_t>(innerLength), out);
    OPENSSL_cleanse(pad, sizeof(pad));
    return length;
}

std::string hotp_helper(const std::string &secret, long counter, const unsigned char &digits,
                        const unsigned char &algorithm, OTPGenErrorCode *error)
{
    const auto reportSecret = [error]() {
        if (error)
            *error = OTPGenErrorCode::InvalidSecret;
        return std::string();
    };
    if (secret.size() > static_cast<std::size_t>(std::numeric_limits<int>::max()))
        return reportSecret();

    // Users type secrets in groups and in lower case; neither changes the key. Dropping the
    // spaces and mapping characters to quintets is one pass.
    const unsigned char *table = quintetTables().secret;
    ScratchBuffer quintetBuffer(secret.size());
    unsigned char *const quintets = quintetBuffer.data();
    int length = 0;
    for (const char c : secret) {
        if (c != ' ')
            quintets[length++] = table[static_cast<unsigned char>(c)];
    }
    ScratchBuffer key(static_cast<std::size_t>(Base32::GetDecode32Length(length)));
    const int keyLength = decodeQuintets(quintets, length, key.data());
    if (keyLength == 0)
        return reportSecret();

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
    unsigned char digest[EVP_MAX_MD_SIZE];
    const int digestLength = calcHMAC(key.data(), keyLength, message, sizeof(message), hash, digest);
    // Only an exhausted libcrypto fails here: no code is better than a wrong one.
    if (digestLength < 20) {
        return reportSecret();
    }

    const int offset = digest[digestLength - 1] & 0x0F;
    const std::uint32_t value = (static_cast<std::uint32_t>(digest[offset] & 0x7F) << 24) |
                                (static_cast<std::uint32_t>(digest[offset + 1]) << 16) |
                                (static_cast<std::uint32_t>(digest[offset + 2]) << 8) | digest[offset + 3];
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
    if (text.empty() || text.size() > static_cast<std::size_t>(std::numeric_limits<int>::max()))
        return QByteArray();
    const int length = static_cast<int>(text.size());
    const unsigned char *table = quintetTables().plain;
    ScratchBuffer quintets(text.size());
    for (int i = 0; i < length; ++i)
        quintets.data()[i] = table[static_cast<unsigned char>(text[static_cast<std::size_t>(i)])];
    QByteArray out(Base32::GetDecode32Length(length), Qt::Uninitialized);
    if (out.isEmpty() ||
        decodeQuintets(quintets.data(), length, reinterpret_cast<unsigned char *>(out.data())) == 0)
        return QByteArray();
    return out;
}

std::string OTPGenerator::computeTOTP(const long &time, const std::string &secret,
                                      const unsigned char &digits, const unsigned int &period,
                                      const unsigned char &algorithm, OTPGenErrorCode *error)
{
    if (!digitsInRange(digits)) {
        if (error)
            *error = OTPGenErrorCode::InvalidDigits;
        return std::string();
    }
    if (period < 2 || period > 120) {
        if (error)
            *error = OTPGenErrorCode::InvalidPeriod;
        // Out-of-range periods still give a code; a zero period cannot give any.
        if (period == 0)
            return std::string();
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
        if (error)
            *error = OTPGenErrorCode::InvalidDigits;
        return std::string();
    }
    return hotp_helper(secret, counter, digits, algorithm, error);
}
