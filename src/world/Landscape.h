// The city's ground: the world frame, the altitude grid, the place and
// way-point maps and the route grid on one fixed 600 x 600 cell grid, the
// height queries and the world ray test, the route builders, and the
// drawing, streaming and device hooks.
#pragma once

#include "platform/D3DX9.h"
#include "platform/D3D9.h"
#include "world/LandscapeVertex.h"
#include "world/RouteCell.h"

#include <cstdint>

class CLandscapeSector;
class CVehicle;
class btHeightfieldTerrainShape;
class btRigidBody;

enum {
    LANDSCAPE_GRID = 600, // capacity of every per-cell grid, per side
    LANDSCAPE_MAX_SECTORS = 1024,
    LANDSCAPE_WATER_TEXTURES = 32,
    LANDSCAPE_SURFACE_TEXTURES = 9,
    ROUTE_MAX_POINTS = 2048, // room of every point list and cell list
};

struct RouteCellPair {
    std::int32_t column;
    std::int32_t row;
};

class CLandscape {
public:
    CLandscape();

    int Init();
    void Release();
    void ReleaseSectors();
    void BuildSectors();
    void Update();
    void UpdateSectorVisibility();
    void Render();
    void RenderTerrainShadow();
    void RenderWater();
    // Whether RenderWater draws anything now: the reflection it shows is
    // needed only then.
    bool IsWaterInView() const;
    void RenderShadowCasters();
    void OnLostDevice();
    void OnResetDevice();
    void OnVehicleBodyBuilt(CVehicle* vehicle);
    void OnVehicleStep(CVehicle* vehicle);

    // Height queries and the world ray test.
    float GetGridAltitude(const D3DXVECTOR3* point) const;
    float GetExactAltitude(const D3DXVECTOR3* point) const;
    int CastRay(const D3DXVECTOR3* from, const D3DXVECTOR3* to, D3DXVECTOR3* hitPoint, int wantPoint);
    int MarchTerrainRay(const D3DXVECTOR3* from, const D3DXVECTOR3* to, D3DXVECTOR3* hitPoint) const;

    // The ground's vertex grids and the shared index lists of the sectors.
    void BuildTerrainMesh();
    void ReleaseTerrainMesh();
    static void ComputeVertexNormals(LandscapeVertex* vertices, const std::uint32_t* indices,
                                     std::uint32_t vertexCount, std::uint32_t indexCount);
    // The CPU side of the two grids, (cells + 1)² vertices each.
    void FillGroundVertices(LandscapeVertex* terrain, LandscapeVertex* water) const;
    int WaterAlpha(int row, int column, float altitude) const;
    // One sector's index list in quads of `step` cells (relative to the
    // sector's first vertex); returns the index count, writing when out is set.
    std::uint32_t BuildDetailIndices(int step, std::uint16_t* out) const;
    // Marks the sectors whose ground vertices share one height and one
    // normal; finer lists of such a sector lie in the same plane.
    void MarkFlatSectors(const LandscapeVertex* terrain);
    // The detail list a sector's ground is drawn with, given the one its
    // distance asks for: a flat sector takes the coarsest there is.
    int GroundDetailLevel(const CLandscapeSector* sector, int wanted) const;
    void RenderSectorDraws(void (CLandscapeSector::*draw)());
    void DrawSectorsNearShadow();
    // The layers of Render and the two looks of RenderWater, each with the
    // states it draws with.
    void RenderGround(bool special);
    void RenderRoads();
    void RenderMarkings();
    void RenderSidewalks();
    int StepWaterFrame();
    void BeginFixedWater();
    void BeginWaterEffect(ID3DXEffect* effect);

    // Sector streaming and the active list.
    // atOnce builds the field objects of the sectors it activates in this
    // call; otherwise they are queued and placed over the next frames.
    void UpdateStreaming(float viewDistance, int atOnce);
    void AddActiveSector(CLandscapeSector* sector);
    void RemoveActiveSector(CLandscapeSector* sector);
    void DeleteFillerSector(CLandscapeSector* sector);
    CLandscapeSector* FindFillerSector(int column, int row);
    void SortActiveSectors();
    void CullOccludedSectors();
    // Streams from scratch around the current camera, whatever it moved.
    void ForceRestream();
    D3DXVECTOR3 SectorStreamCentre(int column, int row) const;

    // The physics heightfield under the whole map.
    void BuildTerrainBody();
    void ReleaseTerrainBody();

    // Route grid.
    void LoadRoute();
    std::uint8_t GetRouteCellType(const D3DXVECTOR3* position) const;
    float GetRouteWidthAt(const D3DXVECTOR3* position) const;
    float GetRoadCentreFactor(const D3DXVECTOR3* position) const;
    RouteCell* FindNearestRouteCell(int type, const D3DXVECTOR3* position, int rings);
    int FindNearestRoutePoint(const D3DXVECTOR3* centre, const D3DXVECTOR3* reference, D3DXVECTOR3* out,
                              int lowestType, int highestType, int rings);
    int PickRandomRoutePointAtDistance(const D3DXVECTOR3* centre, D3DXVECTOR3* out, float radius, int lowestType,
                                       int highestType);
    int SearchGrid(int startColumn, int startRow, int goalColumn, int goalRow, RouteCellPair* outCells,
                   std::uint32_t* outCount, int lowestType, int highestType, int openLimit);
    int FindRoutePath(D3DXVECTOR3* points, std::uint32_t* count, const D3DXVECTOR3* from, const D3DXVECTOR3* to,
                      int lowestType, int highestType, int cutPasses, int halve, int smoothPasses, float laneOffset,
                      int openLimit);
    int FindRandomRoadPath(D3DXVECTOR3* points, std::uint32_t* count, D3DXVECTOR3* position, float distance,
                           int lowestType, int highestType, int openLimit);
    int MakeRandomRoadRoute(D3DXVECTOR3* points, std::uint32_t* count, const D3DXVECTOR3* position,
                            const D3DXVECTOR3* heading, int lowestType, int highestType, int steps);
    int MakeRandomWalkwayRoute(D3DXVECTOR3* points, std::uint32_t* count, const D3DXVECTOR3* position,
                               const D3DXVECTOR3* heading, int lowestType, int highestType, int steps,
                               float lateralOffset);
    int MakeRaceRoute(D3DXVECTOR3* points, std::uint32_t* count, const D3DXVECTOR3* start, int steps);

