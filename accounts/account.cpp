#include "accounts/account.h"
#include "accounts/authaccount.h"
#include "accounts/standartaccaunt.h"
#include "accounts/standartorbaccount.h"

#include "accounts/accountclock.h"
#include "otp/otpauthuri.h"
#include "otp/otpgenerator.h"

#include <QDebug>
#include <QJsonValue>
#include <QStringList>
#include <QUrl>
#include <stdexcept>

namespace {

const char *const NO_PASSWORD = "- - - -";
const char *const SEPARATOR = "=============================";
const char *const MASK = "***";

void logBanner(const char *text)
{
    qDebug() << SEPARATOR;
    qDebug() << text;
    qDebug() << SEPARATOR;
}

std::string upperSecret(const std::string &secret)
{
    return QString::fromStdString(secret).toUpper().toStdString();
}

} // namespace

std::atomic<int> Account::lastInternalID{0};

Account::Account()
    : m_id(-1)
    , m_password(NO_PASSWORD)
{
}

Account::Account(Account::AccountType type, const QString &uri)
    : m_accountType(type)
    , m_id(lastInternalID.fetch_add(1))
    , m_uri(uri)
    , m_password(NO_PASSWORD)
{
    construct();
}

Account::~Account() = default;

void Account::construct()
{
    qDebug() << "[Account] Begin construct ";
    qDebug() << "[Account] Begin construct for URI:" << maskedUri(m_uri);

    const OTPAuthURI parsed(m_uri.toUtf8().toStdString());
    if (!parsed.isValid()) {
        logBanner("=======OTP invalid data======");
        return;
    }
    const int uriType = parsed.type();
    if (uriType < OTPAuthURI::TOTP || uriType > OTPAuthURI::OrbTicket) {
        logBanner("==== OTP unsupported data ===");
        return;
    }

    const auto &params = parsed.params();
    if (uriType == OTPAuthURI::OrbTicket) {
        const auto address = params.find("address");
        const auto reqID = params.find("reqID");
        // A ticket is useless without its server and request id; the server is reached over the
        // web only, never as a file or another scheme the network layer might know.
        const QUrl server(address == params.end() ? QString() : QString::fromStdString(address->second),
                          QUrl::StrictMode);
        const bool web =
            server.scheme() == QLatin1String("http") || server.scheme() == QLatin1String("https");
        if (!web || server.host().isEmpty() || reqID == params.end() || reqID->second.empty()) {
            logBanner("=======OTP invalid data======");
            return;
        }
        m_tokenType = TokenTicket;
        m_address = QString::fromStdString(address->second);
        m_reqID = QString::fromStdString(reqID->second);
        m_pin = QString::fromStdString(parsed.pin());
        m_key = QString::fromStdString(parsed.key());
        qDebug() << SEPARATOR;
        qDebug() << "==== OTP addres:" << m_address;
        qDebug() << "==== OTP reqID:" << m_reqID;
        qDebug() << "==== OTP pin:" << (m_pin.isEmpty() ? m_pin : QString(MASK));
        qDebug() << SEPARATOR;
        m_uriParsed = true;
        return;
    }

    unsigned char digits = 0;
    unsigned int period = 0;
    unsigned int counter = 0;
    try {
        digits = parsed.digitsNumber();
        period = parsed.periodNumber();
        counter = parsed.counterNumber();
    } catch (const std::logic_error &) {
        // Numbers that do not convert make the URI unusable, not the program.
        logBanner("=======OTP invalid data======");
        return;
    }
    const auto algorithmParam = params.find("algorithm");
    const unsigned char algorithm =
        OTPToken::stringToAlgoritm(algorithmParam == params.end() ? std::string() : algorithmParam->second);
    const unsigned char tokenType = OTPToken::typeToType(parsed.type());
    const auto secret = params.find("secret");
    m_otpToken = OTPToken(tokenType, parsed.label(), secret == params.end() ? std::string() : secret->second,
                          digits, period, counter, algorithm);
    if (uriType == OTPAuthURI::TOTP) {
        m_tokenType = TokenTOTP;
        m_period = QString::fromStdString(parsed.period());
    } else {
        m_tokenType = TokenHOTP;
        m_counter = static_cast<int>(counter);
    }
    const QStringList parts = QString::fromStdString(parsed.label()).split(':', Qt::KeepEmptyParts);
    if (parts.size() == 2) {
        m_issuer = parts.at(0);
        m_user = parts.at(1);
    }
    m_uriParsed = true;
}

