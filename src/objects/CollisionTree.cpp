#include "objects/CollisionTree.h"

#include <algorithm>
#include <cmath>
#include <memory>

namespace {

// The smaller and larger of two coordinates as std::fmin and std::fmax give
// them (a NaN loses to a number), without their library calls: the tree
// build makes six of each per triangle at every level.
inline float Lower(float a, float b)
{
    return (a < b || b != b) ? a : b;
}

inline float Higher(float a, float b)
{
    return (a > b || b != b) ? a : b;
}

} // namespace

CCollisionTreeLeaf::CCollisionTreeLeaf(const CollisionVec3& corner1, const CollisionVec3& corner2,
                                       const CollisionVec3& corner3)
    : triangle(corner1, corner2, corner3)
{
    const CollisionVec3 low = {Lower(Lower(corner1.x, corner2.x), corner3.x),
                               Lower(Lower(corner1.y, corner2.y), corner3.y),
                               Lower(Lower(corner1.z, corner2.z), corner3.z)};
    const CollisionVec3 high = {Higher(Higher(corner1.x, corner2.x), corner3.x),
                                Higher(Higher(corner1.y, corner2.y), corner3.y),
                                Higher(Higher(corner1.z, corner2.z), corner3.z)};
    SetBox(low, Subtract(high, low));
}

CCollisionTreeLeaf* CCollisionTreeLeaf::GetTriangle(int index) const
{
    return index == 0 ? const_cast<CCollisionTreeLeaf*>(this) : nullptr;
}

CCollisionTreeBranch::~CCollisionTreeBranch()
{
    if (ownsChild0 && child0 != nullptr) {
        delete child0;
    }
    if (ownsChild1 && child1 != nullptr) {
        delete child1;
    }
}

CCollisionTreeNode* CCollisionTreeBranch::GetChild(int index) const
{
    if (index == 0) {
        return child0;
    }
    return index == 1 ? child1 : nullptr;
}

CCollisionTreeLeaf* CCollisionTreeBranch::GetTriangle(int index) const
{
    if (index < 0 || index >= GetTriangleCount()) {
        return nullptr;
    }
    return triangles[static_cast<size_t>(index)];
}

