#include "models/qrcodescannermodel.h"

#include "backup/migrationcodes.h"
#include "otp/otpauthuri.h"
#include "otp/otptoken.h"

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
        m_message = MigrationCodes::read(qrCode).error;
        m_valid = m_message.isEmpty();
        qDebug() << "==== transfer code" << (m_valid ? "readable" : "damaged");
        qDebug() << "QRCodeScannerModel::onQRCodeScanned end";
        return;
    }
    const OTPAuthURI uri(qrCode.toUtf8().toStdString());
    m_message = unusableMessage(uri);
    m_valid = m_message.isEmpty();

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

QString QRCodeScannerModel::unusableMessage(const OTPAuthURI &uri)
{
    if (uri.isValid() && uri.type() == OTPAuthURI::OrbTicket) {
        // A ticket without a server address or request id cannot be registered.
        if (param(uri, "address").isEmpty() || param(uri, "reqID").isEmpty()) {
            return tr("Невозможно зарегистрировать аккаунт: в QR-коде нет адреса сервера или "
                      "идентификатора запроса.");
        }
        return QString();
    }
    switch (OTPToken::checkUri(uri)) {
    case OTPToken::UriFault::None:
        return QString();
    case OTPToken::UriFault::NotOtpUri:
        return tr("Это не QR-код аккаунта. Нужна ссылка вида otpauth://totp/…, otpauth://hotp/…, "
                  "код переноса otpauth-migration://… или билет orbticket://…");
    case OTPToken::UriFault::Digits:
        return tr("Невозможно добавить аккаунт: в коде должно быть от 3 до 10 цифр.");
    case OTPToken::UriFault::Period:
        return tr("Невозможно добавить аккаунт: период смены кода должен быть от 2 до 120 секунд.");
    case OTPToken::UriFault::Algorithm:
        return tr("Невозможно добавить аккаунт: алгоритм должен быть SHA1, SHA256 или SHA512.");
    case OTPToken::UriFault::Secret:
        break;
    }
    return tr("Невозможно добавить аккаунт: секретный ключ слишком короткий или содержит символы "
              "вне Base32 (латинские буквы и цифры от 2 до 7).");
}

bool QRCodeScannerModel::isValid()
{
    return m_valid;
}
