#ifndef KESTREL_BACKUP_BACKUPCRYPTO_H
#define KESTREL_BACKUP_BACKUPCRYPTO_H

#include <QByteArray>

// The primitives of encrypted backups, on OpenSSL 3: scrypt key derivation, AES-256-GCM without
// associated data, and random bytes. Stateless and safe to call from any thread. Failures are
// reported as empty results or false, never thrown.
class BackupCrypto
{
public:
    static const int KEY_SIZE = 32;
    static const int NONCE_SIZE = 12;
    static const int TAG_SIZE = 16;

    // scrypt(password, salt, N, r, p) into `length` bytes; empty when OpenSSL refuses the
    // parameters (N not a power of two, memory beyond `maxMemory` bytes).
    static QByteArray scrypt(const QByteArray &password, const QByteArray &salt, quint64 n, quint32 r,
                             quint32 p, int length, quint64 maxMemory);
    static bool encrypt(const QByteArray &key, const QByteArray &nonce, const QByteArray &plain,
                        QByteArray *cipher, QByteArray *tag);
    // False when the tag does not verify; `plain` is then left empty.
    static bool decrypt(const QByteArray &key, const QByteArray &nonce, const QByteArray &cipher,
                        const QByteArray &tag, QByteArray *plain);
    // Empty when the generator fails.
    static QByteArray randomBytes(int count);
};

#endif // KESTREL_BACKUP_BACKUPCRYPTO_H
