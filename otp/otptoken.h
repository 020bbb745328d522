#ifndef KESTREL_OTP_OTPTOKEN_H
#define KESTREL_OTP_OTPTOKEN_H

#include "otp/otpauthuri.h"
#include "otp/otpgenerator.h"

#include <string>
#include <vector>

// The full parameter set of one OTP generator, with the defaults and limits of each token type.
// Token types: 0 none, 1 TOTP, 2 HOTP, 3 five-digit type (defaults only, no generator).
// Algorithms: 0 none, 1 SHA-1, 2 SHA-256, 3 SHA-512.
class OTPToken
{
public:
    // What makes the parameters of an "otpauth://" URI unable to ever give a right code.
    enum class UriFault
    {
        None,
        NotOtpUri,
        Digits,
        Period,
        Algorithm,
        Secret
    };

    OTPToken();
    explicit OTPToken(const unsigned char &type);
    OTPToken(const unsigned char &type, const std::string &label);
    OTPToken(const unsigned char &type, const std::string &label,
             const std::vector<unsigned char> &secretBytes, const std::string &secret);
    OTPToken(const unsigned char &type, const std::string &label, const std::string &secret,
             const unsigned char &digits, const unsigned int &period, const unsigned int &counter,
             const unsigned char &algorithm);
    OTPToken(const unsigned char &type, const std::string &label, const std::string &secret,
             const unsigned char &digits, const unsigned int &period, const unsigned char &algorithm);
    OTPToken(const OTPToken &other) = default;
    OTPToken &operator=(const OTPToken &other) = default;
    ~OTPToken();

    static unsigned char defaultDigitLength(const unsigned char &type);
    static unsigned char minDigitLength(const unsigned char &type);
    static unsigned char maxDigitLength(const unsigned char &type);
    static unsigned int defaultPeriod(const unsigned char &type);
    static unsigned int minPeriod(const unsigned char &type);
    static unsigned int maxPeriod(const unsigned char &type);
    static unsigned int minCounter(const unsigned char &type);
    static unsigned int maxCounter(const unsigned char &type);
    static unsigned char defaultAlgorithm(const unsigned char &type);

    static unsigned char typeToType(OTPAuthURI::Type type);
    static unsigned char stringToAlgoritm(const std::string &name);
    static unsigned char stringToDigit(const std::string &text);
    static unsigned int stringToPeriod(const std::string &text);
    static unsigned int stringToCounter(const std::string &text);
    static bool validateSecret(const std::string &secret, OTPGenErrorCode *error);
    // Judges a scanned or server-sent URI before an account is made of it: a valid TOTP or HOTP
    // URI whose digits (3..10, as written, not cut to 8 bits), TOTP period (2..120: shorter
    // ones give no code), algorithm and Base32 secret (spaces and trailing "=" allowed, at least
    // one byte) can give a code. Stored accounts are not judged: they load as they are.
    static OTPToken::UriFault checkUri(const OTPAuthURI &uri);

    void setAlgorithm(const std::string &name);
    std::string generateToken(OTPGenErrorCode *error) const;
    bool isValid() const;

    unsigned char type() const { return m_type; }
    const std::string &label() const { return m_label; }
    const std::vector<unsigned char> &secretBytes() const { return m_secretBytes; }
    const std::string &secret() const { return m_secret; }
    unsigned char digits() const { return m_digits; }
    unsigned int period() const { return m_period; }
    unsigned int counter() const { return m_counter; }
    unsigned char algorithm() const { return m_algorithm; }

private:
    unsigned char m_type = 0;
    std::string m_label;
    std::vector<unsigned char> m_secretBytes;
    std::string m_secret;
    unsigned char m_digits = 0;
    unsigned int m_period = 0;
    unsigned int m_counter = 0;
    unsigned char m_algorithm = 0;
};

#endif // KESTREL_OTP_OTPTOKEN_H
