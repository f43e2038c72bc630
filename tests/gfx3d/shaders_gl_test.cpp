// GLSL shader slots on the real driver: loading from files, a shader that
// colours a square, uniforms by name, compile and link failures with their
// messages, and the return to the fixed pipeline at the frame end.
#include <string>
#include <vector>

#include "file_bytes.h"
#include "gfx2d/gl_extensions.h"
#include "gfx3d/scene_commands.h"
#include "gfx3d/shaders.h"
#include "scene_fixture.h"
#include "shell/frame_end.h"

namespace {

using namespace scenetest;

std::vector<std::string> messages;
void collect(const char* message) { messages.emplace_back(message); }

const char* const kVertex = "void main() { gl_Position = ftransform(); }\n";
const char* const kGreen = "void main() { gl_FragColor = vec4(0.0, 1.0, 0.0, 1.0); }\n";
const char* const kLevel = "uniform float level;\nvoid main() { gl_FragColor = vec4(level, 0.0, level, 1.0); }\n";

class Shaders : public Scene {
protected:
    void SetUp() override {
        Scene::SetUp();
        messages.clear();
        put(1, square(1.0f, 0.0f));
    }
    std::string write(const char* name, const char* text) {
        std::string path = folder.file(name);
        testsupport::writeFileBytes(path, text);
        return path;
    }
    void drawSquare() {
        StartScene3D(1.0, 100.0, 60.0);
        SetCamera(0, 0, 5, 0, 0, 0);
        DrawObject(1, 0);
    }
};

TEST_F(Shaders, AShaderColoursTheSquare) {
    ASSERT_NE(glext::glCreateShaderObjectARB, nullptr);
    const std::string v = write("a.vert", kVertex), f = write("a.frag", kGreen);
    ASSERT_EQ(LoadShader(3, RtString(v.c_str()), RtString(f.c_str())), 1);
    EXPECT_NE(r->shaders[3].program, 0u);
    EXPECT_NE(r->shaders[3].vertexShader, 0u);
    EXPECT_NE(r->shaders[3].fragmentShader, 0u);
    UseShader(3);
    EXPECT_EQ(r->currentShader, 3);
    drawSquare();
    EXPECT_TRUE(near(px(32, 32), 0xFF00FF00u, 2));
    UseShader(255);  // out of range: the fixed pipeline
    EXPECT_EQ(r->currentShader, -1);
    drawSquare();
    EXPECT_TRUE(near(px(32, 32), 0xFFFFFFFFu, 2));
}

// Loading again into the slot in use puts what was loaded in use at once:
// the new program, or the fixed pipeline when the load fails, never the
// deleted program of the last load.
TEST_F(Shaders, ReloadingTheSlotInUse) {
    const std::string v = write("a.vert", kVertex), green = write("a.frag", kGreen);
    const std::string red = write("r.frag", "void main() { gl_FragColor = vec4(1.0, 0.0, 0.0, 1.0); }\n");
    const std::string bad = write("bad.frag", "void main() { gl_FragColor = nonsense; }\n");
    ASSERT_EQ(LoadShader(3, RtString(v.c_str()), RtString(green.c_str())), 1);
    UseShader(3);
    drawSquare();
    EXPECT_TRUE(near(px(32, 32), 0xFF00FF00u, 2)) << std::hex << px(32, 32);
    ASSERT_EQ(LoadShader(3, RtString(v.c_str()), RtString(red.c_str())), 1);
    drawSquare();
    EXPECT_TRUE(near(px(32, 32), 0xFF0000FFu, 2)) << std::hex << px(32, 32);
    EXPECT_EQ(LoadShader(3, RtString(v.c_str()), RtString(bad.c_str())), 0);
    drawSquare();
    EXPECT_TRUE(near(px(32, 32), 0xFFFFFFFFu, 2)) << std::hex << px(32, 32);
    EXPECT_EQ(r->currentShader, 3);
}

TEST_F(Shaders, UniformsByNameAndTheirMessages) {
    const std::string v = write("a.vert", kVertex), f = write("l.frag", kLevel);
    ASSERT_TRUE(r->loadShader(0, v.c_str(), f.c_str(), collect));
    r->useShader(0);
    r->setUniform("level", 1.0f, collect);
    EXPECT_TRUE(messages.empty());
    drawSquare();
    EXPECT_TRUE(near(px(32, 32), 0xFFFF00FFu, 2));
    r->setUniform("missing", 1.0f, collect);
    r->setUniformInt("TextureID1", 0, collect);
    r->setAttribute("nothing", 1.0f, collect);
    EXPECT_EQ(messages, (std::vector<std::string>{"undefined uniform:", "missing", "undefined uniform:", "TextureID1",
                                                  "undefined attrib:", "nothing"}));
    // After the frame end the fixed pipeline is back and uniforms do nothing.
    EndFrame();
    EXPECT_EQ(r->currentShader, -1);
    messages.clear();
    r->setUniform("missing", 1.0f, collect);
    EXPECT_TRUE(messages.empty());
}

TEST_F(Shaders, VertexShaderAloneLinks) {
    const std::string v = write("a.vert", kVertex);
    EXPECT_TRUE(r->loadShader(1, v.c_str(), "", collect));
    EXPECT_NE(r->shaders[1].program, 0u);
    EXPECT_EQ(r->shaders[1].fragmentShader, 0u);
    EXPECT_TRUE(messages.empty());
}

TEST_F(Shaders, NoFilesGiveNoProgram) {
    EXPECT_FALSE(r->loadShader(2, "", nullptr, collect));
    EXPECT_FALSE(r->loadShader(2, folder.file("missing.vert").c_str(), folder.file("missing.frag").c_str(), collect));
    EXPECT_EQ(r->shaders[2].program, 0u);
    EXPECT_EQ(r->shaders[2].vertexShader, 0u);
    EXPECT_EQ(r->shaders[2].fragmentShader, 0u);
    EXPECT_TRUE(messages.empty());
}

TEST_F(Shaders, CompileFailureReportsTheLogThenTheStage) {
    const std::string v = write("bad.vert", "void main() { this is not glsl }\n");
    const std::string f = write("a.frag", kGreen);
    // A good fragment shader after a failed vertex shader sets the flag
    // again, but the failed shader stays attached and the link fails.
    EXPECT_FALSE(r->loadShader(4, v.c_str(), f.c_str(), collect));
    ASSERT_EQ(messages.size(), 4u);
    EXPECT_FALSE(messages[0].empty());  // the compiler's log
    EXPECT_EQ(messages[1], "vertex shader failed");
    EXPECT_EQ(messages[3], "link shader failed");
    messages.clear();
    const std::string badFragment = write("bad.frag", "void main() { gl_FragColor = nonsense; }\n");
    EXPECT_FALSE(r->loadShader(4, nullptr, badFragment.c_str(), collect));
    ASSERT_EQ(messages.size(), 2u);
    EXPECT_EQ(messages[1], "fragment shader failed");
    EXPECT_NE(r->shaders[4].fragmentShader, 0u);  // kept until the next load
    EXPECT_EQ(r->shaders[4].program, 0u);
}

TEST_F(Shaders, LinkFailureReportsTheLog) {
    const std::string v = write("nomain.vert", "float helper() { return 1.0; }\n");
    EXPECT_FALSE(r->loadShader(5, v.c_str(), nullptr, collect));
    ASSERT_EQ(messages.size(), 2u);
    EXPECT_EQ(messages[1], "link shader failed");
    EXPECT_NE(r->shaders[5].program, 0u);
    r->freeShader(5);
    EXPECT_EQ(r->shaders[5].program, 0u);
    EXPECT_EQ(r->shaders[5].vertexShader, 0u);
}

TEST_F(Shaders, SetTextureGivesTheSecondSamplerUnitOne) {
    const char* const fragment =
        "uniform sampler2D TextureID2;\n"
        "void main() { gl_FragColor = texture2D(TextureID2, vec2(0.5)); }\n";
    const std::string v = write("a.vert", kVertex), f = write("t.frag", fragment);
    ASSERT_TRUE(r->loadShader(6, v.c_str(), f.c_str(), collect)) << (messages.empty() ? "" : messages[0]);
    solidSprite(40, 0xFF0000FFu);
    solidSprite(41, 0xFFFF0000u);
    UseShader(6);
    StartScene3D(1.0, 100.0, 60.0);
    SetCamera(0, 0, 5, 0, 0, 0);
    SetTexture(40, 41);
    DrawObject(1, 0);
    EXPECT_TRUE(near(px(32, 32), 0xFFFF0000u, 2)) << std::hex << px(32, 32);
}

}  // namespace
