// Rainbows3D, the one 3-D renderer: 4,096 object slots of mesh parts, 255
// GLSL shader slots, the stack of 16 object transforms, the camera with its
// projection, view matrix and frustum planes, lights, fog, culling, the
// lighting effects with the stencil shadow pass, and a pointer to the 2-D
// context through which it binds sprite textures and reads the viewport.
//
// Each family of methods lives in a file of its own:
//   rainbows3d.cpp          construction, destruction, freeShader, the shade table
//   camera.cpp              scene start, camera, projection, frustum, depth
//   object_transforms.cpp   the transform stack and the object matrix
//   lighting.cpp            lights, fog, culling, effect light, shadow pass
//   mesh_drawing.cpp        drawObject, drawMesh, uploadTexture
//   debug_drawing.cpp       points, lines, axes, wire spheres and boxes
//   shaders.cpp             GLSL shader slots, uniforms and attributes
//   object building, model loading, packs, reduction, collision, cone and
//   projection: the files of those families (object_building.cpp, ...).
//
// Every GL extension entry point (glext::*) may be null and is tested before
// each use. GL capabilities and the current colour go through the caches of
// gfx2d/gl_state_cache.h. Every method reaches GL through one gate, glReady,
// which first draws what the 2-D queue holds: 2-D drawing queued before a
// 3-D call is drawn under the state it was queued with.
//
// Departures: slot numbers outside 0 to 4,095 are refused (the method does
// nothing, or gives 0) instead of indexing past the table; the constructor
// gives every field a defined value (no shader, no culling, effects off,
// identity matrices) instead of leaving them to the first scene start.
#pragma once
#include <cstdint>

#include "gfx2d/gl_headers.h"
#include "gfx3d/mesh_types.h"
#include "runtime/containers/rt_vector.h"
#include "runtime/strings/rt_string.h"

class OpenGLRainbows;

constexpr int32_t kObjectSlotCount = 4096;
constexpr int32_t kShaderSlotCount = 255;
constexpr int32_t kTransformDepth = 16;
constexpr int32_t kMaxTransformRotations = 16;
constexpr int32_t kMaxTransformMatrices = 16;

inline bool isObjectSlotNumber(int32_t slot) { return slot >= 0 && slot < kObjectSlotCount; }

// One object slot: the mesh parts of one object and the textures it owns.
struct Object3DSlot {
    uint8_t used = 0;       // 0 = free
    uint8_t multiPart = 0;  // 1 = every part binds its own textures (textureA/B index textureNames)
    RtVector<MeshObjectX> parts;
    RtVector<uint32_t> textureNames;  // GL texture names the slot owns (object packs)
};

// One GLSL program with its two shaders; 0 = none.
struct ShaderSlot {
    uint32_t program = 0;
    uint32_t vertexShader = 0;
    uint32_t fragmentShader = 0;
};

struct TransformRotation {
    float angle;  // degrees
    float x, y, z;
};

// One record of the object transform stack. While matrixValid is 0, `matrix`
// is the starting matrix (identity for record 0, the parent's finished matrix
// otherwise); updateObjectMatrix finishes it. Any change to position, scale,
// rotations or matrices must set matrixValid to 0.
struct Object3DTransform {
    int32_t matrixCount = 0;    // 0 to 16
    int32_t rotationCount = 0;  // 0 to 16
    TransformRotation rotations[kMaxTransformRotations] = {};
    float scale[3] = {1.0f, 1.0f, 1.0f};
    float position[3] = {0.0f, 0.0f, 0.0f};
    float matrices[kMaxTransformMatrices][16] = {};  // column-major, in the order added
    float matrix[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
    uint32_t matrixValid = 1;
};

// The error callback of the shader methods: one text per call; may be null.
using ShaderMessageCallback = void (*)(const char* message);

class Rainbows3D {
public:
    // Stores itself in gfx2d->renderer3D (gfx2d may be null: nothing is drawn then).
    explicit Rainbows3D(OpenGLRainbows* gfx2d);
    // Releases every slot's parts, GL buffers and textures and every shader;
    // makes no GL call when the 2-D context (and so the GL context) is gone.
    virtual ~Rainbows3D();
    Rainbows3D(const Rainbows3D&) = delete;
    Rainbows3D& operator=(const Rainbows3D&) = delete;

