// The codec: LZSS token bytes, round trips of both modes, mode-1 bytes
// against liblzo2, and streams that must not decode.
#include <gtest/gtest.h>

#include <lzo/lzo1x.h>
#include <memory>
#include <random>
#include <string>

#include "file_bytes.h"
#include "pack_writer.h"
#include "runtime/files/lz_codec.h"

namespace {

using Bytes = std::string;

std::unique_ptr<LzDecoder> makeCodec(uint32_t mode) {
    auto codec = std::make_unique<LzDecoder>();
    codec->mode = mode;
    return codec;
}

const uint8_t* raw(const Bytes& b) { return reinterpret_cast<const uint8_t*>(b.data()); }
Bytes output(const LzDecoder& c) { return c.output ? Bytes(reinterpret_cast<char*>(c.output), c.outputLength) : Bytes(); }

Bytes encode(uint32_t mode, const Bytes& input) {
    auto codec = makeCodec(mode);
    int32_t n = lzEncode(*codec, raw(input), static_cast<uint32_t>(input.size()));
    EXPECT_EQ(static_cast<uint32_t>(n), codec->outputLength);
    return output(*codec);
}

// The decoded bytes, or "<fail>" when the result is 0 for a non-empty answer.
Bytes decode(uint32_t mode, const Bytes& stream, uint32_t* result = nullptr) {
    auto codec = makeCodec(mode);
    uint32_t n = lzDecode(*codec, raw(stream), static_cast<uint32_t>(stream.size()));
    if (result) *result = n;
    EXPECT_EQ(n, codec->outputLength);
    return output(*codec);
}

Bytes lzss(std::initializer_list<int> bytes) {
    Bytes b;
    for (int v : bytes) b += static_cast<char>(v);
    return b;
}

Bytes randomBytes(size_t n, uint32_t seed, int alphabet = 256) {
    std::mt19937 rng(seed);
    Bytes b(n, '\0');
    for (auto& c : b) c = static_cast<char>(rng() % alphabet);
    return b;
}

Bytes sampleText(size_t n) {
    static const char* words[] = {"the ", "diver ", "swims ", "past ", "a ", "shark ", "and ", "an ", "octopus ",
                                  "near ", "coral\r\n", "pearls ", "gleam ", "in ", "dark ", "water. "};
    std::mt19937 rng(7);
    Bytes b;
    while (b.size() < n) b += words[rng() % 16];
    b.resize(n);
    return b;
}

constexpr uint32_t kLzss = 0;

}  // namespace

TEST(LzssEncoding, WorkedExamplesGiveTheirExactBytes) {
    EXPECT_EQ(lzss({0x10, 'a', 'b', 'c', 0x00}), encode(kLzss, "abc"));
    EXPECT_EQ(lzss({0x18, 'a', 'b', 'c', 0x04, 0x03, 0x00}), encode(kLzss, "abcabcabc"));
    EXPECT_EQ(lzss({0x20, 'x', 'y', 0x00}), encode(kLzss, "xy"));
    EXPECT_EQ(lzss({0x00, 'a', 'b', 'c', 'd', 'e', 'f', 'g', 'h', 0xFF, 0x00}), encode(kLzss, "abcdefgh"));
}

TEST(LzssEncoding, InputsShorterThanTwoBytesGiveNothing) {
    auto codec = makeCodec(kLzss);
    EXPECT_EQ(0, lzEncode(*codec, raw("a"), 1));
    EXPECT_EQ(nullptr, codec->output);
    EXPECT_EQ(0, lzEncode(*codec, raw(""), 0));
    EXPECT_EQ(0u, codec->outputLength);
}

TEST(LzssDecoding, WorkedExamplesDecodeBack) {
    uint32_t n = 0;
    EXPECT_EQ("abc", decode(kLzss, lzss({0x10, 'a', 'b', 'c', 0x00}), &n));
    EXPECT_EQ(3u, n);
    EXPECT_EQ("abcabcabc", decode(kLzss, lzss({0x18, 'a', 'b', 'c', 0x04, 0x03, 0x00}), &n));
    EXPECT_EQ(9u, n);
    EXPECT_EQ("abcdefgh", decode(kLzss, lzss({0x00, 'a', 'b', 'c', 'd', 'e', 'f', 'g', 'h', 0xFF, 0x00})));
}

