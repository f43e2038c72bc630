// File channels: typed values' exact bytes, line splitting on disk and in
// blocks, the open modes, seeking, sizes, exclusive opens, pack entries, and
// the fatal paths (each in a child process).
#include <gtest/gtest.h>

#include <csignal>
#include <cstdio>
#include <functional>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

#include "child_process.h"
#include "file_bytes.h"
#include "files_fixture.h"
#include "runtime/engine/orderly_end.h"
#include "runtime/files/directory_listing.h"
#include "runtime/files/file_channels.h"
#include "runtime/files/file_system.h"
#include "test_project_hooks.h"

using filetest::Block;
using filetest::bytes;
using testsupport::visible;

namespace {

class Channels : public filetest::FilesTest {
protected:
    ~Channels() override {
        for (uint32_t c = 0; c < kFileChannelCount; ++c) CloseFile(c);
    }
    // Every line the channel gives until its end.
    std::vector<std::string> lines(uint32_t c) {
        std::vector<std::string> all;
        RtString line;
        while (!EndOfFile(c)) {
            ReadLineFromFile(c, line);
            all.emplace_back(line.data, line.length);
        }
        return all;
    }
};

// The program must end with this code; what it wrote to the error log follows.
void expectFatal(const std::function<void()>& body, int code) {
    testsupport::ChildResult r = testsupport::runInChild(body);
    ASSERT_TRUE(r.exited);
    EXPECT_EQ(code, r.exitStatus);
    EXPECT_EQ("exit", r.out);
}

}  // namespace

TEST_F(Channels, TypedWritesGiveExactLittleEndianBytes) {
    ASSERT_EQ(1, OpenFile(0, "values.bin", 0));
    WriteInt32ToFile(0, -2);
    WriteUInt32ToFile(0, 0x12345678);
    WriteInt16ToFile(0, -2);
    WriteUInt16ToFile(0, 65534);
    WriteUInt16ToFile(0, 0x12345);  // the low 16 bits
    WriteInt8ToFile(0, -128);
    WriteUInt8ToFile(0, 0x1FF);
    WriteFloatToFile(0, 1.5);
    WriteDoubleToFile(0, -2.0);
    WriteStringToFile(0, "ab");
    WriteLineToFile(0, "x");
    WriteLineToFile(0, "");
    CloseFile(0);
    EXPECT_EQ(visible(bytes({0xFE, 0xFF, 0xFF, 0xFF, 0x78, 0x56, 0x34, 0x12, 0xFE, 0xFF, 0xFE, 0xFF, 0x45, 0x23,
                             0x80, 0xFF, 0x00, 0x00, 0xC0, 0x3F, 0, 0, 0, 0, 0, 0, 0x00, 0xC0, 'a', 'b', 'x', '\r',
                             '\n', '\r', '\n'})),
              visible(read("values.bin")));
    EXPECT_EQ(0, RtErrorCode);
}

TEST_F(Channels, TypedReadsExtendBySignednessAndWidenFloats) {
    put("values.bin", bytes({0xFE, 0xFF, 0xFE, 0xFF, 0x80, 0x80, 0x00, 0x00, 0x00, 0x80, 0x00, 0x00, 0xC0, 0x3F,
                             0, 0, 0, 0, 0, 0, 0x00, 0xC0, 0xFF, 0xFF, 0xFF, 0xFF}));
    ASSERT_EQ(1, OpenFile(3, "values.bin", 1));
    int32_t i = 0;
    double d = 0;
    ReadInt16FromFile(3, i);
    EXPECT_EQ(-2, i);
    ReadUInt16FromFile(3, i);
    EXPECT_EQ(65534, i);
    ReadInt8FromFile(3, i);
    EXPECT_EQ(-128, i);
    ReadUInt8FromFile(3, i);
    EXPECT_EQ(128, i);
    ReadInt32FromFile(3, i);
    EXPECT_EQ(INT32_MIN, i);
    ReadFloatFromFile(3, d);
    EXPECT_EQ(1.5, d);
    ReadDoubleFromFile(3, d);
    EXPECT_EQ(-2.0, d);
    ReadUInt32FromFile(3, i);
    EXPECT_EQ(-1, i);
    EXPECT_EQ(26, FilePosition(3));
    EXPECT_TRUE(EndOfFile(3));
}

