// The transform, query, projection and collision commands over the
// engine's renderer.
#include <gtest/gtest.h>

#include <memory>

#include "child_process.h"
#include "gfx2d/opengl_rainbows.h"
#include "gfx3d/transform_commands.h"
#include "mesh_fixtures.h"
#include "runtime/engine/engine_state.h"

namespace {

class Commands : public ::testing::Test {
protected:
    meshtest::RendererFixture fixture;
    Rainbows3D& r = fixture.renderer();
    const Object3DTransform& current() { return r.currentTransform(); }
};

std::vector<double> elements(const RtArray<double>& a) { return std::vector<double>(a.data, a.data + a.total); }

}  // namespace

TEST_F(Commands, SixteenRecordsAtMost) {
    for (int i = 0; i < 16; ++i) PushTransform();
    EXPECT_EQ(15, r.transformIndex);
    PushTransform();
    EXPECT_EQ(15, r.transformIndex);
    PopTransform();
    EXPECT_EQ(14, r.transformIndex);
    for (int i = 0; i < 20; ++i) PopTransform();
    EXPECT_EQ(0, r.transformIndex);
    r.transforms[0].position[0] = 3;
    r.transforms[0].matrix[12] = 3;
    PopTransform();  // at record 0: reset to the identity
    EXPECT_EQ(0.0f, r.transforms[0].position[0]);
    EXPECT_EQ(0.0f, r.transforms[0].matrix[12]);
    EXPECT_EQ(1u, r.transforms[0].matrixValid);
}

TEST_F(Commands, ScaleAfterPositionKeepsThePositionAndDropsRotations) {
    SetObjectPosition(1, 0, 0);
    AddObjectRotation(90, 0, 1, 0);
    SetObjectScale(2, 2, 2);
    EXPECT_EQ(0, current().rotationCount);
    EXPECT_EQ(1.0f, current().position[0]);
    RtArray<double> m;
    GetObjectMatrix(m);
    EXPECT_EQ((std::vector<double>{2, 0, 0, 0, 0, 2, 0, 0, 0, 0, 2, 0, 1, 0, 0, 1}), elements(m));
    // A child starts from the parent's finished matrix.
    PushTransform();
    SetObjectPosition(0, 5, 0);
    GetObjectMatrix(m);
    EXPECT_EQ(5.0 * 2, m.at(13));
    EXPECT_EQ(1.0, m.at(12));
}

TEST_F(Commands, RotationsAndMatricesStopAtSixteen) {
    for (int i = 0; i < 17; ++i) AddObjectRotation(i, 0, 0, 1);
    EXPECT_EQ(16, current().rotationCount);
    EXPECT_EQ(15.0f, current().rotations[15].angle);
    EXPECT_EQ(0u, current().matrixValid);
    RtArray<double> matrix;
    matrix.dim(16);
    for (int i = 0; i < 16; ++i) matrix.at(i) = i;
    for (int i = 0; i < 17; ++i) AddObjectMatrix(matrix);
    EXPECT_EQ(16, current().matrixCount);
    EXPECT_EQ(7.0f, current().matrices[15][7]);
}

TEST_F(Commands, ATransformAddedAfterTheMatrixWasFinishedCountsOnce) {
    RtArray<double> m;
    SetObjectPosition(1, 0, 0);
    for (int i = 0; i < 3; ++i) {
        GetObjectMatrix(m);
        EXPECT_EQ(1.0, m.at(12)) << i << " rotations of 0 degrees";
        AddObjectRotation(0, 0, 0, 1);
    }
    RtArray<double> shift;
    shift.dim(16);
    for (int i : {0, 5, 10, 15}) shift.at(i) = 1;
    shift.at(13) = 4;
    // Added with a finishing after each step, or all before the first: the same matrix.
    auto build = [&](bool finishEachStep) {
        auto step = [&] {
            if (finishEachStep) GetObjectMatrix(m);
        };
        SetObjectPosition(1, 2, 3);
        step();
        AddObjectRotation(30, 0, 1, 0);
        step();
        AddObjectMatrix(shift);
        step();
        AddObjectRotation(45, 1, 0, 0);
        step();
        GetObjectMatrix(m);
        return elements(m);
    };
    const std::vector<double> once = build(false);
    EXPECT_EQ(once, build(true));
    PushTransform();  // a child starts from this matrix, and keeps to it as well
    const std::vector<double> childOnce = build(false);
    EXPECT_EQ(childOnce, build(true));
    EXPECT_NE(once, childOnce);
}