TEST(LzssDecoding, TokenSplitIsHighNibbleTimes128PlusSecondByte) {
    // 200 distinct-ish bytes, then a token b0 = 0x13 (L = 5), b1 = 0x05: d = 0x10 * 8 + 5 = 133.
    Bytes history = randomBytes(200, 3);
    Bytes stream;
    for (size_t i = 0; i < history.size(); i += 8) stream += '\0' + history.substr(i, 8);
    stream += lzss({0xC0, 0x13, 0x05, 0x00});
    EXPECT_EQ(history + history.substr(200 - 133, 5), decode(kLzss, stream));
}

TEST(LzssEncoding, FarDistancesAndLongMatchesWriteTokensTheDecoderReads) {
    // A 40-byte phrase repeated 300 bytes later: tokens at distance 300,
    // lengths capped at 17 (17 + 17 + 6).
    Bytes phrase = randomBytes(40, 11);
    Bytes input = phrase + randomBytes(260, 12) + phrase;
    Bytes stream = encode(kLzss, input);
    const int d = 300, l = 17;
    Bytes token = lzss({((d / 8) & ~15) + (l - 2), d % 128});
    EXPECT_NE(Bytes::npos, stream.find(token)) << testsupport::visible(stream);
    EXPECT_EQ(input, decode(kLzss, stream));
}

TEST(LzssEncoding, EveryDistanceOfTheWindowRoundTrips) {
    for (int distance : {127, 128, 255, 256, 1000, 1023, 1024, 2047}) {
        Bytes phrase = randomBytes(20, 100 + distance);
        Bytes input = phrase + randomBytes(distance - 20, 200 + distance) + phrase;
        EXPECT_EQ(input, decode(kLzss, encode(kLzss, input))) << "distance " << distance;
    }
}

TEST(LzssEncoding, MatchesBeyondTheWindowAreNotUsed) {
    Bytes phrase = randomBytes(30, 5);
    Bytes input = phrase + randomBytes(2048 - 30, 6) + phrase;  // distance 2048
    Bytes stream = encode(kLzss, input);
    EXPECT_EQ(input, decode(kLzss, stream));
    EXPECT_GT(stream.size(), input.size());  // nothing within reach repeats
}

TEST(LzssDecoding, AStreamWithoutItsEndTokenGivesZeroAtEveryCut) {
    Bytes stream = encode(kLzss, sampleText(3000));
    for (size_t cut = 0; cut < stream.size(); ++cut) {
        uint32_t n = 99;
        decode(kLzss, stream.substr(0, cut), &n);
        ASSERT_EQ(0u, n) << "cut at " << cut;
    }
}

TEST(LzssDecoding, ATokenReachingBeforeTheStartReadsZerosNotAnEarlierStream) {
    auto codec = makeCodec(kLzss);
    Bytes first = encode(kLzss, Bytes(3000, 'q'));
    ASSERT_GT(lzDecode(*codec, raw(first), static_cast<uint32_t>(first.size())), 0u);
    Bytes reachBack = lzss({0xC0, 0x01, 0x05, 0x00});  // L = 3, d = 5 at the very start
    EXPECT_EQ(3u, lzDecode(*codec, raw(reachBack), 4));
    EXPECT_EQ(Bytes(3, '\0'), output(*codec));
}

TEST(LzssHashTable, InsertShiftsTheBucketAndDropsTheOldest) {
    auto codec = makeCodec(kLzss);
    // (65, 2) and (1, 66) share bucket 1 * 64 + 2.
    uint32_t* bucket = codec->hashTable[1 * 64 + 2];
    std::fill(bucket, bucket + kLzBucketDepth, 0xFFFFFFFFu);
    for (uint32_t p = 0; p < 17; ++p) lzHashInsert(codec->hashTable, p % 2 ? 65 : 1, p % 2 ? 2 : 66, p);
    for (int slot = 0; slot < kLzBucketDepth; ++slot) EXPECT_EQ(16u - slot, bucket[slot]) << "slot " << slot;
}

