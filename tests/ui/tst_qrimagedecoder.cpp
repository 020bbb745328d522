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

    QString m_previous;

    // The path written, or an empty string.
    static QString encode(const QString &text, const QString &path)
    {
        QProcess qrencode;
        qrencode.start("qrencode", {"-t", "PNG", "-s", "4", "-o", path, text});
        if (!qrencode.waitForFinished(10000) || qrencode.exitCode() != 0) {
            return QString();
        }
        return path;
    }

private slots:
    void initTestCase()
    {
        m_previous = encode("otpauth://totp/x?secret=JBSWY3DPEHPK3PXP", m_dir.filePath("previous.png"));
        QVERIFY2(!m_previous.isEmpty(), "qrencode failed");
    }

    // A file whose code is read, or the error it gives (and no code).
    void decodesFile_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("variant");
        QTest::addColumn<QString>("error");
        const QString totp = QString::fromUtf8("otpauth://totp/Банк:Мария?secret=JBSWY3DPEHPK3PXP&issuer=Банк"
                                               "&algorithm=SHA256&digits=8&period=60");
        const QString ticket = "orbticket://5f0c3a9e-11aa-4bd2-9c1e-0a1b2c3d4e5f?address=https://"
                               "auth.example.org:8443/vexa&pin=1234&key=MDEyMzQ1Njc4OWFiY2RlZg==";
        QTest::newRow("otpauth uri, cyrillic label") << totp << "plain" << QString();
        QTest::newRow("ticket, file url") << ticket << "url" << QString();
        QTest::newRow("dark theme, inverted") << totp << "inverted" << QString();
        QTest::newRow("transparent background") << ticket << "transparent" << QString();
        QTest::newRow("photo-like, rotated and scaled") << totp << "photo" << QString();
        QTest::newRow("image without code")
            << QString() << "photo" << QString::fromUtf8("На изображении не найден QR-код");
        QTest::newRow("missing file") << QString() << "missing" << m_dir.filePath("missing.png");
    }

    void decodesFile()
    {
        QFETCH(QString, text);
        QFETCH(QString, variant);
        QFETCH(QString, error);
        QString path = m_dir.filePath(QString(QTest::currentDataTag()).replace(' ', '_') + ".png");
        if (!text.isEmpty()) {
            QVERIFY2(encode(text, path) == path, "qrencode failed");
        }
        QImage image(path);
        if (variant == "inverted") {
            image = image.convertToFormat(QImage::Format_RGB32);
            image.invertPixels();
            QVERIFY(image.save(path));
        } else if (variant == "transparent") {
            // Dark modules on fully transparent pixels whose colour is black.
            QImage alpha = image.convertToFormat(QImage::Format_Grayscale8);
            alpha.invertPixels();
            image = QImage(image.size(), QImage::Format_ARGB32);
            image.fill(Qt::black);
            image.setAlphaChannel(alpha);
            QVERIFY(image.save(path));
        } else if (variant == "photo") {
            // A photo-like background with digits and a dark square, the code (if any) turned and
            // scaled onto it.
            QImage canvas(900, 700, QImage::Format_RGB32);
            canvas.fill(QColor(200, 190, 180));
            QPainter painter(&canvas);
            painter.drawText(20, 150, "123 456");
            painter.fillRect(200, 50, 80, 80, Qt::black);
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
        } else if (variant == "missing") {
            path = error;
        }
        QRImageDecoder decoder;
        // A previous success must not linger as the current text.
        QVERIFY(decoder.decodeFile(m_previous));
        QSignalSpy textSpy(&decoder, &QRImageDecoder::textChanged);
        QSignalSpy errorSpy(&decoder, &QRImageDecoder::errorStringChanged);
        QCOMPARE(decoder.decodeFile(path), error.isEmpty());
        QCOMPARE(decoder.text(), text);
        QCOMPARE(textSpy.count(), 1);
        QVERIFY2(error.isEmpty() ? decoder.errorString().isEmpty() : decoder.errorString().contains(error),
                 qPrintable(decoder.errorString()));
        QCOMPARE(errorSpy.count(), error.isEmpty() ? 0 : 1);
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
