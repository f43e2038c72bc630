// The extension test of the platform information needs a GL context.
#include <gtest/gtest.h>

#include "engine_harness.h"
#include "shell/platform_info.h"
#include "temp_dir.h"

namespace {

TEST(PlatformInfoWithWindow, ExtensionTestByExactName) {
    testsupport::TempDir folder;
    ASSERT_TRUE(testsupport::startTestEngine(folder.path()));
    EXPECT_STREQ(GetPlatformInfo(RtString("GLEXT:GL_ARB_multitexture")).data, "1");
    EXPECT_STREQ(GetPlatformInfo(RtString("GLEXT:GL_ARB_vertex_buffer_object")).data, "1");
    EXPECT_STREQ(GetPlatformInfo(RtString("GLEXT:GL_ARB_multi")).data, "0");
    EXPECT_STREQ(GetPlatformInfo(RtString("GLEXT:GL_NO_such_extension")).data, "0");
    EXPECT_STREQ(GetPlatformInfo(RtString("DPI")).data, "96");  // the offscreen display says nothing
}

}  // namespace
