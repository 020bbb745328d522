#include "otp/base32.h"

#include <cstdint>
#include <cstring>

namespace {

// Five bytes into eight quintets, most significant first.
bool Encode32Block(const unsigned char *in5, unsigned char *out8)
{
    std::uint64_t bits = 0;
    for (int i = 0; i < 5; ++i) {
        bits = (bits << 8) | in5[i];
    }
    for (int i = 7; i >= 0; --i) {
        out8[i] = static_cast<unsigned char>(bits & 0x1F);
        bits >>= 5;
    }
    return true;
}

// Eight quintets into five bytes, most significant first.
bool Decode32Block(const unsigned char *in8, unsigned char *out5)
{
    if ((in8[0] | in8[1] | in8[2] | in8[3] | in8[4] | in8[5] | in8[6] | in8[7]) > 31) {
        return false;
    }
    out5[0] = static_cast<unsigned char>(in8[0] << 3 | in8[1] >> 2);
    out5[1] = static_cast<unsigned char>(in8[1] << 6 | in8[2] << 1 | in8[3] >> 4);
    out5[2] = static_cast<unsigned char>(in8[3] << 4 | in8[4] >> 1);
    out5[3] = static_cast<unsigned char>(in8[4] << 7 | in8[5] << 2 | in8[6] >> 3);
    out5[4] = static_cast<unsigned char>(in8[6] << 5 | in8[7]);
    return true;
}

} // namespace

int Base32::GetEncode32Length(int bytes)
{
    return static_cast<int>((static_cast<std::int64_t>(bytes) * 8 + 4) / 5);
}

int Base32::GetDecode32Length(int quintets)
{
    return static_cast<int>(static_cast<std::int64_t>(quintets) * 5 / 8);
}

bool Base32::Encode32(const unsigned char *in, int length, unsigned char *out)
{
    if (!in || !out || length <= 0) {
        return false;
    }
    const int blocks = length / 5;
    for (int i = 0; i < blocks; ++i) {
        Encode32Block(in + i * 5, out + i * 8);
    }
    const int rest = length % 5;
    if (rest) {
        unsigned char block[5] = {};
        unsigned char quintets[8];
        std::memcpy(block, in + blocks * 5, rest);
        Encode32Block(block, quintets);
        std::memcpy(out + blocks * 8, quintets, (rest * 8 + 4) / 5);
    }
    return true;
}

bool Base32::Decode32(const unsigned char *in, int length, unsigned char *out)
{
    if (!in || !out || length <= 0) {
        return false;
    }
    const int blocks = length / 8;
    for (int i = 0; i < blocks; ++i) {
        if (!Decode32Block(in + i * 8, out + i * 5)) {
            return false;
        }
    }
    const int rest = length % 8;
    if (rest) {
        unsigned char block[8] = {};
        unsigned char bytes[5];
        std::memcpy(block, in + blocks * 8, rest);
        if (!Decode32Block(block, bytes)) {
            return false;
        }
        std::memcpy(out + blocks * 5, bytes, rest * 5 / 8);
    }
    return true;
}

bool Base32::Map32(unsigned char *buffer, int length, const unsigned char *alphabet)
{
    if (!buffer || !alphabet || length <= 0) {
        return false;
    }
    for (int i = 0; i < length; ++i) {
        if (buffer[i] > 31) {
            return false;
        }
        buffer[i] = alphabet[buffer[i]];
    }
    return true;
}

bool Base32::Unmap32(unsigned char *buffer, int length, const unsigned char *alphabet)
{
    if (!buffer || !alphabet || length <= 0) {
        return false;
    }
    unsigned char table[256] = {};
    for (unsigned char i = 0; i < 32; ++i) {
        table[alphabet[i]] = i;
    }
    for (int i = 0; i < length; ++i) {
        buffer[i] = table[buffer[i]];
    }
    return true;
}
