#include "objects/CollisionNodeStack.h"
#include "objects/CollisionTestMeshes.h"

#include <gtest/gtest.h>

#include <set>

namespace {

using test::BuildModel;
using test::Tri;

// A small triangle in the plane z = 0 whose centre is exactly (cx, cy, 0).
Tri SmallTriangle(float cx, float cy)
{
    return {{cx - 0.25f, cy - 0.25f, 0.0f, cx + 0.25f, cy - 0.25f, 0.0f, cx, cy + 0.5f, 0.0f}};
}

const CCollisionTreeLeaf* Leaf(const CBoxTreeCollisionModel& model, int index)
{
    return &model.Triangle(index);
}

TEST(CollisionTree, EmptyModelKeepsZeroRootAndFindsNothing)
{
    auto model = BuildModel({});
    const CCollisionTreeBranch& root = model->Root();
    EXPECT_EQ(root.GetChildCount(), 0);
    EXPECT_EQ(root.GetTriangleCount(), 0);
    EXPECT_EQ(root.size.x + root.size.y + root.size.z, 0.0f);
    const float origin[3] = {0, 1, 0};
    const float down[3] = {0, -1, 0};
    EXPECT_FALSE(model->IntersectRay(origin, down, true, 0.0f, 10.0f));
    EXPECT_FALSE(model->IntersectRay(origin, down, false, 0.0f, 3.4e38f));
    EXPECT_FALSE(model->IntersectSphere(origin, 100.0f));
}

TEST(CollisionTree, OneTriangleStaysOnTheRoot)
{
    auto model = BuildModel({{{0, 0, 0, 2, 0, 0, 0, 3, 1}}});
    const CCollisionTreeBranch& root = model->Root();
    EXPECT_EQ(root.GetChildCount(), 0);
    ASSERT_EQ(root.GetTriangleCount(), 1);
    EXPECT_EQ(root.GetTriangle(0), Leaf(*model, 0));
    EXPECT_EQ(root.GetTriangle(1), nullptr);
    EXPECT_EQ(root.GetTriangle(-1), nullptr);
    EXPECT_FLOAT_EQ(root.size.x, 2.0f);
    EXPECT_FLOAT_EQ(root.size.y, 3.0f);
    EXPECT_FLOAT_EQ(root.size.z, 1.0f);
    EXPECT_FLOAT_EQ(root.centre.y, 1.5f);
}

TEST(CollisionTree, TwoTrianglesApartHangAsLeaves)
{
    auto model = BuildModel({SmallTriangle(-10, 0), SmallTriangle(10, 0)});
    const CCollisionTreeBranch& root = model->Root();
    EXPECT_EQ(root.GetTriangleCount(), 0);
    ASSERT_EQ(root.GetChildCount(), 2);
    EXPECT_EQ(root.child0, Leaf(*model, 0));
    EXPECT_EQ(root.child1, Leaf(*model, 1));
    EXPECT_EQ(root.ownsChild0, 0);
    EXPECT_EQ(root.ownsChild1, 0);
    EXPECT_TRUE(root.child0->IsLeaf());
    EXPECT_EQ(root.GetChild(2), nullptr);
}

TEST(CollisionTree, SharedCentresMakeABucket)
{
    // Three different triangles, all centred on (1, 1, 0).
    auto model = BuildModel({{{0, 0, 0, 3, 0, 0, 0, 3, 0}},
                             {{1, 0, 0, 1, 3, 0, 1, 0, 0}},
                             {{-1, 1, 0, 3, 1, 0, 1, 1, 0}}});
    const CCollisionTreeBranch& root = model->Root();
    EXPECT_EQ(root.GetChildCount(), 0);
    ASSERT_EQ(root.GetTriangleCount(), 3);
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(root.GetTriangle(i), Leaf(*model, i));
    }
}

