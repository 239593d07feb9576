#include "objects/CollisionAxisBox.h"
#include "objects/CollisionContactPoint.h"
#include "objects/CollisionTriangleOverlap.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

CAxisBox Box(CollisionVec3 minimum, CollisionVec3 size)
{
    CAxisBox box;
    box.SetBox(minimum, size);
    return box;
}

// The box from -1 to 1 on every axis.
const CAxisBox kUnitBox = Box({-1, -1, -1}, {2, 2, 2});

CCollisionTriangle Triangle(CollisionVec3 a, CollisionVec3 b, CollisionVec3 c)
{
    return CCollisionTriangle(a, b, c);
}

// Right triangle in the plane y = 0 with corners (0,0,0), (2,0,0), (0,0,2).
const CCollisionTriangle kFloor = Triangle({0, 0, 0}, {2, 0, 0}, {0, 0, 2});

TEST(CollisionGeometry, SegmentAgainstBox)
{
    struct Case {
        const char* what;
        CollisionVec3 origin, direction;
        float end;
        bool overlaps;
    };
    const Case cases[] = {
        {"through the middle", {-3, 0, 0}, {1, 0, 0}, 6, true},
        {"ends just short", {-3, 0, 0}, {1, 0, 0}, 1.9f, false},
        {"ends exactly on the face", {-3, 0, 0}, {1, 0, 0}, 2, true},
        {"grazes the top face", {0, 1, -2}, {0, 0, 1}, 4, true},
        {"passes just above", {0, 1.0001f, -2}, {0, 0, 1}, 4, false},
        // Both pass the per-axis tests; only the edge axes tell them apart.
        {"diagonal past an edge", {2, 0.5f, 0}, {-1.5f, 1.5f, 0}, 1, false},
        {"diagonal across an edge", {1.9f, 0, 0}, {-1.9f, 1.9f, 0}, 1, true},
        {"inside", {0.1f, 0.2f, 0.3f}, {0, 0, 1}, 0.1f, true},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(kUnitBox.IntersectsSegment(c.origin, c.direction, c.end), c.overlaps) << c.what;
    }
}

TEST(CollisionGeometry, HugeSegmentEndMeansRay)
{
    const CAxisBox far = Box({5e30f, -1e29f, -1e29f}, {1e29f, 2e29f, 2e29f});
    const CollisionVec3 origin = {0, 0, 0};
    const CollisionVec3 xAxis = {1, 0, 0};
    EXPECT_TRUE(far.IntersectsSegment(origin, xAxis, 1e31f));
    EXPECT_FALSE(far.IntersectsSegment(origin, xAxis, 1e30f));
    EXPECT_TRUE(far.IntersectsSegment(origin, xAxis, 3e31f));
}

TEST(CollisionGeometry, RayAgainstBox)
{
    EXPECT_TRUE(kUnitBox.IntersectsRay({-5, 0, 0}, {1, 0, 0}));
    EXPECT_FALSE(kUnitBox.IntersectsRay({-5, 0, 0}, {-1, 0, 0})) << "heading away";
    EXPECT_FALSE(kUnitBox.IntersectsRay({-5, 3, 0}, {1, 0, 0})) << "passing above";
    EXPECT_TRUE(kUnitBox.IntersectsRay({0, 0, 0}, {0, 0, -1})) << "starting inside";
    EXPECT_TRUE(kUnitBox.IntersectsRay({-5, 1, 0}, {1, 0, 0})) << "along the top face";
    EXPECT_FALSE(kUnitBox.IntersectsRay({-5, -3, 0}, {1, 0.3f, 0})) << "rising past the corner";
}

