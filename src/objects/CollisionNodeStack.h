// Depth-first walk of a collision tree for one ray or sphere query.
#pragma once

#include "objects/CollisionTree.h"

#include <vector>

// Last-in, first-out stack of tree nodes. The first 64 entries live in the
// object itself; deeper trees spill to the heap.
class CollisionNodeStack {
public:
    bool Empty() const { return m_count == 0; }

    void Push(const CCollisionTreeNode* node)
    {
        if (m_count < kInline) {
            m_inline[m_count] = node;
        } else {
            m_spill.push_back(node);
        }
        ++m_count;
    }

    const CCollisionTreeNode* Pop()
    {
        --m_count;
        if (m_count < kInline) {
            return m_inline[m_count];
        }
        const CCollisionTreeNode* node = m_spill.back();
        m_spill.pop_back();
        return node;
    }

private:
    static constexpr int kInline = 64;
    const CCollisionTreeNode* m_inline[kInline];
    int m_count = 0;
    std::vector<const CCollisionTreeNode*> m_spill;
};

// Visits the tree depth first: a node whose box fails the box test is
// skipped; a branch with children puts them on the stack from the last
// index down (so child 0 comes next); the triangles of a leaf or a bucket
// are handed to the triangle test from the last index down. Stops, answering
// true, as soon as the triangle test answers true.
template <typename BoxTest, typename TriangleTest>
bool WalkCollisionTree(const CCollisionTreeNode& root, BoxTest overlaps, TriangleTest test)
{
    CollisionNodeStack stack;
    stack.Push(&root);
    while (!stack.Empty()) {
        const CCollisionTreeNode* node = stack.Pop();
        if (!overlaps(*node)) {
            continue;
        }
        if (node->IsLeaf()) {
            if (test(static_cast<const CCollisionTreeLeaf*>(node))) {
                return true;
            }
            continue;
        }
        const CCollisionTreeBranch* branch = static_cast<const CCollisionTreeBranch*>(node);
        if (branch->child0 != nullptr || branch->child1 != nullptr) {
            if (branch->child1 != nullptr) {
                stack.Push(branch->child1);
            }
            if (branch->child0 != nullptr) {
                stack.Push(branch->child0);
            }
            continue;
        }
        for (size_t i = branch->triangles.size(); i-- > 0;) {
            if (test(branch->triangles[i])) {
                return true;
            }
        }
    }
    return false;
}
