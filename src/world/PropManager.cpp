// The prop pool: linking, the building sort, the shop entrances and the
// nearest-prop queries.
#include "world/PropManager.h"

#include "game/CityLogic.h"
#include "roadusers/Vehicle.h"
#include "shell/GameTimer.h"
#include "shell/VectorHelpers.h"
#include "world/Prop.h"

#include <algorithm>
#include <cmath>

int g_bDrawProps = 1;

namespace {

constexpr float kSortPeriod = 0.1f;
constexpr float kShopPeriod = 0.5f;
constexpr float kShopReach = 4.0f;
constexpr float kShopStopSpeed = 5.0f; // km/h
constexpr float kShopBuildingReach = 12.0f;

bool Matches(const CProp* prop, int typeMask)
{
    return (prop->m_nType & static_cast<std::uint32_t>(typeMask)) != 0;
}

bool IsBridgeOrBuilding(const CProp* prop)
{
    return prop->m_nType == GTYPE_BRIDGE || prop->m_nType == GTYPE_BUILDING;
}

} // namespace

static_assert(PROP_POOL_SIZE <= 8192, "the building sort's tree holds 8192 distances");

bool CDistanceTree::Build(CProp* const* props, std::uint32_t count)
{
    m_nLeaves = 1;
    while (m_nLeaves < static_cast<int>(count))
        m_nLeaves *= 2;
    for (int i = 0; i < m_nLeaves; ++i) {
        const float d = i < static_cast<int>(count) ? props[i]->m_fCameraDistance : INFINITY;
        if (std::isnan(d))
            return false;
        m_Min[m_nLeaves + i] = d;
    }
    for (int k = m_nLeaves - 1; k >= 1; --k)
        m_Min[k] = std::min(m_Min[2 * k], m_Min[2 * k + 1]);
    return true;
}

void CDistanceTree::Set(int index, float distance)
{
    int k = m_nLeaves + index;
    m_Min[k] = distance;
    for (k /= 2; k >= 1; k /= 2)
        m_Min[k] = std::min(m_Min[2 * k], m_Min[2 * k + 1]);
}

int CDistanceTree::FirstBelow(int from, float limit) const
{
    return Descend(1, 0, m_nLeaves - 1, from, limit);
}

int CDistanceTree::Descend(int node, int lo, int hi, int from, float limit) const
{
    if (hi < from || !(m_Min[node] < limit))
        return -1;
    if (lo == hi)
        return lo;
    const int mid = (lo + hi) / 2;
    const int left = Descend(2 * node, lo, mid, from, limit);
    return left >= 0 ? left : Descend(2 * node + 1, mid + 1, hi, from, limit);
}

int CPropManager::Init()
{
    for (CProp*& p : m_pProps)
        p = nullptr;
    m_nProps = 0;
    m_nCarShops = m_nWorkShops = 0;
    m_fSortTimer = 10.0f;
    m_fShopTimer = 0.0f;
    return 1;
}

void CPropManager::Release()
{
    Clear();
}

// The marker lists are emptied too: the sectors place every shop again when
// they load, and each load would otherwise list each shop once more.
void CPropManager::Clear()
{
    for (std::uint32_t i = 0; i < m_nProps; ++i) {
        m_pProps[i]->Release();
        delete m_pProps[i];
        m_pProps[i] = nullptr;
    }
    m_nProps = 0;
    m_nCarShops = m_nWorkShops = 0;
    m_fSortTimer = 10.0f;
}

CProp* CPropManager::AddProp(const char* path, const D3DXVECTOR3* position, const D3DXVECTOR3* target,
                             const D3DXVECTOR3* up, int variant)
{
    if (m_nProps >= PROP_POOL_SIZE)
        return nullptr;
    auto* prop = new CProp();
    m_pProps[m_nProps] = prop;
    prop->Load(path, variant);
    prop->Place(position, target, up);
    ++m_nProps;
    return prop;
}

void CPropManager::RemoveProp(CProp* prop)
{
    if (!prop)
        return;
    UnlinkProp(prop, false);
    prop->Release();
    delete prop;
}

void CPropManager::LinkProp(CProp* prop, bool skipBridges)
{
    if (!prop || m_nProps >= PROP_POOL_SIZE || (skipBridges && prop->m_nType == GTYPE_BRIDGE))
        return;
    // A prop linked twice would be updated, drawn and deleted twice.
    for (std::uint32_t i = 0; i < m_nProps; ++i)
        if (m_pProps[i] == prop)
            return;
    m_pProps[m_nProps++] = prop;
}

void CPropManager::UnlinkProp(CProp* prop, bool skipBridges)
{
    if (!prop || (skipBridges && prop->m_nType == GTYPE_BRIDGE))
        return;
    for (std::uint32_t i = 0; i < m_nProps; ++i) {
        if (m_pProps[i] != prop)
            continue;
        for (std::uint32_t k = i; k + 1 < m_nProps; ++k)
            m_pProps[k] = m_pProps[k + 1];
        m_pProps[--m_nProps] = nullptr;
        return;
    }
}

