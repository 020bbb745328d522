#include "models/qrcodescannermodel.h"

#include <QtTest>

namespace {

QStringList g_lines;

void collect(QtMsgType type, const QMessageLogContext &, const QString &text)
{
    if (type == QtDebugMsg) {
        g_lines << text;
    }
}

} // namespace

class TestQRCodeScannerModel : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        g_lines.clear();
        qInstallMessageHandler(collect);
    }

    void cleanup() { qInstallMessageHandler(nullptr); }

    void scan_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("valid");
        // Lines of the model's own report that must appear, in order.
        QTest::addColumn<QStringList>("expected");

        const QString invalid = "=======OTP invalid data======";
        QTest::newRow("not a uri") << "hello world" << false << QStringList{invalid};
        QTest::newRow("empty") << "" << false << QStringList{invalid};
        QTest::newRow("upper-case scheme")
            << "OTPAUTH://totp/A:b?secret=JBSWY3DPEHPK3PXP" << false << QStringList{invalid};
        QTest::newRow("totp without query") << "otpauth://totp/Acme:bob" << false << QStringList{invalid};
        QTest::newRow("totp default period")
            << "otpauth://totp/Acme:bob?secret=JBSWY3DPEHPK3PXP" << true
            << QStringList{"==== OTP label: \"Acme:bob\"", "==== OTP secret: \"***\"",
                           "==== OTP algorithm: \"SHA1\"", "==== OTP digits: \"6\"",
                           "==== OTP period: \"30\""};
        QTest::newRow("hotp without counter")
            << "otpauth://hotp/Acme:bob?secret=JBSWY3DPEHPK3PXP" << false << QStringList{invalid};
        QTest::newRow("hotp") << "otpauth://hotp/Acme:bob?secret=JBSWY3DPEHPK3PXP&counter=5&digits=8" << true
                              << QStringList{"==== OTP secret: \"***\"", "==== OTP digits: \"8\"",
                                             "==== OTP counter: \"5\""};
        QTest::newRow("ticket") << "orbticket://r17?address=http://127.0.0.1:9/vexa&pin=4321&key=KEYKEYKEY"
                                << true
                                << QStringList{"==== OTP addres: \"http://127.0.0.1:9/vexa\"",
                                               "==== OTP reqID: \"r17\"", "==== OTP pin: \"***\""};
        QTest::newRow("ticket without pin")
            << "orbticket://r17?address=http://h/v" << true << QStringList{"==== OTP pin: \"\""};
        QTest::newRow("ticket without address")
            << "orbticket://r17?pin=4321" << false << QStringList{invalid};
        QTest::newRow("ticket without parameters") << "orbticket://r17" << false << QStringList{invalid};
        QTest::newRow("ticket with empty reqID")
            << "orbticket://?address=http://h/v" << false << QStringList{invalid};
    }

    void scan()
    {
        QFETCH(QString, text);
        QFETCH(bool, valid);
        QFETCH(QStringList, expected);

        QRCodeScannerModel model;
        model.onQRCodeScanned(text);
        QCOMPARE(model.isValid(), valid);

        QCOMPARE(g_lines.first(), QString("QRCodeScannerModel::onQRCodeScanned begin"));
        QCOMPARE(g_lines.last(), QString("QRCodeScannerModel::onQRCodeScanned end"));
        int from = 0;
        for (const QString &line : expected) {
            const int at = g_lines.indexOf(line, from);
            QVERIFY2(at >= 0, qPrintable("missing or out of order: " + line));
            from = at + 1;
        }
        // The model's own lines never carry a secret, a PIN or a ticket key.
        for (const QString &line : qAsConst(g_lines)) {
            if (line.startsWith("==== OTP")) {
                QVERIFY2(!line.contains("JBSWY3DPEHPK3PXP") && !line.contains("4321") &&
                             !line.contains("KEYKEY"),
                         qPrintable(line));
            }
        }
    }

    void lastScanDecides()
    {
        QRCodeScannerModel model;
        QVERIFY(!model.isValid());
        model.onQRCodeScanned("otpauth://totp/A:b?secret=JBSWY3DPEHPK3PXP");
        QVERIFY(model.isValid());
        model.onQRCodeScanned("otpauth://totp/A:b");
        QVERIFY(!model.isValid());
        model.onQRCodeScanned("orbticket://r1?address=http://h/v");
        QVERIFY(model.isValid());
    }
};

QTEST_GUILESS_MAIN(TestQRCodeScannerModel)
#include "tst_qrcodescannermodel.moc"
