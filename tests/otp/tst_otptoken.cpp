#include "otp/otptoken.h"

#include <QtTest>

namespace {
const char SECRET[] = "GEZDGNBVGY3TQOJQGEZDGNBVGY3TQOJQ";
}

class TestOTPToken : public QObject
{
    Q_OBJECT

private slots:
    // The table of limits is read by validation, whose rows (generate, and the generator's and
    // the list model's refusals) catch a wrong limit; a type past the table has none.
    void typeOutsideTable()
    {
        const OTPToken token(4, "label");
        const QList<uint> got{token.digits(),          token.period(),         token.algorithm(),
                              OTPToken::maxCounter(4), OTPToken::maxPeriod(4), OTPToken::minDigitLength(4)};
        QCOMPARE(got, QList<uint>({0, 0, 0, 0, 0, 0}));
    }

    void generate_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<QString>("label");
        QTest::addColumn<uint>("period");
        QTest::addColumn<QString>("secret");
        QTest::addColumn<int>("algorithm");
        QTest::addColumn<bool>("hasCode");
        QTest::addColumn<int>("error");
        QTest::addColumn<bool>("valid");
        QTest::newRow("totp") << 1 << "a" << 30u << SECRET << 1 << true << 0 << true;
        QTest::newRow("hotp") << 2 << "a" << 0u << SECRET << 3 << true << 0 << true;
        QTest::newRow("empty label") << 1 << "" << 30u << SECRET << 1 << true << 0 << false;
        QTest::newRow("five-digit type") << 3 << "a" << 30u << SECRET << 1 << false << 0 << false;
        QTest::newRow("type 0") << 0 << "a" << 30u << SECRET << 1 << false << 1 << false;
        QTest::newRow("type 9") << 9 << "a" << 30u << SECRET << 1 << false << 1 << false;
        QTest::newRow("empty secret") << 1 << "a" << 30u << "" << 1 << false << 2 << false;
        QTest::newRow("undecodable secret") << 2 << "a" << 30u << "Q" << 1 << false << 2 << false;
        QTest::newRow("period 150") << 1 << "a" << 150u << SECRET << 1 << false << 5 << false;
        QTest::newRow("no algorithm") << 1 << "a" << 30u << SECRET << 0 << false << 2 << false;
    }
    void generate()
    {
        QFETCH(int, type);
        QFETCH(QString, label);
        QFETCH(uint, period);
        QFETCH(QString, secret);
        QFETCH(int, algorithm);
        QFETCH(bool, hasCode);
        const OTPToken token(uchar(type), label.toStdString(), secret.toStdString(), 6, period, 5u,
                             uchar(algorithm));
        OTPGenErrorCode reported = OTPGenErrorCode::InvalidDigits;
        const std::string code = token.generateToken(&reported);
        QCOMPARE(!code.empty(), hasCode);
        QTEST(int(reported), "error");
        QTEST(token.isValid(), "valid");
        if (type == 2 && hasCode) {
            // HOTP uses the stored counter and does not advance it.
            QCOMPARE(code, OTPGenerator::computeHOTP(SECRET, 6, 5, 3, nullptr));
            QCOMPARE(token.generateToken(nullptr), code);
        }
    }

    void converters_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("algorithm");
        QTest::addColumn<int>("setAlgorithm");
        QTest::newRow("SHA1") << "SHA1" << 1 << 1;
        QTest::newRow("sha-256") << "sha-256" << 2 << 2;
        QTest::newRow("SHA512") << "SHA512" << 3 << 3;
        QTest::newRow("SHA-512") << "SHA-512" << 0 << 3;
        QTest::newRow("Sha256") << "Sha256" << 0 << 2;
        QTest::newRow("md5") << "md5" << 0 << 0;
        QTest::newRow("empty") << "" << 0 << 0;
    }
    void converters()
    {
        QFETCH(QString, text);
        QTEST(int(OTPToken::stringToAlgoritm(text.toStdString())), "algorithm");
        OTPToken token(1);
        token.setAlgorithm(text.toStdString());
        QTEST(int(token.algorithm()), "setAlgorithm");
    }

    void numbers()
    {
        QCOMPARE(int(OTPToken::stringToDigit("262")), 6);
        QCOMPARE(int(OTPToken::stringToDigit("8 digits")), 8);
        QCOMPARE(int(OTPToken::stringToDigit("x")), 0);
        QCOMPARE(OTPToken::stringToCounter("4294967295"), 4294967295u);
        OTPGenErrorCode error = OTPGenErrorCode::NoError;
        QVERIFY(OTPToken::validateSecret("A", &error));
        QVERIFY(!OTPToken::validateSecret("", &error));
        QCOMPARE(error, OTPGenErrorCode::InvalidSecret);
    }
};

QTEST_APPLESS_MAIN(TestOTPToken)
#include "tst_otptoken.moc"
