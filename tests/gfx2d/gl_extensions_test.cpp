// Which entry points a driver offers: drivers hand out a callable stub for
// any name, so the extension list and the version decide.
#include <gtest/gtest.h>

#include "gfx2d/gl_extensions.h"

namespace {

const char* const kList = "GL_ARB_multitexture GL_EXT_framebuffer_object GL_ARB_shader_objects";

TEST(DriverOffers, AnExtensionByItsExactName) {
    EXPECT_TRUE(glext::driverOffers(kList, "2.1 Mesa", "GL_ARB_multitexture", 0));
    EXPECT_TRUE(glext::driverOffers(kList, "2.1 Mesa", "GL_ARB_shader_objects", 0));  // the last name
    EXPECT_FALSE(glext::driverOffers(kList, "4.5 Mesa", "GL_ARB_vertex_buffer_object", 0));
    EXPECT_FALSE(glext::driverOffers(kList, "4.5 Mesa", "GL_ARB_multi", 0));
    EXPECT_FALSE(glext::driverOffers(kList, "4.5 Mesa", "ARB_shader_objects", 0));
    EXPECT_FALSE(glext::driverOffers(nullptr, nullptr, "GL_ARB_multitexture", 0));
    EXPECT_FALSE(glext::driverOffers(kList, nullptr, nullptr, 0));
}

TEST(DriverOffers, ACoreFunctionFromItsVersionOn) {
    EXPECT_TRUE(glext::driverOffers(kList, "1.4", "GL_EXT_blend_func_separate", 14));
    EXPECT_TRUE(
        glext::driverOffers(kList, "4.5 (Compatibility Profile) Mesa 22.3.6", "GL_EXT_blend_func_separate", 14));
    EXPECT_FALSE(glext::driverOffers(kList, "1.3.1 Vendor", "GL_EXT_blend_func_separate", 14));
    EXPECT_FALSE(glext::driverOffers(kList, "OpenGL ES 3.2", "GL_EXT_blend_func_separate", 14));
    EXPECT_FALSE(glext::driverOffers(kList, nullptr, "GL_EXT_blend_func_separate", 14));
    EXPECT_TRUE(glext::driverOffers("GL_EXT_blend_func_separate", "1.1", "GL_EXT_blend_func_separate", 14));
}

}  // namespace