TEST_F(Channels, FloatsBeyondTheSingleRangeBecomeInfinities) {
    ASSERT_EQ(1, OpenFile(0, "f.bin", 0));
    WriteFloatToFile(0, 1e300);
    WriteFloatToFile(0, -1e300);
    CloseFile(0);
    EXPECT_EQ(visible(bytes({0, 0, 0x80, 0x7F, 0, 0, 0x80, 0xFF})), visible(read("f.bin")));
}

TEST_F(Channels, LinesSplitAtCrLfAndBareLfOnDiskAndInBlocks) {
    const std::string text = bytes({'a', 'b', 0x0D, 0x0A, 0x0A, 'c', 'd'});
    put("lines.txt", text);
    Block block(text);
    for (const std::string& name : {std::string("lines.txt"), block.name()}) {
        SCOPED_TRACE(name);
        ASSERT_EQ(1, OpenFile(2, name.c_str(), 1));
        RtString line;
        ReadLineFromFile(2, line);
        EXPECT_STREQ("ab", line.data);
        EXPECT_EQ(4, FilePosition(2));
        ReadLineFromFile(2, line);
        EXPECT_EQ(0u, line.length);
        EXPECT_FALSE(EndOfFile(2));
        ReadLineFromFile(2, line);
        EXPECT_STREQ("cd", line.data);
        EXPECT_TRUE(EndOfFile(2));
        EXPECT_EQ(7, FilePosition(2));
    }
    EXPECT_EQ(text, block.content());
}

TEST_F(Channels, ALineReadWithNoDataLeftEndsTheProgram) {
    put("lines.txt", "ab\r\n");
    Block block("ab\r\n");
    for (const std::string& name : {std::string("lines.txt"), block.name()}) {
        expectFatal([&] {
            OpenFile(2, name.c_str(), 1);
            RtString line;
            ReadLineFromFile(2, line);
            ReadLineFromFile(2, line);
        }, 3);
    }
    const std::string log = testsupport::readFileBytes(tmp_ + "/ErrorLog.txt");
    EXPECT_EQ(log.rfind("0003 no such file: " + work("lines.txt") + "\n", 0), 0u) << log;
}

TEST_F(Channels, AFatalReadNamesTheFileTheChannelWasOpenedWithOnStandardErrorAndInTheLog) {
    ASSERT_EQ(0, mkdir(work("Data").c_str(), 0755));
    testsupport::ChildResult r = testsupport::runInChild([] {
        OpenFile(1, "Data/shol1.dat", 1);  // missing: 3, the program goes on
        int32_t v;
        ReadInt16FromFile(1, v);
    });
    ASSERT_TRUE(r.exited);
    EXPECT_EQ(3, r.exitStatus);
    const std::string text = "0003 no such file: " + work("Data/shol1.dat") + "\n";
    EXPECT_EQ(text, r.err);
    EXPECT_EQ(text, testsupport::readFileBytes(tmp_ + "/ErrorLog.txt").substr(0, text.size()));
}

TEST_F(Channels, LongLinesComeIn1024BytePieces) {
    put("long.txt", std::string(1500, 'q') + "\r\nz");
    ASSERT_EQ(1, OpenFile(0, "long.txt", 1));
    EXPECT_EQ((std::vector<std::string>{std::string(1024, 'q'), std::string(476, 'q'), "z"}), lines(0));
    // A line that fills the 1,024 bytes exactly is one line, not one and an empty one.
    put("full.txt", std::string(1024, 'f') + "\r\nz");
    ASSERT_EQ(1, OpenFile(0, "full.txt", 1));
    EXPECT_EQ((std::vector<std::string>{std::string(1024, 'f'), "z"}), lines(0));
}

