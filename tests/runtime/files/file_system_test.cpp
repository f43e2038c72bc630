// File-system commands: existence, deletion, folders, the working directory,
// copying (pieces, failures, a file onto itself), the wildcard match and the
// directory listing's order and count.
#include <gtest/gtest.h>

#include <cstdio>
#include <sys/stat.h>
#include <unistd.h>

#include "child_process.h"
#include "files_fixture.h"
#include "runtime/files/directory_listing.h"
#include "runtime/files/file_channels.h"
#include "runtime/files/file_system.h"

using filetest::Block;

namespace {

class FileSystem : public filetest::FilesTest {};

std::vector<std::string> listed(const RtArray<RtString>& list) {
    std::vector<std::string> names;
    for (int32_t i = 0; i < list.total; ++i) names.emplace_back(list.at(i).data);
    return names;
}

std::string cwd() {
    char buffer[2048];
    return getcwd(buffer, sizeof buffer) ? buffer : "";
}

}  // namespace

TEST_F(FileSystem, ExistenceTellsFilesFromFolders) {
    put("a.txt", "a");
    mkdir(work("Folder").c_str(), 0755);
    EXPECT_TRUE(FileExists("a.txt"));
    EXPECT_TRUE(FileExists("A.TXT"));
    EXPECT_FALSE(FileExists("Folder"));
    EXPECT_FALSE(FileExists("b.txt"));
    EXPECT_FALSE(FileExists(""));
    EXPECT_TRUE(IsDirectory("folder"));
    EXPECT_TRUE(IsDirectory("FOLDER/"));
    EXPECT_FALSE(IsDirectory("a.txt"));
    EXPECT_FALSE(IsDirectory(RtString(std::string(1100, 'f').c_str())));
    EXPECT_EQ(0, RtErrorCode);
}

TEST_F(FileSystem, DeleteRemovesFilesAndEmptyFoldersOnly) {
    put("a.txt", "a");
    mkdir(work("empty").c_str(), 0755);
    mkdir(work("full").c_str(), 0755);
    put("full/f", "f");
    DeleteFileOrDir("A.txt");
    DeleteFileOrDir("Empty");
    DeleteFileOrDir("full");
    DeleteFileOrDir("missing");
    EXPECT_FALSE(FileExists("a.txt"));
    EXPECT_FALSE(IsDirectory("empty"));
    EXPECT_TRUE(FileExists("full/f"));
}

TEST_F(FileSystem, CreateDirMakesOneLevelUnderAnyCaseOfItsParent) {
    EXPECT_TRUE(CreateDir("Levels"));
    EXPECT_FALSE(CreateDir("Levels"));
    EXPECT_FALSE(CreateDir("LEVELS"));  // taken in another case
    EXPECT_TRUE(CreateDir("levels/Custom"));
    EXPECT_TRUE(IsDirectory("Levels/Custom"));
    EXPECT_FALSE(CreateDir("a/b/c"));
    EXPECT_FALSE(CreateDir(""));
}

TEST_F(FileSystem, SlashesAndTheWorkingDirectory) {
    RtString text("a\\b\\\\c/d");
    toForwardSlashes(text);
    EXPECT_STREQ("a/b//c/d", text.data);
    EXPECT_EQ(work(""), std::string(GetCurrentDir().data));
    mkdir(work("Sub").c_str(), 0755);
    mkdir(work("Sub/inner").c_str(), 0755);
    RtString path("sub/inner");
    EXPECT_EQ(1.0, SetCurrentDir(path));
    EXPECT_STREQ("sub\\inner", path.data);  // the caller's string keeps the changed form
    EXPECT_EQ(work("Sub/inner"), cwd());
    EXPECT_EQ(work("Sub/inner/"), std::string(GetCurrentDir().data));
    RtString missing("nowhere");
    EXPECT_EQ(0.0, SetCurrentDir(missing));
    EXPECT_EQ(3, RtErrorCode);
    RtString root("/");
    EXPECT_EQ(1.0, SetCurrentDir(root));
    EXPECT_STREQ("/", GetCurrentDir().data);
    EXPECT_EQ(0, RtErrorCode);
}

TEST_F(FileSystem, CopyingABlockWritesEveryByte) {
    std::string content = filetest::bytes({});
    for (int i = 0; i < 10000; ++i) content.push_back(static_cast<char>(i * 7));
    Block block(content);
    CopyFileTo(RtString(block.name().c_str()), "copy.bin");
    EXPECT_EQ(0, RtErrorCode);
    EXPECT_EQ(content, read("copy.bin"));
    CopyFileTo("copy.bin", "again.bin");
    EXPECT_EQ(content, read("again.bin"));
    Block empty("");
    CopyFileTo(RtString(empty.name().c_str()), "empty.bin");
    EXPECT_EQ(0, RtErrorCode);
    EXPECT_TRUE(testsupport::fileExists(work("empty.bin")));
}

