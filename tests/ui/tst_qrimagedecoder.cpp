#include "ui/qrcodeitem.h"
#include "ui/qrimagedecoder.h"

#include <QImage>
#include <QPainter>
#include <QProcess>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QUrl>
#include <QtTest>

// Codes are drawn at test time by the qrencode command, as a user's screenshot would hold them, and
// by the code item the screens show.
class TestQRImageDecoder : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;

    QString encode(const QString &text, const QString &name)
    {
        const QString path = m_dir.filePath(name);
        QProcess qrencode;
        qrencode.start("qrencode", {"-t", "PNG", "-s", "4", "-o", path, text});
        if (!qrencode.waitForFinished(10000) || qrencode.exitCode() != 0)
            return QString();
        return path;
    }

private slots:
    void decodesFile_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("variant");
        const QString totp = "otpauth://totp/Example:alice@example.com?secret=JBSWY3DPEHPK3PXP&issuer=Example"
                             "&algorithm=SHA256&digits=8&period=60";
        const QString ticket = "orbticket://5f0c3a9e-11aa-4bd2-9c1e-0a1b2c3d4e5f?address=https://"
                               "auth.example.org:8443/vexa&pin=1234&key=MDEyMzQ1Njc4OWFiY2RlZg==";
        QTest::newRow("otpauth uri") << totp << "plain";
        QTest::newRow("ticket, file url") << ticket << "url";
        QTest::newRow("cyrillic label")
            << QString::fromUtf8("otpauth://totp/Банк:Мария?secret=JBSWY3DPEHPK3PXP") << "plain";
        QTest::newRow("dark theme, inverted") << totp << "inverted";
        QTest::newRow("transparent background") << ticket << "transparent";
        QTest::newRow("photo-like, rotated and scaled") << totp << "rotated";
    }

    void decodesFile()
    {
        QFETCH(QString, text);
        QFETCH(QString, variant);
        QString path = encode(text, QString(QTest::currentDataTag()).replace(' ', '_') + ".png");
        QVERIFY2(!path.isEmpty(), "qrencode failed");
        QImage image(path);
        QVERIFY(!image.isNull());
        if (variant == "inverted") {
            image = image.convertToFormat(QImage::Format_RGB32);
            image.invertPixels();
            QVERIFY(image.save(path));
        } else if (variant == "transparent") {
            // Dark modules on fully transparent pixels whose colour is black.
            QImage argb(image.size(), QImage::Format_ARGB32);
            for (int y = 0; y < image.height(); ++y)
                for (int x = 0; x < image.width(); ++x)
                    argb.setPixel(x, y, qRgba(0, 0, 0, qGray(image.pixel(x, y)) < 128 ? 255 : 0));
            QVERIFY(argb.save(path));
        } else if (variant == "rotated") {
            QImage canvas(900, 700, QImage::Format_RGB32);
            canvas.fill(QColor(200, 190, 180));
            QPainter painter(&canvas);
            painter.setRenderHint(QPainter::SmoothPixmapTransform);
            painter.translate(450, 350);
            painter.rotate(90);
            painter.scale(1.7, 1.7);
            painter.drawImage(-image.width() / 2, -image.height() / 2, image);
            painter.end();
            path.replace(".png", ".jpg");
            QVERIFY(canvas.save(path, "JPEG", 85));
        } else if (variant == "url") {
            path = QUrl::fromLocalFile(path).toString();
        }
        QRImageDecoder decoder;
        QSignalSpy textSpy(&decoder, &QRImageDecoder::textChanged);
        QVERIFY(decoder.decodeFile(path));
        QCOMPARE(decoder.text(), text);
        QVERIFY(decoder.errorString().isEmpty());
        QCOMPARE(textSpy.count(), 1);
    }

    void reportsFailure_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("error");
        QImage image(400, 300, QImage::Format_RGB32);
        image.fill(Qt::white);
        QPainter painter(&image);
        painter.drawText(20, 150, "123 456");
        painter.fillRect(200, 50, 80, 80, Qt::black);
        painter.end();
        const QString noCode = m_dir.filePath("nocode.png");
        QVERIFY(image.save(noCode));
        const QString missing = m_dir.filePath("missing.png");
        QTest::newRow("image without code") << noCode << QString::fromUtf8("На изображении не найден QR-код");
        QTest::newRow("missing file") << missing << missing;
    }

    void reportsFailure()
    {
        QFETCH(QString, path);
        QFETCH(QString, error);
        QRImageDecoder decoder;
        // A previous success must not linger as the current text.
        QVERIFY(decoder.decodeFile(encode("otpauth://totp/x?secret=JBSWY3DPEHPK3PXP", "prev.png")));
        QSignalSpy errorSpy(&decoder, &QRImageDecoder::errorStringChanged);
        QVERIFY(!decoder.decodeFile(path));
        QVERIFY(decoder.text().isEmpty());
        QVERIFY2(decoder.errorString().contains(error), qPrintable(decoder.errorString()));
        QCOMPARE(errorSpy.count(), 1);
        QVERIFY(!decoder.decodeImage(QImage()));
    }

    // What the code item paints is read back by the same decoder.
    void paintsReadableCode_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("valid");
        QTest::newRow("account")
            << "otpauth://totp/%D0%91%D0%B0%D0%BD%D0%BA:bob?secret=JBSWY3DPEHPK3PXP&period=30" << true;
        QTest::newRow("full transfer code")
            << "otpauth-migration://offline?data=" + QString(1300, 'A') + "%2B%2F%3D" << true;
        QTest::newRow("beyond a QR code") << QString(3000, 'x') << false;
        QTest::newRow("empty") << QString() << false;
    }

    void paintsReadableCode()
    {
        QFETCH(QString, text);
        QFETCH(bool, valid);
        QRCodeItem item;
        QSignalSpy changed(&item, &QRCodeItem::textChanged);
        item.setText(text);
        item.setText(text);
        QCOMPARE(changed.size(), text.isEmpty() ? 0 : 1);
        QCOMPARE(item.isValid(), valid);

        // A view larger than the code and not square: whole pixels a module, centred.
        item.setSize(QSizeF(700, 560));
        QImage canvas(700, 560, QImage::Format_RGB32);
        canvas.fill(Qt::white);
        QPainter painter(&canvas);
        item.paint(&painter);
        painter.end();
        QCOMPARE(QRImageDecoder::decode(canvas), valid ? text : QString());
    }
};

QTEST_MAIN(TestQRImageDecoder)
#include "tst_qrimagedecoder.moc"
