// The pack resolver on real packs appended to a copy of a real executable:
// lookup by base name, both offset conventions, disk precedence, block and
// temporary-file products and their lifetime, and the two engine contexts.
#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

#include "file_bytes.h"
#include "pack_fixture.h"
#include "pack_writer.h"
#include "runtime/engine/orderly_end.h"
#include "runtime/files/mem_blocks.h"
#include "runtime/files/pack_archive.h"
#include "runtime/files/read_stream.h"
#include "temp_dir.h"
#include "test_project_hooks.h"

using testpack::entry;
using testpack::PackTest;
using testpack::randomBytes;
using testpack::readNamed;
using testsupport::readFileBytes;


TEST_F(PackTest, FindsAnEntryByBaseNameWithoutRegardToCase) {
    useExecutable({entry("other.txt", "other"), entry("LEVEL1.DAT", "level one")});
    for (const char* name : {"Data/level1.dat", "level1.dat", "data\\Level1.Dat", "/abs/path/LEVEL1.DAT"}) {
        ASSERT_EQ(1, resolve(name)) << name;
        EXPECT_TRUE(files::isMemBlockName(out_)) << out_;
        EXPECT_EQ("level one", readNamed(out_)) << name;
    }
    EXPECT_EQ(1, context_.enabled);
}

TEST_F(PackTest, TheFirstOfTwoEqualNamesIsUsed) {
    useExecutable({entry("twin.txt", "first"), entry("TWIN.TXT", "second")});
    ASSERT_EQ(1, resolve("twin.txt"));
    EXPECT_EQ("first", readNamed(out_));
}

TEST_F(PackTest, OffsetsFromTheEndOrFromTheStartAndEitherPlacementReadTheSame) {
    const std::vector<testpack::Entry> entries = {entry("a.txt", "alpha"), entry("b.bin", randomBytes(5000, 1)),
                                                  entry("c.txt", std::string(20000, 'c'))};
    for (auto offsets : {testpack::Offsets::FromEnd, testpack::Offsets::FromStart}) {
        for (auto placement : {testpack::Placement::DataThenDirectory, testpack::Placement::DirectoryThenData}) {
            useExecutable(entries, offsets, placement);
            ASSERT_EQ(1, resolve("a.txt"));
            EXPECT_EQ("alpha", readNamed(out_));
            ASSERT_EQ(1, resolve("b.bin"));
            EXPECT_EQ(randomBytes(5000, 1), readNamed(out_));
            ASSERT_EQ(1, resolve("c.txt"));
            EXPECT_EQ(std::string(20000, 'c'), readNamed(out_));
        }
    }
}

TEST_F(PackTest, ADiskFileWinsAndKeepsItsName) {
    useExecutable({entry("level1.dat", "packed")});
    make("Data");
    testsupport::writeFileBytes("Data/level1.dat", "on disk");
    ASSERT_EQ(1, resolve("Data/level1.dat"));
    EXPECT_STREQ("Data/level1.dat", out_);
    ASSERT_EQ(1, resolve("Data\\level1.dat"));
    EXPECT_STREQ("Data\\level1.dat", out_);
    EXPECT_EQ("on disk", readNamed(out_));
}

TEST_F(PackTest, ADirectoryOnDiskDoesNotCountAsTheFile) {
    useExecutable({entry("music", "packed music")});
    make("music");
    ASSERT_EQ(1, resolve("music"));
    EXPECT_EQ("packed music", readNamed(out_));
}

TEST_F(PackTest, TheBlockDiesAtTheNextResolveWhateverItIsAsked) {
    useExecutable({entry("a.txt", "alpha"), entry("b.txt", "beta")});
    testsupport::writeFileBytes("disk.txt", "disk");
    for (const char* next : {"b.txt", "", "disk.txt", "missing.txt"}) {
        ASSERT_EQ(1, resolve("a.txt"));
        std::string name = out_;
        ReadStream stream;
        ASSERT_TRUE(readStreamOpen(stream, name.c_str()));
        uint8_t byte;
        ASSERT_TRUE(readStreamRead(stream, &byte, 1));
        resolve(next);
        EXPECT_FALSE(readStreamRead(stream, &byte, 1)) << "after resolving '" << next << "'";
        EXPECT_EQ("<unreadable>", readNamed(name.c_str()));
        readStreamClose(stream);
    }
}

TEST_F(PackTest, AnEntryOfLengthZeroIsAnEmptyBlock) {
    useExecutable({entry("empty.txt", "")});
    ASSERT_EQ(1, resolve("empty.txt"));
    EXPECT_EQ(std::string("mem://       0."), std::string(out_, 15));
    EXPECT_EQ(23u, std::strlen(out_));
    EXPECT_EQ("", readNamed(out_));
}

TEST_F(PackTest, NamesThatCannotBeInThePackAreNotFound) {
    useExecutable({entry("a.txt", "alpha")});
    for (const char* name : {"a.txt/", "dir\\", "mem://       5.       1", "b.txt"}) {
        std::strcpy(out_, "junk");
        EXPECT_EQ(0, resolve(name)) << name;
        EXPECT_STREQ("", out_) << name;
    }
    EXPECT_EQ(1, context_.enabled);
}

