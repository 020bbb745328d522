#ifndef KESTREL_UI_QRCODEITEM_H
#define KESTREL_UI_QRCODEITEM_H

#include <QImage>
#include <QQuickPaintedItem>
#include <QString>

// Draws a text as a QR code (libqrencode), for another phone's camera: an account's own
// "otpauth://" code and the transfer codes. Registered as "QRCode" under "ru.kestrel.ui". Lives on
// the GUI thread; the text is a secret and never logged.
class QRCodeItem : public QQuickPaintedItem
{
    Q_OBJECT
    Q_PROPERTY(QString text READ text WRITE setText NOTIFY textChanged)
    // False when there is no text or it does not fit in a QR code.
    Q_PROPERTY(bool valid READ isValid NOTIFY textChanged)

public:
    explicit QRCodeItem(QQuickItem *parent = nullptr);

    // One pixel a module, black on white, with the four-module quiet zone that readers need; a
    // null image for a text that does not fit.
    static QImage render(const QString &text);

    QString text() const { return m_text; }
    void setText(const QString &text);
    bool isValid() const { return !m_image.isNull(); }

    void paint(QPainter *painter) override;

signals:
    void textChanged();

private:
    QString m_text;
    QImage m_image;
};

#endif // KESTREL_UI_QRCODEITEM_H
