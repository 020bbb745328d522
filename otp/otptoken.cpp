#include "otp/otptoken.h"

#include <QDebug>

#include <cstdlib>

namespace {

struct TypeLimits
{
    unsigned char defaultDigits;
    unsigned char minDigits;
    unsigned char maxDigits;
    unsigned int defaultPeriod;
    unsigned int minPeriod;
    unsigned int maxPeriod;
    unsigned int maxCounter;
    unsigned char defaultAlgorithm;
};

// Rows by token type 0..3; any other type reads as all zero.
const TypeLimits LIMITS[4] = {
    {0, 3, 10, 0, 1, 120, 4294967295U, 0},
    {6, 3, 10, 30, 1, 120, 0, 1},
    {6, 3, 10, 0, 0, 0, 4294967295U, 1},
    {5, 5, 5, 30, 30, 30, 0, 1},
};
const TypeLimits NO_LIMITS = {0, 0, 0, 0, 0, 0, 0, 0};

const TypeLimits &limits(unsigned char type)
{
    return type < 4 ? LIMITS[type] : NO_LIMITS;
}

long leadingDecimal(const std::string &text)
{
    return std::strtol(text.c_str(), nullptr, 10);
}

// Base32 letters (either case) and digits 2..7, spaces between groups, "=" padding only at the
// end, and enough of them for one byte of key.
bool usableSecret(const std::string &secret)
{
    int quintets = 0;
    bool padding = false;
    for (const char c : secret) {
        if (c == ' ') {
            continue;
        }
        if (c == '=') {
            padding = true;
            continue;
        }
        const bool base32 = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '2' && c <= '7');
        if (!base32 || padding) {
            return false;
        }
        ++quintets;
    }
    return quintets >= 2;
}

} // namespace

OTPToken::OTPToken() = default;

OTPToken::OTPToken(const unsigned char &type)
    : m_type(type)
    , m_digits(defaultDigitLength(type))
    , m_period(defaultPeriod(type))
    , m_algorithm(defaultAlgorithm(type))
{
}

OTPToken::OTPToken(const unsigned char &type, const std::string &label)
    : OTPToken(type)
{
    m_label = label;
}

OTPToken::OTPToken(const unsigned char &type, const std::string &label,
                   const std::vector<unsigned char> &secretBytes, const std::string &secret)
    : OTPToken(type)
{
    m_label = label;
    m_secretBytes = secretBytes;
    m_secret = secret;
}

OTPToken::OTPToken(const unsigned char &type, const std::string &label, const std::string &secret,
                   const unsigned char &digits, const unsigned int &period, const unsigned int &counter,
                   const unsigned char &algorithm)
    : m_type(type)
    , m_label(label)
    , m_secret(secret)
    , m_digits(digits)
    , m_period(period)
    , m_counter(counter)
    , m_algorithm(algorithm)
{
}

OTPToken::OTPToken(const unsigned char &type, const std::string &label, const std::string &secret,
                   const unsigned char &digits, const unsigned int &period, const unsigned char &algorithm)
    : m_type(type)
    , m_label(label)
    , m_secret(secret)
    , m_digits(digits)
    , m_period(period)
    , m_algorithm(algorithm)
{
    qDebug() << "OTPToken constructor";
}

OTPToken::~OTPToken()
{
    m_label.clear();
    m_secretBytes.clear();
    m_secret.clear();
}

unsigned char OTPToken::defaultDigitLength(const unsigned char &type)
{
    return limits(type).defaultDigits;
}

unsigned char OTPToken::minDigitLength(const unsigned char &type)
{
    return limits(type).minDigits;
}

unsigned char OTPToken::maxDigitLength(const unsigned char &type)
{
    return limits(type).maxDigits;
}

unsigned int OTPToken::defaultPeriod(const unsigned char &type)
{
    return limits(type).defaultPeriod;
}

unsigned int OTPToken::minPeriod(const unsigned char &type)
{
    return limits(type).minPeriod;
}

unsigned int OTPToken::maxPeriod(const unsigned char &type)
{
    return limits(type).maxPeriod;
}

unsigned int OTPToken::minCounter(const unsigned char &)
{
    return 0;
}

unsigned int OTPToken::maxCounter(const unsigned char &type)
{
    return limits(type).maxCounter;
}

