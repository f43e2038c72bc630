// The text-line file cache: "NO_FILE" and "NO_DATA", line numbers out of
// range, loading once per name, the write-back bytes on a switch and at exit,
// files from the pack, and the 256-line and 1,023-byte limits.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <sys/stat.h>

#include "child_process.h"
#include "files_fixture.h"
#include "runtime/files/text_line_file.h"

using testsupport::visible;

namespace {

class LineFile : public filetest::FilesTest {
protected:
    // Writes a changed file back and empties the cache, so nothing is left
    // for the exit handler to write into a folder that is gone by then.
    ~LineFile() override { loadTextLineFile(nullptr); }

    std::string text(double line, const std::string& name = "lines.txt") {
        RtString r = ReadFileLine(RtString(work(name).c_str()), line);
        return std::string(r.data, r.length);
    }
    RtString path(const std::string& name) const { return RtString(work(name).c_str()); }
};

}  // namespace

TEST_F(LineFile, TrailingControlBytesAreCutAndEmptyLinesReadNoData) {
    put("lines.txt", "\t\r\n  \r\nvalue\t \t\r\n\r\n\x01\x02");
    EXPECT_EQ("NO_DATA", text(0));
    EXPECT_EQ(0, RtErrorCode);
    EXPECT_EQ("  ", text(1));
    EXPECT_EQ("value\t ", text(2));
    EXPECT_EQ("NO_DATA", text(3));
    EXPECT_EQ("NO_DATA", text(4));  // control bytes only
    EXPECT_EQ("NO_DATA", text(5));  // beyond the last line
    EXPECT_EQ(4, textLineFile().highestLine);
}

TEST_F(LineFile, LineNumbersOutOfRangeRecordSevenAndReadNoData) {
    put("lines.txt", "zero\r\n");
    EXPECT_EQ("NO_DATA", text(256));
    EXPECT_EQ(7, RtErrorCode);
    EXPECT_EQ("NO_DATA", text(-1));
    EXPECT_EQ(7, RtErrorCode);
    EXPECT_EQ("NO_DATA", text(NAN));
    EXPECT_EQ(7, RtErrorCode);
    EXPECT_EQ("zero", text(-0.5));  // truncated toward zero
    EXPECT_EQ("zero", text(0.99));
    EXPECT_EQ(0, RtErrorCode);
    WriteFileLine(path("lines.txt"), 300, "x");
    EXPECT_EQ(7, RtErrorCode);
    EXPECT_FALSE(textLineFile().dirty);
}

TEST_F(LineFile, AMissingFileReadsNoFileOnceThenNoData) {
    EXPECT_EQ("NO_FILE", text(0, "missing.txt"));
    EXPECT_EQ(3, RtErrorCode);
    EXPECT_EQ("NO_DATA", text(0, "missing.txt"));
    EXPECT_EQ(0, RtErrorCode);
    double value = 7;
    ReadFileLineAsFloat(path("other-missing.txt"), 0, value);
    EXPECT_EQ(0.0, value);
}

TEST_F(LineFile, WritingLineFiveOfANewFileWritesSixCrLfLinesOnSwitch) {
    WriteFileLine(path("new.txt"), 5, "text");
    EXPECT_EQ(3, RtErrorCode);  // the file did not exist yet
    EXPECT_FALSE(testsupport::fileExists(work("new.txt")));
    put("other.txt", "o\n");
    EXPECT_EQ("o", text(0, "other.txt"));
    EXPECT_EQ(visible("\r\n\r\n\r\n\r\n\r\ntext\r\n"), visible(read("new.txt")));
}

TEST_F(LineFile, AFileIsLoadedOncePerSpellingOfItsName) {
    put("lines.txt", "first\r\n");
    EXPECT_EQ("first", text(0));
    put("lines.txt", "changed\r\n");
    EXPECT_EQ("first", text(0));  // cached
    // Another spelling of the same file reloads it, writing a change back first.
    WriteFileLine(path("lines.txt"), 1, "second");
    EXPECT_EQ("second", std::string(ReadFileLine(RtString((work("") + "./lines.txt").c_str()), 1).data));
    EXPECT_EQ(visible("first\r\nsecond\r\n"), visible(read("lines.txt")));
}

TEST_F(LineFile, NumbersAreWrittenAndReadAsText) {
    WriteFileLineNumber(path("n.txt"), 0, 2.5);
    WriteFileLineNumber(path("n.txt"), 1, 3.0);
    WriteFileLine(path("n.txt"), 2, "41 apples");
    double d = 0;
    int32_t i = 0;
    ReadFileLineAsFloat(path("n.txt"), 0, d);
    EXPECT_EQ(2.5, d);
    EXPECT_EQ("3", text(1, "n.txt"));
    ReadFileLineAsInt(path("n.txt"), 2, i);
    EXPECT_EQ(41, i);
}

