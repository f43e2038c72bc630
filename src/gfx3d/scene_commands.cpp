// The 3-D scene and object commands. Each command narrows its arguments and
// forwards to the one Rainbows3D (engine.graphics3D); the command layer's own
// values live in scene_state.cpp.
//
// Departures: object slot numbers outside 0 to 4,095 are refused by the
// commands that build, save, load or reduce (the draw commands refuse them in
// the renderer); StartScene3D switches off the GL lights of the light mask
// it clears, so no light of an earlier scene shines on again.
#include "gfx3d/scene_commands.h"

#include <cmath>
#include <cstdint>

#include "gfx2d/opengl_rainbows.h"
#include "gfx3d/rainbows3d.h"
#include "runtime/engine/display_settings.h"
#include "runtime/engine/engine_state.h"
#include "runtime/files/file_paths.h"
#include "runtime/files/pack_archive.h"
#include "runtime/services/debug_output.h"

namespace {

float lineEnds[2][3];
float pointPosition[3];

Rainbows3D* renderer() { return engine.graphics3D; }

// A double as a 32-bit integer: truncated, saturated, NaN as 0.
int32_t toInt32(double value) {
    if (std::isnan(value)) return 0;
    if (value >= 2147483647.0) return INT32_MAX;
    if (value <= -2147483648.0) return INT32_MIN;
    return static_cast<int32_t>(value);
}

double clampSize(double value) {
    if (!(value >= 1.0)) return 1.0;  // NaN too
    return value > 512.0 ? 512.0 : value;
}

void bindCurrentTexturePair(Rainbows3D& r) {
    if (r.gfx2d) r.gfx2d->bindSpriteTextures(sceneState.texturePair[0], sceneState.texturePair[1], sceneState.textureMode, nullptr);
}

void setTextureUnitUniforms(Rainbows3D& r) {
    if (r.currentShader < 0) return;
    r.setUniformInt("TextureID1", 0, nullptr);
    r.setUniformInt("TextureID2", 1, nullptr);
}

}  // namespace

void StartScene3D(double nearClip, double farClip, double angle) {
    Rainbows3D* r = renderer();
    if (!r) return;
    r->clearDepth();
    r->startScene(static_cast<float>(nearClip), static_cast<float>(farClip), static_cast<float>(angle));
    sceneState.rememberedCullMode = 0;
    r->setCulling(0);
    r->switchLightsOff();
    r->effectLightOn = 0;
    sceneState.texturePair[0] = sceneState.texturePair[1] = -1;
    bindCurrentTexturePair(*r);
    if (r->gfx2d) r->gfx2d->applyTextureFilter();
    setTextureUnitUniforms(*r);
}

void ClearDepth() {
    if (Rainbows3D* r = renderer()) r->clearDepth();
}

void SetDepthTest(int flag) {
    if (Rainbows3D* r = renderer()) r->setDepthTest(flag != 0);
}

void SetCamera(double eyeX, double eyeY, double eyeZ, double targetX, double targetY, double targetZ) {
    if (Rainbows3D* r = renderer()) {
        r->setCamera(static_cast<float>(eyeX), static_cast<float>(eyeY), static_cast<float>(eyeZ),
                     static_cast<float>(targetX), static_cast<float>(targetY), static_cast<float>(targetZ));
    }
}

void SetCameraUp(double x, double y, double z) {
    if (Rainbows3D* r = renderer()) r->setUpVector(static_cast<float>(x), static_cast<float>(y), static_cast<float>(z));
}

void SetLightingMode(int mode) {
    if (Rainbows3D* r = renderer()) r->lightingMode = mode % 3;
}

void SetSphereMapping(int flag) {
    if (Rainbows3D* r = renderer()) r->sphereMapping = flag != 0 ? 1 : 0;
}

void SetCulling(int mode) {
    Rainbows3D* r = renderer();
    if (!r) return;
    sceneState.rememberedCullMode = (mode > 0) - (mode < 0);
    r->setCulling(sceneState.rememberedCullMode);
}

void SetFog(double colour, double exponential, double startOrDensity, double end) {
    if (Rainbows3D* r = renderer()) {
        r->setFog(toInt32(colour), toInt32(exponential), static_cast<float>(startOrDensity), static_cast<float>(end));
    }
}

void SetLight(int index, int colour, double x, double y, double z, double dx, double dy, double dz, double cutoff) {
    if (Rainbows3D* r = renderer()) {
        r->setLight(index, colour, static_cast<float>(x), static_cast<float>(y), static_cast<float>(z),
                    static_cast<float>(dx), static_cast<float>(dy), static_cast<float>(dz), static_cast<float>(cutoff),
                    displaySettings.debug);
    }
}

void SetCameraLight(int index, int colour) {
    if (Rainbows3D* r = renderer()) r->setCameraLight(index, colour);
}

void SetTextureOffset(double du, double dv) {
    if (Rainbows3D* r = renderer()) r->setTextureOffset(static_cast<float>(du), static_cast<float>(dv));
}

void SetTexture(int sprite1, int sprite2) {
    Rainbows3D* r = renderer();
    if (!r) return;
    sceneState.texturePair[0] = sprite1;
    sceneState.texturePair[1] = sprite2;
    bindCurrentTexturePair(*r);
    if (r->gfx2d) r->gfx2d->applyTextureFilter();
    setTextureUnitUniforms(*r);
}

