// MemBlockNames: their text form, forged and malformed names, and the
// registry that decides whether a name still designates a live block.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "runtime/files/mem_blocks.h"

using namespace files;

namespace {
std::string nameOf(uint32_t size, uint32_t key) {
    char buffer[64];
    formatMemBlockName(buffer, size, key);
    return buffer;
}
}  // namespace

TEST(MemBlockName, TextIsSizeAndKeyInEightWideLowerCaseHex) {
    EXPECT_EQ("mem://       0.       1", nameOf(0, 1));
    EXPECT_EQ("mem://    1a2b.     3fe", nameOf(0x1a2b, 0x3fe));
    EXPECT_EQ("mem://ffffffff.7fffffff", nameOf(0xffffffffu, 0x7fffffff));
    EXPECT_EQ(static_cast<size_t>(kMemBlockNameLength), nameOf(5, 9).size());
}

TEST(MemBlockName, PrefixIsExactAndCaseSensitive) {
    EXPECT_TRUE(isMemBlockName("mem://"));
    EXPECT_TRUE(isMemBlockName("mem://anything"));
    EXPECT_FALSE(isMemBlockName("MEM://       0.       1"));
    EXPECT_FALSE(isMemBlockName("mem:/"));
    EXPECT_FALSE(isMemBlockName(" mem://"));
    EXPECT_FALSE(isMemBlockName(nullptr));
}

TEST(MemBlockName, ParsingReadsBothFieldsAndWidensTheSizeWithItsSign) {
    int64_t size = 0;
    uint32_t key = 0;
    ASSERT_TRUE(parseMemBlockName("mem://    1a2b.     3fe", size, key));
    EXPECT_EQ(0x1a2b, size);
    EXPECT_EQ(0x3feu, key);
    ASSERT_TRUE(parseMemBlockName("mem://ffffffff.       2", size, key));
    EXPECT_EQ(-1, size);
    ASSERT_TRUE(parseMemBlockName("mem://0000000A.0000000B", size, key));
    EXPECT_EQ(10, size);
    EXPECT_EQ(11u, key);
}

TEST(MemBlockName, ForgedAndMalformedNamesAreRefused) {
    int64_t size = 0;
    uint32_t key = 0;
    for (const char* forged : {"mem://", "mem://       5", "mem://       5.", "mem://       5.      ",
                               "mem://        .       1", "mem://       5.  zzzzzz", "mem://123456789.1",
                               "mem://       5.123456789"}) {
        EXPECT_FALSE(parseMemBlockName(forged, size, key)) << forged;
    }
}

TEST(MemBlockRegistry, ANameReadsItsBlockOnlyWhileItLivesAndFits) {
    static const uint8_t bytes[16] = {1, 2, 3};
    uint32_t key = registerMemBlock(bytes, sizeof bytes);
    EXPECT_NE(0u, key);
    EXPECT_EQ(bytes, findMemBlock(key, 16));
    EXPECT_EQ(bytes, findMemBlock(key, 3));  // a name may claim less than the block
    EXPECT_EQ(nullptr, findMemBlock(key, 17));
    EXPECT_EQ(nullptr, findMemBlock(key, -1));
    EXPECT_EQ(nullptr, findMemBlock(key + 1000, 1));

    int64_t size = 0;
    uint32_t found = 0;
    EXPECT_TRUE(lookupMemBlockName(nameOf(16, key).c_str(), size, found));
    EXPECT_EQ(key, found);
    EXPECT_FALSE(lookupMemBlockName(nameOf(17, key).c_str(), size, found));
    EXPECT_FALSE(lookupMemBlockName(nameOf(0xffffffffu, key).c_str(), size, found));

    unregisterMemBlock(key);
    EXPECT_EQ(nullptr, findMemBlock(key, 0));
    EXPECT_FALSE(lookupMemBlockName(nameOf(16, key).c_str(), size, found));
}

TEST(MemBlockRegistry, KeysAreDistinctAndNotReusedAtOnce) {
    static const uint8_t bytes[1] = {};
    uint32_t first = registerMemBlock(bytes, 1);
    unregisterMemBlock(first);
    uint32_t second = registerMemBlock(bytes, 1);
    uint32_t third = registerMemBlock(bytes, 1);
    EXPECT_NE(first, second);
    EXPECT_NE(second, third);
    EXPECT_EQ(nullptr, findMemBlock(first, 0));
    unregisterMemBlock(second);
    EXPECT_NE(nullptr, findMemBlock(third, 1));
    unregisterMemBlock(third);

    uint32_t empty = registerMemBlock(nullptr, 0);  // a block of size 0 is valid without bytes
    EXPECT_NE(nullptr, findMemBlock(empty, 0));
    EXPECT_EQ(nullptr, findMemBlock(empty, 1));
    unregisterMemBlock(empty);
}