TEST_F(Channels, ALastLineWhoseLengthIsAMultipleOf64IsStillALine) {
    put("tail.txt", "first\n" + std::string(128, 't'));
    Block block("first\n" + std::string(128, 't'));
    for (const std::string& name : {std::string("tail.txt"), block.name()}) {
        ASSERT_EQ(1, OpenFile(0, name.c_str(), 1));
        EXPECT_EQ((std::vector<std::string>{"first", std::string(128, 't')}), lines(0));
        EXPECT_EQ(134, FilePosition(0));
    }
}

TEST_F(Channels, ACarriageReturnIsDroppedOnlyBeforeALineEnd) {
    std::string text = "a\rb\r\n" + std::string(63, 'c') + "\r\nlast\r";
    put("cr.txt", text);
    Block block(text);
    for (const std::string& name : {std::string("cr.txt"), block.name()}) {
        ASSERT_EQ(1, OpenFile(0, name.c_str(), 1));
        EXPECT_EQ((std::vector<std::string>{"a\rb", std::string(63, 'c'), "last"}), lines(0));
    }
}

TEST_F(Channels, ANulByteEndsTheLinesText) {
    put("nul.txt", std::string("ab\0cd\nef", 8));
    ASSERT_EQ(1, OpenFile(0, "nul.txt", 1));
    EXPECT_EQ((std::vector<std::string>{"ab", "ef"}), lines(0));
}

TEST_F(Channels, LinesConvertToNumbersWithTheLibraryRules) {
    put("n.txt", "42abc\r\n-3.25\r\n\r\n");
    ASSERT_EQ(1, OpenFile(0, "n.txt", 1));
    int32_t i = 0;
    double d = 0;
    ReadLineAsInt(0, i);
    EXPECT_EQ(42, i);
    ReadLineAsFloat(0, d);
    EXPECT_EQ(-3.25, d);
    ReadLineAsInt(0, i);
    EXPECT_EQ(0, i);
}

TEST_F(Channels, AppendKeepsTheFileAndReportsPositionZero) {
    put("log.txt", std::string(100, 'L'));
    ASSERT_EQ(1, OpenFile(4, "log.txt", -1));
    EXPECT_EQ(0, FilePosition(4));
    EXPECT_TRUE(EndOfFile(4));
    WriteLineToFile(4, "z");
    EXPECT_EQ(0, FilePosition(4));
    CloseFile(4);
    EXPECT_EQ(std::string(100, 'L') + "z\r\n", read("log.txt"));
    ASSERT_EQ(1, OpenFile(4, "new.txt", -1));  // created when missing
    CloseFile(4);
    EXPECT_TRUE(testsupport::fileExists(work("new.txt")));
}

TEST_F(Channels, WriteModeEmptiesTheFileAtTheOpenAndCanReadBackAfterASeek) {
    put("w.bin", "old content");
    ASSERT_EQ(1, OpenFile(1, "w.bin", 0));
    EXPECT_EQ("", read("w.bin"));  // made anew at the open
    WriteInt32ToFile(1, 0x01020304);
    EXPECT_EQ(bytes({4, 3, 2, 1}), read("w.bin"));  // in the file at once
    EXPECT_EQ(0, FilePosition(1));
    EXPECT_TRUE(EndOfFile(1));
    FileSeek(1, 0, 0);
    int32_t v = 0;
    ReadInt32FromFile(1, v);
    EXPECT_EQ(0x01020304, v);
    EXPECT_EQ(4, FilePosition(1));
    CloseFile(1);
    EXPECT_EQ(0, RtErrorCode);
    EXPECT_EQ(bytes({4, 3, 2, 1}), read("w.bin"));
}

