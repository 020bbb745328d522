#include "backup/migrationcodes.h"

#include "migrationpayload.pb.h"

#include <QByteArray>
#include <QUrl>

#include <string>
#include <vector>

using kestrel::backup::MigrationPayload;
using Parameters = kestrel::backup::MigrationPayload_OtpParameters;

const QString MigrationCodes::SCHEME = QStringLiteral("otpauth-migration://");

namespace {

const int PAYLOAD_VERSION = 1;
// A code of version 40 with medium error correction holds 2331 bytes; the payload grows by a
// third in Base64 and a little more in URL encoding.
const std::size_t MAX_PAYLOAD_BYTES = 1000;
// Real codes are a few hundred characters; a text file line or a pasted text beyond this is no code.
const int MAX_TEXT = 64 * 1024;

const char DAMAGED[] = QT_TRANSLATE_NOOP("MigrationCodes", "Код переноса повреждён или неполон.");
const char UNSUPPORTED_VERSION[] =
    QT_TRANSLATE_NOOP("MigrationCodes", "Эта версия кода переноса не поддерживается.");

QByteArray payloadData(const QString &text)
{
    const int question = text.indexOf(QLatin1Char('?'));
    if (question < 0) {
        return QByteArray();
    }
    const QStringList pairs = text.mid(question + 1).split(QLatin1Char('&'));
    for (const QString &pair : pairs) {
        if (pair.startsWith(QLatin1String("data="))) {
            QByteArray base64 = QByteArray::fromPercentEncoding(pair.mid(5).toLatin1());
            // A "+" that some tool turned into a space.
            base64.replace(' ', '+');
            const auto decoded =
                QByteArray::fromBase64Encoding(base64, QByteArray::AbortOnBase64DecodingErrors);
            return decoded ? *decoded : QByteArray();
        }
    }
    return QByteArray();
}

bool readParameters(const Parameters &parameters, BackupEntry *entry)
{
    switch (parameters.type()) {
    case MigrationPayload::TOTP:
        entry->kind = BackupEntry::TOTP;
        entry->period = 30;
        break;
    case MigrationPayload::HOTP:
        if (parameters.counter() < 0 || parameters.counter() > 4294967295LL) {
            return false;
        }
        entry->kind = BackupEntry::HOTP;
        entry->counter = static_cast<quint32>(parameters.counter());
        break;
    default:
        return false;
    }
    // The payload numbers SHA1, SHA256 and SHA512 1 to 3, as algorithmName takes them; none is SHA1.
    const int algorithm = parameters.algorithm();
    entry->algorithm = BackupEntry::algorithmName(
        algorithm == MigrationPayload::ALGORITHM_UNSPECIFIED ? MigrationPayload::SHA1 : algorithm);
    if (entry->algorithm.isEmpty()) {
        return false;
    }
    switch (parameters.digits()) {
    case MigrationPayload::DIGIT_COUNT_UNSPECIFIED:
    case MigrationPayload::SIX:
        entry->digits = 6;
        break;
    case MigrationPayload::EIGHT:
        entry->digits = 8;
        break;
    default:
        return false;
    }
    entry->secret = BackupEntry::base32(QByteArray::fromStdString(parameters.secret()));
    entry->issuer = QString::fromStdString(parameters.issuer());
    entry->name = QString::fromStdString(parameters.name());
    // The name often repeats the issuer as "Issuer:account"; without an issuer it is the only one.
    const int colon = entry->name.indexOf(QLatin1Char(':'));
    if (entry->issuer.isEmpty() && colon >= 0) {
        entry->issuer = entry->name.left(colon);
    }
    if (colon >= 0 && entry->name.left(colon) == entry->issuer) {
        entry->name = entry->name.mid(colon + 1).trimmed();
    }
    return !entry->secret.isEmpty();
}

Parameters writeParameters(const BackupEntry &entry)
{
    Parameters parameters;
    const QByteArray secret = entry.secretBytes();
    parameters.set_secret(secret.constData(), static_cast<std::size_t>(secret.size()));
    parameters.set_name(entry.name.toStdString());
    parameters.set_issuer(entry.issuer.toStdString());
    parameters.set_algorithm(entry.algorithm == "SHA512"   ? MigrationPayload::SHA512
                             : entry.algorithm == "SHA256" ? MigrationPayload::SHA256
                                                           : MigrationPayload::SHA1);
    parameters.set_digits(entry.digits == 8 ? MigrationPayload::EIGHT : MigrationPayload::SIX);
    if (entry.kind == BackupEntry::TOTP) {
        parameters.set_type(MigrationPayload::TOTP);
    } else {
        parameters.set_type(MigrationPayload::HOTP);
        parameters.set_counter(entry.counter);
    }
    return parameters;
}

} // namespace