    // The slot, or null for a number outside 0 to 4,095.
    Object3DSlot* slot(int32_t number) { return isObjectSlotNumber(number) ? &objects.data[number] : nullptr; }
    // The gate every method passes before it calls GL: false while there is
    // no GL context (no 2-D context, or one without a window); otherwise the
    // 2-D drawing queue is drawn first, so 2-D drawing queued before a 3-D
    // call keeps the GL state it was queued under.
    bool glReady();
    // The 2-D context is being (or has been) deleted: forget it, so nothing
    // reaches the GL context from here on.
    void detachGraphics2D();

    // --- rainbows3d.cpp ---
    void freeShader(int32_t slot);
    // Empties one slot: parts cleared and destroyed, owned textures deleted,
    // used and multiPart 0. Growth step and minimum of both vectors stay.
    void releaseSlot(Object3DSlot& slot);

    // --- camera.cpp ---
    void startScene(float nearClip, float farClip, float angle);
    void setCamera(float eyeX, float eyeY, float eyeZ, float targetX, float targetY, float targetZ);
    void setUpVector(float x, float y, float z);
    void loadViewMatrix(const float (&eye)[3], const float (&target)[3], const float (&up)[3], float (&out)[16]);
    void updateCamera();
    void multProjection(float left, float right, float bottom, float top, float nearClip, float farClip,
                        float (&out)[16]);
    void multOrtho(float left, float right, float bottom, float top, float nearClip, float farClip,
                   float (&out)[16]);
    int32_t isInFrustum(float x, float y, float z, float radius) const;
    void clearDepth();
    void setDepthTest(uint8_t on);

    // --- object_transforms.cpp ---
    void updateObjectMatrix();
    void multObjectMatrix();
    void setTextureOffset(float du, float dv);
    void resetTransforms();  // index 0, record 0 cleared with the identity, valid
    void pushTransform();    // nothing at index 15
    void popTransform();     // at index 0 resets record 0
    // The current record is about to change: its matrix goes back to its
    // starting matrix (the parent's finished matrix, the identity for record
    // 0) and waits to be finished again, so what was added before counts once.
    void reopenTransform();
    Object3DTransform& currentTransform() { return transforms[transformIndex]; }

    // --- lighting.cpp ---
    void setLight(int32_t index, int32_t colour, float x, float y, float z, float dx, float dy, float dz, float cutoff,
                  int32_t debug);
    void setCameraLight(int32_t index, int32_t colour);
    void setFog(int32_t colour, int32_t exponential, float startOrDensity, float end);
    void setCulling(int32_t mode);
    void setShadowPass(uint8_t on);
    // Every GL light of the light mask off, the mask 0, lighting off.
    void switchLightsOff();
    void setShadeTable(const uint8_t* bytes, int32_t count);

    // --- mesh_drawing.cpp ---
    void drawObject(int32_t slot, int32_t frame, int32_t nextFrame, float blend, uint8_t animated);
    void drawMesh(MeshObjectX* part, int32_t frame, int32_t nextFrame, float blend, uint8_t animated,
                  const uint32_t* textureNames);
    void uploadTexture(MeshObjectX* part, uint8_t bgra);

    // --- debug_drawing.cpp ---
    void drawPoint(const float (&position)[3], int32_t colour, float size);
    void drawLine(const float (&from)[3], const float (&to)[3], int32_t colour, float width);
    void drawAxes(float x, float y, float z);
    void drawDebugSphere(const float (&centre)[3], float radius, int32_t colour, int16_t width);
    void drawDebugBox(const float (&centre)[3], const float (&a)[3], const float (&b)[3], const float (&d)[3],
                      int32_t colour, int16_t width);
    int32_t getHitTriangle() const;

    // --- shaders.cpp ---
    bool loadShader(int32_t slot, const char* vertexFile, const char* fragmentFile, ShaderMessageCallback callback);
    void useShader(int32_t index);
    void setUniform(const char* name, float value, ShaderMessageCallback callback);
    void setUniformInt(const char* name, int32_t value, ShaderMessageCallback callback);
    void setAttribute(const char* name, float value, ShaderMessageCallback callback);

