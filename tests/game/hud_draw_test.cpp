// The driving display and the race offer as the recording device sees them:
// when the HUD draws at all, its order, the map fan's border sampling, and
// the offer's route strip.
#include "game/GameInterface.h"
#include "graphics/WorldCamera.h"
#include "graphics/screen_fixture.h"
#include "roadusers/RaceInfo.h"
#include "roadusers/Vehicle.h"
#include "roadusers/VehicleManager.h"
#include "shell/Game.h"
#include "shell/GameTimer.h"
#include "world/Landscape.h"

#include <memory>

namespace {

class HudDrawTest : public test::ScreenDrawTest {
protected:
    void SetUp() override
    {
        ScreenDrawTest::SetUp();
        m_ui = std::make_unique<CGameInterface>();
        m_ui->BuildMapFan();
        m_camera = std::make_unique<CWorldCamera>();
        m_camera->m_nMode = 1;
        m_savedCamera = g_Game.m_pCamera;
        g_Game.m_pCamera = m_camera.get();
        m_car = std::make_unique<CVehicle>();
        m_car->m_fPower = 4000.0f;
        m_car->m_fSpeed = 95.0f;
        g_pPlayerVehicle = m_car.get();
        m_savedWorldSize = g_Landscape.m_fWorldSize;
        g_Landscape.m_fWorldSize = 2048.0f;
        g_GameTimer.m_fDelta = 0.02f;
    }
    void TearDown() override
    {
        g_Landscape.m_fWorldSize = m_savedWorldSize;
        g_pPlayerVehicle = nullptr;
        g_Game.m_pCamera = m_savedCamera;
        g_VehicleManager.m_nRaceRoutePoints = 0;
        g_RaceInfo.m_pRoute = nullptr;
        ScreenDrawTest::TearDown();
    }

    std::unique_ptr<CGameInterface> m_ui;
    std::unique_ptr<CWorldCamera> m_camera;
    CWorldCamera* m_savedCamera = nullptr;
    std::unique_ptr<CVehicle> m_car;
    float m_savedWorldSize = 0.0f;
};

TEST_F(HudDrawTest, DrawnOnlyFromADrivingViewOfAPlayerCar)
{
    const struct {
        int mode;
        bool car;
        bool drawn;
    } cases[] = {{0, true, false}, {1, true, true}, {3, true, true}, {4, true, false}, {2, false, false}};
    for (const auto& c : cases) {
        m_camera->m_nMode = c.mode;
        g_pPlayerVehicle = c.car ? m_car.get() : nullptr;
        ClearLog();
        m_ui->DrawHud();
        EXPECT_EQ(!Draws().empty(), c.drawn) << c.mode << " " << c.car;
    }
}

TEST_F(HudDrawTest, DialFirstMapFanWithBorderSamplingPictogramLast)
{
    ClearLog();
    m_ui->DrawHud();
    const std::vector<plat::D3DCall> draws = Draws();
    ASSERT_GT(draws.size(), 10u);
    // The dial, then the two needles as quadrilaterals about (711, 516).
    const std::vector<CScreenVertex> dial = VerticesOf<CScreenVertex>(draws[0]);
    ASSERT_EQ(dial.size(), 4u);
    EXPECT_FLOAT_EQ(dial[0].x, 621.0f);
    EXPECT_FLOAT_EQ(dial[3].y, 601.0f);
    EXPECT_EQ(dial[0].colour, 0x80FFFFFFu);

    // The fan: 31 triangles, sampled with a black border and back to wrapping.
    const std::deque<plat::D3DCall>& calls = Log().Calls();
    int fan = -1;
    for (size_t i = 0; i < calls.size(); ++i)
        if (calls[i].op == plat::D3DOp::DrawPrimitiveUP && calls[i].a == DWORD(D3DPT_TRIANGLEFAN))
            fan = static_cast<int>(i);
    ASSERT_GE(fan, 0);
    EXPECT_EQ(calls[fan].c, 31u);
    std::vector<DWORD> before, after;
    for (int i = 0; i < static_cast<int>(calls.size()); ++i)
        if (calls[i].op == plat::D3DOp::SetSamplerState && calls[i].a == 0 &&
            (calls[i].b == DWORD(D3DSAMP_ADDRESSU) || calls[i].b == DWORD(D3DSAMP_ADDRESSV)))
            (i < fan ? before : after).push_back(calls[i].c);
    EXPECT_EQ(before, (std::vector<DWORD>{D3DTADDRESS_BORDER, D3DTADDRESS_BORDER}));
    EXPECT_EQ(after, (std::vector<DWORD>{D3DTADDRESS_WRAP, D3DTADDRESS_WRAP}));
    const std::vector<CScreenVertex> v = VerticesOf<CScreenVertex>(calls[fan]);
    ASSERT_EQ(v.size(), 33u);
    EXPECT_FLOAT_EQ(v[0].x, 90.0f);
    EXPECT_FLOAT_EQ(v[0].u, 0.5f);
    EXPECT_EQ(v[0].colour, 0x80FFFFFFu);
    EXPECT_NEAR(v[1].x, 90.0f + 75.15f, 1e-3f);

    // The pictogram closes the HUD: body, cabin and four wheels, all green and half-transparent.
    const std::vector<CScreenVertex> body = VerticesOf<CScreenVertex>(draws[draws.size() - 6]);
    ASSERT_EQ(body.size(), 4u);
    EXPECT_FLOAT_EQ(body[0].x, 0.0f);
    EXPECT_FLOAT_EQ(body[0].y, 350.0f);
    EXPECT_FLOAT_EQ(body[3].y, 450.0f);
    EXPECT_EQ(body[0].colour, D3DCOLOR_ARGB(63, 0, 255, 0));
}

TEST_F(HudDrawTest, WithoutAWorldSizeTheMapIsSkipped)
{
    g_Landscape.m_fWorldSize = 0.0f;
    ClearLog();
    m_ui->DrawHud();
    for (const plat::D3DCall& d : Draws())
        EXPECT_NE(d.a, DWORD(D3DPT_TRIANGLEFAN));
    EXPECT_FALSE(Draws().empty());
}

TEST_F(HudDrawTest, OfferRouteStripNeedsThreePoints)
{
    D3DXVECTOR3 route[8] = {};
    g_RaceInfo.m_pRoute = route;
    g_RaceInfo.m_fRadius = 50.0f;
    g_RaceInfo.m_MapVertices[0].colour = 0x12345678u; // marks the strip's draw
    g_RaceInfo.m_nMapVertices = 8;
    for (std::uint32_t points : {2u, 3u, 6u}) {
        g_VehicleManager.m_nRaceRoutePoints = points;
        m_ui->m_RaceOfferPanel.m_fRaceOfferFade = 1.0f;
        ClearLog();
        m_ui->DrawRaceOfferMap(255);
        int strips = 0;
        DWORD triangles = 0;
        for (const plat::D3DCall& d : Draws()) {
            const std::vector<CScreenVertex> v = VerticesOf<CScreenVertex>(d);
            if (!v.empty() && v[0].colour == 0x12345678u) {
                ++strips;
                triangles = d.c;
            }
        }
        // (points / 3) x 2 - 2 triangles: none for 3 points, two for 6.
        EXPECT_EQ(strips, points == 6 ? 1 : 0) << points;
        if (points == 6) {
            EXPECT_EQ(triangles, 2u);
        }
    }
    g_RaceInfo.m_MapVertices[0].colour = 0;
    g_RaceInfo.m_nMapVertices = 0;
}

} // namespace
