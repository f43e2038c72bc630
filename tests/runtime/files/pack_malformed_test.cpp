// Malformed packs: every fault of the trailer, the directory and the entries
// ends as "no pack", "not found" or "does not decode", and nothing is read
// outside the archive (the sanitizers watch every case).
#include <gtest/gtest.h>

#include "pack_fixture.h"
#include "pack_writer.h"
#include "runtime/files/mem_blocks.h"

using testpack::directoryEntry;
using testpack::le32;
using testpack::modeOneStream;
using testpack::PackTest;
using testpack::readNamed;
using testpack::trailer;

namespace {

// An archive: `data` at offset 0, then the directory (`directory` and its end
// byte), then the trailer pointing at the directory from the start.
std::string archiveOf(const std::string& data, const std::string& directory) {
    return data + directory + std::string(1, '\0') + trailer(static_cast<int32_t>(data.size()));
}

class MalformedPack : public PackTest {
protected:
    // Resolves `name` to memory on `archive`, given as a file and as a block.
    // Expects the same result and output text shape from both.
    void expectOnFileAndBlock(const std::string& archive, const char* name, int32_t result,
                              const std::string& expectedOut, uint8_t enabledAfter) {
        useArchive(archive);
        EXPECT_EQ(result, resolve(name)) << "file archive";
        check(expectedOut, enabledAfter, "file archive");

        uint32_t key = files::registerMemBlock(reinterpret_cast<const uint8_t*>(archive.data()),
                                               static_cast<uint32_t>(archive.size()));
        char blockName[32];
        files::formatMemBlockName(blockName, static_cast<uint32_t>(archive.size()), key);
        setPath(blockName);
        EXPECT_EQ(result, resolve(name)) << "block archive";
        check(expectedOut, enabledAfter, "block archive");
        clearPackArchive(context_);
        files::unregisterMemBlock(key);
    }

    // "<empty block>" stands for a MemBlockName of a block of size 0.
    void check(const std::string& expectedOut, uint8_t enabledAfter, const char* where) {
        if (expectedOut == "<empty block>") {
            EXPECT_EQ(std::string("mem://       0."), std::string(out_).substr(0, 15)) << where;
            EXPECT_EQ("", readNamed(out_)) << where;
        } else {
            EXPECT_EQ(expectedOut, out_) << where;
        }
        EXPECT_EQ(enabledAfter, context_.enabled) << where;
    }
};

}  // namespace

TEST_F(MalformedPack, ArchivesShorterThanTheTrailerAreNoPack) {
    for (const std::string& archive : {std::string(), std::string("sbX"), std::string("sbX\0\0\0", 6)})
        expectOnFileAndBlock(archive, "a.txt", 0, "a.txt", 0);
}

TEST_F(MalformedPack, AWrongMagicIsNoPack) {
    std::string good = archiveOf(modeOneStream("x"), directoryEntry("a.txt", 0, 8));
    std::string bad = good;
    bad[bad.size() - 7] = 'S';
    expectOnFileAndBlock(bad, "a.txt", 0, "a.txt", 0);
}

TEST_F(MalformedPack, ADirectoryPositionOutsideTheArchiveFindsNothing) {
    std::string data = modeOneStream("x");
    std::string body = data + directoryEntry("a.txt", 0, static_cast<int32_t>(data.size())) + std::string(1, '\0');
    const int32_t size = static_cast<int32_t>(body.size() + 7);
    for (int32_t d : {size, size + 1000, 0x7FFFFFFF, -size - 1, -1000000, static_cast<int32_t>(0x80000000)})
        expectOnFileAndBlock(body + trailer(d), "a.txt", 0, "", 1);
}

TEST_F(MalformedPack, ADirectoryInsideTheTrailerIsWalkedWithinTheArchive) {
    // D = -7 and D = size - 7: the walk reads "s" (115) as a name length and runs out.
    std::string body = "x";
    expectOnFileAndBlock(body + trailer(-7), "a.txt", 0, "", 1);
    expectOnFileAndBlock(body + trailer(1), "a.txt", 0, "", 1);
}

TEST_F(MalformedPack, ADirectoryCutOffInsideANameFindsNothing) {
    std::string data = modeOneStream("content");
    // A name of 200 bytes where only the trailer is left.
    std::string archive = data + std::string(1, static_cast<char>(200)) + "a.t" + trailer(static_cast<int32_t>(data.size()));
    expectOnFileAndBlock(archive, "a.txt", 0, "", 1);
    // A whole entry without the end byte: the next "length" is the trailer's
    // "s", 115 bytes that the archive does not have.
    archive = data + directoryEntry("a.txt", 0, static_cast<int32_t>(data.size())) + trailer(static_cast<int32_t>(data.size()));
    expectOnFileAndBlock(archive, "b.txt", 0, "", 1);
}

