#include "tests/protocol/gcmtestcipher.h"

#include <openssl/evp.h>

bool gcmEncrypt(const QByteArray &key, const QByteArray &iv, const QByteArray &plaintext,
                QByteArray *ciphertext, QByteArray *tag)
{
    if (key.size() != 16 || iv.size() != 12) {
        return false;
    }
    EVP_CIPHER_CTX *context = EVP_CIPHER_CTX_new();
    QByteArray out(plaintext.size() + 16, '\0');
    int length = 0;
    int finalLength = 0;
    QByteArray mac(16, '\0');
    const bool ok =
        EVP_EncryptInit_ex(context, EVP_aes_128_gcm(), nullptr,
                           reinterpret_cast<const unsigned char *>(key.data()),
                           reinterpret_cast<const unsigned char *>(iv.data())) == 1 &&
        EVP_EncryptUpdate(context, reinterpret_cast<unsigned char *>(out.data()), &length,
                          reinterpret_cast<const unsigned char *>(plaintext.data()), plaintext.size()) == 1 &&
        EVP_EncryptFinal_ex(context, reinterpret_cast<unsigned char *>(out.data()) + length, &finalLength) ==
            1 &&
        EVP_CIPHER_CTX_ctrl(context, EVP_CTRL_GCM_GET_TAG, 16, mac.data()) == 1;
    EVP_CIPHER_CTX_free(context);
    if (!ok) {
        return false;
    }
    *ciphertext = out.left(length + finalLength);
    *tag = mac;
    return true;
}

QString encryptTicketAnswer(const QByteArray &key, const QByteArray &iv, const QByteArray &plaintext)
{
    QByteArray ciphertext;
    QByteArray tag;
    if (!gcmEncrypt(key, iv, plaintext, &ciphertext, &tag)) {
        return QString();
    }
    const auto encoding = QByteArray::Base64UrlEncoding | QByteArray::OmitTrailingEquals;
    return QString::fromLatin1(iv.toBase64(encoding) + '.' + ciphertext.toBase64(encoding) + '.' +
                               tag.toBase64(encoding));
}
