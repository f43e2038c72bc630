// Building objects vertex by vertex: the slot's state, the nodes, the
// palette, the expansion of runs into triangles and the normal pass.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>

#include "gfx3d/mesh_model.h"
#include "gfx3d/object_building.h"
#include "mesh_fixtures.h"
#include "child_process.h"

namespace {

using meshtest::RendererFixture;

class Building : public ::testing::Test {
protected:
    RendererFixture fixture;
    Rainbows3D& r = fixture.renderer();
    MeshObjectX& part(int32_t s) { return r.slot(s)->parts.data[0]; }
    void triangle(float z = 0.0f) {
        r.addVertex(0, 0, z, 0, 0, 0x0000FF);
        r.addVertex(1, 0, z, 1, 0, 0x0000FF);
        r.addVertex(0, 1, z, 0, 1, 0x0000FF);
    }
};

std::vector<float> xs(const RtVector<MeshVertex>& list) {
    std::vector<float> out;
    for (int32_t i = 0; i < list.count; ++i) out.push_back(list.data[i].x);
    return out;
}

}  // namespace

TEST_F(Building, ThreeVerticesMakeOneStripOfFourNodesAndOneTriangle) {
    r.beginObject(7, 1);
    EXPECT_EQ(7, buildSlot);
    triangle();
    r.endObject();
    EXPECT_EQ(-1, buildSlot);
    const Object3DSlot& s = *r.slot(7);
    EXPECT_EQ(1, s.used);
    EXPECT_EQ(0, s.multiPart);
    ASSERT_EQ(1, s.parts.count);
    const MeshFrame& f = part(7).frames.data[0];
    ASSERT_EQ(4, f.nodes.count);
    EXPECT_EQ(kRunStrip, f.nodes.data[0].colour);
    EXPECT_EQ(3, f.triangles.count);
    EXPECT_EQ(3, part(7).baseTriangles.count);
    ASSERT_EQ(2, part(7).palette.count);
    EXPECT_EQ(kRunStrip, part(7).palette.data[0]);
    EXPECT_EQ(0x0000FFu, part(7).palette.data[1]);
    EXPECT_EQ(1u, part(7).hasColours);
    EXPECT_FLOAT_EQ(1.0f / 3.0f, f.centre[0]);
    EXPECT_EQ(-1.0f, f.nodes.data[3].v);  // v is stored with the sign flipped
    EXPECT_EQ(1.0f, f.nodes.data[1].red);
}

TEST_F(Building, VerticesPrintNothingSoAProgramsOwnOutputStaysItsOwn) {
    auto result = testsupport::runInChild([] {
        RendererFixture inner;
        inner.renderer().beginObject(1, 1);
        inner.renderer().addVertex(0, 0, 0, 0, 0, 0);
        inner.renderer().newFrame(2);
        inner.renderer().addVertex(0, 0, 0, 0, 0, 0);
        std::fflush(stdout);
    });
    EXPECT_EQ("", result.out);
}

TEST_F(Building, OperationsWhileIdleDoNothing) {
    r.addVertex(1, 2, 3, 0, 0, 0);
    r.addVertexBreak(0);
    r.setVertexNormal(1, 0, 0);
    r.newFrame(1);
    r.endObject();
    EXPECT_EQ(0.0f, r.buildVertex.nx);
    for (int32_t s = 0; s < kObjectSlotCount; ++s) ASSERT_EQ(0, r.slot(s)->parts.count);
    r.beginObject(kObjectSlotCount, 1);  // no such slot
    EXPECT_EQ(-1, buildSlot);
}

TEST_F(Building, NewFrameMakesTheMissingFramesAndEndObjectDemandsEqualCounts) {
    r.beginObject(3, 1);
    triangle();
    r.newFrame(3);
    const MeshObjectX& p = part(3);
    ASSERT_EQ(4, p.frames.count);
    EXPECT_EQ(0, p.frames.data[1].nodes.count);
    EXPECT_EQ(0, p.frames.data[2].nodes.count);
    ASSERT_EQ(1, p.frames.data[3].nodes.count);  // the opening break node
    EXPECT_EQ(kRunStrip, p.frames.data[3].nodes.data[0].colour);
    triangle(1.0f);
    r.endObject();
    EXPECT_EQ(0, r.slot(3)->used);
    EXPECT_EQ(4, p.frames.count);  // the part keeps its data
    EXPECT_EQ(-1, buildSlot);

    r.beginObject(3, 1);
    triangle();
    r.newFrame(1);
    triangle(2.0f);
    r.newFrame(-1);
    r.newFrame(kMaxBuildFrame + 1);
    EXPECT_EQ(1, r.buildFrame);
    r.endObject();
    EXPECT_EQ(1, r.slot(3)->used);
    ASSERT_EQ(2, part(3).frames.count);
    EXPECT_EQ(2.0f, part(3).frames.data[1].triangles.data[0].z);
}

