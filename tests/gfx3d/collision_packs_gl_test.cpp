// With a GL context: the textures of object packs, and what the collision
// commands draw while the project's debug flag is set.
#include <string>
#include <vector>

#include "file_bytes.h"
#include "gfx2d/image_codecs.h"
#include "gfx3d/scene_commands.h"
#include "gfx3d/transform_commands.h"
#include "mesh_fixtures.h"
#include "runtime/engine/display_settings.h"
#include "scene_fixture.h"

namespace {

using scenetest::Scene;

// How many frame pixels are mostly red (or mostly green).
int countPixels(bool red) {
    int n = 0;
    for (uint32_t p : testsupport::readFramePixels(0, 0, scenetest::kSize, scenetest::kSize)) {
        const int r = p & 0xFF, g = (p >> 8) & 0xFF;
        if (red ? (r > 200 && g < 60) : (g > 200 && r < 60)) ++n;
    }
    return n;
}

void writePng(const std::string& path, uint32_t pixel) {
    DecodedImage image;
    image.width = image.height = 4;
    image.hasAlpha = 0;
    image.pixels.assign(16, pixel);
    std::vector<uint8_t> bytes;
    ASSERT_TRUE(encodePng(image, bytes));
    testsupport::writeFileBytes(path, std::string(bytes.begin(), bytes.end()));
}

using CollisionDrawing = Scene;
using PackTextures = Scene;

}  // namespace

TEST_F(PackTextures, EveryDecodedImageBecomesATextureOfTheSlot) {
    writePng(folder.file("red.png"), 0xFF0000FFu);
    writePng(folder.file("blue.png"), 0xFFFF0000u);
    testsupport::writeFileBytes(folder.file("broken.png"), "not an image");
    testsupport::writeFileBytes(folder.file("square.ddd"), "DDDA 1.0 0 1 255 255 255 3 0 0 1 0 2 0 1 3 0 0 0 1 0 0 0 1 0");
    const std::string pack = folder.file("thing.pak");
    testsupport::writeFileBytes(pack, ";DDW\n[textures]\ncount=3\n1=red.png\n2=broken.png\n3=blue.png\n"
                                      "[objects]\ncount=1\n1=square.ddd\n1ta=3\n");
    ASSERT_EQ(1u, r->loadObject(RtString(pack.c_str()), 20));
    const Object3DSlot& s = r->objects.data[20];
    ASSERT_EQ(3, s.textureNames.count);
    const std::vector<uint32_t> names(s.textureNames.data, s.textureNames.data + 3);
    EXPECT_TRUE(glIsTexture(names[0]));
    EXPECT_EQ(0u, names[1]);
    EXPECT_TRUE(glIsTexture(names[2]));
    EXPECT_EQ(2, s.parts.data[0].textureA);
    // Loading the slot again deletes the pack's textures.
    ASSERT_EQ(1u, r->loadObject(RtString(folder.file("square.ddd").c_str()), 20));
    EXPECT_FALSE(glIsTexture(names[0]));
    EXPECT_FALSE(glIsTexture(names[2]));
    EXPECT_EQ(0, s.textureNames.count);
}

TEST_F(CollisionDrawing, SpheresAndBoxesAreRedOnAHitAndGreenOtherwise) {
    meshtest::fillTriangleList(*[&] {
        Object3DSlot& s = r->objects.data[1];
        s.parts.reserve(1);
        s.parts.count = 1;
        s.used = 1;
        return &s.parts.data[0];
    }(), meshtest::floorCorners(0, 1));
    displaySettings.debug = 1;
    StartScene3D(1.0, 100.0, 60.0);
    SetCamera(0, 3, 5, 0, 0, 0);
    EXPECT_EQ(1, CollideSphere(1, 0, 0.5, 0, 0.2, 0));
    EXPECT_GT(countPixels(true), 20);
    EXPECT_EQ(0, countPixels(false));
    g->clear(0);
    EXPECT_EQ(0, CollideSphere(1, 0, 0.5, 0, 2, 0));
    EXPECT_EQ(0, countPixels(true));
    EXPECT_GT(countPixels(false), 5);
    g->clear(0);
    EXPECT_EQ(1, CollideBoxObject(1, 0, 0, 0, 0, 1, 1, 1));
    EXPECT_GT(countPixels(true), 20);
    g->clear(0);
    EXPECT_EQ(0, CollideBoxObject(1, 0, 0, 3, 0, 1, 1, 1));
    EXPECT_GT(countPixels(false), 5);
    displaySettings.debug = 0;
    g->clear(0);
    EXPECT_EQ(1, CollideSphere(1, 0, 0.5, 0, 0.2, 0));
    EXPECT_EQ(0, countPixels(true));
}

TEST_F(CollisionDrawing, ARayThatMissesDrawsARedLineAThousandUnitsLong) {
    displaySettings.debug = 1;
    StartScene3D(1.0, 100.0, 60.0);
    SetCamera(0, 0, 5, 0, 0, 0);
    EXPECT_EQ(0.0, RayDistance(1, 0, -1, 0, 0, 1, 0, 0));  // slot 1 holds nothing
    int red = 0, reachesRightEdge = 0;
    for (int y = 28; y < 36; ++y) {
        for (int x = 0; x < scenetest::kSize; ++x) {
            const uint32_t p = px(x, y);
            if ((p & 0xFF) > 100 && ((p >> 8) & 0xFF) < 60) {  // a smoothed line of width 1 over two rows
                ++red;
                if (x == scenetest::kSize - 1) ++reachesRightEdge;
            }
        }
    }
    EXPECT_GT(red, 40);
    EXPECT_GE(reachesRightEdge, 1);
    EXPECT_EQ(0u, px(10, 32) & 0xFF);  // it starts at x = -1, about column 21
    displaySettings.debug = 0;
}