bool MigrationCodes::isMigrationText(const QString &text)
{
    return text.startsWith(SCHEME, Qt::CaseInsensitive);
}

ImportResult MigrationCodes::read(const QString &text)
{
    const QString code = text.trimmed();
    if (!isMigrationText(code)) {
        return ImportResult::failure(MigrationCodes::tr(DAMAGED));
    }
    const QByteArray data = code.size() <= MAX_TEXT ? payloadData(code) : QByteArray();
    MigrationPayload payload;
    if (data.isEmpty() || !payload.ParseFromArray(data.constData(), data.size())) {
        return ImportResult::failure(MigrationCodes::tr(DAMAGED));
    }
    if (payload.version() < 0 || payload.version() > PAYLOAD_VERSION) {
        return ImportResult::failure(MigrationCodes::tr(UNSUPPORTED_VERSION));
    }
    ImportResult result;
    result.batchIndex = payload.batch_index();
    result.batchSize = payload.batch_size();
    for (const Parameters &parameters : payload.otp_parameters()) {
        BackupEntry entry;
        if (readParameters(parameters, &entry)) {
            result.uris << entry.toUri();
        } else {
            ++result.unsupported;
        }
    }
    return result;
}

bool MigrationCodes::canCarry(const BackupEntry &entry)
{
    return (entry.digits == 6 || entry.digits == 8) &&
           (entry.kind == BackupEntry::HOTP || entry.period == 30) && !entry.secretBytes().isEmpty();
}

QStringList MigrationCodes::write(const QList<BackupEntry> &entries, int batchId)
{
    // Codes are filled in order up to ten accounts or the payload limit, whichever comes first.
    std::vector<std::vector<Parameters>> batches;
    std::size_t batchBytes = 0;
    for (const BackupEntry &entry : entries) {
        if (!canCarry(entry)) {
            continue;
        }
        Parameters parameters = writeParameters(entry);
        const std::size_t size = parameters.ByteSizeLong();
        if (batches.empty() || batches.back().size() >= ACCOUNTS_PER_CODE ||
            batchBytes + size > MAX_PAYLOAD_BYTES) {
            batches.emplace_back();
            batchBytes = 0;
        }
        batches.back().push_back(std::move(parameters));
        batchBytes += size;
    }

    QStringList codes;
    for (std::size_t index = 0; index < batches.size(); ++index) {
        MigrationPayload payload;
        for (Parameters &parameters : batches[index]) {
            *payload.add_otp_parameters() = std::move(parameters);
        }
        payload.set_version(PAYLOAD_VERSION);
        payload.set_batch_size(static_cast<int>(batches.size()));
        payload.set_batch_index(static_cast<int>(index));
        payload.set_batch_id(batchId);
        std::string bytes;
        if (!payload.SerializeToString(&bytes)) {
            return QStringList();
        }
        const QByteArray base64 = QByteArray::fromStdString(bytes).toBase64();
        codes << SCHEME + "offline?data=" +
                     QString::fromLatin1(QUrl::toPercentEncoding(QString::fromLatin1(base64)));
    }
    return codes;
}
