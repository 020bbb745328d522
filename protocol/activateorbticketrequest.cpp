#include "protocol/activateorbticketrequest.h"

#include "accounts/account.h"
#include "otp/otpgenerator.h"
#include "protocol/aesgcm.h"
#include "protocol/registerorbaccountoperation.h"

#include <QCoreApplication>
#include <QDebug>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLocale>
#include <QThread>

namespace {
std::vector<unsigned char> toBytes(const QByteArray &bytes)
{
    return std::vector<unsigned char>(bytes.cbegin(), bytes.cend());
}

QJsonObject parseObject(const QByteArray &bytes)
{
    return QJsonDocument::fromJson(bytes).object();
}
} // namespace

ActivateOrbTicketRequest::ActivateOrbTicketRequest(QString address, QString reqID, QString pin,
                                                   QString language, QString key)
    : Request(RegisterAccount, address)
    , m_pin(pin)
    , m_language(language)
    , m_key(base32_decode(key.toUtf8().toStdString()))
    , m_reqID(reqID)
{
}

QString ActivateOrbTicketRequest::GetCommand() const
{
    return QStringLiteral("/register");
}

QByteArray ActivateOrbTicketRequest::GetDataJson() const
{
    QJsonObject body;
    const bool russian = QLocale::languageToString(QLocale().language()) == QLatin1String("Russian");
    body.insert(QStringLiteral("language"), russian ? QStringLiteral("ru") : QStringLiteral("en"));
    body.insert(QStringLiteral("reqID"), m_reqID);
    return QJsonDocument(body).toJson(QJsonDocument::Compact);
}

OperationRequest *ActivateOrbTicketRequest::CreateOperation(HttpResult::ErrorCode code) const
{
    return new RegisterOrbAccountOperation(m_address, code);
}

void ActivateOrbTicketRequest::DecodeBody(const QByteArray &body, OperationRequest *operation) const
{
    Account *account = ExtractAccountData(body);
    // Only the GUI thread uses the account from now on; an object built here would otherwise
    // stay bound to the HTTP thread.
    if (QCoreApplication *app = QCoreApplication::instance()) {
        account->moveToThread(app->thread());
    }
    static_cast<RegisterOrbAccountOperation *>(operation)->SetAccount(account);
}

Account *ActivateOrbTicketRequest::ExtractAccountData(const QByteArray &body) const
{
    const QJsonObject answer = parseObject(body);
    QJsonValue value;
    if (answer.contains(QStringLiteral("mobileauth"))) {
        value = answer.value(QStringLiteral("mobileauth"));
    }
    if (answer.contains(QStringLiteral("mobileotp"))) {
        value = answer.value(QStringLiteral("mobileotp"));
    }

    if (value.isObject()) {
        return Account::CreateStandartAccount(value.toObject().value(QStringLiteral("otp")).toString());
    }

    const QJsonObject data = parseObject(DecryptOTPData(value.toString()));
    const QString otp = data.value(QStringLiteral("otp")).toString();
    const QString authKey = data.value(QStringLiteral("authkey")).toString();
    const QString tokenUID = data.value(QStringLiteral("tokenUID")).toString();
    if (!authKey.isEmpty()) {
        return Account::CreateAuthAccount(otp, m_address, m_reqID, tokenUID, authKey);
    }
    return Account::CreateStandartOrbAccount(otp, m_address, tokenUID);
}

QByteArray ActivateOrbTicketRequest::DecryptOTPData(QString data) const
{
    const QStringList parts = data.split(QLatin1Char('.'), Qt::KeepEmptyParts);
    if (parts.size() != 3) {
        return QByteArray();
    }
    std::vector<unsigned char> decoded[3];
    for (int i = 0; i < 3; ++i) {
        const QByteArray::FromBase64Result part = QByteArray::fromBase64Encoding(
            parts.at(i).toUtf8(), QByteArray::Base64UrlEncoding | QByteArray::AbortOnBase64DecodingErrors);
        if (!part) {
            return QByteArray();
        }
        decoded[i] = toBytes(part.decoded);
    }
    const std::string plaintext =
        aes_128_gcm_decrypt_custom(decoded[0], decoded[2], decoded[1], toBytes(m_key));
    return QByteArray(plaintext.data(), static_cast<int>(plaintext.size()));
}
