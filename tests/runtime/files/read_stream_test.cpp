// Read streams over disk files and memory blocks: partial block reads, the
// line reader on both kinds, streams whose block has gone, and opens that a
// file channel's hold refuses.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <utility>
#include <vector>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "file_bytes.h"
#include "runtime/files/file_channels.h"
#include "runtime/files/mem_blocks.h"
#include "runtime/files/read_stream.h"
#include "temp_dir.h"

using testsupport::TempDir;

namespace {

// A registered copy of some bytes, with its name; unregistered on destruction.
class Block {
public:
    explicit Block(const std::string& bytes) : bytes_(bytes) {
        key_ = files::registerMemBlock(reinterpret_cast<const uint8_t*>(bytes_.data()), static_cast<uint32_t>(bytes_.size()));
        char name[32];
        files::formatMemBlockName(name, static_cast<uint32_t>(bytes_.size()), key_);
        name_ = name;
    }
    ~Block() { release(); }
    void release() { files::unregisterMemBlock(key_); }
    const char* name() const { return name_.c_str(); }
    const std::string& bytes() const { return bytes_; }

private:
    std::string bytes_;
    uint32_t key_ = 0;
    std::string name_;
};

// Every line the reader gives, then whether the stream ended at its size.
std::vector<std::string> allLines(ReadStream& s, int32_t maxLen = 1024) {
    std::vector<std::string> lines;
    std::vector<char> buffer(static_cast<size_t>(maxLen));
    while (readStreamReadLine(s, buffer.data(), maxLen)) lines.emplace_back(buffer.data());
    return lines;
}

}  // namespace

TEST(ReadStreamOpen, EmptyOrMissingNamesFailAndLeaveTheRecordEmpty) {
    TempDir dir;
    ReadStream s;
    EXPECT_FALSE(readStreamOpen(s, ""));
    EXPECT_FALSE(readStreamOpen(s, nullptr));
    EXPECT_FALSE(readStreamOpen(s, dir.file("missing").c_str()));
    EXPECT_EQ(0, s.handle);
    EXPECT_EQ(0u, s.block);
    EXPECT_EQ(0, s.size);
    EXPECT_EQ(0, s.position);
}

TEST(ReadStreamOpen, DirectoriesAndOverlongNamesAreNotFiles) {
    TempDir dir;
    ReadStream s;
    EXPECT_FALSE(readStreamOpen(s, dir.path().c_str()));
    std::string longName = dir.file(std::string(1100, 'n'));
    EXPECT_FALSE(readStreamOpen(s, longName.c_str()));
}

TEST(ReadStreamOpen, BackslashesFromGameCodeAreSeparators) {
    TempDir dir;
    mkdir(dir.file("Data").c_str(), 0755);
    testsupport::writeFileBytes(dir.file("Data/a.txt"), "xyz");
    ReadStream s;
    ASSERT_TRUE(readStreamOpen(s, (dir.path() + "\\Data\\a.txt").c_str()));
    EXPECT_EQ(3, s.size);
    readStreamClose(s);
}

TEST(ReadStreamOpen, AFileAChannelHoldsIsRefusedAsAChannelOpenWouldBe) {
    TempDir dir;
    const std::string path = dir.file("save.dat");
    testsupport::writeFileBytes(path, "old");
    ASSERT_EQ(1, OpenFile(0, path.c_str(), 0));
    WriteStringToFile(0, "hal");  // half written
    ReadStream s;
    EXPECT_FALSE(readStreamOpen(s, path.c_str()));
    EXPECT_EQ(0, OpenFile(1, path.c_str(), 1));
    CloseFile(0);
    ASSERT_TRUE(readStreamOpen(s, path.c_str()));
    EXPECT_EQ(3, s.size);
    // While it is read, other readers may read too, but no writer gets in.
    ReadStream other;
    EXPECT_TRUE(readStreamOpen(other, path.c_str()));
    readStreamClose(other);
    EXPECT_EQ(1, OpenFile(1, path.c_str(), 1));
    CloseFile(1);
    EXPECT_EQ(0, OpenFile(1, path.c_str(), 0));
    EXPECT_EQ(0, OpenFile(1, path.c_str(), -1));
    readStreamClose(s);
    EXPECT_EQ("hal", testsupport::readFileBytes(path));
    EXPECT_EQ(1, OpenFile(1, path.c_str(), -1));
    CloseFile(1);
}

