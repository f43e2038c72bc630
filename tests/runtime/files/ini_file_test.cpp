// INI documents: the parser's edge cases, lookups, changes and removals, the
// exact bytes written back, documents from the pack, private documents and
// the write-back at exit.
#include <gtest/gtest.h>

#include <string>
#include <sys/stat.h>

#include "child_process.h"
#include "files_fixture.h"
#include "runtime/files/ini_file.h"

using testsupport::visible;

namespace {

class Ini : public filetest::FilesTest {
protected:
    // Closes the process-wide document (writing a change back) while the
    // test's folder still exists.
    ~Ini() override { OpenIniFile(""); }

    void open(const std::string& name, const std::string& content) {
        put(name, content);
        OpenIniFile(RtString(work(name).c_str()));
    }
    static std::string get(const char* section, const char* key, const char* fallback = "<none>") {
        RtString v = GetIniValue(section, key, fallback);
        return std::string(v.data, v.length);
    }
    // The document as "[name]key=value;" text, for comparing structure.
    static std::string shape(const IniFile& ini) {
        std::string s;
        for (int32_t i = 0; i < ini.sections.count; ++i) {
            s += "[" + std::string(ini.sections[i].name.data) + "]";
            for (int32_t k = 0; k < ini.sections[i].pairs.count; ++k)
                s += std::string(ini.sections[i].pairs[k].key.data) + "=" + ini.sections[i].pairs[k].value.data + ";";
        }
        return s;
    }
};

}  // namespace

TEST_F(Ini, ParsesHeadersPairsCommentsAndSkipsWhatIsNoPair) {
    open("video.ini",
         "; settings\r\n"
         "  [ Video ]  \r\n"
         "width = 640\r\n"
         "fullscreen\r\n"
         "title=  My Game  \r\n"
         "empty=\r\n"
         "key value\r\n"
         "my key=value\r\n"
         "tabbed\t=\tx\t\x01\r\n");
    EXPECT_EQ("[Video]width=640;title=My Game  ;tabbed=x;", shape(getIniFile()));
    EXPECT_EQ("640", get("VIDEO", "WIDTH"));
    EXPECT_EQ("My Game  ", get("video", "Title"));
    EXPECT_EQ("<none>", get("video", "empty"));
    EXPECT_EQ("<none>", get("audio", "width"));
    EXPECT_EQ(0, getIniFile().dirty);
}

TEST_F(Ini, PairsBeforeTheFirstHeaderHaveTheEmptySectionName) {
    open("a.ini", "top=1\n[Empty]\n[Full]\n[]\nx=2\n[Second]\n[Full]\ny=3\n");
    // A header with no pair behind it makes no section; "[]" keeps the old name.
    EXPECT_EQ("[]top=1;[Full]x=2;[Full]y=3;", shape(getIniFile()));
    EXPECT_EQ("1", get("", "top"));
    EXPECT_EQ("2", get("full", "x"));
    EXPECT_EQ("<none>", get("full", "y"));  // only the first section of a name is searched
    EXPECT_EQ("<none>", get("Empty", "top"));
}

TEST_F(Ini, LinesLongerThanTheBufferGoOnAsLinesOfTheirOwn) {
    open("long.ini", "[S]\nk=" + std::string(1100, 'v') + "\nafter=1\n");
    const IniFile& ini = getIniFile();
    ASSERT_EQ(1, ini.sections.count);
    EXPECT_EQ(1021u, get("S", "k").size());
    EXPECT_EQ("1", get("S", "after"));
}

TEST_F(Ini, ChangesAppendInOrderAndAreWrittenBackExactly) {
    open("game.ini", "[Video]\nwidth=640\n\n[Audio]\nvolume=80\n");
    PutIniValue("video", "height", "480");
    PutIniValue("Keys", "fire", "Space");
    PutIniValue("VIDEO", "WIDTH", "800");  // the stored key keeps its case
    EXPECT_EQ(1, getIniFile().dirty);
    OpenIniFile("");
    EXPECT_EQ(visible("[Video]\r\nwidth=800\r\nheight=480\r\n[Audio]\r\nvolume=80\r\n[Keys]\r\nfire=Space\r\n"),
              visible(read("game.ini")));
}

TEST_F(Ini, EmptyValuesRemoveKeysAndEmptyKeysRemoveSections) {
    open("r.ini", "[A]\na=1\nb=2\nc=3\n[B]\nx=1\n[C]\ny=2\n");
    PutIniValue("a", "A", "");
    EXPECT_EQ("[A]c=3;b=2;[B]x=1;[C]y=2;", shape(getIniFile()));
    PutIniValue("b", "", "ignored");
    EXPECT_EQ("[A]c=3;b=2;[C]y=2;", shape(getIniFile()));
    PutIniValue("C", "y", "");
    PutIniValue("C", "", "");
    EXPECT_EQ("[A]c=3;b=2;", shape(getIniFile()));
    PutIniValue("A", "", "");
    EXPECT_EQ("", shape(getIniFile()));
    PutIniValue("Gone", "", "");  // nothing to remove
}

