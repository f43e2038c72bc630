// Case-blind path resolution: exact names first, folders and files met in
// any letter case, the choice among several matches, and names that cannot
// be resolved or do not fit.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <sys/stat.h>

#include "file_bytes.h"
#include "files_fixture.h"
#include "runtime/files/case_blind_path.h"
#include "runtime/files/pack_archive.h"
#include "runtime/files/read_stream.h"
#include "runtime/strings/ascii_text.h"
#include "temp_dir.h"

namespace {

class CaseBlind : public filetest::FilesTest {
protected:
    std::string resolve(const std::string& name) {
        char out[files::kPathBufferSize];
        EXPECT_TRUE(files::resolveDiskPath(name.c_str(), out));
        return out;
    }
};

}  // namespace

TEST_F(CaseBlind, BothSpellingsOfTheLevelFolderMeetOneFile) {
    mkdir(work("Data").c_str(), 0755);
    put("Data/shol1.dat", "");
    EXPECT_EQ("Data/shol1.dat", resolve("Data/shol1.dat"));
    EXPECT_EQ("Data/shol1.dat", resolve("data/shol1.dat"));
    EXPECT_EQ("Data/shol1.dat", resolve("DATA\\SHOL1.DAT"));
    // A new file in the existing folder keeps the name as written.
    EXPECT_EQ("Data/shol2.dat", resolve("data/shol2.dat"));
    EXPECT_EQ(work("Data/shol1.dat"), resolve(work("") + "dAtA/Shol1.Dat"));
}

TEST_F(CaseBlind, TheWalkStopsAtTheFirstComponentWithNoMatch) {
    mkdir(work("Media").c_str(), 0755);
    EXPECT_EQ("Media/Missing/sub/FILE.png", resolve("media/Missing/sub/FILE.png"));
    EXPECT_EQ("nothing/media", resolve("nothing/media"));
    EXPECT_EQ("./Media/../Media/", resolve("./media/../MEDIA/"));
    EXPECT_EQ("Media//x", resolve("MEDIA//x"));
}

TEST_F(CaseBlind, AnExactNameWinsAndSeveralMatchesGoByByteOrder) {
    put("Readme", "1");
    put("README", "2");
    put("readme", "3");
    EXPECT_EQ("readme", resolve("readme"));
    EXPECT_EQ("README", resolve("ReadMe"));  // "README" < "Readme" < "readme"
}

TEST_F(CaseBlind, OnlyAsciiLettersFold) {
    put("caf\xc3\xa9", "");
    EXPECT_EQ("caf\xc3\xa9", resolve("CAF\xc3\xa9"));
    EXPECT_EQ("caf\xc3\x89", resolve("caf\xc3\x89"));  // an upper-case e-acute is another name
    EXPECT_TRUE(rtstring::equalsIgnoringAsciiCase("Hello_1", "hELLO_1"));
    EXPECT_FALSE(rtstring::equalsIgnoringAsciiCase("\xc3\x89", "\xc3\xa9"));
    EXPECT_FALSE(rtstring::equalsIgnoringAsciiCase("ab", "abc"));
    EXPECT_FALSE(rtstring::equalsIgnoringAsciiCase("@", "`"));  // neighbours of the letters stay apart
}

TEST_F(CaseBlind, NamesThatDoNotFitAreRefused) {
    char out[files::kPathBufferSize] = "x";
    EXPECT_FALSE(files::resolveDiskPath(std::string(1024, 'a').c_str(), out));
    EXPECT_STREQ("", out);
    EXPECT_FALSE(files::resolveDiskPath(nullptr, out));
    EXPECT_TRUE(files::resolveDiskPath(std::string(1023, 'a').c_str(), out));
    EXPECT_EQ(std::string(1023, 'a'), std::string(out));
    EXPECT_TRUE(files::resolveDiskPath("", out));
    EXPECT_STREQ("", out);
}

// The loaders that open by name (images, sounds, packs) meet a file written
// under another letter case too, and the resolver hands back its real name.
TEST(CaseBlindLoaders, ReadStreamAndResolverFindAFileUnderAnotherCase) {
    testsupport::TempDir dir;
    ::mkdir(dir.file("data").c_str(), 0755);
    testsupport::writeFileBytes(dir.file("data/shol1.dat"), "abc");
    testsupport::ScopedCwd cwd(dir.path());

    ReadStream stream{};
    ASSERT_TRUE(readStreamOpen(stream, "Data/SHOL1.dat"));
    uint8_t bytes[3];
    EXPECT_TRUE(readStreamRead(stream, bytes, 3));
    EXPECT_EQ(0, std::memcmp(bytes, "abc", 3));
    readStreamClose(stream);

    char out[1024];
    EXPECT_EQ(1, resolvePackedFile(nullptr, "Data/shol1.dat", out, 1));
    EXPECT_STREQ("data/shol1.dat", out);
}