TEST_F(LineFile, OnlyTheFirst256LinesAreAddressedButTheRestIsWrittenBack) {
    std::string content;
    for (int i = 0; i < 300; ++i) content += std::to_string(i) + "\r\n";
    content += "last, no line end";
    put("many.txt", content);
    EXPECT_EQ("255", text(255, "many.txt"));
    EXPECT_EQ(255, textLineFile().highestLine);
    WriteFileLine(path("many.txt"), 0, "zero");
    loadTextLineFile(nullptr);
    EXPECT_EQ("zero" + content.substr(1), read("many.txt"));
}

TEST_F(LineFile, LongTextsAndLongLinesAreCutAt1023Bytes) {
    WriteFileLine(path("long.txt"), 0, RtString(std::string(2000, 'w').c_str()));
    EXPECT_EQ(std::string(1023, 'w'), text(0, "long.txt"));
    put("longline.txt", std::string(1500, 'l') + "\r\nnext\r\n");
    EXPECT_EQ(std::string(1023, 'l'), text(0, "longline.txt"));
    EXPECT_EQ(std::string(477, 'l'), text(1, "longline.txt"));
    EXPECT_EQ("next", text(2, "longline.txt"));
    // A line of 1,023 bytes fills its slot: the next line keeps its number.
    put("fullline.txt", std::string(1023, 'f') + "\r\nnext\r\n");
    EXPECT_EQ("next", text(1, "fullline.txt"));
}

TEST_F(LineFile, ANameTooLongForTheCacheLeavesTheCachedFileAlone) {
    WriteFileLine(path("kept.txt"), 0, "kept");
    RtString longName(std::string(1100, 'n').c_str());
    EXPECT_EQ("NO_FILE", std::string(ReadFileLine(longName, 0).data));
    EXPECT_EQ(3, RtErrorCode);
    WriteFileLine(longName, 0, "lost");
    EXPECT_EQ(3, RtErrorCode);
    EXPECT_TRUE(textLineFile().dirty);
    EXPECT_EQ("kept", text(0, "kept.txt"));
}

TEST_F(LineFile, PackedFilesReadFromThePackAndWriteBackToDisk) {
    installPack({testpack::entry("cfg.txt", "3\r\n100\r\n")});
    EXPECT_EQ("100", std::string(ReadFileLine("cfg.txt", 1).data));
    EXPECT_FALSE(testsupport::fileExists(work("cfg.txt")));
    WriteFileLine("cfg.txt", 0, "4");
    loadTextLineFile(nullptr);
    EXPECT_EQ(visible("4\r\n100\r\n"), visible(read("cfg.txt")));
}

TEST_F(LineFile, MemoryBlocksReadAsTheOtherFileCommandsReadThem) {
    filetest::Block block("first\r\nsecond\r\n");
    EXPECT_EQ("second", std::string(ReadFileLine(RtString(block.name().c_str()), 1).data));
    EXPECT_EQ(0, RtErrorCode);
}

TEST_F(LineFile, NamesMeetTheFileThatExistsInAnyLetterCase) {
    mkdir(work("Data").c_str(), 0755);
    put("Data/Progress.txt", "7\r\n");
    EXPECT_EQ("7", text(0, "data/progress.TXT"));
    WriteFileLine(path("DATA/PROGRESS.TXT"), 0, "8");
    loadTextLineFile(nullptr);
    EXPECT_EQ("8\r\n", read("Data/Progress.txt"));
}

TEST_F(LineFile, AChangedFileIsWrittenBackWhenTheProgramEnds) {
    std::string name = work("atexit.txt");
    testsupport::ChildResult r = testsupport::runInChild([&] {
        WriteFileLine(RtString(name.c_str()), 1, "b");
        WriteFileLine(RtString(name.c_str()), 0, "a");
    });
    ASSERT_TRUE(r.exited);
    EXPECT_EQ(0, r.exitStatus);
    EXPECT_EQ(visible("a\r\nb\r\n"), visible(read("atexit.txt")));
}

TEST_F(LineFile, AnUnchangedFileIsNotWrittenBack) {
    put("same.txt", "a\nb");  // bare LF, no final line end
    EXPECT_EQ("b", text(1, "same.txt"));
    loadTextLineFile(nullptr);
    EXPECT_EQ("a\nb", read("same.txt"));
}
