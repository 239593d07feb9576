// The debug statistics overlay: its lines and what it draws.
#include "font_fixture.h"

#include "graphics/DebugOverlay.h"
#include "graphics/WorldCamera.h"
#include "roadusers/Vehicle.h"

#include <cmath>
#include <cstring>
#include <limits>

namespace {

using plat::D3DCall;

class OverlayTest : public test::FontTest {
protected:
    void SetUp() override
    {
        FontTest::SetUp();
        LoadSettings("Game.ini");
        UseSampleArchives();
        m_camera = std::make_unique<CWorldCamera>();
        const D3DXVECTOR3 eye(12.6f, -3.4f, 1000.49f), target(0.0f, 0.0f, 0.0f);
        m_camera->Init(&eye, &target, 1.0f, 4.0f / 3.0f, 0.2f, 600.0f, 0);
        m_camera->m_fAverageSpeed = 55.4f;
        SetCounters();
        ClearLog();
    }
    void TearDown() override
    {
        if (m_camera)
            m_camera->Release();
        g_pPlayerVehicle = m_previousPlayer;
        g_bDebugOut = 0;
        FontTest::TearDown();
    }
    // The figures the lines are made from, in a record of the test's own:
    // the live managers are left as they are.
    void SetCounters()
    {
        m_counters = DebugCounters{};
        m_counters.fps = 59.6f;
        const std::uint32_t faces[4] = {1234, 5, 0, 77};
        std::memcpy(m_counters.facesPerPass, faces, sizeof(faces));
        m_counters.activeSectors = 12;
        m_counters.innerParts = 30;
        m_counters.closedWaterParts = 2;
        m_counters.grassInner = 5;
        m_counters.grassVisible = 4;
        m_counters.treesInner = 9;
        m_counters.treesVisible = 7;
        m_counters.timeScale = 1.0f;
        m_counters.pointLights = 3;
        m_counters.cars = 6;
        m_counters.carLimit = 10;
        m_counters.humans = 8;
        m_counters.humanLimit = 20;
        m_counters.collisionObjects = 0;
        m_counters.activeBodies = 11;
    }
    std::vector<std::string> Lines()
    {
        char lines[DEBUG_LINES_MAX][DEBUG_LINE_SIZE];
        const int n = FormatDebugLines(*m_camera, m_counters, lines);
        return std::vector<std::string>(lines, lines + n);
    }
    std::unique_ptr<CWorldCamera> m_camera;
    DebugCounters m_counters{};
    CVehicle m_car;
    CVehicle* m_previousPlayer = g_pPlayerVehicle;
};

TEST_F(OverlayTest, LinesShowTheCountersInOrder)
{
    const std::vector<std::string> expected = {
        "FPF (main)  : 1234",
        "FPF (water) : 5",
        "FPF (cube)  : 0",
        "FPF (shadow): 77",
        "Inner/visible land parts: 12/30",
        "Closed water parts: 2",
        "Inner/visible grass fields: 5/4",
        "Inner/visible trees fields: 9/7",
        "Eye: X13, Y-3, Z1000",
        "Avrg speed: 55",
        "Time speed: 1.00",
        "Lights: 3",
        "Vehicles on area: 6(10)",
        "Humans on area: 8(20)",
        "Collision objects: 0",
        "Active objects: 11",
    };
    std::vector<std::string> lines = Lines();
    ASSERT_FALSE(lines.empty());
    // The frame rate depends on the clock; only its form is fixed.
    EXPECT_EQ(lines[0].rfind("FPS: ", 0), 0u) << lines[0];
    EXPECT_EQ(lines[0].find_first_not_of("0123456789", 5), std::string::npos) << lines[0];
    lines.erase(lines.begin());
    EXPECT_EQ(lines, expected);
}

TEST_F(OverlayTest, PlayerCarAddsThreeLinesWithTruncatedFigures)
{
    m_car.m_nWheelsInContact = 3;
    m_car.m_fEngineForce = 1234.9f;
    m_car.m_fBrake = 0.99f;
    m_car.m_fSpeed = -45.7f;
    m_counters.playerCar = &m_car;
    const std::vector<std::string> lines = Lines();
    ASSERT_EQ(lines.size(), 20u);
    EXPECT_EQ(lines[16], "Active objects: 11");
    EXPECT_EQ(lines[17], "  Whells in contact: 3");
    EXPECT_EQ(lines[18], "  EngineForce: 1234, Speed: -45");
    EXPECT_EQ(lines[19], "  BrakingForce: 0, Speed: -45");
}

TEST_F(OverlayTest, ExtremeFiguresStayInsideTheLines)
{
    m_camera->m_vEye = D3DXVECTOR3(3e38f, -3e38f, std::numeric_limits<float>::infinity());
    m_car.m_fEngineForce = 1e30f;
    m_car.m_fBrake = std::nanf("");
    m_car.m_fSpeed = -1e20f;
    m_counters.playerCar = &m_car;
    const std::vector<std::string> lines = Lines();
    ASSERT_EQ(lines.size(), 20u);
    EXPECT_LT(lines[9].size(), size_t(DEBUG_LINE_SIZE));
    EXPECT_EQ(lines[18], "  EngineForce: 2147483647, Speed: -2147483648");
    EXPECT_EQ(lines[19], "  BrakingForce: 0, Speed: -2147483648");
}

TEST_F(OverlayTest, NothingIsDrawnWithDebugOutOff)
{
    g_bDebugOut = 0;
    m_camera->DrawDebugInfo();
    EXPECT_TRUE(Log().Calls().empty());
}

TEST_F(OverlayTest, PanelAndOneTextDrawPerLine)
{
    g_bDebugOut = 1;
    for (CVehicle* car : {static_cast<CVehicle*>(nullptr), &m_car}) {
        g_pPlayerVehicle = car;
        ClearLog();
        m_camera->DrawDebugInfo();
        const std::vector<D3DCall> draws = Draws();
        ASSERT_EQ(draws.size(), car ? 21u : 18u);
        const std::vector<CScreenVertex> panel = VerticesOf<CScreenVertex>(draws[0]);
        ASSERT_EQ(panel.size(), 4u);
        EXPECT_FLOAT_EQ(panel[3].x, 115.0f);
        EXPECT_FLOAT_EQ(panel[3].y, 180.0f);
        EXPECT_EQ(panel[0].colour, 0xC0000000u);
        // Lines stack one line height apart from the top.
        const float h = m_camera->m_DebugFont.GetLineHeight(0.525f);
        for (size_t i = 1; i < draws.size(); ++i) {
            const std::vector<CScreenVertex> text = VerticesOf<CScreenVertex>(draws[i]);
            ASSERT_FALSE(text.empty());
            EXPECT_EQ(text[0].colour, 0xFFFFFF00u);
            EXPECT_FLOAT_EQ(text[0].y, std::trunc(h * static_cast<float>(i - 1))) << i;
        }
    }
}

} // namespace
