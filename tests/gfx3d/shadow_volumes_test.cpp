// Shadow-volume data of mesh parts: neighbours across edges, welding of
// corners, lit faces and silhouette edges.
#include <gtest/gtest.h>

#include "mesh_fixtures.h"

namespace {

std::vector<int32_t> neighbours(const MeshObjectX& part) {
    std::vector<int32_t> out;
    for (int32_t k = 0; k < part.edges.count; ++k) out.push_back(part.edges.data[k].neighbour);
    return out;
}

std::vector<int> silhouettes(const MeshObjectX& part) {
    std::vector<int> out;
    for (int32_t k = 0; k < part.edges.count; ++k) out.push_back(part.edges.data[k].silhouette);
    return out;
}

}  // namespace

TEST(ShadowEdges, TrianglesSharingAnEdgeInOppositeDirectionsAreNeighbours) {
    MeshObjectX part;
    // (a b c) and (c b d): edge b-c shared.
    meshtest::fillTriangleList(part, {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}, {0, 1, 0}, {1, 0, 0}, {1, 1, 0}});
    part.buildEdgeNeighbours();
    EXPECT_EQ((std::vector<int32_t>{-1, 1, -1, 0, -1, -1}), neighbours(part));
    part.edges.data[0].neighbour = 9;
    part.buildEdgeNeighbours();  // built once only
    EXPECT_EQ(9, part.edges.data[0].neighbour);
}

TEST(ShadowEdges, AnEdgeOfThreeTrianglesEndsWithTheLastFound) {
    MeshObjectX part;
    meshtest::fillTriangleList(part, {{0, 0, 0}, {1, 0, 0}, {0, 1, 0},  // 0: edge 0 is (0,0,0)-(1,0,0)
                                      {1, 0, 0}, {0, 0, 0}, {0, -1, 0},  // 1: edge 0 the same, reversed
                                      {0, 0, 0}, {1, 0, 0}, {0, 0, 1}}); // 2: edge 0 the same again
    part.buildEdgeNeighbours();
    EXPECT_EQ(2, part.edges.data[0].neighbour);
    EXPECT_EQ(0, part.edges.data[3].neighbour);
    EXPECT_EQ(0, part.edges.data[6].neighbour);  // set by triangle 0; triangle 1 no longer looks
}

TEST(ShadowEdges, CornersWeldBelow1e5OnEveryAxis) {
    for (float gap : {0.5e-5f, 2e-5f}) {
        MeshObjectX part;
        meshtest::fillTriangleList(part,
                                   {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}, {0, 1 + gap, 0}, {1, 0, gap}, {1, 1, 0}});
        part.buildEdgeNeighbours();
        EXPECT_EQ(gap < 1e-5f ? 1 : -1, part.edges.data[1].neighbour) << gap;
    }
}

TEST(ShadowEdges, FewerThanThreeTriangleVerticesGiveNoEdges) {
    MeshObjectX part;
    meshtest::fillTriangleList(part, {{0, 0, 0}, {1, 0, 0}});
    part.buildEdgeNeighbours();
    EXPECT_EQ(0, part.edges.count);
    const float light[3] = {0, 0, 5};
    part.findSilhouette(part.frames.data[0].triangles, light);
    EXPECT_EQ(0, part.litFaces.count);
    MeshObjectX empty;
    empty.buildEdgeNeighbours();
    EXPECT_EQ(0, empty.edges.count);
}

TEST(ShadowSilhouette, AClosedCubeHasSilhouettesOnlyBetweenLitAndUnlitFaces) {
    MeshObjectX cube;
    meshtest::fillTriangleList(cube, meshtest::cubeCorners(1.0f));
    cube.buildEdgeNeighbours();
    for (int32_t k = 0; k < cube.edges.count; ++k) ASSERT_NE(-1, cube.edges.data[k].neighbour) << k;
    // The cube is wound counter-clockwise from outside; (a - b) x (c - b)
    // then points inward, so the faces turned away from the light count as lit.
    const float light[3] = {0, 0, 10};
    cube.findSilhouette(cube.frames.data[0].triangles, light);
    ASSERT_EQ(12, cube.litFaces.count);
    int lit = 0;
    for (int32_t i = 0; i < 12; ++i) lit += cube.litFaces.data[i];
    EXPECT_EQ(10, lit);  // all but the two triangles of the +z face
    EXPECT_EQ(0, cube.litFaces.data[0]);
    EXPECT_EQ(0, cube.litFaces.data[1]);
    int rim = 0;
    for (int32_t k = 0; k < cube.edges.count; ++k) {
        const int32_t tri = k / 3, across = cube.edges.data[k].neighbour;
        const bool expected = cube.litFaces.data[tri] == 1 && cube.litFaces.data[across] == 0;
        EXPECT_EQ(expected ? 1 : 0, cube.edges.data[k].silhouette) << k;
        rim += cube.edges.data[k].silhouette;
    }
    EXPECT_EQ(4, rim);  // the four edges around the +z face
}

TEST(ShadowSilhouette, AnOpenMeshAlsoHasItsLitBorderEdges) {
    MeshObjectX quad;
    meshtest::fillTriangleList(quad, {{0, 0, 0}, {0, 1, 0}, {1, 0, 0}, {1, 0, 0}, {0, 1, 0}, {1, 1, 0}});
    quad.buildEdgeNeighbours();
    const float above[3] = {0.5f, 0.5f, 3};  // (a - b) x (c - b) = (0, 0, 1): lit from above
    quad.findSilhouette(quad.frames.data[0].triangles, above);
    EXPECT_EQ(1, quad.litFaces.data[0]);
    EXPECT_EQ(1, quad.litFaces.data[1]);
    EXPECT_EQ((std::vector<int>{1, 0, 1, 0, 1, 1}), silhouettes(quad));
    const float below[3] = {0.5f, 0.5f, -3};
    quad.findSilhouette(quad.frames.data[0].triangles, below);
    EXPECT_EQ((std::vector<int>{0, 0, 0, 0, 0, 0}), silhouettes(quad));
}