TEST_F(Commands, ScaledObjectsCollideAtTheirDrawnSize) {
    fixture.putTriangles(1, meshtest::cubeCorners(1));  // faces at -1 and 1
    SetObjectScale(2, 2, 2);                           // drawn with faces at -2 and 2
    EXPECT_EQ(1, CollideSphere(1, 0, 0.4, 0, 0, 2.3));   // touches the drawn face
    EXPECT_EQ(0, CollideSphere(1, 0, 0.4, 0, 0, 0.55));  // deep inside, far from every face
    EXPECT_DOUBLE_EQ(8.0, RayDistance(1, 0, 0, 0, 10, 0, 0, -1));
    EXPECT_DOUBLE_EQ(8.0, RayDistance(1, 0, 0, 0, 10, 0, 0, -7));  // world units, whatever the direction's length
    EXPECT_EQ(1, CollideBoxObject(1, 0, 2.4, 0, 0, 1, 1, 1));
    EXPECT_EQ(0, CollideBoxObject(1, 0, 0, 0, 0, 1, 1, 1));
    EXPECT_EQ(1, ConeHitsObject(1, 0, 1.5, 0, 10, 0, 0, -1, 5));  // above a part of the top only the scaled cube has
    EXPECT_EQ(0, ConeHitsObject(1, 0, 3.5, 0, 10, 0, 0, -1, 5));
    EXPECT_EQ(1, CollideSphereBox(2.5, 0, 0, 0.25, 2, 2, 2));  // the box scales with the transform too
    EXPECT_EQ(0, CollideSphereBox(2.5, 0, 0, 0.24, 2, 2, 2));
    SetObjectScale(1, 3, 1);  // stretched along y only
    EXPECT_DOUBLE_EQ(7.0, RayDistance(1, 0, 0, 10, 0, 0, -2, 0));
    EXPECT_DOUBLE_EQ(0.5, RayDistance(1, 0, 0.5, 0, 0, 1, 0, 0));
    EXPECT_EQ(1, CollideSphere(1, 0, 0.4, 0, 3.3, 0));
    EXPECT_EQ(0, CollideSphere(1, 0, 0.4, 0, 2.5, 1.5));
    EXPECT_EQ(1, ConeHitsObject(1, 0, 0.5, 10, 0.5, 0, -1, 0, 3));
    SetObjectScale(1, 1, 1);
    RtArray<double> shear;  // x gains y
    shear.dim(16);
    for (int i : {0, 4, 5, 10, 15}) shear.at(i) = 1;
    AddObjectMatrix(shear);
    // Where y is 0.5 the sheared cube runs from x = -0.5 to 1.5; where it is -0.5, from -1.5 to 0.5.
    EXPECT_NEAR(9.5, RayDistance(1, 0, -10, 0.5, 0.5, 1, 0, 0), 1e-5);
    EXPECT_NEAR(8.5, RayDistance(1, 0, -10, -0.5, 0.5, 1, 0, 0), 1e-5);
    EXPECT_EQ(0.0, RayDistance(1, 0, -10, 1.5, 0.5, 1, 0, 0));
}

TEST_F(Commands, OnlyAOneDimensionalArrayOf16IsAMatrix) {
    r.updateObjectMatrix();
    RtArray<double> wrong;
    for (auto dims : {std::pair{15, 0}, std::pair{17, 0}, std::pair{4, 4}}) {
        wrong.dim(dims.first, dims.second);
        AddObjectMatrix(wrong);
    }
    EXPECT_EQ(0, current().matrixCount);
    EXPECT_EQ(1u, current().matrixValid);
    RtArray<double> translate;
    translate.dim(16);
    for (int i : {0, 5, 10, 15}) translate.at(i) = 1;
    translate.at(14) = -4;
    AddObjectMatrix(translate);
    SetObjectPosition(0, 0, 0);  // starts again: the matrix is dropped
    EXPECT_EQ(0, current().matrixCount);
}

