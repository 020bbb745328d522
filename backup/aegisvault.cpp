#include "backup/aegisvault.h"

#include "backup/backupcrypto.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QUuid>

#include <cmath>

namespace {

const int VAULT_VERSION = 1;
const int CONTENT_VERSION = 3;
const int PASSWORD_SLOT = 1;
// Real vaults hold one to three slots; more are not looked at.
const int MAX_SLOTS = 16;
// 128 * r * (N + p + 2) bytes: four times what the usual parameters need.
const quint64 MAX_SCRYPT_MEMORY = 4 * 128 * AegisVault::SCRYPT_R * (AegisVault::SCRYPT_N + 3);

const char DAMAGED[] = QT_TRANSLATE_NOOP("AegisVault", "Файл повреждён или не является резервной копией.");
const char UNSUPPORTED_VERSION[] =
    QT_TRANSLATE_NOOP("AegisVault", "Эта версия файла резервной копии не поддерживается.");
const char PASSWORD_NEEDED[] = QT_TRANSLATE_NOOP("AegisVault", "Файл зашифрован: введите пароль.");
const char WRONG_PASSWORD[] = QT_TRANSLATE_NOOP("AegisVault", "Неверный пароль: файл не расшифрован.");
const char NO_PASSWORD_SLOT[] =
    QT_TRANSLATE_NOOP("AegisVault", "Файл нельзя открыть паролем: он зашифрован ключом другого устройства.");

// An integral JSON number within [min, max].
bool integral(const QJsonValue &value, double min, double max, double *out)
{
    const double number = value.toDouble(std::nan(""));
    if (!value.isDouble() || std::floor(number) != number || number < min || number > max) {
        return false;
    }
    *out = number;
    return true;
}

// Hexadecimal text of exactly `size` bytes, or of 1 to 64 bytes when `size` is 0.
bool hexBytes(const QJsonValue &value, int size, QByteArray *out)
{
    const QString text = value.toString();
    const int length = text.size();
    if (length % 2 != 0 || (size > 0 && length != 2 * size) || (size == 0 && (length == 0 || length > 128))) {
        return false;
    }
    for (const QChar c : text) {
        if (!c.isDigit() && !(c >= 'a' && c <= 'f') && !(c >= 'A' && c <= 'F')) {
            return false;
        }
    }
    *out = QByteArray::fromHex(text.toLatin1());
    return true;
}

QString hex(const QByteArray &bytes)
{
    return QString::fromLatin1(bytes.toHex());
}

QJsonObject entryObject(const BackupEntry &entry)
{
    QJsonObject info{
        {"secret", entry.secret},
        {"algo", entry.algorithm},
        {"digits", entry.digits},
    };
    if (entry.kind == BackupEntry::TOTP) {
        info.insert("period", static_cast<double>(entry.period));
    } else {
        info.insert("counter", static_cast<double>(entry.counter));
    }
    return QJsonObject{
        {"type", entry.kind == BackupEntry::TOTP ? "totp" : "hotp"},
        {"uuid", QUuid::createUuid().toString(QUuid::WithoutBraces)},
        {"name", entry.name},
        {"issuer", entry.issuer},
        {"note", ""},
        {"favorite", false},
        {"icon", QJsonValue::Null},
        {"icon_mime", QJsonValue::Null},
        {"icon_hash", QJsonValue::Null},
        {"info", info},
        {"groups", QJsonArray()},
    };
}

// One entry of the content; false for kinds and parameters this program cannot hold.
bool readEntry(const QJsonObject &object, BackupEntry *entry)
{
    const QString type = object.value("type").toString();
    const QJsonObject info = object.value("info").toObject();
    double digits = 0;
    double number = 0;
    if (type == "totp") {
        entry->kind = BackupEntry::TOTP;
        if (!integral(info.value("period"), 0, 4294967295.0, &number)) {
            return false;
        }
        entry->period = static_cast<quint32>(number);
    } else if (type == "hotp") {
        entry->kind = BackupEntry::HOTP;
        if (!integral(info.value("counter"), 0, 4294967295.0, &number)) {
            return false;
        }
        entry->counter = static_cast<quint32>(number);
    } else {
        return false;
    }
    entry->name = object.value("name").toString();
    entry->issuer = object.value("issuer").toString();
    entry->secret = BackupEntry::normalizedSecret(info.value("secret").toString());
    entry->algorithm = info.value("algo").toString();
    if (!integral(info.value("digits"), 0, 100, &digits) || entry->secret.isEmpty() ||
        (entry->algorithm != "SHA1" && entry->algorithm != "SHA256" && entry->algorithm != "SHA512")) {
        return false;
    }
    entry->digits = static_cast<int>(digits);
    return true;
}

ImportResult readContent(const QJsonObject &content)
{
    double version = 0;
    if (!integral(content.value("version"), 1, CONTENT_VERSION, &version)) {
        return ImportResult::failure(content.value("version").isDouble() ? AegisVault::tr(UNSUPPORTED_VERSION)
                                                                         : AegisVault::tr(DAMAGED));
    }
    if (!content.value("entries").isArray()) {
        return ImportResult::failure(AegisVault::tr(DAMAGED));
    }
    ImportResult result;
    const QJsonArray entries = content.value("entries").toArray();
    for (const QJsonValue &value : entries) {
        BackupEntry entry;
        if (readEntry(value.toObject(), &entry)) {
            result.uris << entry.toUri();
        } else {
            ++result.unsupported;
        }
    }
    return result;
}

// The master key from the first password slot that opens with `password`. `error` tells why
// there is none.
QByteArray openSlots(const QJsonArray &slotList, const QString &password, quint64 maxWork, QString *error)
{
    const QByteArray utf8 = password.toUtf8();
    bool tried = false;
    bool damaged = false;
    for (int i = 0; i < slotList.size() && i < MAX_SLOTS; ++i) {
        const QJsonObject slot = slotList.at(i).toObject();
        if (slot.value("type").toInt(-1) != PASSWORD_SLOT) {
            continue;
        }
        const QJsonObject keyParams = slot.value("key_params").toObject();
        double n = 0;
        double r = 0;
        double p = 0;
        QByteArray salt;
        QByteArray key;
        QByteArray nonce;
        QByteArray tag;
        const bool readable = integral(slot.value("n"), 2, 1 << 24, &n) &&
                              integral(slot.value("r"), 1, 64, &r) && integral(slot.value("p"), 1, 64, &p) &&
                              hexBytes(slot.value("salt"), 0, &salt) &&
                              hexBytes(slot.value("key"), BackupCrypto::KEY_SIZE, &key) &&
                              hexBytes(keyParams.value("nonce"), BackupCrypto::NONCE_SIZE, &nonce) &&
                              hexBytes(keyParams.value("tag"), BackupCrypto::TAG_SIZE, &tag);
        const auto N = static_cast<quint64>(n);
        const quint64 memory = 128 * static_cast<quint64>(r) * (N + static_cast<quint64>(p) + 2);
        if (!readable || (N & (N - 1)) != 0 || N * static_cast<quint64>(r * p) > maxWork ||
            memory > MAX_SCRYPT_MEMORY) {
            damaged = true;
            continue;
        }
        tried = true;
        const QByteArray derived =
            BackupCrypto::scrypt(utf8, salt, N, static_cast<quint32>(r), static_cast<quint32>(p),
                                 BackupCrypto::KEY_SIZE, memory + (1 << 20));
        QByteArray master;
        if (!derived.isEmpty() && BackupCrypto::decrypt(derived, nonce, key, tag, &master)) {
            return master;
        }
    }
    *error = tried     ? AegisVault::tr(WRONG_PASSWORD)
             : damaged ? AegisVault::tr(DAMAGED)
                       : AegisVault::tr(NO_PASSWORD_SLOT);
    return QByteArray();
}

} // namespace