TEST_F(Building, TooFewNodesLeaveTheSlotUnusedAndFreed) {
    r.beginObject(5, 1);
    r.addVertex(0, 0, 0, 0, 0, 0);
    r.endObject();
    EXPECT_EQ(0, r.slot(5)->used);
    EXPECT_EQ(0, part(5).frames.count);
    EXPECT_EQ(nullptr, part(5).frames.data);
}

TEST_F(Building, BeginObjectReusesStorageAndDropsOtherParts) {
    r.beginObject(9, 1);
    triangle();
    r.endObject();
    const MeshVertex* nodes = part(9).frames.data[0].nodes.data;
    r.slot(9)->parts.reserve(3);
    r.slot(9)->parts.count = 3;
    r.slot(9)->used = 1;
    r.beginObject(9, 0);
    EXPECT_EQ(1, r.slot(9)->parts.count);
    EXPECT_EQ(0, r.slot(9)->used);
    EXPECT_EQ(1, r.slot(9)->parts.step);
    EXPECT_EQ(nodes, part(9).frames.data[0].nodes.data);
    EXPECT_EQ(kRunList, part(9).frames.data[0].nodes.data[0].colour);
    EXPECT_EQ(0.0f, r.buildVertex.nx);
    EXPECT_EQ(1.0f, r.buildVertex.nz);
    EXPECT_EQ(kRunFan, runKindOf(2));
    EXPECT_EQ(kRunStrip, runKindOf(7));
    EXPECT_EQ(kRunStrip, runKindOf(-1));
}

TEST_F(Building, StripsAndFansExpandInTheirOrder) {
    MeshObjectX mesh;
    mesh.frames.reserve(1);
    mesh.frames.count = 1;
    RtVector<MeshVertex>& nodes = mesh.frames.data[0].nodes;
    auto corner = [&](float x) {
        MeshVertex v{};
        v.x = x;
        setVertexColour(v, 0x00FFFFFF);
        nodes.append(v);
    };
    nodes.append(makeBreakNode(kRunStrip));
    for (float x : {1, 2, 3, 4, 5, 6}) corner(x);  // a b c d e f
    nodes.append(makeBreakNode(kRunFan));
    for (float x : {11, 12, 13, 14}) corner(x);
    nodes.append(makeBreakNode(kRunList));
    for (float x : {21, 22, 23, 24, 25}) corner(x);  // the last two form nothing
    mesh.buildPalette();
    mesh.buildFaces();
    EXPECT_EQ((std::vector<float>{1, 2, 3, 3, 2, 4, 3, 4, 5, 5, 4, 6, 11, 12, 13, 11, 13, 14, 21, 22, 23}),
              xs(mesh.frames.data[0].triangles));
    EXPECT_EQ(0u, mesh.hasColours);  // white and run kinds only
    EXPECT_EQ(21, mesh.baseTriangles.count);
    EXPECT_EQ(512, mesh.baseTriangles.capacity);
}

TEST_F(Building, ColourFFFFFFFCIsAPlainCornerForTheExpansion) {
    r.lightingMode = 0;
    r.beginObject(2, 0);
    r.addVertex(0, 0, 0, 0, 0, 0xFFFFFFFCu);
    r.addVertex(1, 0, 0, 0, 0, 0xFFFFFFFCu);
    r.addVertex(0, 1, 0, 0, 0, 0xFFFFFFFCu);
    r.endObject();
    EXPECT_EQ(3, part(2).frames.data[0].triangles.count);
    EXPECT_EQ(1.0f, part(2).frames.data[0].nodes.data[1].green);
}

TEST_F(Building, PaletteIndicesWrapAfter256Colours) {
    MeshObject mesh;
    mesh.frames.reserve(1);
    mesh.frames.count = 1;
    for (uint32_t c = 0; c < 258; ++c) {
        MeshVertex v{};
        v.colour = c;
        mesh.frames.data[0].nodes.append(v);
    }
    MeshVertex again{};
    again.colour = 5;
    mesh.frames.data[0].nodes.append(again);
    mesh.buildPalette();
    EXPECT_EQ(258, mesh.palette.count);
    EXPECT_EQ(255, mesh.frames.data[0].nodes.data[255].paletteIndex);
    EXPECT_EQ(0, mesh.frames.data[0].nodes.data[256].paletteIndex);
    EXPECT_EQ(1, mesh.frames.data[0].nodes.data[257].paletteIndex);
    EXPECT_EQ(5, mesh.frames.data[0].nodes.data[258].paletteIndex);
}

