// Scanned QR texts are attacker-controlled: parse any bytes under both schemes, then use every
// accessor of what parses as valid, the way the accounts and the scanner model do.
#include "otp/otpauthuri.h"
#include "otp/otptoken.h"

#include <QtGlobal>

#include <cstdint>
#include <cstdlib>
#include <string>

namespace {

void quiet(QtMsgType, const QMessageLogContext &, const QString &) {}

void use(const OTPAuthURI &uri)
{
    volatile std::size_t sink = uri.uri().size() + uri.label().size() + uri.params().size();
    sink = sink + uri.pin().size() + uri.key().size() + uri.period().size() + uri.counter().size();
    if (!uri.isValid() || uri.type() == OTPAuthURI::OrbTicket) {
        return;
    }
    // A valid OTP URI must convert without throwing (an exception here aborts the run).
    const unsigned char digits = uri.digitsNumber();
    const unsigned int period = uri.periodNumber();
    const unsigned int counter = uri.counterNumber();
    const OTPToken token(OTPToken::typeToType(uri.type()), uri.label(), uri.params().at("secret"), digits,
                         period, counter, OTPToken::stringToAlgoritm(uri.params().at("algorithm")));
    sink = sink + token.isValid() +
           OTPGenerator::computeTOTP(1111111109L, token.secret(), digits, period, token.algorithm(), nullptr)
               .size();
    (void)sink;
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    // The ticket parser logs every parameter; the log is not what is being tested.
    qInstallMessageHandler(quiet);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const std::string text(reinterpret_cast<const char *>(data), size);
    use(OTPAuthURI(text));
    use(OTPAuthURI(OTPAuthURI::OTPAUTH_PREFIX + text));
    use(OTPAuthURI(OTPAuthURI::ORBTICKET_PREFIX + text));

    // Percent-encoding is undone by decoding (up to the first zero byte, where encoding stops).
    const OTPAuthURI::UriComponent plain(text.substr(0, text.find('\0')), std::string());
    const std::string encoded = plain.encoded();
    if (OTPAuthURI::UriComponent(encoded, std::string()).decoded() != plain.value()) {
        std::abort();
    }
    (void)OTPAuthURI::UriComponent(text, OTPAuthURI::OTPAUTH_PREFIX).decoded();
    return 0;
}