TEST_F(Commands, MatrixReadersReshapeTheArray) {
    r.viewMatrix[13] = 9.5f;
    RtArray<double> out;
    out.dim(2, 8);
    GetViewMatrix(out);
    EXPECT_EQ(16, out.d1);
    EXPECT_EQ(0, out.d2);
    EXPECT_EQ(9.5, out.at(13));
    EXPECT_EQ(1.0, out.at(15));
}

TEST_F(Commands, TrianglesAreCountedAcrossParts) {
    Object3DSlot& s = *r.slot(12);
    s.parts.reserve(3);
    s.parts.count = 3;
    std::vector<Vec3> four = meshtest::floorCorners(0, 1), two;
    for (const Vec3& v : meshtest::floorCorners(5, 1)) four.push_back(v);
    for (int i = 0; i < 6; ++i) two.push_back({static_cast<float>(i), 7, 0});
    meshtest::fillTriangleList(s.parts.data[0], four);
    meshtest::fillTriangleList(s.parts.data[2], two);  // part 1 has no frames
    s.parts.data[2].frames.data[0].triangles.data[4].u = 0.5f;
    s.parts.data[2].frames.data[0].triangles.data[4].colour = 0x00ABCDEF;
    EXPECT_EQ(6, CountObjectTriangles(12));
    EXPECT_EQ(0, CountObjectTriangles(13));
    EXPECT_EQ(0, CountObjectTriangles(-1));
    RtArray<double> t;
    GetObjectTriangle(12, 0, 5, t);
    ASSERT_EQ(3, t.d1);
    ASSERT_EQ(9, t.d2);
    EXPECT_EQ(3.0, t.at(0, 0));  // vertex 0 of the second triangle of the last part
    EXPECT_EQ(4.0, t.at(1, 0));
    EXPECT_EQ(7.0, t.at(1, 1));
    EXPECT_EQ(0.5, t.at(1, 3));
    EXPECT_EQ(static_cast<double>(0x00ABCDEFu), t.at(1, 5));
    EXPECT_EQ(1.0, t.at(2, 8));  // the normal's z
    for (int triangle : {6, -1}) {
        GetObjectTriangle(12, 0, triangle, t);
        for (double v : elements(t)) ASSERT_EQ(0.0, v);
    }
    GetObjectTriangle(12, 3, 0, t);  // no part has frame 3
    EXPECT_EQ(0.0, t.at(0, 0));
    ScaleObjectMesh(12, 2, 1, 1);
    GetObjectTriangle(12, 0, 5, t);
    EXPECT_EQ(8.0, t.at(1, 0));
}

TEST_F(Commands, ShadeTableBytesWrapAsSixteenBitValues) {
    RtArray<double> values;
    const double list[5] = {0.0, 0.25, 1.0, 0.5, 1.2};
    values.dimFromList(5, list);
    SetShadeTable(values);
    ASSERT_EQ(5, shadeTable.count);
    EXPECT_EQ((std::vector<int>{0, 63, 255, 127, 50}),
              (std::vector<int>{shadeTable.data[0], shadeTable.data[1], shadeTable.data[2], shadeTable.data[3],
                                shadeTable.data[4]}));
}

TEST_F(Commands, AnEmptyShadeTableEndsTheProgramWithABoundsFailure) {
    const auto child = testsupport::runInChild([] {
        meshtest::RendererFixture inner;
        RtArray<double> empty;
        SetShadeTable(empty);
    });
    EXPECT_TRUE(child.exited);
    EXPECT_NE(std::string::npos, child.err.find("bounds"));
}

TEST_F(Commands, BoxSizesAreFullWidthHeightAndDepth) {
    fixture.putTriangles(1, meshtest::floorCorners(-2.0f, 5));
    fixture.putTriangles(2, meshtest::floorCorners(-2.01f, 5));
    EXPECT_EQ(1, CollideBoxObject(1, 0, 0, 0, 0, 2, 4, 6));
    EXPECT_EQ(0, CollideBoxObject(2, 0, 0, 0, 0, 2, 4, 6));
    // A wall at z = -3 and one at x = -1: depth 6 and width 2 reach them.
    fixture.putTriangles(3, {{-5, -5, -3}, {5, -5, -3}, {5, 5, -3}});
    fixture.putTriangles(4, {{-1, -5, -5}, {-1, 5, -5}, {-1, 5, 5}});
    EXPECT_EQ(1, CollideBoxObject(3, 0, 0, 0, 0, 2, 4, 6));
    EXPECT_EQ(0, CollideBoxObject(3, 0, 0, 0, 0.01, 2, 4, 6));
    EXPECT_EQ(1, CollideBoxObject(4, 0, 0, 0, 0, 2, 4, 6));
    EXPECT_EQ(0, CollideBoxObject(4, 0, 0.01, 0, 0, 2, 4, 6));
}

