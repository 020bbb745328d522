#include "otp/otpauthuri.h"
#include "otp/otptoken.h"

#include <QtTest>

namespace {

// Parameters as "name=value" joined by "|", in the map's order.
QString joined(const OTPAuthURI &uri)
{
    QStringList parts;
    for (const auto &p : uri.params()) {
        parts << QString::fromStdString(p.first + "=" + p.second);
    }
    return parts.join('|');
}

const char SECRET[] = "GEZDGNBVGY3TQOJQGEZDGNBVGY3TQOJQ";

} // namespace

// The URI parser, and the token made from its parameters.
class TestOTPAuthURI : public QObject
{
    Q_OBJECT

private slots:
    void parse_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("type");
        QTest::addColumn<QString>("label");
        QTest::addColumn<bool>("valid");
        QTest::addColumn<QString>("params");
        QTest::newRow("defaults filled in")
            << "otpauth://totp/ACME%20Co:john%40example.com?secret=JBSWY3DPEHPK3PXP&issuer=ACME%20Co" << 0
            << "ACME Co:john@example.com" << true
            << "algorithm=SHA1|counter=0|digits=6|issuer=ACME Co|period=30|secret=JBSWY3DPEHPK3PXP";
        QTest::newRow("hotp without counter") << "otpauth://hotp/a?secret=JBSW" << 1 << "a" << false << "";
        QTest::newRow("first occurrence wins")
            << "otpauth://totp/a+b?secret=FIRST&&secret=SECOND&digits=8&junk&=x&period=60&" << 0 << "a b"
            << true << "=x|algorithm=SHA1|counter=0|digits=8|period=60|secret=FIRST";
        QTest::newRow("secret not decoded")
            << "otpauth://totp/a?secret=AB%41&algorithm=SHA256" << 0 << "a" << true
            << "algorithm=SHA256|counter=0|digits=6|period=30|secret=AB%41";
        QTest::newRow("upper-case type") << "otpauth://TOTP/a?secret=A" << -1 << "" << false << "";
        QTest::newRow("no query") << "otpauth://totp/a%3Ab" << 0 << "a:b" << false << "";
        QTest::newRow("query without =") << "otpauth://totp/a?secret" << 0 << "a" << false << "";
        QTest::newRow("no secret") << "otpauth://totp/a?digits=6" << 0 << "a" << false << "";
        QTest::newRow("digits 262") << "otpauth://totp/a?secret=A&digits=262" << 0 << "a" << true
                                    << "algorithm=SHA1|counter=0|digits=262|period=30|secret=A";
        QTest::newRow("letters in period")
            << "otpauth://totp/a?secret=A&period=abc" << 0 << "a" << false << "";
        QTest::newRow("white space around numbers")
            << "otpauth://hotp/a?secret=A&counter=\t5\n&digits=6 &period= 0\r" << 1 << "a" << true
            << "algorithm=SHA1|counter=\t5\n|digits=6 |period= 0\r|secret=A";
        QTest::newRow("white space inside a number")
            << "otpauth://totp/a?secret=A&period=3 0" << 0 << "a" << false << "";
        QTest::newRow("counter over 32 bits")
            << "otpauth://hotp/a?secret=A&counter=4294967296" << 1 << "a" << false << "";
        QTest::newRow("counter at 32 bits")
            << "otpauth://hotp/a?secret=A&counter=4294967295" << 1 << "a" << true
            << "algorithm=SHA1|counter=4294967295|digits=6|period=0|secret=A";
        QTest::newRow("ticket")
            << "orbticket://42?address=https://auth.example:8443/api/v1&pin=1234&key=AB=CD==" << 2 << ""
            << true << "address=https://auth.example:8443/api/v1|key=AB=CD==|pin=1234|reqID=42";
        QTest::newRow("ticket first wins")
            << "orbticket://7?reqID=8&x&y=1&y=2&tail" << 2 << "" << true << "reqID=7|x&y=1|y=2";
        QTest::newRow("bare ticket scheme") << "orbticket://" << -1 << "" << false << "";
    }
    void parse()
    {
        QFETCH(QString, text);
        QFETCH(int, type);
        QFETCH(bool, valid);
        const OTPAuthURI uri(text.toStdString());
        QCOMPARE(int(uri.type()), type);
        QCOMPARE(uri.isValid(), valid);
        QTEST(QString::fromStdString(uri.label()), "label");
        QTEST(joined(uri), "params");
        if (valid && type != OTPAuthURI::OrbTicket) { // the conversions never throw for a valid OTP URI
            QCOMPARE(QString::number(uri.periodNumber()), QString::fromStdString(uri.period()).trimmed());
            QCOMPARE(QString::number(uri.counterNumber()), QString::fromStdString(uri.counter()).trimmed());
        }
    }

    // Percent-decoding is lenient: what is no escape stays as it is. (That encoding undoes it is
    // checked by the URI fuzzer.)
    void decoding_data()
    {
        QTest::addColumn<QByteArray>("value");
        QTest::addColumn<QByteArray>("decoded");
        QTest::newRow("escapes") << QByteArray("a%40b+c") << QByteArray("a@b c");
        QTest::newRow("% without hex") << QByteArray("%zz%") << QByteArray("%zz%");
        QTest::newRow("one hex digit") << QByteArray("%4g.%7") << QByteArray("\x04.\x07");
        QTest::newRow("prefix kept") << QByteArray("otpauth://x%2Fy") << QByteArray("otpauth://x/y");
        QTest::newRow("high byte") << QByteArray("%C3%A9\xff") << QByteArray("\xc3\xa9\xff");
    }
    void decoding()
    {
        QFETCH(QByteArray, value);
        const OTPAuthURI::UriComponent component(value.toStdString(), OTPAuthURI::OTPAUTH_PREFIX);
        QTEST(QByteArray::fromStdString(component.decoded()), "decoded");
    }

    // The token made from the parameters.
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
        QTest::newRow("SHA1") << "SHA1" << 1;
        QTest::newRow("sha-256") << "sha-256" << 2;
        QTest::newRow("SHA512") << "SHA512" << 3;
        QTest::newRow("SHA-512") << "SHA-512" << 0;
        QTest::newRow("Sha256") << "Sha256" << 0;
        QTest::newRow("md5") << "md5" << 0;
    }
    void converters()
    {
        QFETCH(QString, text);
        QTEST(int(OTPToken::stringToAlgoritm(text.toStdString())), "algorithm");
    }
};

QTEST_APPLESS_MAIN(TestOTPAuthURI)
#include "tst_otpauthuri.moc"
