#ifndef KESTREL_OTP_OTPAUTHURI_H
#define KESTREL_OTP_OTPAUTHURI_H

#include <map>
#include <string>

// Parsed text of a scanned QR code: an "otpauth://" URI (local TOTP/HOTP account) or an
// "orbticket://" registration ticket. Values are not checked here beyond what the accessors
// need; they are checked where they are used.
class OTPAuthURI
{
public:
    enum Type : int
    {
        Invalid = -1,
        TOTP = 0,
        HOTP = 1,
        OrbTicket = 2,
    };

    // One URI component that may start with a prefix which is kept out of the percent-coding.
    class UriComponent
    {
    public:
        UriComponent(const std::string &value, const std::string &prefix);

        std::string decoded() const;
        std::string encoded() const;

        const std::string &prefix() const { return m_prefix; }
        const std::string &value() const { return m_value; }

    private:
        std::string m_prefix;
        std::string m_value;
    };

    static const std::string OTPAUTH_PREFIX;
    static const std::string ORBTICKET_PREFIX;

    // Decimal digits that fit in 32 bits, with any ASCII white space around them (scanned codes
    // and files of earlier releases carry line feeds and spaces), as their value: what the numeric
    // accessors convert without throwing, since std::stoul skips white space before the digits and
    // stops after them. -1 for anything else.
    static long long DecimalValue(const std::string &text);

    OTPAuthURI();
    explicit OTPAuthURI(const std::string &text);

    void setTypeEnum(const std::string &word);
    void parceOTP();
    void parceORB();

    bool isValid() const { return m_valid; }
    Type type() const { return m_type; }
    // Text after the scheme prefix.
    const std::string &uri() const { return m_uri; }
    // Percent-decoded label of an "otpauth://" URI, kept whole ("Issuer:account").
    const std::string &label() const { return m_label; }
    const std::map<std::string, std::string> &params() const { return m_params; }

    // The named parameter, or an empty string when it is absent.
    const std::string &pin() const;
    const std::string &key() const;
    const std::string &period() const;
    const std::string &counter() const;

    // Numeric parameters, converted as std::stoul does (and throwing as it does). A valid
    // "otpauth://" object always holds decimal values that fit in 32 bits, so these never throw
    // for it; "counter" is present for TOTP (default) and required for HOTP.
    unsigned char digitsNumber() const;
    unsigned int periodNumber() const;
    unsigned int counterNumber() const;

private:
    std::string m_uri;
    bool m_valid = false;
    Type m_type = Invalid;
    std::string m_label;
    std::map<std::string, std::string> m_params;
};

#endif // KESTREL_OTP_OTPAUTHURI_H
