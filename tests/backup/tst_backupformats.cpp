#include "accounts/account.h"
#include "backup/backupentry.h"
#include "backup/backupfile.h"
#include "backup/migrationcodes.h"
#include "tests/common/testfiles.h"

#include <QRegularExpression>
#include <QtTest>
#include <memory>

// The readers on files made elsewhere (the vaults by tests/backup/data/make_aegis_vaults.py) and
// on hand-made transfer payloads, and the transfer writer against bytes worked out by hand.
namespace {

const QString DAMAGED = "Файл повреждён или не является резервной копией.";
const QString WRONG_PASSWORD = "Неверный пароль: файл не расшифрован.";
const QString VERSION = "Эта версия файла резервной копии не поддерживается.";
const QString BANK = "%D0%91%D0%B0%D0%BD%D0%BA"; // "Банк"

// Two accounts: TOTP "Example:alice@example.com" (secret "Hello!" DE AD BE EF, SHA-1, six digits)
// and HOTP "Bank:bob" (secret "1234567890", SHA-256, eight digits, counter 300); version 1, one
// code, batch id 7. Field by field: tag, length, value.
const char *const HAND_PAYLOAD = "0a2e"
                                 "0a0a48656c6c6f21deadbeef"
                                 "1211616c696365406578616d706c652e636f6d"
                                 "1a074578616d706c65"
                                 "2001"
                                 "2801"
                                 "3002"
                                 "0a20"
                                 "0a0a31323334353637383930"
                                 "1203626f62"
                                 "1a0442616e6b"
                                 "2002"
                                 "2802"
                                 "3001"
                                 "38ac02"
                                 "1001"
                                 "1801"
                                 "2807";
const QStringList HAND_URIS{
    "otpauth://totp/Example:alice%40example.com?secret=JBSWY3DPEHPK3PXP&issuer=Example&algorithm=SHA1"
    "&digits=6&period=30",
    "otpauth://hotp/Bank:bob?secret=GEZDGNBVGY3TQOJQ&issuer=Bank&algorithm=SHA256&digits=8&counter=300"};

QByteArray migration(const char *hex)
{
    return "otpauth-migration://offline?data=" + QUrl::toPercentEncoding(QByteArray::fromHex(hex).toBase64());
}

QByteArray fixture(const QString &name)
{
    return readFile(QStringLiteral(KESTREL_TEST_DATA "/") + name);
}

// The fixture with every match of `pattern` replaced.
QByteArray mutated(const QString &name, const QString &pattern, const QString &replacement)
{
    return QString::fromUtf8(fixture(name)).replace(QRegularExpression(pattern), replacement).toUtf8();
}

} // namespace

class TestBackupFormats : public QObject
{
    Q_OBJECT

private slots:
    void parse_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QString>("password");
        QTest::addColumn<QStringList>("uris");
        QTest::addColumn<int>("unsupported");
        QTest::addColumn<QString>("error");

