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
        // Lines of the model's report that must appear, in this order.
        QTest::addColumn<QStringList>("expected");

        // (Which texts are valid is the parser's business, and the list model's tests hold the
        // scanner's verdict on unusable ones; here the model's report.)
        const QStringList invalid{"=======OTP invalid data======"};
        const QString secret = "JBSWY3DPEHPK3PXP";
        QTest::newRow("not a uri") << "hello world" << false << invalid;
        QTest::newRow("totp") << "otpauth://totp/Acme:bob?secret=" + secret << true
                              << QStringList{"==== OTP label: \"Acme:bob\"", "==== OTP secret: \"***\"",
                                             "==== OTP algorithm: \"SHA1\"", "==== OTP digits: \"6\"",
                                             "==== OTP period: \"30\""};
        QTest::newRow("hotp") << "otpauth://hotp/Acme:bob?secret=" + secret + "&counter=5&digits=8" << true
                              << QStringList{"==== OTP secret: \"***\"", "==== OTP digits: \"8\"",
                                             "==== OTP counter: \"5\""};
        QTest::newRow("ticket") << "orbticket://r17?address=http://127.0.0.1:9/vexa&pin=4321&key=KEYKEYKEY"
                                << true
                                << QStringList{"==== OTP addres: \"http://127.0.0.1:9/vexa\"",
                                               "==== OTP reqID: \"r17\"", "==== OTP pin: \"***\""};
        QTest::newRow("transfer code") << "otpauth-migration://offline?data=CgcKAUEgBDAC" << true
                                       << QStringList{"==== transfer code readable"};
        QTest::newRow("damaged transfer code")
            << "otpauth-migration://offline?data=AAAA" << false << QStringList{"==== transfer code damaged"};
    }

    void scan()
    {
        QFETCH(QString, text);
        QFETCH(bool, valid);
        QFETCH(QStringList, expected);

        QRCodeScannerModel model;
        QVERIFY(!model.isValid());
        model.onQRCodeScanned(text);
        QCOMPARE(model.isValid(), valid);
        QCOMPARE(g_lines.first(), QString("QRCodeScannerModel::onQRCodeScanned begin"));
        QCOMPARE(g_lines.last(), QString("QRCodeScannerModel::onQRCodeScanned end"));
        int from = 0;
        for (const QString &line : expected) {
            from = g_lines.indexOf(line, from) + 1;
            QVERIFY2(from > 0, qPrintable("missing or out of order: " + line));
        }
        // No secret, PIN or ticket key in the model's own lines.
        for (const QString &line : qAsConst(g_lines)) {
            QVERIFY2(!line.startsWith("==== OTP") ||
                         !QRegularExpression("JBSWY3DP|4321|KEYKEY").match(line).hasMatch(),
                     qPrintable(line));
        }
        // The last scan decides.
        model.onQRCodeScanned(valid ? "nothing" : "otpauth://totp/A:b?secret=JBSWY3DPEHPK3PXP");
        QCOMPARE(model.isValid(), !valid);
    }
};

QTEST_GUILESS_MAIN(TestQRCodeScannerModel)
#include "tst_qrcodescannermodel.moc"