TEST_F(Channels, AWriteThatCannotFinishEndsTheProgramKeepingWhatWasWritten) {
    put("record.dat", "old record");
    expectFatal([] {
        testsupport::limitFileSizes(1000);
        OpenFile(1, "record.dat", 0);
        for (int i = 0; i < 2000; ++i) WriteUInt8ToFile(1, i);
    }, 3);
    std::string written;
    for (int i = 0; i < 1000; ++i) written.push_back(static_cast<char>(i));
    const std::string kept = read("record.dat");
    EXPECT_EQ(1000u, kept.size());
    EXPECT_TRUE(kept == written);  // the bytes up to the limit, in order
    EXPECT_EQ((std::vector<std::string>{"record.dat"}), testsupport::namesInFolder(work("")));
}

// A channel writes the file it opened, whatever happens after the open: a
// change of the current folder, an end without CloseFile, a kill. The file
// holds every byte written and nothing else stands beside it.
TEST_F(Channels, AChannelByARelativeNameKeepsItsBytesWhenTheFolderChanges) {
    mkdir(work("saves").c_str(), 0755);
    mkdir(work("other").c_str(), 0755);
    const std::function<void(bool)> save = [](bool close) {
        RtString saves("saves"), other("../other");
        ASSERT_EQ(1.0, SetCurrentDir(saves));
        ASSERT_EQ(1, OpenFile(1, "slot1.sav", 0));
        WriteLineToFile(1, "level 5");
        ASSERT_EQ(1.0, SetCurrentDir(other));
        if (close) {
            CloseFile(1);
            EXPECT_EQ(0, RtErrorCode);
        } else {
            terminateProgram();  // the orderly end closes the channel
        }
    };
    for (bool close : {true, false}) {
        SCOPED_TRACE(close ? "CloseFile" : "the orderly end");
        testsupport::ScopedCwd atTheStart(work(""));
        put("saves/slot1.sav", "level 1\r\n");
        if (close) {
            save(true);
        } else {
            testsupport::ChildResult r = testsupport::runInChild([&] { save(false); });
            ASSERT_TRUE(r.exited);
            EXPECT_EQ(0, r.exitStatus);
        }
        EXPECT_EQ("level 5\r\n", read("saves/slot1.sav"));
        EXPECT_EQ((std::vector<std::string>{"slot1.sav"}), testsupport::namesInFolder(work("saves")));
        EXPECT_TRUE(testsupport::namesInFolder(work("other")).empty());
    }
}

TEST_F(Channels, AProgramKilledWhileItWritesLeavesWhatItWrote) {
    for (int signal : {SIGKILL, SIGTERM, SIGINT}) {
        SCOPED_TRACE(signal);
        put("run.log", "the last run");
        const int child = testsupport::startPausedChild([] {
            OpenFile(3, "run.log", 0);
            WriteLineToFile(3, "step 1");
            WriteLineToFile(3, "step 2");
        });
        ASSERT_GT(child, 0);
        EXPECT_TRUE(testsupport::killChild(child, signal));
        EXPECT_EQ("step 1\r\nstep 2\r\n", read("run.log"));
        EXPECT_EQ((std::vector<std::string>{"run.log"}), testsupport::namesInFolder(work("")));
    }
}

TEST_F(Channels, AListingWhileAChannelWritesShowsOnlyTheFile) {
    put("out.txt", "old");
    ASSERT_EQ(1, OpenFile(2, "out.txt", 0));
    WriteLineToFile(2, "new");
    RtArray<RtString> names;
    EXPECT_EQ(2 * 65536 + 1, ListDirectory("*.*", names));
    ASSERT_EQ(3, names.total);
    EXPECT_STREQ("out.txt", names.data[2].c_str());
}

