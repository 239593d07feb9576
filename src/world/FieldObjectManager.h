// The trees, stones and grass: built per sector when the sector is made,
// stored on the CPU until the sector comes near, drawn in batches while it is
// active.
#pragma once

#include "graphics/TextureManager.h"
#include "world/FieldObjects.h"

#include <cstdint>

class CLandscapeSector;

struct D3DXCOLOR4;

// The objects of one kind placed so far, before EndCell stores them as the
// sector's record. A sector placed over several frames keeps its own and
// swaps them in for each slice.
struct FieldBuildObjects {
    CGrassObject* grass = nullptr;
    std::uint32_t grassCount = 0;
    TreeRecord* trees = nullptr;
    StoneRecord* stones = nullptr;
};

class CFieldObjectManager {
public:
    int Init();
    void Release();
    void Clear();

    void BeginCell(int kind, CLandscapeSector* sector);
    // The sector's corners are not used.
    void EndCell(int kind, CLandscapeSector* sector, const D3DXVECTOR3* corners = nullptr);
    void SetSectorActive(bool on, CLandscapeSector* sector);
    // Exchanges the objects being placed with those held elsewhere.
    void SwapBuild(FieldBuildObjects* other);
    void ReleaseSectorCells(int kind, CLandscapeSector* sector, int list);

    void Update();
    void RefreshVisibility();
    void RenderStones();
    void RenderTrees();
    void RenderGrass();
    void RenderTreeBranches();
    void RenderShadowCasters();
    void ReleaseDeviceObjects();
    void CreateDeviceObjects();
    // The buildings' occlusion pass asks every manager; field objects are
    // too small to be worth hiding.
    void CullOccluded() {}

    // The grass colour under a world point, alpha 1.
    D3DXCOLOR4* GetPlaceColor(D3DXCOLOR4* out, const D3DXVECTOR3* position) const;

    // Used by CreateFieldObject.
    void AddGrass(const D3DXVECTOR3* position);
    void AddTree(const D3DXVECTOR3* position, const D3DXVECTOR3* normal);
    void AddStone(const D3DXVECTOR3* position);

    IDirect3DIndexBuffer9* m_pQuadIndices[3] = {}; // all quads; odd quads; every second odd quad
    std::uint32_t m_bDeviceObjects = 0;
    CGrassObject* m_pGrassBuild = nullptr;
    std::uint32_t m_nGrassBuild = 0;
    GrassRecord* m_pGrass[2][FIELD_MAX_RECORDS] = {};
    // Active count, stored count, records drawn in the last frame.
    std::int32_t m_nGrassFields[3] = {};
    TreeRecord* m_pTrees[2][FIELD_MAX_RECORDS] = {};
    // Active count, stored count, records drawn by the last main-scene branch pass.
    std::int32_t m_nTreeFields[3] = {};
    StoneRecord* m_pStones[2][FIELD_MAX_RECORDS] = {};
    std::int32_t m_nStoneFields[2] = {};
    std::uint8_t* m_pPlaceColor = nullptr;
    std::uint32_t m_nPlaceColorSize = 0;
    TextureId m_nGrassTexture = INVALID_TEXTURE_ID;
    TextureId m_nBranchTextures[2] = {INVALID_TEXTURE_ID, INVALID_TEXTURE_ID};
    D3DMATERIAL9 m_BranchMaterial{};
    // The records being built, until EndCell stores them.
    TreeRecord* m_pTreeBuild = nullptr;
    StoneRecord* m_pStoneBuild = nullptr;
    float m_fUpdateTimer = 0.0f;

private:
    void EndGrass(CLandscapeSector* sector);
    void EndTrees(CLandscapeSector* sector);
    void EndStones(CLandscapeSector* sector);
    int BranchTextureIndex(const CLandscapeSector* sector) const;
    void DrawBranches(TreeRecord* record, bool water, bool counted);
};

extern CFieldObjectManager g_FieldObjects;

// Creates one object of kind (0 grass, 1 tree, 2 stone) into the record
// being built; normal may be null for grass and stones.
void CreateFieldObject(int kind, const D3DXVECTOR3* position, const D3DXVECTOR3* normal);

// Makes the grass record's vertex buffer from its tufts when it has none:
// 1 when it has one after.
int MakeGrassBuffer(GrassRecord* record);
void ReleaseGrassBuffer(GrassRecord* record);

// Frees one record with everything it holds (null is fine).
void FreeGrassRecord(GrassRecord* record);
void FreeTreeRecord(TreeRecord* record);
void FreeStoneRecord(StoneRecord* record);
// Frees the objects placed so far and empties the holder.
void FreeBuildObjects(FieldBuildObjects* objects);
