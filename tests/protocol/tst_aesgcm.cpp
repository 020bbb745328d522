#include "protocol/aesgcm.h"

#include <QtTest>

namespace {
std::vector<unsigned char> hex(const char *text)
{
    const QByteArray bytes = QByteArray::fromHex(text);
    return std::vector<unsigned char>(bytes.cbegin(), bytes.cend());
}
} // namespace

class TestAesGcm : public QObject
{
    Q_OBJECT
private slots:
    void decrypt_data();
    void decrypt();
};

void TestAesGcm::decrypt_data()
{
    QTest::addColumn<QByteArray>("key");
    QTest::addColumn<QByteArray>("iv");
    QTest::addColumn<QByteArray>("ciphertext");
    QTest::addColumn<QByteArray>("tag");
    QTest::addColumn<QByteArray>("plaintext");

    // Published AES-128-GCM test cases 1 to 3 (96-bit IV, no additional data).
    const QByteArray zeroKey = "00000000000000000000000000000000";
    const QByteArray zeroIv = "000000000000000000000000";
    QTest::newRow("case 1: empty") << zeroKey << zeroIv << QByteArray()
                                   << QByteArray("58e2fccefa7e3061367f1d57a4e7455a") << QByteArray();
    QTest::newRow("case 2: one block")
        << zeroKey << zeroIv << QByteArray("0388dace60b6a392f328c2b971b2fe78")
        << QByteArray("ab6e47d42cec13bdf53a67b21257bddf") << QByteArray("00000000000000000000000000000000");
    const QByteArray key3 = "feffe9928665731c6d6a8f9467308308";
    const QByteArray iv3 = "cafebabefacedbaddecaf888";
    const QByteArray plain3 = "d9313225f88406e5a55909c5aff5269a86a7a9531534f7da2e4c303d8a318a72"
                              "1c3c0c95956809532fcf0e2449a6b525b16aedf5aa0de657ba637b391aafd255";
    const QByteArray cipher3 = "42831ec2217774244b7221b784d0d49ce3aa212f2c02a4e035c17e2329aca12e"
                               "21d514b25466931c7d8f6a5aac84aa051ba30b396a0aac973d58e091473f5985";
    const QByteArray tag3 = "4d5c2af327cd64a62cf35abd2ba6fab4";
    QTest::newRow("case 3: four blocks") << key3 << iv3 << cipher3 << tag3 << plain3;

    QByteArray flippedTag = tag3;
    flippedTag[31] = flippedTag[31] == '4' ? '5' : '4';
    QTest::newRow("tag altered by one bit") << key3 << iv3 << cipher3 << flippedTag << QByteArray();
    QByteArray flippedCipher = cipher3;
    flippedCipher[0] = '5';
    QTest::newRow("ciphertext altered") << key3 << iv3 << flippedCipher << tag3 << QByteArray();

    // Parts of another length than 16, 12 and 16 bytes are refused, never over- or under-read.
    QTest::newRow("short key") << key3.left(30) << iv3 << cipher3 << tag3 << QByteArray();
    QTest::newRow("long key") << key3 + "00" << iv3 << cipher3 << tag3 << QByteArray();
    QTest::newRow("short iv") << key3 << iv3.left(22) << cipher3 << tag3 << QByteArray();
    QTest::newRow("long iv") << key3 << iv3 + "00" << cipher3 << tag3 << QByteArray();
    QTest::newRow("short tag") << key3 << iv3 << cipher3 << tag3.left(30) << QByteArray();
    QTest::newRow("long tag") << key3 << iv3 << cipher3 << tag3 + "00" << QByteArray();
}

void TestAesGcm::decrypt()
{
    QFETCH(QByteArray, key);
    QFETCH(QByteArray, iv);
    QFETCH(QByteArray, ciphertext);
    QFETCH(QByteArray, tag);
    QFETCH(QByteArray, plaintext);

    const std::string result = aes_128_gcm_decrypt_custom(hex(iv), hex(tag), hex(ciphertext), hex(key));
    QCOMPARE(QByteArray::fromStdString(result).toHex(), plaintext);
}

QTEST_GUILESS_MAIN(TestAesGcm)
#include "tst_aesgcm.moc"