TEST(CodecRoundTrip, BothModesRestoreTextZerosRandomAndAMebibyte) {
    Bytes mebibyte = sampleText(1 << 19) + Bytes(1 << 18, '\0') + randomBytes(1 << 18, 9);
    const std::pair<const char*, Bytes> inputs[] = {
        {"text", sampleText(5000)},          {"zeros", Bytes(70000, '\0')},
        {"random", randomBytes(5000, 1)},    {"small alphabet", randomBytes(20000, 2, 4)},
        {"1 MiB", mebibyte},
    };
    for (uint32_t mode : {kLzss, kLzModeLzo}) {
        for (const auto& [what, input] : inputs) {
            Bytes stream = encode(mode, input);
            EXPECT_EQ(input, decode(mode, stream)) << what << " in mode " << mode;
        }
    }
}

TEST(LzoMode, EncodedBytesAreTheLengthThenWhatLiblzo2Writes) {
    for (const Bytes& input : {Bytes(), Bytes("a"), Bytes("abcabcabcabcabcabc"), sampleText(300), randomBytes(100, 4)}) {
        EXPECT_EQ(testpack::modeOneStream(input), encode(kLzModeLzo, input)) << testsupport::visible(input);
    }
    EXPECT_EQ(Bytes("\0\0\0\0\x11\0\0", 7), encode(kLzModeLzo, Bytes()));
}

TEST(LzoMode, IncompressibleInputFitsTheOutputBuffer) {
    Bytes input = randomBytes(1 << 16, 77);
    Bytes stream = encode(kLzModeLzo, input);
    EXPECT_GT(stream.size(), input.size());
    EXPECT_EQ(input, decode(kLzModeLzo, stream));
}

TEST(LzoMode, StreamsThatDoNotDecodeGiveZero) {
    Bytes good = testpack::modeOneStream(sampleText(2000));
    Bytes body = good.substr(4);
    const std::pair<const char*, Bytes> cases[] = {
        {"empty", Bytes()},
        {"shorter than the length", Bytes("\x05\0\0", 3)},
        {"length only", Bytes("\x05\0\0\0", 4)},
        {"length one too large", testpack::le32(2001) + body},
        {"length one too small", testpack::le32(1999) + body},
        {"length far beyond what LZO can make", testpack::le32(0xFFFFFFFFu) + body},
        {"stream cut short", good.substr(0, good.size() - 10)},
        {"garbage", testpack::le32(100) + randomBytes(60, 8)},
        {"bytes behind the stream", good + "xyz"},
    };
    for (const auto& [what, stream] : cases) {
        uint32_t n = 99;
        decode(kLzModeLzo, stream, &n);
        EXPECT_EQ(0u, n) << what;
    }
}

TEST(LzoMode, LengthZeroDecodesToZeroBytes) {
    auto codec = makeCodec(kLzModeLzo);
    Bytes stream = Bytes("\0\0\0\0\x11\0\0", 7);
    EXPECT_EQ(0u, lzDecode(*codec, raw(stream), 7));
    EXPECT_EQ(0u, codec->outputLength);
}

TEST(CodecObject, ResetFreesTheOutputAndKeepsTheMode) {
    auto codec = makeCodec(kLzModeLzo);
    Bytes stream = testpack::modeOneStream("hello");
    ASSERT_EQ(5u, lzDecode(*codec, raw(stream), static_cast<uint32_t>(stream.size())));
    ASSERT_EQ(5u, lzDecode(*codec, raw(stream), static_cast<uint32_t>(stream.size())));  // frees the first
    lzDecoderReset(*codec);
    EXPECT_EQ(nullptr, codec->output);
    EXPECT_EQ(0u, codec->outputLength);
    EXPECT_EQ(0u, codec->windowPos);
    EXPECT_EQ(kLzModeLzo, codec->mode);
}

TEST(CodecObject, PutByteAppendsAcrossGrowthStepsAndWrapsTheWindow) {
    auto codec = makeCodec(kLzss);
    for (int i = 0; i < 2050; ++i) lzDecoderPutByte(*codec, static_cast<uint8_t>(i));
    EXPECT_EQ(2050u, codec->outputLength);
    EXPECT_EQ(2u, codec->windowPos);
    EXPECT_EQ(static_cast<uint8_t>(2049), codec->window[1]);
    EXPECT_EQ(static_cast<uint8_t>(1027), codec->output[1027]);
}