TEST(CollisionGeometry, SphereAgainstBox)
{
    EXPECT_TRUE(kUnitBox.IntersectsSphere({3, 0, 0}, 2)) << "touching a face";
    EXPECT_FALSE(kUnitBox.IntersectsSphere({3, 0, 0}, 1.99f));
    EXPECT_TRUE(kUnitBox.IntersectsSphere({2, 3, 1}, std::sqrt(5.0f) + 1e-6f)) << "reaching an edge";
    EXPECT_FALSE(kUnitBox.IntersectsSphere({2, 2, 2}, 1.7f)) << "short of the corner";
    EXPECT_TRUE(kUnitBox.IntersectsSphere({0, 0, 0}, 0.1f)) << "inside";
}

CRelativeTransform Placed(float angleZ, CollisionVec3 move)
{
    const float c = std::cos(angleZ);
    const float s = std::sin(angleZ);
    const CollisionMatrix m = {{{c, s, 0, 0}, {-s, c, 0, 0}, {0, 0, 1, 0}, {move.x, move.y, move.z, 1}}};
    return MakeRelativeTransform(m);
}

TEST(CollisionGeometry, BoxAgainstPlacedBox)
{
    const CAxisBox other = Box({-0.5f, -0.5f, -0.5f}, {1, 1, 1});
    struct Case {
        const char* what;
        float angle;
        CollisionVec3 move;
        bool overlaps;
    };
    const float quarter = 0.78539816f;
    const Case cases[] = {
        {"touching faces", 0, {1.5f, 0, 0}, true},
        {"just apart", 0, {1.5001f, 0, 0}, false},
        {"overlapping", 0, {1, 0.5f, 0.5f}, true},
        {"apart on z", 0, {0, 0, 2}, false},
        // Bounding boxes overlap but the turned box's own face separates.
        {"turned, apart on its own axis", quarter, {1.85f, 1.85f, 0}, false},
        {"turned, corner inside", quarter, {1.5f, 1.2f, 0}, true},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(kUnitBox.IntersectsBox(other, Placed(c.angle, c.move)), c.overlaps) << c.what;
    }
}

TEST(CollisionGeometry, ContainsPointCountsEdgesAndCorners)
{
    EXPECT_TRUE(kFloor.ContainsPoint({0.5f, 0, 0.5f}));
    EXPECT_TRUE(kFloor.ContainsPoint({0, 0, 0})) << "corner";
    EXPECT_TRUE(kFloor.ContainsPoint({2, 0, 0})) << "corner";
    EXPECT_TRUE(kFloor.ContainsPoint({1, 0, 1})) << "long edge";
    EXPECT_TRUE(kFloor.ContainsPoint({1, 0, 0})) << "short edge";
    EXPECT_FALSE(kFloor.ContainsPoint({1.01f, 0, 1})) << "past the long edge";
    EXPECT_FALSE(kFloor.ContainsPoint({-0.01f, 0, 1}));
    // First edge with no extent on the first kept axis (x): the other branch.
    const CCollisionTriangle upright = Triangle({0, 0, 0}, {0, 0, 2}, {2, 0, 0});
    EXPECT_TRUE(upright.ContainsPoint({0.5f, 0, 0.5f}));
    EXPECT_TRUE(upright.ContainsPoint({0, 0, 2}));
    EXPECT_FALSE(upright.ContainsPoint({1.5f, 0, 1.5f}));
    EXPECT_FALSE(upright.ContainsPoint({-0.5f, 0, 0.5f}));
}

