#include "models/qrcodescannermodel.h"

#include "backup/migrationcodes.h"
#include "otp/otpauthuri.h"

#include <QDebug>

namespace {

const char *const RULER = "=============================";

QString param(const OTPAuthURI &uri, const char *name)
{
    const auto it = uri.params().find(name);
    return it == uri.params().end() ? QString("") : QString::fromStdString(it->second);
}

// Secrets never reach the log; an absent value still shows as empty so the line tells that apart.
QString masked(const QString &value)
{
    return value.isEmpty() ? value : QStringLiteral("***");
}

} // namespace

QRCodeScannerModel::QRCodeScannerModel(QObject *parent)
    : QObject(parent)
{
}

void QRCodeScannerModel::onQRCodeScanned(const QString &qrCode)
{
    qDebug() << "QRCodeScannerModel::onQRCodeScanned begin";
    if (MigrationCodes::isMigrationText(qrCode)) {
        m_valid = MigrationCodes::read(qrCode).error.isEmpty();
        qDebug() << "==== transfer code" << (m_valid ? "readable" : "damaged");
        qDebug() << "QRCodeScannerModel::onQRCodeScanned end";
        return;
    }
    const OTPAuthURI uri(qrCode.toUtf8().toStdString());
    m_valid = uri.isValid();
    // A ticket without a server address or request id cannot be registered, so it is no usable code.
    if (m_valid && uri.type() == OTPAuthURI::OrbTicket &&
        (param(uri, "address").isEmpty() || param(uri, "reqID").isEmpty())) {
        m_valid = false;
    }

    if (!m_valid) {
        qDebug() << RULER;
        qDebug() << "=======OTP invalid data======";
        qDebug() << RULER;
    } else if (uri.type() == OTPAuthURI::OrbTicket) {
        qDebug() << RULER;
        qDebug() << "==== OTP addres:" << param(uri, "address");
        qDebug() << "==== OTP reqID:" << param(uri, "reqID");
        qDebug() << "==== OTP pin:" << masked(param(uri, "pin"));
        qDebug() << RULER;
    } else if (uri.type() == OTPAuthURI::TOTP || uri.type() == OTPAuthURI::HOTP) {
        qDebug() << RULER;
        qDebug() << "==== OTP label:" << QString::fromStdString(uri.label());
        qDebug() << "==== OTP secret:" << masked(param(uri, "secret"));
        qDebug() << "==== OTP algorithm:" << param(uri, "algorithm");
        qDebug() << "==== OTP digits:" << param(uri, "digits");
        if (uri.type() == OTPAuthURI::TOTP) {
            qDebug() << "==== OTP period:" << param(uri, "period");
            qDebug() << RULER;
        } else {
            qDebug() << "==== OTP counter:" << param(uri, "counter");
        }
    }
    qDebug() << "QRCodeScannerModel::onQRCodeScanned end";
}

bool QRCodeScannerModel::isValid()
{
    return m_valid;
}
