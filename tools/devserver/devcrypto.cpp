#include "tools/devserver/devcrypto.h"

#include "otp/base32.h"

#include <openssl/crypto.h>
#include <openssl/evp.h>
#include <openssl/hmac.h>
#include <openssl/rand.h>

#include <cstdio>
#include <cstdlib>
#include <memory>

namespace {
const int GCM_KEY_LENGTH = 16;
const int GCM_IV_LENGTH = 12;
const int GCM_TAG_LENGTH = 16;

struct CipherContextFree
{
    void operator()(EVP_CIPHER_CTX *ctx) const { EVP_CIPHER_CTX_free(ctx); }
};
} // namespace

QByteArray DevCrypto::randomBytes(int count)
{
    QByteArray bytes(count, '\0');
    if (count > 0 && RAND_bytes(reinterpret_cast<unsigned char *>(bytes.data()), count) != 1) {
        std::fputs("devserver: the random generator failed\n", stderr);
        std::abort();
    }
    return bytes;
}

QString DevCrypto::randomHex(int bytes)
{
    return QString::fromLatin1(randomBytes(bytes).toHex());
}

QString DevCrypto::randomDigits(int count)
{
    const QByteArray bytes = randomBytes(count);
    QString digits;
    for (char byte : bytes) {
        // 250 is the largest multiple of 10 below 256; the small bias of a plain modulo does not
        // matter for a demo PIN, but costs nothing to avoid.
        unsigned char value = static_cast<unsigned char>(byte);
        while (value >= 250) {
            value = static_cast<unsigned char>(randomBytes(1).at(0));
        }
        digits.append(QChar('0' + value % 10));
    }
    return digits;
}

QString DevCrypto::base32Encode(const QByteArray &bytes)
{
    if (bytes.isEmpty()) {
        return QString();
    }
    QByteArray out(Base32::GetEncode32Length(bytes.size()), '\0');
    auto *outData = reinterpret_cast<unsigned char *>(out.data());
    if (!Base32::Encode32(reinterpret_cast<const unsigned char *>(bytes.constData()), bytes.size(),
                          outData) ||
        !Base32::Map32(outData, out.size(), Base32::ALPHABET)) {
        return QString();
    }
    return QString::fromLatin1(out);
}

QString DevCrypto::base64Url(const QByteArray &bytes)
{
    return QString::fromLatin1(
        bytes.toBase64(QByteArray::Base64UrlEncoding | QByteArray::OmitTrailingEquals));
}

QString DevCrypto::encryptTicketAnswer(const QByteArray &key, const QByteArray &plaintext)
{
    if (key.size() != GCM_KEY_LENGTH) {
        return QString();
    }
    const QByteArray iv = randomBytes(GCM_IV_LENGTH);
    std::unique_ptr<EVP_CIPHER_CTX, CipherContextFree> ctx(EVP_CIPHER_CTX_new());
    if (!ctx) {
        return QString();
    }
    QByteArray ciphertext(plaintext.size() + GCM_TAG_LENGTH, '\0');
    QByteArray tag(GCM_TAG_LENGTH, '\0');
    int length = 0;
    int finalLength = 0;
    const auto *keyData = reinterpret_cast<const unsigned char *>(key.constData());
    const auto *ivData = reinterpret_cast<const unsigned char *>(iv.constData());
    auto *out = reinterpret_cast<unsigned char *>(ciphertext.data());
    if (EVP_EncryptInit_ex(ctx.get(), EVP_aes_128_gcm(), nullptr, keyData, ivData) != 1 ||
        EVP_EncryptUpdate(ctx.get(), out, &length,
                          reinterpret_cast<const unsigned char *>(plaintext.constData()),
                          plaintext.size()) != 1 ||
        EVP_EncryptFinal_ex(ctx.get(), out + length, &finalLength) != 1 ||
        EVP_CIPHER_CTX_ctrl(ctx.get(), EVP_CTRL_GCM_GET_TAG, GCM_TAG_LENGTH, tag.data()) != 1) {
        return QString();
    }
    ciphertext.truncate(length + finalLength);
    return base64Url(iv) + QLatin1Char('.') + base64Url(ciphertext) + QLatin1Char('.') + base64Url(tag);
}

QString DevCrypto::hmacSha256Base64(const QByteArray &key, const QByteArray &message)
{
    unsigned char digest[EVP_MAX_MD_SIZE];
    unsigned int digestLength = 0;
    // HMAC() with a null key pointer would mean "no key" rather than the empty key.
    static const unsigned char EMPTY = 0;
    const void *keyData = key.isEmpty() ? static_cast<const void *>(&EMPTY) : key.constData();
    if (!HMAC(EVP_sha256(), keyData, key.size(), reinterpret_cast<const unsigned char *>(message.constData()),
              static_cast<size_t>(message.size()), digest, &digestLength)) {
        return QString();
    }
    return QString::fromLatin1(
        QByteArray(reinterpret_cast<const char *>(digest), static_cast<int>(digestLength)).toBase64());
}

bool DevCrypto::constantTimeEquals(const QByteArray &a, const QByteArray &b)
{
    if (a.size() != b.size()) {
        return false;
    }
    return a.isEmpty() || CRYPTO_memcmp(a.constData(), b.constData(), static_cast<size_t>(a.size())) == 0;
}
