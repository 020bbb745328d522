#include "otp/otpgenerator.h"

#include "otp/base32.h"

#include <QCryptographicHash>

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
constexpr int STACK_TEXT = 256;

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

// Quintets of `text` (already in `work`, `length` bytes) decoded into `out`; returns the number
// of key bytes. `out` must hold Base32::GetDecode32Length(length) bytes.
int decodeQuintets(unsigned char *work, int length, unsigned char *out)
{
    Base32::Unmap32(work, length, BASE32_ALPHABET);
    const int bytes = Base32::GetDecode32Length(length);
    if (bytes <= 0 || !Base32::Decode32(work, length, out))
        return 0;
    return bytes;
}

int hashBlockSize(QCryptographicHash::Algorithm hash)
{
    return hash == QCryptographicHash::Sha512 ? 128 : 64;
}

// RFC 2104 HMAC over raw buffers; `out` receives the digest (at most 64 bytes), its length is
// returned. The two hash objects are reused for the inner and outer pass.
int hmacRaw(const char *key, int keyLength, const char *message, int messageLength,
            QCryptographicHash::Algorithm hash, char *out)
{
    const int blockSize = hashBlockSize(hash);
    QCryptographicHash h(hash);
    QByteArray hashedKey;
    if (keyLength > blockSize) {
        h.addData(key, keyLength);
        hashedKey = h.result();
        h.reset();
        key = hashedKey.constData();
        keyLength = hashedKey.size();
    }

    char pad[128];
    std::memset(pad, 0x36, blockSize);
    for (int i = 0; i < keyLength; ++i)
        pad[i] ^= key[i];
    h.addData(pad, blockSize);
    h.addData(message, messageLength);
    const QByteArray inner = h.result();

    // Turn the inner pad into the outer one: 0x36 ^ 0x5C for every byte.
    for (int i = 0; i < blockSize; ++i)
        pad[i] ^= 0x36 ^ 0x5C;
    h.reset();
    h.addData(pad, blockSize);
    h.addData(inner.constData(), inner.size());
    const QByteArray digest = h.result();
    std::memcpy(out, digest.constData(), digest.size());
    return digest.size();
}

std::string calcHMAC(const QByteArray &key, const QByteArray &message, QCryptographicHash::Algorithm hash)
{
    char digest[64];
    const int length =
        hmacRaw(key.constData(), key.size(), message.constData(), message.size(), hash, digest);
    return std::string(digest, length);
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

    // Users type secrets in groups and in lower case; neither changes the key.
    ScratchBuffer text(secret.size());
    int length = 0;
    for (const char c : secret) {
        if (c == ' ')
            continue;
        text.data()[length++] = (c >= 'a' && c <= 'z') ? static_cast<unsigned char>(c - 'a' + 'A') : c;
    }
    ScratchBuffer key(static_cast<std::size_t>(Base32::GetDecode32Length(length)));
    const int keyLength = length > 0 ? decodeQuintets(text.data(), length, key.data()) : 0;
    if (keyLength == 0)
        return reportSecret();

    QCryptographicHash::Algorithm hash;
    switch (algorithm) {
    case 1:
        hash = QCryptographicHash::Sha1;
        break;
    case 2:
        hash = QCryptographicHash::Sha256;
        break;
    case 3:
        hash = QCryptographicHash::Sha512;
        break;
    default:
        return reportSecret();
    }

    const std::uint32_t moving = static_cast<std::uint32_t>(counter);
    const char message[8] = {0,
                             0,
                             0,
                             0,
                             static_cast<char>(moving >> 24),
                             static_cast<char>(moving >> 16),
                             static_cast<char>(moving >> 8),
                             static_cast<char>(moving)};
    // Raw views: the key and the message live on the stack for the duration of the call.
    const std::string mac =
        calcHMAC(QByteArray::fromRawData(reinterpret_cast<const char *>(key.data()), keyLength),
                 QByteArray::fromRawData(message, sizeof(message)), hash);
    const unsigned char *digest = reinterpret_cast<const unsigned char *>(mac.data());
    const int digestLength = static_cast<int>(mac.size());

    const int offset = digest[digestLength - 1] & 0x0F;
    const std::uint64_t value = (static_cast<std::uint64_t>(digest[offset] & 0x7F) << 24) |
                                (static_cast<std::uint64_t>(digest[offset + 1]) << 16) |
                                (static_cast<std::uint64_t>(digest[offset + 2]) << 8) | digest[offset + 3];
    std::uint64_t code = value % DIGITS_POWER[digits];

    // Decimal text, zero-padded on the left to exactly `digits` characters.
    std::string result(digits, '0');
    for (int i = digits - 1; i >= 0 && code; --i) {
        result[i] = static_cast<char>('0' + code % 10);
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
    ScratchBuffer work(text.size());
    std::memcpy(work.data(), text.data(), text.size());
    QByteArray out(Base32::GetDecode32Length(length), Qt::Uninitialized);
    if (out.isEmpty())
        return QByteArray();
    if (decodeQuintets(work.data(), length, reinterpret_cast<unsigned char *>(out.data())) == 0)
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
