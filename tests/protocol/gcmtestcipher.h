#pragma once

#include <QByteArray>
#include <QString>

// Encrypts like an authentication server does: AES-128-GCM without additional data, written as
// "IV.ciphertext.tag" in unpadded URL-safe Base64.
QString encryptTicketAnswer(const QByteArray &key, const QByteArray &iv, const QByteArray &plaintext);
// The three parts separately; empty on a bad key or IV length.
bool gcmEncrypt(const QByteArray &key, const QByteArray &iv, const QByteArray &plaintext,
                QByteArray *ciphertext, QByteArray *tag);
