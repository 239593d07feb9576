// Last-in, first-out stack of tree nodes for one ray or sphere query. The
// first 64 entries live in the object itself; deeper trees spill to the heap.
#pragma once

#include "objects/CollisionTree.h"

#include <vector>

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

    // Children go on from the last index down, so child 0 comes off next.
    // Answers false for a node without children.
    bool PushChildren(const CCollisionTreeNode& node)
    {
        const int count = node.GetChildCount();
        for (int i = count - 1; i >= 0; --i) {
            const CCollisionTreeNode* child = node.GetChild(i);
            if (child != nullptr) {
                Push(child);
            }
        }
        return count > 0;
    }

private:
    static constexpr int kInline = 64;
    const CCollisionTreeNode* m_inline[kInline];
    int m_count = 0;
    std::vector<const CCollisionTreeNode*> m_spill;
};
