#include "otp/otpauthuri.h"

#include <QDebug>
#include <QString>

#include <algorithm>
#include <cstdint>
#include <limits>
#include <stdexcept>

const std::string OTPAuthURI::OTPAUTH_PREFIX = "otpauth://";
const std::string OTPAuthURI::ORBTICKET_PREFIX = "orbticket://";

namespace {

int hexValue(char c)
{
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    if (c >= 'a' && c <= 'f') {
        return c - 'a' + 10;
    }
    if (c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    return -1;
}

bool isUnreserved(unsigned char c)
{
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-' ||
           c == '_' || c == '.' || c == '~';
}

bool isAsciiSpace(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

// std::stoul, failing as it does, plus out of range above 32 bits.
unsigned int toUInt32(const std::string &text)
{
    const unsigned long value = std::stoul(text, nullptr, 10);
    if (value > std::numeric_limits<std::uint32_t>::max()) {
        throw std::out_of_range("OTPAuthURI: value does not fit in 32 bits");
    }
    return static_cast<unsigned int>(value);
}

const std::string &lookup(const std::map<std::string, std::string> &params, const std::string &name,
                          const std::string &empty)
{
    const auto it = params.find(name);
    return it == params.end() ? empty : it->second;
}

// Ticket parameters that open the account; their values never reach the log.
bool isSecretTicketParam(const std::string &name)
{
    return name == "key" || name == "pin";
}

} // namespace

long long OTPAuthURI::DecimalValue(const std::string &text)
{
    std::size_t begin = 0;
    std::size_t end = text.size();
    while (begin < end && isAsciiSpace(text[begin])) {
        ++begin;
    }
    while (end > begin && isAsciiSpace(text[end - 1])) {
        --end;
    }
    if (begin == end) {
        return -1;
    }
    std::uint64_t value = 0;
    for (std::size_t i = begin; i < end; ++i) {
        const char c = text[i];
        if (c < '0' || c > '9') {
            return -1;
        }
        value = value * 10 + static_cast<unsigned>(c - '0');
        if (value > std::numeric_limits<std::uint32_t>::max()) {
            return -1;
        }
    }
    return static_cast<long long>(value);
}

OTPAuthURI::UriComponent::UriComponent(const std::string &value, const std::string &prefix)
    : m_prefix(prefix)
    , m_value(value)
{
    if (value.size() >= prefix.size() && value.compare(0, prefix.size(), prefix) == 0) {
        m_value.erase(0, prefix.size());
    } else {
        m_prefix.clear();
    }
}

std::string OTPAuthURI::UriComponent::decoded() const
{
    std::string out = m_prefix;
    out.reserve(m_prefix.size() + m_value.size());
    const std::size_t size = m_value.size();
    for (std::size_t i = 0; i < size; ++i) {
        const char c = m_value[i];
        if (c == '%') {
            // Up to two characters, read as far as they are hexadecimal digits.
            const std::size_t available = std::min<std::size_t>(2, size - i - 1);
            int value = 0;
            std::size_t digits = 0;
            while (digits < available) {
                const int v = hexValue(m_value[i + 1 + digits]);
                if (v < 0) {
                    break;
                }
                value = value * 16 + v;
                ++digits;
            }
            if (digits == 0) {
                // Not an escape: the "%" stays as written.
                out.push_back('%');
                continue;
            }
            out.push_back(static_cast<char>(value & 0xFF));
            i += available;
        } else if (c == '+') {
            out.push_back(' ');
        } else {
            out.push_back(c);
        }
    }
    return out;
}

std::string OTPAuthURI::UriComponent::encoded() const
{
    static const char HEX[] = "0123456789ABCDEF";
    std::string out = m_prefix;
    for (const char ch : m_value) {
        const unsigned char c = static_cast<unsigned char>(ch);
        if (c == 0) {
            break;
        }
        if (isUnreserved(c)) {
            out.push_back(ch);
        } else {
            out.push_back('%');
            out.push_back(HEX[c >> 4]);
            out.push_back(HEX[c & 0x0F]);
        }
    }
    return out;
}

OTPAuthURI::OTPAuthURI() = default;

OTPAuthURI::OTPAuthURI(const std::string &text)
{
    if (text.size() >= OTPAUTH_PREFIX.size() && text.compare(0, OTPAUTH_PREFIX.size(), OTPAUTH_PREFIX) == 0) {
        m_uri = text.substr(OTPAUTH_PREFIX.size());
        parceOTP();
    } else if (text.size() >= ORBTICKET_PREFIX.size() &&
               text.compare(0, ORBTICKET_PREFIX.size(), ORBTICKET_PREFIX) == 0) {
        m_uri = text.substr(ORBTICKET_PREFIX.size());
        parceORB();
    }
}

void OTPAuthURI::setTypeEnum(const std::string &word)
{
    if (word == "totp") {
        m_type = TOTP;
    } else if (word == "hotp") {
        m_type = HOTP;
    } else {
        m_type = Invalid;
    }
}

void OTPAuthURI::parceOTP()
{
    if (m_uri.empty()) {
        return;
    }
    const std::size_t slash = m_uri.find('/');
    if (slash == std::string::npos) {
        setTypeEnum(m_uri);
        return;
    }
    setTypeEnum(m_uri.substr(0, slash));
    if (m_type == Invalid) {
        return;
    }

    const std::size_t question = m_uri.find('?', slash + 1);
    if (question == std::string::npos) {
        m_label = UriComponent(m_uri.substr(slash + 1), OTPAUTH_PREFIX).decoded();
        return;
    }
    m_label = UriComponent(m_uri.substr(slash + 1, question - slash - 1), OTPAUTH_PREFIX).decoded();

    const std::string query = m_uri.substr(question + 1);
    if (query.empty() || query.find('=') == std::string::npos) {
        return;
    }

    std::size_t start = 0;
    while (start <= query.size()) {
        std::size_t end = query.find('&', start);
        if (end == std::string::npos) {
            end = query.size();
        }
        const std::size_t eq = query.find('=', start);
        if (eq != std::string::npos && eq < end) {
            const std::string name = query.substr(start, eq - start);
            std::string value = query.substr(eq + 1, end - eq - 1);
            if (name == "issuer") {
                value = UriComponent(value, OTPAUTH_PREFIX).decoded();
            }
            m_params.emplace(name, std::move(value));
        }
        start = end + 1;
    }

    if (m_params.empty()) {
        return;
    }
    if (m_params.find("secret") == m_params.end() ||
        (m_type == HOTP && m_params.find("counter") == m_params.end())) {
        m_params.clear();
        return;
    }
    m_params.emplace("algorithm", "SHA1");
    m_params.emplace("digits", "6");
    if (m_type == TOTP) {
        m_params.emplace("period", "30");
        m_params.emplace("counter", "0");
    } else {
        m_params.emplace("period", "0");
    }
    // The numeric accessors must not throw for a valid object: reject what they cannot convert.
    if (DecimalValue(m_params["digits"]) < 0 || DecimalValue(m_params["period"]) < 0 ||
        DecimalValue(m_params["counter"]) < 0) {
        m_params.clear();
        return;
    }
    m_valid = true;
}

void OTPAuthURI::parceORB()
{
    if (m_uri.empty()) {
        return;
    }
    m_type = OrbTicket;

    const auto logInsert = [](const std::string &name, const std::string &value) {
        qDebug() << "Insert param: " << QString::fromStdString(name) << " param value:"
                 << (isSecretTicketParam(name) ? QStringLiteral("***") : QString::fromStdString(value));
    };

    const std::size_t question = m_uri.find('?');
    if (question != std::string::npos) {
        const std::string reqID = m_uri.substr(0, question);
        logInsert("reqID", reqID);
        m_params.emplace("reqID", reqID);

        std::size_t position = question + 1;
        std::size_t splitter = m_uri.find('=', position);
        while (splitter != std::string::npos) {
            const std::string name = m_uri.substr(position, splitter - position);
            const std::size_t valueStart = splitter + 1;
            const std::size_t amp = m_uri.find('&', valueStart);
            const std::string value =
                m_uri.substr(valueStart, amp == std::string::npos ? std::string::npos : amp - valueStart);
            logInsert(name, value);
            m_params.emplace(name, value);
            if (amp != std::string::npos) {
                position = amp + 1;
                splitter = m_uri.find('=', position);
            } else {
                position = valueStart;
                splitter = std::string::npos;
            }
            qDebug() << "Position:" << static_cast<std::uint32_t>(position)
                     << " splitter: " << static_cast<std::uint32_t>(splitter);
        }
    }
    m_valid = true;
}

const std::string &OTPAuthURI::pin() const
{
    static const std::string empty;
    return lookup(m_params, "pin", empty);
}

const std::string &OTPAuthURI::key() const
{
    static const std::string empty;
    return lookup(m_params, "key", empty);
}

const std::string &OTPAuthURI::period() const
{
    static const std::string empty;
    return lookup(m_params, "period", empty);
}

const std::string &OTPAuthURI::counter() const
{
    static const std::string empty;
    return lookup(m_params, "counter", empty);
}

unsigned char OTPAuthURI::digitsNumber() const
{
    return static_cast<unsigned char>(toUInt32(m_params.at("digits")));
}

unsigned int OTPAuthURI::periodNumber() const
{
    return toUInt32(period());
}

unsigned int OTPAuthURI::counterNumber() const
{
    return toUInt32(counter());
}
