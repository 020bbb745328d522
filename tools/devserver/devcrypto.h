#ifndef KESTREL_TOOLS_DEVSERVER_DEVCRYPTO_H
#define KESTREL_TOOLS_DEVSERVER_DEVCRYPTO_H

#include <QByteArray>
#include <QString>

// The few primitives the server side of the protocol needs, on top of libcrypto.
class DevCrypto
{
public:
    // Cryptographically random bytes; aborts the program when the generator fails, because a
    // ticket key or session id made from anything weaker must never be handed out.
    static QByteArray randomBytes(int count);
    // Random bytes as lower-case hex text (2 characters per byte).
    static QString randomHex(int bytes);
    // Random decimal digits.
    static QString randomDigits(int count);

    // RFC 4648 Base32, upper case, without "=" padding.
    static QString base32Encode(const QByteArray &bytes);
    // URL-safe Base64 without padding.
    static QString base64Url(const QByteArray &bytes);

    // AES-128-GCM under a 16-byte key with a fresh 12-byte IV, no additional data, returned as
    // "IV.ciphertext.tag" in URL-safe Base64. Empty when the key length is wrong.
    static QString encryptTicketAnswer(const QByteArray &key, const QByteArray &plaintext);

    // Standard Base64 (with padding) of HMAC-SHA-256(key, message).
    static QString hmacSha256Base64(const QByteArray &key, const QByteArray &message);
    // Comparison whose time does not depend on where the texts differ.
    static bool constantTimeEquals(const QByteArray &a, const QByteArray &b);
};

#endif // KESTREL_TOOLS_DEVSERVER_DEVCRYPTO_H
