// The command line as one text.
#include <gtest/gtest.h>

#include "shell/program_entry.h"

namespace {

std::string join(std::vector<const char*> args) {
    return joinCommandLine(static_cast<int>(args.size()), const_cast<char**>(args.data()));
}

TEST(CommandLine, PlainArgumentsJoinWithSpaces) {
    EXPECT_EQ(join({"/opt/game/shoalrunner", "-level", "3"}), "/opt/game/shoalrunner -level 3");
    EXPECT_EQ(join({"game"}), "game");
    EXPECT_EQ(join({}), "");
    EXPECT_EQ(joinCommandLine(3, nullptr), "");
}

TEST(CommandLine, BlanksQuotesAndEmptyArgumentsAreQuoted) {
    EXPECT_EQ(join({"game", "my level.dat"}), "game \"my level.dat\"");
    EXPECT_EQ(join({"game", ""}), "game \"\"");
    EXPECT_EQ(join({"game", "say \"hi\""}), "game \"say \\\"hi\\\"\"");
    EXPECT_EQ(join({"game", "a\tb"}), "game \"a\tb\"");
    // Backslashes only double before a quote, including the closing one.
    EXPECT_EQ(join({"game", "C:\\my dir\\"}), "game \"C:\\my dir\\\\\"");
    EXPECT_EQ(join({"game", "C:\\path\\file"}), "game C:\\path\\file");
}

}  // namespace