Account *Account::CreateStandartAccount(const QString &uri)
{
    return new StandartAccaunt(uri);
}

Account *Account::CreateStandartOrbAccount(const QString &uri, const QString &address,
                                           const QString &tokenUID)
{
    return new StandartOrbAccount(uri, address, tokenUID);
}

Account *Account::CreateAuthAccount(const QString &uri, const QString &address, const QString &reqID,
                                    const QString &tokenUID, const QString &authKey)
{
    return new AuthAccount(uri, address, reqID, tokenUID, authKey);
}

Account *Account::CreateAccountFromJson(const QJsonObject &object)
{
    switch (object.value("Type").toInt(0)) {
    case TypeStandart:
        return new StandartAccaunt(object);
    case TypeStandartOrb:
        return new StandartOrbAccount(object);
    case TypeAuth:
        return new AuthAccount(object);
    default:
        return nullptr;
    }
}

void Account::setPassword(const QString &password)
{
    if (password == m_password) {
        return;
    }
    m_password = password;
    m_lockedOTP = false;
    emit passwordChanged();
}

void Account::UpdatePass()
{
    if (m_otpToken.type() != TokenTOTP) {
        return;
    }
    const long now = static_cast<long>(AccountClock::secsSinceEpoch());
    const unsigned int period = m_otpToken.period();
    // The step is the counter the code is made from; the token never changes after construction.
    const qint64 step = period == 0 ? -1 : static_cast<qint64>(static_cast<quint32>(now) / period);
    if (step >= 0 && step == m_passStep && m_password == m_passCode) {
        return;
    }
    OTPGenErrorCode error = OTPGenErrorCode::NoError;
    const std::string code = OTPGenerator::computeTOTP(
        now, upperSecret(m_otpToken.secret()), m_otpToken.digits(), period, m_otpToken.algorithm(), &error);
    setPassword(QString::fromStdString(code));
    m_passStep = step;
    m_passCode = m_password;
}

void Account::IncrementCounter()
{
    if (m_otpToken.type() != TokenHOTP) {
        return;
    }
    // Unsigned arithmetic: the counter wraps like the 32-bit moving factor it is.
    m_counter = static_cast<int>(static_cast<unsigned int>(m_counter) + 1u);
    OTPGenErrorCode error = OTPGenErrorCode::NoError;
    const std::string code =
        OTPGenerator::computeHOTP(upperSecret(m_otpToken.secret()), m_otpToken.digits(),
                                  static_cast<unsigned int>(m_counter), m_otpToken.algorithm(), &error);
    setPassword(QString::fromStdString(code));
}

int Account::GetTimeout()
{
    const unsigned int period = m_otpToken.period();
    if (period == 0) {
        return 0;
    }
    const auto now = static_cast<quint32>(AccountClock::secsSinceEpoch());
    return static_cast<int>(period - now % period);
}

int Account::GetTimeoutProgress()
{
    const unsigned int period = m_otpToken.period();
    if (m_otpToken.type() == TokenHOTP || period == 0) {
        return 100;
    }
    const auto now = static_cast<quint32>(AccountClock::secsSinceEpoch());
    const unsigned int rest = now % period;
    return static_cast<int>(100.0f - (static_cast<float>(rest) / static_cast<float>(period)) * 100.0f);
}

