// The files of a map sector: its three drawn meshes, its collision mesh and
// its list of placed objects. Every size and index is checked: a broken file
// leaves that part of the sector empty.
#include "world/Landscape.h"
#include "world/LandscapeSector.h"
#include "world/Prop.h"
#include "world/PropManager.h"
#include "world/SectorShapeFile.h"

#include "graphics/DataFileReader.h"
#include "shell/FileManager.h"
#include "shell/Game.h"
#include "shell/Log.h"
#include "shell/Settings.h"

#include <btBulletDynamicsCommon.h>
#include <BulletCollision/CollisionShapes/btOptimizedBvh.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace {

constexpr std::uint32_t kMaxMeshVerts = 65536;

std::uint32_t U32(const std::uint8_t* p)
{
    return static_cast<std::uint32_t>(p[0]) | static_cast<std::uint32_t>(p[1]) << 8 |
           static_cast<std::uint32_t>(p[2]) << 16 | static_cast<std::uint32_t>(p[3]) << 24;
}

// A missing mesh is a sector without that part; a damaged one is skipped
// the same way, but said in the log, or the hole in the road has no cause.
// One that cannot be read whole (empty, cut short, over the cap) is logged
// by the reader. Returns whether the file is there, damaged or not.
bool LoadMeshFile(const char* path, SectorMesh* mesh)
{
    std::vector<std::uint8_t> bytes;
    const DataFileResult read = ReadOptionalDataFile(path, ARCHIVE_WORLD, false, MAX_MESH_FILE_BYTES, &bytes);
    if (read == DataFileResult::NotOpened)
        return false;
    if (read == DataFileResult::Read &&
        !ParseSectorMesh(bytes.data(), static_cast<std::uint32_t>(bytes.size()), mesh))
        LogFileProblem(path, "damaged sector mesh, skipped");
    return true;
}

// The text after column 32 of a line, or "" for a shorter line.
const char* Column32(const char* line)
{
    return std::strlen(line) > 32 ? line + 32 : "";
}

// A position line: x in columns 32-39, y in 41-48, z from column 50 on.
D3DXVECTOR3 ReadPositionLine(FileHandle f)
{
    char skip[33], x[9], sep[2], y[9], z[100];
    g_FileManager.ReadLine(skip, sizeof skip, f);
    g_FileManager.ReadLine(x, sizeof x, f);
    g_FileManager.ReadLine(sep, sizeof sep, f);
    g_FileManager.ReadLine(y, sizeof y, f);
    g_FileManager.ReadLine(sep, sizeof sep, f);
    g_FileManager.ReadLine(z, sizeof z, f);
    return D3DXVECTOR3(static_cast<float>(std::atof(x)), static_cast<float>(std::atof(y)),
                       static_cast<float>(std::atof(z)));
}

} // namespace

int ParseSectorMesh(const std::uint8_t* data, std::uint32_t size, SectorMesh* mesh)
{
    FreeSectorMesh(mesh);
    if (!data || size < 8)
        return 0;
    const std::uint64_t v = U32(data), t = U32(data + 4);
    if (v > kMaxMeshVerts || 8 + 44 * v + 6 * t > size)
        return 0;
    const std::uint8_t* indexData = data + 8 + 44 * v;
    for (std::uint64_t i = 0; i < 3 * t; ++i)
        if (static_cast<std::uint64_t>(indexData[2 * i] | indexData[2 * i + 1] << 8) >= v)
            return 0;
    mesh->numVerts = static_cast<std::uint32_t>(v);
    mesh->numTris = static_cast<std::uint32_t>(t);
    mesh->verts = new LandscapeVertex[v ? v : 1];
    std::memcpy(mesh->verts, data + 8, static_cast<std::size_t>(44 * v));
    mesh->indices = new std::uint16_t[3 * t + 1];
    std::memcpy(mesh->indices, indexData, static_cast<std::size_t>(6 * t));
    return 1;
}

void FreeSectorMesh(SectorMesh* mesh)
{
    delete[] mesh->verts;
    delete[] mesh->indices;
    if (mesh->vb)
        mesh->vb->Release();
    if (mesh->ib)
        mesh->ib->Release();
    *mesh = SectorMesh();
}

int ReadPlacedObject(std::uint32_t file, PlacedObjectRecord* out)
{
    const FileHandle f = file;
    // The end of the entry ends the list as the marker does: a file without
    // the marker would otherwise yield empty lines for ever.
    while (!g_FileManager.IsAtEnd(f)) {
        char line[255];
        g_FileManager.ReadLine(line, sizeof line, f);
        if (std::strstr(line, "////"))
            return 0;
        std::snprintf(out->path, sizeof out->path, "%s", Column32(line));
        out->position = ReadPositionLine(f);
        out->target = ReadPositionLine(f);
        g_FileManager.ReadLine(line, sizeof line, f);
        if (out->path[0])
            return 1;
    }
    return 0;
}

void CLandscapeSector::LoadStaticObjects(const char* dir)
{
    std::srand(static_cast<unsigned>(m_nIndex * 123));
    char path[300];
    std::snprintf(path, sizeof path, "%s/StaticObjects.obj", dir);
    const FileHandle f = g_FileManager.Open(path, ARCHIVE_OBJECTS);
    if (f == INVALID_FILE_HANDLE)
        return;
    char header[255];
    for (int i = 0; i < 3; ++i)
        g_FileManager.ReadLine(header, sizeof header, f);
    PlacedObjectRecord record;
    const D3DXVECTOR3 up(0.0f, 1.0f, 0.0f);
    while (m_nProps < SECTOR_MAX_PROPS && ReadPlacedObject(f, &record)) {
        if (g_nDetails == 0 && (std::strstr(record.path, "/Cafes/") || std::strstr(record.path, "/Garbages/")))
            continue;
        CProp* prop = g_PropManager.AddProp(record.path, &record.position, &record.target, &up, -1);
        if (!prop)
            continue;
        // A description that did not load leaves the prop without a type:
        // nothing to draw or hit, so it is not kept.
        if (prop->m_nType == 0) {
            g_PropManager.RemoveProp(prop);
            continue;
        }
        prop->m_nSectorSlot = static_cast<int>(m_nProps);
        m_pProps[m_nProps++] = prop;
    }
    g_FileManager.Close(f);
    if (!g_bEditorMode)
        for (std::uint32_t i = 0; i < m_nProps; ++i)
            g_PropManager.UnlinkProp(m_pProps[i], true);
}

