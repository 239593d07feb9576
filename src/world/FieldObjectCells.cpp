// A sector's field-object records: built while the sector is made, stored
// on the CPU, uploaded when the sector becomes active (the grass only once
// it is near enough to be drawn), freed with it.
#include "world/FieldObjectManager.h"

#include "graphics/D3DRender.h"
#include "shell/Log.h"
#include "world/LandscapeSector.h"

#include <algorithm>
#include <cstring>
#include <utility>

namespace {

const char kCaption[] = "CreateFieldObject() error!";

template <class Record>
int FindRecord(Record* const* list, int count, const CLandscapeSector* sector)
{
    for (int i = 0; i < count; ++i)
        if (list[i]->pSector == sector)
            return i;
    return -1;
}

// Removes entry i, keeping the order of the rest.
template <class Record>
void RemoveAt(Record** list, std::int32_t* count, int i)
{
    for (int k = i; k + 1 < *count; ++k)
        list[k] = list[k + 1];
    --*count;
    list[*count] = nullptr;
}

// Moves the sector's first record from one list to the end of the other;
// a full destination keeps it where it is. Returns the moved record or null.
template <class Record>
Record* MoveRecord(Record** from, std::int32_t* fromCount, Record** to, std::int32_t* toCount,
                   const CLandscapeSector* sector)
{
    const int i = FindRecord(from, *fromCount, sector);
    if (i < 0 || *toCount >= FIELD_MAX_RECORDS)
        return nullptr;
    Record* record = from[i];
    RemoveAt(from, fromCount, i);
    to[(*toCount)++] = record;
    return record;
}

// A managed vertex buffer of bytes that fill writes; null when the device
// cannot make or lock one.
template <class Fill>
IDirect3DVertexBuffer9* Upload(UINT bytes, DWORD fvf, Fill fill)
{
    IDirect3DDevice9* device = g_D3DRender.m_pDevice;
    IDirect3DVertexBuffer9* buffer = nullptr;
    if (!device || bytes == 0 ||
        device->CreateVertexBuffer(bytes, D3DUSAGE_WRITEONLY, fvf, D3DPOOL_MANAGED, &buffer, nullptr) != D3D_OK)
        return nullptr;
    void* out = nullptr;
    if (buffer->Lock(0, 0, &out, D3DLOCK_DISCARD) != D3D_OK) {
        buffer->Release();
        return nullptr;
    }
    fill(out);
    buffer->Unlock();
    return buffer;
}

void ReleaseBuffer(IDirect3DVertexBuffer9*& buffer)
{
    if (buffer)
        buffer->Release();
    buffer = nullptr;
}

void SetBuiltFlag(int kind, CLandscapeSector* sector, int value)
{
    if (!sector)
        return;
    if (kind == FIELD_GRASS)
        sector->m_bGrassBuilt = value;
    else if (kind == FIELD_TREES)
        sector->m_bTreesBuilt = value;
    else
        sector->m_bStonesBuilt = value;
}

} // namespace

void FreeGrassRecord(GrassRecord* record)
{
    if (!record)
        return;
    delete[] record->pTufts;
    ReleaseBuffer(record->pVB);
    delete record;
}

int MakeGrassBuffer(GrassRecord* record)
{
    if (!record->pVB && record->pTufts)
        record->pVB = Upload(record->nCount * 4 * sizeof(CGrassVertex), GRASS_FVF, [record](void* out) {
            auto* vertices = static_cast<CGrassVertex*>(out);
            for (std::uint32_t i = 0; i < record->nCount; ++i)
                record->pTufts[i].Vertices(vertices + i * 4);
        });
    return record->pVB != nullptr;
}

void ReleaseGrassBuffer(GrassRecord* record)
{
    ReleaseBuffer(record->pVB);
}

void FreeTreeRecord(TreeRecord* record)
{
    if (!record)
        return;
    for (std::uint32_t i = 0; i < record->nTrees; ++i) {
        record->ppTrees[i]->Release();
        record->ppTrees[i]->ReleaseBranches();
        delete record->ppTrees[i];
    }
    delete[] record->ppTrees;
    delete[] record->pBranchVertices;
    ReleaseBuffer(record->pVB);
    delete record;
}

void FreeStoneRecord(StoneRecord* record)
{
    if (!record)
        return;
    for (std::uint32_t i = 0; i < record->nStones; ++i) {
        record->ppStones[i]->Release();
        delete record->ppStones[i];
    }
    delete[] record->ppStones;
    delete record;
}

