// The mesh records that the 3-D renderer keeps in growable vectors: vertices,
// animation frames, meshes and mesh parts, with their construction, copy,
// clearing and release (mesh_types.cpp). The whole-mesh operations are
// declared here and live with their families: bounds and scaling in
// mesh_model.cpp, the palette, the normal pass and the expansion into
// triangles in object_building.cpp, the shadow-volume data in
// shadow_volumes.cpp.
//
// GPU objects: a part owns two buffer names and a texture name and deletes
// them when cleared, through the two entry points of MeshGpuRelease, which
// the renderer fills once its GL functions are found (null = not present).
// Copy assignment copies the names as values, as the mesh copies do; a move
// (what a growing vector does) hands them over, so they are deleted once.
//
// Departure: MeshObject has a virtual destructor, so that a part deleted
// through its base still releases its own vectors and GPU objects.
#pragma once
#include <cstdint>

#include "runtime/containers/rt_vector.h"

// One vertex, 23 four-byte slots, copied as bytes.
struct MeshVertex {
    float x, y, z;
    float nx, ny, nz;  // unit normal
    float u, v;
    float carried[3];  // copied with the vertex, otherwise unused
    float tangent[3];
    float bitangent[3];
    uint32_t colour;  // 0x00BBGGRR, or in a break node 0xFFFFFFFF list, ...FE strip, ...FD fan
    uint8_t paletteIndex;
    float red, green, blue, alpha;  // 0..1
};
static_assert(sizeof(MeshVertex) == 23 * 4);

// One 32-bit value, the element of the model readers' temporary lists.
struct Record4 {
    uint32_t value;
};

// One triangle edge of frame 0, for the shadow volumes.
struct MeshEdge {
    int32_t neighbour;   // triangle across the edge, -1 none
    uint8_t silhouette;  // 1 = the edge casts a volume side
};
static_assert(sizeof(MeshEdge) == 8);

struct MeshGpuRelease {
    void (*deleteBuffer)(uint32_t name) = nullptr;   // null: no buffer objects
    void (*deleteTexture)(uint32_t name) = nullptr;  // null: no GL context
};
extern MeshGpuRelease meshGpuRelease;

// One animation frame.
class MeshFrame {
public:
    RtVector<MeshVertex> nodes;      // vertices with break nodes between runs
    RtVector<MeshVertex> triangles;  // three vertices per triangle
    float radius = 0.0f;
    float centre[3] = {0.0f, 0.0f, 0.0f};

    MeshFrame() noexcept = default;  // both lists empty, step 128, minimum 512
    MeshFrame(const MeshFrame& source) { *this = source; }
    MeshFrame(MeshFrame&&) noexcept = default;
    ~MeshFrame() { release(); }

    // Own copies of the source's vertices: both lists get step 1 and
    // minimum 1 and room for exactly the source's counts (plus the one spare
    // slot of that rule); then radius and centre. Nothing for self.
    MeshFrame& operator=(const MeshFrame& source);
    MeshFrame& operator=(MeshFrame&&) noexcept = default;

    // Frees both lists' storage, the second first.
    void release();
};

// A mesh: frames, the draw copy of frame 0, the colour palette and two flags.
class MeshObject {
public:
    RtVector<MeshFrame> frames;
    RtVector<MeshVertex> baseTriangles;
    RtVector<uint32_t> palette;
    int32_t normalsValid = 0;
    int32_t tangentsValid = 0;

    MeshObject() noexcept = default;
    MeshObject(const MeshObject& source) { *this = source; }
    MeshObject(MeshObject&& source) noexcept { swapContents(source); }
    virtual ~MeshObject();

    // Frames, base triangles and palette by copyFrom, then both flags.
    MeshObject& operator=(const MeshObject& source);
    MeshObject& operator=(MeshObject&& source) noexcept;

    virtual void buildFaces() {}
    // Empties the lists and every frame; with freeMemory their storage (and
    // the frames themselves) are freed, else kept for a rebuild.
    void clear(bool freeMemory);

    // Every frame's centre (mean of its triangle positions; the origin for
    // a frame without triangles) and radius (largest distance from it).
    void computeFrameBounds();
    // Positions times the factors; normals by the inverse transpose of the
    // scale, tangents and bitangents times the factors, each back to unit
    // length (a zero result stays zero). Triangles and nodes alike; then
    // the bounds.
    void scale(float sx, float sy, float sz);
    // The distinct colours of all nodes in order of first appearance, and
    // each node's index into them (low 8 bits).
    void buildPalette();
    // The normal pass (normals only while normalsValid is 0, tangents only
    // while tangentsValid is 0), then buildFaces.
    void computeNormals(bool normals, bool smooth, bool tangents);

protected:
    void swapContents(MeshObject& other) noexcept;
};

// One part of a 3-D object: a mesh with its GPU objects and shadow data.
class MeshObjectX : public MeshObject {
public:
    uint32_t hasColours = 0;
    uint32_t bufferNames[2] = {0, 0};  // GL buffer objects, 0 = none
    uint32_t textureName = 0;          // GL texture, 0 = none
    float shadeScale = 0.0f;
    RtVector<MeshEdge> edges;
    RtVector<uint8_t> litFaces;
    int32_t textureA = 0;
    int32_t textureB = 0;

    MeshObjectX() noexcept = default;
    MeshObjectX(const MeshObjectX& source) : MeshObject() { *this = source; }
    MeshObjectX(MeshObjectX&& source) noexcept : MeshObject() { swapContents(source); }
    ~MeshObjectX() override;

    MeshObjectX& operator=(const MeshObjectX& source);
    MeshObjectX& operator=(MeshObjectX&& source) noexcept;

    // The base clear; then edges and litFaces emptied (freed with
    // freeMemory) with step and minimum 64; the GPU objects deleted.
    void clear(bool freeMemory);

    // Deletes the static buffer (frame 0 as first drawn), so that the next
    // draw fills it again: for changes to frame 0's triangles after a draw.
    void dropStaticBuffer();

    // Every frame's nodes expanded into its triangle list (runs of lists,
    // strips and fans by the run kinds the break nodes carry), frame 0's copied
    // into baseTriangles, hasColours set; the static buffer is dropped, so the
    // next draw fills it from the new triangles (new normals after the normal
    // pass, for one).
    void buildFaces() override;

    // Shadow volumes. The triangle count is frame 0's triangle records / 3;
    // the vertex arrays are laid out as a triangle list of the same shape.
    // Fills `edges` once: the triangle across each edge, -1 none.
    void buildEdgeNeighbours();
    // litFaces: which triangles face the light; each edge's silhouette flag.
    void findSilhouette(const RtVector<MeshVertex>& vertices, const float (&light)[3]);
    // Draws the volume into the stencil buffer in two passes (needs GL).
    void drawShadowVolume(const RtVector<MeshVertex>& vertices, const float (&light)[3], bool caps);

private:
    void swapContents(MeshObjectX& other) noexcept;
};
