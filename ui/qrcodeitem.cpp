#include "ui/qrcodeitem.h"

#include <QPainter>

#include <qrencode.h>

#include <memory>

namespace {

const int QUIET_ZONE = 4;

} // namespace

QRCodeItem::QRCodeItem(QQuickItem *parent)
    : QQuickPaintedItem(parent)
{
    setAntialiasing(false);
}

QImage QRCodeItem::render(const QString &text)
{
    if (text.isEmpty()) {
        return QImage();
    }
    const QByteArray utf8 = text.toUtf8();
    // Medium error correction: a phone photographing a screen copes with glare and moiré.
    const std::unique_ptr<QRcode, decltype(&QRcode_free)> code(
        QRcode_encodeData(utf8.size(), reinterpret_cast<const unsigned char *>(utf8.constData()), 0,
                          QR_ECLEVEL_M),
        &QRcode_free);
    if (!code) {
        return QImage();
    }
    const int width = code->width;
    QImage image(width + 2 * QUIET_ZONE, width + 2 * QUIET_ZONE, QImage::Format_Grayscale8);
    image.fill(255);
    for (int y = 0; y < width; ++y) {
        uchar *line = image.scanLine(y + QUIET_ZONE);
        for (int x = 0; x < width; ++x) {
            // The low bit of each module byte is its colour.
            if (code->data[y * width + x] & 1) {
                line[x + QUIET_ZONE] = 0;
            }
        }
    }
    return image;
}

void QRCodeItem::setText(const QString &text)
{
    if (text == m_text) {
        return;
    }
    m_text = text;
    m_image = render(text);
    emit textChanged();
    update();
}

void QRCodeItem::paint(QPainter *painter)
{
    if (m_image.isNull()) {
        return;
    }
    // Whole pixels a module keep the edges sharp.
    const int side = static_cast<int>(qMin(width(), height()));
    const int scale = qMax(1, side / m_image.width());
    const int size = m_image.width() * scale;
    const QRect target((static_cast<int>(width()) - size) / 2, (static_cast<int>(height()) - size) / 2, size,
                       size);
    painter->setRenderHint(QPainter::SmoothPixmapTransform, false);
    painter->drawImage(target, m_image);
}
