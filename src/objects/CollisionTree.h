// The box tree over a collision mesh: branches with two children or a bucket
// of triangles, and leaves that each carry one triangle.
#pragma once

#include "objects/CollisionAxisBox.h"
#include "objects/CollisionTriangle.h"

#include <cstddef>
#include <cstdint>
#include <vector>

class CCollisionTreeLeaf;

class CCollisionTreeNode : public CAxisBox {
public:
    ~CCollisionTreeNode() override = default;
    virtual bool IsLeaf() const = 0;
    virtual int GetChildCount() const = 0;
    virtual CCollisionTreeNode* GetChild(int index) const = 0;
    virtual int GetTriangleCount() const = 0;
    virtual CCollisionTreeLeaf* GetTriangle(int index) const = 0;
};

class CCollisionTreeLeaf : public CCollisionTreeNode {
public:
    CCollisionTreeLeaf(const CollisionVec3& corner1, const CollisionVec3& corner2, const CollisionVec3& corner3);

    bool IsLeaf() const override { return true; }
    int GetChildCount() const override { return 0; }
    CCollisionTreeNode* GetChild(int) const override { return nullptr; }
    int GetTriangleCount() const override { return 1; }
    CCollisionTreeLeaf* GetTriangle(int index) const override;

    CCollisionTriangle triangle;
};

class CCollisionTreeBranch : public CCollisionTreeNode {
public:
    CCollisionTreeBranch() = default;
    CCollisionTreeBranch(const CCollisionTreeBranch&) = delete;
    CCollisionTreeBranch& operator=(const CCollisionTreeBranch&) = delete;
    ~CCollisionTreeBranch() override;

    bool IsLeaf() const override { return false; }
    int GetChildCount() const override { return (child0 != nullptr) + (child1 != nullptr); }
    CCollisionTreeNode* GetChild(int index) const override;
    int GetTriangleCount() const override { return static_cast<int>(triangles.size()); }
    CCollisionTreeLeaf* GetTriangle(int index) const override;

    CCollisionTreeNode* child0 = nullptr;
    uint8_t ownsChild0 = 1; // 0 once child0 is a leaf of the model's triangle store
    CCollisionTreeNode* child1 = nullptr;
    uint8_t ownsChild1 = 1;
    std::vector<CCollisionTreeLeaf*> triangles; // not owned
};

// Builds the tree below a branch that holds the triangles to sort. Works with
// its own stack of branches, so a deep tree cannot overflow the call stack.
void SplitCollisionTree(CCollisionTreeBranch* root);