int GetHitTriangle() {
    Rainbows3D* r = renderer();
    return r ? r->getHitTriangle() : 0;
}

void BeginObject(int slot) {
    Rainbows3D* r = renderer();
    if (r && isObjectSlotNumber(slot)) r->beginObject(slot, 1);
}

void NewObjectFrame(int frame) {
    if (Rainbows3D* r = renderer()) r->newFrame(frame);
}

void SetVertexNormal(double nx, double ny, double nz) {
    if (Rainbows3D* r = renderer()) {
        r->setVertexNormal(static_cast<float>(nx), static_cast<float>(ny), static_cast<float>(nz));
    }
}

void AddObjectVertex(double x, double y, double z, double u, double v, int colour) {
    if (Rainbows3D* r = renderer()) {
        r->addVertex(static_cast<float>(x), static_cast<float>(y), static_cast<float>(z), static_cast<float>(u),
                     static_cast<float>(v), static_cast<uint32_t>(colour));
    }
}

void AddObjectVertexBreak() {
    if (Rainbows3D* r = renderer()) r->addVertexBreak(1);
}

void EndObject() {
    if (Rainbows3D* r = renderer()) r->endObject();
}

int SaveObject(const RtString& file, int slot) {
    Rainbows3D* r = renderer();
    return r && isObjectSlotNumber(slot) ? r->saveObject(file, slot) : 0;
}

void LoadObject(const RtString& file, int slot) {
    Rainbows3D* r = renderer();
    if (!r || !isObjectSlotNumber(slot)) return;
    r->loadObject(RtString(""), slot);
    char resolved[files::kPathBufferSize] = {};
    if (resolvePackedFile(filePackArchive(), file.c_str(), resolved, 1) != 0) r->loadObject(RtString(resolved), slot);
}

void ReduceObject(int slot) {
    Rainbows3D* r = renderer();
    if (r && isObjectSlotNumber(slot)) r->reduceObject(slot);
}

int FindFreeObjectSlot() {
    Rainbows3D* r = renderer();
    if (!r) return -1;
    for (int32_t s = r->objects.count - 1; s >= 0; --s) {
        if (r->objects.data[s].used == 0) return s;
    }
    return -1;
}

void DrawObject(int slot, int frame) {
    Rainbows3D* r = renderer();
    if (!r) return;
    bindCurrentTexturePair(*r);
    r->drawObject(slot, frame, frame, 0.0f, 0);
}

void DrawObjectAnimated(int slot, int frame, int nextFrame, double t, int flag) {
    Rainbows3D* r = renderer();
    if (!r) return;
    bindCurrentTexturePair(*r);
    r->drawObject(slot, frame, nextFrame, static_cast<float>(t), flag != 0 ? 1 : 0);
}

void DrawAxes(double x, double y, double z) {
    if (Rainbows3D* r = renderer()) r->drawAxes(static_cast<float>(x), static_cast<float>(y), static_cast<float>(z));
}

void DrawLine3D(double x1, double y1, double z1, double x2, double y2, double z2, double width, double colour) {
    Rainbows3D* r = renderer();
    if (!r) return;
    lineEnds[0][0] = static_cast<float>(x1);
    lineEnds[0][1] = static_cast<float>(y1);
    lineEnds[0][2] = static_cast<float>(z1);
    lineEnds[1][0] = static_cast<float>(x2);
    lineEnds[1][1] = static_cast<float>(y2);
    lineEnds[1][2] = static_cast<float>(z2);
    r->drawLine(lineEnds[0], lineEnds[1], toInt32(colour), static_cast<float>(clampSize(width)));
}

void DrawPoint3D(double x, double y, double z, double size, int colour) {
    Rainbows3D* r = renderer();
    if (!r) return;
    pointPosition[0] = static_cast<float>(x);
    pointPosition[1] = static_cast<float>(y);
    pointPosition[2] = static_cast<float>(z);
    r->drawPoint(pointPosition, colour, static_cast<float>(clampSize(size)));
}

void DrawSprite3D(int sprite, double x, double y, double z, double scale) {
    Rainbows3D* r = renderer();
    if (!r || sprite < 0 || !r->gfx2d) return;
    r->setCulling(-1);  // the billboard is a counter-clockwise front face
    r->gfx2d->drawBillboard(static_cast<uint16_t>(sprite), static_cast<float>(x), static_cast<float>(y),
                            static_cast<float>(z), static_cast<float>(scale));
    r->setCulling(sceneState.rememberedCullMode);
}

void DrawTextOver3D(const RtString& text, double x, double y, double z, double kerning, int centred) {
    Rainbows3D* r = renderer();
    if (!r || !r->gfx2d) return;
    r->gfx2d->printTextOver3D(r->gfx2d->currentFont, text, static_cast<float>(x), static_cast<float>(y),
                              static_cast<float>(z), static_cast<float>(kerning), centred);
}

int LoadShader(int slot, const RtString& vertexFile, const RtString& fragmentFile) {
    Rainbows3D* r = renderer();
    if (!r) return 0;
    return r->loadShader(slot, vertexFile.c_str(), fragmentFile.c_str(), ShaderErrorOutput) ? 1 : 0;
}

void UseShader(int slot) {
    if (Rainbows3D* r = renderer()) r->useShader(slot);
}

void ShaderErrorOutput(const char* message) {
    if (displaySettings.debug == 0) return;
    RtString line(message ? message : "");
    line += "\n";
    debugOutput(line);
}
