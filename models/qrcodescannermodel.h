#pragma once

#include <QObject>
#include <QString>

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

private:
    bool m_valid = false;
};