// An open that cannot be finished fails at OpenFile, where a program looks,
// not at the close: here a folder with the sticky bit, in which another
// user's file may be written but not removed.
TEST_F(Channels, AWriteOpenThatCannotBeFinishedFailsAtTheOpen) {
    if (geteuid() != 0) GTEST_SKIP() << "needs a second user";
    chmod(dir_.path().c_str(), 0755);
    chmod(work("").c_str(), 0755);
    mkdir(work("shared").c_str(), 01777);
    chmod(work("shared").c_str(), 01777);
    put("shared/theirs.txt", "theirs");
    chmod(work("shared/theirs.txt").c_str(), 0666);
    ASSERT_EQ(0, chown(work("shared/theirs.txt").c_str(), 4242, 4242));
    testsupport::ChildResult r = testsupport::runInChild([] {
        if (setgid(65534) != 0 || setuid(65534) != 0) std::_Exit(9);
        const int32_t opened = OpenFile(1, "shared/theirs.txt", 0);
        std::printf("%d %d", opened, RtErrorCode);
        std::fflush(stdout);
        std::_Exit(0);  // nothing after the open is under test
    });
    ASSERT_TRUE(r.exited);
    EXPECT_EQ(0, r.exitStatus);
    EXPECT_EQ("0 3", r.out);
    EXPECT_EQ("theirs", read("shared/theirs.txt"));
    EXPECT_EQ((std::vector<std::string>{"theirs.txt"}), testsupport::namesInFolder(work("shared")));
}

TEST_F(Channels, WriteModeReplacesAnEmptyFolderButNotAFullOne) {
    mkdir(work("empty").c_str(), 0755);
    ASSERT_EQ(1, OpenFile(0, "empty", 0));
    CloseFile(0);
    struct stat st;
    ASSERT_EQ(0, stat(work("empty").c_str(), &st));
    EXPECT_TRUE(S_ISREG(st.st_mode));

    mkdir(work("full").c_str(), 0755);
    put("full/keep.txt", "keep");
    EXPECT_EQ(0, OpenFile(0, "full", 0));
    EXPECT_EQ(3, RtErrorCode);
    EXPECT_EQ("keep", read("full/keep.txt"));
}

TEST_F(Channels, WriteModeGivesTheNameANewFileAndSparesOtherNames) {
    put("a.txt", "shared");
    ASSERT_EQ(0, link(work("a.txt").c_str(), work("b.txt").c_str()));
    ASSERT_EQ(0, symlink(work("b.txt").c_str(), work("c.txt").c_str()));
    ASSERT_EQ(1, OpenFile(0, "a.txt", 0));
    WriteStringToFile(0, "new");
    ASSERT_EQ(1, OpenFile(0, "c.txt", 0));  // the link itself is replaced
    CloseFile(0);
    EXPECT_EQ("new", read("a.txt"));
    EXPECT_EQ("shared", read("b.txt"));
    struct stat st;
    ASSERT_EQ(0, lstat(work("c.txt").c_str(), &st));
    EXPECT_TRUE(S_ISREG(st.st_mode));
    ASSERT_EQ(1, OpenFile(0, "/dev/null", 0));  // a device is written, never removed
    WriteLineToFile(0, "gone");
    CloseFile(0);
    ASSERT_EQ(0, stat("/dev/null", &st));
    EXPECT_TRUE(S_ISCHR(st.st_mode));
}

TEST_F(Channels, WriteModeKeepsThePermissionsOfTheFileItReplaces) {
    for (mode_t mode : {0600, 0755, 0640}) {
        SCOPED_TRACE(mode);
        put("private.txt", "old");
        ASSERT_EQ(0, chmod(work("private.txt").c_str(), mode));
        ASSERT_EQ(1, OpenFile(0, "private.txt", 0));
        WriteStringToFile(0, "new");
        CloseFile(0);
        struct stat st;
        ASSERT_EQ(0, stat(work("private.txt").c_str(), &st));
        EXPECT_EQ(mode, st.st_mode & 07777);
        EXPECT_EQ("new", read("private.txt"));
    }
}

TEST_F(Channels, BlockNamesCannotBeWrittenOrAppended) {
    Block block("data");
    EXPECT_EQ(0, OpenFile(0, block.name().c_str(), 0));
    EXPECT_EQ(3, RtErrorCode);
    EXPECT_EQ(0, OpenFile(0, block.name().c_str(), -1));
    EXPECT_EQ(3, RtErrorCode);
    EXPECT_EQ("data", block.content());
}