TEST(CollisionTree, CentreOnTheSplitGoesToChildOne)
{
    // Centres at x = -3, 0, 3: the mean is 0, so the middle one joins the right.
    auto model = BuildModel({SmallTriangle(0, 0), SmallTriangle(-3, 0), SmallTriangle(3, 0)});
    const CCollisionTreeBranch& root = model->Root();
    ASSERT_EQ(root.GetChildCount(), 2);
    EXPECT_EQ(root.child0, Leaf(*model, 1));
    ASSERT_FALSE(root.child1->IsLeaf());
    EXPECT_EQ(root.ownsChild1, 1);
    EXPECT_EQ(root.child1->GetChild(0), Leaf(*model, 0));
    EXPECT_EQ(root.child1->GetChild(1), Leaf(*model, 2));
    // The inner branch's box is refitted to its own two triangles.
    EXPECT_FLOAT_EQ(root.child1->position.x, -0.25f);
}

TEST(CollisionTree, FlatSetGetsAThinBox)
{
    auto model = BuildModel({{{0, 0, 0, 1, 0, 0, 0, 0, 1}}, {{5, 0, 5, 6, 0, 5, 5, 0, 6}}});
    const CCollisionTreeBranch& root = model->Root();
    EXPECT_FLOAT_EQ(root.size.y, 0.002f);
    EXPECT_FLOAT_EQ(root.position.y, -0.001f);
    EXPECT_FLOAT_EQ(root.centre.y, 0.0f);
    // A leaf keeps its flat axis at size 0.
    EXPECT_EQ(model->Triangle(0).size.y, 0.0f);
}

TEST(CollisionTree, EqualSpreadsChooseX)
{
    // Spreads: x 2, y 2, z 0. Splitting on x isolates the triangle at x = -1;
    // splitting on y would isolate the one at y = -1 instead.
    auto model = BuildModel({SmallTriangle(0, 1), SmallTriangle(-1, 0), SmallTriangle(0, -1), SmallTriangle(1, 0)});
    const CCollisionTreeBranch& root = model->Root();
    ASSERT_EQ(root.GetChildCount(), 2);
    EXPECT_EQ(root.child0, Leaf(*model, 1));
}

TEST(CollisionTree, MisuseAfterFinalizeThrows)
{
    auto model = BuildModel({SmallTriangle(0, 0)});
    const float a[3] = {0, 0, 0};
    EXPECT_THROW(model->AddTriangle(a, a, a), Inconsistency);
    EXPECT_THROW(model->AddTriangle(0, 0, 0, 1, 0, 0, 0, 1, 0), Inconsistency);
    EXPECT_THROW(model->Finalize(), Inconsistency);
    const int capacity = model->TriangleCapacity();
    model->SetTriangleCount(1000);
    EXPECT_EQ(model->TriangleCapacity(), capacity);
    EXPECT_EQ(model->TriangleCount(), 1);

    CBoxTreeCollisionModel open(false);
    EXPECT_THROW(open.CollideWithModel(model.get(), 0, 0, nullptr), Inconsistency);
    EXPECT_THROW(model->CollideWithModel(&open, 0, 0, nullptr), Inconsistency);
    EXPECT_THROW(model->CollideWithModel(nullptr, 0, 0, nullptr), Inconsistency);
}

TEST(CollisionTree, MoreTrianglesThanAnnouncedAreAllKept)
{
    CBoxTreeCollisionModel model(false);
    model.SetTriangleCount(100);
    EXPECT_EQ(model.TriangleCapacity(), 100);
    for (int i = 0; i < 150; ++i) {
        const float x = static_cast<float>(i);
        model.AddTriangle(x, 0, 0, x + 0.5f, 0, 0, x, 0.5f, 0);
    }
    model.SetTriangleCount(50); // never shrinks
    model.Finalize();
    ASSERT_EQ(model.TriangleCount(), 150);
    for (int i = 0; i < 150; ++i) {
        EXPECT_EQ(model.Triangle(i).triangle.vertex1.x, static_cast<float>(i));
    }
    // Every triangle can still be found by a ray, with its own index.
    for (int i = 0; i < 150; i += 7) {
        const float origin[3] = {static_cast<float>(i) + 0.1f, 0.1f, -1.0f};
        const float forward[3] = {0, 0, 1};
        ASSERT_TRUE(model.IntersectRay(origin, forward, true, 0.0f, 2.0f));
        int a = -1;
        int b = -1;
        model.GetCollidingTriangleIndices(&a, &b);
        EXPECT_EQ(a, i);
    }
}