TEST_F(Ini, SectionNamesComeBackAsTheyWereWritten) {
    // What PutIniValue writes, the next run must find: blanks, "]" and "="
    // inside a section's name included.
    for (const char* section : {"High Scores", "a]b", "x=y", "Video"}) {
        SCOPED_TRACE(section);
        open("saved.ini", "[Video]\nwidth=640\n");
        PutIniValue(section, "best", "900");
        OpenIniFile(RtString(work("saved.ini").c_str()));
        EXPECT_EQ("900", get(section, "best"));
        EXPECT_EQ("640", get("Video", "width"));
    }
}

TEST_F(Ini, RemovingAMissingKeyAddsItsSectionButChangesNothing) {
    open("m.ini", "[A]\na=1\n");
    PutIniValue("New", "key", "");
    EXPECT_EQ("[A]a=1;[New]", shape(getIniFile()));
    EXPECT_EQ(0, getIniFile().dirty);
    OpenIniFile("");
    EXPECT_EQ("[A]\na=1\n", read("m.ini"));  // not written: nothing changed
}

TEST_F(Ini, SectionsWithTheEmptyNameAreWrittenAsEmptyBrackets) {
    open("e.ini", "k=v\n");
    PutIniValue("", "n", "1");
    OpenIniFile("");
    EXPECT_EQ(visible("[]\r\nk=v\r\nn=1\r\n"), visible(read("e.ini")));
}

TEST_F(Ini, AMissingFileIsCreatedWhenTheDocumentChanges) {
    OpenIniFile(RtString(work("fresh.ini").c_str()));
    EXPECT_EQ(0, getIniFile().sections.count);
    EXPECT_STREQ(work("fresh.ini").c_str(), getIniFile().fileName.data);
    EXPECT_FALSE(testsupport::fileExists(work("fresh.ini")));
    PutIniValue("S", "k", "v");
    OpenIniFile(RtString(work("other.ini").c_str()));
    EXPECT_EQ(visible("[S]\r\nk=v\r\n"), visible(read("fresh.ini")));
    EXPECT_FALSE(testsupport::fileExists(work("other.ini")));
}

TEST_F(Ini, ChangesToADocumentWhoseNameCannotBeAPathAreReportedInTheLog) {
    const std::string name(1100, 'n');
    OpenIniFile(RtString(name.c_str()));
    PutIniValue("S", "k", "v");
    OpenIniFile("");
    EXPECT_NE(testsupport::readFileBytes(tmp_ + "/ErrorLog.txt").find("File name too long"), std::string::npos);
}

TEST_F(Ini, NamesMeetTheFileThatExistsInAnyLetterCase) {
    mkdir(work("Config").c_str(), 0755);
    put("Config/Game.ini", "[S]\nk=1\n");
    OpenIniFile(RtString(work("config/GAME.INI").c_str()));
    EXPECT_EQ("1", get("s", "K"));
    PutIniValue("S", "k", "2");
    OpenIniFile("");
    EXPECT_EQ(visible("[S]\r\nk=2\r\n"), visible(read("Config/Game.ini")));
    struct stat st;
    EXPECT_NE(0, stat(work("config").c_str(), &st));
}

TEST_F(Ini, DocumentsFromThePackAreNeverWrittenBack) {
    installPack({testpack::entry("packed.ini", "[P]\nq=9\n")});
    OpenIniFile("Data/packed.ini");
    EXPECT_EQ("9", get("P", "q"));
    EXPECT_EQ(0, std::string(getIniFile().fileName.data).rfind("mem://", 0));
    PutIniValue("P", "q", "10");
    EXPECT_EQ("10", get("P", "q"));
    OpenIniFile("");
    struct stat st;
    EXPECT_NE(0, stat(work("Data").c_str(), &st));
    EXPECT_FALSE(testsupport::fileExists(work("packed.ini")));
}

TEST_F(Ini, PrivateDocumentsParseAndFindWithoutTouchingTheProcessDocument) {
    put("desc.txt", "[Pack]\nobjects=12\n");
    open("main.ini", "[M]\nm=1\n");
    IniFile own;
    parseIniFile(own, RtString(work("desc.txt").c_str()));
    EXPECT_STREQ("12", findIniValue(own, "pack", "OBJECTS", "0").data);
    EXPECT_STREQ("0", findIniValue(own, "pack", "missing", "0").data);
    EXPECT_EQ("1", get("M", "m"));
    clearIniSections(own);
    EXPECT_EQ(0, own.sections.count);
    IniFile none;
    parseIniFile(none, "no-such.ini");
    EXPECT_EQ(0, none.sections.count);
    EXPECT_STREQ("no-such.ini", none.fileName.data);
    EXPECT_STREQ("d", findIniValue(none, "", "", "d").data);
}

TEST_F(Ini, AChangedDocumentIsWrittenBackWhenTheProgramEnds) {
    put("exit.ini", "[S]\na=1\n");
    std::string name = work("exit.ini");
    testsupport::ChildResult r = testsupport::runInChild([&] {
        OpenIniFile(RtString(name.c_str()));
        PutIniValue("S", "b", "2");
    });
    ASSERT_TRUE(r.exited);
    EXPECT_EQ(visible("[S]\r\na=1\r\nb=2\r\n"), visible(read("exit.ini")));
}