void CFieldObjectManager::BeginCell(int kind, CLandscapeSector* sector)
{
    ReleaseSectorCells(kind, sector, 0);
    if (kind == FIELD_GRASS) {
        delete[] m_pGrassBuild;
        m_pGrassBuild = new CGrassObject[FIELD_MAX_GRASS];
        m_nGrassBuild = 0;
    } else if (kind == FIELD_TREES) {
        FreeTreeRecord(m_pTreeBuild);
        m_pTreeBuild = new TreeRecord;
        m_pTreeBuild->ppTrees = new CTreeObject*[FIELD_MAX_OBJECTS]();
        m_pTreeBuild->pSector = sector;
    } else if (kind == FIELD_STONES) {
        FreeStoneRecord(m_pStoneBuild);
        m_pStoneBuild = new StoneRecord;
        m_pStoneBuild->ppStones = new CStoneObject*[FIELD_MAX_OBJECTS]();
        m_pStoneBuild->pSector = sector;
    }
}

void CFieldObjectManager::SwapBuild(FieldBuildObjects* other)
{
    std::swap(m_pGrassBuild, other->grass);
    std::swap(m_nGrassBuild, other->grassCount);
    std::swap(m_pTreeBuild, other->trees);
    std::swap(m_pStoneBuild, other->stones);
}

void FreeBuildObjects(FieldBuildObjects* objects)
{
    delete[] objects->grass;
    FreeTreeRecord(objects->trees);
    FreeStoneRecord(objects->stones);
    *objects = FieldBuildObjects{};
}

void CreateFieldObject(int kind, const D3DXVECTOR3* position, const D3DXVECTOR3* normal)
{
    if (!position)
        return;
    if (kind == FIELD_GRASS)
        g_FieldObjects.AddGrass(position);
    else if (kind == FIELD_TREES)
        g_FieldObjects.AddTree(position, normal);
    else if (kind == FIELD_STONES)
        g_FieldObjects.AddStone(position);
}

void CFieldObjectManager::AddGrass(const D3DXVECTOR3* position)
{
    if (!m_pGrassBuild)
        return;
    if (m_nGrassBuild >= FIELD_MAX_GRASS) {
        ErrorBox("Grass objects too much!", kCaption, MB_OK);
        return;
    }
    m_pGrassBuild[m_nGrassBuild++].Create(position);
}

void CFieldObjectManager::AddTree(const D3DXVECTOR3* position, const D3DXVECTOR3* normal)
{
    if (!m_pTreeBuild)
        return;
    if (m_pTreeBuild->nTrees >= FIELD_MAX_OBJECTS) {
        ErrorBox("Trees objects too much!", kCaption, MB_OK);
        return;
    }
    const D3DXVECTOR3 up(0.0f, 1.0f, 0.0f);
    auto* tree = new CTreeObject;
    const int size = std::rand() % 3 + 1;
    const int kind = std::rand() % 4 + 1;
    if (tree->Load(kind, size, position, normal ? normal : &up)) {
        m_pTreeBuild->ppTrees[m_pTreeBuild->nTrees++] = tree;
    } else {
        tree->Release();
        delete tree;
    }
}

void CFieldObjectManager::AddStone(const D3DXVECTOR3* position)
{
    if (!m_pStoneBuild)
        return;
    if (m_pStoneBuild->nStones >= FIELD_MAX_OBJECTS) {
        ErrorBox("Stones objects too much!", kCaption, MB_OK);
        return;
    }
    auto* stone = new CStoneObject;
    const int size = std::rand() % 3 + 1;
    const int kind = std::rand() % 2 + 1;
    if (stone->Load(kind, size, position)) {
        m_pStoneBuild->ppStones[m_pStoneBuild->nStones++] = stone;
    } else {
        stone->Release();
        delete stone;
    }
}

void CFieldObjectManager::EndCell(int kind, CLandscapeSector* sector, const D3DXVECTOR3*)
{
    if (kind == FIELD_GRASS)
        EndGrass(sector);
    else if (kind == FIELD_TREES)
        EndTrees(sector);
    else if (kind == FIELD_STONES)
        EndStones(sector);
}

void CFieldObjectManager::EndGrass(CLandscapeSector* sector)
{
    if (m_nGrassBuild > 0 && m_nGrassFields[1] < FIELD_MAX_RECORDS) {
        auto* record = new GrassRecord;
        record->pTufts = new CGrassObject[m_nGrassBuild];
        std::copy(m_pGrassBuild, m_pGrassBuild + m_nGrassBuild, record->pTufts);
        record->nCount = m_nGrassBuild;
        record->pSector = sector;
        m_pGrass[1][m_nGrassFields[1]++] = record;
        SetBuiltFlag(FIELD_GRASS, sector, 1);
    }
    delete[] m_pGrassBuild;
    m_pGrassBuild = nullptr;
    m_nGrassBuild = 0;
}

