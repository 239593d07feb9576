// Every description file of the sample data loads, loose and through the
// archives, with the codes, sections, meshes and textures its object needs.
#include "static_object_fixture.h"

#include "objects/LightsEffect.h"
#include "objects/MaterialEffects.h"
#include "writers/ArchiveWriter.h"
#include "shell/VectorHelpers.h"
#include "writers/LightAtlas.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <filesystem>

namespace {

using test::StaticObjectTest;

struct Expected {
    const char* pathStart;
    std::uint32_t cls, type;
    // Present sub-objects: c chrome, g glass, m light maps, l lights,
    // d direct lights, s spots, h shadow.
    const char* effects;
};

const Expected kExpected[] = {
    {"Data/Static/Buildings/House01/", GCLASS_STATIC, GTYPE_BUILDING, "i"},
    {"Data/Static/Buildings/Tower01/", GCLASS_STATIC, GTYPE_BUILDING, "m"},
    {"Data/Static/Bridges/", GCLASS_STATIC, GTYPE_BRIDGE, ""},
    {"Data/Static/Props/LampPost01/", GCLASS_STATIC, GTYPE_LAMPPOST, "lsh"},
    {"Data/Static/Props/Bench01/", GCLASS_STATIC, GTYPE_DECORS, "h"},
    {"Data/Static/Nature/Trees/", GCLASS_STATIC, GTYPE_TREE, ""},
    {"Data/Static/Nature/Stones/", GCLASS_STATIC, GTYPE_STONE, ""},
    {"Data/Vehicles/Wheels/", GCLASS_VEHICLE, GTYPE_WHEEL, "c"},
    {"Data/Vehicles/", GCLASS_VEHICLE, GTYPE_VEHICLE, "cgdh"},
    {"Data/Humans/", GCLASS_HUMAN, GTYPE_HUMAN, "h"},
    {"Data/Interface/Elements/DirectArrow/", GCLASS_EFFECT, GTYPE_EFFECT, "i"},
};

const Expected* ExpectationFor(const std::string& path)
{
    for (const Expected& e : kExpected)
        if (path.rfind(e.pathStart, 0) == 0)
            return &e;
    return nullptr;
}

std::string EffectsOf(const CStaticObject& o)
{
    std::string s;
    const std::pair<const void*, char> slots[] = {{o.m_pChrome, 'c'}, {o.m_pRGlass, 'g'}, {o.m_pLightMaps, 'm'},
                                                  {o.m_pSelfIllum, 'i'}, {o.m_pLights, 'l'},
                                                  {o.m_pDirectLights, 'd'}, {o.m_pSpots, 's'}, {o.m_pShadow, 'h'}};
    for (const auto& slot : slots)
        if (slot.first)
            s += slot.second;
    return s;
}

class SampleObjectsTest : public StaticObjectTest {
protected:
    void SetUp() override
    {
        StaticObjectTest::SetUp();
        for (const auto& list :
             {tools::SampleObjectDescriptions(), tools::SampleObjectMeshes(), tools::SampleObjectTextures()})
            for (const tools::SampleFile& f : list)
                WriteRaw(f.path, f.bytes);
        for (const tools::NamedMesh& m : tools::SampleMeshes())
            Write(m.name, m.mesh);
        ASSERT_TRUE(tools::PackDataTree("."));
    }
    void TearDown() override
    {
        g_bFileManager = 0;
        g_FileManager.Init();
        StaticObjectTest::TearDown();
    }
};

// Every effect section has the mesh part or point list it draws from, or
// it would draw nothing in the sample city.
void ExpectPartsForEffects(const CStaticObject& o)
{
    const CMeshRecord* m = o.m_pMesh;
    const struct {
        const void* effect;
        std::uint32_t part;
    } parts[] = {{o.m_pChrome, 4}, {o.m_pRGlass, 3}, {o.m_pSelfIllum, 2}, {o.m_pLightMaps, 5}, {o.m_pShadow, 11}};
    for (const auto& p : parts) {
        if (p.effect) {
            EXPECT_GT(m->m_nFrames[p.part], 0u) << "part " << p.part;
        }
    }
    if (o.m_pLights) {
        EXPECT_GT(m->m_nPoints[1], 0u);
    }
    if (o.m_pSpots) {
        EXPECT_GE(m->m_nPoints[3], 2u);
    }
    if (o.m_pDirectLights) {
        for (int list : {1, 2, 3})
            EXPECT_GT(m->m_nPoints[list], 0u) << "list " << list;
    }
    if (o.m_pLightMaps && o.m_pLightMaps->m_nTextureIds[1] != INVALID_TEXTURE_ID) {
        EXPECT_NE(std::string(o.m_pLightMaps->TextureName(1)), o.m_pLightMaps->TextureName(0));
    }
}

TEST_F(SampleObjectsTest, EveryDescriptionLoadsLooseAndFromTheArchives)
{
    for (int fileManager : {0, 1}) {
        g_bFileManager = fileManager;
        g_FileManager.Init();
        if (fileManager) // only the archives are left to read from
            std::filesystem::rename("Data/Static", "Static.moved");
        for (const tools::SampleFile& f : tools::SampleObjectDescriptions()) {
            SCOPED_TRACE(f.path + (fileManager ? " (archives)" : " (loose)"));
            const Expected* e = ExpectationFor(f.path);
            ASSERT_NE(e, nullptr) << "no expectation for this sample file";
            const unsigned boxes = plat::MessageBoxCount();
            CStaticObject o;
            ASSERT_NE(o.Load(f.path.c_str(), 1, -1, 1), INVALID_FILE_HANDLE);
            EXPECT_EQ(plat::MessageBoxCount(), boxes) << plat::LastMessageBoxText();
            EXPECT_EQ(o.m_nClass, e->cls);
            EXPECT_EQ(o.m_nType, e->type);
            EXPECT_EQ(EffectsOf(o), e->effects);
            ASSERT_NE(o.m_pMesh, nullptr);
            EXPECT_GT(o.m_fSphereRadius, 0.0f);
            EXPECT_NE(o.m_nTextureIds[0], INVALID_TEXTURE_ID);
            if (o.m_pChrome) {
                EXPECT_NE(o.m_pChrome->m_nTextureIds[0], INVALID_TEXTURE_ID);
            }
            if (o.m_pLightMaps) {
                EXPECT_NE(o.m_pLightMaps->m_nTextureIds[0], INVALID_TEXTURE_ID);
            }
            ExpectPartsForEffects(o);
            o.Release();
        }
        if (fileManager)
            std::filesystem::rename("Static.moved", "Data/Static");
    }
    EXPECT_EQ(RecordCount(), 0);
}

TEST_F(SampleObjectsTest, SampleObjectsCarryWhatTheirOwnersRead)
{
    CStaticObject car, lamp, tower, house;
    ASSERT_NE(car.Load("Data/Vehicles/01/Main.obj", 1, 2, 0), INVALID_FILE_HANDLE);
    EXPECT_STREQ(car.m_szDisplayName, "Galant S500");
    EXPECT_STREQ(car.TextureName(0), "Data/Vehicles/01/Body01.dds");
    ASSERT_NE(lamp.Load("Data/Static/Props/LampPost01/Main.obj", 1, -1, 1), INVALID_FILE_HANDLE);
    EXPECT_GT(lamp.m_pLights->m_fRange, 0.0f);
    EXPECT_EQ(lamp.m_pMesh->m_nPoints[1], 1u); // the lamp
    EXPECT_EQ(lamp.m_pMesh->m_nPoints[3], 2u); // its cone
    for (int part : {13, 15})
        EXPECT_GT(lamp.m_pMesh->m_nFrames[part], 0u) << part;
    ASSERT_NE(tower.Load("Data/Static/Buildings/Tower01/Main.obj", 1, -1, 1), INVALID_FILE_HANDLE);
    ASSERT_NE(house.Load("Data/Static/Buildings/House01/Main.obj", 1, 0, 1), INVALID_FILE_HANDLE);
    // One tall building fades with distance, one low one does not.
    EXPECT_GT(tower.m_pMesh->m_vBoxSize.y, 30.0f);
    EXPECT_LT(house.m_pMesh->m_vBoxSize.y, 30.0f);
    for (int part : {0, 1, 5, 10, 12})
        EXPECT_GT(tower.m_pMesh->m_nFrames[part], 0u) << part;
    for (CStaticObject* o : {&car, &lamp, &tower, &house})
        o->Release();
}

// Seen from the side its normal points to, every drawn triangle runs
// counter-clockwise: the game culls clockwise triangles, so a mesh wound the
// other way is drawn inside out.
TEST(SampleMeshes, DrawnTrianglesFaceTheirNormals)
{
    std::vector<tools::NamedMesh> meshes = tools::SampleMeshes();
    meshes.push_back({"building", tools::BuildingMesh(12.0f, 10.0f, 16.0f)});
    meshes.push_back({"bridge", tools::BridgeMesh(40.0f, 10.0f, 6.0f)});
    for (int kind = 1; kind <= 4; ++kind) {
        meshes.push_back({"tree " + std::to_string(kind), tools::TreeMesh(kind, 1.0f)});
        meshes.push_back({"stone " + std::to_string(kind), tools::StoneMesh(kind, 1.0f)});
    }
    for (auto make : {tools::LampPostMesh, tools::BenchMesh, tools::WheelMesh, tools::HumanMesh, tools::ArrowMesh})
        meshes.push_back({"prop", make()});
    auto sub = [](const tools::MeshVec3& a, const tools::MeshVec3& b) {
        return D3DXVECTOR3(a[0] - b[0], a[1] - b[1], a[2] - b[2]);
    };
    for (const tools::NamedMesh& m : meshes) {
        for (int part : {0, 1, 5}) {
            const tools::MeshPartData& p = m.mesh.parts[part];
            if (p.frames.empty())
                continue;
            const std::vector<tools::MeshFileVertex>& v = p.frames[0];
            int wrong = 0;
            for (size_t i = 0; i + 2 < p.indices.size(); i += 3) {
                const tools::MeshFileVertex& a = v[p.indices[i]];
                const D3DXVECTOR3 e1 = sub(v[p.indices[i + 1]].position, a.position);
                const D3DXVECTOR3 e2 = sub(v[p.indices[i + 2]].position, a.position);
                D3DXVECTOR3 cross;
                D3DXVec3Cross(&cross, &e1, &e2);
                const D3DXVECTOR3 normal(a.normal[0], a.normal[1], a.normal[2]);
                wrong += D3DXVec3Dot(&cross, &normal) > 0.0f;
            }
            EXPECT_EQ(wrong, 0) << m.name << " part " << part;
        }
    }
}

// Each effect addresses its quarter of the light atlas by fixed texture
// coordinates: bright where they point, dark where a neighbour's picture
// would bleed in.
TEST(LightAtlas, EachQuarterHoldsThePictureItsEffectsAddress)
{
    const tools::ArgbImage atlas = tools::LightAtlasImage();
    auto glow = [&](float u, float v) {
        const unsigned x = static_cast<unsigned>(u * atlas.width), y = static_cast<unsigned>(v * atlas.height);
        return static_cast<int>(atlas.pixels[y * atlas.width + x] >> 24);
    };
    const struct {
        const char* what;
        float u, v;
        bool bright;
    } cases[] = {
        {"round sprite centre", 0.75f, 0.75f, true},  {"round sprite corner", 0.51f, 0.51f, false},
        {"pool centre", 0.25f, 0.25f, true},          {"pool corner", 0.01f, 0.01f, false},
        {"cone near its apex", 0.25f, 0.95f, true},   {"beside the apex", 0.05f, 0.95f, false},
        {"cone base middle", 0.25f, 0.52f, true},     {"glare centre", 0.75f, 0.125f, true},
        {"head lamp centre", 0.625f, 0.375f, true},   {"rear lamp centre", 0.875f, 0.375f, true},
        {"between the lamps", 0.75f, 0.26f, false},
    };
    for (const auto& c : cases) {
        if (c.bright) {
            EXPECT_GT(glow(c.u, c.v), 100) << c.what;
        } else {
            EXPECT_LT(glow(c.u, c.v), 30) << c.what;
        }
    }
}

} // namespace