void CLandscapeSector::LoadCollisionMesh()
{
    if (g_bEditorMode)
        return;
    char path[300];
    std::snprintf(path, sizeof path, "%s/MeshShape.dat", m_szDir);
    std::vector<std::uint8_t> bytes;
    if (ReadOptionalDataFile(path, ARCHIVE_WORLD, false, MAX_MESH_FILE_BYTES, &bytes) != DataFileResult::Read)
        return;
    SectorShapeData shape;
    if (!ParseSectorShape(bytes.data(), static_cast<std::uint32_t>(bytes.size()), &shape)) {
        LogFileProblem(path, "damaged collision mesh, skipped: the sector's buildings cannot be hit");
        return;
    }
    btQuantizedBvh* bvh = btQuantizedBvh::deSerializeInPlace(shape.bvhBuffer, shape.bvhSize, false);
    if (!bvh || shape.numIndices == 0) {
        LogFileProblem(path, "collision mesh without triangles or tree, skipped");
        FreeSectorShape(&shape);
        return;
    }
    m_pBvhBuffer = shape.bvhBuffer;
    m_pBvh = bvh;
    m_pShapeVerts = shape.verts;
    m_pShapeIndices = shape.indices;
    m_pMeshInterface = new btTriangleIndexVertexArray(
        static_cast<int>(shape.numIndices / 3), reinterpret_cast<int*>(m_pShapeIndices), 12,
        static_cast<int>(shape.numVerts), m_pShapeVerts, 16);
    m_pShape = new btBvhTriangleMeshShape(m_pMeshInterface, true, false);
    // The loaded tree is a plain quantized tree: the shape only walks it.
    m_pShape->setOptimizedBvh(reinterpret_cast<btOptimizedBvh*>(bvh));
    m_pShape->setMargin(0.0f);
    btRigidBody::btRigidBodyConstructionInfo info(0.0f, new btDefaultMotionState(), m_pShape,
                                                  btVector3(0.0f, 0.0f, 0.0f));
    m_pBody = new btRigidBody(info);
    // Sector bodies carry no owner: the collision filter treats them as ground.
    m_pBody->setUserPointer(nullptr);
    m_pBody->setCollisionFlags(m_pBody->getCollisionFlags() | btCollisionObject::CF_STATIC_OBJECT);
    m_pBody->setActivationState(ISLAND_SLEEPING);
    m_pBody->setFriction(0.5f);
    m_pBody->setRestitution(0.0f);
}

void CLandscapeSector::ReleaseBody()
{
    if (m_pBody) {
        if (m_bBodyInWorld && g_Game.m_pDynamicsWorld) {
            btDiscreteDynamicsWorld* world = g_Game.m_pDynamicsWorld;
            world->getBroadphase()->getOverlappingPairCache()->cleanProxyFromPairs(m_pBody->getBroadphaseHandle(),
                                                                                   world->getDispatcher());
            world->removeRigidBody(m_pBody);
        }
        delete m_pBody->getMotionState();
        delete m_pBody;
    }
    delete m_pShape;
    delete m_pMeshInterface;
    if (m_pBvh)
        m_pBvh->~btQuantizedBvh();
    SectorShapeData shape;
    shape.bvhBuffer = m_pBvhBuffer;
    shape.verts = m_pShapeVerts;
    shape.indices = m_pShapeIndices;
    FreeSectorShape(&shape);
    m_pBody = nullptr;
    m_pShape = nullptr;
    m_pMeshInterface = nullptr;
    m_pBvh = nullptr;
    m_pBvhBuffer = nullptr;
    m_pShapeVerts = nullptr;
    m_pShapeIndices = nullptr;
    m_bBodyInWorld = 0;
}

void CLandscapeSector::Load(int col, int row)
{
    m_nCol = col;
    m_nRow = row;
    std::snprintf(m_szDir, sizeof m_szDir, "%s/%02d_%02d", g_Landscape.m_szDirectory, col, row);
    const int n = g_Landscape.m_nSectorsPerSide, c = g_Landscape.m_nCellsPerSector, m = g_Landscape.m_nCells;
    m_nIndex = row * n + col;
    m_nFirstVertex = row * c * (m + 1) + col * c;
    char path[300];
    FreeSectorMesh(&m_Roads);
    FreeSectorMesh(&m_Sectoring);
    std::snprintf(path, sizeof path, "%s/Roads.msh", m_szDir);
    if (LoadMeshFile(path, &m_Roads)) {
        std::snprintf(path, sizeof path, "%s/RoadsSectoring.msh", m_szDir);
        LoadMeshFile(path, &m_Sectoring);
    }
    FreeSectorMesh(&m_Walks);
    std::snprintf(path, sizeof path, "%s/SideWalks.msh", m_szDir);
    LoadMeshFile(path, &m_Walks);
    LoadCollisionMesh();
    ComputeBounds();
    LoadStaticObjects(m_szDir);
    SetPropsAwake(0);
}