    // --- object building, loading, reduction (the mesh files) ---
    void beginObject(int32_t slot, int32_t kind);
    void setVertexNormal(float nx, float ny, float nz);
    void addVertex(float x, float y, float z, float u, float v, uint32_t colour);
    void addVertexBreak(int32_t kind);
    void newFrame(int32_t frame);
    void endObject();
    int32_t saveObject(const RtString& file, int32_t slot);
    uint32_t loadObject(const RtString& name, int32_t slot);
    void reduceObject(int32_t slot);

    // --- collision, cone test (the collision files) ---
    int32_t collideSphereSlot(int32_t slot, int32_t frame, float radius, const float (&centre)[3]);
    int32_t collideBoxSlot(int32_t slot, int32_t frame, const float (&centre)[3], const float (&a)[3],
                           const float (&b)[3], const float (&c)[3]);
    double rayDistanceSlot(int32_t slot, int32_t frame, const float (&start)[3], const float (&direction)[3]);
    int32_t collideSphereBox(const float (&point)[3], float squaredRadius, float hx, float hy, float hz);
    int32_t collideSphere(MeshObjectX* part, int32_t frame, float radius, const float (&centre)[3]);
    int32_t collideBoxPart(MeshObjectX* part, int32_t frame, const float (&centre)[3], const float (&a)[3],
                           const float (&b)[3], const float (&c)[3]);
    double rayDistance(MeshObjectX* part, int32_t frame, const float (&start)[3], const float (&direction)[3]);
    double coneHitsSlot(int32_t slot, int32_t frame, float apexX, float apexY, float apexZ, float axisX, float axisY,
                        float axisZ, float halfAngle);
    double coneHitsPart(MeshObjectX* part, int32_t frame, const float (&apex)[3], const float (&axis)[3],
                        float halfAngle);

    // Fields, in the renderer's order.
    RtVector<Object3DSlot> objects;  // 4,096 slots, step 128, minimum 512
    int32_t buildFrame = 0;
    float frustum[6][4] = {};  // right, left, bottom, top, far, near; unit normals
    ShaderSlot shaders[kShaderSlotCount] = {};
    int32_t currentShader = -1;  // negative = fixed pipeline
    MeshVertex buildVertex = {};
    uint8_t shadowPassOn = 0;
    int8_t cullMode = 0;  // 0 none, 1 clockwise front faces, -1 counter-clockwise
    Object3DTransform transforms[kTransformDepth];
    int32_t transformIndex = 0;
    float projectionMatrix[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
    float viewMatrix[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
    float reserved[16] = {};
    float textureOffset[2] = {0.0f, 0.0f};  // du, dv
    uint8_t lightMask = 0;                  // bit n: GL light n on
    uint8_t sphereMapping = 0;
    OpenGLRainbows* gfx2d = nullptr;
    uint8_t effectLightOn = 0;
    uint8_t lightEffect = 0;  // 1 bump mapping, 2 cel shading with outlines, 3 stencil shadow volumes
    float effectLight[3] = {0.0f, 0.0f, 0.0f};
    int32_t shadowColour = 0;  // 0x00BBGGRR
    float cameraUp[3] = {0.0f, 1.0f, 0.0f};
    float cameraEye[3] = {0.0f, 0.0f, 0.0f};
    float cameraTarget[3] = {0.0f, 0.0f, -1.0f};
    float viewTangent = 0.0f;
    float nearClip = 0.0f;
    float farClip = 0.0f;
    int32_t lightingMode = 2;  // 0, 1 or 2 (a command may store a negative remainder)

private:
    // True while the 2-D context exists and has a window. Only the life of
    // the renderer asks this; everything that calls GL goes through glReady.
    bool hasGL() const;
    // mesh_drawing.cpp: frames F and S blended into the first n vertices of
    // the draw array, with the texture offset and the effect light's
    // per-vertex values; the cel-shading outline.
    void blendIntoBase(MeshObjectX& part, int32_t F, int32_t S, float t, int32_t n, const float (&light)[3]);
    void drawOutline(MeshObjectX& part, int32_t S, int32_t n, const uint32_t* names);
};

// The brightness ramp of cel shading (bytes 0 to 255), shared by every part;
// empty until set or first needed.
extern RtVector<uint8_t> shadeTable;

// The first record (0, 3, 6, ...) of the triangle hit by the last sphere, box
// or ray test, -1 when none. Written by the collision tests, read by
// getHitTriangle.
extern int32_t lastHitVertex;
