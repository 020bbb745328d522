#ifndef KESTREL_OTP_BASE32_H
#define KESTREL_OTP_BASE32_H

// Base32 codec over caller-supplied buffers. Encoding and decoding work on quintet values
// (0..31); Map32/Unmap32 translate between quintets and the characters of an alphabet given by
// the caller as a 32-character table. No "=" padding is produced or understood.
class Base32
{
public:
    // The RFC 4648 alphabet that secrets are written in.
    static constexpr unsigned char ALPHABET[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZ234567";

    // Number of quintets needed for `bytes` bytes (rounded up).
    static int GetEncode32Length(int bytes);
    // Number of whole bytes carried by `quintets` quintets (rounded down).
    static int GetDecode32Length(int quintets);

    // `out` must hold GetEncode32Length(length) quintets.
    static bool Encode32(const unsigned char *in, int length, unsigned char *out);
    // `in` holds quintet values; `out` must hold GetDecode32Length(length) bytes.
    static bool Decode32(const unsigned char *in, int length, unsigned char *out);

    // Quintets to characters, in place; fails on a value above 31.
    static bool Map32(unsigned char *buffer, int length, const unsigned char *alphabet);
    // Characters to quintets, in place; a byte outside the alphabet becomes 0.
    static bool Unmap32(unsigned char *buffer, int length, const unsigned char *alphabet);
};

#endif // KESTREL_OTP_BASE32_H
