// EncryptString and DecryptString.
#include <gtest/gtest.h>

#include <random>
#include <string>

#include "runtime/services/blowfish.h"
#include "runtime/services/string_cipher.h"

namespace {

RtString bytesString(const std::string& s) { return RtString::fromBytes(s.data(), static_cast<uint32_t>(s.size())); }

std::string encrypt(const std::string& key, const std::string& text) {
    return EncryptString(bytesString(key), bytesString(text)).data;
}

std::string decrypt(const std::string& key, const std::string& hex) {
    RtString plain = DecryptString(bytesString(key), bytesString(hex));
    return std::string(plain.data, plain.length);
}

}  // namespace

TEST(StringCipher, PublishedVectorsWithTheBytesOfEachHalfReversed) {
    // Key and text of eight zero bytes: the published cipher block
    // 4EF99745 6198DD78, each half written little-endian.
    EXPECT_EQ(encrypt(std::string(8, '\0'), std::string(8, '\0')), "4597f94e78dd9861");
    // "BLOWFISH" read big-endian is "WOLB" "HSIF" read little-endian.
    EXPECT_EQ(encrypt("abcdefghijklmnopqrstuvwxyz", "WOLBHSIF"), "fed04e3203a213f4");
    EXPECT_EQ(decrypt("abcdefghijklmnopqrstuvwxyz", "fed04e3203a213f4"), "WOLBHSIF");
}

TEST(StringCipher, LengthsRoundUpToWholeBlocks) {
    EXPECT_EQ(encrypt("key", ""), "");
    EXPECT_EQ(encrypt("key", "12345678").size(), 16u);
    EXPECT_EQ(encrypt("key", "123456789").size(), 32u);
    std::string three = encrypt("key", "abc");
    ASSERT_EQ(three.size(), 16u);
    // Its block holds the three bytes and five zero bytes.
    EXPECT_EQ(three, encrypt("key", std::string("abc\0\0\0\0\0", 8)));
    EXPECT_EQ(three.find_first_not_of("0123456789abcdef"), std::string::npos);
}

TEST(StringCipher, RoundTripsAndAcceptsUpperCase) {
    std::mt19937 random(77);
    for (int round = 0; round < 50; ++round) {
        std::string key(1 + random() % 80, ' '), text(random() % 40, ' ');
        for (char& c : key) c = static_cast<char>(random() % 256);
        for (char& c : text) c = static_cast<char>(1 + random() % 255);  // no zero bytes
        std::string hex = encrypt(key, text);
        EXPECT_EQ(decrypt(key, hex), text);
        for (char& c : hex) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
        EXPECT_EQ(decrypt(key, hex), text);
    }
}

TEST(StringCipher, TextEndsAtTheFirstZeroByte) {
    std::string hex = encrypt("key", std::string("\0abc", 4));
    EXPECT_EQ(decrypt("key", hex), "");
    hex = encrypt("key", std::string("ab\0cd", 5));
    EXPECT_EQ(decrypt("key", hex), "ab");
}

TEST(StringCipher, EmptyKeyWorksLikeAKeyOfZeroBytes) {
    std::string hex = encrypt("", "secret text");
    EXPECT_EQ(hex, encrypt(std::string(1, '\0'), "secret text"));
    EXPECT_EQ(decrypt("", hex), "secret text");
}

TEST(StringCipher, MalformedHexTextStaysInBounds) {
    const std::string full = encrypt("key", "sixteen letters!");
    // A byte count that is not a multiple of 8, a lone last digit, non-digits.
    for (size_t cut : {1u, 2u, 3u, 5u, 10u, 17u, 20u, 31u}) {
        std::string plain = decrypt("key", full.substr(0, cut));
        EXPECT_LE(plain.size(), 8u * ((cut / 2 + 7) / 8)) << cut;
    }
    EXPECT_EQ(decrypt("key", ""), "");
    EXPECT_EQ(decrypt("key", "z"), "");
    // The first block decrypts the same whatever follows it.
    EXPECT_EQ(decrypt("key", full.substr(0, 16)), "sixteen ");
    EXPECT_EQ(decrypt("key", full.substr(0, 16) + "0"), "sixteen ");
    decrypt("key", "zz!!~~  GGgg0000");
    decrypt("wrong", full);
}