TEST_F(Commands, SphereRayAndPointCollisions) {
    fixture.putTriangles(1, meshtest::floorCorners(0, 1));
    EXPECT_EQ(1, CollideSphere(1, 0, 0.4, -0.5, 0.3, -0.6));
    EXPECT_EQ(1, r.getHitTriangle());
    EXPECT_EQ(0, CollideSphere(1, 0, 0.4, -0.5, 0.5, -0.6));
    EXPECT_DOUBLE_EQ(3.0, RayDistance(1, 0, 0.5, 3, 0.5, 0, -1, 0));
    EXPECT_DOUBLE_EQ(-3.0, RayDistance(1, 0, 0.5, 3, 0.5, 0, 1, 0));
    EXPECT_EQ(0.0, RayDistance(1, 0, 5, 3, 5, 0, -1, 0));
    EXPECT_EQ(1, CollideSphereBox(2, 0, 0, 1, 2, 2, 2));
    EXPECT_EQ(0, CollideSphereBox(2, 0, 0, 0.99, 2, 2, 2));
    EXPECT_EQ(1, ConeHitsObject(1, 0, 0, 5, 0, 0, -1, 0, 10));
    EXPECT_EQ(0, ConeHitsObject(1, 0, 0, 5, 0, 0, 1, 0, 10));
}

TEST_F(Commands, ProjectionUsesTheViewportAndUnprojectionIsItsInverse) {
    auto graphics = std::make_unique<OpenGLRainbows>();  // no window: fields only
    r.gfx2d = graphics.get();
    graphics->viewportWidth = 640;
    graphics->viewportHeight = 480;
    graphics->windowHeight = 480;
    double sx = -1, sy = -1, sz = -1;
    ProjectPoint(0, 0, 0, sx, sy, sz);
    EXPECT_EQ(320.0, sx);
    EXPECT_EQ(240.0, sy);
    EXPECT_EQ(0.5, sz);
    double x = 9, y = 9, z = 9;
    UnprojectPoint(320, 240, 0.5, x, y, z);  // rows from the top, as ProjectPoint gives them
    EXPECT_EQ(0.0, x);
    EXPECT_EQ(0.0, y);
    EXPECT_EQ(0.0, z);
    UnprojectPoint(320, 0, 0.5, x, y, z);  // the top row is the top of the view
    EXPECT_EQ(1.0, y);
    // A viewport from row 100: its centre row is 200 of the picture.
    graphics->viewportY = 100;
    graphics->viewportHeight = 200;
    ProjectPoint(0, 0, 0, sx, sy, sz);
    EXPECT_EQ(200.0, sy);
    ProjectPoint(0.5, -0.5, 0, sx, sy, sz);
    EXPECT_EQ(250.0, sy);
    UnprojectPoint(sx, sy, sz, x, y, z);
    EXPECT_EQ(0.5, x);
    EXPECT_EQ(-0.5, y);
    r.projectionMatrix[15] = 0;  // w = 0: the outputs stay
    ProjectPoint(0, 0, 0, sx, sy, sz);
    EXPECT_EQ(480.0, sx);
    r.gfx2d = nullptr;
}

TEST(CommandsWithoutRenderer, DoNothingAndGiveZero) {
    RtArray<double> a;
    PushTransform();
    SetObjectPosition(1, 2, 3);
    GetObjectMatrix(a);
    EXPECT_EQ(0, a.d1);
    EXPECT_EQ(0, CountObjectTriangles(0));
    EXPECT_EQ(0, CollideSphere(0, 0, 1, 0, 0, 0));
    EXPECT_EQ(0.0, RayDistance(0, 0, 0, 0, 0, 1, 0, 0));
    double sx = 4;
    double sy = 5, sz = 6;
    ProjectPoint(0, 0, 0, sx, sy, sz);
    EXPECT_EQ(4.0, sx);
    GetObjectTriangle(0, 0, 0, a);
    EXPECT_EQ(27, a.total);
}
