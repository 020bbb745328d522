#ifndef KESTREL_BACKUP_BACKUPENTRY_H
#define KESTREL_BACKUP_BACKUPENTRY_H

#include <QByteArray>
#include <QString>

class Account;

// One OTP account as the exchange formats carry it: what an export writes, and what an import
// turns into an "otpauth://" URI for the scan path. A plain value, copied freely.
class BackupEntry
{
public:
    enum Kind
    {
        TOTP = 1,
        HOTP = 2,
    };

    Kind kind = TOTP;
    QString issuer;
    QString name;
    // Base32 text in upper case, without spaces ("=" padding kept as stored).
    QString secret;
    // "SHA1", "SHA256" or "SHA512".
    QString algorithm = QStringLiteral("SHA1");
    int digits = 6;
    quint32 period = 30;
    quint32 counter = 0;

    // The exportable form of a stored account: false for push-authentication accounts and for
    // accounts that make no codes (unknown algorithm, a secret that is not Base32).
    static bool fromAccount(const Account &account, BackupEntry *entry);

    // The text as the scan path reads it. The label always holds the ":" so that an account
    // without issuer keeps its name.
    QString toUri() const;

    // Base32 secret text in upper case without spaces; empty when it holds anything but the
    // alphabet followed by optional "=" padding.
    static QString normalizedSecret(const QString &text);
    // The key bytes the code generator uses for `secret`.
    QByteArray secretBytes() const;
    static QString base32(const QByteArray &bytes);
    // "SHA1" / "SHA256" / "SHA512" for the algorithm codes 1 to 3, empty otherwise.
    static QString algorithmName(int code);
};

#endif // KESTREL_BACKUP_BACKUPENTRY_H
