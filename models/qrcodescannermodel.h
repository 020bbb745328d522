#ifndef KESTREL_MODELS_QRCODESCANNERMODEL_H
#define KESTREL_MODELS_QRCODESCANNERMODEL_H

#include <QObject>
#include <QString>

class OTPAuthURI;

// Judges a decoded QR text: is it a usable "otpauth://" or "orbticket://" URI, or a readable
// "otpauth-migration://" transfer code? Adding the accounts is the accounts list model's business.
class QRCodeScannerModel : public QObject
{
    Q_OBJECT

public:
    explicit QRCodeScannerModel(QObject *parent = nullptr);

    Q_INVOKABLE void onQRCodeScanned(const QString &qrCode);
    // The result of the last scan; false before the first one.
    Q_INVOKABLE bool isValid();
    // Why the last scan is not usable, for the user; empty when it is.
    Q_INVOKABLE QString message() const { return m_message; }

    // The user's text for a URI that can never give an account (not a code of either scheme, a
    // ticket without server or request, OTP parameters that can never give a right code);
    // empty for a usable one. The accounts list model refuses the same URIs.
    static QString unusableMessage(const OTPAuthURI &uri);

private:
    bool m_valid = false;
    QString m_message;
};

#endif // KESTREL_MODELS_QRCODESCANNERMODEL_H
