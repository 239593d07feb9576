#include "objects/CollisionTestMeshes.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

using test::BuildModel;

// A 2 x 2 square at y = 0 from the origin, placed by each test.
std::unique_ptr<CBoxTreeCollisionModel> Square(bool isStatic)
{
    return BuildModel({{{0, 0, 0, 2, 0, 0, 2, 0, 2}}, {{0, 0, 0, 2, 0, 2, 0, 0, 2}}}, isStatic);
}

bool RayDown(CBoxTreeCollisionModel& model, float x, float z)
{
    const float origin[3] = {x, 50, z};
    const float down[3] = {0, -1, 0};
    return model.IntersectRay(origin, down, true, 0.0f, 3.4e38f);
}

class PlacedModel : public ::testing::TestWithParam<bool> {};

TEST_P(PlacedModel, QueriesFollowTheLatestTransform)
{
    auto model = Square(GetParam());
    EXPECT_TRUE(RayDown(*model, 1, 1));

    float m[16];
    test::Translation(10, 3, -4, m);
    model->SetTransform(m);
    EXPECT_FALSE(RayDown(*model, 1, 1));
    ASSERT_TRUE(RayDown(*model, 11, -3.5f));
    float world[3];
    float local[3];
    model->GetCollisionPoint(world, false);
    model->GetCollisionPoint(local, true);
    EXPECT_FLOAT_EQ(world[1], 3.0f);
    EXPECT_FLOAT_EQ(local[0], 1.0f);
    EXPECT_FLOAT_EQ(local[2], 0.5f);
    const float centre[3] = {11, 3.5f, -3};
    EXPECT_TRUE(model->IntersectSphere(centre, 0.5f));

    // Turned a quarter about y: model x runs along world -z.
    test::RotationYTranslation(1.57079633f, 0, 0, 0, m);
    model->SetTransform(m);
    EXPECT_FALSE(RayDown(*model, 1, 1));
    ASSERT_TRUE(RayDown(*model, 0.5f, -1.5f));
    model->GetCollisionPoint(local, true);
    EXPECT_NEAR(local[0], 1.5f, 1e-5f);
    EXPECT_NEAR(local[2], 0.5f, 1e-5f);
    float tri[9];
    model->GetCollidingTriangles(tri, nullptr, false);
    int index = -1;
    model->GetCollidingTriangleIndices(&index, nullptr);
    const CollisionVec3 corner2 = model->Triangle(index).triangle.vertex2;
    EXPECT_NEAR(tri[3], corner2.z, 1e-5f);
    EXPECT_NEAR(tri[5], -corner2.x, 1e-5f);
}

TEST_P(PlacedModel, SingularTransformAnswersNoHit)
{
    auto model = Square(GetParam());
    auto other = Square(false);
    float flat[16];
    test::Translation(0, 0, 0, flat);
    flat[5] = 0.0f; // y squashed away: no inverse
    model->SetTransform(flat);
    EXPECT_FALSE(RayDown(*model, 1, 1));
    const float centre[3] = {1, 0, 1};
    EXPECT_FALSE(model->IntersectSphere(centre, 1.0f));
    EXPECT_FALSE(model->CollideWithModel(other.get(), 0, 0, nullptr));
    // The other model's matrix may be anything: only this one is inverted.
    EXPECT_TRUE(other->CollideWithModel(model.get(), 0, 0, nullptr));
    float point[3];
    model->GetCollisionPoint(point, true);
    EXPECT_FALSE(std::isnan(point[0]));

    float moved[16];
    test::Translation(5, 0, 0, moved);
    model->SetTransform(moved);
    EXPECT_TRUE(RayDown(*model, 6, 1));
}

INSTANTIATE_TEST_SUITE_P(StaticAndMoving, PlacedModel, ::testing::Values(true, false));

} // namespace