QString Account::NextPassword() const
{
    const unsigned int period = m_otpToken.period();
    if (m_otpToken.type() != TokenTOTP || period == 0) {
        return QString();
    }
    const long next = static_cast<long>(AccountClock::secsSinceEpoch()) + static_cast<long>(period);
    // Read every second near the end of a period; it changes once a period.
    const qint64 step = static_cast<qint64>(static_cast<quint32>(next) / period);
    if (step == m_nextStep) {
        return m_nextCode;
    }
    OTPGenErrorCode error = OTPGenErrorCode::NoError;
    const std::string code = OTPGenerator::computeTOTP(
        next, upperSecret(m_otpToken.secret()), m_otpToken.digits(), period, m_otpToken.algorithm(), &error);
    m_nextStep = step;
    m_nextCode = QString::fromStdString(code);
    return m_nextCode;
}

bool Account::Rename(const QString &issuer, const QString &user)
{
    if (issuer.contains(':') || user.contains(':') || issuer.size() > MAX_NAME_LENGTH ||
        user.size() > MAX_NAME_LENGTH) {
        return false;
    }
    const OTPAuthURI parsed(m_uri.toUtf8().toStdString());
    if (parsed.type() != OTPAuthURI::TOTP && parsed.type() != OTPAuthURI::HOTP) {
        return false;
    }
    // "otpauth://type/label?query": only the label and the issuer parameter change.
    const int slash = m_uri.indexOf('/', static_cast<int>(OTPAuthURI::OTPAUTH_PREFIX.size()));
    const int question = m_uri.indexOf('?', slash + 1);
    const QString label =
        QString::fromLatin1(QUrl::toPercentEncoding(issuer) + ':' + QUrl::toPercentEncoding(user));
    QString uri = m_uri.left(slash + 1) + label;
    if (question >= 0) {
        QStringList pairs = m_uri.mid(question + 1).split('&');
        for (QString &pair : pairs) {
            if (pair.startsWith(QLatin1String("issuer="))) {
                pair = QStringLiteral("issuer=") + QString::fromLatin1(QUrl::toPercentEncoding(issuer));
            }
        }
        uri += '?' + pairs.join('&');
    }
    m_uri = uri;
    m_issuer = issuer;
    m_user = user;
    return true;
}

QJsonObject Account::toJsonObject() const
{
    QJsonObject object;
    object.insert("Type", static_cast<int>(m_accountType));
    object.insert("Issuer", m_issuer);
    object.insert("User", m_user);
    object.insert("Period", m_period);
    object.insert("Counter", m_counter);
    object.insert("Secret", QString::fromStdString(upperSecret(m_otpToken.secret())));
    object.insert("URI", m_uri);
    object.insert("reqID", m_reqID);
    object.insert("addres", m_address);
    object.insert("tokenUID", m_tokenUID);
    object.insert("authKey", m_authKey);
    // Nothing here could be rebuilt from an unparsable URI: a save must not empty the fields.
    for (auto it = m_storedFields.constBegin(); it != m_storedFields.constEnd(); ++it) {
        if (it.key() != QLatin1String("token")) {
            object.insert(it.key(), it.value());
        }
    }
    return object;
}

void Account::restoreStored(const QJsonObject &object)
{
    restoreCounter(object);
    if (!m_uriParsed) {
        m_storedFields = object;
        m_issuer = object.value("Issuer").toString();
        m_user = object.value("User").toString();
    }
}

void Account::restoreCounter(const QJsonObject &object)
{
    if (m_otpToken.type() != TokenHOTP) {
        return;
    }
    // Counters past 2^31 are stored negative by the 32-bit field; both forms restore.
    const QJsonValue value = object.value("Counter");
    if (!value.isDouble()) {
        return;
    }
    const double stored = value.toDouble();
    if (stored >= -2147483648.0 && stored <= 4294967295.0) {
        m_counter = static_cast<int>(static_cast<quint32>(static_cast<qint64>(stored)));
    }
}

QString Account::maskedUri(const QString &uri)
{
    const int query = uri.indexOf('?');
    if (query < 0) {
        return uri;
    }
    QStringList pairs = uri.mid(query + 1).split('&');
    for (QString &pair : pairs) {
        const int eq = pair.indexOf('=');
        const QString name = pair.left(eq).toLower();
        if (eq >= 0 && (name == "secret" || name == "pin" || name == "key")) {
            pair = pair.left(eq + 1) + MASK;
        }
    }
    return uri.left(query + 1) + pairs.join('&');
}
