// Whole files replaced by the INI write-back, the line-file write-back and the
// copy command: the file that was there is lost neither to a replacement that
// cannot finish nor to a write-back that never saw what the file held.
#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "child_process.h"
#include "file_bytes.h"
#include "files_fixture.h"
#include "runtime/files/file_channels.h"
#include "runtime/files/file_system.h"
#include "runtime/files/ini_file.h"
#include "runtime/files/text_line_file.h"

using testsupport::visible;

namespace {

class DiskFiles : public filetest::FilesTest {
protected:
    ~DiskFiles() override {
        OpenIniFile("");
        loadTextLineFile(nullptr);
    }

    std::vector<std::string> folderNames() const { return testsupport::namesInFolder(work("")); }
};

// One way of replacing the file `target` with something larger than it.
struct Replacement {
    const char* what;
    std::function<void(const RtString& target)> replace;
};

const std::string kBig(3000, 'x');

const Replacement kReplacements[] = {
    {"copy", [](const RtString& target) { CopyFileTo("source.bin", target); }},
    {"ini write-back",
     [](const RtString& target) {
         OpenIniFile(target);
         PutIniValue("S", "big", RtString(kBig.c_str()));
         OpenIniFile("");
     }},
    {"line-file write-back",
     [](const RtString& target) {
         WriteFileLine(target, 2, RtString(kBig.substr(0, 1000).c_str()));
         WriteFileLine(target, 3, RtString(kBig.substr(0, 1000).c_str()));
         loadTextLineFile(nullptr);
     }},
};

const std::string kOld = "[S]\r\nkept=1\r\n";

}  // namespace

TEST_F(DiskFiles, AReplacementThatCannotFinishKeepsTheOldFile) {
    put("source.bin", kBig);
    put("target.ini", kOld);
    const std::vector<std::string> before = folderNames();
    for (const Replacement& row : kReplacements) {
        SCOPED_TRACE(row.what);
        put("target.ini", kOld);
        const std::string target = work("target.ini");
        testsupport::ChildResult r = testsupport::runInChild([&] {
            testsupport::limitFileSizes(1000);
            row.replace(RtString(target.c_str()));
        });
        ASSERT_TRUE(r.exited);
        EXPECT_EQ(visible(kOld), visible(read("target.ini")));
        EXPECT_EQ(before, folderNames());  // nothing half-made left beside it
    }
}

TEST_F(DiskFiles, AFileHeldWhileItWasReadIsNotReplacedByAWriteBack) {
    // The writers that change a file they read first: while a channel writes
    // the file they cannot read it, and must not later put the little they
    // know in its place. The change is made while the file is held, the
    // write-back after.
    struct Row {
        const char* what;
        std::function<void(const RtString& target)> changeWhileHeld;
        std::function<void()> writeBack;
    };
    const Row rows[] = {
        {"ini", [](const RtString& target) { OpenIniFile(target); PutIniValue("S", "new", "2"); },
         [] { OpenIniFile(""); }},
        {"line file", [](const RtString& target) { WriteFileLine(target, 2, "new"); },
         [] { loadTextLineFile(nullptr); }},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        put("target.ini", kOld);
        const RtString target(work("target.ini").c_str());
        ASSERT_EQ(1, OpenFile(7, target, -1));
        row.changeWhileHeld(target);
        CloseFile(7);
        row.writeBack();
        EXPECT_EQ(visible(kOld), visible(read("target.ini")));
    }
}

// A write-back goes to the file that was opened, whatever the current folder
// is by then. Before, files opened by relative names in one folder were
// written back into the files of those names in the folder changed to.
TEST_F(DiskFiles, AWriteBackGoesToTheFileThatWasOpened) {
    for (const char* folder : {"A", "B"}) {
        mkdir(work(folder).c_str(), 0755);
        put(std::string(folder) + "/notes.txt", std::string(folder) + "\r\n");
        put(std::string(folder) + "/game.ini", "[S]\r\nv=" + std::string(folder) + "\r\n");
    }
    testsupport::ScopedCwd inA(work("A"));
    WriteFileLine("notes.txt", 0, "changed");
    OpenIniFile("game.ini");
    PutIniValue("S", "v", "changed");
    RtString other("../B");
    ASSERT_EQ(1.0, SetCurrentDir(other));
    ReadFileLine("other.txt", 0);
    OpenIniFile("other.ini");
    EXPECT_EQ("changed\r\n", read("A/notes.txt"));
    EXPECT_EQ("[S]\r\nv=changed\r\n", read("A/game.ini"));
    EXPECT_EQ("B\r\n", read("B/notes.txt"));
    EXPECT_EQ("[S]\r\nv=B\r\n", read("B/game.ini"));
    // The same relative name in the new folder is that folder's file, not
    // the one cached from the old folder.
    WriteFileLine("notes.txt", 1, "kept");
    RtString back("../A");
    ASSERT_EQ(1.0, SetCurrentDir(back));
    EXPECT_EQ("changed", std::string(ReadFileLine("notes.txt", 0).data));
    EXPECT_EQ("B\r\nkept\r\n", read("B/notes.txt"));
}