TEST_F(MalformedPack, ADirectoryCutOffInsideTheNumbersTakesThemFromTheTrailerAndDoesNotDecode) {
    std::string data = modeOneStream("content");
    std::string entry = directoryEntry("a.txt", 0, static_cast<int32_t>(data.size()));
    for (size_t keep : {size_t{8}, size_t{12}}) {  // half the offset, half the size
        std::string archive = data + entry.substr(0, keep) + trailer(static_cast<int32_t>(data.size()));
        expectOnFileAndBlock(archive, "a.txt", 1, "<empty block>", 1);
    }
    // No numbers at all: 8 bytes are needed where the trailer has 7.
    expectOnFileAndBlock(data + entry.substr(0, 6) + trailer(static_cast<int32_t>(data.size())), "a.txt", 0, "", 1);
    // Cut only before the end byte: the entry itself is whole and reads back.
    std::string archive = data + entry + trailer(static_cast<int32_t>(data.size()));
    useArchive(archive);
    ASSERT_EQ(1, resolve("a.txt"));
    EXPECT_EQ("content", readNamed(out_));
}

TEST_F(MalformedPack, AnEmptyDirectoryFindsNothing) {
    expectOnFileAndBlock(archiveOf("", ""), "a.txt", 0, "", 1);
}

TEST_F(MalformedPack, EntryDataOutsideTheArchiveIsFoundButDoesNotDecode) {
    std::string data = modeOneStream("content");
    const int32_t n = static_cast<int32_t>(data.size());
    const struct { int32_t offset, packedSize; } cases[] = {
        {0, n + 1},                // one byte past the data into the directory: LZO rejects it
        {0, 0x7FFFFFFF},           // a huge packed size: refused before anything is allocated
        {0, -1},                   // a negative packed size
        {1000000, n},              // data far behind the end
        {-5, n},                   // before the start, with D counted from the start
        {0x7FFFFFF0, 0x7FFFFFF0},  // offset + size beyond 32 bits
        {0, 0},                    // nothing at all: shorter than the length field
    };
    for (auto c : cases) {
        SCOPED_TRACE(testing::Message() << "offset " << c.offset << ", packed size " << c.packedSize);
        expectOnFileAndBlock(archiveOf(data, directoryEntry("a.txt", c.offset, c.packedSize)), "a.txt", 1,
                             "<empty block>", 1);
    }
}

TEST_F(MalformedPack, EntriesCountedFromTheEndMayNotReachBeforeTheStart) {
    std::string data = modeOneStream("content");
    std::string directory = directoryEntry("a.txt", -100000, static_cast<int32_t>(data.size())) + std::string(1, '\0');
    const int32_t total = static_cast<int32_t>(data.size() + directory.size() + 7);
    std::string archive = data + directory + trailer(static_cast<int32_t>(data.size()) - total);
    expectOnFileAndBlock(archive, "a.txt", 1, "<empty block>", 1);
}

TEST_F(MalformedPack, EntryBytesThatAreNotAStreamOfTheirLengthDoNotDecode) {
    std::string good = modeOneStream("the entry's real content");
    const std::string streams[] = {
        le32(1000) + good.substr(4),                    // length field too large
        le32(3) + good.substr(4),                       // too small
        le32(0xFFFFFFFFu) + good.substr(4),             // beyond anything LZO can make
        good.substr(0, good.size() - 2),                // cut short
        le32(50) + std::string(40, '\xAB'),             // garbage
    };
    for (const auto& stream : streams) {
        std::string archive = archiveOf(stream, directoryEntry("a.txt", 0, static_cast<int32_t>(stream.size())));
        expectOnFileAndBlock(archive, "a.txt", 1, "<empty block>", 1);
    }
}

TEST_F(MalformedPack, AnEntryThatDoesNotDecodeBecomesAnEmptyTemporaryFile) {
    std::string garbage = le32(50) + std::string(40, '\xAB');
    useArchive(archiveOf(garbage, directoryEntry("clip.avi", 0, static_cast<int32_t>(garbage.size()))));
    ASSERT_EQ(1, resolve("clip.avi", 0));
    EXPECT_TRUE(testsupport::fileExists(out_));
    EXPECT_EQ("", testsupport::readFileBytes(out_));
}

TEST_F(MalformedPack, NamesWithBytesBehindANulMatchTheirTextPart) {
    std::string data = modeOneStream("hidden tail");
    std::string archive = archiveOf(data, directoryEntry(std::string("a.txt\0/../x", 11), 0,
                                                         static_cast<int32_t>(data.size())));
    useArchive(archive);
    ASSERT_EQ(1, resolve("A.TXT", 0));
    const char sizeLetter = static_cast<char>('A' + data.size() % 256 % 26);
    EXPECT_EQ(tmpdir_ + "/sbxA" + sizeLetter + "a.txt", out_);
    EXPECT_EQ("hidden tail", testsupport::readFileBytes(out_));
}

TEST_F(MalformedPack, AnEmptyBaseNameNeverMatchesAnEntryWhoseNameStartsWithNul) {
    std::string data = modeOneStream("hidden");
    std::string archive = archiveOf(data, directoryEntry(std::string("\0x", 2), 0, static_cast<int32_t>(data.size())));
    for (const char* name : {"dir/", "dir\\", "/"}) expectOnFileAndBlock(archive, name, 0, "", 1);
}
