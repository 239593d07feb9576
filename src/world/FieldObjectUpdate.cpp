// Near trees and stones: fades, physics bodies made and freed, visibility;
// the grass buffers of sectors left far behind.
#include "world/FieldObjectManager.h"

#include "shell/Game.h"
#include "shell/GameTimer.h"
#include "world/LandscapeSector.h"

#include <algorithm>

#include <btBulletDynamicsCommon.h>

namespace {

constexpr float kTreeFar = 600.0f * 0.28f;  // trees are updated and drawn this near
constexpr float kStoneFar = 600.0f * 0.2f;  // stones likewise
constexpr float kBodyDistance = 20.0f;

bool SectorNear(const CLandscapeSector* sector, float distance)
{
    return sector && sector->m_bVisible && sector->m_fDistance <= distance;
}

// Fades the object out between start and end, and gives it a body in the
// world only while the camera is close.
void UpdateObject(CStaticObject* object, const FieldBodyPlace& body, float start, float end)
{
    const float d = object->UpdateCameraDistance();
    object->m_Material.Diffuse.a = 1.0f - std::min(1.0f, std::max(0.0f, d - start) / (end - start));
    btDiscreteDynamicsWorld* world = g_Game.m_pDynamicsWorld;
    if (!world)
        return;
    if (!object->m_bInWorld && d < kBodyDistance) {
        if (!object->m_pRigidBody)
            body.Make(object);
        if (!object->m_pRigidBody)
            return;
        world->addRigidBody(object->m_pRigidBody);
        object->m_bInWorld = 1;
    } else if (object->m_bInWorld && d > kBodyDistance) {
        object->DestroyRigidBody();
    }
}

// Only the sectors near the camera keep their grass on the device; the
// grass pass makes a buffer again when it comes back into range.
void ReleaseFarGrass(GrassRecord* const* records, int count)
{
    for (int i = 0; i < count; ++i) {
        GrassRecord* record = records[i];
        if (record->pVB && (!record->pSector || record->pSector->m_fDistance > FIELD_GRASS_FAR * 2))
            ReleaseGrassBuffer(record);
    }
}

} // namespace

void CFieldObjectManager::Update()
{
    m_fUpdateTimer -= g_GameTimer.m_fDelta;
    if (m_fUpdateTimer > 0.0f)
        return;
    m_fUpdateTimer += 0.125f;
    ReleaseFarGrass(m_pGrass[0], m_nGrassFields[0]);
    for (int i = 0; i < m_nTreeFields[0]; ++i) {
        TreeRecord* record = m_pTrees[0][i];
        if (SectorNear(record->pSector, kTreeFar))
            for (std::uint32_t k = 0; k < record->nTrees; ++k)
                UpdateObject(record->ppTrees[k], record->ppTrees[k]->m_Body, kTreeFar * 0.5f, kTreeFar);
    }
    for (int i = 0; i < m_nStoneFields[0]; ++i) {
        StoneRecord* record = m_pStones[0][i];
        if (SectorNear(record->pSector, kStoneFar))
            for (std::uint32_t k = 0; k < record->nStones; ++k)
                UpdateObject(record->ppStones[k], record->ppStones[k]->m_Body, kStoneFar * 0.5f, kStoneFar);
    }
}

void CFieldObjectManager::RefreshVisibility()
{
    for (int i = 0; i < m_nTreeFields[0]; ++i) {
        TreeRecord* record = m_pTrees[0][i];
        if (SectorNear(record->pSector, kTreeFar))
            for (std::uint32_t k = 0; k < record->nTrees; ++k)
                record->ppTrees[k]->UpdateVisibility();
    }
    for (int i = 0; i < m_nStoneFields[0]; ++i) {
        StoneRecord* record = m_pStones[0][i];
        if (SectorNear(record->pSector, kStoneFar))
            for (std::uint32_t k = 0; k < record->nStones; ++k)
                record->ppStones[k]->UpdateVisibility();
    }
}

void CFieldObjectManager::RenderTrees()
{
    for (int i = 0; i < m_nTreeFields[0]; ++i) {
        TreeRecord* record = m_pTrees[0][i];
        if (!SectorNear(record->pSector, kTreeFar))
            continue;
        for (std::uint32_t k = 0; k < record->nTrees; ++k) {
            CTreeObject* tree = record->ppTrees[k];
            tree->m_LightSet = record->pSector->m_LightSet;
            if (tree->m_bVisible && tree->m_fCameraDistance <= kTreeFar)
                tree->Render(0);
        }
    }
}

void CFieldObjectManager::RenderStones()
{
    for (int i = 0; i < m_nStoneFields[0]; ++i) {
        StoneRecord* record = m_pStones[0][i];
        if (!SectorNear(record->pSector, kStoneFar))
            continue;
        for (std::uint32_t k = 0; k < record->nStones; ++k) {
            CStoneObject* stone = record->ppStones[k];
            stone->m_LightSet = record->pSector->m_LightSet;
            if (stone->m_bVisible && stone->m_fCameraDistance <= kStoneFar)
                stone->Render(0);
        }
    }
}