        const QString encrypted = "vault-encrypted.json";
        const QStringList current{
            "otpauth://totp/GitHub:alice%40example.com?secret=JBSWY3DPEHPK3PXP&issuer=GitHub&algorithm=SHA1"
            "&digits=6&period=30",
            "otpauth://hotp/" + BANK + ":bob?secret=GEZDGNBVGY3TQOJQGEZDGNBVGY3TQOJQ&issuer=" + BANK +
                "&algorithm=SHA256&digits=8&counter=42",
            "otpauth://totp/"
            "Cloud:dan?secret=GEZDGNBVGY3TQOJQ&issuer=Cloud&algorithm=SHA512&digits=8&period=60"};
        const QStringList older{
            "otpauth://totp/Mail:erin?secret=KRSXG5CTMVRXEZLU&issuer=Mail&algorithm=SHA1&digits=6&period=30"};
        QTest::newRow("aegis encrypted") << fixture(encrypted) << "correct horse" << current << 1 << "";
        QTest::newRow("aegis slots, last")
            << fixture("vault-slots.json") << "correct horse" << older << 1 << "";
        QTest::newRow("aegis slots, other")
            << fixture("vault-slots.json") << "другой пароль" << older << 1 << "";
        QTest::newRow("aegis plain")
            << fixture("vault-plain.json") << ""
            << QStringList{"otpauth://totp/Shop:grace?secret=JBSWY3DPEHPK3PXP&issuer=Shop&algorithm=SHA1"
                           "&digits=6&period=30"}
            << 0 << "";
        QTest::newRow("wrong password")
            << fixture(encrypted) << "correct horse " << QStringList() << 0 << WRONG_PASSWORD;
        QTest::newRow("no password") << fixture(encrypted) << "" << QStringList() << 0
                                     << "Файл зашифрован: введите пароль.";
        QTest::newRow("content tag flipped") << mutated(encrypted, "\"tag\": \"e", "\"tag\": \"f")
                                             << "correct horse" << QStringList() << 0 << DAMAGED;
        QTest::newRow("scrypt beyond the limit") << mutated(encrypted, "\"n\": 32768", "\"n\": 1048576")
                                                 << "correct horse" << QStringList() << 0 << DAMAGED;
        QTest::newRow("only a biometric slot")
            << mutated(encrypted, "\"type\": 1", "\"type\": 2") << "correct horse" << QStringList() << 0
            << "Файл нельзя открыть паролем: он зашифрован ключом другого устройства.";
        QTest::newRow("db not Base64") << mutated(encrypted, "\"db\": \"[^\"]*", "\"db\": \"***")
                                       << "correct horse" << QStringList() << 0 << DAMAGED;
        QTest::newRow("vault version 2")
            << mutated(encrypted, "\"version\": 1", "\"version\": 2") << "x" << QStringList() << 0 << VERSION;
        QTest::newRow("content version 4")
            << mutated("vault-plain.json", "    \"version\": 1", "    \"version\": 4") << "" << QStringList()
            << 0 << VERSION;
        QTest::newRow("truncated json")
            << fixture(encrypted).left(300) << "correct horse" << QStringList() << 0 << DAMAGED;

        QTest::newRow("uri lines")
            << "\xEF\xBB\xBFotpauth://totp/A:a?secret=JBSWY3DP\r\n\n  \r\nnot a uri\r\n" +
                   migration("0a070a0141200430020a030a0141") // an entry of type 4, one of no type
            << "" << QStringList{"otpauth://totp/A:a?secret=JBSWY3DP"} << 3 << "";
        QTest::newRow("no uri at all") << QByteArray("hello\nworld\n") << "" << QStringList() << 0
                                       << "В файле нет ни одного аккаунта: это не резервная копия.";
        QTest::newRow("hand-checked payload") << migration(HAND_PAYLOAD) << "" << HAND_URIS << 0 << "";
        // Secret "Hello", name "Bank:bob", issuer "Bank", TOTP; algorithm, digits and period left out.
        QTest::newRow("issuer in the name, defaults")
            << migration("0a190a0548656c6c6f120842616e6b3a626f621a0442616e6b3002") << ""
            << QStringList{"otpauth://totp/"
                           "Bank:bob?secret=JBSWY3DP&issuer=Bank&algorithm=SHA1&digits=6&period=30"}
            << 0 << "";
        const QString damagedCode = "Код переноса повреждён или неполон.";
        QTest::newRow("payload not protobuf") << migration("ffff") << "" << QStringList() << 0 << damagedCode;
        QTest::newRow("payload not Base64")
            << QByteArray("otpauth-migration://offline?data=%%%") << "" << QStringList() << 0 << damagedCode;
        QTest::newRow("payload version 2")
            << migration("1002") << "" << QStringList() << 0 << "Эта версия кода переноса не поддерживается.";
    }

    void parse()
    {
        QFETCH(QByteArray, content);
        QFETCH(QString, password);
        QVERIFY(!content.isEmpty());
        const ImportResult result = BackupFile::parse(content, password);
        QTEST(result.error, "error");
        QTEST(result.uris, "uris");
        QTEST(result.unsupported, "unsupported");
    }

    // The writer on accounts as the list holds them; the 60 s account is left out of the code.
    void migrationWrite()
    {
        QList<BackupEntry> entries;
        const QString sixtySeconds = QString(HAND_URIS.at(0)).replace("period=30", "period=60");
        for (const QString &uri : {HAND_URIS.at(0), sixtySeconds, HAND_URIS.at(1)}) {
            std::unique_ptr<Account> account(Account::CreateStandartAccount(uri));
            entries.append(BackupEntry());
            QVERIFY(BackupEntry::fromAccount(*account, &entries.last()));
        }
        QCOMPARE(MigrationCodes::write(entries, 7), QStringList{migration(HAND_PAYLOAD)});
    }
};

QTEST_GUILESS_MAIN(TestBackupFormats)
#include "tst_backupformats.moc"
