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
        // A line of the model's report that must appear: what it read, secrets masked.
        QTest::addColumn<QString>("line");
        // (Which texts are valid is the parser's business, and the list model's tests hold the
        // scanner's verdict on unusable ones; here the model's part.)
        const QString secret = "JBSWY3DPEHPK3PXP";
        QTest::newRow("not a uri") << "hello world" << false << "=======OTP invalid data======";
        QTest::newRow("totp") << "otpauth://totp/Acme:bob?secret=" + secret << true
                              << "==== OTP secret: \"***\"";
        QTest::newRow("hotp") << "otpauth://hotp/Acme:bob?secret=" + secret + "&counter=5&digits=8" << true
                              << "==== OTP counter: \"5\"";
        QTest::newRow("ticket") << "orbticket://r17?address=http://127.0.0.1:9/vexa&pin=4321&key=KEYKEYKEY"
                                << true << "==== OTP pin: \"***\"";
        QTest::newRow("transfer code")
            << "otpauth-migration://offline?data=CgcKAUEgBDAC" << true << "==== transfer code readable";
        QTest::newRow("damaged transfer code")
            << "otpauth-migration://offline?data=AAAA" << false << "==== transfer code damaged";
    }

    void scan()
    {
        QFETCH(QString, text);
        QFETCH(bool, valid);
        QFETCH(QString, line);
        QRCodeScannerModel model;
        QVERIFY(!model.isValid());
        model.onQRCodeScanned(text);
        QCOMPARE(model.isValid(), valid);
        QVERIFY2(g_lines.contains(line), qPrintable(g_lines.join('\n')));
        // No secret, PIN or ticket key in the model's own lines.
        for (const QString &logged : qAsConst(g_lines)) {
            QVERIFY2(!logged.startsWith("==== OTP") ||
                         !QRegularExpression("JBSWY3DP|4321|KEYKEY").match(logged).hasMatch(),
                     qPrintable(logged));
        }
        // The last scan decides.
        model.onQRCodeScanned(valid ? "nothing" : "otpauth://totp/A:b?secret=JBSWY3DPEHPK3PXP");
        QCOMPARE(model.isValid(), !valid);
    }
};

QTEST_GUILESS_MAIN(TestQRCodeScannerModel)
#include "tst_qrcodescannermodel.moc"