TEST_F(FileSystem, CopyFailuresRecordThreeAndChangeNothing) {
    put("src.txt", "source");
    put("dst.txt", "target");
    CopyFileTo("missing.txt", "dst.txt");
    EXPECT_EQ(3, RtErrorCode);
    CopyFileTo("src.txt", "mem://       4.       1");
    EXPECT_EQ(3, RtErrorCode);
    CopyFileTo("src.txt", RtString(std::string(1100, 't').c_str()));
    EXPECT_EQ(3, RtErrorCode);
    ASSERT_EQ(1, OpenFile(0, "dst.txt", -1));  // held by a channel that writes: waited for, then refused
    CopyFileTo("src.txt", "dst.txt");
    EXPECT_EQ(3, RtErrorCode);
    CloseFile(0);
    EXPECT_EQ("target", read("dst.txt"));
    EXPECT_EQ("source", read("src.txt"));
}

TEST_F(FileSystem, CopyingAFileOntoItselfLeavesItUntouched) {
    put("self.txt", "keep me");
    ASSERT_EQ(0, link(work("self.txt").c_str(), work("alias.txt").c_str()));
    for (const char* target : {"self.txt", "SELF.TXT", "./self.txt", "alias.txt"}) {
        CopyFileTo("self.txt", target);
        EXPECT_EQ(3, RtErrorCode) << target;
        EXPECT_EQ("keep me", read("self.txt")) << target;
    }
}

TEST_F(FileSystem, ACopyThatFailsHalfwayRemovesThePartialTarget) {
    std::string content(10000, 'c');
    put("big.bin", content);
    testsupport::ChildResult r = testsupport::runInChild([] {
        testsupport::limitFileSizes(5000);
        CopyFileTo("big.bin", "part.bin");
        std::printf("%d %d", RtErrorCode, FileExists("part.bin") ? 1 : 0);
    });
    ASSERT_TRUE(r.exited);
    EXPECT_EQ("3 0", r.out);
    EXPECT_EQ(content, read("big.bin"));
}

TEST(Wildcard, MatchesWithoutCaseStarsAndQuestionMarks) {
    EXPECT_TRUE(matchWildcard("*.txt", "notes.TXT"));
    EXPECT_FALSE(matchWildcard("a?c", "a.c"));
    EXPECT_TRUE(matchWildcard("a?c", "abc"));
    EXPECT_TRUE(matchWildcard("*.*", "README"));
    EXPECT_FALSE(matchWildcard("*.", "README"));
    EXPECT_TRUE(matchWildcard("*a*b", "xaybzb"));
    EXPECT_FALSE(matchWildcard("*a*b", "xaybzc"));
    EXPECT_TRUE(matchWildcard("", ""));
    EXPECT_FALSE(matchWildcard("", "x"));
    EXPECT_TRUE(matchWildcard("***", ""));
    EXPECT_TRUE(matchWildcard("s*.d*t", "shol12.dat"));
    EXPECT_FALSE(matchWildcard("??", "abc"));
    EXPECT_FALSE(matchWildcard("[a]", "a"));  // no character classes
    EXPECT_TRUE(matchWildcard(nullptr, nullptr));
}

TEST(Wildcard, CompareTextNoCaseFoldsToLowerCase) {
    RtString a("ABC"), b("abd"), c("abc"), u("_"), capital("A");
    EXPECT_LT(compareTextNoCase(&a, &b), 0);
    EXPECT_EQ(0, compareTextNoCase(&a, &c));
    EXPECT_GT(compareTextNoCase(&b, &a), 0);
    EXPECT_LT(compareTextNoCase(&u, &capital), 0);  // '_' sorts before 'a'
}

TEST_F(FileSystem, ListingPutsSortedFoldersBeforeSortedFiles) {
    mkdir(work("Zeta").c_str(), 0755);
    mkdir(work("alpha").c_str(), 0755);
    put("b.png", "");
    put("A.txt", "");
    RtArray<RtString> list;
    EXPECT_EQ(262146.0, ListDirectory("*.*", list));
    EXPECT_EQ((std::vector<std::string>{".", "..", "alpha", "Zeta", "A.txt", "b.png"}), listed(list));
    EXPECT_EQ(1, list.dims);
    EXPECT_EQ(4 * 65536.0 + 1, ListDirectory("*.PNG", list));
    EXPECT_EQ((std::vector<std::string>{".", "..", "alpha", "Zeta", "b.png"}), listed(list));
    EXPECT_EQ(4 * 65536.0, ListDirectory("*.jpg", list));
    EXPECT_EQ(4, list.total);
}

TEST_F(FileSystem, ListingFollowsLinksAndOrdersCaseTwinsByBytes) {
    mkdir(work("target").c_str(), 0755);
    ASSERT_EQ(0, symlink(work("target").c_str(), work("link").c_str()));
    ASSERT_EQ(0, symlink(work("nowhere").c_str(), work("broken").c_str()));
    put("x.txt", "");
    put("X.txt", "");
    RtArray<RtString> list;
    EXPECT_EQ(4 * 65536.0 + 3, ListDirectory("*", list));
    EXPECT_EQ((std::vector<std::string>{".", "..", "link", "target", "broken", "X.txt", "x.txt"}), listed(list));
}

TEST_F(FileSystem, ListingAFolderThatIsGoneGivesNothing) {
    mkdir(work("gone").c_str(), 0755);
    ASSERT_EQ(0, chdir(work("gone").c_str()));
    ASSERT_EQ(0, rmdir(work("gone").c_str()));
    RtArray<RtString> list;
    list.dim(3);
    EXPECT_EQ(0.0, ListDirectory("*.*", list));
    EXPECT_EQ(0, list.total);
}
