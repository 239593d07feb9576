// The sector files read back from the sample data's own writers, and every
// broken variant leaving that part of the sector empty.
#include "world/world_fixture.h"

#include "graphics/DataFileReader.h"
#include "shell/FileManager.h"
#include "shell/Game.h"
#include "shell/Settings.h"
#include "shell/Keywords.h"
#include "shell/Log.h"
#include "world/LandscapeSector.h"
#include "world/Prop.h"
#include "world/SectorShapeFile.h"
#include "writers/FileBytes.h"
#include "writers/SectorFiles.h"
#include "writers/SectorMeshOrder.h"

#include <btBulletDynamicsCommon.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <cstring>
#include <string>
#include <vector>

namespace {

const std::uint8_t* Bytes(const std::string& s)
{
    return reinterpret_cast<const std::uint8_t*>(s.data());
}

void PutU32(std::string& s, std::size_t at, std::uint32_t v)
{
    std::memcpy(&s[at], &v, 4);
}

tools::SectorMeshData Square()
{
    tools::SectorMeshData m;
    tools::SectorVertex a{}, b{}, c{}, d{};
    a = {0, 1, 0};
    b = {4, 1, 0};
    c = {0, 1, 4};
    d = {4, 1, 4};
    m.AddQuad(a, b, c, d);
    return m;
}

TEST(SectorMeshFile, SoundFileLoadsAndBrokenOnesStayEmpty)
{
    const std::string good = tools::EncodeSectorMesh(Square());
    SectorMesh mesh;
    ASSERT_EQ(ParseSectorMesh(Bytes(good), static_cast<std::uint32_t>(good.size()), &mesh), 1);
    EXPECT_EQ(mesh.numVerts, 4u);
    EXPECT_EQ(mesh.numTris, 2u);
    EXPECT_FLOAT_EQ(mesh.verts[1].x, 4.0f);
    EXPECT_EQ(mesh.verts[3].diffuse, 0xFFFFFFFFu);
    FreeSectorMesh(&mesh);

    std::string truncated = good.substr(0, good.size() - 1);
    std::string badIndex = good;
    badIndex[8 + 44 * 4 + 2] = 4; // second index names vertex 4 of 4
    std::string tooMany = good;
    PutU32(tooMany, 0, 65537);
    std::string hugeTriangles = good;
    PutU32(hugeTriangles, 4, 0xFFFFFFFFu);
    for (const std::string* bad : {&truncated, &badIndex, &tooMany, &hugeTriangles}) {
        EXPECT_EQ(ParseSectorMesh(Bytes(*bad), static_cast<std::uint32_t>(bad->size()), &mesh), 0);
        EXPECT_EQ(mesh.verts, nullptr);
        EXPECT_EQ(mesh.numVerts, 0u);
    }
}

// A road patch of 8 x 8 quads at height 16.05.
std::string RoadShape(std::vector<float>* xyz, std::vector<std::uint32_t>* idx)
{
    for (int z = 0; z <= 8; ++z)
        for (int x = 0; x <= 8; ++x)
            xyz->insert(xyz->end(), {static_cast<float>(x * 4), 16.05f, static_cast<float>(z * 4)});
    for (int z = 0; z < 8; ++z)
        for (int x = 0; x < 8; ++x) {
            const std::uint32_t a = z * 9 + x;
            idx->insert(idx->end(), {a, a + 9, a + 1, a + 1, a + 9, a + 10});
        }
    return tools::EncodeMeshShape(*xyz, *idx);
}

TEST(SectorShapeFile, CorruptBlobsAreRefusedBeforeBulletSeesThem)
{
    std::vector<float> xyz;
    std::vector<std::uint32_t> idx;
    const std::string good = RoadShape(&xyz, &idx);
    SectorShapeData data;
    ASSERT_EQ(ParseSectorShape(Bytes(good), static_cast<std::uint32_t>(good.size()), &data), 1);
    EXPECT_EQ(data.numVerts, 81u);
    EXPECT_EQ(data.numIndices, 8u * 8u * 6u);
    FreeSectorShape(&data);

    std::uint32_t b;
    std::memcpy(&b, good.data(), 4);
    const std::size_t tail = 4 + b; // V, then I
    // Node entries start right after the object in the blob; a leaf's
    // triangle index, an internal node's escape.
    std::string badCount = good, badIndex = good, notTriples = good, shortBvh = good, badNode = good;
    PutU32(badIndex, good.size() - 4, 81);
    PutU32(notTriples, tail + 4, static_cast<std::uint32_t>(idx.size() - 1));
    PutU32(shortBvh, 0, b - 16);
    // Every node entry's last 4 bytes made a triangle index far past the mesh.
    const std::size_t nodes = 4 + sizeof(btQuantizedBvh);
    for (std::size_t at = nodes + 12; at + 4 <= 4 + b; at += 16)
        PutU32(badNode, at, 100000);
    // The node count in the header made negative.
    std::string negative = good;
    for (std::size_t at = 4; at + 4 <= nodes; at += 4) {
        std::int32_t v;
        std::memcpy(&v, &negative[at], 4);
        if (v == 8 * 8 * 2 * 2 - 1) { // a full tree over 128 triangles has 255 nodes
            PutU32(negative, at, 0x80000001u);
            break;
        }
    }
    const struct {
        const char* what;
        const std::string* bytes;
    } cases[] = {{"index past the vertices", &badIndex},   {"index count not triples", &notTriples},
                 {"tree shorter than its header says", &shortBvh}, {"leaf past the triangles", &badNode},
                 {"negative node count", &negative},       {"empty", &badCount}};
    badCount.resize(3);
    for (const auto& c : cases) {
        EXPECT_EQ(ParseSectorShape(Bytes(*c.bytes), static_cast<std::uint32_t>(c.bytes->size()), &data), 0) << c.what;
        EXPECT_EQ(data.bvhBuffer, nullptr) << c.what;
    }
    EXPECT_NE(negative, good) << "the node count was found in the header";
}

class SectorFiles : public test::LandscapeTest {
protected:
    void TearDown() override
    {
        test::LandscapeTest::TearDown();
        if (g_Game.m_pDynamicsWorld) {
            EXPECT_EQ(g_Game.m_pDynamicsWorld->getNumCollisionObjects(), 0);
            g_Game.ReleasePhysics();
        }
    }
    // A 2 x 2 map of sectors of 10 cells; sector (0, 0) gets the files.
    void LoadMap()
    {
        tools::LandscapeMaps m = test::SmallMap(20);
        m.frame.sectorsPerSide = 2;
        m.frame.cellsPerSector = 10;
        ASSERT_EQ(test::LoadMaps(m, 1), 1);
    }
    static void Write(const char* name, const std::string& bytes)
    {
        ASSERT_TRUE(tools::WriteFileBytes(std::string("Data/Landscape/00_00/") + name, bytes));
    }
};

TEST_F(SectorFiles, PlacedObjectRecordsAndTheirEnd)
{
    const std::vector<tools::PlacedObjectLine> objects = {
        {"Data/Static/Props/Bench01/Main.obj", -12.5f, 16.0f, 30.25f, -12.5f, 16.0f, 40.0f},
        {"Data/Static/Cafes/Table/Main.obj", 1.0f, 2.0f, -3.0f, 4.0f, 5.0f, 6.0f},
    };
    std::string withMarker = tools::EncodeStaticObjects(objects);
    const std::string withoutMarker = withMarker.substr(0, withMarker.find("////"));
    // A record whose path line is too short to hold a path, then a sound one.
    std::string shortLine = "h\nh\nh\nshort key\n" + withMarker.substr(withMarker.find("Position"));
    const struct {
        const char* what;
        std::string text;
        int records;
    } cases[] = {{"marker", withMarker, 2}, {"no marker", withoutMarker, 2}, {"short path line", shortLine, 1}};
    g_bFileManager = 0;
    g_FileManager.Init();
    for (const auto& c : cases) {
        ASSERT_TRUE(tools::WriteFileBytes("objects.obj", c.text));
        const FileHandle f = g_FileManager.Open("objects.obj", ARCHIVE_OBJECTS);
        ASSERT_NE(f, INVALID_FILE_HANDLE);
        char line[255];
        for (int i = 0; i < 3; ++i)
            g_FileManager.ReadLine(line, sizeof line, f);
        PlacedObjectRecord r;
        int n = 0;
        while (ReadPlacedObject(f, &r) && n < 10) {
            if (n == 0 && c.records == 2) {
                EXPECT_STREQ(r.path, "Data/Static/Props/Bench01/Main.obj") << c.what;
                EXPECT_FLOAT_EQ(r.position.x, -12.5f);
                EXPECT_FLOAT_EQ(r.position.z, 30.25f);
                EXPECT_FLOAT_EQ(r.target.z, 40.0f);
            }
            ++n;
        }
        EXPECT_EQ(n, c.records) << c.what;
        g_FileManager.Close(f);
    }
}

TEST_F(SectorFiles, LoadedSectorHoldsItsMeshesBoundsAndNoFailedProps)
{
    LoadMap();
    Write("Roads.msh", tools::EncodeSectorMesh(Square()));
    Write("RoadsSectoring.msh", tools::EncodeSectorMesh(Square()));
    Write("SideWalks.msh", "\x05");
    Write("StaticObjects.obj", tools::EncodeStaticObjects({{"Data/Static/Nothing/Main.obj", 1, 2, 3, 4, 5, 6}}));
    CLandscapeSector sector;
    sector.Load(0, 0);
    EXPECT_EQ(sector.m_nIndex, 0);
    EXPECT_EQ(sector.m_Roads.numTris, 2u);
    EXPECT_EQ(sector.m_Sectoring.numTris, 2u);
    EXPECT_EQ(sector.m_Walks.verts, nullptr) << "a broken sidewalk file leaves no sidewalks";
    EXPECT_EQ(sector.m_nProps, 0u) << "a record whose description fails to load adds nothing";
    EXPECT_EQ(sector.m_pBody, nullptr);
    // Sector (0, 0) is the north-west square of a map of 80 units.
    EXPECT_FLOAT_EQ(sector.m_vMin.x, -40.0f);
    EXPECT_FLOAT_EQ(sector.m_vMax.z, 40.0f);
    EXPECT_FLOAT_EQ(sector.m_vMin.z, 0.0f);
    EXPECT_FLOAT_EQ(sector.m_Corners[3].x, 0.0f);
    EXPECT_FLOAT_EQ(sector.m_Corners[3].z, 0.0f);
    EXPECT_FLOAT_EQ(sector.m_Corners[4].y, g_Landscape.m_fHeight);
    sector.Release();

    // Without the roads the markings are not read either.
    std::remove("Data/Landscape/00_00/Roads.msh");
    CLandscapeSector bare;
    bare.Load(0, 0);
    EXPECT_EQ(bare.m_Sectoring.numTris, 0u);
    bare.Release();
}

// A damaged city file is skipped as the game goes on; with the log on, the
// log must say which one, or a missing road or route has no cause to find.
TEST_F(SectorFiles, EachSkippedCityFileIsNamedInTheLog)
{
    LoadMap();
    const auto loadSector = [] {
        CLandscapeSector sector;
        sector.Load(0, 0);
        sector.Release();
    };
    const auto loadRoute = [] { g_Landscape.LoadRoute(); };
    const struct {
        const char* file;
        const char* bytes; // null: the file is removed
        void (*load)();
    } cases[] = {
        {"Data/Landscape/00_00/Roads.msh", "\x05", +loadSector},
        {"Data/Landscape/00_00/SideWalks.msh", "12345678\xFF", +loadSector},
        {"Data/Landscape/00_00/MeshShape.dat", "shape", +loadSector},
        {"Data/Landscape/GlobalRoute.dat", "route", +loadRoute},
        {"Data/Landscape/WayPointsMap.dat", nullptr, +loadRoute},
    };
    g_bDebugLog = 1;
    for (const auto& c : cases) {
        if (c.bytes)
            ASSERT_TRUE(tools::WriteFileBytes(c.file, c.bytes));
        else
            std::remove(c.file);
        std::remove("debug.txt");
        c.load();
        EXPECT_NE(test::ReadWholeFile("debug.txt").find(c.file), std::string::npos) << c.file;
    }
    g_bDebugLog = 0;
}

// A sector file far larger than any real one is refused before it is read,
// with a log line; a sector simply without a part has nothing to report.
TEST_F(SectorFiles, OversizedFilesAreRefusedUnreadAndMissingOnesAreQuiet)
{
    LoadMap();
    const struct {
        const char* file;
        bool oversized; // else removed
    } cases[] = {
        {"Data/Landscape/00_00/Roads.msh", true},
        {"Data/Landscape/00_00/MeshShape.dat", true},
        {"Data/Landscape/00_00/SideWalks.msh", false},
    };
    g_bDebugLog = 1;
    for (const auto& c : cases) {
        Write("Roads.msh", tools::EncodeSectorMesh(Square()));
        Write("RoadsSectoring.msh", tools::EncodeSectorMesh(Square()));
        if (c.oversized) {
            ASSERT_TRUE(tools::WriteFileBytes(c.file, "sector"));
            std::filesystem::resize_file(c.file, std::uintmax_t{MAX_MESH_FILE_BYTES} + 1); // sparse
        } else {
            std::remove(c.file);
        }
        std::remove("debug.txt");
        CLandscapeSector sector;
        sector.Load(0, 0);
        const std::string log = test::ReadWholeFile("debug.txt");
        const std::size_t at = log.find(c.file);
        if (c.oversized) {
            ASSERT_NE(at, std::string::npos) << c.file;
            EXPECT_NE(log.find("too large", at), std::string::npos) << c.file;
        } else {
            EXPECT_EQ(at, std::string::npos) << c.file;
        }
        const bool roadsRefused = std::strstr(c.file, "Roads") != nullptr;
        EXPECT_EQ(sector.m_Roads.verts == nullptr, roadsRefused) << c.file;
        EXPECT_EQ(sector.m_pBody, nullptr) << c.file;
        // A refused roads file is still there, so the markings are read.
        EXPECT_EQ(sector.m_Sectoring.numTris, 2u) << c.file;
        sector.Release();
        std::remove(c.file);
    }
    g_bDebugLog = 0;
}

TEST_F(SectorFiles, CollisionBodyJoinsTheWorldNearTheCamera)
{
    LoadMap();
    g_Game.InitPhysics();
    std::vector<float> xyz;
    std::vector<std::uint32_t> idx;
    Write("MeshShape.dat", RoadShape(&xyz, &idx));
    CLandscapeSector sector;
    sector.Load(0, 0);
    ASSERT_NE(sector.m_pBody, nullptr);
    EXPECT_EQ(sector.m_pBody->getUserPointer(), nullptr);
    g_Game.m_pCamera = &g_Game.m_Cameras[0];
    const float r = sector.m_fRadius;
    const struct {
        float beyond;
        int inWorld;
    } steps[] = {{19.0f, 1}, {20.0f, 1}, {21.0f, 0}, {20.0f, 0}, {-5.0f, 1}};
    for (const auto& s : steps) {
        g_Game.m_pCamera->m_vEye = sector.m_vCentre + D3DXVECTOR3(r + s.beyond, 0.0f, 0.0f);
        sector.Update();
        EXPECT_EQ(sector.m_bBodyInWorld, s.inWorld) << s.beyond;
    }
    // A ray from above meets the road surface of the shape.
    const btVector3 from(10.0f, 50.0f, 10.0f), to(10.0f, 0.0f, 10.0f);
    btCollisionWorld::ClosestRayResultCallback hit(from, to);
    g_Game.m_pDynamicsWorld->rayTest(from, to, hit);
    ASSERT_TRUE(hit.hasHit());
    EXPECT_NEAR(hit.m_hitPointWorld.y(), 16.05f, 1e-3f);
    sector.Release();
    EXPECT_EQ(g_Game.m_pDynamicsWorld->getNumCollisionObjects(), 0);
}

} // namespace

