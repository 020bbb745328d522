#include "backup/backupentry.h"
#include "otp/base32.h"
#include "otp/otpgenerator.h"

#include <QRandomGenerator>
#include <QtTest>

#include <liboath/oath.h>

Q_DECLARE_METATYPE(std::string)

namespace {

// RFC 4226 and RFC 6238 seeds ("1234567890" repeated to 20, 32 and 64 bytes), padding included.
const char SEED20[] = "GEZDGNBVGY3TQOJQGEZDGNBVGY3TQOJQ";
const char SEED32[] = "GEZDGNBVGY3TQOJQGEZDGNBVGY3TQOJQGEZDGNBVGY3TQOJQGEZA====";
const char SEED64[] =
    "GEZDGNBVGY3TQOJQGEZDGNBVGY3TQOJQGEZDGNBVGY3TQOJQGEZDGNBVGY3TQOJQGEZDGNBVGY3TQOJQGEZDGNBVGY3TQOJQ"
    "GEZDGNA=";

} // namespace

class TestOTPGenerator : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QCOMPARE(oath_init(), int(OATH_OK)); }
    void cleanupTestCase() { oath_done(); }

    // RFC 4226 (SHA-1, six digits; counter c read as the time 30·c) and RFC 6238 vectors, each
    // through both entry points.
    void rfcVectors_data()
    {
        QTest::addColumn<std::string>("secret");
        QTest::addColumn<int>("algorithm");
        QTest::addColumn<int>("digits");
        QTest::addColumn<qlonglong>("time");
        QTest::addColumn<QString>("code");
        const char *hotp[] = {"755224", "287082", "359152", "969429", "338314",
                              "254676", "287922", "162583", "399871", "520489"};
        for (int c = 0; c < 10; ++c) {
            QTest::addRow("HOTP counter %d", c)
                << std::string(SEED20) << 1 << 6 << qlonglong(30 * c) << QString(hotp[c]);
        }
        const qlonglong times[] = {59, 1111111109, 1111111111, 1234567890, 2000000000};
        // Per algorithm (SHA-1, SHA-256, SHA-512), with its seed.
        const char *seeds[] = {SEED20, SEED32, SEED64};
        const char *codes[3][5] = {{"94287082", "07081804", "14050471", "89005924", "69279037"},
                                   {"46119246", "68084774", "67062674", "91819424", "90698825"},
                                   {"90693936", "25091201", "99943326", "93441116", "38618901"}};
        for (int a = 0; a < 3; ++a) {
            for (int i = 0; i < 5; ++i) {
                QTest::addRow("algorithm %d, %lld", a + 1, times[i])
                    << std::string(seeds[a]) << a + 1 << 8 << times[i] << QString(codes[a][i]);
            }
        }
    }
    void rfcVectors()
    {
        QFETCH(std::string, secret);
        QFETCH(int, algorithm);
        QFETCH(int, digits);
        QFETCH(qlonglong, time);
        OTPGenErrorCode error = OTPGenErrorCode::NoError;
        const std::string got =
            OTPGenerator::computeTOTP(long(time), secret, uchar(digits), 30, uchar(algorithm), &error);
        QTEST(QString::fromStdString(got), "code");
        QCOMPARE(error, OTPGenErrorCode::NoError);
        QCOMPARE(OTPGenerator::computeHOTP(secret, uchar(digits), uint(time / 30), uchar(algorithm), &error),
                 got);
    }

    // Seeded random secrets (lengths around the 64- and 128-byte blocks included), counters,
    // times, periods and digits: every code must equal liboath's.
    void matchesLiboath()
    {
        QRandomGenerator random(20240611);
        const int lengths[] = {1, 10, 20, 32, 63, 64, 65, 127, 128, 129, 200};
        for (int round = 0; round < 400; ++round) {
            // Every algorithm first meets keys just below, at and above its block size.
            const int length = round < 33 ? lengths[round % 11] : random.bounded(1, 150);
            QVector<quint32> words(length / 4 + 1);
            random.fillRange(words.data(), words.size());
            const QByteArray key(reinterpret_cast<const char *>(words.constData()), length);
            std::string secret = BackupEntry::base32(key).toStdString();
            if (round % 3 == 0) {
                // The way people type secrets: lower case, in groups of four.
                QString typed = QString::fromStdString(secret).toLower();
                secret = typed.replace(QRegularExpression("(.{4})"), "\\1 ").toStdString();
            }
            const uint digits = 6 + random.bounded(3);
            const quint32 counter = random.generate();
            const quint32 time = random.generate();
            const uint period = random.bounded(2, 121);
            const int algorithm = round < 33 ? 1 + round / 11 : 1 + random.bounded(3);
            const int flags[] = {0, 0, OATH_TOTP_HMAC_SHA256, OATH_TOTP_HMAC_SHA512};

            char expected[11] = {};
            if (algorithm == 1) {
                QCOMPARE(oath_hotp_generate(key.constData(), key.size(), counter, digits, false,
                                            OATH_HOTP_DYNAMIC_TRUNCATION, expected),
                         int(OATH_OK));
                QCOMPARE(
                    QString::fromStdString(OTPGenerator::computeHOTP(secret, digits, counter, 1, nullptr)),
                    QString(expected));
            }
            QCOMPARE(oath_totp_generate2(key.constData(), key.size(), time, period, 0, digits,
                                         flags[algorithm], expected),
                     int(OATH_OK));
            const std::string got =
                OTPGenerator::computeTOTP(long(time), secret, digits, period, algorithm, nullptr);
            QVERIFY2(got == expected,
                     qPrintable(QString("round %1: %2 != %3").arg(round).arg(got.c_str(), expected)));
        }
    }

    void failures_data()
    {
        QTest::addColumn<std::string>("secret");
        QTest::addColumn<int>("digits");
        QTest::addColumn<uint>("period");
        QTest::addColumn<int>("algorithm");
        QTest::addColumn<int>("error");
        QTest::addColumn<int>("codeLength");
        QTest::newRow("digits 2") << std::string(SEED20) << 2 << 30u << 1 << 4 << 0;
        QTest::newRow("digits 11") << std::string(SEED20) << 11 << 30u << 1 << 4 << 0;
        QTest::newRow("digits 10") << std::string(SEED20) << 10 << 30u << 1 << 0 << 10;
        QTest::newRow("period 1") << std::string(SEED20) << 6 << 1u << 1 << 5 << 6;
        QTest::newRow("period 121") << std::string(SEED20) << 6 << 121u << 1 << 5 << 6;
        QTest::newRow("period 0") << std::string(SEED20) << 6 << 0u << 1 << 5 << 0;
        QTest::newRow("empty secret") << std::string() << 6 << 30u << 1 << 2 << 0;
        QTest::newRow("only spaces") << std::string("   ") << 6 << 30u << 1 << 2 << 0;
        QTest::newRow("one character") << std::string("A") << 6 << 30u << 1 << 2 << 0;
        QTest::newRow("algorithm 0") << std::string(SEED20) << 6 << 30u << 0 << 2 << 0;
    }
    void failures()
    {
        QFETCH(std::string, secret);
        QFETCH(int, digits);
        QFETCH(uint, period);
        QFETCH(int, algorithm);
        QFETCH(int, codeLength);
        OTPGenErrorCode reported = OTPGenErrorCode::NoError;
        const long time = 1111111109;
        const std::string code =
            OTPGenerator::computeTOTP(time, secret, uchar(digits), period, uchar(algorithm), &reported);
        QTEST(int(reported), "error");
        QCOMPARE(int(code.size()), codeLength);
        if (period != 0 && codeLength > 0) {
            // Out-of-range periods still divide the time as given.
            QCOMPARE(code, OTPGenerator::computeHOTP(secret, uchar(digits), uint(time / period), 1, nullptr));
        }
    }

    // RFC 4648 vectors (unpadded), named by their text, both ways (encoded as the backups write
    // secrets); then texts that only decode. Random round trips are made by matchesLiboath.
    void base32_data()
    {
        QTest::addColumn<std::string>("text");
        QTest::addColumn<QByteArray>("bytes");
        for (const char *text : {"MY", "MZXQ", "MZXW6", "MZXW6YQ", "MZXW6YTB", "MZXW6YTBOI"}) {
            QTest::newRow(text) << std::string(text) << QByteArray("foobar", qstrlen(text) * 5 / 8);
        }
        QTest::newRow("padded") << std::string("MZXW6===") << QByteArray("foo\0\0", 5);
        // No normalisation here: lower case and spaces count as "A".
        QTest::newRow("lower case") << std::string("mzxw6") << QByteArray("\x00\x00\x0f", 3);
        QTest::newRow("high bytes") << std::string("\xff\x80MZXW6YTB", 10)
                                    << QByteArray("\x00\x19\x9b\xdb\xd8\x98", 6);
    }
    void base32()
    {
        QFETCH(std::string, text);
        QFETCH(QByteArray, bytes);
        QCOMPARE(base32_decode(text), bytes);
        if (text == QTest::currentDataTag()) {
            QCOMPARE(BackupEntry::base32(bytes).toStdString(), text);
        }
        // An index past the alphabet is refused both ways.
        unsigned char quintet = 32;
        QVERIFY(!Base32::Map32(&quintet, 1, Base32::ALPHABET));
        QVERIFY(!Base32::Decode32(&quintet, 1, &quintet));
    }
};

QTEST_APPLESS_MAIN(TestOTPGenerator)
#include "tst_otpgenerator.moc"
