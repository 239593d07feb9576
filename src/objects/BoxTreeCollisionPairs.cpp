// Model-against-model query of the box-tree model: both trees are walked in
// step with an explicit stack of node pairs.
#include "objects/BoxTreeCollisionModel.h"

#include "platform/Win32Time.h"

#include <algorithm>

namespace {

// A limit of 0 stands for 2^24 - 1 ms.
const DWORD kDefaultTimeLimitMs = 16777215;

struct NodePair {
    const CCollisionTreeNode* mine;
    const CCollisionTreeNode* other;
};

// Starts at the larger of 64 and the larger triangle count over 16, and
// doubles whenever more than half of it is in use, checked before each pop:
// the at most two pairs a step adds then always fit.
class NodePairStack {
public:
    explicit NodePairStack(int largerTriangleCount)
    {
        m_pairs.reserve(std::max<size_t>(64, static_cast<size_t>(largerTriangleCount) >> 4));
    }
    bool Empty() const { return m_pairs.empty(); }
    void Push(const CCollisionTreeNode* mine, const CCollisionTreeNode* other) { m_pairs.push_back({mine, other}); }
    void GrowWhenHalfFull()
    {
        if (m_pairs.size() > m_pairs.capacity() / 2) {
            m_pairs.reserve(m_pairs.capacity() * 2);
        }
    }
    NodePair Pop()
    {
        const NodePair top = m_pairs.back();
        m_pairs.pop_back();
        return top;
    }

private:
    std::vector<NodePair> m_pairs;
};

// A root without triangles and children: the model has no triangles.
bool IsEmptyTree(const CCollisionTreeNode& root)
{
    return root.GetTriangleCount() == 0 && root.GetChildCount() == 0;
}

float Volume(const CAxisBox& box)
{
    return box.size.x * box.size.y * box.size.z;
}

// The pair pushed last, with child 1, is examined first.
void Descend(const NodePair& pair, NodePairStack* stack)
{
    const CCollisionTreeNode* a = pair.mine;
    const CCollisionTreeNode* b = pair.other;
    bool intoOther;
    if (a->GetChildCount() == 0) {
        intoOther = true;
    } else if (b->GetChildCount() == 0) {
        intoOther = false;
    } else {
        intoOther = Volume(*a) <= Volume(*b);
    }
    if (intoOther) {
        stack->Push(a, b->GetChild(0));
        stack->Push(a, b->GetChild(1));
    } else {
        stack->Push(a->GetChild(0), b);
        stack->Push(a->GetChild(1), b);
    }
}

} // namespace

bool CBoxTreeCollisionModel::TrianglePairsOverlap(const CCollisionTreeNode& a, const CCollisionTreeNode& b,
                                                  const CBoxTreeCollisionModel& other,
                                                  const CRelativeTransform& relative)
{
    for (int j = 0; j < b.GetTriangleCount(); ++j) {
        const CCollisionTreeLeaf* leafB = b.GetTriangle(j);
        const CCollisionTriangle carried(TransformPoint(leafB->triangle.vertex1, relative.matrix),
                                         TransformPoint(leafB->triangle.vertex2, relative.matrix),
                                         TransformPoint(leafB->triangle.vertex3, relative.matrix));
        for (int i = 0; i < a.GetTriangleCount(); ++i) {
            const CCollisionTreeLeaf* leafA = a.GetTriangle(i);
            if (carried.Intersects(leafA->triangle)) {
                m_collidingA = leafA->triangle;
                m_collidingIndexA = IndexOf(leafA);
                m_collidingB = carried;
                m_collidingIndexB = other.IndexOf(leafB);
                return true;
            }
        }
    }
    return false;
}

bool CBoxTreeCollisionModel::CollideWithModel(CMeshCollisionModel* other, int accuracyDepth, int timeLimitMs,
                                              const float* otherMatrix)
{
    m_lastQuery = COLLISION_QUERY_MODEL;
    if (!m_finalized) {
        throw Inconsistency();
    }
    const CBoxTreeCollisionModel* otherModel = dynamic_cast<const CBoxTreeCollisionModel*>(other);
    if (otherModel == nullptr || !otherModel->m_finalized) {
        throw Inconsistency();
    }
    CollisionMatrix toModel;
    if (!WorldToModel(&toModel) || IsEmptyTree(m_root) || IsEmptyTree(otherModel->m_root)) {
        return false;
    }
    const CollisionMatrix otherToWorld = otherMatrix != nullptr ? MatrixFromFloats(otherMatrix) : otherModel->m_transform;
    const CRelativeTransform relative = MakeRelativeTransform(Multiply(otherToWorld, toModel));
    const DWORD limit = timeLimitMs > 0 ? static_cast<DWORD>(timeLimitMs) : kDefaultTimeLimitMs;
    const DWORD start = GetTickCount();
    NodePairStack stack(std::max(TriangleCount(), otherModel->TriangleCount()));
    stack.Push(&m_root, &otherModel->m_root);
    while (!stack.Empty()) {
        stack.GrowWhenHalfFull();
        // Unsigned difference: the wrap of the millisecond clock is harmless.
        if (GetTickCount() - start >= limit) {
            throw TimeoutExpired();
        }
        const NodePair pair = stack.Pop();
        if (!pair.mine->IntersectsBox(*pair.other, relative)) {
            continue;
        }
        if (pair.mine->GetTriangleCount() >= 1 && pair.other->GetTriangleCount() >= 1) {
            if (TrianglePairsOverlap(*pair.mine, *pair.other, *otherModel, relative)) {
                return true;
            }
            continue;
        }
        Descend(pair, &stack);
    }
    return false;
}
