// The pass over the contact manifolds after each physics step: touched
// flags, collision damage for cars and knock-downs of pedestrians hit by cars.
#include "shell/Game.h"

#include "objects/ContactHooks.h"
#include "objects/StaticObject.h"
#include "shell/Keywords.h"
#include "world/Landscape.h"

#include <btBulletDynamicsCommon.h>

#include <vector>

namespace {

// What the pass found, handed on only once the manifolds are done with: a
// handler that swaps or removes a body frees manifolds, which must not
// happen while they are walked.
struct PendingContact {
    CStaticObject* car;   // null: a knock-down of other
    D3DXVECTOR3 localPoint;
    D3DXVECTOR3 normal;
    void* other;
};

std::vector<PendingContact> g_Pending;

D3DXVECTOR3 ToVector(const btVector3& v)
{
    return D3DXVECTOR3(v.x(), v.y(), v.z());
}

bool HasType(const void* object, std::uint32_t type)
{
    return object && object != &g_Landscape && static_cast<const CStaticObject*>(object)->m_nType == type;
}

void QueueKnockDown(void* human)
{
    for (const PendingContact& pending : g_Pending)
        if (!pending.car && pending.other == human)
            return;
    g_Pending.push_back({nullptr, D3DXVECTOR3(0, 0, 0), D3DXVECTOR3(0, 0, 0), human});
}

void MarkTouched(void* object)
{
    if (object != &g_Landscape)
        static_cast<CStaticObject*>(object)->m_bTouched = 1;
}

bool IsLandscapeClass(const void* object)
{
    return object != &g_Landscape && static_cast<const CStaticObject*>(object)->m_nClass == GCLASS_LANDSCAPE;
}

bool HasNewPoint(const btPersistentManifold* manifold)
{
    for (int p = 0; p < manifold->getNumContacts(); ++p)
        if (manifold->getContactPoint(p).getLifeTime() == 1)
            return true;
    return false;
}

// One manifold: the mean of its points gives at most one damage call per
// car, so a car pressed against another by four points is hit once a step.
void ExamineManifold(btPersistentManifold* manifold)
{
    void* a = manifold->getBody0()->getUserPointer();
    void* b = manifold->getBody1()->getUserPointer();
    if (!a || !b)
        return;
    // A pair whose boxes merely overlap keeps an empty manifold (a car over
    // the terrain always has one): only points are a touch.
    const int n = manifold->getNumContacts();
    if (n == 0)
        return;
    MarkTouched(a);
    MarkTouched(b);
    if (IsLandscapeClass(a) || IsLandscapeClass(b))
        return;
    // Terrain pairs are kept in contact on purpose, so every step counts.
    if (a != &g_Landscape && b != &g_Landscape && !HasNewPoint(manifold))
        return;
    btVector3 pointA(0, 0, 0), pointB(0, 0, 0), normal(0, 0, 0);
    for (int p = 0; p < n; ++p) {
        const btManifoldPoint& point = manifold->getContactPoint(p);
        pointA += point.m_localPointA;
        pointB += point.m_localPointB;
        normal += point.m_normalWorldOnB;
    }
    const btScalar scale = btScalar(1) / btScalar(n);
    pointA *= scale;
    pointB *= scale;
    normal *= scale;
    if (HasType(a, GTYPE_VEHICLE))
        g_Pending.push_back({static_cast<CStaticObject*>(a), ToVector(pointA), ToVector(normal), b});
    if (HasType(b, GTYPE_VEHICLE))
        g_Pending.push_back({static_cast<CStaticObject*>(b), ToVector(pointB), ToVector(-normal), a});
    if (HasType(a, GTYPE_HUMAN) && HasType(b, GTYPE_VEHICLE))
        QueueKnockDown(a);
    if (HasType(b, GTYPE_HUMAN) && HasType(a, GTYPE_VEHICLE))
        QueueKnockDown(b);
}

} // namespace

void CGame::ProcessContacts()
{
    g_Pending.clear();
    m_nManifolds = m_pDispatcher->getNumManifolds();
    for (int i = 0; i < m_nManifolds; ++i) {
        btPersistentManifold* manifold = m_pDispatcher->getManifoldByIndexInternal(i);
        ExamineManifold(manifold);
        // The next step starts without these points, so its points are new.
        manifold->clearManifold();
    }
    // Only what this pass queued: a handler that steps or empties anything
    // itself adds nothing to this step's list.
    const std::size_t count = g_Pending.size();
    for (std::size_t i = 0; i < count; ++i) {
        const PendingContact pending = g_Pending[i];
        if (pending.car) {
            if (g_pfnCarContact)
                g_pfnCarContact(pending.car, &pending.localPoint, &pending.normal, pending.other, 0.0f);
        } else if (g_pfnKnockDown) {
            g_pfnKnockDown(static_cast<CStaticObject*>(pending.other));
        }
    }
}