namespace {

// The HUD arrow is drawn half a unit in front of the eye, 0.375 above the
// view's centre, with a 90-degree view of aspect 1.1, turned to any heading:
// the sample model must stay beyond the near plane whatever way it points,
// and cover a modest share of the screen rather than its top third.
TEST(SampleArrowTest, ArrowFitsTheSpotItIsDrawnAt)
{
    const float distance = 0.5f, nearPlane = 0.2f;
    const float viewHalfWidth = distance * 1.1f; // tan(45 degrees) x aspect at that distance
    const tools::MeshData mesh = tools::ArrowMesh();
    float reach = 0.0f, halfWidth = 0.0f;
    for (int part : {0, 2})
        for (const tools::MeshFileVertex& v : mesh.parts[part].frames.at(0)) {
            const D3DXVECTOR3 p(v.position[0], v.position[1], v.position[2]);
            reach = std::max(reach, Vec3Length(&p));
            halfWidth = std::max(halfWidth, std::fabs(p.x));
        }
    EXPECT_LT(reach, distance - nearPlane) << "turned toward or away from the eye it stays beyond the near plane";
    EXPECT_LT(halfWidth / viewHalfWidth, 0.15f) << "its width is a small share of the view";
    EXPECT_GT(halfWidth / viewHalfWidth, 0.03f) << "and still large enough to read";
}

} // namespace
