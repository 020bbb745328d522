#ifndef KESTREL_OTP_OTPGENERATOR_H
#define KESTREL_OTP_OTPGENERATOR_H

#include <QByteArray>

#include <cstdint>
#include <string>

// Why a code could not be made. Reported through an optional out-pointer; 3 is never used.
enum class OTPGenErrorCode : int
{
    NoError = 0,
    InvalidTokenType = 1,
    InvalidSecret = 2,
    InvalidDigits = 4,
    InvalidPeriod = 5,
};

// 10^0 .. 10^10, indexed by the number of code digits.
extern const std::uint64_t DIGITS_POWER[11];

// Base32 text (RFC 4648 alphabet) to bytes. No validation: bytes outside the alphabet count as
// "A", and every character (padding included) takes part in the length.
QByteArray base32_decode(const std::string &text);

// HOTP (RFC 4226) and TOTP (RFC 6238) codes from a Base32 secret. Algorithm codes: 1 SHA-1,
// 2 SHA-256, 3 SHA-512. Every failure returns an empty string; the reason goes to `error` when
// it is not null. A period outside 2..120 is reported but still yields a code (except 0).
class OTPGenerator
{
public:
    OTPGenerator() = default;

    static std::string computeTOTP(const long &time, const std::string &secret, const unsigned char &digits,
                                   const unsigned int &period, const unsigned char &algorithm,
                                   OTPGenErrorCode *error);
    // Same, for the current time of the system clock.
    static std::string computeTOTP(const std::string &secret, const unsigned char &digits,
                                   const unsigned int &period, const unsigned char &algorithm,
                                   OTPGenErrorCode *error);
    static std::string computeHOTP(const std::string &secret, const unsigned char &digits,
                                   const unsigned int &counter, const unsigned char &algorithm,
                                   OTPGenErrorCode *error);
};

#endif // KESTREL_OTP_OTPGENERATOR_H