TEST(CollisionGeometry, TriangleRayTests)
{
    CollisionVec3 point = {9, 9, 9};
    float t = -1;
    EXPECT_TRUE(kFloor.IntersectRay({0.5f, 2, 0.5f}, {0, -1, 0}, &point, &t, 10));
    EXPECT_EQ(t, 2.0f);
    EXPECT_EQ(point.x, 0.5f);
    EXPECT_EQ(point.y, 0.0f);
    EXPECT_TRUE(kFloor.IntersectRay({0.5f, 2, 0.5f}, {0, -1, 0}, &point, &t, 2)) << "hit exactly at the end";
    EXPECT_FALSE(kFloor.IntersectRay({0.5f, 2, 0.5f}, {0, -1, 0}, &point, &t, 1.99f));
    EXPECT_FALSE(kFloor.IntersectRay({0.5f, 0, 0.5f}, {0, -1, 0}, &point, &t, 10)) << "starting on the plane";
    EXPECT_FALSE(kFloor.IntersectRay({-1, 0, 0.5f}, {1, 0, 0}, &point, &t, 10)) << "parallel, in the plane";
    EXPECT_FALSE(kFloor.IntersectRay({-1, 1, 0.5f}, {1, -1e-9f, 0}, &point, &t, 1e12f)) << "nearly parallel";
    EXPECT_TRUE(kFloor.IntersectRay({2, 1, 0}, {0, -1, 0}, &point, &t, 10)) << "corner";
    EXPECT_TRUE(kFloor.IntersectRay({1, -1, 1}, {0, 1, 0}, &point, &t, 10)) << "edge, from below";
    EXPECT_FALSE(kFloor.IntersectRay({1.5f, 1, 1.5f}, {0, -1, 0}, &point, &t, 10)) << "outside";
}

TEST(CollisionGeometry, SphereMustReachInsideTheTriangle)
{
    CollisionVec3 point = {9, 9, 9};
    EXPECT_TRUE(kFloor.IntersectSphere({0.5f, 0.5f, 0.5f}, 0.5f, &point)) << "grazing the face";
    EXPECT_EQ(point.y, 0.0f);
    EXPECT_FALSE(kFloor.IntersectSphere({0.5f, 0.5f, 0.5f}, 0.49f, &point));
    EXPECT_TRUE(kFloor.IntersectSphere({0.5f, -0.3f, 0.5f}, 0.5f, &point)) << "from below";
    // The foot lies just outside the short edge z = 0 while the surface
    // crosses that edge: an edge-only contact does not count.
    EXPECT_FALSE(kFloor.IntersectSphere({1, 0.1f, -0.05f}, 0.5f, &point));
}

