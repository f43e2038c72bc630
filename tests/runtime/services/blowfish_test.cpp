// The Blowfish block cipher: its tables, the published test vectors and the
// buffer operations.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <random>
#include <vector>

#include "runtime/services/blowfish.h"

namespace {

// 16^k mod m.
double powerMod16(long k, double m) {
    double result = 1, base = 16;
    while (k > 0) {
        if (k & 1) result = std::fmod(result * base, m);
        base = std::fmod(base * base, m);
        k >>= 1;
    }
    return result;
}

// The fractional part of sum over k of 16^(n-k) / (8k + j).
double series(int j, long n) {
    double sum = 0;
    for (long k = 0; k <= n; ++k) {
        sum += powerMod16(n - k, 8.0 * k + j) / (8.0 * k + j);
        sum -= std::floor(sum);
    }
    for (long k = n + 1; k <= n + 20; ++k) sum += std::pow(16.0, double(n - k)) / (8.0 * k + j);
    return sum - std::floor(sum);
}

// Hexadecimal digits n+1 to n+4 of pi's fraction, by digit extraction
// (Bailey-Borwein-Plouffe), independent of the table.
uint32_t piHexDigits4(long n) {
    double x = 4 * series(1, n) - 2 * series(4, n) - series(5, n) - series(6, n);
    x -= std::floor(x);
    return static_cast<uint32_t>(x * 65536.0);
}

BlowfishContext keyed(const std::vector<uint8_t>& key) {
    BlowfishContext c;
    blowfishSetKey(c, key.data(), static_cast<int32_t>(key.size()));
    return c;
}

std::vector<uint8_t> bytes(uint64_t big) {
    std::vector<uint8_t> out(8);
    for (int i = 0; i < 8; ++i) out[i] = static_cast<uint8_t>(big >> (56 - 8 * i));
    return out;
}

}  // namespace

TEST(Blowfish, TablesAreTheDigitsOfPi) {
    EXPECT_EQ(blowfishInitialP[0], 0x243F6A88u);
    EXPECT_EQ(blowfishInitialP[17], 0x8979FB1Bu);
    EXPECT_EQ(blowfishInitialS[0], 0xD1310BA6u);
    EXPECT_EQ(blowfishInitialS[1023], 0x3AC372E6u);
    // Every 37th word, upper and lower half, recomputed from pi.
    for (int word = 0; word < 18 + 1024; word += 37) {
        uint32_t expected = word < 18 ? blowfishInitialP[word] : blowfishInitialS[word - 18];
        uint32_t high = piHexDigits4(8L * word);
        uint32_t low = piHexDigits4(8L * word + 4);
        EXPECT_EQ(high << 16 | low, expected) << "word " << word;
    }
}

TEST(Blowfish, PublishedTestVectors) {
    struct Vector {
        uint64_t key, plain, cipher;
    } vectors[] = {
        {0x0000000000000000, 0x0000000000000000, 0x4EF997456198DD78},
        {0xFFFFFFFFFFFFFFFF, 0xFFFFFFFFFFFFFFFF, 0x51866FD5B85ECB8A},
        {0x3000000000000000, 0x1000000000000001, 0x7D856F9A613063F2},
        {0x1111111111111111, 0x1111111111111111, 0x2466DD878B963C9D},
        {0x0123456789ABCDEF, 0x1111111111111111, 0x61F9C3802281B096},
        {0x1111111111111111, 0x0123456789ABCDEF, 0x7D0CC630AFDA1EC7},
        {0xFEDCBA9876543210, 0x0123456789ABCDEF, 0x0ACEAB0FC6A0A28D},
    };
    for (const Vector& v : vectors) {
        BlowfishContext c = keyed(bytes(v.key));
        uint32_t left = static_cast<uint32_t>(v.plain >> 32), right = static_cast<uint32_t>(v.plain);
        blowfishEncryptBlock(c, left, right);
        EXPECT_EQ((uint64_t{left} << 32) | right, v.cipher) << std::hex << v.key;
        blowfishDecryptBlock(c, left, right);
        EXPECT_EQ((uint64_t{left} << 32) | right, v.plain);
    }
}

