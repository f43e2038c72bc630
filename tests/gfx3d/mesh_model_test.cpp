// The mesh model: the colour rule, break nodes, frame bounds and scaling.
#include <gtest/gtest.h>

#include <cmath>

#include "gfx3d/mesh_model.h"
#include "mesh_fixtures.h"

namespace {

MeshVertex at(float x, float y, float z) {
    MeshVertex v{};
    v.x = x;
    v.y = y;
    v.z = z;
    return v;
}

}  // namespace

TEST(MeshColourRule, ChannelsFromTheLowThreeBytesAndWhiteForMarkers) {
    MeshVertex v{};
    setVertexColour(v, 0x00336699u);
    EXPECT_FLOAT_EQ(0x99 / 255.0f, v.red);
    EXPECT_FLOAT_EQ(0x66 / 255.0f, v.green);
    EXPECT_FLOAT_EQ(0x33 / 255.0f, v.blue);
    EXPECT_EQ(1.0f, v.alpha);
    setVertexColour(v, 0xFFFFFFFBu);  // below the markers: bytes as they are
    EXPECT_FLOAT_EQ(0xFB / 255.0f, v.red);
    EXPECT_EQ(1.0f, v.blue);
    for (uint32_t marker : {0xFFFFFFFCu, kRunFan, kRunStrip, kRunList}) {
        MeshVertex m{};
        setVertexColour(m, marker);
        EXPECT_EQ(marker, m.colour);
        EXPECT_EQ(1.0f, m.red);
        EXPECT_EQ(1.0f, m.green);
        EXPECT_EQ(1.0f, m.alpha);
    }
    const MeshVertex node = makeBreakNode(kRunStrip);
    EXPECT_EQ(kRunStrip, node.colour);
    EXPECT_EQ(0.0f, node.x);
    EXPECT_EQ(0.0f, node.nz);
    EXPECT_EQ(1.0f, node.blue);
}

TEST(MeshFrameBounds, CentreIsTheMeanAndRadiusTheFarthestTriangleVertex) {
    MeshObject mesh;
    mesh.frames.reserve(2);
    mesh.frames.count = 2;
    for (const MeshVertex& v : {at(0, 0, 0), at(4, 0, 0), at(0, 0, 0), at(0, 3, 0)}) {
        mesh.frames.data[0].triangles.append(v);
    }
    mesh.frames.data[1].radius = 9.0f;  // no triangles: radius 0, centre the origin
    mesh.frames.data[1].centre[0] = 5.0f;
    mesh.computeFrameBounds();
    EXPECT_FLOAT_EQ(1.0f, mesh.frames.data[0].centre[0]);
    EXPECT_FLOAT_EQ(0.75f, mesh.frames.data[0].centre[1]);
    EXPECT_FLOAT_EQ(std::sqrt(9.0f + 0.5625f), mesh.frames.data[0].radius);
    EXPECT_EQ(0.0f, mesh.frames.data[1].radius);
    EXPECT_EQ(0.0f, mesh.frames.data[1].centre[0]);
}

TEST(MeshScale, PositionsTakeTheFactorsAndDirectionsStayUnitLength) {
    MeshObjectX part;
    meshtest::fillTriangleList(part, {{1, 1, 1}, {2, 0, 0}, {0, 2, 0}});
    const float half = std::sqrt(0.5f);
    for (MeshVertex* v : {&part.frames.data[0].nodes.data[1], &part.frames.data[0].triangles.data[0]}) {
        v->nx = half;  // the plane x + y = constant
        v->ny = half;
        v->nz = 0.0f;
        v->tangent[0] = half;  // along it
        v->tangent[1] = -half;
        v->tangent[2] = 0.0f;
    }
    part.scale(2.0f, 1.0f, 1.0f);  // the plane becomes x / 2 + y = constant
    const float n = 1.0f / std::sqrt(1.25f);
    for (const MeshVertex* v : {&part.frames.data[0].nodes.data[1], &part.frames.data[0].triangles.data[0]}) {
        EXPECT_EQ(2.0f, v->x);
        EXPECT_FLOAT_EQ(0.5f * n, v->nx);
        EXPECT_FLOAT_EQ(n, v->ny);
        EXPECT_FLOAT_EQ(n, v->tangent[0]);
        EXPECT_FLOAT_EQ(-0.5f * n, v->tangent[1]);
    }
    EXPECT_FLOAT_EQ(2.0f, part.frames.data[0].centre[0]);

    part.scale(-3.0f, 3.0f, 3.0f);  // a mirror keeps normals pointing out of the mirrored surface
    const MeshVertex& t0 = part.frames.data[0].triangles.data[0];
    EXPECT_EQ(-6.0f, t0.x);
    EXPECT_FLOAT_EQ(-0.5f * n, t0.nx);
    EXPECT_FLOAT_EQ(n, t0.ny);

    part.scale(1e-20f, 1e-20f, 1e-20f);  // tiny factors still leave unit directions
    EXPECT_FLOAT_EQ(1.0f, std::sqrt(t0.nx * t0.nx + t0.ny * t0.ny + t0.nz * t0.nz));

    part.scale(0.0f, 1.0f, 1.0f);  // flattened onto x = 0: the normals follow the flat mesh
    EXPECT_EQ(0.0f, t0.x);
    EXPECT_FLOAT_EQ(-1.0f, t0.nx);
    EXPECT_EQ(0.0f, t0.ny);

    part.scale(0.0f, 0.0f, 0.0f);  // all collapsed: no direction is left
    EXPECT_EQ(0.0f, t0.nx);
    EXPECT_EQ(0.0f, t0.tangent[0]);
    EXPECT_EQ(0.0f, part.frames.data[0].radius);
}
