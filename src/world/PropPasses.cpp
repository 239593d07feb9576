// The prop passes: drawing by type mask, the visibility refresh and the
// occlusion by the nearest buildings.
#include "world/Prop.h"
#include "world/PropManager.h"

#include "graphics/SceneLights.h"
#include "graphics/D3DRender.h"
#include "roadusers/HumanManager.h"
#include "roadusers/VehicleManager.h"
#include "world/FieldObjectManager.h"
#include "world/Landscape.h"

// The environment cube draws the props this near the player.
static constexpr float kCubeReach = 60.0f;

void CPropManager::Render(int typeMask)
{
    if (!g_bDrawProps)
        return;
    for (std::uint32_t i = 0; i < m_nProps; ++i)
        if (m_pProps[i]->m_nType & static_cast<std::uint32_t>(typeMask))
            m_pProps[i]->Render(0);
}

void CPropManager::RenderReflectiveEffects(int typeMask)
{
    if (!g_bDrawProps)
        return;
    for (std::uint32_t i = 0; i < m_nProps; ++i)
        if (m_pProps[i]->m_nType & static_cast<std::uint32_t>(typeMask))
            m_pProps[i]->RenderChromeEffects();
}

void CPropManager::RenderLightEffects(int typeMask)
{
    if (!g_bDrawProps)
        return;
    g_D3DRender.SetFogEnable(TRUE);
    for (std::uint32_t i = 0; i < m_nProps; ++i)
        if (m_pProps[i]->m_nType & static_cast<std::uint32_t>(typeMask))
            m_pProps[i]->RenderLightEffects();
    g_SceneLights.ApplyFogColor();
}

void CPropManager::RenderShadowCasters(int typeMask)
{
    if (!g_bDrawProps)
        return;
    for (std::uint32_t i = 0; i < m_nProps; ++i)
        if (m_pProps[i]->m_nType & static_cast<std::uint32_t>(typeMask))
            m_pProps[i]->RenderShadow();
}

bool CPropManager::AnyDrawn(int typeMask) const
{
    if (!g_bDrawProps)
        return false;
    for (std::uint32_t i = 0; i < m_nProps; ++i) {
        const CProp* prop = m_pProps[i];
        if ((prop->m_nType & static_cast<std::uint32_t>(typeMask)) && prop->m_bRender &&
            (prop->m_bVisible || prop->m_fCameraDistance <= kCubeReach))
            return true;
    }
    return false;
}

void CPropManager::RefreshVisibility()
{
    for (std::uint32_t i = 0; i < m_nProps; ++i) {
        m_pProps[i]->UpdateCameraDistance();
        m_pProps[i]->UpdateVisibility();
    }
}

// Buildings come first in the pool, nearest first (the sort): each visible
// one hides the visible props behind it further down the pool, and the
// ground sectors, field objects, cars and pedestrians behind it.
void CPropManager::ApplyBuildingOcclusion()
{
    for (std::uint32_t i = 0; i < m_nProps; ++i) {
        CProp* building = m_pProps[i];
        if (building->m_nType != GTYPE_BUILDING || !building->m_bVisible || !building->BuildOcclusionPlanes())
            continue;
        for (std::uint32_t j = i + 1; j < m_nProps; ++j)
            if (m_pProps[j]->m_bVisible && m_pProps[j]->IsOccluded())
                m_pProps[j]->m_bVisible = 0;
        g_Landscape.CullOccludedSectors();
        g_FieldObjects.CullOccluded();
        g_VehicleManager.CullOccluded();
        g_HumanManager.CullInvisible();
    }
}
