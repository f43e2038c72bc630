// Mesh records in growable vectors: construction, deep copies, clearing and
// the hand-over of GPU names when a vector of parts grows.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "gfx3d/mesh_types.h"

namespace {

MeshVertex vertex(float x) {
    MeshVertex v{};
    v.x = x;
    v.colour = 0x00FF00FFu;
    return v;
}

MeshFrame frameOf(int nodes, int triangles) {
    MeshFrame f;
    for (int n = 0; n < nodes; ++n) f.nodes.append(vertex(static_cast<float>(n)));
    for (int n = 0; n < triangles; ++n) f.triangles.append(vertex(100.0f + n));
    f.radius = 2.5f;
    f.centre[1] = -1.0f;
    return f;
}

// Records every GPU name deleted while it lives.
struct GpuLog {
    static std::vector<uint32_t> buffers;
    static std::vector<uint32_t> textures;
    GpuLog() {
        buffers.clear();
        textures.clear();
        meshGpuRelease.deleteBuffer = [](uint32_t name) { buffers.push_back(name); };
        meshGpuRelease.deleteTexture = [](uint32_t name) { textures.push_back(name); };
    }
    ~GpuLog() { meshGpuRelease = MeshGpuRelease{}; }
};
std::vector<uint32_t> GpuLog::buffers;
std::vector<uint32_t> GpuLog::textures;

// Shaped like the renderer's object slot: two flags and two vectors.
struct SlotLike {
    uint8_t used = 0;
    uint8_t multiPart = 0;
    RtVector<MeshObjectX> parts;
    RtVector<Record4> values;
};

}  // namespace

TEST(MeshFrame, NewFrameHasTwoEmptyListsWithTheUsualGrowth) {
    RtVector<MeshFrame> frames;
    frames.reserve(1);
    ASSERT_EQ(512, frames.capacity);
    for (int32_t f : {0, 511}) {
        EXPECT_EQ(nullptr, frames[f].nodes.data);
        EXPECT_EQ(0, frames[f].triangles.count);
        EXPECT_EQ(128, frames[f].nodes.step);
        EXPECT_EQ(512, frames[f].triangles.minimum);
    }
}

TEST(MeshFrame, AssignmentGivesOwnStorageOfExactlyTheSourceCounts) {
    MeshFrame source = frameOf(5, 3);
    MeshFrame copy;
    copy = source;
    EXPECT_EQ(5, copy.nodes.count);
    EXPECT_EQ(6, copy.nodes.capacity);  // step 1, minimum 1: n + 1
    EXPECT_EQ(4, copy.triangles.capacity);
    EXPECT_EQ(1, copy.nodes.step);
    EXPECT_EQ(1, copy.triangles.minimum);
    EXPECT_NE(source.nodes.data, copy.nodes.data);
    EXPECT_EQ(0, std::memcmp(source.triangles.data, copy.triangles.data, 3 * sizeof(MeshVertex)));
    EXPECT_EQ(2.5f, copy.radius);
    EXPECT_EQ(-1.0f, copy.centre[1]);
    copy.nodes.append(vertex(9));
    EXPECT_EQ(6, copy.nodes.capacity);
    copy.nodes.append(vertex(10));
    EXPECT_EQ(8, copy.nodes.capacity);  // grows one record at a time (plus the spare)
    MeshVertex* before = copy.nodes.data;
    const MeshFrame& same = copy;
    copy = same;
    EXPECT_EQ(before, copy.nodes.data);
}

TEST(MeshFrame, ReleaseLeavesBothListsWithoutStorage) {
    MeshFrame f = frameOf(2, 2);
    f.release();
    EXPECT_EQ(nullptr, f.nodes.data);
    EXPECT_EQ(nullptr, f.triangles.data);
    EXPECT_EQ(0, f.nodes.capacity);
    EXPECT_EQ(0, f.triangles.count);
}

TEST(MeshObject, CopyIsDeepAndReplacesTheTargetFrames) {
    MeshObject source;
    source.frames.append(frameOf(3, 3));
    source.frames.append(frameOf(4, 0));
    source.palette.append(0x00FF00FFu);
    source.normalsValid = 1;
    MeshObject target;
    target.frames.append(frameOf(9, 9));
    target = source;
    ASSERT_EQ(2, target.frames.count);
    EXPECT_EQ(3, target.frames[0].nodes.count);
    EXPECT_EQ(4, target.frames[1].nodes.count);
    EXPECT_NE(source.frames[0].nodes.data, target.frames[0].nodes.data);
    EXPECT_EQ(1, target.normalsValid);
    EXPECT_EQ(0x00FF00FFu, target.palette[0]);
    source.frames[0].nodes.data[0].x = 42.0f;
    EXPECT_EQ(0.0f, target.frames[0].nodes.data[0].x);
}

