#include "objects/CollisionTestMeshes.h"

#include "objects/CollisionContactPoint.h"
#include "platform/Win32Time.h"

#include <gtest/gtest.h>

namespace {

using test::BuildModel;
using test::Tri;

std::unique_ptr<CBoxTreeCollisionModel> UnitCube()
{
    const float lo[3] = {0, 0, 0};
    const float hi[3] = {1, 1, 1};
    return BuildModel(test::BoxTriangles(lo, hi));
}

class ModelPair : public ::testing::Test {
protected:
    void TearDown() override { plat::UseRealClock(); }

    std::unique_ptr<CBoxTreeCollisionModel> a = UnitCube();
    std::unique_ptr<CBoxTreeCollisionModel> b = UnitCube();
};

// The point lies in both unit cubes (the second moved by `move`), give or take.
void ExpectInBoth(const float point[3], const float move[3])
{
    for (int k = 0; k < 3; ++k) {
        EXPECT_GE(point[k], std::max(0.0f, move[k]) - 1e-4f) << "axis " << k;
        EXPECT_LE(point[k], std::min(1.0f, 1.0f + move[k]) + 1e-4f) << "axis " << k;
    }
}

TEST_F(ModelPair, CubesTouchingApartAndInterpenetrating)
{
    struct Case {
        const char* what;
        float move[3];
        bool collide;
    };
    const Case cases[] = {
        {"interpenetrating", {0.5f, 0.25f, 0.25f}, true},
        {"touching faces", {1, 0, 0}, true},
        {"touching edges", {1, 1, 0}, true},
        {"apart", {1.5f, 0, 0}, false},
        {"just apart", {1.001f, 0.2f, 0.1f}, false},
    };
    for (const Case& c : cases) {
        float m[16];
        test::Translation(c.move[0], c.move[1], c.move[2], m);
        ASSERT_EQ(a->CollideWithModel(b.get(), 0, 0, m), c.collide) << c.what;
        b->SetTransform(m);
        ASSERT_EQ(a->CollideWithModel(b.get(), 0, 0, nullptr), c.collide) << c.what << " (own transform)";
        ASSERT_EQ(b->CollideWithModel(a.get(), 0, 0, nullptr), c.collide) << c.what << " (the other way)";
        if (!c.collide) {
            continue;
        }
        a->CollideWithModel(b.get(), 0, 0, nullptr);
        float triA[9];
        float triB[9];
        a->GetCollidingTriangles(triA, triB, true);
        const CCollisionTriangle recordedA(CollisionVec(triA), CollisionVec(triA + 3), CollisionVec(triA + 6));
        const CCollisionTriangle recordedB(CollisionVec(triB), CollisionVec(triB + 3), CollisionVec(triB + 6));
        EXPECT_TRUE(recordedA.Intersects(recordedB)) << c.what;
        int indexA = -1;
        int indexB = -1;
        a->GetCollidingTriangleIndices(&indexA, &indexB);
        EXPECT_EQ(triA[0], a->Triangle(indexA).triangle.vertex1.x) << c.what;
        EXPECT_EQ(triB[0], b->Triangle(indexB).triangle.vertex1.x + c.move[0]) << c.what;
        float point[3];
        a->GetCollisionPoint(point, true);
        const CollisionVec3 expected = ComputeCollisionPoint(recordedA, recordedB);
        EXPECT_EQ(point[0], expected.x) << c.what;
        // The point lies where the cubes meet (never the zero vector here).
        ExpectInBoth(point, c.move);
        EXPECT_NE(point[0] + point[1] + point[2], 0.0f) << c.what;
    }
}

TEST_F(ModelPair, TurnedCubeAndWorldPoint)
{
    float m[16];
    // Turned by 45 degrees about y, the second cube is a diamond seen from
    // above; centred diagonally off the first cube's corner (1, 1) its
    // bounds overlap the cube in both cases, but only the nearer one meets it.
    test::RotationYTranslation(0.78539816f, 1.2f - 0.70710678f, 0.3f, 1.2f, m);
    EXPECT_TRUE(a->CollideWithModel(b.get(), 0, 0, m));
    test::RotationYTranslation(0.78539816f, 1.5f - 0.70710678f, 0.3f, 1.5f, m);
    EXPECT_FALSE(a->CollideWithModel(b.get(), 0, 0, m));

    // World space follows this model's own transform.
    float here[16];
    test::Translation(10, 0, 0, here);
    a->SetTransform(here);
    float there[16];
    test::Translation(10.5f, 0.25f, 0.25f, there);
    ASSERT_TRUE(a->CollideWithModel(b.get(), 0, 0, there));
    float model[3];
    float world[3];
    a->GetCollisionPoint(model, true);
    a->GetCollisionPoint(world, false);
    EXPECT_FLOAT_EQ(world[0], model[0] + 10.0f);
    EXPECT_FLOAT_EQ(world[1], model[1]);
    float triA[9];
    float triB[9];
    a->GetCollidingTriangles(nullptr, triB, true);
    a->GetCollidingTriangles(triA, nullptr, false);
    int indexA = -1;
    a->GetCollidingTriangleIndices(&indexA, nullptr);
    EXPECT_FLOAT_EQ(triA[0], a->Triangle(indexA).triangle.vertex1.x + 10.0f);
}

TEST_F(ModelPair, EmptyModelNeverCollides)
{
    auto empty = BuildModel({});
    EXPECT_FALSE(a->CollideWithModel(empty.get(), 0, 0, nullptr));
    EXPECT_FALSE(empty->CollideWithModel(a.get(), 0, 0, nullptr));
    EXPECT_FALSE(empty->CollideWithModel(empty.get(), 0, 0, nullptr));
    // Asked for a point after that, the zero triangles give the zero vector.
    float point[3] = {5, 5, 5};
    empty->GetCollisionPoint(point, false);
    EXPECT_EQ(point[0] + point[1] + point[2], 0.0f);
}

TEST_F(ModelPair, ClockWrapDoesNotEndTheQuery)
{
    // start + limit wraps past zero: a naive comparison would time out at once.
    plat::SetFakeClock(0xFFFFFFF0u);
    float m[16];
    test::Translation(0.5f, 0.25f, 0.25f, m);
    EXPECT_TRUE(a->CollideWithModel(b.get(), 0, 100, m));
    test::Translation(3, 0, 0, m);
    EXPECT_FALSE(a->CollideWithModel(b.get(), 0, 100, m));
}

// Every leaf box of one meets every leaf box of the other, yet no triangles
// meet: horizontal triangles in the half x + z < 10 at each height, and
// tall triangles standing in x + z > 10.5.
std::vector<Tri> Layers(int count)
{
    std::vector<Tri> tris;
    for (int i = 0; i < count; ++i) {
        const float y = static_cast<float>(i);
        tris.push_back({{0, y, 0, 10, y, 0, 0, y, 10}});
    }
    return tris;
}

std::vector<Tri> Fins(int count, float height)
{
    std::vector<Tri> tris;
    for (int j = 0; j < count; ++j) {
        const float s = 0.1f * static_cast<float>(j) / static_cast<float>(count);
        tris.push_back({{s, 0, 10.5f, 10.5f, 0, s, 5, height, 5.5f}});
    }
    return tris;
}

TEST(ModelPairTimeLimit, LongQueryThrowsTimeoutExpired)
{
    plat::UseRealClock();
    auto layers = BuildModel(Layers(1500));
    auto fins = BuildModel(Fins(1500, 1500));
    EXPECT_THROW(layers->CollideWithModel(fins.get(), 0, 2, nullptr), TimeoutExpired);
    // The same pair is quick to answer when far apart.
    float m[16];
    test::Translation(0, 0, 100, m);
    EXPECT_FALSE(layers->CollideWithModel(fins.get(), 0, 1000, m));
}

} // namespace
