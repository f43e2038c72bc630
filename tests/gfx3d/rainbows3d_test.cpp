// The renderer object without a GL context: its slots and their release,
// the effect light and shade table, the command layer's own rules, the hit
// triangle, and the shader slots when the driver offers no shaders.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "file_bytes.h"
#include "gfx3d/rainbows3d.h"
#include "gfx3d/scene_commands.h"
#include "gfx3d/shaders.h"
#include "runtime/engine/engine_state.h"
#include "runtime/files/mem_blocks.h"
#include "temp_dir.h"

namespace {

std::vector<uint32_t> releasedBuffers, releasedTextures;
void logBuffer(uint32_t name) { releasedBuffers.push_back(name); }
void logTexture(uint32_t name) { releasedTextures.push_back(name); }

std::vector<std::string> messages;
void collect(const char* message) { messages.emplace_back(message); }

// The renderer reachable by the commands for the test's life.
class Renderer : public ::testing::Test {
protected:
    void SetUp() override {
        engine.graphics3D = &r;
        messages.clear();
    }
    void TearDown() override { engine.graphics3D = nullptr; }
    Rainbows3D r{nullptr};
};

TEST_F(Renderer, StartsWith4096FreeSlotsAndTheHighestIsFoundFirst) {
    ASSERT_EQ(r.objects.count, 4096);
    EXPECT_EQ(r.objects.step, 128);
    EXPECT_EQ(r.objects.minimum, 512);
    for (int32_t s : {0, 2048, 4095}) {
        EXPECT_EQ(r.objects.data[s].used, 0);
        EXPECT_EQ(r.objects.data[s].multiPart, 0);
        EXPECT_EQ(r.objects.data[s].parts.count, 0);
        EXPECT_EQ(r.objects.data[s].parts.step, 128);
    }
    EXPECT_EQ(r.lightingMode, 2);
    EXPECT_EQ(r.currentShader, -1);
    EXPECT_EQ(r.shaders[254].program, 0u);
    EXPECT_EQ(FindFreeObjectSlot(), 4095);
    r.objects.data[4095].used = 1;
    r.objects.data[4094].used = 1;
    EXPECT_EQ(FindFreeObjectSlot(), 4093);
    for (int32_t s = 0; s < 4096; ++s) r.objects.data[s].used = 1;
    EXPECT_EQ(FindFreeObjectSlot(), -1);
}

TEST_F(Renderer, SlotNumbersOutsideTheTableAreRefused) {
    EXPECT_EQ(r.slot(-1), nullptr);
    EXPECT_EQ(r.slot(4096), nullptr);
    EXPECT_EQ(r.slot(4095), &r.objects.data[4095]);
    DrawObject(4096, 0);
    DrawObjectAnimated(-5, 0, 1, 0.5, 1);
    BeginObject(70000);
    ReduceObject(-1);
    EXPECT_EQ(SaveObject(RtString("x.ddd"), 4096), 0);
    LoadObject(RtString("x.ddd"), -2);
    r.drawObject(99999, 0, 0, 0.0f, 0);
}

TEST(RendererRelease, DestructionReleasesEveryPartsGpuObjects) {
    releasedBuffers.clear();
    releasedTextures.clear();
    meshGpuRelease.deleteBuffer = logBuffer;
    meshGpuRelease.deleteTexture = logTexture;
    {
        Rainbows3D r(nullptr);
        MeshObjectX part;
        part.bufferNames[0] = 5;
        part.bufferNames[1] = 6;
        part.textureName = 7;
        r.objects.data[3].parts.append(part);
        part.bufferNames[0] = part.bufferNames[1] = part.textureName = 0;
        r.objects.data[3].textureNames.append(42u);  // no GL context: not deleted through GL
        r.objects.data[3].used = 1;
    }
    EXPECT_EQ(releasedBuffers, (std::vector<uint32_t>{5, 6}));
    EXPECT_EQ(releasedTextures, (std::vector<uint32_t>{7}));
    meshGpuRelease = MeshGpuRelease{};
}

TEST_F(Renderer, EffectLightStartsAndEndsTheShadowPass) {
    r.setLight(-3, 0x123456, 1, 2, 3, 0, 0, 0, 1.0f, 0);
    EXPECT_EQ(r.effectLightOn, 1);
    EXPECT_EQ(r.lightEffect, 3);
    EXPECT_EQ(r.shadowPassOn, 1);
    EXPECT_EQ(r.shadowColour, 0x123456);
    EXPECT_EQ(r.effectLight[2], 3.0f);
    r.setLight(-3, 0x654321, 9, 9, 9, 0, 0, 0, 0.0f, 0);
    EXPECT_EQ(r.effectLightOn, 0);
    EXPECT_EQ(r.shadowPassOn, 0);
    EXPECT_EQ(r.shadowColour, 0x123456);  // kept
    EXPECT_EQ(r.effectLight[0], 1.0f);
    r.setLight(-1, 0, 0, 0, 0, 0, 0, 0, 0.00001f, 0);
    EXPECT_EQ(r.lightEffect, 1);
    EXPECT_EQ(r.effectLightOn, 1);
    r.setLight(-7, 0, 0, 0, 0, 0, 0, 0, -2.0f, 0);
    EXPECT_EQ(r.lightEffect, 2);
    EXPECT_EQ(r.effectLightOn, 1);  // magnitude counts
}

TEST_F(Renderer, ShadeTableReplacementDropsCelTextures) {
    MeshObjectX part;
    r.objects.data[10].parts.append(part);
    r.objects.data[10].parts.data[0].textureName = 99;  // no GL: only forgotten
    r.setShadeTable(nullptr, 0);
    ASSERT_EQ(shadeTable.count, 1);
    EXPECT_EQ(shadeTable.data[0], 255);
    EXPECT_EQ(r.objects.data[10].parts.data[0].textureName, 0u);
    const uint8_t ramp[3] = {10, 20, 30};
    r.setShadeTable(ramp, 3);
    ASSERT_EQ(shadeTable.count, 3);
    EXPECT_EQ(shadeTable.data[2], 30);
    r.setShadeTable(ramp, -4);
    EXPECT_EQ(shadeTable.count, 1);
}

TEST_F(Renderer, CommandsMapCullingAndLightingModes) {
    SetCulling(-7);
    EXPECT_EQ(r.cullMode, -1);
    EXPECT_EQ(sceneState.rememberedCullMode, -1);
    SetCulling(3);
    EXPECT_EQ(r.cullMode, 1);
    EXPECT_EQ(sceneState.rememberedCullMode, 1);
    SetCulling(0);
    EXPECT_EQ(r.cullMode, 0);
    SetLightingMode(5);
    EXPECT_EQ(r.lightingMode, 2);
    SetLightingMode(-1);
    EXPECT_EQ(r.lightingMode, -1);
    SetLightingMode(-4);
    EXPECT_EQ(r.lightingMode, -1);
    SetSphereMapping(7);
    EXPECT_EQ(r.sphereMapping, 1);
    SetTextureMode(3);
    EXPECT_EQ(sceneState.textureMode, 3);
    SetTextureOffset(0.25, -0.5);
    EXPECT_EQ(r.textureOffset[1], -0.5f);
    SetCameraUp(1, 0, 0);
    EXPECT_EQ(r.cameraUp[0], 1.0f);
}

TEST_F(Renderer, HitTriangleIsTheLastHitVertexOverThree) {
    lastHitVertex = -1;
    EXPECT_EQ(GetHitTriangle(), 0);
    lastHitVertex = 0;
    EXPECT_EQ(GetHitTriangle(), 0);
    lastHitVertex = 7;
    EXPECT_EQ(GetHitTriangle(), 2);
    lastHitVertex = -1;
}

TEST_F(Renderer, WithoutShaderSupportTheMessageComesOnce) {
    forgetShaderSupportReport();
    EXPECT_FALSE(r.loadShader(255, "a.vert", "a.frag", collect));
    EXPECT_TRUE(messages.empty());  // a bad slot says nothing
    EXPECT_FALSE(r.loadShader(0, "a.vert", "a.frag", collect));
    EXPECT_FALSE(r.loadShader(1, "a.vert", nullptr, collect));
    EXPECT_EQ(messages, (std::vector<std::string>{"No OpenGL 2.0 Shader Support"}));
    r.useShader(3);  // no entry point: nothing changes
    EXPECT_EQ(r.currentShader, -1);
    r.setUniformInt("TextureID1", 0, collect);
    EXPECT_EQ(messages.size(), 1u);
    EXPECT_EQ(LoadShader(0, RtString("a"), RtString("b")), 0);
    r.freeShader(-1);
    r.freeShader(255);
}

TEST(ShaderSource, ReadsDiskFilesAndMemoryBlocksWhole) {
    testsupport::TempDir folder;
    const std::string path = folder.file("s.vert");
    testsupport::writeFileBytes(path, "void main() {}");
    std::vector<char> source;
    ASSERT_TRUE(readShaderSource(path.c_str(), source));
    EXPECT_STREQ(source.data(), "void main() {}");
    static const uint8_t block[] = {'a', 'b', 'c'};
    const uint32_t key = files::registerMemBlock(block, 3);
    char name[32];
    files::formatMemBlockName(name, 3, key);
    ASSERT_TRUE(readShaderSource(name, source));
    EXPECT_STREQ(source.data(), "abc");
    files::unregisterMemBlock(key);
    EXPECT_FALSE(readShaderSource(name, source));
    EXPECT_FALSE(readShaderSource(folder.file("missing.frag").c_str(), source));
    EXPECT_FALSE(readShaderSource("", source));
    EXPECT_FALSE(readShaderSource(nullptr, source));
    EXPECT_TRUE(source.empty());
    testsupport::writeFileBytes(path, "");
    ASSERT_TRUE(readShaderSource(path.c_str(), source));
    EXPECT_STREQ(source.data(), "");
}

}  // namespace