TEST_F(Channels, ReadOpenFailuresRecordThreeForMissingNamesOnly) {
    EXPECT_EQ(0, OpenFile(0, "missing.txt", 1));
    EXPECT_EQ(3, RtErrorCode);
    mkdir(work("folder").c_str(), 0755);
    EXPECT_EQ(0, OpenFile(0, "folder", 1));
    EXPECT_EQ(3, RtErrorCode);
    EXPECT_EQ(0, OpenFile(0, "", 1));
    EXPECT_EQ(3, RtErrorCode);
    EXPECT_EQ(0, OpenFile(0, "mem://       4.7ffffff0", 1));  // no such block
    EXPECT_EQ(3, RtErrorCode);
    put("ok.txt", "x");
    EXPECT_EQ(1, OpenFile(0, "ok.txt", 1));
    EXPECT_EQ(0, RtErrorCode);
}

TEST_F(Channels, NamesThatDoNotFitThePathBufferFailCleanly) {
    std::string longName(1100, 'n');
    EXPECT_EQ(0, OpenFile(0, longName.c_str(), 1));
    EXPECT_EQ(3, RtErrorCode);
    EXPECT_EQ(0, OpenFile(0, longName.c_str(), 0));
    EXPECT_EQ(3, RtErrorCode);
    EXPECT_EQ(0, FileSizeByName(longName.c_str()));
    EXPECT_EQ(3, RtErrorCode);
}

TEST_F(Channels, ChannelEightIsRefusedByOpenAndFatalElsewhere) {
    EXPECT_EQ(0, OpenFile(8, "x", 0));
    EXPECT_EQ(7, RtErrorCode);
    EXPECT_EQ(0, OpenFile(static_cast<uint32_t>(-1), "x", 0));
    EXPECT_EQ(7, RtErrorCode);
    EXPECT_FALSE(testsupport::fileExists(work("x")));
    expectFatal([] { FilePosition(8); }, 7);
    expectFatal([] { CloseFile(static_cast<uint32_t>(-3)); }, 7);
    expectFatal([] { EndOfFile(9); }, 7);
}

TEST_F(Channels, SeekMovesThePositionWithoutClamping) {
    put("ten.bin", "0123456789");
    ASSERT_EQ(1, OpenFile(5, "ten.bin", 1));
    FileSeek(5, -4, -1);
    EXPECT_EQ(6, FilePosition(5));
    int32_t v = 0;
    ReadUInt8FromFile(5, v);
    EXPECT_EQ('6', v);
    FileSeek(5, 2, 1);
    ReadUInt8FromFile(5, v);
    EXPECT_EQ('9', v);
    FileSeek(5, 20, 0);
    EXPECT_EQ(20, FilePosition(5));
    EXPECT_TRUE(EndOfFile(5));
    FileSeek(5, -30, 1);
    EXPECT_EQ(-10, FilePosition(5));
    FileSeek(6, 5, 0);  // a free channel stays as it is
    EXPECT_EQ(0, FilePosition(6));
}

TEST_F(Channels, ReadBytesKeepsNulsAndFillsShortBlocksWithZeros) {
    RtString out("stale");
    ReadBytesFromFile(7, out, 0);  // not even the channel is looked at
    EXPECT_EQ(0u, out.length);
    put("raw.bin", std::string("a\0b\0c", 5));
    ASSERT_EQ(1, OpenFile(0, "raw.bin", 1));
    ReadBytesFromFile(0, out, 4);
    EXPECT_EQ(std::string("a\0b\0", 4), std::string(out.data, out.length));
    Block block("xyz");
    ASSERT_EQ(1, OpenFile(1, block.name().c_str(), 1));
    ReadBytesFromFile(1, out, 5);
    EXPECT_EQ(std::string("xyz\0\0", 5), std::string(out.data, out.length));
    EXPECT_EQ(3, FilePosition(1));
    ReadBytesFromFile(1, out, 2);  // nothing left: two zero bytes
    EXPECT_EQ(std::string("\0\0", 2), std::string(out.data, out.length));
}