TEST(MeshObject, ClearKeepsOrFreesTheFrames) {
    MeshObject mesh;
    for (int f = 0; f < 3; ++f) mesh.frames.append(frameOf(3, 3));
    mesh.tangentsValid = 1;
    mesh.clear(false);
    EXPECT_EQ(0, mesh.frames.count);
    EXPECT_NE(nullptr, mesh.frames.data);
    EXPECT_NE(nullptr, mesh.frames.data[2].nodes.data);
    EXPECT_EQ(0, mesh.frames.data[2].nodes.count);
    EXPECT_EQ(0, mesh.tangentsValid);
    mesh.clear(true);
    EXPECT_EQ(nullptr, mesh.frames.data);
    EXPECT_EQ(0, mesh.frames.capacity);
}

TEST(MeshObjectX, ClearDeletesTheGpuObjectsOnceAndSetsStep64) {
    GpuLog log;
    MeshObjectX part;
    part.bufferNames[0] = 11;
    part.bufferNames[1] = 0;
    part.textureName = 12;
    part.edges.append(MeshEdge{-1, 1});
    part.litFaces.append(1);
    part.clear(true);
    EXPECT_EQ((std::vector<uint32_t>{11}), GpuLog::buffers);
    EXPECT_EQ((std::vector<uint32_t>{12}), GpuLog::textures);
    EXPECT_EQ(0u, part.textureName);
    EXPECT_EQ(nullptr, part.edges.data);
    EXPECT_EQ(64, part.edges.step);
    EXPECT_EQ(64, part.litFaces.minimum);
    part.clear(true);
    EXPECT_EQ(1u, GpuLog::textures.size());
    meshGpuRelease = MeshGpuRelease{};  // no buffer objects: names are only forgotten
    part.bufferNames[1] = 5;
    part.clear(false);
    EXPECT_EQ(0u, part.bufferNames[1]);
}

TEST(MeshObjectX, CopyTakesNamesAsValuesAndListsAsOwnCopies) {
    MeshObjectX source;
    source.hasColours = 1;
    source.bufferNames[0] = 3;
    source.textureName = 4;
    source.shadeScale = 0.25f;
    source.textureA = 7;
    source.edges.append(MeshEdge{2, 0});
    source.frames.append(frameOf(1, 0));
    MeshObjectX copy;
    copy = source;
    EXPECT_EQ(1u, copy.hasColours);
    EXPECT_EQ(3u, copy.bufferNames[0]);
    EXPECT_EQ(4u, copy.textureName);
    EXPECT_EQ(0.25f, copy.shadeScale);
    EXPECT_EQ(7, copy.textureA);
    EXPECT_EQ(2, copy.edges[0].neighbour);
    EXPECT_NE(source.edges.data, copy.edges.data);
    EXPECT_EQ(1, copy.frames.count);
    copy.bufferNames[0] = 0;  // the source owns them in this test
    copy.textureName = 0;
}

TEST(MeshObjectX, GrowingAVectorOfPartsHandsTheGpuNamesOver) {
    GpuLog log;
    {
        RtVector<MeshObjectX> parts(1, 1);
        parts.reserve(0);
        parts.count = 1;
        parts[0].bufferNames[0] = 21;
        parts[0].textureName = 22;
        parts[0].frames.append(frameOf(2, 2));
        parts.reserve(4);  // the part moves to new storage
        EXPECT_TRUE(GpuLog::buffers.empty());
        EXPECT_TRUE(GpuLog::textures.empty());
        EXPECT_EQ(21u, parts[0].bufferNames[0]);
        EXPECT_EQ(2, parts[0].frames[0].nodes.count);
    }
    EXPECT_EQ((std::vector<uint32_t>{21}), GpuLog::buffers);
    EXPECT_EQ((std::vector<uint32_t>{22}), GpuLog::textures);
}

TEST(MeshObjectX, SlotsOfPartsCopyDeeplyAndReserveTheRendererCount) {
    RtVector<SlotLike> slots;
    ASSERT_TRUE(slots.reserve(4096));
    EXPECT_EQ(4224, slots.capacity);
    slots.count = 4096;
    for (int32_t s : {0, 4095, 4223}) {
        EXPECT_EQ(0, slots[s].used);
        EXPECT_EQ(nullptr, slots[s].parts.data);
        EXPECT_EQ(128, slots[s].parts.step);
    }
    slots[1].used = 1;
    MeshObjectX part;
    part.frames.append(frameOf(3, 3));
    slots[1].parts.append(part);
    slots[1].values.append(Record4{77});
    RtVector<SlotLike> copy;
    copy.copyFrom(slots);
    EXPECT_EQ(4096, copy.count);
    EXPECT_EQ(1, copy[1].used);
    EXPECT_EQ(3, copy[1].parts[0].frames[0].triangles.count);
    EXPECT_NE(slots[1].parts.data, copy[1].parts.data);
    EXPECT_EQ(77u, copy[1].values[0].value);
}