TEST_F(PackTest, ABlockNameGivenBackIsNotItsOwnBlock) {
    useExecutable({entry("a.txt", "alpha")});
    ASSERT_EQ(1, resolve("a.txt"));
    std::string name = out_;
    EXPECT_EQ(0, resolve(name.c_str()));
    EXPECT_STREQ("", out_);
    EXPECT_EQ("<unreadable>", readNamed(name.c_str()));
}

TEST_F(PackTest, NullEmptyAndOverlongNamesGiveAnEmptyName) {
    useExecutable({entry("a.txt", "alpha")});
    std::string overlong(1024, 'a');
    for (const char* name : {static_cast<const char*>(nullptr), "", overlong.c_str()}) {
        std::strcpy(out_, "junk");
        EXPECT_EQ(0, resolve(name));
        EXPECT_STREQ("", out_);
    }
    EXPECT_EQ(0, resolvePackedFile(&context_, "a.txt", nullptr, 1));
}

TEST_F(PackTest, AnExecutableWithoutAPackDisablesTheContextOnce) {
    testsupport::writeFileBytes(exe(), readFileBytes("/bin/true"));
    setPath(exe());
    testsupport::writeFileBytes("here.txt", "here");
    EXPECT_EQ(0, resolve("Data/missing.dat"));
    EXPECT_STREQ("Data/missing.dat", out_);
    EXPECT_EQ(0, context_.enabled);
    // Disabled for good: even a pack appearing later is not consulted.
    testpack::writePackedExecutable(exe(), testpack::buildPack({entry("missing.dat", "now here")}));
    EXPECT_EQ(0, resolve("Data/missing.dat"));
    EXPECT_STREQ("Data/missing.dat", out_);
    EXPECT_EQ(1, resolve("here.txt"));
}

TEST_F(PackTest, AnEmptyOrUnopenablePathDisablesTheContext) {
    for (const std::string& path : {std::string(), dir_.file("no-such-program")}) {
        setPath(path);
        EXPECT_EQ(0, resolve("a.txt"));
        EXPECT_STREQ("a.txt", out_);
        EXPECT_EQ(0, context_.enabled);
    }
}

TEST_F(PackTest, AnArchiveMayItselfBeAMemoryBlock) {
    std::string pack = testpack::buildPack({entry("inner.txt", "inside a block")}, 0, testpack::Offsets::FromStart);
    uint32_t key = files::registerMemBlock(reinterpret_cast<const uint8_t*>(pack.data()), static_cast<uint32_t>(pack.size()));
    char name[32];
    files::formatMemBlockName(name, static_cast<uint32_t>(pack.size()), key);
    setPath(name);
    ASSERT_EQ(1, resolve("inner.txt"));
    EXPECT_EQ("inside a block", readNamed(out_));
    files::unregisterMemBlock(key);
    EXPECT_EQ(0, resolve("inner.txt"));  // the archive's block is gone: no pack
    EXPECT_EQ(0, context_.enabled);
}

TEST_F(PackTest, ANullContextFindsDiskFilesOnly) {
    testsupport::writeFileBytes("here.txt", "here");
    EXPECT_EQ(1, resolvePackedFile(nullptr, "here.txt", out_, 1));
    EXPECT_STREQ("here.txt", out_);
    EXPECT_EQ(0, resolvePackedFile(nullptr, "gone.txt", out_, 1));
    EXPECT_STREQ("gone.txt", out_);
}

// An archive file whose entry clip.avi has the offset field 30 and the packed
// size 1000: the temporary file is named sbx + E (30 % 26) + Y (232 % 26).
class TemporaryFileTest : public PackTest {
protected:
    void SetUp() override {
        for (size_t n = 900; n < 1000 && packed_.size() != 1000; ++n) {
            content_ = randomBytes(n, 5);
            packed_ = testpack::modeOneStream(content_);
        }
        ASSERT_EQ(1000u, packed_.size());
        std::string archive = std::string(30, 'p') + packed_;
        int32_t directory = static_cast<int32_t>(archive.size());
        archive += testpack::directoryEntry("clip.avi", 30, 1000) + std::string(1, '\0') + testpack::trailer(directory);
        useArchive(archive);
    }
    std::string expectedPath() const { return tmpdir_ + "/sbxEYclip.avi"; }

    std::string content_, packed_;
};

TEST_F(TemporaryFileTest, TheEntryIsWrittenUnderItsLetteredNameAndDeletedByTheNextResolve) {
    ASSERT_EQ(1, resolve("Video/CLIP.avi", 0));
    EXPECT_EQ(expectedPath(), out_);
    EXPECT_EQ(expectedPath(), context_.lastTempFile);
    EXPECT_EQ(nullptr, context_.lastBlock);
    EXPECT_EQ(content_, readFileBytes(expectedPath()));
    struct stat st;
    ASSERT_EQ(0, lstat(expectedPath().c_str(), &st));
    EXPECT_TRUE(S_ISREG(st.st_mode));
    EXPECT_EQ(0600u, st.st_mode & 0777);
    resolve("");
    EXPECT_FALSE(testsupport::fileExists(expectedPath()));
    EXPECT_STREQ("", context_.lastTempFile);
}