TEST_F(Channels, FreeChannelSkipsBlockChannelsAndRunsOut) {
    Block block("b");
    EXPECT_EQ(0, FreeFileChannel());
    ASSERT_EQ(1, OpenFile(0, block.name().c_str(), 1));
    EXPECT_EQ(1, FreeFileChannel());
    for (uint32_t c = 1; c < 8; ++c) ASSERT_EQ(1, OpenFile(c, ("f" + std::to_string(c)).c_str(), 0));
    EXPECT_EQ(-1, FreeFileChannel());
    CloseFile(5);
    EXPECT_EQ(5, FreeFileChannel());
    EXPECT_EQ(0, fileChannel(0)->handle);
    EXPECT_NE(0u, fileChannel(0)->block);
}

TEST_F(Channels, FileSizeByNameReadsDisksAndBlockNamesButNotThePack) {
    installPack({testpack::entry("packed.dat", "123456")});
    put("disk.bin", std::string(300, 'd'));
    EXPECT_EQ(300, FileSizeByName("disk.bin"));
    EXPECT_EQ(0, RtErrorCode);
    EXPECT_EQ(0x1234, FileSizeByName("mem://    1234.       1"));
    EXPECT_EQ(0, FileSizeByName("packed.dat"));
    EXPECT_EQ(3, RtErrorCode);
    EXPECT_EQ(0, FileSizeByName(""));
    EXPECT_EQ(3, RtErrorCode);
    mkdir(work("dir").c_str(), 0755);
    EXPECT_EQ(0, FileSizeByName("dir"));
    EXPECT_EQ(3, RtErrorCode);
}

TEST_F(Channels, PackEntriesOpenForReadingAsBlocks) {
    std::string level = bytes({0x14, 0x00, 0x0F, 0x00, 0x07, 0xFF});
    installPack({testpack::entry("shol1.dat", level), testpack::entry("config.txt", "a\r\nb")});
    ASSERT_EQ(1, OpenFile(1, "Data/SHOL1.DAT", 1));
    EXPECT_EQ(0, fileChannel(1)->handle);
    EXPECT_EQ(6, fileChannel(1)->size);
    int32_t v = 0;
    ReadInt16FromFile(1, v);
    EXPECT_EQ(20, v);
    ReadUInt16FromFile(1, v);
    EXPECT_EQ(15, v);
    ReadInt8FromFile(1, v);
    EXPECT_EQ(7, v);
    ReadInt8FromFile(1, v);
    EXPECT_EQ(-1, v);
    EXPECT_TRUE(EndOfFile(1));
    ASSERT_EQ(1, OpenFile(1, "config.txt", 1));
    EXPECT_EQ((std::vector<std::string>{"a", "b"}), lines(1));
    // A disk file of the name wins over the entry.
    put("config.txt", "disk");
    ASSERT_EQ(1, OpenFile(1, "config.txt", 1));
    EXPECT_EQ((std::vector<std::string>{"disk"}), lines(1));
}

TEST_F(Channels, ReadersShareAFileThatNoWriterHolds) {
    put("held.txt", "precious");
    ASSERT_EQ(1, OpenFile(0, "held.txt", 1));
    EXPECT_EQ(1, OpenFile(1, "held.txt", 1));  // a second reader, as another program loading it would be
    EXPECT_EQ(8, FileSizeByName("held.txt"));
    EXPECT_EQ(0, OpenFile(2, "held.txt", 0));  // but no writer while anyone reads
    EXPECT_EQ(3, RtErrorCode);
    EXPECT_EQ(0, OpenFile(2, "held.txt", -1));
    EXPECT_EQ("precious", read("held.txt"));
    CloseFile(0);
    CloseFile(1);
    ASSERT_EQ(1, OpenFile(1, "held.txt", -1));
    EXPECT_EQ(0, OpenFile(0, "held.txt", 1));  // and no reader while a writer holds it
    EXPECT_EQ(0, RtErrorCode);                 // it exists; it is only held
    EXPECT_EQ(0, FileSizeByName("held.txt"));
}

