// Whole-file replacement: the new file keeps what the old one was (its mode,
// owner and group, a symbolic link that led to it), ends in the folder where
// it began, leaves no partial file of its own and clears those of processes
// that ended, and a failure says where and why in the error log.
#include <gtest/gtest.h>

#include <csignal>
#include <string>
#include <grp.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

#include "child_process.h"
#include "file_bytes.h"
#include "files_fixture.h"
#include "runtime/files/error_log.h"
#include "runtime/files/file_replacement.h"
#include "runtime/files/file_system.h"

namespace {

class Replacement : public filetest::FilesTest {
protected:
    struct stat statOf(const std::string& name) const {
        struct stat st {};
        EXPECT_EQ(0, lstat(work(name).c_str(), &st)) << name;
        return st;
    }
    std::string log() const { return testsupport::readFileBytes(tmp_ + "/ErrorLog.txt"); }
    std::vector<std::string> names(const std::string& folder = "") const {
        return testsupport::namesInFolder(work(folder));
    }
};

}  // namespace

TEST_F(Replacement, ASaveKeepsTheModeOwnerAndGroupOfTheFileItReplaces) {
    put("source.bin", "new bytes");
    const struct {
        mode_t mode;
        uid_t owner;  // changed only where the test may give files away
        gid_t group;
    } rows[] = {{0600, 0, 0}, {0755, 0, 0}, {0664, 4242, 4343}};
    for (const auto& row : rows) {
        SCOPED_TRACE(row.mode);
        put("target.bin", "old");
        ASSERT_EQ(0, chmod(work("target.bin").c_str(), row.mode));
        const bool giveAway = row.owner != 0 && geteuid() == 0;
        if (giveAway) {
            ASSERT_EQ(0, chown(work("target.bin").c_str(), row.owner, row.group));
        }
        const struct stat before = statOf("target.bin");
        CopyFileTo("source.bin", "target.bin");
        EXPECT_EQ(0, RtErrorCode);
        EXPECT_EQ("new bytes", read("target.bin"));
        const struct stat after = statOf("target.bin");
        EXPECT_NE(before.st_ino, after.st_ino);  // a new file, put in place whole
        EXPECT_EQ(row.mode, after.st_mode & 07777);
        EXPECT_EQ(before.st_uid, after.st_uid);
        EXPECT_EQ(before.st_gid, after.st_gid);
    }
}

TEST_F(Replacement, ASaverWhoCannotGiveOwnerAndGroupGivesThemNothingNew) {
    if (geteuid() != 0) GTEST_SKIP() << "needs root to save as another user";
    // A root file that a plain user may write: set-user-id, set-group-id,
    // the group may do all, everyone else may read and write.
    put("source.bin", "new bytes");
    put("shared.bin", "old");
    ASSERT_EQ(0, chown(work("shared.bin").c_str(), 0, 0));
    ASSERT_EQ(0, chmod(work("shared.bin").c_str(), 06776));
    ASSERT_EQ(0, chmod(dir_.path().c_str(), 0755));
    ASSERT_EQ(0, chmod(work("").c_str(), 0777));
    ASSERT_EQ(0, chmod(work("source.bin").c_str(), 0644));
    const testsupport::ChildResult child = testsupport::runInChild([] {
        const gid_t nobodyGroup = 65534;
        if (setgroups(0, nullptr) != 0 || setgid(nobodyGroup) != 0 || setuid(65534) != 0) std::_Exit(2);
        CopyFileTo("source.bin", "shared.bin");
        std::_Exit(RtErrorCode);
    });
    ASSERT_TRUE(child.exited);
    EXPECT_EQ(0, child.exitStatus);
    EXPECT_EQ("new bytes", read("shared.bin"));
    const struct stat st = statOf("shared.bin");
    EXPECT_EQ(65534u, st.st_uid);
    // The saver's own group gets what everyone got, and no set-id bit
    // runs as the saver.
    EXPECT_EQ(0766u, st.st_mode & 07777);
}

TEST_F(Replacement, ASaveThroughASymbolicLinkReplacesTheFileItPointsTo) {
    put("source.bin", "new bytes");
    mkdir(work("real").c_str(), 0755);
    put("real/target.bin", "old");
    ASSERT_EQ(0, symlink("real/target.bin", work("near").c_str()));  // relative to its own folder
    ASSERT_EQ(0, symlink(work("near").c_str(), work("far").c_str()));  // a link to the link
    ASSERT_EQ(0, symlink("made.bin", work("real/dangling").c_str()));  // to no file yet
    for (const char* link : {"far", "real/dangling"}) {
        SCOPED_TRACE(link);
        CopyFileTo("source.bin", link);
        EXPECT_EQ(0, RtErrorCode);
        EXPECT_TRUE(S_ISLNK(statOf(link).st_mode));
    }
    EXPECT_TRUE(S_ISLNK(statOf("near").st_mode));
    EXPECT_EQ("new bytes", read("real/target.bin"));
    EXPECT_EQ("new bytes", read("real/made.bin"));
    EXPECT_EQ((std::vector<std::string>{"dangling", "made.bin", "target.bin"}), names("real"));
}