QByteArray AegisVault::write(const QList<BackupEntry> &entries, const QString &password)
{
    QJsonArray array;
    for (const BackupEntry &entry : entries) {
        array.append(entryObject(entry));
    }
    const QJsonObject content{{"version", CONTENT_VERSION}, {"entries", array}, {"groups", QJsonArray()}};
    QJsonObject root{{"version", VAULT_VERSION}};
    if (password.isEmpty()) {
        root.insert("header", QJsonObject{{"slots", QJsonValue::Null}, {"params", QJsonValue::Null}});
        root.insert("db", content);
        return QJsonDocument(root).toJson(QJsonDocument::Indented);
    }

    const QByteArray master = BackupCrypto::randomBytes(BackupCrypto::KEY_SIZE);
    const QByteArray salt = BackupCrypto::randomBytes(32);
    const QByteArray slotNonce = BackupCrypto::randomBytes(BackupCrypto::NONCE_SIZE);
    const QByteArray contentNonce = BackupCrypto::randomBytes(BackupCrypto::NONCE_SIZE);
    if (master.isEmpty() || salt.isEmpty() || slotNonce.isEmpty() || contentNonce.isEmpty()) {
        return QByteArray();
    }
    const QByteArray derived = BackupCrypto::scrypt(password.toUtf8(), salt, SCRYPT_N, SCRYPT_R, SCRYPT_P,
                                                    BackupCrypto::KEY_SIZE, MAX_SCRYPT_MEMORY);
    QByteArray wrappedKey;
    QByteArray keyTag;
    QByteArray cipher;
    QByteArray tag;
    if (derived.isEmpty() || !BackupCrypto::encrypt(derived, slotNonce, master, &wrappedKey, &keyTag) ||
        !BackupCrypto::encrypt(master, contentNonce, QJsonDocument(content).toJson(QJsonDocument::Compact),
                               &cipher, &tag)) {
        return QByteArray();
    }
    const QJsonObject slot{
        {"type", PASSWORD_SLOT},
        {"uuid", QUuid::createUuid().toString(QUuid::WithoutBraces)},
        {"key", hex(wrappedKey)},
        {"key_params", QJsonObject{{"nonce", hex(slotNonce)}, {"tag", hex(keyTag)}}},
        {"n", static_cast<double>(SCRYPT_N)},
        {"r", static_cast<double>(SCRYPT_R)},
        {"p", static_cast<double>(SCRYPT_P)},
        {"salt", hex(salt)},
    };
    root.insert("header",
                QJsonObject{{"slots", QJsonArray{slot}},
                            {"params", QJsonObject{{"nonce", hex(contentNonce)}, {"tag", hex(tag)}}}});
    root.insert("db", QString::fromLatin1(cipher.toBase64()));
    return QJsonDocument(root).toJson(QJsonDocument::Indented);
}

