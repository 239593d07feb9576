// The sky: the hour and light of the game clock, the star field, the sun
// flare's size and occlusion test, and what each pass draws, on the
// recording device over the sample sky files.
#include "graphics/render_fixture.h"

#include "graphics/WorldCamera.h"
#include "objects/StaticObject.h"
#include "platform/Win32Time.h"
#include "shell/Game.h"
#include "shell/GameTimer.h"
#include "shell/RenderPasses.h"
#include "shell/VectorHelpers.h"
#include "world/Sky.h"
#include "writers/FileBytes.h"
#include "writers/SkyDataWriter.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <vector>

namespace {

const float kPi = 3.14159265f;
const float kRoot2 = std::sqrt(2.0f);

D3DXVECTOR3 SunClosedForm(float theta)
{
    return {-std::sin(theta), std::cos(theta) / kRoot2, -std::cos(theta) / kRoot2};
}

D3DXVECTOR3 MoonClosedForm(float theta)
{
    return {std::sin(theta), -std::cos(theta) / kRoot2, -std::cos(theta) / kRoot2};
}

void ExpectNear(const D3DXVECTOR3& a, const D3DXVECTOR3& b, float tolerance, const char* what, double hour)
{
    EXPECT_NEAR(a.x, b.x, tolerance) << what << " at " << hour;
    EXPECT_NEAR(a.y, b.y, tolerance) << what << " at " << hour;
    EXPECT_NEAR(a.z, b.z, tolerance) << what << " at " << hour;
}

class SkyTest : public test::StartedRenderTest {
protected:
    void SetUp() override
    {
        test::StartedRenderTest::SetUp();
        m_saved = g_Sky;
        m_savedCamera = g_Game.m_pCamera;
        m_camera.SetProjection(kPi / 3.0f, 4.0f / 3.0f, 0.2f, 600.0f);
        const D3DXVECTOR3 eye(0.0f, 2.0f, 0.0f), target(0.0f, 2.0f, -1.0f), up(0.0f, 1.0f, 0.0f);
        m_camera.SetView(&eye, &target, &up);
        g_Game.m_pCamera = &m_camera;
        g_WaterPassActive = g_CubePassActive = 0;
        g_GameTimer.m_fGameTime = 60000.0;
        g_GameTimer.m_fRealDelta = 0.02f;
        m_savedRayTest = g_pSkyRayTest;
        g_pSkyRayTest = CountingRay;
        s_rays = 0;
        s_blocked = 0;
    }
    void TearDown() override
    {
        g_Sky.Release();
        g_Sky = m_saved;
        g_Game.m_pCamera = m_savedCamera;
        g_D3DRender.m_nFillMode = D3DFILL_SOLID;
        g_WaterPassActive = g_CubePassActive = 0;
        g_bEditorMode = 0;
        g_pSkyRayTest = m_savedRayTest;
        test::StartedRenderTest::TearDown();
    }

    void WriteSky() { ASSERT_TRUE(tools::WriteSkyData(m_dir.Path().string())); }
    void InitSky()
    {
        WriteSky();
        ASSERT_EQ(g_Sky.Init(), 1);
    }

    // The faces of every indexed draw since the log was cleared.
    std::vector<DWORD> IndexedDraws()
    {
        std::vector<DWORD> faces;
        for (const plat::D3DCall& c : Calls().Of(plat::D3DOp::DrawIndexedPrimitive))
            faces.push_back(c.f);
        return faces;
    }
    bool DrewFaces(DWORD faces)
    {
        const std::vector<DWORD> all = IndexedDraws();
        return std::find(all.begin(), all.end(), faces) != all.end();
    }
    // Distances from the eye of the squares drawn from memory (15 the sun, 20 the moon).
    std::vector<float> QuadDistances()
    {
        std::vector<float> out;
        for (const plat::D3DCall& c : Calls().Of(plat::D3DOp::DrawPrimitiveUP)) {
            const auto* v = reinterpret_cast<const CSkyQuadVertex*>(c.data.data());
            D3DXVECTOR3 centre(0.0f, 0.0f, 0.0f);
            for (int i = 0; i < 4; ++i)
                centre += D3DXVECTOR3(v[i].x, v[i].y, v[i].z) * 0.25f;
            out.push_back(Vec3Distance(&centre, &m_camera.m_vEye));
        }
        return out;
    }

