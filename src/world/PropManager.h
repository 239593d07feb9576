// The pool of every live city prop: it updates and draws them by type,
// answers which prop is near a point, hides what stands behind the nearest
// building, and starts the shop scene when the player waits at a shop's
// entrance.
#pragma once

#include "platform/D3DX9.h"

#include <cstdint>

class CProp;

enum {
    PROP_POOL_SIZE = 5120, // at most 8192: the building sort's tree holds that many
    PROP_MAX_SHOPS = 64,
};

// Minimum camera distance over ranges of the pool, for the building sort.
class CDistanceTree {
public:
    // False when a distance is not a number.
    bool Build(CProp* const* props, std::uint32_t count);
    void Set(int index, float distance);
    // The first index from `from` on whose distance is below the limit, or -1.
    int FirstBelow(int from, float limit) const;

private:
    int Descend(int node, int lo, int hi, int from, float limit) const;
    int m_nLeaves = 1;
    float m_Min[2 * 8192] = {};
};

class CPropManager {
public:
    int Init();
    void Release();
    void Clear();
    // Creates, loads, places and links a prop; null with the pool full.
    CProp* AddProp(const char* path, const D3DXVECTOR3* position, const D3DXVECTOR3* target, const D3DXVECTOR3* up,
                   int variant);
    void RemoveProp(CProp* prop);
    void LinkProp(CProp* prop, bool skipBridges);
    void UnlinkProp(CProp* prop, bool skipBridges);
    void Update();
    void SortBuildings();
    void SortBuildingsPairwise();
    void CheckShopEntry();
    // Each draw pass takes a sum of type codes and draws the props whose type
    // shares a bit with it.
    void Render(int typeMask);
    void RenderReflectiveEffects(int typeMask);
    void RenderLightEffects(int typeMask);
    void RenderShadowCasters(int typeMask);
    void RefreshVisibility();
    void ApplyBuildingOcclusion();
    CProp* FindPropTouching(int typeMask, const D3DXVECTOR3* position, float radius);
    // The prop of both masks (class mask -1: any class) nearest the position
    // (distance minus radius), below the maximum distance, or null; a tie
    // keeps the earlier prop.
    CProp* FindNearestProp(int classMask, int typeMask, const D3DXVECTOR3* position, float maxDistance);

    // Shop entrances, appended by the shop buildings as they are placed.
    void AddWorkShop(const D3DXVECTOR3* entrance);
    void AddCarShop(const D3DXVECTOR3* entrance);

    CProp* m_pProps[PROP_POOL_SIZE];
    std::uint32_t m_nProps = 0;
    float m_fSortTimer = 10.0f;
    D3DXVECTOR3 m_CarShops[PROP_MAX_SHOPS];
    D3DXVECTOR3 m_WorkShops[PROP_MAX_SHOPS];
    std::uint32_t m_nCarShops = 0;
    std::uint32_t m_nWorkShops = 0;
    // Time since the last entrance check; the shop screens set it to -4.0
    // when the player drives off, so the next check comes 4.5 s later.
    float m_fShopTimer = 0.0f;
};

extern CPropManager g_PropManager;

// Props are drawn only while this is set (a developer key toggles it).
extern int g_bDrawProps;