TEST(ReadStreamOpen, AFifoIsNoFileAndTheOpenNeverWaitsForAWriter) {
    TempDir dir;
    const std::string path = dir.file("pipe");
    ASSERT_EQ(0, mkfifo(path.c_str(), 0600));
    const int writer = open(path.c_str(), O_RDWR | O_NONBLOCK);
    ASSERT_GE(writer, 0);
    ReadStream s;
    EXPECT_FALSE(readStreamOpen(s, path.c_str()));
    close(writer);
    EXPECT_FALSE(readStreamOpen(s, path.c_str()));
}

TEST(ReadStreamOpen, BlockNamesOpenOnlyLiveBlocksThatHoldTheirSize) {
    Block block("0123456789");
    ReadStream s;
    ASSERT_TRUE(readStreamOpen(s, block.name()));
    EXPECT_EQ(10, s.size);
    EXPECT_EQ(0, s.handle);
    char bigger[32];
    files::formatMemBlockName(bigger, 11, s.block);
    EXPECT_FALSE(readStreamOpen(s, bigger));
    EXPECT_EQ(0u, s.block);
    EXPECT_FALSE(readStreamOpen(s, "mem://       1.7ffffff0"));
    EXPECT_FALSE(readStreamOpen(s, "mem://"));
}

TEST(ReadStreamRead, BlockReadsCopyWhatIsLeftAndDiskReadsFailShort) {
    Block block("0123456789");
    ReadStream s;
    ASSERT_TRUE(readStreamOpen(s, block.name()));
    s.position = 8;
    uint8_t buffer[4] = {'w', 'x', 'y', 'z'};
    EXPECT_TRUE(readStreamRead(s, buffer, 4));
    EXPECT_EQ(0, std::memcmp(buffer, "89yz", 4));
    EXPECT_EQ(10, s.position);
    EXPECT_TRUE(readStreamRead(s, buffer, 4));
    EXPECT_EQ(10, s.position);
    s.position = 11;
    EXPECT_FALSE(readStreamRead(s, buffer, 1));
    s.position = 0;
    EXPECT_FALSE(readStreamRead(s, buffer, -1));
    EXPECT_TRUE(readStreamRead(s, buffer, 0));

    TempDir dir;
    testsupport::writeFileBytes(dir.file("ten"), block.bytes());
    ASSERT_TRUE(readStreamOpen(s, dir.file("ten").c_str()));
    s.position = 8;
    EXPECT_FALSE(readStreamRead(s, buffer, 4));
    EXPECT_EQ(12, s.position);  // advanced before the read
    readStreamClose(s);
}

TEST(ReadStreamRead, Int32IsLittleEndianAndAShortBlockKeepsTheRest) {
    Block block(std::string("\x78\x56\x34\x12\xff\xee", 6));
    ReadStream s;
    ASSERT_TRUE(readStreamOpen(s, block.name()));
    int32_t value = 0;
    ASSERT_TRUE(readStreamReadInt32(s, value));
    EXPECT_EQ(0x12345678, value);
    value = 0x0A0B0C0D;
    ASSERT_TRUE(readStreamReadInt32(s, value));
    EXPECT_EQ(0x0A0BEEFF, value);
}

TEST(ReadStreamRead, AReleasedBlockFailsTheNextReadInsteadOfReadingFreedMemory) {
    Block block("still here");
    ReadStream s;
    ASSERT_TRUE(readStreamOpen(s, block.name()));
    uint8_t buffer[4];
    ASSERT_TRUE(readStreamRead(s, buffer, 4));
    block.release();
    EXPECT_FALSE(readStreamRead(s, buffer, 4));
    char line[16];
    EXPECT_FALSE(readStreamReadLine(s, line, sizeof line));
}

