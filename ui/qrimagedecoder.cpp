#include "ui/qrimagedecoder.h"

#include <QPainter>
#include <QUrl>

#define ZX_USE_UTF8
#include <ZXing/ReadBarcode.h>

namespace {

QString tryDecode(const QImage &gray)
{
    const ZXing::ImageView view(gray.constBits(), gray.width(), gray.height(), ZXing::ImageFormat::Lum,
                                gray.bytesPerLine());
    const auto hints = ZXing::DecodeHints()
                           .setFormats(ZXing::BarcodeFormat::QRCode)
                           .setTryHarder(true)
                           .setTryRotate(true)
                           .setTryDownscale(true);
    const ZXing::Result result = ZXing::ReadBarcode(view, hints);
    if (!result.isValid()) {
        return QString();
    }
    return QString::fromStdString(result.text());
}

} // namespace

QRImageDecoder::QRImageDecoder(QObject *parent)
    : QObject(parent)
{
}

QString QRImageDecoder::decode(const QImage &image, QString *error)
{
    if (image.isNull()) {
        if (error) {
            *error = tr("Изображение не удалось прочитать");
        }
        return QString();
    }
    QImage flat = image;
    // Codes cut from web pages often sit on a transparent background that would turn black.
    if (image.hasAlphaChannel()) {
        flat = QImage(image.size(), QImage::Format_RGB32);
        flat.fill(Qt::white);
        QPainter painter(&flat);
        painter.drawImage(0, 0, image);
    }
    QImage gray = flat.convertToFormat(QImage::Format_Grayscale8);
    QString text = tryDecode(gray);
    if (text.isEmpty()) {
        // Light modules on a dark background, as in screenshots of dark themes.
        gray.invertPixels();
        text = tryDecode(gray);
    }
    if (text.isEmpty() && error) {
        *error = tr("На изображении не найден QR-код");
    }
    return text;
}

bool QRImageDecoder::decodeFile(const QString &pathOrUrl)
{
    const QUrl url(pathOrUrl);
    const QString path = url.isLocalFile() ? url.toLocalFile() : pathOrUrl;
    QImage image;
    if (!image.load(path)) {
        return setResult(QString(), tr("Не удалось открыть изображение: %1").arg(path));
    }
    return decodeImage(image);
}

bool QRImageDecoder::decodeImage(const QImage &image)
{
    QString error;
    const QString text = decode(image, &error);
    return setResult(text, error);
}

bool QRImageDecoder::setResult(const QString &text, const QString &error)
{
    if (m_text != text) {
        m_text = text;
        emit textChanged();
    }
    if (m_errorString != error) {
        m_errorString = error;
        emit errorStringChanged();
    }
    return !text.isEmpty();
}
