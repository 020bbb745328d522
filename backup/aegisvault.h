#ifndef KESTREL_BACKUP_AEGISVAULT_H
#define KESTREL_BACKUP_AEGISVAULT_H

#include "backup/backupentry.h"
#include "backup/importresult.h"

#include <QByteArray>
#include <QCoreApplication>
#include <QList>
#include <QString>

// Aegis vault files (JSON, vault version 1), plain or encrypted: a random master key encrypts the
// content with AES-256-GCM, and each password slot holds that key encrypted under a key derived
// from the password with scrypt. Stateless; safe to call from any thread.
class AegisVault
{
    // Messages for the user, in the interface's language when they are made.
    Q_DECLARE_TR_FUNCTIONS(AegisVault)

public:
    // scrypt parameters of the files we write.
    static const quint64 SCRYPT_N = 32768;
    static const quint32 SCRYPT_R = 8;
    static const quint32 SCRYPT_P = 1;
    // The largest scrypt work (N * r * p) a file may ask of us: eight times the usual, so that a
    // hostile file cannot hold the program for minutes. Memory is capped apart (see the source).
    static const quint64 MAX_SCRYPT_WORK = SCRYPT_N * SCRYPT_R * 8;

    // Content version 3 with every entry; encrypted with one password slot when `password` is
    // not empty. Empty when the random generator or the cipher fails.
    static QByteArray write(const QList<BackupEntry> &entries, const QString &password);

    // The accounts of a vault; `maxWork` bounds the scrypt work of a slot (tests and fuzzers
    // lower it).
    static ImportResult read(const QByteArray &content, const QString &password,
                             quint64 maxWork = MAX_SCRYPT_WORK);
};

#endif // KESTREL_BACKUP_AEGISVAULT_H