// Walks the tree and checks its shape: branches with children have two,
// boxes enclose what is beneath them, and every triangle hangs exactly once.
void CheckTree(const CBoxTreeCollisionModel& model)
{
    std::multiset<const CCollisionTreeLeaf*> seen;
    std::vector<const CCollisionTreeNode*> pending = {&model.Root()};
    while (!pending.empty()) {
        const CCollisionTreeNode* node = pending.back();
        pending.pop_back();
        if (node->IsLeaf()) {
            seen.insert(node->GetTriangle(0));
            continue;
        }
        const int children = node->GetChildCount();
        ASSERT_TRUE(children == 0 || (children == 2 && node->GetTriangleCount() == 0));
        for (int i = 0; i < children; ++i) {
            const CCollisionTreeNode* child = node->GetChild(i);
            // A flat child is widened by 0.001 on each side of its plane.
            for (int k = 0; k < 3; ++k) {
                EXPECT_GE(child->position[k], node->position[k] - 1.001e-3f);
                EXPECT_LE(child->position[k] + child->size[k], node->position[k] + node->size[k] + 1.001e-3f);
            }
            pending.push_back(child);
        }
        for (int i = 0; i < node->GetTriangleCount(); ++i) {
            seen.insert(node->GetTriangle(i));
        }
    }
    ASSERT_EQ(seen.size(), static_cast<size_t>(model.TriangleCount()));
    for (int i = 0; i < model.TriangleCount(); ++i) {
        EXPECT_EQ(seen.count(&model.Triangle(i)), 1u) << "triangle " << i;
    }
}

TEST(CollisionTree, GeneratedMeshesBuildWellFormedTrees)
{
    CheckTree(*BuildModel(test::TriangleSoup(2000, 7)));
    CheckTree(*BuildModel(test::HeightField(20)));
}

TEST(CollisionTree, SkewedMeshBuildsAndAnswers)
{
    // Centres at powers of two: each split peels off only the few largest
    // triangles, so the tree is lopsided and deep.
    std::vector<Tri> tris;
    for (int i = 0; i < 120; ++i) {
        const float c = std::ldexp(1.0f, i);
        tris.push_back({{0.9f * c, 0, -0.1f * c, 1.1f * c, 0, -0.1f * c, c, 0, 0.2f * c}});
    }
    auto model = BuildModel(tris);
    int depth = 0;
    for (const CCollisionTreeNode* node = &model->Root(); node->GetChildCount() == 2; node = node->GetChild(0)) {
        ++depth;
    }
    EXPECT_GE(depth, 20);
    CheckTree(*model);
    const float origin[3] = {1.0f, 5.0f, 0.0f};
    const float down[3] = {0, -1, 0};
    ASSERT_TRUE(model->IntersectRay(origin, down, true, 0.0f, 10.0f));
    int a = -1;
    model->GetCollidingTriangleIndices(&a, nullptr);
    EXPECT_EQ(a, 0);
}

TEST(CollisionTree, NodeStackKeepsOrderPastItsInlineEntries)
{
    auto model = BuildModel(test::TriangleSoup(300, 3));
    CollisionNodeStack stack;
    for (int i = 0; i < 300; ++i) {
        stack.Push(&model->Triangle(i));
    }
    for (int i = 299; i >= 0; --i) {
        ASSERT_FALSE(stack.Empty());
        ASSERT_EQ(stack.Pop(), &model->Triangle(i));
    }
    EXPECT_TRUE(stack.Empty());
}

TEST(CollisionTree, FactoryMakesAnEmptyModel)
{
    std::unique_ptr<CMeshCollisionModel> model(CreateMeshCollisionModel(true));
    ASSERT_NE(model, nullptr);
    model->Finalize();
    float point[3] = {1, 1, 1};
    EXPECT_TRUE(model->GetCollisionPoint(point, false));
    EXPECT_EQ(point[0] + point[1] + point[2], 0.0f);
}

} // namespace
