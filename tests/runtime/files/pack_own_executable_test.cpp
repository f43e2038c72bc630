// The pack appended to the running program itself, found through
// /proc/self/exe: a copy of this test program with a pack appended is started
// and reads its own pack.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <unistd.h>

#include "child_process.h"
#include "file_bytes.h"
#include "pack_writer.h"
#include "runtime/files/pack_archive.h"
#include "temp_dir.h"

namespace {

constexpr const char* kSelfCheck = "VANTRIC_PACK_SELF_CHECK";

// In the packed copy (started with kSelfCheck set), before any test runs:
// resolve the name given in kSelfCheck on the file context, print the
// result and the entry's bytes, and end.
const bool selfCheckDone = [] {
    const char* name = std::getenv(kSelfCheck);
    if (!name) return false;
    openPackArchivesOnExecutable();
    char out[files::kPathBufferSize];
    int32_t found = resolvePackedFile(filePackArchive(), name, out, 1);
    std::printf("%d %s", found, found ? testpack::readNamed(out).c_str() : out);
    releasePackArchives();
    std::fflush(stdout);
    std::exit(0);
}();

}  // namespace

TEST(PackOnOwnExecutable, AProgramReadsThePackAppendedToItself) {
    ASSERT_FALSE(selfCheckDone);
    testsupport::TempDir dir;
    const std::string copy = dir.file("packed-copy");
    testpack::writePackedExecutable(copy, testpack::buildPack({testpack::entry("hello.txt", "hello from the pack")}),
                                    "/proc/self/exe");
    auto run = [&](const char* name) {
        return testsupport::runInChild([&] {
            setenv(kSelfCheck, name, 1);
            execl(copy.c_str(), copy.c_str(), static_cast<char*>(nullptr));
            std::_Exit(127);
        });
    };
    auto found = run("Data/HELLO.txt");
    ASSERT_TRUE(found.exited) << found.err;
    EXPECT_EQ(0, found.exitStatus) << found.err;
    EXPECT_EQ("1 hello from the pack", found.out);
    auto missing = run("Data/other.txt");
    EXPECT_EQ("0 ", missing.out);
}

TEST(PackOnOwnExecutable, AProgramWithoutAPackDisablesTheFileContext) {
    openPackArchivesOnExecutable();
    char out[files::kPathBufferSize];
    EXPECT_EQ(0, resolvePackedFile(filePackArchive(), "Data/not-anywhere.dat", out, 1));
    EXPECT_STREQ("Data/not-anywhere.dat", out);
    EXPECT_EQ(0, filePackArchive()->enabled);
    EXPECT_EQ(1, videoPackArchive()->enabled);
    releasePackArchives();
}
