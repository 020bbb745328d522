#include "ui/qrcodeitem.h"
#include "ui/qrimagedecoder.h"

#include <QPainter>
#include <QSignalSpy>
#include <QtTest>

// What the item paints is read back by the decoder the add screen uses.
class TestQRCodeItem : public QObject
{
    Q_OBJECT

private slots:
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

QTEST_MAIN(TestQRCodeItem)
#include "tst_qrcodeitem.moc"
