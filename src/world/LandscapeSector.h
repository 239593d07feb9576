// A sector of the landscape: one square of the map with its own roads,
// sidewalks, collision mesh and placed objects, or a filler outside the map
// that only carries a water plane. The landscape streams sectors in and out
// around the camera.
#pragma once

#include "graphics/SceneLights.h"
#include "platform/D3D9.h"
#include "platform/D3DX9.h"
#include "world/LandscapeVertex.h"

#include <cstdint>

class CProp;
class btBvhTriangleMeshShape;
class btRigidBody;
class btTriangleIndexVertexArray;
class btQuantizedBvh;
class btMotionState;

enum { SECTOR_MAX_PROPS = 5120 };

// One of a sector's three drawn meshes: the CPU copy until the first
// activation, the device buffers from then on.
struct SectorMesh {
    LandscapeVertex* verts = nullptr;
    std::uint16_t* indices = nullptr;
    IDirect3DVertexBuffer9* vb = nullptr;
    IDirect3DIndexBuffer9* ib = nullptr;
    std::uint32_t numVerts = 0;
    std::uint32_t numTris = 0;
};

// A record of "StaticObjects.obj".
struct PlacedObjectRecord {
    char path[256];
    D3DXVECTOR3 position;
    D3DXVECTOR3 target;
};

class CLandscapeSector {
public:
    CLandscapeSector();
    CLandscapeSector(const CLandscapeSector&) = delete;
    CLandscapeSector& operator=(const CLandscapeSector&) = delete;

    void Load(int col, int row);
    void InitFiller(int col, int row);
    void Release();
    void SetActive(int active);
    void Update();

    void RenderTerrain();
    void RenderRoads();
    void RenderRoadsSectoring();
    void RenderSideWalks();
    void RenderWater();
    enum class WaterDraw { None, Grid, Patch };
    // What RenderWater draws of this sector now.
    WaterDraw WaterDrawn() const;

    // Tests the sector's props against the segment in order and stops at the
    // first one hit: 1 with the point written (and the object recorded in the
    // ray-hit record), else 0.
    int IntersectProps(const D3DXVECTOR3* from, const D3DXVECTOR3* to, D3DXVECTOR3* hitPoint, int wantPoint);

    void LoadStaticObjects(const char* dir);
    // Hands the sector's place-map cells of one kind to the field objects.
    void BuildFieldObjects(int kind);
    // The pieces of that pass, for a sector placed over several frames:
    // whether the kind still wants placing, the cells a pass walks, the
    // seeding and opening of the kind's record, one cell (the objects it
    // made are returned), and the closing.
    bool FieldPassNeeded(int kind) const;
    int FieldPassCells() const;
    void BeginFieldPass(int kind);
    int PlaceFieldCell(int kind, int cell);
    void EndFieldPass(int kind);
    void LoadCollisionMesh();
    void ComputeBounds();
    void BuildWaterPlane(int opacity);
    void BuildWaterIndices();
    void SetPropsAwake(int awake);
    void ReleaseBody();
    bool IsMapSector() const;

    std::int32_t m_nCol;
    std::int32_t m_nRow;
    // The landscape's folder, a slash and two sector numbers of any width:
    // a long folder name must not cut the sector's own part off.
    char m_szDir[280];
    std::int32_t m_nIndex;
    float m_fDistance;
    std::int32_t m_bVisible;
    std::int32_t m_bActive;
    CLightSet m_LightSet;
    std::int32_t m_nFirstVertex;
    SectorMesh m_Roads;
    SectorMesh m_Sectoring;
    SectorMesh m_Walks;
    IDirect3DIndexBuffer9* m_pWaterIB;
    IDirect3DVertexBuffer9* m_pWaterVB;
    std::uint32_t m_nWaterTris;
    std::int32_t m_bGrassBuilt;
    std::int32_t m_bTreesBuilt;
    std::int32_t m_bStonesBuilt;
    CProp* m_pProps[SECTOR_MAX_PROPS];
    std::uint32_t m_nProps;
    std::int32_t m_bPropsAwake;
    btBvhTriangleMeshShape* m_pShape;
    btRigidBody* m_pBody;
    std::int32_t m_bBodyInWorld;
    D3DXVECTOR3 m_vMin;
    D3DXVECTOR3 m_vMax;
    D3DXVECTOR3 m_Corners[8];
    D3DXVECTOR3 m_vSize;
    D3DXVECTOR3 m_vCentre;
    float m_fRadius;

    // What the collision body is made of, owned with it.
    btTriangleIndexVertexArray* m_pMeshInterface;
    btQuantizedBvh* m_pBvh;
    void* m_pBvhBuffer;
    float* m_pShapeVerts;
    std::uint32_t* m_pShapeIndices;
};

// Reads the next record of an open "StaticObjects.obj" whose three header
// lines are consumed: 1 with the record filled, 0 at the "////" marker or at
// the end of the entry. Records whose path line is too short to hold a path
// are skipped.
int ReadPlacedObject(std::uint32_t file, PlacedObjectRecord* out);

// A sector mesh file's bytes: 1 with the mesh filled (arrays new[]-allocated)
// when the sizes and indices are sound, else 0 and the mesh left empty.
int ParseSectorMesh(const std::uint8_t* data, std::uint32_t size, SectorMesh* mesh);
// Frees the CPU copy and the device buffers of a mesh.
void FreeSectorMesh(SectorMesh* mesh);