namespace {

// The sample city's sector with shops and lamp posts, loaded from the build's
// sample data: its lamps wake within 40 of the camera and sleep beyond.
TEST(SampleSector, LampsWakeNearTheCamera)
{
    test::LoadSampleCity();
    g_Game.InitPhysics();
    const std::filesystem::path previous = std::filesystem::current_path();
    std::filesystem::current_path(std::string(MORVAINE_BUILD_DIR) + "/run");
    auto* sector = new CLandscapeSector();
    sector->Load(10, 14);
    std::filesystem::current_path(previous);
    std::vector<CProp*> lamps;
    for (std::uint32_t i = 0; i < sector->m_nProps; ++i)
        if (sector->m_pProps[i]->m_nType == GTYPE_LAMPPOST)
            lamps.push_back(sector->m_pProps[i]);
    ASSERT_FALSE(lamps.empty());
    EXPECT_EQ(lamps[0]->m_nSectorSlot, static_cast<int>(std::find(sector->m_pProps, sector->m_pProps + sector->m_nProps,
                                                                   lamps[0]) - sector->m_pProps));
    g_Game.m_pCamera = &g_Game.m_Cameras[0];
    const struct {
        float beyond;
        bool awake;
    } steps[] = {{41.0f, false}, {39.0f, true}, {39.9f, true}, {41.0f, false}};
    for (const auto& s : steps) {
        g_Game.m_pCamera->m_vEye = sector->m_vCentre + D3DXVECTOR3(sector->m_fRadius + s.beyond, 0.0f, 0.0f);
        sector->Update();
        for (CProp* lamp : lamps)
            EXPECT_EQ(lamp->m_bActive != 0, s.awake) << s.beyond;
    }
    sector->Release();
    delete sector;
    g_Landscape.Release();
    g_Landscape.m_fWorldSize = 0.0f;
    EXPECT_EQ(g_Game.m_pDynamicsWorld->getNumCollisionObjects(), 0);
    g_Game.ReleasePhysics();
}

} // namespace