TEST_F(Channels, NamesMeetTheFileThatExistsInAnyLetterCase) {
    mkdir(work("Data").c_str(), 0755);
    ASSERT_EQ(1, OpenFile(0, "data/shol1.dat", 0));  // the editor's spelling
    WriteInt16ToFile(0, 31);
    CloseFile(0);
    EXPECT_EQ(bytes({31, 0}), read("Data/shol1.dat"));
    ASSERT_EQ(1, OpenFile(0, "Data/shol1.dat", 1));  // the game's spelling
    int32_t v = 0;
    ReadInt16FromFile(0, v);
    EXPECT_EQ(31, v);
    ASSERT_EQ(1, OpenFile(0, "DATA\\SHOL1.DAT", -1));
    WriteUInt8ToFile(0, 9);
    CloseFile(0);
    EXPECT_EQ(bytes({31, 0, 9}), read("Data/shol1.dat"));
    EXPECT_EQ(3, FileSizeByName("dAtA/Shol1.dat"));
    struct stat st;
    EXPECT_NE(0, stat(work("data").c_str(), &st));  // no second folder
}

TEST_F(Channels, CloseAllClosesEveryChannelAndCallsTheProjectHookOnce) {
    Block block("b");
    ASSERT_EQ(1, OpenFile(0, "a", 0));
    ASSERT_EQ(1, OpenFile(7, block.name().c_str(), 1));
    RtErrorCode = 5;
    rearmProjectHookAtClose();  // as in a process whose channels were never all closed
    int before = testsupport::emptyProjectHookCalls;
    closeAllFileChannels();
    closeAllFileChannels();
    EXPECT_EQ(before + 1, testsupport::emptyProjectHookCalls);
    EXPECT_EQ(5, RtErrorCode);
    EXPECT_EQ(0, FreeFileChannel());
    EXPECT_EQ(0u, fileChannel(7)->block);
}

TEST_F(Channels, ShortAndMisplacedReadsAndWritesEndTheProgram) {
    put("two.bin", "ab");
    Block block("abc");
    // A read of 4 bytes where 2 are left, on disk and in a block.
    expectFatal([] {
        OpenFile(0, "two.bin", 1);
        int32_t v;
        ReadInt32FromFile(0, v);
    }, 3);
    expectFatal([&] {
        OpenFile(0, block.name().c_str(), 1);
        int32_t v;
        ReadInt32FromFile(0, v);
    }, 3);
    expectFatal([] {
        int32_t v;
        ReadUInt8FromFile(2, v);  // a free channel
    }, 3);
    expectFatal([] {
        OpenFile(0, "two.bin", 1);
        FileSeek(0, -1, 0);
        int32_t v;
        ReadUInt8FromFile(0, v);  // before the start
    }, 3);
    expectFatal([&] {
        OpenFile(0, block.name().c_str(), 1);
        WriteUInt8ToFile(0, 1);  // a block is never written
    }, 3);
    expectFatal([] { WriteLineToFile(3, ""); }, 3);  // a free channel
    expectFatal([] {
        OpenFile(0, "two.bin", 1);
        WriteInt16ToFile(0, 1);  // opened for reading only
    }, 3);
    expectFatal([] {
        OpenFile(0, "out.bin", -1);
        RtString s;
        ReadLineFromFile(0, s);  // opened for writing only
    }, 3);
    EXPECT_EQ("ab", read("two.bin"));
    EXPECT_EQ("abc", block.content());
}

TEST_F(Channels, AnEmptyStringWritesNothingEvenOnAFreeChannel) {
    WriteStringToFile(6, "");
    EXPECT_EQ(0, RtErrorCode);
}

TEST_F(Channels, AReleasedBlockFailsItsNextRead) {
    auto* block = new Block("abcdef");
    ASSERT_EQ(1, OpenFile(0, block->name().c_str(), 1));
    int32_t v = 0;
    ReadUInt8FromFile(0, v);
    EXPECT_EQ('a', v);
    delete block;
    expectFatal([] {
        int32_t w;
        ReadUInt8FromFile(0, w);
    }, 3);
}