unsigned char OTPToken::defaultAlgorithm(const unsigned char &type)
{
    return limits(type).defaultAlgorithm;
}

unsigned char OTPToken::typeToType(OTPAuthURI::Type type)
{
    switch (type) {
    case OTPAuthURI::TOTP:
        return 1;
    case OTPAuthURI::HOTP:
        return 2;
    default:
        return 0;
    }
}

unsigned char OTPToken::stringToAlgoritm(const std::string &name)
{
    if (name == "sha1" || name == "sha-1" || name == "SHA1") {
        return 1;
    }
    if (name == "sha256" || name == "sha-256" || name == "SHA256") {
        return 2;
    }
    if (name == "sha512" || name == "sha-512" || name == "SHA512") {
        return 3;
    }
    return 0;
}

unsigned char OTPToken::stringToDigit(const std::string &text)
{
    return static_cast<unsigned char>(leadingDecimal(text));
}

unsigned int OTPToken::stringToPeriod(const std::string &text)
{
    return static_cast<unsigned int>(leadingDecimal(text));
}

unsigned int OTPToken::stringToCounter(const std::string &text)
{
    return static_cast<unsigned int>(leadingDecimal(text));
}

bool OTPToken::validateSecret(const std::string &secret, OTPGenErrorCode *error)
{
    if (!secret.empty()) {
        return true;
    }
    if (error) {
        *error = OTPGenErrorCode::InvalidSecret;
    }
    return false;
}

OTPToken::UriFault OTPToken::checkUri(const OTPAuthURI &uri)
{
    if (!uri.isValid() || (uri.type() != OTPAuthURI::TOTP && uri.type() != OTPAuthURI::HOTP)) {
        return UriFault::NotOtpUri;
    }
    const auto value = [&uri](const char *name) {
        const auto it = uri.params().find(name);
        return it == uri.params().end() ? std::string() : it->second;
    };
    const unsigned char type = typeToType(uri.type());
    const long long digits = OTPAuthURI::DecimalValue(value("digits"));
    if (digits < minDigitLength(type) || digits > maxDigitLength(type)) {
        return UriFault::Digits;
    }
    const long long period = OTPAuthURI::DecimalValue(value("period"));
    if (uri.type() == OTPAuthURI::TOTP && (period < 2 || period > maxPeriod(type))) {
        return UriFault::Period;
    }
    if (stringToAlgoritm(value("algorithm")) == 0) {
        return UriFault::Algorithm;
    }
    if (!usableSecret(value("secret"))) {
        return UriFault::Secret;
    }
    return UriFault::None;
}

void OTPToken::setAlgorithm(const std::string &name)
{
    std::string lower(name);
    for (char &c : lower) {
        if (c >= 'A' && c <= 'Z') {
            c = static_cast<char>(c - 'A' + 'a');
        }
    }
    m_algorithm = stringToAlgoritm(lower);
}

std::string OTPToken::generateToken(OTPGenErrorCode *error) const
{
    const auto fail = [error](OTPGenErrorCode code) {
        if (error) {
            *error = code;
        }
        return std::string();
    };
    if (error) {
        *error = OTPGenErrorCode::NoError;
    }
    if (m_type == 0) {
        return fail(OTPGenErrorCode::InvalidTokenType);
    }
    if (!validateSecret(m_secret, error)) {
        return std::string();
    }

    OTPGenErrorCode e = OTPGenErrorCode::NoError;
    std::string code;
    switch (m_type) {
    case 1:
        code = OTPGenerator::computeTOTP(m_secret, m_digits, m_period, m_algorithm, &e);
        break;
    case 2:
        code = OTPGenerator::computeHOTP(m_secret, m_digits, m_counter, m_algorithm, &e);
        break;
    case 3:
        // Known type without a generator: no code, but nothing is wrong with the parameters.
        return std::string();
    default:
        return fail(OTPGenErrorCode::InvalidTokenType);
    }
    if (!code.empty() && e == OTPGenErrorCode::NoError) {
        return code;
    }
    return fail(e);
}

bool OTPToken::isValid() const
{
    if (m_label.empty()) {
        return false;
    }
    OTPGenErrorCode error = OTPGenErrorCode::NoError;
    const std::string code = generateToken(&error);
    return !code.empty() && error == OTPGenErrorCode::NoError;
}