TEST_F(TemporaryFileTest, AnExistingFileOrLinkOfThatNameIsReplacedNotWrittenThrough) {
    testsupport::writeFileBytes(dir_.file("victim"), "keep");
    ASSERT_EQ(0, symlink(dir_.file("victim").c_str(), expectedPath().c_str()));
    ASSERT_EQ(1, resolve("clip.avi", 0));
    EXPECT_EQ("keep", readFileBytes(dir_.file("victim")));
    EXPECT_EQ(content_, readFileBytes(expectedPath()));
    clearPackArchive(context_);
    testsupport::writeFileBytes(expectedPath(), "stale");
    ASSERT_EQ(1, resolve("clip.avi", 0));
    EXPECT_EQ(content_, readFileBytes(expectedPath()));
}

TEST_F(TemporaryFileTest, ATemporaryFileThatCannotBeMadeGivesTheNameBack) {
    make(expectedPath());
    make(expectedPath() + "/occupied");
    EXPECT_EQ(0, resolve("Video/clip.avi", 0));
    EXPECT_STREQ("Video/clip.avi", out_);
    EXPECT_STREQ("", context_.lastTempFile);
    EXPECT_EQ(1, context_.enabled);
}

TEST_F(TemporaryFileTest, ABlockResolveAfterATemporaryFileDeletesTheFile) {
    ASSERT_EQ(1, resolve("clip.avi", 0));
    ASSERT_EQ(1, resolve("clip.avi", 1));
    EXPECT_FALSE(testsupport::fileExists(expectedPath()));
    EXPECT_EQ(content_, readNamed(out_));
}

TEST(PackContexts, OpenMakesBothContextsAndClearsTheirProducts) {
    testsupport::TempDir dir;
    testsupport::ScopedEnv env("TMPDIR", dir.path().c_str());
    testsupport::ScopedCwd cwd(dir.path());
    testpack::writePackedExecutable(dir.file("game"), testpack::buildPack({entry("a.txt", "alpha")}));
    EXPECT_EQ(nullptr, filePackArchive());
    openPackArchives(RtString(dir.file("game").c_str()), RtString(dir.file("game").c_str()));
    ASSERT_NE(nullptr, filePackArchive());
    ASSERT_NE(nullptr, videoPackArchive());
    EXPECT_NE(filePackArchive(), videoPackArchive());
    EXPECT_STREQ(dir.file("game").c_str(), videoPackArchive()->path);

    char block[files::kPathBufferSize], temp[files::kPathBufferSize];
    ASSERT_EQ(1, resolvePackedFile(filePackArchive(), "a.txt", block, 1));
    ASSERT_EQ(1, resolvePackedFile(videoPackArchive(), "a.txt", temp, 0));
    EXPECT_EQ("alpha", readNamed(block));  // the two contexts do not disturb each other
    EXPECT_EQ("alpha", readFileBytes(temp));
    filePackArchive()->enabled = 0;

    openPackArchives(RtString(""), RtString(std::string(1024, 'x').c_str()));
    EXPECT_EQ(1, filePackArchive()->enabled);
    EXPECT_EQ("<unreadable>", readNamed(block));
    EXPECT_FALSE(testsupport::fileExists(temp));
    EXPECT_STREQ("", filePackArchive()->path);
    EXPECT_STREQ("", videoPackArchive()->path);  // too long to be kept
    releasePackArchives();
    EXPECT_EQ(nullptr, filePackArchive());
    EXPECT_EQ(nullptr, videoPackArchive());
}

TEST(PackContexts, TheShutdownFreesBothContextsAndDeletesTheTemporaryFile) {
    testsupport::TempDir dir;
    testsupport::ScopedEnv env("TMPDIR", dir.path().c_str());
    testsupport::ScopedCwd cwd(dir.path());
    testpack::writePackedExecutable(dir.file("game"), testpack::buildPack({entry("clip.avi", "frames")}));
    openPackArchives(RtString(dir.file("game").c_str()), RtString(dir.file("game").c_str()));
    resetOrderlyEnd();  // the shutdown below is the process's first, whatever ran before
    testsupport::emptyProjectHookCalls = 0;
    char block[files::kPathBufferSize], temp[files::kPathBufferSize];
    ASSERT_EQ(1, resolvePackedFile(filePackArchive(), "clip.avi", block, 1));
    ASSERT_EQ(1, resolvePackedFile(videoPackArchive(), "clip.avi", temp, 0));
    shutdownEngine();
    EXPECT_EQ(1, testsupport::emptyProjectHookCalls);
    EXPECT_EQ(nullptr, filePackArchive());
    EXPECT_EQ(nullptr, videoPackArchive());
    EXPECT_FALSE(testsupport::fileExists(temp));
    EXPECT_EQ("<unreadable>", readNamed(block));
}