TEST(ReadStreamLines, DiskAndBlockGiveTheSameLinesAndEndAtTheSize) {
    const std::string text = "first line\r\nsecond";
    TempDir dir;
    const std::string path = dir.file("t.txt");
    testsupport::writeFileBytes(path, text);
    Block block(text);
    for (const char* name : {path.c_str(), block.name()}) {
        ReadStream s;
        ASSERT_TRUE(readStreamOpen(s, name)) << name;
        EXPECT_EQ((std::vector<std::string>{"first line", "second"}), allLines(s)) << name;
        EXPECT_EQ(s.size, s.position) << name;
        readStreamClose(s);
    }
    EXPECT_EQ(text, block.bytes());
}

TEST(ReadStreamLines, EmptyLinesCrAcrossPiecesAndTrailingCr) {
    // 63 characters put the "\r" at the end of the first 64-byte piece.
    const std::string longLine(63, 'L');
    const std::string text = "ab\r\n\n" + longLine + "\r\n" + "cd\r";
    TempDir dir;
    const std::string path = dir.file("t.txt");
    testsupport::writeFileBytes(path, text);
    Block block(text);
    for (const char* name : {path.c_str(), block.name()}) {
        ReadStream s;
        ASSERT_TRUE(readStreamOpen(s, name));
        EXPECT_EQ((std::vector<std::string>{"ab", "", longLine, "cd"}), allLines(s)) << name;
        EXPECT_EQ(s.size, s.position);
        readStreamClose(s);
    }
}

TEST(ReadStreamLines, ALastLineOfExactlyOnePieceIsNotLost) {
    const std::string text(64, 'x');
    TempDir dir;
    const std::string path = dir.file("t.txt");
    testsupport::writeFileBytes(path, text);
    ReadStream s;
    ASSERT_TRUE(readStreamOpen(s, path.c_str()));
    EXPECT_EQ(std::vector<std::string>{text}, allLines(s));
    readStreamClose(s);
}

TEST(ReadStreamLines, ALongLineIsCutInsideTheBufferAndContinued) {
    // A "\r" where the buffer cuts the line stays, on disk and in blocks
    // alike; at the end of the data it goes, as before a "\n". A line whose
    // "\n" takes the buffer's last byte fits it: no empty line follows.
    const std::string crAtTheCut = std::string(1022, 'a') + "\r";
    const std::pair<std::string, std::vector<std::string>> cases[] = {
        {std::string(1500, 'a') + "\nz", {std::string(1023, 'a'), std::string(477, 'a'), "z"}},
        {crAtTheCut + "z", {crAtTheCut, "z"}},
        {crAtTheCut, {std::string(1022, 'a')}},
        {std::string(1023, 'a') + "\nz", {std::string(1023, 'a'), "z"}},
        {std::string(1023, 'a') + "\r\nz", {std::string(1023, 'a'), "z"}},
    };
    TempDir dir;
    const std::string path = dir.file("t.txt");
    for (const auto& [text, expected] : cases) {
        testsupport::writeFileBytes(path, text);
        Block block(text);
        for (const char* name : {path.c_str(), block.name()}) {
            ReadStream s;
            ASSERT_TRUE(readStreamOpen(s, name));
            EXPECT_EQ(expected, allLines(s)) << name;
            readStreamClose(s);
        }
    }
}

TEST(ReadStreamLines, TinyBuffersAndEmptyRecordsGiveNoLine) {
    Block block("abc\n");
    ReadStream s;
    char buffer[2];
    uint8_t byte;
    EXPECT_FALSE(readStreamRead(s, &byte, 1));
    EXPECT_FALSE(readStreamReadLine(s, buffer, 2));
    ASSERT_TRUE(readStreamOpen(s, block.name()));
    EXPECT_FALSE(readStreamReadLine(s, buffer, 1));
    EXPECT_FALSE(readStreamReadLine(s, nullptr, 10));
    ASSERT_TRUE(readStreamReadLine(s, buffer, 2));
    EXPECT_STREQ("a", buffer);
}