TEST(CollisionGeometry, TriangleOverlapCases)
{
    struct Case {
        const char* what;
        CCollisionTriangle other;
        bool overlaps;
    };
    const Case cases[] = {
        {"piercing", Triangle({0.5f, -1, 0.5f}, {0.5f, 1, 0.5f}, {0.5f, 0, -3}), true},
        {"above", Triangle({0.5f, 0.1f, 0.5f}, {0.5f, 1, 0.5f}, {0.5f, 0.5f, -3}), false},
        {"beside", Triangle({3, -1, 0}, {3, 1, 0}, {3, 0, 2}), false},
        {"sharing one corner", Triangle({2, 0, 0}, {3, 1, 0}, {3, -1, 1}), true},
        {"touching with a corner", Triangle({0.5f, 0, 0.5f}, {0.5f, 1, 0.5f}, {1, 1, 0}), true},
        {"coplanar overlapping", Triangle({1, 0, 1}, {0.2f, 0, 0.2f}, {1, 0, -1}), true},
        {"coplanar apart", Triangle({3, 0, 3}, {4, 0, 3}, {3, 0, 4}), false},
        {"coplanar inside", Triangle({0.1f, 0, 0.1f}, {0.3f, 0, 0.1f}, {0.1f, 0, 0.3f}), true},
        // Distances are measured with the unnormalised normal (length 4 here).
        {"within 1e-6 of the plane", Triangle({0.1f, 2e-7f, 0.1f}, {0.3f, 2e-7f, 0.1f}, {0.1f, 2e-7f, 0.3f}), true},
        {"parallel, 1e-3 above", Triangle({0.1f, 1e-3f, 0.1f}, {0.3f, 1e-3f, 0.1f}, {0.1f, 1e-3f, 0.3f}), false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(kFloor.Intersects(c.other), c.overlaps) << c.what;
        EXPECT_EQ(c.other.Intersects(kFloor), c.overlaps) << c.what << " (swapped)";
    }
}

TEST(CollisionGeometry, CollisionPointOfCrossingTriangles)
{
    // A wall through the floor along x = 0.5, from z = -1 to z = 3.
    const CCollisionTriangle wall = Triangle({0.5f, -1, -1}, {0.5f, 1, 3}, {0.5f, -1, 3});
    const CollisionVec3 p = ComputeCollisionPoint(kFloor, wall);
    EXPECT_NEAR(p.x, 0.5f, 1e-5f);
    EXPECT_NEAR(p.y, 0.0f, 1e-5f);
    EXPECT_TRUE(kFloor.ContainsPoint(p));
    const CollisionVec3 q = ComputeCollisionPoint(wall, kFloor);
    EXPECT_NEAR(q.x, 0.5f, 1e-5f);
    EXPECT_NEAR(q.y, 0.0f, 1e-5f);
    const CCollisionTriangle above = Triangle({0, 1, 0}, {1, 2, 0}, {0, 2, 1});
    const CollisionVec3 none = ComputeCollisionPoint(kFloor, above);
    EXPECT_EQ(none.x + none.y + none.z, 0.0f);
}

TEST(CollisionGeometry, ZeroAreaTrianglesNeverHitAndNeverMakeNaN)
{
    const CCollisionTriangle flat[] = {
        Triangle({0, 0, 0}, {1, 0, 0}, {2, 0, 0}),       // collinear
        Triangle({1, 0, 1}, {1, 0, 1}, {0.5f, 0, 0.2f}), // repeated corner
        Triangle({0.3f, 0, 0.3f}, {0.3f, 0, 0.3f}, {0.3f, 0, 0.3f}),
    };
    for (const CCollisionTriangle& t : flat) {
        CollisionVec3 point = {7, 7, 7};
        float hitT = 7;
        EXPECT_FALSE(t.IntersectRay({0.5f, 1, 0}, {0, -1, 0}, &point, &hitT, 10));
        EXPECT_FALSE(t.IntersectSphere({0.5f, 0, 0}, 1, &point));
        EXPECT_FALSE(t.ContainsPoint(t.vertex1));
        EXPECT_FALSE(t.Intersects(kFloor));
        EXPECT_FALSE(kFloor.Intersects(t));
        EXPECT_EQ(point.x, 7.0f);
        for (const CollisionVec3& p : {ComputeCollisionPoint(t, kFloor), ComputeCollisionPoint(kFloor, t)}) {
            EXPECT_EQ(p.x, 0.0f);
            EXPECT_EQ(p.y, 0.0f);
            EXPECT_EQ(p.z, 0.0f);
        }
    }
}

TEST(CollisionGeometry, MatrixInverse)
{
    const float c = std::cos(0.7f);
    const float s = std::sin(0.7f);
    const CollisionMatrix m = {{{2 * c, 0, -2 * s, 0}, {0, 1, 0, 0}, {s, 0, c, 0}, {3, -4, 5, 1}}};
    CollisionMatrix inverse;
    ASSERT_TRUE(Invert(m, &inverse));
    const CollisionMatrix product = Multiply(m, inverse);
    for (int r = 0; r < 4; ++r) {
        for (int k = 0; k < 4; ++k) {
            EXPECT_NEAR(product.m[r][k], r == k ? 1.0f : 0.0f, 1e-5f);
        }
    }
    const CollisionVec3 p = TransformPoint(TransformPoint({1, 2, 3}, m), inverse);
    EXPECT_NEAR(p.x, 1.0f, 1e-5f);
    EXPECT_NEAR(p.z, 3.0f, 1e-5f);
    CollisionMatrix flat = g_CollisionIdentity;
    flat.m[1][1] = 0.0f;
    inverse = g_CollisionIdentity;
    EXPECT_FALSE(Invert(flat, &inverse));
    EXPECT_EQ(inverse.m[0][0], 1.0f);
}

} // namespace
