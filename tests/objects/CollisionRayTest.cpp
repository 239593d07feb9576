#include "objects/CollisionTestMeshes.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <random>

namespace {

using test::BuildModel;
using test::Tri;

// The square (0..2, 0..2) in the plane y = 0 as two triangles split along
// x = z: triangle 0 below the diagonal (x > z), triangle 1 above it.
std::vector<Tri> FloorSquare(float y)
{
    return {{{0, y, 0, 2, y, 0, 2, y, 2}}, {{0, y, 0, 2, y, 2, 0, y, 2}}};
}

struct RayCase {
    const char* what;
    float origin[3];
    float direction[3];
    bool closest;
    float start;
    float end;
    bool hit;
    int index;     // expected triangle when hit
    float pointY;  // expected y of the hit point
};

// An upper square at y = 0 (triangles 0, 1) over a lower one at y = -1 (2, 3).
TEST(CollisionRay, SegmentCasesOnTwoFloors)
{
    std::vector<Tri> tris = FloorSquare(0);
    for (const Tri& t : FloorSquare(-1)) {
        tris.push_back(t);
    }
    auto model = BuildModel(tris);
    const RayCase cases[] = {
        {"straight down", {0.5f, 2, 1.5f}, {0, -1, 0}, true, 0, 10, true, 1, 0},
        {"negative end searches backwards", {0.5f, 2, 1.5f}, {0, 1, 0}, true, 0, -10, true, 1, 0},
        {"start 2.5 skips the upper floor", {0.5f, 2, 1.5f}, {0, -1, 0}, true, 2.5f, 5, true, 3, -1},
        {"start 2, end 5 reaches t in (2, 5]", {0.5f, 2, 1.5f}, {0, -1, 0}, true, 2, 5, true, 3, -1},
        {"start 1.5 finds the upper floor", {0.5f, 2, 1.5f}, {0, -1, 0}, true, 1.5f, 5, true, 1, 0},
        {"start past both", {0.5f, 2, 1.5f}, {0, -1, 0}, true, 3.5f, 5, false, 0, 0},
        {"origin on a plane", {0.5f, 0, 1.5f}, {0, -1, 0}, true, 0, 10, true, 3, -1},
        {"hit exactly at the end", {0.5f, 2, 1.5f}, {0, -1, 0}, true, 0, 2, true, 1, 0},
        {"end just short", {0.5f, 2, 1.5f}, {0, -1, 0}, true, 0, 1.999f, false, 0, 0},
        {"long direction scales the segment", {0.5f, 2, 1.5f}, {0, -2, 0}, true, 0, 1, true, 1, 0},
        {"parallel in the plane", {-1, 0, 1}, {1, 0, 0}, true, 0, 10, false, 0, 0},
        {"corner", {2, 2, 0}, {0, -1, 0}, true, 0, 10, true, 0, 0},
        {"edge from below", {1, -0.5f, 0}, {0, 1, 0}, true, 0, 10, true, 0, 0},
        {"beyond 9e9 in closest mode", {0.5f, 1e10f, 1.5f}, {0, -1, 0}, true, 0, 3.4e38f, false, 0, 0},
        {"beyond 9e9 in first-hit mode", {0.5f, 1e10f, 1.5f}, {0, -1, 0}, false, 0, 3.4e38f, true, -1, 0},
        {"missing the square", {3, 2, 1}, {0, -1, 0}, false, 0, 3.4e38f, false, 0, 0},
    };
    for (const RayCase& c : cases) {
        ASSERT_EQ(model->IntersectRay(c.origin, c.direction, c.closest, c.start, c.end), c.hit) << c.what;
        if (!c.hit || c.index < 0) {
            continue;
        }
        int a = -1;
        int b = -1;
        model->GetCollidingTriangleIndices(&a, &b);
        EXPECT_EQ(a, c.index) << c.what;
        float point[3];
        model->GetCollisionPoint(point, true);
        EXPECT_EQ(point[1], c.pointY) << c.what;
        EXPECT_EQ(point[0], c.origin[0]) << c.what;
    }
}

TEST(CollisionRay, TiesKeepTheTriangleExaminedFirst)
{
    // Down the shared diagonal both triangles are hit at t = 2. The split
    // puts triangle 1 (centre x 2/3) in child 0, which is examined first.
    auto model = BuildModel(FloorSquare(0));
    ASSERT_EQ(model->Root().child0, &model->Triangle(1));
    const float origin[3] = {1, 2, 1};
    const float down[3] = {0, -1, 0};
    for (bool closest : {true, false}) {
        ASSERT_TRUE(model->IntersectRay(origin, down, closest, 0, 10));
        int a = -1;
        model->GetCollidingTriangleIndices(&a, nullptr);
        EXPECT_EQ(a, 1) << (closest ? "closest" : "first hit");
    }
    // Within a bucket the later index is examined first.
    std::vector<Tri> twins = {FloorSquare(0)[0], FloorSquare(0)[0]};
    auto bucket = BuildModel(twins);
    ASSERT_EQ(bucket->Root().GetTriangleCount(), 2);
    const float inside[3] = {1.5f, 2, 0.5f};
    ASSERT_TRUE(bucket->IntersectRay(inside, down, true, 0, 10));
    int a = -1;
    bucket->GetCollidingTriangleIndices(&a, nullptr);
    EXPECT_EQ(a, 1);
}

TEST(CollisionRay, MissKeepsThePreviousPoint)
{
    auto model = BuildModel(FloorSquare(0));
    const float origin[3] = {0.5f, 2, 1.5f};
    const float down[3] = {0, -1, 0};
    const float up[3] = {0, 1, 0};
    ASSERT_TRUE(model->IntersectRay(origin, down, false, 0, 10));
    EXPECT_FALSE(model->IntersectRay(origin, up, false, 0, 10));
    EXPECT_FALSE(model->IntersectSphere(origin, 0.5f));
    float point[3] = {};
    model->GetCollisionPoint(point, true);
    EXPECT_EQ(point[0], 0.5f);
    EXPECT_EQ(point[1], 0.0f);
    EXPECT_EQ(point[2], 1.5f);
}

TEST(CollisionRay, SphereCases)
{
    auto model = BuildModel(FloorSquare(0));
    struct Case {
        const char* what;
        float centre[3];
        float radius;
        bool touches;
    };
    const Case cases[] = {
        {"grazing the face", {0.5f, 0.5f, 1.5f}, 0.5f, true},
        {"just above", {0.5f, 0.5f, 1.5f}, 0.49f, false},
        {"from below", {1.5f, -0.25f, 0.5f}, 0.25f, true},
        {"over the edge, foot outside", {-0.1f, 0.05f, 1}, 0.5f, false},
        {"far away", {10, 0, 10}, 1, false},
    };
    for (const Case& c : cases) {
        ASSERT_EQ(model->IntersectSphere(c.centre, c.radius), c.touches) << c.what;
        if (c.touches) {
            float point[3];
            model->GetCollisionPoint(point, true);
            EXPECT_EQ(point[0], c.centre[0]) << c.what;
            EXPECT_EQ(point[1], 0.0f) << c.what;
        }
    }
}

// Nearest hit over every triangle, the way the tree should find it.
float BruteForceNearest(const CBoxTreeCollisionModel& model, const CollisionVec3& o, const CollisionVec3& d, float end)
{
    float best = 9e9f;
    for (int i = 0; i < model.TriangleCount(); ++i) {
        CollisionVec3 p;
        float t;
        if (model.Triangle(i).triangle.IntersectRay(o, d, &p, &t, end) && t < best) {
            best = t;
        }
    }
    return best;
}

bool BruteForceSphere(const CBoxTreeCollisionModel& model, const CollisionVec3& c, float radius)
{
    for (int i = 0; i < model.TriangleCount(); ++i) {
        CollisionVec3 p;
        if (model.Triangle(i).triangle.IntersectSphere(c, radius, &p)) {
            return true;
        }
    }
    return false;
}

// The recorded triangle must itself be hit, at the recorded point.
float RecordedHit(CBoxTreeCollisionModel& model, const CollisionVec3& o, const CollisionVec3& d, float end)
{
    int a = -1;
    model.GetCollidingTriangleIndices(&a, nullptr);
    CollisionVec3 p;
    float t = -1;
    EXPECT_TRUE(model.Triangle(a).triangle.IntersectRay(o, d, &p, &t, end));
    float point[3];
    model.GetCollisionPoint(point, true);
    EXPECT_EQ(point[0], p.x);
    EXPECT_EQ(point[1], p.y);
    EXPECT_EQ(point[2], p.z);
    return t;
}

void CrossCheck(CBoxTreeCollisionModel& model, unsigned seed, int rays)
{
    std::mt19937 rng(seed);
    std::uniform_real_distribution<float> where(-60.0f, 60.0f);
    std::uniform_real_distribution<float> heading(-1.0f, 1.0f);
    std::uniform_real_distribution<float> length(0.0f, 150.0f);
    int hits = 0;
    for (int n = 0; n < rays; ++n) {
        const CollisionVec3 o = {where(rng), where(rng), where(rng)};
        const CollisionVec3 d = {heading(rng), heading(rng), heading(rng)};
        const float end = (n % 4 == 0) ? 3.4e38f : length(rng);
        const float origin[3] = {o.x, o.y, o.z};
        const float direction[3] = {d.x, d.y, d.z};
        const float nearest = BruteForceNearest(model, o, d, end);
        const bool expected = nearest < 9e9f;
        ASSERT_EQ(model.IntersectRay(origin, direction, true, 0.0f, end), expected) << "closest, ray " << n;
        if (expected) {
            ++hits;
            ASSERT_EQ(RecordedHit(model, o, d, end), nearest) << "ray " << n;
        }
        ASSERT_EQ(model.IntersectRay(origin, direction, false, 0.0f, end), expected) << "first hit, ray " << n;
        if (expected) {
            RecordedHit(model, o, d, end);
        }
        const float radius = length(rng) * 0.05f;
        ASSERT_EQ(model.IntersectSphere(origin, radius), BruteForceSphere(model, o, radius)) << "sphere " << n;
    }
    EXPECT_GT(hits, rays / 10);
}

TEST(CollisionRay, TreeAgreesWithBruteForceOnRandomRays)
{
    auto soup = BuildModel(test::TriangleSoup(1500, 11));
    CrossCheck(*soup, 5, 2000);
    auto field = BuildModel(test::HeightField(24));
    CrossCheck(*field, 9, 1500);
}

// Which triangle a first-hit query reports depends on the order the tree is
// examined in, and a closest query keeps the first of equal hits: reworking
// the tree's storage or walk must not change either. The answers of every
// benchmark ray (hit, triangle index, point bits) folded into one value,
// recorded from the tree before its rework.
TEST(CollisionRay, BenchmarkRaysReportTheSameTrianglesAndPoints)
{
    auto model = BuildModel(test::HeightField(100));
    const std::vector<test::DownRay> rays = test::DownwardRays(4096, 1234);
    const struct {
        bool closest;
        int hits;
        std::uint64_t answers;
    } cases[] = {{true, 3606, 0xd64f34dae7ea315dull}, {false, 3606, 0xd64f34dae7ea315dull}};
    for (const auto& c : cases) {
        std::uint64_t hash = 14695981039346656037ull;
        auto fold = [&hash](std::uint32_t word) {
            for (int k = 0; k < 4; ++k) {
                hash = (hash ^ ((word >> (8 * k)) & 0xFFu)) * 1099511628211ull;
            }
        };
        int hits = 0;
        for (const test::DownRay& r : rays) {
            const bool hit = model->IntersectRay(r.origin, r.direction, c.closest, 0.0f, 200.0f);
            fold(hit ? 1u : 0u);
            if (!hit) {
                continue;
            }
            ++hits;
            int a = -1;
            int b = -1;
            ASSERT_TRUE(model->GetCollidingTriangleIndices(&a, &b));
            float point[3];
            ASSERT_TRUE(model->GetCollisionPoint(point, true));
            fold(static_cast<std::uint32_t>(a));
            for (float v : point) {
                std::uint32_t bits;
                std::memcpy(&bits, &v, sizeof bits);
                fold(bits);
            }
        }
        EXPECT_EQ(hits, c.hits) << (c.closest ? "closest" : "first hit");
        EXPECT_EQ(hash, c.answers) << (c.closest ? "closest" : "first hit") << std::hex << " 0x" << hash;
    }
}

} // namespace
