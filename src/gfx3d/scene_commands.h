// The 3-D scene and object commands that programs call: scene start, camera,
// lights, fog, culling, textures, building, loading, saving and drawing
// objects, helper drawings, text and sprites in the scene, and shaders.
// Numbers arrive as doubles and are narrowed to 32-bit floats; colours are
// 0x00BBGGRR. Object slots are 0 to 4,095, shader slots 0 to 254: a number
// outside does nothing (or gives 0). Without a 3-D renderer every command
// does nothing and gives 0.
// The making of the engine's one renderer and its release: scene_state.cpp.
// Depends on the engine state (engine.graphics2D, engine.graphics3D).
#pragma once
#include <cstdint>

#include "runtime/strings/rt_string.h"

class OpenGLRainbows;

// Start-up: makes the one renderer on the 2-D context, connects the 2-D
// context's hooks to it (end of a shadow pass, fixed pipeline, texture mode
// 0) and registers its release as the shutdown's 3-D step. Once only.
void startRenderer3D(OpenGLRainbows* graphics);

// Scene, camera, lights and state.
void StartScene3D(double nearClip, double farClip, double angle);  // angle <= 0: orthographic
void ClearDepth();
void SetDepthTest(int flag);
void SetCamera(double eyeX, double eyeY, double eyeZ, double targetX, double targetY, double targetZ);
void SetCameraUp(double x, double y, double z);  // takes effect at the next SetCamera
void SetLightingMode(int mode);                  // stores mode % 3
void SetSphereMapping(int flag);
void SetCulling(int mode);  // by sign: 0 off, 1 clockwise front faces, -1 counter-clockwise
// colour -1 switches fog off; exponential not 0: density; else linear from
// start to end (both 0: the scene's near and far distances).
void SetFog(double colour, double exponential, double startOrDensity, double end);
// index 0 to 7 (taken & 7) a GL light; cutoff 0 switches it off, 180 a
// directional light along (dx, dy, dz), above 90 a point light, else a spot.
// A negative index sets the effect light: -1 bump mapping, -3 stencil shadow
// volumes (with a pass that starts at once), others cel shading.
void SetLight(int index, int colour, double x, double y, double z, double dx, double dy, double dz, double cutoff);
void SetCameraLight(int index, int colour);
void SetTextureOffset(double du, double dv);
void SetTextureMode(int mode);
void SetTexture(int sprite1, int sprite2);
int GetHitTriangle();

// Objects.
void BeginObject(int slot);
void NewObjectFrame(int frame);
void SetVertexNormal(double nx, double ny, double nz);
void AddObjectVertex(double x, double y, double z, double u, double v, int colour);
void AddObjectVertexBreak();
void EndObject();
int SaveObject(const RtString& file, int slot);
void LoadObject(const RtString& file, int slot);
void ReduceObject(int slot);
int FindFreeObjectSlot();  // the highest free slot, -1 when none
void DrawObject(int slot, int frame);
void DrawObjectAnimated(int slot, int frame, int nextFrame, double t, int flag);

// Helper drawings, text and sprites in the scene.
void DrawAxes(double x, double y, double z);
void DrawLine3D(double x1, double y1, double z1, double x2, double y2, double z2, double width, double colour);
void DrawPoint3D(double x, double y, double z, double size, int colour);
void DrawSprite3D(int sprite, double x, double y, double z, double scale);
void DrawTextOver3D(const RtString& text, double x, double y, double z, double kerning, int centred);

// Shaders.
int LoadShader(int slot, const RtString& vertexFile, const RtString& fragmentFile);
void UseShader(int slot);
// With the debug flag set: the message and "\n" to the debugger output.
void ShaderErrorOutput(const char* message);

// The command layer's own values, kept for the whole run (scene_state.cpp).
struct SceneCommandState {
    int32_t texturePair[2] = {-1, -1};  // the sprites plain object drawing uses; -1 none
    int32_t textureMode = 0;            // use-second word of the texture binding; 0 again at every frame end
    int32_t rememberedCullMode = 0;     // the sign last chosen through SetCulling; 0 at every scene start
};
extern SceneCommandState sceneState;