namespace {

D3DXVECTOR3 At(const tools::SectorVertex& v)
{
    return D3DXVECTOR3(v.x, v.y, v.z);
}

// The normal of a quad's first triangle, as the ground's winding makes it.
D3DXVECTOR3 QuadNormal(const tools::SectorMeshData& m, std::size_t quad)
{
    const D3DXVECTOR3 a = At(m.vertices[quad * 4]), b = At(m.vertices[quad * 4 + 1]), c = At(m.vertices[quad * 4 + 2]);
    const D3DXVECTOR3 ab = b - a, ac = c - a;
    D3DXVECTOR3 n;
    D3DXVec3Cross(&n, &ab, &ac);
    return n;
}

} // namespace

// A walkway cell meeting the road gets a kerb face on each such side: from
// the road's height up to the walkway's, turned towards the road the way the
// ground is turned up, so it is not culled as a back face.
TEST(SampleSector, KerbFacesTheRoadOnEverySideThatMeetsIt)
{
    const struct {
        const char* name;
        std::vector<std::pair<int, int>> roads; // column, row offsets of road cells
    } cases[] = {
        {"no road", {}},
        {"road east", {{1, 0}}},
        {"road north and west", {{0, -1}, {-1, 0}}},
        {"road on all sides", {{0, -1}, {1, 0}, {0, 1}, {-1, 0}}},
    };
    for (const auto& c : cases) {
        tools::LandscapeMaps m = test::SmallMap(20);
        m.SetRoute(5, 5, 4, 0);
        for (const auto& r : c.roads)
            m.SetRoute(5 + r.first, 5 + r.second, 2, 100);
        const tools::SectorMeshes meshes = tools::BuildSectorMeshes(m, 0, 0);
        const tools::SectorMeshData& walks = meshes.sidewalks;
        ASSERT_FALSE(walks.vertices.empty()) << c.name;
        const float paving = walks.vertices[0].y;
        const float road = meshes.roads.vertices.empty() ? 0.0f : meshes.roads.vertices[0].y;
        const float up = QuadNormal(walks, 0).y;
        const D3DXVECTOR3 centre = (At(walks.vertices[0]) + At(walks.vertices[3])) / 2.0f;
        std::size_t faces = 0;
        for (std::size_t q = 0; q < walks.vertices.size() / 4; ++q) {
            float low = paving, high = paving;
            D3DXVECTOR3 middle(0, 0, 0);
            for (int k = 0; k < 4; ++k) {
                low = std::min(low, walks.vertices[q * 4 + k].y);
                high = std::max(high, walks.vertices[q * 4 + k].y);
                middle += At(walks.vertices[q * 4 + k]) / 4.0f;
            }
            if (high - low < 1e-4f) {
                EXPECT_LT(std::fabs(middle.x - centre.x), 2.0f) << c.name << ": the kerb top stays on the walkway";
                EXPECT_LT(std::fabs(middle.z - centre.z), 2.0f) << c.name;
                continue;
            }
            ++faces;
            EXPECT_NEAR(low, road, 1e-4f) << c.name << ": the face reaches down to the road";
            EXPECT_NEAR(high, paving, 1e-4f) << c.name;
            D3DXVECTOR3 outward = middle - centre;
            outward.y = 0.0f;
            const D3DXVECTOR3 normal = QuadNormal(walks, q);
            EXPECT_GT(D3DXVec3Dot(&normal, &outward) * up, 0.0f) << c.name << ": face " << q;
        }
        EXPECT_EQ(faces, c.roads.size()) << c.name;
    }
}

