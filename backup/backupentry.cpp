#include "backup/backupentry.h"

#include "accounts/account.h"
#include "otp/base32.h"
#include "otp/otpgenerator.h"

#include <QRegularExpression>
#include <QUrl>

namespace {

QString encoded(const QString &text)
{
    return QString::fromLatin1(QUrl::toPercentEncoding(text));
}

} // namespace

bool BackupEntry::fromAccount(const Account &account, BackupEntry *entry)
{
    const OTPToken &token = account.m_otpToken;
    const bool totp = account.m_tokenType == Account::TokenTOTP && token.type() == BackupEntry::TOTP;
    const bool hotp = account.m_tokenType == Account::TokenHOTP && token.type() == BackupEntry::HOTP;
    const QString secret = normalizedSecret(QString::fromStdString(token.secret()));
    const QString algorithm = algorithmName(token.algorithm());
    if ((!totp && !hotp) || secret.isEmpty() || algorithm.isEmpty()) {
        return false;
    }
    entry->kind = totp ? TOTP : HOTP;
    entry->issuer = account.m_issuer;
    entry->name = account.m_user;
    // A label without "issuer:" leaves both empty; its whole text is then the name.
    if (entry->issuer.isEmpty() && entry->name.isEmpty()) {
        entry->name = QString::fromStdString(token.label());
    }
    entry->secret = secret;
    entry->algorithm = algorithm;
    entry->digits = token.digits();
    entry->period = totp ? token.period() : 0;
    // The counter of the last code shown, as the account keeps it.
    entry->counter = hotp ? static_cast<quint32>(account.m_counter) : 0;
    return true;
}

QString BackupEntry::toUri() const
{
    QString uri = QStringLiteral("otpauth://") + (kind == TOTP ? "totp" : "hotp") + "/" + encoded(issuer) +
                  ":" + encoded(name) + "?secret=" + secret;
    if (!issuer.isEmpty()) {
        uri += "&issuer=" + encoded(issuer);
    }
    uri += "&algorithm=" + algorithm + "&digits=" + QString::number(digits);
    uri += kind == TOTP ? "&period=" + QString::number(period) : "&counter=" + QString::number(counter);
    return uri;
}

QString BackupEntry::normalizedSecret(const QString &text)
{
    static const QRegularExpression BASE32(QStringLiteral("^[A-Z2-7]+=*$"));
    QString secret = text.toUpper();
    secret.remove(QLatin1Char(' '));
    return BASE32.match(secret).hasMatch() ? secret : QString();
}

QByteArray BackupEntry::secretBytes() const
{
    return base32_decode(secret.toStdString());
}

QString BackupEntry::base32(const QByteArray &bytes)
{
    if (bytes.isEmpty()) {
        return QString();
    }
    QByteArray quintets(Base32::GetEncode32Length(bytes.size()), Qt::Uninitialized);
    auto *out = reinterpret_cast<unsigned char *>(quintets.data());
    if (!Base32::Encode32(reinterpret_cast<const unsigned char *>(bytes.constData()), bytes.size(), out) ||
        !Base32::Map32(out, quintets.size(), Base32::ALPHABET)) {
        return QString();
    }
    return QString::fromLatin1(quintets);
}

QString BackupEntry::algorithmName(int code)
{
    switch (code) {
    case 1:
        return QStringLiteral("SHA1");
    case 2:
        return QStringLiteral("SHA256");
    case 3:
        return QStringLiteral("SHA512");
    default:
        return QString();
    }
}