    static int CountingRay(const D3DXVECTOR3*, const D3DXVECTOR3*)
    {
        s_rayTimes.push_back(g_GameTimer.m_fGameTime);
        ++s_rays;
        return s_blocked;
    }

    static inline int s_rays = 0;
    static inline int s_blocked = 0;
    static inline std::vector<double> s_rayTimes;
    CSky m_saved;
    SkyRayTest m_savedRayTest = nullptr;
    CWorldCamera m_camera{};
    CWorldCamera* m_savedCamera = nullptr;
};

// Sample mesh face counts: dome part 0, band part 2, cloud layer.
constexpr DWORD kDomeFaces = 18 * 24 * 2;
constexpr DWORD kBandFaces = 24 * 2 * 2;
constexpr DWORD kCloudFaces = 5 * 24 * 2 * 2;
constexpr DWORD kStarFaces = 200;

TEST_F(SkyTest, HoursOfTheDayGiveTheirLightAndColours)
{
    InitSky();
    const float k = 1.0f / 260.0f;
    const struct {
        double clock;
        float daylight, moonlight, shadow, lights;
        float sky[3], fog[3];
    } cases[] = {
        {-500000.0, 0.0f, 1.0f, 0.8f, 1.0f, {0, 0, 0}, {30 * k, 30 * k, 60 * k}},
        {0.0, 1.0f, 0.0f, 0.0f, 0.5f, {1.0f, 0.5f, 0.0f}, {60 * k, 60 * k, 30 * k}},
        // A new game's clock: 24 % of the way from key 2 to key 3.
        {60000.0, 1.0f, 0.0f, 0.6625f, 0.3675f, {1.0f, 0.62f, 0.12f}, {60 * k, 60 * k, 44.4f * k}},
        {500000.0, 1.0f, 0.0f, 1.0f, 0.0f, {1, 1, 1}, {90 * k, 90 * k, 120 * k}},
        {1000000.0, 1.0f, 0.0f, 0.0f, 0.5f, {0.5f, 60 * k, 60 * k}, {60 * k, 60 * k, 60 * k}},
    };
    for (const auto& c : cases) {
        g_GameTimer.m_fGameTime = c.clock;
        g_Sky.Update();
        const double a = CSky::TimeOfDay(c.clock);
        const float theta = float(a) * 3.1415927e-06f;
        ExpectNear(g_Sky.m_vSunDir, SunClosedForm(theta), 1e-5f, "sun", a);
        ExpectNear(g_Sky.m_vMoonDir, MoonClosedForm(theta), 1e-5f, "moon", a);
        EXPECT_NEAR(g_Sky.m_fDaylight, c.daylight, 1e-4f) << a;
        EXPECT_NEAR(g_Sky.m_fMoonlight, c.moonlight, 1e-4f) << a;
        EXPECT_NEAR(g_Sky.m_fShadowFactor, c.shadow, 1e-3f) << a;
        EXPECT_NEAR(g_Sky.m_fLightsFactor, c.lights, 1e-4f) << a;
        for (int i = 0; i < 3; ++i) {
            EXPECT_NEAR(g_Sky.m_Colour[i], c.sky[i], 1e-4f) << a << " sky " << i;
            EXPECT_NEAR(g_Sky.m_FogColour[i], c.fog[i], 1e-4f) << a << " fog " << i;
        }
        EXPECT_EQ(g_Sky.m_Colour[3], 1.0f);
        EXPECT_EQ(g_Sky.m_FogColour[3], 1.0f);
    }
}

// The sun and moon follow the closed forms all day, through the matrix
// path (a wrong rotation convention turns them the other way), and the
// shadow light never drops below y = 0.81 against its horizontal length.
TEST_F(SkyTest, SunMoonAndShadowLightThroughTheDay)
{
    for (double a = 0.0; a < SKY_DAY_LENGTH; a += 25000.0) {
        g_Sky.SetTimeOfDay(a);
        const float theta = float(a) * 3.1415927e-06f;
        ExpectNear(g_Sky.m_vSunDir, SunClosedForm(theta), 1e-5f, "sun", a);
        ExpectNear(g_Sky.m_vMoonDir, MoonClosedForm(theta), 1e-5f, "moon", a);
        const D3DXVECTOR3& l = g_Sky.m_vLightDir;
        EXPECT_NEAR(Vec3Length(&l), 1.0f, 1e-5f) << a;
        EXPECT_GE(l.y, 0.81f * std::hypot(l.x, l.z) - 1e-5f) << a;
        const D3DXVECTOR3 lit = g_Sky.m_vSunDir.y < 0.0f ? -g_Sky.m_vSunDir : -g_Sky.m_vMoonDir;
        EXPECT_GE(l.x * lit.x + l.z * lit.z, 0.0f) << a; // towards the light that casts the shadow
    }
}

TEST_F(SkyTest, GameClockMapsOntoTheDay)
{
    const struct {
        double clock, hour;
    } cases[] = {
        {0.0, 500000.0},
        {60000.9, 560000.0},            // whole milliseconds
        {1500000.0, 0.0},               // a day later, midnight
        {3000001000.0, 501000.0},        // beyond a 32-bit integer of milliseconds
        {-600000.0, 1900000.0},
        {std::nan(""), 500000.0},
        {INFINITY, 500000.0},
    };
    for (const auto& c : cases)
        EXPECT_EQ(CSky::TimeOfDay(c.clock), c.hour) << c.clock;
}

TEST_F(SkyTest, EditorModeAndPauseHoldTheSky)
{
    InitSky();
    g_bEditorMode = 1;
    g_GameTimer.m_fGameTime = 0.0;
    g_Sky.Update();
    ExpectNear(g_Sky.m_vSunDir, SunClosedForm(kPi), 1e-5f, "editor sun", 0);
    g_bEditorMode = 0;

    plat::SetFakeClock(1000);
    g_GameTimer.Init();
    g_GameTimer.Update();
    g_Sky.Update();
    const D3DXVECTOR3 before = g_Sky.m_vSunDir;
    g_GameTimer.Pause();
    plat::AdvanceFakeClock(30000);
    g_GameTimer.Update();
    g_Sky.Update();
    EXPECT_EQ(g_Sky.m_vSunDir, before);
    g_GameTimer.Resume();
    plat::AdvanceFakeClock(40);
    g_GameTimer.Update();
    g_Sky.Update();
    EXPECT_NE(g_Sky.m_vSunDir, before);
}

TEST_F(SkyTest, StarsLieAboveTheHorizonAtTheirDistance)
{
    InitSky();
    ASSERT_EQ(g_Sky.m_Stars.m_nCount, 100);
    ASSERT_NE(g_Sky.m_Stars.m_pVertexBuffer, nullptr);
    ASSERT_NE(g_Sky.m_Stars.m_pIndexBuffer, nullptr);
    void* data = nullptr;
    ASSERT_EQ(g_Sky.m_Stars.m_pVertexBuffer->Lock(0, 0, &data, D3DLOCK_READONLY), D3D_OK);
    const auto* v = static_cast<const CSkyStarVertex*>(data);
    for (int star = 0; star < 100; ++star) {
        const CSkyStarVertex* q = v + 4 * star;
        const D3DXVECTOR3 c0(q[0].x, q[0].y, q[0].z), c3(q[3].x, q[3].y, q[3].z);
        const D3DXVECTOR3 centre = (c0 + c3) * 0.5f;
        EXPECT_NEAR(Vec3Length(&centre), g_fFarPlane - 100.0f, 0.01f) << star;
        EXPECT_GE(centre.y, -1e-3f) << star;
        const float size = Vec3Distance(&c0, &c3) / (2.0f * kRoot2);
        EXPECT_GE(size, 4.0f - 1e-3f) << star;
        EXPECT_LE(size, 4.0f + 100.0f / 33.0f + 1e-3f) << star;
        EXPECT_FLOAT_EQ(q[1].v, 0.999f);
    }
    g_Sky.m_Stars.m_pVertexBuffer->Unlock();
    ASSERT_EQ(g_Sky.m_Stars.m_pIndexBuffer->Lock(0, 0, &data, D3DLOCK_READONLY), D3D_OK);
    const auto* index = static_cast<const WORD*>(data);
    for (int star = 0; star < 100; ++star) {
        const int base = 4 * star;
        const WORD expected[6] = {WORD(base), WORD(base + 1), WORD(base + 2), WORD(base + 2), WORD(base + 1),
                                  WORD(base + 3)};
        for (int i = 0; i < 6; ++i)
            EXPECT_EQ(index[6 * star + i], expected[i]) << star;
    }
    g_Sky.m_Stars.m_pIndexBuffer->Unlock();
}

// Each pass draws its pieces: noon has no stars or moon, midnight no sun;
// the cube pass has no sun and the water pass no band.
TEST_F(SkyTest, EachPassDrawsItsPieces)
{
    InitSky();
    const struct {
        const char* name;
        double hour;
        int water, cube;
        bool stars, sun, moon, band;
    } cases[] = {
        {"noon", 1000000.0, 0, 0, false, true, false, true},
        {"midnight", 0.0, 0, 0, true, false, true, true},
        {"noon in the cube", 1000000.0, 0, 1, false, false, false, true},
        {"noon in the water", 1000000.0, 1, 0, false, true, false, false},
    };
    for (const auto& c : cases) {
        g_Sky.SetTimeOfDay(c.hour);
        g_WaterPassActive = c.water;
        g_CubePassActive = c.cube;
        Calls().Clear();
        g_Sky.Render();
        EXPECT_EQ(Calls().Count(plat::D3DOp::Clear), 1u) << c.name;
        EXPECT_EQ(DrewFaces(kStarFaces), c.stars) << c.name;
        EXPECT_TRUE(DrewFaces(kDomeFaces)) << c.name;
        EXPECT_TRUE(DrewFaces(kCloudFaces)) << c.name;
        EXPECT_EQ(DrewFaces(kBandFaces), c.band) << c.name;
        std::vector<float> expected;
        if (c.moon)
            expected.push_back(20.0f);
        if (c.sun)
            expected.push_back(15.0f);
        const std::vector<float> quads = QuadDistances();
        ASSERT_EQ(quads.size(), expected.size()) << c.name;
        for (size_t i = 0; i < quads.size(); ++i)
            EXPECT_NEAR(quads[i], expected[i], 1e-3f) << c.name;
    }
}

// The dome adds itself onto what the stars and moon drew; over the bare
// cleared black adding changes nothing, so it is drawn there unblended.
TEST_F(SkyTest, DomeBlendsOnlyOverTheStarsAndMoon)
{
    InitSky();
    const struct {
        const char* name;
        double hour;
        bool blended;
    } cases[] = {
        {"noon", 1000000.0, false},
        {"midnight", 0.0, true},
        // Before dawn the stars are still out, the moon already too low.
        {"stars without the moon", 450000.0, true},
    };
    for (const auto& c : cases) {
        g_Sky.SetTimeOfDay(c.hour);
        // A known blend to start from: the renderer sends only changes.
        g_D3DRender.SetAlphaBlendEnable(TRUE);
        g_D3DRender.SetBlendMode(D3DBLEND_SRCALPHA, D3DBLEND_INVSRCALPHA);
        Calls().Clear();
        g_Sky.Render();
        DWORD enabled = TRUE, source = D3DBLEND_SRCALPHA, dest = D3DBLEND_INVSRCALPHA;
        bool dome = false;
        for (const plat::D3DCall& call : Calls().Calls()) {
            if (call.op == plat::D3DOp::SetRenderState && call.a == D3DRS_ALPHABLENDENABLE)
                enabled = call.b;
            if (call.op == plat::D3DOp::SetRenderState && call.a == D3DRS_SRCBLEND)
                source = call.b;
            if (call.op == plat::D3DOp::SetRenderState && call.a == D3DRS_DESTBLEND)
                dest = call.b;
            if (call.op == plat::D3DOp::DrawIndexedPrimitive && call.f == kDomeFaces) {
                dome = true;
                break;
            }
        }
        ASSERT_TRUE(dome) << c.name;
        EXPECT_EQ(enabled != 0, c.blended) << c.name;
        if (c.blended) {
            EXPECT_EQ(source, DWORD(D3DBLEND_ONE)) << c.name;
            EXPECT_EQ(dest, DWORD(D3DBLEND_ONE)) << c.name;
        }
    }
}

TEST_F(SkyTest, WireframeOnlyClears)
{
    InitSky();
    g_Sky.SetTimeOfDay(0.0);
    g_D3DRender.m_nFillMode = D3DFILL_WIREFRAME;
    Calls().Clear();
    g_Sky.Render();
    g_Sky.RenderSunFlare();
    EXPECT_EQ(Calls().Count(plat::D3DOp::Clear), 1u);
    EXPECT_EQ(IndexedDraws().size(), 0u);
    EXPECT_EQ(Calls().Count(plat::D3DOp::DrawPrimitiveUP), 0u);
}

// Before the first Update the directions are zero: the look-at matrices
// must give no NaN to the device.
TEST_F(SkyTest, FirstFrameBeforeAnyUpdateIsFinite)
{
    InitSky();
    Calls().Clear();
    g_Sky.Render();
    g_Sky.RenderSunFlare();
    for (const plat::D3DCall& c : Calls().Of(plat::D3DOp::DrawPrimitiveUP)) {
        const auto* v = reinterpret_cast<const CSkyQuadVertex*>(c.data.data());
        for (int i = 0; i < 4; ++i)
            EXPECT_TRUE(std::isfinite(v[i].x + v[i].y + v[i].z));
    }
    ASSERT_NE(g_Sky.m_pDome, nullptr);
    for (const auto& row : g_Sky.m_pDome->m_matWorld.m)
        for (float e : row)
            EXPECT_TRUE(std::isfinite(e));
}

// Missing or partial sky files: what is there draws, the rest is skipped.
TEST_F(SkyTest, MissingSkyPiecesAreSkipped)
{
    const std::string root = m_dir.Path().string();
    const struct {
        const char* name;
        const char* removed;        // a sample file taken away
        bool bandSection;
        bool dome, clouds, bandTextured;
    } cases[] = {
        {"no description", "Data/Sky/Main.obj", true, false, true, false},
        {"no band section", nullptr, false, true, true, false},
        // Last: the mesh container remembers a file that failed.
        {"no cloud mesh", "Data/Sky/Clouds.msh", true, true, false, true},
    };
    for (const auto& c : cases) {
        WriteSky();
        if (c.removed)
            std::remove((root + "/" + c.removed).c_str());
        if (!c.bandSection) {
            ASSERT_TRUE(tools::WriteFileBytes(root + "/Data/Sky/Main.obj",
                                              tools::SkyDescription("Data/Sky/Dome.msh", "")));
        }
        ASSERT_EQ(g_Sky.Init(), 1) << c.name;
        g_Sky.SetTimeOfDay(1000000.0);
        Calls().Clear();
        g_Sky.Render();
        EXPECT_EQ(g_Sky.m_pDome != nullptr, c.dome) << c.name;
        EXPECT_EQ(DrewFaces(kDomeFaces), c.dome) << c.name;
        EXPECT_EQ(DrewFaces(kBandFaces), c.dome) << c.name;
        EXPECT_EQ(DrewFaces(kCloudFaces), c.clouds) << c.name;
        if (c.dome) {
            // The texture bound for the band's draw, the last indexed draw.
            const IDirect3DBaseTexture9* bound = nullptr;
            for (const plat::D3DCall& call : Calls().Calls())
                if (call.op == plat::D3DOp::SetTexture && call.a == 0)
                    bound = static_cast<const IDirect3DBaseTexture9*>(call.object);
            EXPECT_EQ(bound != nullptr, c.bandTextured) << c.name;
        }
        g_Sky.Release();
    }
}

// The flare through the renderer: sprite and glare in the main pass, the
// sprite alone at a fixed size in the water pass (no ray), nothing for a
// sun that is down, hidden, or in a reflection the settings leave out.
TEST_F(SkyTest, FlareDrawsByPassAndSun)
{
    InitSky();
    const D3DXVECTOR3 eye(0.0f, 2.0f, 0.0f), towardsSun = eye + D3DXVECTOR3(0.0f, 0.707f, -0.707f),
                      up(0.0f, 1.0f, 0.0f);
    m_camera.SetView(&eye, &towardsSun, &up);
    g_GameTimer.m_fRealDelta = 1.0f;
    auto draws = [&](double hour, int water, int setting, int blocked) {
        g_Sky.SetTimeOfDay(hour);
        g_WaterPassActive = water;
        g_nWater = setting;
        s_blocked = blocked;
        g_GameTimer.m_fGameTime += 1000.0; // a test is due
        Calls().Clear();
        g_Sky.RenderSunFlare();
        return Calls().Count(plat::D3DOp::DrawPrimitiveUP);
    };
    const size_t main = draws(1000000.0, 0, 2, 0);
    EXPECT_NEAR(g_Sky.m_fFlareSize, 400.0f, 0.1f) << "the sun at the screen centre";
    const int rays = s_rays;
    const size_t water = draws(1000000.0, 1, 2, 0);
    EXPECT_EQ(s_rays, rays);
    EXPECT_GT(water, 0u);
    EXPECT_GT(main, water) << "the glare discs";
    EXPECT_EQ(draws(1000000.0, 1, 1, 0), 0u);
    EXPECT_EQ(draws(1000000.0, 0, 2, 1), 0u);
    EXPECT_EQ(g_Sky.m_bSunHidden, 1);
    EXPECT_EQ(draws(0.0, 0, 2, 0), 0u);
}

TEST(SkyColourTest, NormalisingBlackGivesANeutralColour)
{
    const D3DXCOLOR4 black{0.0f, 0.0f, 0.0f, 1.0f}, dim{0.2f, 0.1f, 0.05f, 0.5f};
    D3DXCOLOR4 out;
    ColorNormalizeToMax(&out, &black);
    EXPECT_EQ(out.r, 1.0f);
    EXPECT_EQ(out.g, 1.0f);
    EXPECT_EQ(out.b, 1.0f);
    ColorNormalizeToMax(&out, &dim);
    EXPECT_FLOAT_EQ(out.r, 1.0f);
    EXPECT_FLOAT_EQ(out.g, 0.5f);
    EXPECT_FLOAT_EQ(out.b, 0.25f);
    EXPECT_EQ(out.a, 1.0f);
}

// The flare: its size by the sun's place on the screen, one occlusion ray
// at most every 0.2 s of game time, hidden to 0 and back at 2000 units a second.
TEST_F(SkyTest, FlareSizeFollowsTheScreenCentre)
{
    g_Sky.SetTimeOfDay(1000000.0);
    const D3DXVECTOR3 eye(0, 0, 0), sun(0, 1, 0);
    const struct {
        float x, y, depth, size;
    } cases[] = {
        {400.0f, 300.0f, 1.0f, 400.0f}, {400.0f + 437.5f, 300.0f, 1.0f, 50.0f}, {900.0f, 700.0f, 1.0f, 50.0f},
        {400.0f, 300.0f - 250.0f, 1.0f, 200.0f}, {901.0f, 300.0f, 1.0f, 0.0f}, {400.0f, -101.0f, 1.0f, 0.0f},
        {400.0f, 300.0f, -1.0f, 0.0f},
    };
    g_GameTimer.m_fRealDelta = 1.0f; // the size reaches its target at once
    for (const auto& c : cases) {
        g_Sky.m_bSunHidden = 0;
        g_Sky.m_nFlareTestTime = int(g_GameTimer.m_fGameTime); // no test due
        EXPECT_FLOAT_EQ(g_Sky.UpdateFlareSize(c.x, c.y, c.depth, &eye, &sun), c.size) << c.x << " " << c.y;
    }
    g_Sky.SetTimeOfDay(0.0); // sun down: no flare, no ray
    g_GameTimer.m_fGameTime += 1000.0;
    EXPECT_EQ(g_Sky.UpdateFlareSize(400.0f, 300.0f, 1.0f, &eye, &sun), 0.0f);
    EXPECT_EQ(s_rays, 0);
}

TEST_F(SkyTest, FlareOcclusionIsTestedFiveTimesASecondAtMost)
{
    g_Sky.SetTimeOfDay(1000000.0);
    const D3DXVECTOR3 eye(0, 0, 0), sun(0, 1, 0);
    g_GameTimer.m_fRealDelta = 0.05f; // 100 units a frame
    s_rayTimes.clear();
    auto frame = [&](double step) {
        g_GameTimer.m_fGameTime += step;
        return g_Sky.UpdateFlareSize(400.0f, 300.0f, 1.0f, &eye, &sun);
    };
    g_Sky.m_bSunHidden = 1;
    g_Sky.m_fFlareSize = 0.0f;
    g_Sky.m_nFlareTestTime = 0;
    // The glare waits for the first test; then the sprite grows.
    EXPECT_FLOAT_EQ(frame(0.0), 100.0f);
    EXPECT_EQ(g_Sky.m_bSunHidden, 0);
    for (int i = 0; i < 60; ++i)
        frame(50.0);
    for (size_t i = 1; i < s_rayTimes.size(); ++i)
        EXPECT_GT(s_rayTimes[i] - s_rayTimes[i - 1], 200.0);
    EXPECT_GE(s_rayTimes.size(), 10u);
    EXPECT_LE(s_rayTimes.size(), 16u); // 3 s: at most five a second
    EXPECT_FLOAT_EQ(g_Sky.m_fFlareSize, 400.0f);

    // Blocked at the next test: shrinks, and stays hidden while the ray
    // would now be clear, until the next test; then grows at 2000/s.
    s_blocked = 1;
    int before = s_rays;
    float size = 0.0f;
    while (s_rays == before)
        size = frame(50.0);
    EXPECT_EQ(g_Sky.m_bSunHidden, 1);
    EXPECT_FLOAT_EQ(size, 300.0f);
    s_blocked = 0;
    before = s_rays;
    for (float expected : {200.0f, 100.0f, 0.0f, 0.0f})
        EXPECT_FLOAT_EQ(frame(50.0), expected);
    EXPECT_EQ(s_rays, before);
    EXPECT_FLOAT_EQ(frame(50.0), 100.0f);
    EXPECT_EQ(s_rays, before + 1);
    EXPECT_EQ(g_Sky.m_bSunHidden, 0);
    EXPECT_FLOAT_EQ(frame(50.0), 200.0f);
}

// A new game or a loaded profile sets the clock back: the next frame tests.
TEST_F(SkyTest, ClockSetBackRetestsTheFlareAtOnce)
{
    g_Sky.SetTimeOfDay(1000000.0);
    const D3DXVECTOR3 eye(0, 0, 0), sun(0, 1, 0);
    g_GameTimer.m_fGameTime = 5000000.0;
    g_Sky.UpdateFlareSize(400.0f, 300.0f, 1.0f, &eye, &sun);
    EXPECT_EQ(s_rays, 1);
    g_GameTimer.m_fGameTime = 60000.0;
    g_Sky.UpdateFlareSize(400.0f, 300.0f, 1.0f, &eye, &sun);
    EXPECT_EQ(s_rays, 2);
    EXPECT_EQ(g_Sky.m_nFlareTestTime, 60000);
}

} // namespace
