// The Blowfish block cipher over the initial tables of blowfish_tables.cpp.
#include "runtime/services/blowfish.h"

#include <cstring>
#include <utility>

namespace {

uint32_t feistel(const BlowfishContext& c, uint32_t x) {
    const uint32_t* s = c.S;
    return ((s[x >> 24] + s[256 + ((x >> 16) & 255)]) ^ s[512 + ((x >> 8) & 255)]) + s[768 + (x & 255)];
}

uint32_t readLittle(const uint8_t* p) {
    return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 |
           static_cast<uint32_t>(p[2]) << 16 | static_cast<uint32_t>(p[3]) << 24;
}

void writeLittle(uint8_t* p, uint32_t v) {
    p[0] = static_cast<uint8_t>(v);
    p[1] = static_cast<uint8_t>(v >> 8);
    p[2] = static_cast<uint8_t>(v >> 16);
    p[3] = static_cast<uint8_t>(v >> 24);
}

// The sixteen rounds and the output whitening. Decryption is the same
// network with the P entries taken from the end.
template <bool Reversed>
void feistelNetwork(const BlowfishContext& c, uint32_t& left, uint32_t& right) {
    const auto p = [&c](int i) { return c.P[Reversed ? 17 - i : i]; };
    uint32_t l = left, r = right;
    for (int i = 0; i < 16; ++i) {
        l ^= p(i);
        r ^= feistel(c, l);
        std::swap(l, r);
    }
    std::swap(l, r);  // the last swap is undone
    r ^= p(16);
    l ^= p(17);
    left = l;
    right = r;
}

template <void (*Cipher)(const BlowfishContext&, uint32_t&, uint32_t&)>
void cipherBlockInPlace(const BlowfishContext& context, uint8_t* block) {
    uint32_t left = readLittle(block);
    uint32_t right = readLittle(block + 4);
    Cipher(context, left, right);
    writeLittle(block, left);
    writeLittle(block + 4, right);
}

}  // namespace

void blowfishSetKey(BlowfishContext& context, const uint8_t* key, int32_t keyLength) {
    std::memcpy(context.P, blowfishInitialP, sizeof context.P);
    std::memcpy(context.S, blowfishInitialS, sizeof context.S);
    if (key && keyLength > 0) {
        int32_t j = 0;
        for (uint32_t& p : context.P) {
            uint32_t word = 0;
            for (int k = 0; k < 4; ++k) {
                word = word << 8 | key[j];
                j = (j + 1) % keyLength;
            }
            p ^= word;
        }
    }
    uint32_t left = 0, right = 0;
    for (int i = 0; i < 18; i += 2) {
        blowfishEncryptBlock(context, left, right);
        context.P[i] = left;
        context.P[i + 1] = right;
    }
    for (int i = 0; i < 4 * 256; i += 2) {
        blowfishEncryptBlock(context, left, right);
        context.S[i] = left;
        context.S[i + 1] = right;
    }
}

void blowfishEncryptBlock(const BlowfishContext& context, uint32_t& left, uint32_t& right) {
    feistelNetwork<false>(context, left, right);
}

void blowfishDecryptBlock(const BlowfishContext& context, uint32_t& left, uint32_t& right) {
    feistelNetwork<true>(context, left, right);
}

uint32_t blowfishPaddedSize(uint32_t n) { return n % 8 == 0 ? n : (n / 8 + 1) * 8; }

uint32_t blowfishEncryptBuffer(const BlowfishContext& context, const uint8_t* in, uint8_t* out, uint32_t length) {
    const uint32_t total = blowfishPaddedSize(length);
    if (total == 0) return 0;
    for (uint32_t at = 0; at < total; at += 8) {
        uint32_t inside = length - at < 8 ? length - at : 8;
        if (in != out || inside < 8) {
            uint8_t block[8] = {};
            std::memcpy(block, in + at, inside);
            std::memcpy(out + at, block, 8);
        }
        cipherBlockInPlace<blowfishEncryptBlock>(context, out + at);
    }
    return total;
}

void blowfishDecryptBuffer(const BlowfishContext& context, const uint8_t* in, uint8_t* out, uint32_t length) {
    for (uint32_t at = 0; at < length; at += 8) {
        if (in != out) std::memcpy(out + at, in + at, 8);
        cipherBlockInPlace<blowfishDecryptBlock>(context, out + at);
    }
}
