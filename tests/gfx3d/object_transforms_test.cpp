// The object transform stack: the order in which a record's parts are
// applied, the rotation axis rules, push and pop at the ends of the stack,
// and the matrix inverse the drawing uses.
#include <gtest/gtest.h>

#include <cmath>

#include "gfx3d/object_transforms.h"
#include "gfx3d/rainbows3d.h"
#include "gfx2d/gl_matrix.h"
#include "gfx3d/render_state.h"

namespace {

void expectMatrixNear(const float (&a)[16], const float (&b)[16], float tolerance = 1e-5f) {
    for (int i = 0; i < 16; ++i) EXPECT_NEAR(a[i], b[i], tolerance) << "element " << i;
}

void apply(const float (&m)[16], float x, float y, float z, float (&out)[3]) {
    const float p[3] = {x, y, z};
    render3d::transformPoint(m, p, out);
}

class Transforms : public ::testing::Test {
protected:
    Rainbows3D r{nullptr};
    Object3DTransform& t() { return r.currentTransform(); }
};

TEST_F(Transforms, UnchangedRecordKeepsItsStartingMatrix) {
    r.resetTransforms();
    const float start[16] = {2, 0, 0, 0, 0, 3, 0, 0, 0, 0, 4, 0, 5, 6, 7, 1};
    for (int i = 0; i < 16; ++i) t().matrix[i] = start[i];
    t().matrixValid = 0;
    r.updateObjectMatrix();
    expectMatrixNear(t().matrix, start, 0.0f);
    EXPECT_EQ(t().matrixValid, 1u);
}

TEST_F(Transforms, ScaleThenRotationsInOrderThenPosition) {
    r.resetTransforms();
    t().scale[0] = 2.0f;
    t().rotations[0] = {90.0f, 0, 0, 1};  // first added: turns first
    t().rotations[1] = {90.0f, 1, 0, 0};
    t().rotationCount = 2;
    t().position[0] = 10.0f;
    t().matrixValid = 0;
    r.updateObjectMatrix();
    float p[3];
    // (1,0,0) -> scaled (2,0,0) -> about z (0,2,0) -> about x (0,0,2) -> moved (10,0,2)
    apply(t().matrix, 1, 0, 0, p);
    EXPECT_NEAR(p[0], 10.0f, 1e-5f);
    EXPECT_NEAR(p[1], 0.0f, 1e-5f);
    EXPECT_NEAR(p[2], 2.0f, 1e-5f);
}

TEST_F(Transforms, ExtraMatricesComeAfterThePosition) {
    r.resetTransforms();
    const float doubleAll[16] = {2, 0, 0, 0, 0, 2, 0, 0, 0, 0, 2, 0, 0, 0, 0, 1};
    for (int i = 0; i < 16; ++i) t().matrices[0][i] = doubleAll[i];
    t().matrixCount = 1;
    t().position[1] = 1.0f;
    t().matrixValid = 0;
    r.updateObjectMatrix();
    float p[3];
    apply(t().matrix, 0, 0, 0, p);  // moved to (0,1,0), then doubled
    EXPECT_NEAR(p[1], 2.0f, 1e-6f);
}

TEST_F(Transforms, RotationAxisRules) {
    float unit[16], five[16], negative[16], general[16];
    ASSERT_TRUE(rotationMatrix(30.0f, 0, 0, 1, unit));
    ASSERT_TRUE(rotationMatrix(30.0f, 0, 0, 5, five));
    ASSERT_TRUE(rotationMatrix(30.0f, 0, 0, -1, negative));
    expectMatrixNear(unit, five, 0.0f);
    EXPECT_FLOAT_EQ(unit[1], -negative[1]);  // the other way round
    EXPECT_EQ(unit[10], 1.0f);               // exact entries for a single axis
    EXPECT_EQ(unit[2], 0.0f);
    float untouched[16] = {7};
    EXPECT_FALSE(rotationMatrix(30.0f, 0, 0, 0, untouched));
    EXPECT_FALSE(rotationMatrix(30.0f, 0.00005f, 0, 0, untouched));
    EXPECT_EQ(untouched[0], 7.0f);
    // A general axis agrees with the single-axis form.
    ASSERT_TRUE(rotationMatrix(30.0f, 0.000001f, 0, 1, general));
    expectMatrixNear(general, unit);
}

TEST_F(Transforms, ZeroAxisRotationIsSkipped) {
    r.resetTransforms();
    t().rotations[0] = {45.0f, 0, 0, 0};
    t().rotationCount = 1;
    t().matrixValid = 0;
    r.updateObjectMatrix();
    const float identity[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
    expectMatrixNear(t().matrix, identity, 0.0f);
}

TEST_F(Transforms, ValidRecordIsNotFinishedAgain) {
    r.resetTransforms();
    t().position[0] = 4.0f;  // changed directly, matrixValid left at 1
    r.updateObjectMatrix();
    EXPECT_EQ(t().matrix[12], 0.0f);
}

TEST_F(Transforms, PushCopiesTheParentsFinishedMatrixAndStopsAt15) {
    r.resetTransforms();
    t().position[2] = 3.0f;
    t().matrixValid = 0;
    r.pushTransform();
    EXPECT_EQ(r.transformIndex, 1);
    EXPECT_EQ(r.transforms[0].matrixValid, 1u);
    EXPECT_EQ(t().matrix[14], 3.0f);
    EXPECT_EQ(t().rotationCount, 0);
    EXPECT_EQ(t().scale[1], 1.0f);
    for (int i = 0; i < 20; ++i) r.pushTransform();
    EXPECT_EQ(r.transformIndex, 15);
    r.popTransform();
    EXPECT_EQ(r.transformIndex, 14);
}

TEST_F(Transforms, PopAtTheBottomResetsRecordZero) {
    r.resetTransforms();
    t().scale[0] = 9.0f;
    t().matrix[12] = 5.0f;
    t().matrixValid = 0;
    r.popTransform();
    EXPECT_EQ(r.transformIndex, 0);
    EXPECT_EQ(t().scale[0], 1.0f);
    EXPECT_EQ(t().matrix[12], 0.0f);
    EXPECT_EQ(t().matrixValid, 1u);
}

TEST_F(Transforms, ChildMovesWithItsParent) {
    r.resetTransforms();
    t().position[0] = 1.0f;
    t().matrixValid = 0;
    r.pushTransform();
    t().rotations[0] = {90.0f, 0, 1, 0};
    t().rotationCount = 1;
    t().matrixValid = 0;
    r.updateObjectMatrix();
    float p[3];
    apply(t().matrix, 0, 0, 1, p);  // (0,0,1) turned about y to (1,0,0), then the parent's move
    EXPECT_NEAR(p[0], 2.0f, 1e-5f);
    EXPECT_NEAR(p[2], 0.0f, 1e-5f);
}

TEST(MatrixInverse, InvertsAndRefusesSingular) {
    float m[16];
    ASSERT_TRUE(rotationMatrix(33.0f, 1, 2, 3, m));
    m[12] = 4, m[13] = -5, m[14] = 6;
    m[0] *= 2;
    float inverse[16], product[16];
    ASSERT_TRUE(render3d::invertMatrix(m, inverse));
    glmatrix::multiply(m, inverse, product);
    const float identity[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
    expectMatrixNear(product, identity, 1e-5f);
    const float singular[16] = {};
    EXPECT_FALSE(render3d::invertMatrix(singular, inverse));
    expectMatrixNear(inverse, identity, 0.0f);
}

}  // namespace
