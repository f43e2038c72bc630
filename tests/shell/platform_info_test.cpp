// Platform information by key, without a window.
#include <gtest/gtest.h>

#include <regex>
#include <sys/stat.h>
#include <unistd.h>

#include "file_bytes.h"
#include "runtime/engine/project_hooks.h"
#include "runtime/services/isaac.h"
#include "shell/platform_info.h"
#include "temp_dir.h"
#include "test_project_hooks.h"

namespace {

using namespace testsupport;

std::string info(const char* key) { return GetPlatformInfo(RtString(key)).data; }

TEST(PlatformInfo, FixedTexts) {
    EXPECT_EQ(info(""), "LINUX");
    EXPECT_EQ(info("DEVICE"), "DESKTOP");
    EXPECT_EQ(info("COMPILED"), "Jan 1 2026-00:00:00");
    EXPECT_EQ(info("ID"), "0badc0de");
    EXPECT_EQ(info("VERSION"), "000.001");
}

TEST(PlatformInfo, TheProgramsTextsNeedItsHooks) {
    projectHooks = ProjectHooks{};
    EXPECT_EQ(info("COMPILED"), "NO_DATA");
    EXPECT_EQ(info("ID"), "NO_DATA");
    EXPECT_EQ(info("VERSION"), "NO_DATA");
    projectHooks = testProjectHooks;
    EXPECT_EQ(info("ID"), "0badc0de");
}

TEST(PlatformInfo, UnknownKeysGiveNoData) {
    EXPECT_EQ(info("device"), "NO_DATA");  // keys are upper case
    EXPECT_EQ(info("WIN32"), "NO_DATA");
    EXPECT_EQ(info("DOCUMENTS "), "NO_DATA");
    EXPECT_EQ(info("GLEXT"), "NO_DATA");
}

TEST(PlatformInfo, DocumentsFolderFromTheUserDirsFileOrHome) {
    TempDir home;
    ScopedEnv h("HOME", (home.path() + "/").c_str());
    ScopedEnv c("XDG_CONFIG_HOME", nullptr);
    EXPECT_EQ(info("DOCUMENTS"), home.path() + "/Documents");  // no "/" at the end
    mkdir(home.file(".config").c_str(), 0700);
    writeFileBytes(home.file(".config/user-dirs.dirs"),
                   "# written by a tool\nXDG_DESKTOP_DIR=\"$HOME/Desktop\"\nXDG_DOCUMENTS_DIR=\"$HOME/Papers/\"\n");
    EXPECT_EQ(info("DOCUMENTS"), home.path() + "/Papers");
    ScopedEnv other("XDG_CONFIG_HOME", (home.path() + "/elsewhere").c_str());
    EXPECT_EQ(info("DOCUMENTS"), home.path() + "/Documents");
}

TEST(PlatformInfo, NoHomeMeansNoData) {
    ScopedEnv h("HOME", nullptr);
    ScopedEnv d("XDG_DATA_HOME", nullptr);
    EXPECT_EQ(info("DOCUMENTS"), "NO_DATA");
    EXPECT_EQ(info("APPDATA"), "NO_DATA");
    EXPECT_EQ(info("HOSTID"), "NO_DATA");
    // A data folder where the identifier cannot be kept: no identifier,
    // rather than another one at every call.
    ScopedEnv unkept("XDG_DATA_HOME", "/dev/null/data");
    EXPECT_EQ(info("HOSTID"), "NO_DATA");
}

TEST(PlatformInfo, DataAndTemporaryFolders) {
    TempDir home;
    ScopedEnv h("HOME", home.path().c_str());
    ScopedEnv d("XDG_DATA_HOME", nullptr);
    EXPECT_EQ(info("APPDATA"), home.path() + "/.local/share");
    ScopedEnv d2("XDG_DATA_HOME", "/srv/data/");
    EXPECT_EQ(info("APPDATA"), "/srv/data");
    ScopedEnv d3("XDG_DATA_HOME", "relative/data");  // not absolute: ignored
    EXPECT_EQ(info("APPDATA"), home.path() + "/.local/share");
    ScopedEnv t("TMPDIR", home.path().c_str());
    EXPECT_EQ(info("TEMP"), home.path());
    ScopedEnv t2("TMPDIR", "/no/such/folder");
    EXPECT_EQ(info("TEMP"), "/tmp/vantric-" + std::to_string(geteuid()));
}

TEST(PlatformInfo, LocaleWithoutEncoding) {
    ScopedEnv all("LC_ALL", nullptr);
    ScopedEnv messages("LC_MESSAGES", nullptr);
    ScopedEnv lang("LANG", "de_DE.UTF-8");
    EXPECT_EQ(info("LOCALE"), "de_DE");
    ScopedEnv m2("LC_MESSAGES", "fr_CA@euro");
    EXPECT_EQ(info("LOCALE"), "fr_CA");
    ScopedEnv a2("LC_ALL", "pt_BR");
    EXPECT_EQ(info("LOCALE"), "pt_BR");
    ScopedEnv a3("LC_ALL", nullptr);
    ScopedEnv m3("LC_MESSAGES", nullptr);
    ScopedEnv l3("LANG", nullptr);
    EXPECT_EQ(info("LOCALE"), "C");
}

TEST(PlatformInfo, TimesOfDay) {
    EXPECT_TRUE(std::regex_match(info("TIME"), std::regex("[0-2][0-9]:[0-5][0-9]:[0-6][0-9]"))) << info("TIME");
    EXPECT_TRUE(std::regex_match(info("UTCTIME"),
                                 std::regex("20[0-9][0-9]-[01][0-9]-[0-3][0-9] [0-2][0-9]:[0-5][0-9]:[0-6][0-9]")))
        << info("UTCTIME");
}

TEST(PlatformInfo, BatteryFromThePowerSupplyFolder) {
    TempDir root;
    powerSupplyFolder = "/no/such/folder";
    EXPECT_EQ(info("BATTERY"), "NO_DATA");
    powerSupplyFolder = root.path().c_str();
    EXPECT_EQ(info("BATTERY"), "NO_DATA");  // empty: a desktop without battery
    mkdir(root.file("AC").c_str(), 0700);
    writeFileBytes(root.file("AC/type"), "Mains\n");
    EXPECT_EQ(info("BATTERY"), "NO_DATA");
    mkdir(root.file("BAT0").c_str(), 0700);
    writeFileBytes(root.file("BAT0/type"), "Battery\n");
    writeFileBytes(root.file("BAT0/capacity"), "87\n");
    EXPECT_EQ(info("BATTERY"), "87");
    writeFileBytes(root.file("BAT0/capacity"), "140\n");  // a confused gauge
    EXPECT_EQ(info("BATTERY"), "100");
    writeFileBytes(root.file("BAT0/capacity"), "unknown\n");
    EXPECT_EQ(info("BATTERY"), "NO_DATA");
    powerSupplyFolder = "/sys/class/power_supply";
}

TEST(PlatformInfo, HostIdIsMadeOnceAndKept) {
    TempDir home;
    ScopedEnv h("HOME", home.path().c_str());
    ScopedEnv d("XDG_DATA_HOME", nullptr);
    SeedRandom(1234);
    std::string id = info("HOSTID");
    EXPECT_TRUE(std::regex_match(id, std::regex("[0-9a-f]{32}"))) << id;
    EXPECT_EQ(readFileBytes(home.file(".local/share/Vantric/vantric.deviceid")), id);
    EXPECT_EQ(info("HOSTID"), id);
    writeFileBytes(home.file(".local/share/Vantric/vantric.deviceid"), "0123456789abcdef0123456789abcdef\n");
    EXPECT_EQ(info("HOSTID"), "0123456789abcdef0123456789abcdef");
    writeFileBytes(home.file(".local/share/Vantric/vantric.deviceid"), "not an id");
    std::string fresh = info("HOSTID");
    EXPECT_TRUE(std::regex_match(fresh, std::regex("[0-9a-f]{32}"))) << fresh;
    EXPECT_NE(fresh, id);
    // Another machine, whose program has drawn the same random numbers so
    // far, still gets an identifier of its own.
    TempDir otherHome;
    ScopedEnv h2("HOME", otherHome.path().c_str());
    SeedRandom(1234);
    EXPECT_NE(info("HOSTID"), id);
}

TEST(PlatformInfo, DisplayAndExtensionsWithoutAWindow) {
    EXPECT_TRUE(std::regex_match(info("DPI"), std::regex("[1-9][0-9]*"))) << info("DPI");
    EXPECT_EQ(info("GLEXT:GL_ARB_multitexture"), "0");  // no GL context
    EXPECT_EQ(info("GLEXT:"), "0");
}

}  // namespace