ImportResult AegisVault::read(const QByteArray &content, const QString &password, quint64 maxWork)
{
    const QJsonDocument document = QJsonDocument::fromJson(content);
    const QJsonObject root = document.object();
    double version = 0;
    if (!document.isObject() || !root.value("version").isDouble()) {
        return ImportResult::failure(AegisVault::tr(DAMAGED));
    }
    if (!integral(root.value("version"), VAULT_VERSION, VAULT_VERSION, &version)) {
        return ImportResult::failure(AegisVault::tr(UNSUPPORTED_VERSION));
    }
    const QJsonValue db = root.value("db");
    if (db.isObject()) {
        return readContent(db.toObject());
    }
    if (!db.isString()) {
        return ImportResult::failure(AegisVault::tr(DAMAGED));
    }
    if (password.isEmpty()) {
        return ImportResult::failure(AegisVault::tr(PASSWORD_NEEDED));
    }

    const QJsonObject header = root.value("header").toObject();
    const QJsonObject params = header.value("params").toObject();
    QByteArray nonce;
    QByteArray tag;
    const auto cipher =
        QByteArray::fromBase64Encoding(db.toString().toLatin1(), QByteArray::AbortOnBase64DecodingErrors);
    if (!hexBytes(params.value("nonce"), BackupCrypto::NONCE_SIZE, &nonce) ||
        !hexBytes(params.value("tag"), BackupCrypto::TAG_SIZE, &tag) || !cipher) {
        return ImportResult::failure(AegisVault::tr(DAMAGED));
    }
    QString error;
    const QByteArray master = openSlots(header.value("slots").toArray(), password, maxWork, &error);
    if (master.isEmpty()) {
        return ImportResult::failure(error);
    }
    QByteArray plain;
    if (!BackupCrypto::decrypt(master, nonce, *cipher, tag, &plain)) {
        return ImportResult::failure(AegisVault::tr(DAMAGED));
    }
    const QJsonDocument inner = QJsonDocument::fromJson(plain);
    if (!inner.isObject()) {
        return ImportResult::failure(AegisVault::tr(DAMAGED));
    }
    return readContent(inner.object());
}
