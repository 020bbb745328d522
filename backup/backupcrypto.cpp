#include "backup/backupcrypto.h"

#include <openssl/core_names.h>
#include <openssl/evp.h>
#include <openssl/kdf.h>
#include <openssl/params.h>
#include <openssl/rand.h>

#include <memory>

namespace {

using CipherContext = std::unique_ptr<EVP_CIPHER_CTX, decltype(&EVP_CIPHER_CTX_free)>;

const unsigned char *bytes(const QByteArray &data)
{
    return reinterpret_cast<const unsigned char *>(data.constData());
}

unsigned char *bytes(QByteArray &data)
{
    return reinterpret_cast<unsigned char *>(data.data());
}

bool sizesFit(const QByteArray &key, const QByteArray &nonce)
{
    return key.size() == BackupCrypto::KEY_SIZE && nonce.size() == BackupCrypto::NONCE_SIZE;
}

// Key and nonce set, ready for update calls.
CipherContext startCipher(const QByteArray &key, const QByteArray &nonce, bool encrypt)
{
    CipherContext context(EVP_CIPHER_CTX_new(), &EVP_CIPHER_CTX_free);
    if (!context) {
        return context;
    }
    // GCM's default nonce length is the 12 bytes used here.
    if (EVP_CipherInit_ex2(context.get(), EVP_aes_256_gcm(), bytes(key), bytes(nonce), encrypt ? 1 : 0,
                           nullptr) != 1) {
        context.reset();
    }
    return context;
}

} // namespace

QByteArray BackupCrypto::scrypt(const QByteArray &password, const QByteArray &salt, quint64 n, quint32 r,
                                quint32 p, int length, quint64 maxMemory)
{
    if (length <= 0) {
        return QByteArray();
    }
    std::unique_ptr<EVP_KDF, decltype(&EVP_KDF_free)> kdf(EVP_KDF_fetch(nullptr, "SCRYPT", nullptr),
                                                          &EVP_KDF_free);
    std::unique_ptr<EVP_KDF_CTX, decltype(&EVP_KDF_CTX_free)> context(
        kdf ? EVP_KDF_CTX_new(kdf.get()) : nullptr, &EVP_KDF_CTX_free);
    if (!context) {
        return QByteArray();
    }
    uint64_t nValue = n;
    uint32_t rValue = r;
    uint32_t pValue = p;
    uint64_t memory = maxMemory;
    QByteArray passwordCopy = password;
    QByteArray saltCopy = salt;
    const OSSL_PARAM params[] = {
        OSSL_PARAM_construct_octet_string(OSSL_KDF_PARAM_PASSWORD, passwordCopy.data(),
                                          static_cast<size_t>(passwordCopy.size())),
        OSSL_PARAM_construct_octet_string(OSSL_KDF_PARAM_SALT, saltCopy.data(),
                                          static_cast<size_t>(saltCopy.size())),
        OSSL_PARAM_construct_uint64(OSSL_KDF_PARAM_SCRYPT_N, &nValue),
        OSSL_PARAM_construct_uint32(OSSL_KDF_PARAM_SCRYPT_R, &rValue),
        OSSL_PARAM_construct_uint32(OSSL_KDF_PARAM_SCRYPT_P, &pValue),
        OSSL_PARAM_construct_uint64(OSSL_KDF_PARAM_SCRYPT_MAXMEM, &memory),
        OSSL_PARAM_construct_end(),
    };
    QByteArray key(length, Qt::Uninitialized);
    if (EVP_KDF_derive(context.get(), bytes(key), static_cast<size_t>(length), params) != 1) {
        return QByteArray();
    }
    return key;
}

bool BackupCrypto::encrypt(const QByteArray &key, const QByteArray &nonce, const QByteArray &plain,
                           QByteArray *cipher, QByteArray *tag)
{
    if (!sizesFit(key, nonce)) {
        return false;
    }
    CipherContext context = startCipher(key, nonce, true);
    QByteArray out(plain.size(), Qt::Uninitialized);
    QByteArray outTag(TAG_SIZE, Qt::Uninitialized);
    int length = 0;
    int finalLength = 0;
    if (!context ||
        (!plain.isEmpty() &&
         EVP_EncryptUpdate(context.get(), bytes(out), &length, bytes(plain), plain.size()) != 1) ||
        EVP_EncryptFinal_ex(context.get(), bytes(out) + length, &finalLength) != 1 ||
        EVP_CIPHER_CTX_ctrl(context.get(), EVP_CTRL_AEAD_GET_TAG, TAG_SIZE, outTag.data()) != 1) {
        return false;
    }
    *cipher = out;
    *tag = outTag;
    return true;
}

bool BackupCrypto::decrypt(const QByteArray &key, const QByteArray &nonce, const QByteArray &cipher,
                           const QByteArray &tag, QByteArray *plain)
{
    plain->clear();
    if (!sizesFit(key, nonce) || tag.size() != TAG_SIZE) {
        return false;
    }
    CipherContext context = startCipher(key, nonce, false);
    QByteArray out(cipher.size(), Qt::Uninitialized);
    QByteArray expected = tag;
    int length = 0;
    int finalLength = 0;
    if (!context ||
        (!cipher.isEmpty() &&
         EVP_DecryptUpdate(context.get(), bytes(out), &length, bytes(cipher), cipher.size()) != 1) ||
        EVP_CIPHER_CTX_ctrl(context.get(), EVP_CTRL_AEAD_SET_TAG, TAG_SIZE, expected.data()) != 1 ||
        EVP_DecryptFinal_ex(context.get(), bytes(out) + length, &finalLength) != 1) {
        return false;
    }
    *plain = out;
    return true;
}

QByteArray BackupCrypto::randomBytes(int count)
{
    QByteArray out(count, Qt::Uninitialized);
    if (count <= 0 || RAND_bytes(bytes(out), count) != 1) {
        return QByteArray();
    }
    return out;
}
