#ifndef KESTREL_UI_QRIMAGEDECODER_H
#define KESTREL_UI_QRIMAGEDECODER_H

#include <QImage>
#include <QObject>
#include <QString>

// Turns a picture of a QR code (a screenshot, a photo, a camera frame) into the code's text, so
// that the add screen can hand it to QRCodeScannerModel like a scanned code.
class QRImageDecoder : public QObject
{
    Q_OBJECT
    Q_PROPERTY(QString text READ text NOTIFY textChanged)
    Q_PROPERTY(QString errorString READ errorString NOTIFY errorStringChanged)

public:
    explicit QRImageDecoder(QObject *parent = nullptr);

    // The text of the first QR code found in the image, or an empty text with a message
    // for the user in *error.
    static QString decode(const QImage &image, QString *error = nullptr);

    // Accepts a local path or a "file:" URL, as file pickers in QML give them.
    Q_INVOKABLE bool decodeFile(const QString &pathOrUrl);
    Q_INVOKABLE bool decodeImage(const QImage &image);

    QString text() const { return m_text; }
    QString errorString() const { return m_errorString; }

signals:
    void textChanged();
    void errorStringChanged();

private:
    bool setResult(const QString &text, const QString &error);

    QString m_text;
    QString m_errorString;
};

#endif // KESTREL_UI_QRIMAGEDECODER_H