TEST_F(Building, AStripOfMoreThan256ColoursKeepsEveryTriangle) {
    // The 256th vertex colour wraps to palette index 0, the run kind of the
    // opening break node; the expansion must still take it as a corner.
    r.lightingMode = 0;
    r.beginObject(5, 1);
    for (int32_t k = 0; k < 300; ++k) r.addVertex(static_cast<float>(k), static_cast<float>(k % 2), 0, 0, 0, k);
    r.endObject();
    ASSERT_EQ(1, r.slot(5)->used);
    EXPECT_EQ(301, part(5).palette.count);
    EXPECT_EQ(0, part(5).frames.data[0].nodes.data[256].paletteIndex);
    EXPECT_EQ(3 * 298, part(5).frames.data[0].triangles.count);
    EXPECT_EQ(255.0f, part(5).frames.data[0].triangles.data[3 * 253 + 2].x);  // (c d e) = 253 254 255
}

TEST_F(Building, LightingModeZeroKeepsTheGivenNormals) {
    r.lightingMode = 0;
    r.beginObject(4, 1);
    r.setVertexNormal(0.0f, 1.0f, 0.0f);
    triangle();
    r.endObject();
    EXPECT_EQ(1.0f, part(4).frames.data[0].triangles.data[0].ny);
    EXPECT_EQ(0, part(4).normalsValid);
}

TEST_F(Building, NormalPassSumsFaceNormalsPerSharedVertex) {
    // Two triangles of a strip sharing an edge: the shared corners sum both
    // faces' normals.
    r.lightingMode = 2;
    r.beginObject(6, 1);
    r.addVertex(0, 0, 0, 0, 0, 0);
    r.addVertex(1, 0, 0, 0, 0, 0);
    r.addVertex(0, 1, 0, 0, 0, 0);
    r.addVertex(1, 0, 1, 0, 0, 0);
    r.endObject();
    const RtVector<MeshVertex>& nodes = part(6).frames.data[0].nodes;
    EXPECT_EQ(1, part(6).normalsValid);
    // Face 1: ((0,1,0) - (1,0,0)) x ((1,0,0) - (0,0,0)) = (0, 0, -1).
    // Face 2 (odd parity, negated): -(((1,0,1) - (0,1,0)) x ((0,1,0) - (1,0,0))) = (1, 1, 0).
    EXPECT_FLOAT_EQ(0.0f, nodes.data[1].nx);
    EXPECT_FLOAT_EQ(-1.0f, nodes.data[1].nz);  // face 1 only
    const float k = 1.0f / std::sqrt(3.0f);
    for (int32_t shared : {2, 3}) {  // both faces: unit (1, 1, -1)
        EXPECT_NEAR(k, nodes.data[shared].nx, 1e-6);
        EXPECT_NEAR(k, nodes.data[shared].ny, 1e-6);
        EXPECT_NEAR(-k, nodes.data[shared].nz, 1e-6);
    }
    EXPECT_NEAR(std::sqrt(0.5f), nodes.data[4].nx, 1e-6);  // face 2 only
    EXPECT_NEAR(std::sqrt(0.5f), nodes.data[4].ny, 1e-6);
    EXPECT_EQ(0.0f, nodes.data[4].nz);
    // A second pass changes nothing once the normals are valid.
    part(6).frames.data[0].nodes.data[1].nx = 7.0f;
    part(6).computeNormals(true, true, false);
    EXPECT_EQ(7.0f, part(6).frames.data[0].nodes.data[1].nx);
}

TEST_F(Building, TangentsFollowTheTextureCoordinates) {
    MeshObjectX mesh;
    mesh.frames.reserve(2);
    mesh.frames.count = 2;
    for (int32_t f = 0; f < 2; ++f) {
        RtVector<MeshVertex>& nodes = mesh.frames.data[f].nodes;
        nodes.append(makeBreakNode(kRunList));
        const float corners[3][4] = {{0, 0, 0, 0}, {2, 0, 1, 0}, {0, 3, 0, 1}};  // x, y, u, v
        for (const auto& c : corners) {
            MeshVertex v{};
            v.x = c[0] * (f + 1);
            v.y = c[1];
            v.u = c[2];
            v.v = c[3];
            nodes.append(v);
        }
    }
    mesh.buildPalette();
    mesh.normalsValid = 1;
    mesh.computeNormals(true, false, true);
    EXPECT_EQ(1, mesh.tangentsValid);
    for (int32_t f = 0; f < 2; ++f) {
        const MeshVertex& v = mesh.frames.data[f].nodes.data[2];
        EXPECT_FLOAT_EQ(1.0f, v.tangent[0]);
        EXPECT_FLOAT_EQ(0.0f, v.tangent[1]);
        EXPECT_FLOAT_EQ(1.0f, v.bitangent[1]);
        EXPECT_EQ(0.0f, v.nz);  // normals were valid: not recomputed
    }
    EXPECT_EQ(3, mesh.frames.data[1].triangles.count);
}