    // Point-list operations shared by the builders.
    void AppendRouteCellPoint(D3DXVECTOR3* points, std::uint32_t* count, int column, int row) const;
    void OffsetPathToLane(D3DXVECTOR3* points, std::uint32_t count, const RouteCellPair* cells, int lowestType,
                          int highestType, float offset) const;
    void HalvePath(D3DXVECTOR3* points, std::uint32_t* count) const;
    void SmoothPath(D3DXVECTOR3* points, std::uint32_t count, int passes) const;
    void MergeTightPathPoints(D3DXVECTOR3* points, std::uint32_t* count, float radius) const;
    void CutPathCorners(D3DXVECTOR3* points, std::uint32_t* count, int passes, int lowestType,
                        int highestType) const;
    void RemovePathPoint(D3DXVECTOR3* points, std::uint32_t* count, std::uint32_t index) const;
    void DrawRouteDebug();

    // Cell of a world point; false when it lies outside the map (out values
    // then undefined). The clamped form always answers a cell of the map.
    bool CellOf(float x, float z, int* column, int* row) const;
    void ClampedCellOf(float x, float z, int* column, int* row) const;
    const RouteCell& Route(int column, int row) const { return m_Route[row][column]; }
    // The sea and the lakes stand at one level, a fixed share of the height range.
    float WaterLevel() const { return m_fHeight * 0.08f; }

    char m_szDirectory[255];
    float m_fWorldSize;
    std::int32_t m_nCells;
    std::int32_t m_nCellsPerSector;
    std::int32_t m_nSectorsPerSide;
    std::int32_t m_nSectorCount;
    float m_fCellSize;
    float m_fHeight;
    float m_fSectorRadius;
    D3DXVECTOR3 m_vSortPoint;
    D3DXVECTOR3 m_vStreamPoint;
    float m_fViewDistance;
    float m_fRefreshTimer;
    CLandscapeSector* m_pSectors[LANDSCAPE_MAX_SECTORS];
    CLandscapeSector* m_pActiveSectors[LANDSCAPE_MAX_SECTORS];
    std::uint32_t m_nActiveSectors;
    float m_fAltitude[LANDSCAPE_GRID][LANDSCAPE_GRID];
    std::uint8_t m_WayPointsMap[LANDSCAPE_GRID][LANDSCAPE_GRID];
    RouteCell m_Route[LANDSCAPE_GRID][LANDSCAPE_GRID]; // written by LoadRoute alone
    // The rows of m_Route the last load filled; the rows below are empty.
    std::int32_t m_nRouteRows;
    std::uint8_t m_PlaceMap[LANDSCAPE_GRID][LANDSCAPE_GRID];
    std::uint32_t m_nRoadCells;
    std::uint32_t m_nWalkwayCells;
    std::int32_t m_nWaterTextures[LANDSCAPE_WATER_TEXTURES];
    float m_fWaterFrame;
    std::int32_t m_nSurfaceTextures[LANDSCAPE_SURFACE_TEXTURES];
    D3DMATERIAL9 m_Materials[5];
    btHeightfieldTerrainShape* m_pTerrainShape;
    btRigidBody* m_pTerrainBody;
    float* m_pTerrainHeights; // the heightfield's copy of the altitudes, freed with the body
    IDirect3DVertexBuffer9* m_pTerrainVB;
    IDirect3DVertexBuffer9* m_pWaterVB;
    std::uint32_t m_nTerrainVerts;
    std::uint32_t m_nWaterVerts;
    IDirect3DIndexBuffer9* m_pDetailIB[3]; // quads of 1, 2 and 3 cells
    std::uint32_t m_nDetailTris[3];
    std::uint8_t m_bFlatSector[LANDSCAPE_MAX_SECTORS]; // by row * sectors per side + column
    IDirect3DIndexBuffer9* m_pWaterPatchIB;
    std::uint32_t m_nWaterPatchVerts;
    std::uint32_t m_nWaterPatchTris;

    // Counters of the debug overlay, filled by sector streaming.
    int m_nClosedWaterParts;
    int m_nInnerParts;
    // The route debug view, toggled with Insert while "Debug out" is on.
    int m_bRouteDebug;

private:
    int InitFailed();
    int LoadWorldFrame();
    int CheckWorldFrame() const;
    void RebuildLinks(std::uint8_t type, std::uint32_t* counted);
    void ThinWalkways();
    void ClearRoute();
};

extern CLandscape g_Landscape;

// The water level of the whole city.
float LandscapeWaterLevel();

// The terrain height under a point (x and z used).
float GetExactAltitude(const D3DXVECTOR3* position);