void CPropManager::Update()
{
    for (std::uint32_t i = 0; i < m_nProps; ++i)
        m_pProps[i]->Update();
    SortBuildings();
    CheckShopEntry();
}

// Bridges and buildings move forward in the pool, nearest first, so the
// occlusion pass meets the nearest building first. The order is exactly
// that of exchanging each bridge or building entry with every later entry
// that is nearer (in turn, comparing with the entry just swapped in): such a
// pass moves the entries along the chain of ever nearer ones after it, so
// the sort follows that chain with a minimum tree instead of comparing every
// pair, which took milliseconds with a full pool.
void CPropManager::SortBuildings()
{
    m_fSortTimer += g_GameTimer.m_fDelta;
    if (m_fSortTimer < kSortPeriod)
        return;
    m_fSortTimer = 0.0f;
    static CDistanceTree tree;
    if (!tree.Build(m_pProps, m_nProps)) {
        SortBuildingsPairwise();
        return;
    }
    for (std::uint32_t i = 0; i < m_nProps; ++i) {
        if (!IsBridgeOrBuilding(m_pProps[i]))
            continue;
        CProp* held = m_pProps[i];
        int j = tree.FirstBelow(static_cast<int>(i) + 1, held->m_fCameraDistance);
        while (j >= 0) {
            CProp* nearer = m_pProps[j];
            m_pProps[j] = held;
            tree.Set(j, held->m_fCameraDistance);
            held = nearer;
            j = tree.FirstBelow(j + 1, held->m_fCameraDistance);
        }
        m_pProps[i] = held;
        tree.Set(static_cast<int>(i), held->m_fCameraDistance);
    }
}

// Every pair compared in turn; used when a distance is not a number, which
// a minimum tree cannot order.
void CPropManager::SortBuildingsPairwise()
{
    for (std::uint32_t i = 0; i < m_nProps; ++i) {
        if (!IsBridgeOrBuilding(m_pProps[i]))
            continue;
        for (std::uint32_t j = i + 1; j < m_nProps; ++j) {
            if (m_pProps[i]->m_fCameraDistance > m_pProps[j]->m_fCameraDistance) {
                CProp* t = m_pProps[i];
                m_pProps[i] = m_pProps[j];
                m_pProps[j] = t;
            }
        }
    }
}

void CPropManager::CheckShopEntry()
{
    CVehicle* car = g_pPlayerVehicle;
    if (!car || car->m_nControlMode != 2)
        return;
    m_fShopTimer += g_GameTimer.m_fDelta;
    if (m_fShopTimer < kShopPeriod)
        return;
    m_fShopTimer = 0.0f;
    const std::uint32_t total = m_nWorkShops + m_nCarShops;
    for (std::uint32_t k = 0; k < total; ++k) {
        const D3DXVECTOR3& point = k < m_nWorkShops ? m_WorkShops[k] : m_CarShops[k - m_nWorkShops];
        if (Vec3Distance(&point, &car->m_vPosition) >= kShopReach || std::fabs(car->m_fSpeed) >= kShopStopSpeed)
            continue;
        CProp* building = FindNearestProp(GCLASS_LANDSCAPE, GTYPE_BUILDING, &point, kShopBuildingReach);
        if (!building)
            return;
        g_CityLogic.SetScene(SCENE_SHOP_VISIT, car, building);
    }
}

CProp* CPropManager::FindPropTouching(int typeMask, const D3DXVECTOR3* position, float radius)
{
    for (std::uint32_t i = 0; i < m_nProps; ++i) {
        CProp* p = m_pProps[i];
        if (Matches(p, typeMask) && Vec3Distance(position, &p->m_vPosition) - p->m_fSphereRadius - radius < 0.0f)
            return p;
    }
    return nullptr;
}

CProp* CPropManager::FindNearestProp(int classMask, int typeMask, const D3DXVECTOR3* position, float maxDistance)
{
    CProp* best = nullptr;
    float bestDistance = maxDistance;
    for (std::uint32_t i = 0; i < m_nProps; ++i) {
        CProp* p = m_pProps[i];
        if (!Matches(p, typeMask))
            continue;
        if (classMask != -1 && (p->m_nClass & static_cast<std::uint32_t>(classMask)) == 0)
            continue;
        const float d = Vec3Distance(position, &p->m_vPosition) - p->m_fSphereRadius;
        if (d < bestDistance) {
            bestDistance = d;
            best = p;
        }
    }
    return best;
}

// A 65th entrance has no room: it is dropped rather than written past the list.
void CPropManager::AddWorkShop(const D3DXVECTOR3* entrance)
{
    if (m_nWorkShops < PROP_MAX_SHOPS)
        m_WorkShops[m_nWorkShops++] = *entrance;
}

void CPropManager::AddCarShop(const D3DXVECTOR3* entrance)
{
    if (m_nCarShops < PROP_MAX_SHOPS)
        m_CarShops[m_nCarShops++] = *entrance;
}