TEST(Blowfish, TextKeyVectors) {
    const char* alphabet = "abcdefghijklmnopqrstuvwxyz";
    BlowfishContext c = keyed(std::vector<uint8_t>(alphabet, alphabet + 26));
    uint32_t left = 0x424C4F57, right = 0x46495348;  // "BLOWFISH"
    blowfishEncryptBlock(c, left, right);
    EXPECT_EQ(left, 0x324ED0FEu);
    EXPECT_EQ(right, 0xF413A203u);
    const char* galt = "Who is John Galt?";
    c = keyed(std::vector<uint8_t>(galt, galt + 17));
    left = 0xFEDCBA98;
    right = 0x76543210;
    blowfishEncryptBlock(c, left, right);
    EXPECT_EQ(left, 0xCC91732Bu);
    EXPECT_EQ(right, 0x8022F684u);
}

TEST(Blowfish, KeyBytesRepeatCyclicallyAndOnly72Count) {
    std::vector<uint8_t> short_key = {1, 2, 3};
    std::vector<uint8_t> repeated;
    for (int i = 0; i < 24; ++i) repeated.insert(repeated.end(), short_key.begin(), short_key.end());
    std::vector<uint8_t> longer = repeated;
    longer.push_back(99);
    BlowfishContext a = keyed(short_key), b = keyed(repeated), c = keyed(longer);
    EXPECT_EQ(std::memcmp(&a, &b, sizeof a), 0);
    EXPECT_EQ(std::memcmp(&a, &c, sizeof a), 0);
}

TEST(Blowfish, EmptyKeyIsTheKeyOfZeroBytes) {
    BlowfishContext empty, zero;
    blowfishSetKey(empty, nullptr, 0);
    const uint8_t nul = 0;
    blowfishSetKey(zero, &nul, 1);
    EXPECT_EQ(std::memcmp(&empty, &zero, sizeof empty), 0);
    blowfishSetKey(zero, &nul, -4);
    EXPECT_EQ(std::memcmp(&empty, &zero, sizeof empty), 0);
}

TEST(Blowfish, PaddedSize) {
    EXPECT_EQ(blowfishPaddedSize(0), 0u);
    EXPECT_EQ(blowfishPaddedSize(1), 8u);
    EXPECT_EQ(blowfishPaddedSize(8), 8u);
    EXPECT_EQ(blowfishPaddedSize(9), 16u);
}

TEST(Blowfish, BuffersUseLittleEndianHalvesAndZeroPadding) {
    BlowfishContext c = keyed(bytes(0));
    const uint8_t three[3] = {'a', 'b', 'c'};
    uint8_t out[8];
    EXPECT_EQ(blowfishEncryptBuffer(c, three, out, 3), 8u);
    uint32_t left = 'a' | 'b' << 8 | 'c' << 16, right = 0;
    blowfishEncryptBlock(c, left, right);
    uint8_t expected[8];
    for (int i = 0; i < 4; ++i) {
        expected[i] = static_cast<uint8_t>(left >> (8 * i));
        expected[4 + i] = static_cast<uint8_t>(right >> (8 * i));
    }
    EXPECT_EQ(std::memcmp(out, expected, 8), 0);
    EXPECT_EQ(blowfishEncryptBuffer(c, three, out, 0), 0u);
}

TEST(Blowfish, BuffersRoundTripInPlaceAndApart) {
    std::mt19937 random(2024);
    BlowfishContext c = keyed({9, 8, 7, 6, 5});
    for (uint32_t length : {1u, 7u, 8u, 15u, 64u, 100u}) {
        std::vector<uint8_t> plain(blowfishPaddedSize(length), 0);
        for (uint32_t i = 0; i < length; ++i) plain[i] = static_cast<uint8_t>(random());
        std::vector<uint8_t> apart(plain.size()), inPlace = plain;
        blowfishEncryptBuffer(c, plain.data(), apart.data(), length);
        blowfishEncryptBuffer(c, inPlace.data(), inPlace.data(), length);
        EXPECT_EQ(apart, inPlace);
        EXPECT_NE(apart, plain);
        std::vector<uint8_t> back(plain.size());
        blowfishDecryptBuffer(c, apart.data(), back.data(), length);
        blowfishDecryptBuffer(c, inPlace.data(), inPlace.data(), length);
        EXPECT_EQ(back, plain) << length;
        EXPECT_EQ(inPlace, plain) << length;
    }
}