namespace {

void WidenBounds(const CollisionVec3& v, float low[3], float high[3])
{
    for (int k = 0; k < 3; ++k) {
        low[k] = Lower(low[k], v[k]);
        high[k] = Higher(high[k], v[k]);
    }
}

// The branch's box becomes the bounds of its triangles' corners; a flat axis
// is widened to 0.002. Answers the mean of the triangles' centres.
CollisionVec3 FitBoxAndMean(CCollisionTreeBranch* branch)
{
    float low[3] = {9e9f, 9e9f, 9e9f};
    float high[3] = {-9e9f, -9e9f, -9e9f};
    CollisionVec3 sum = g_CollisionZeroVector;
    for (const CCollisionTreeLeaf* leaf : branch->triangles) {
        WidenBounds(leaf->triangle.vertex1, low, high);
        WidenBounds(leaf->triangle.vertex2, low, high);
        WidenBounds(leaf->triangle.vertex3, low, high);
        sum = Add(sum, leaf->triangle.centre);
    }
    float position[3];
    float size[3];
    for (int k = 0; k < 3; ++k) {
        position[k] = low[k];
        size[k] = high[k] - low[k];
        if (size[k] == 0.0f) {
            size[k] = 0.002f;
            position[k] -= 0.001f;
        }
    }
    branch->SetBox(CollisionVec(position), CollisionVec(size));
    return Scale(sum, 1.0f / static_cast<float>(branch->triangles.size()));
}

// The axis along which the centres spread most (summed absolute deviation
// from the split point); ties go to the earlier axis.
int ChooseSplitAxis(const CCollisionTreeBranch& branch, const CollisionVec3& split)
{
    float spread[3] = {0.0f, 0.0f, 0.0f};
    for (const CCollisionTreeLeaf* leaf : branch.triangles) {
        for (int k = 0; k < 3; ++k) {
            spread[k] += std::fabs(leaf->triangle.centre[k] - split[k]);
        }
    }
    if (spread[1] > spread[0] && spread[1] > spread[2]) {
        return 1;
    }
    if (spread[2] > spread[0] && spread[2] > spread[1]) {
        return 2;
    }
    return 0;
}

CollisionVec3 WithAxis(const CollisionVec3& v, int axis, float value)
{
    float c[3] = {v.x, v.y, v.z};
    c[axis] = value;
    return CollisionVec(c);
}

// Two child branches from the box cut at the split point, with the held
// triangles distributed in order: strictly below the split goes to child 0.
void MakeChildren(const CCollisionTreeBranch& branch, int axis, float split,
                  std::unique_ptr<CCollisionTreeBranch> children[2])
{
    children[0] = std::make_unique<CCollisionTreeBranch>();
    children[1] = std::make_unique<CCollisionTreeBranch>();
    const float low = branch.position[axis];
    children[0]->SetBox(branch.position, WithAxis(branch.size, axis, split - low));
    children[1]->SetBox(WithAxis(branch.position, axis, split),
                        WithAxis(branch.size, axis, branch.size[axis] - (split - low)));
    size_t below = 0;
    for (const CCollisionTreeLeaf* leaf : branch.triangles) {
        below += leaf->triangle.centre[axis] < split ? 1 : 0;
    }
    children[0]->triangles.reserve(below);
    children[1]->triangles.reserve(branch.triangles.size() - below);
    for (CCollisionTreeLeaf* leaf : branch.triangles) {
        children[leaf->triangle.centre[axis] < split ? 0 : 1]->triangles.push_back(leaf);
    }
}

// Hangs one split result into its slot: nothing for an empty side, the leaf
// itself for a single triangle, or the branch to be split further.
void PlaceChild(std::unique_ptr<CCollisionTreeBranch>& child, CCollisionTreeNode** slot, uint8_t* owns,
                std::vector<CCollisionTreeBranch*>* pending)
{
    if (child->triangles.empty()) {
        *slot = nullptr;
    } else if (child->triangles.size() == 1) {
        *slot = child->triangles[0];
        *owns = 0;
    } else {
        *slot = child.get();
        *owns = 1;
        pending->push_back(child.release());
    }
    child.reset();
}

void SplitBranch(CCollisionTreeBranch* branch, std::vector<CCollisionTreeBranch*>* pending)
{
    if (branch->triangles.empty()) {
        return;
    }
    const CollisionVec3 split = FitBoxAndMean(branch);
    const int axis = ChooseSplitAxis(*branch, split);
    std::unique_ptr<CCollisionTreeBranch> children[2];
    MakeChildren(*branch, axis, split[axis], children);
    if (children[0]->triangles.empty() || children[1]->triangles.empty()) {
        return; // inseparable by this rule: the branch stays a bucket
    }
    // Nothing below may fail: should memory run out above, the branch simply
    // stays a bucket and the tree still holds every triangle.
    if (pending->capacity() < pending->size() + 2) {
        pending->reserve(std::max<size_t>(16, pending->capacity() * 2));
    }
    std::vector<CCollisionTreeLeaf*>().swap(branch->triangles);
    // Child 1 is pushed first so that child 0 is split first.
    PlaceChild(children[1], &branch->child1, &branch->ownsChild1, pending);
    PlaceChild(children[0], &branch->child0, &branch->ownsChild0, pending);
}

} // namespace

void SplitCollisionTree(CCollisionTreeBranch* root)
{
    std::vector<CCollisionTreeBranch*> pending;
    pending.push_back(root);
    while (!pending.empty()) {
        CCollisionTreeBranch* branch = pending.back();
        pending.pop_back();
        SplitBranch(branch, &pending);
    }
}