TEST_F(Replacement, AReplacementEndsInTheFolderWhereItBegan) {
    mkdir(work("saves").c_str(), 0755);
    mkdir(work("other").c_str(), 0755);
    const std::string old = "level 1";
    for (bool existing : {true, false}) {
        for (bool commit : {true, false}) {
            SCOPED_TRACE(std::string(existing ? "over a file" : "a new file") + (commit ? ", kept" : ", dropped"));
            if (existing) {
                put("saves/slot.sav", old);
            } else {
                unlink(work("saves/slot.sav").c_str());
            }
            testsupport::ScopedCwd inSaves(work("saves"));
            {
                files::FileReplacement file("slot.sav", "Test");
                ASSERT_GE(file.descriptor(), 0);
                ASSERT_EQ(0, chdir(work("other").c_str()));
                ASSERT_TRUE(file.write("level 5", 7));
                if (commit) {
                    EXPECT_TRUE(file.commit());
                }
            }
            EXPECT_EQ(commit ? "level 5" : existing ? old : "", read("saves/slot.sav"));
            EXPECT_EQ(commit || existing ? std::vector<std::string>{"slot.sav"} : std::vector<std::string>{},
                      names("saves"));
            EXPECT_TRUE(names("other").empty());
        }
    }
}

TEST_F(Replacement, ANewFileTakesItsNameOnlyWhole) {
    const mode_t mask = umask(022);
    {
        files::FileReplacement file(work("new.sav").c_str(), "Test");
        ASSERT_TRUE(file.write("half", 4));
        struct stat st;
        EXPECT_NE(0, lstat(work("new.sav").c_str(), &st));  // a crash now leaves no truncated file
        ASSERT_TRUE(file.write(" and whole", 10));
        EXPECT_TRUE(file.commit());
    }
    umask(mask);
    EXPECT_EQ((std::vector<std::string>{"new.sav"}), names());
    EXPECT_EQ("half and whole", read("new.sav"));
    EXPECT_EQ(0644u, statOf("new.sav").st_mode & 07777);  // what any new file gets
}

TEST_F(Replacement, APartialFileIsNamedAfterItsTargetAndGoesOnceItsProcessHasEnded) {
    put("slot.sav", "old");
    const int child = testsupport::startPausedChild([] {
        static files::FileReplacement file("slot.sav", "Test");  // never dropped: the process is killed
        file.write("half", 4);
    });
    ASSERT_GT(child, 0);
    EXPECT_TRUE(testsupport::killChild(child, SIGKILL));

    // The one left behind: ".slot.sav.partial-<process>-<serial>".
    const std::vector<std::string> leftBehind = names();
    ASSERT_EQ(2u, leftBehind.size());
    const std::string left = leftBehind[0];
    EXPECT_EQ(0u, left.rfind(".slot.sav.partial-" + std::to_string(child) + "-", 0)) << left;
    EXPECT_EQ("slot.sav", leftBehind[1]);
    EXPECT_EQ("half", read(left));
    EXPECT_EQ("old", read("slot.sav"));
    // Partial files of a process that still runs (process 1), of another
    // target, or only named alike, are not this save's to clear.
    put(".slot.sav.partial-1-1", "running");
    put(".slot.sav.partial-notes", "a person's own file");
    put(".other.sav.partial-" + std::to_string(child) + "-1", "another target");
    put("source.bin", "whole");
    CopyFileTo("source.bin", "slot.sav");
    EXPECT_EQ("whole", read("slot.sav"));
    EXPECT_EQ((std::vector<std::string>{".other.sav.partial-" + std::to_string(child) + "-1", ".slot.sav.partial-1-1",
                                        ".slot.sav.partial-notes", "slot.sav", "source.bin"}),
              names());
}

TEST_F(Replacement, ASaveThatFailsSaysWhereAndWhyInTheLog) {
    put("source.bin", "bytes");
    mkdir(work("full").c_str(), 0755);
    put("full/in.txt", "in");
    CopyFileTo("source.bin", "no/such/folder.bin");
    EXPECT_EQ(3, RtErrorCode);
    CopyFileTo("source.bin", "full");
    EXPECT_EQ(3, RtErrorCode);
    EXPECT_EQ("CopyFileTo: cannot write " + work("no/such/folder.bin") + ": No such file or directory\n" +
                  "CopyFileTo: cannot write " + work("full") + ": Directory not empty\n",
              log());
}