// The files hold the meshes in the order the game draws them as read: the
// same triangles, the vertices in the order the triangles first use them,
// none left unused.
TEST(SectorMeshOrder, SameTrianglesWithVerticesInFirstUseOrder)
{
    tools::LandscapeMaps m = test::SmallMap(20);
    for (int column = 2; column < 15; ++column)
        m.SetRoute(column, 6, 2, 100);
    for (int row = 2; row < 15; ++row)
        m.SetRoute(8, row, 2, 100);
    tools::SectorMeshData mesh = tools::BuildSectorMeshes(m, 0, 0).roads;
    ASSERT_GT(mesh.indices.size(), 30u);
    auto corners = [](const tools::SectorMeshData& d) {
        std::vector<std::vector<float>> triangles;
        for (std::size_t t = 0; t + 2 < d.indices.size(); t += 3) {
            std::vector<float> c;
            for (int k = 0; k < 3; ++k) {
                const tools::SectorVertex& v = d.vertices[d.indices[t + k]];
                c.insert(c.end(), {v.x, v.y, v.z, v.u0, v.v0});
            }
            triangles.push_back(c);
        }
        std::sort(triangles.begin(), triangles.end());
        return triangles;
    };
    const auto before = corners(mesh);
    tools::OrderForVertexCache(&mesh);
    EXPECT_EQ(corners(mesh), before);
    std::size_t next = 0;
    for (std::uint16_t i : mesh.indices) {
        ASSERT_LE(i, next) << "a vertex is used before every one stored ahead of it";
        if (i == next)
            ++next;
    }
    EXPECT_EQ(next, mesh.vertices.size()) << "no vertex is left unused";
}