void CFieldObjectManager::EndTrees(CLandscapeSector* sector)
{
    TreeRecord* record = m_pTreeBuild;
    m_pTreeBuild = nullptr;
    if (!record)
        return;
    if (record->nTrees == 0 || m_nTreeFields[1] >= FIELD_MAX_RECORDS) {
        FreeTreeRecord(record);
        return;
    }
    auto** trees = new CTreeObject*[record->nTrees];
    std::copy(record->ppTrees, record->ppTrees + record->nTrees, trees);
    delete[] record->ppTrees;
    record->ppTrees = trees;
    // The index buffers hold 4096 quads: trees past that keep no branches.
    std::uint32_t total = 0;
    for (std::uint32_t i = 0; i < record->nTrees; ++i) {
        CTreeObject* tree = trees[i];
        tree->BuildBranches();
        if (total + tree->m_nBranchVertices > FIELD_MAX_QUADS * 4)
            tree->ReleaseBranches();
        total += tree->m_nBranchVertices;
    }
    if (total > 0) {
        record->pBranchVertices = new CBranchVertex[total];
        std::uint32_t at = 0;
        for (std::uint32_t i = 0; i < record->nTrees; ++i) {
            std::copy(trees[i]->m_pBranchVertices, trees[i]->m_pBranchVertices + trees[i]->m_nBranchVertices,
                      record->pBranchVertices + at);
            at += trees[i]->m_nBranchVertices;
            // The record holds the clusters now; the tree's own copy is not drawn.
            trees[i]->ReleaseBranches();
        }
    }
    record->nBranchVertices = total;
    record->pSector = sector;
    m_pTrees[1][m_nTreeFields[1]++] = record;
    SetBuiltFlag(FIELD_TREES, sector, 1);
}

void CFieldObjectManager::EndStones(CLandscapeSector* sector)
{
    StoneRecord* record = m_pStoneBuild;
    m_pStoneBuild = nullptr;
    if (!record)
        return;
    if (record->nStones == 0 || m_nStoneFields[1] >= FIELD_MAX_RECORDS) {
        FreeStoneRecord(record);
        return;
    }
    auto** stones = new CStoneObject*[record->nStones];
    std::copy(record->ppStones, record->ppStones + record->nStones, stones);
    delete[] record->ppStones;
    record->ppStones = stones;
    record->pSector = sector;
    m_pStones[1][m_nStoneFields[1]++] = record;
    SetBuiltFlag(FIELD_STONES, sector, 1);
}

void CFieldObjectManager::SetSectorActive(bool on, CLandscapeSector* sector)
{
    const int from = on ? 1 : 0, to = on ? 0 : 1;
    // The grass pass makes a record's buffer when it first draws it.
    if (GrassRecord* g = MoveRecord(m_pGrass[from], &m_nGrassFields[from], m_pGrass[to], &m_nGrassFields[to], sector))
        if (!on)
            ReleaseBuffer(g->pVB);
    if (TreeRecord* t = MoveRecord(m_pTrees[from], &m_nTreeFields[from], m_pTrees[to], &m_nTreeFields[to], sector)) {
        if (on && !t->pVB && t->pBranchVertices) {
            const UINT bytes = t->nBranchVertices * sizeof(CBranchVertex);
            t->pVB = Upload(bytes, BRANCH_FVF, [t, bytes](void* out) { std::memcpy(out, t->pBranchVertices, bytes); });
            if (t->pVB) {
                delete[] t->pBranchVertices;
                t->pBranchVertices = nullptr;
            }
        } else if (!on) {
            ReleaseBuffer(t->pVB);
        }
    }
    MoveRecord(m_pStones[from], &m_nStoneFields[from], m_pStones[to], &m_nStoneFields[to], sector);
}

void CFieldObjectManager::ReleaseSectorCells(int kind, CLandscapeSector* sector, int list)
{
    if (list < 0 || list > 1)
        return;
    if (sector)
        SetSectorActive(false, sector);
    auto sweep = [sector](auto** records, std::int32_t* count, auto freeRecord) {
        for (int i = 0; i < *count;) {
            if (!sector || records[i]->pSector == sector) {
                freeRecord(records[i]);
                RemoveAt(records, count, i);
            } else {
                ++i;
            }
        }
    };
    if (kind == FIELD_GRASS)
        sweep(m_pGrass[list], &m_nGrassFields[list], FreeGrassRecord);
    else if (kind == FIELD_TREES)
        sweep(m_pTrees[list], &m_nTreeFields[list], FreeTreeRecord);
    else if (kind == FIELD_STONES)
        sweep(m_pStones[list], &m_nStoneFields[list], FreeStoneRecord);
    else
        return;
    SetBuiltFlag(kind, sector, 0);
}
