// The scene lights on the recording device: what the sky's values become on
// the device and in the effect, the street lamps an object receives, the
// headlight spot and the update gate.
#include "render_fixture.h"

#include "graphics/SceneLights.h"
#include "objects/DirectLightsEffect.h"
#include "roadusers/Vehicle.h"
#include "shell/GameTimer.h"
#include "world/Sky.h"

#include <cmath>

namespace {

class SceneLightsTest : public test::StartedRenderTest {
protected:
    void SetUp() override
    {
        test::StartedRenderTest::SetUp();
        m_sky = g_Sky;
        g_GameTimer.m_fGameTime = 0.0f;
        g_GameTimer.m_fDelta = 0.02f;
        ASSERT_EQ(g_SceneLights.Init(), 1);
        Calls().Clear();
    }
    void TearDown() override
    {
        g_SceneLights.Release();
        g_Sky = m_sky;
        g_pPlayerVehicle = nullptr;
        g_GameTimer.m_fGameTime = 0.0f;
        test::StartedRenderTest::TearDown();
    }

    // Moves the game clock on far enough for the next update to run.
    void UpdateLater()
    {
        g_GameTimer.m_fGameTime += 100.0f;
        g_SceneLights.Update();
    }

    D3DLIGHT9 Light(DWORD index)
    {
        D3DLIGHT9 light{};
        Device()->GetLight(index, &light);
        return light;
    }
    bool On(DWORD index)
    {
        BOOL on = FALSE;
        Device()->GetLightEnable(index, &on);
        return on != FALSE;
    }
    DWORD State(D3DRENDERSTATETYPE state)
    {
        DWORD value = 0;
        Device()->GetRenderState(state, &value);
        return value;
    }
    D3DXVECTOR4 Vector(const char* name)
    {
        D3DXVECTOR4 v;
        g_D3DRender.m_pEffect->GetVector(name, &v);
        return v;
    }
    void IntConstants(int out[8]) { Device()->GetVertexShaderConstantI(0, out, 2); }

    int AddLamp(float x, float range, int on = 1)
    {
        const D3DXVECTOR3 at(x, 0.0f, 0.0f);
        const float colour[4] = {1.0f, 0.5f, 0.25f, 1.0f};
        return g_SceneLights.AddPointLight(&at, colour, range, on);
    }

    CSky m_sky;
};

TEST_F(SceneLightsTest, InitTakesSunMoonAndSpotSlotsWithTheSpotOff)
{
    EXPECT_EQ(g_SceneLights.m_nDirLight1Slot, 0);
    EXPECT_EQ(g_SceneLights.m_nDirLight2Slot, 1);
    EXPECT_EQ(g_SceneLights.m_nSpotSlot, 7);
    EXPECT_EQ(Light(7).Type, D3DLIGHT_SPOT);
    EXPECT_FALSE(On(7));
    EXPECT_TRUE(On(0));
    for (int slot = 2; slot < 7; ++slot)
        EXPECT_EQ(g_SceneLights.m_Slots[slot].m_nSlot, -1) << slot;
}

// The sky's values at noon, dusk and night reach the device's two
// directional lights, its ambient and fog colours, and the effect.
TEST_F(SceneLightsTest, SkyValuesReachTheDeviceByDaylight)
{
    const struct {
        float daylight, moonlight, sunY, moonY;
        float expectSunY, expectMoonY;
        bool sunOn, moonOn;
        float fogFactor; // of the doubled fog colour
    } cases[] = {
        {1.0f, 0.0f, -0.5f, 0.3f, -0.5f, -0.1f, true, false, 1.0f},
        {0.5f, 0.5f, 0.3f, 0.0f, -0.1f, -0.1f, true, true, 1.0f},
        {0.0f, 1.0f, 0.2f, -1.0f, -0.1f, -1.0f, false, true, 0.5f},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.daylight);
        g_Sky.m_fDaylight = c.daylight;
        g_Sky.m_fMoonlight = c.moonlight;
        g_Sky.m_vSunDir = D3DXVECTOR3(0.0f, c.sunY, 0.8f);
        g_Sky.m_vMoonDir = D3DXVECTOR3(0.6f, c.moonY, 0.0f);
        const float sky[4] = {1.0f, 0.8f, 0.6f, 1.0f};
        const float fog[4] = {0.7f, 0.4f, 0.2f, 1.0f};
        std::copy(sky, sky + 4, g_Sky.m_Colour);
        std::copy(fog, fog + 4, g_Sky.m_FogColour);
        UpdateLater();

        const D3DLIGHT9 sun = Light(0);
        EXPECT_FLOAT_EQ(sun.Diffuse.g, 0.8f * c.daylight);
        EXPECT_FLOAT_EQ(sun.Direction.y, c.expectSunY);
        EXPECT_EQ(On(0), c.sunOn);
        const D3DLIGHT9 moon = Light(1);
        EXPECT_FLOAT_EQ(moon.Diffuse.r, 0.7f * c.moonlight);
        EXPECT_FLOAT_EQ(moon.Direction.y, c.expectMoonY);
        EXPECT_EQ(On(1), c.moonOn);
        EXPECT_EQ(State(D3DRS_AMBIENT), D3DCOLOR_ARGB(255, 178, 102, 51));
        const auto channel = [&](float v) { return DWORD(std::fmin(2.0f * v * c.fogFactor, 1.0f) * 255.0f); };
        EXPECT_EQ(State(D3DRS_FOGCOLOR), D3DCOLOR_ARGB(255, channel(0.7f), channel(0.4f), channel(0.2f)));
        EXPECT_FLOAT_EQ(Vector("DirLight1_Diff").y, 0.8f * c.daylight);
        EXPECT_FLOAT_EQ(Vector("DirLight2_Pos").x, 0.6f * -100000.0f);
        EXPECT_FLOAT_EQ(Vector("GlobalAmbient").x, 0.7f);
        int constants[8];
        IntConstants(constants);
        EXPECT_EQ(constants[0], int(c.sunOn) + int(c.moonOn));
    }
}

TEST_F(SceneLightsTest, BrightMoonlightIsScaledDownToFullStrength)
{
    g_Sky.m_fMoonlight = 1.0f;
    const float fog[4] = {2.0f, 1.0f, 0.5f, 1.0f};
    std::copy(fog, fog + 4, g_Sky.m_FogColour);
    UpdateLater();
    const D3DLIGHT9 moon = Light(1);
    EXPECT_FLOAT_EQ(moon.Diffuse.r, 1.0f);
    EXPECT_FLOAT_EQ(moon.Diffuse.g, 0.5f);
    EXPECT_FLOAT_EQ(moon.Diffuse.b, 0.25f);
}

// Updates run at most every 0.05 s of game time; a clock set back (new game,
// loaded profile) must not freeze them until it catches up again.
TEST_F(SceneLightsTest, UpdateGateRunsEveryTwentiethSecondAndAfterTheClockGoesBack)
{
    g_GameTimer.m_fGameTime = 100000.0f;
    g_SceneLights.Update();
    EXPECT_EQ(g_SceneLights.m_nUpdateStamp, 100000);
    const struct {
        float clock;
        bool runs;
    } steps[] = {{100040.0f, false}, {100050.0f, false}, {100051.0f, true}, {100060.0f, false}, {500.0f, true},
                 {520.0f, false}};
    for (const auto& s : steps) {
        Calls().Clear();
        g_GameTimer.m_fGameTime = s.clock;
        g_SceneLights.Update();
        EXPECT_EQ(Calls().Count(plat::D3DOp::SetVertexShaderConstantI) > 0, s.runs) << s.clock;
        if (s.runs) {
            EXPECT_EQ(g_SceneLights.m_nUpdateStamp, int(s.clock));
        }
    }
}

TEST_F(SceneLightsTest, ApplyLightSetSendsCountsAndVectorsAndNullTurnsLampsOff)
{
    ASSERT_EQ(AddLamp(0.0f, 10.0f), 0);
    ASSERT_EQ(AddLamp(5.0f, 10.0f), 1);
    CLightSet set;
    const D3DXVECTOR3 object(2.0f, 0.0f, 0.0f);
    g_SceneLights.GatherNearLights(&object, 1.0f, &set);
    ASSERT_EQ(set.m_nCount, 2u);
    g_SceneLights.ApplyLightSet(&set);
    int constants[8];
    IntConstants(constants);
    EXPECT_EQ(constants[0], 2);
    EXPECT_EQ(constants[4], 2);
    for (int i : {1, 2, 3, 5, 6, 7})
        EXPECT_EQ(constants[i], 0);
    EXPECT_FLOAT_EQ(Vector("PntLight_Pos").x, 5.0f) << "the last entry's vectors";
    EXPECT_FLOAT_EQ(Vector("PntLight_Pos").w, 10.0f);
    EXPECT_TRUE(On(DWORD(set.m_Lights[0].nSlot)));
    EXPECT_TRUE(On(DWORD(set.m_Lights[1].nSlot)));

    Calls().Clear();
    g_SceneLights.ApplyLightSet(nullptr);
    EXPECT_FALSE(On(DWORD(set.m_Lights[0].nSlot)));
    EXPECT_FALSE(On(DWORD(set.m_Lights[1].nSlot)));
    EXPECT_EQ(Calls().Count(plat::D3DOp::SetVertexShaderConstantI), 0u);
}

// The first lamps in range in entry order, not the nearest; touching the
// range exactly is out; a sixth lamp is refused.
TEST_F(SceneLightsTest, GatherTakesLampsInRangeInEntryOrder)
{
    const float xs[5] = {100.0f, 30.0f, 2.0f, 13.0f, 1.0f};
    for (float x : xs)
        ASSERT_NE(AddLamp(x, 10.0f), -1);
    EXPECT_EQ(AddLamp(0.0f, 10.0f), -1);
    EXPECT_EQ(g_SceneLights.m_nPointLights, 5u);

    CLightSet set;
    const D3DXVECTOR3 origin(0.0f, 0.0f, 0.0f);
    g_SceneLights.GatherNearLights(&origin, 3.0f, &set); // 13 - 3 = 10: touching, out
    ASSERT_EQ(set.m_nCount, 2u);
    EXPECT_EQ(set.m_nDirLights, 2);
    EXPECT_FLOAT_EQ(set.m_Lights[0].Position[0], 2.0f);
    EXPECT_FLOAT_EQ(set.m_Lights[1].Position[0], 1.0f);
    g_SceneLights.GatherNearLights(&origin, 3.5f, &set);
    EXPECT_EQ(set.m_nCount, 3u);
}

TEST_F(SceneLightsTest, LampsFadeInAndOutAndFreeTheirSlot)
{
    const int n = AddLamp(0.0f, 10.0f);
    const int slot = g_SceneLights.m_PointLightSlots[n];
    EXPECT_FLOAT_EQ(Light(DWORD(slot)).Diffuse.r, 0.0f) << "a new lamp starts black";
    g_GameTimer.m_fDelta = 0.05f;
    UpdateLater();
    UpdateLater();
    EXPECT_FLOAT_EQ(Light(DWORD(slot)).Diffuse.g, 0.25f) << "half way in";
    UpdateLater();
    EXPECT_FLOAT_EQ(Light(DWORD(slot)).Diffuse.g, 0.5f);
    g_SceneLights.SwitchOffPointLight(n);
    g_SceneLights.SwitchOffPointLight(-1);
    UpdateLater();
    UpdateLater();
    EXPECT_EQ(g_SceneLights.m_PointLightSlots[n], slot) << "still fading out";
    UpdateLater();
    EXPECT_EQ(g_SceneLights.m_PointLightSlots[n], -1);
    EXPECT_EQ(g_SceneLights.m_nPointLights, 0u);
    EXPECT_FALSE(On(DWORD(slot)));
    EXPECT_EQ(g_SceneLights.m_Slots[slot].m_nSlot, -1);
}

// The spot follows the slot the player's car holds while it draws its
// beams: a car that handed the slot back (its head lamps broken, or no beam
// drawn) leaves the spot off, whatever light effect it carries.
TEST_F(SceneLightsTest, HeadlightSpotOnlyWhileThePlayersCarHoldsItsSlotAtNight)
{
    CVehicle car;
    CDirectLightsEffect lamps;
    car.m_pDirectLights = &lamps;
    const int spot = g_SceneLights.m_nSpotSlot;
    const struct {
        bool car;
        int lightIndex;
        float lightsFactor;
        bool on;
    } cases[] = {{false, spot, 1.0f, false}, {true, -1, 1.0f, false}, {true, spot, 0.5f, false},
                 {true, spot, 0.6f, true}};
    for (const auto& c : cases) {
        car.m_nLightIndex = c.lightIndex;
        g_pPlayerVehicle = c.car ? &car : nullptr;
        g_Sky.m_fLightsFactor = c.lightsFactor;
        g_SceneLights.EnableHeadlightSpot();
        EXPECT_EQ(On(7), c.on) << c.car << " " << c.lightIndex << " " << c.lightsFactor;
        g_SceneLights.DisableHeadlightSpot();
        EXPECT_FALSE(On(7));
    }
    car.m_pDirectLights = nullptr;
}

TEST_F(SceneLightsTest, ResetEnablesEveryUsedLightTheSpotIncluded)
{
    AddLamp(0.0f, 5.0f);
    g_SceneLights.OnLostDevice();
    for (DWORD i : {0u, 1u, 2u, 7u})
        EXPECT_FALSE(On(i)) << i;
    g_SceneLights.OnResetDevice();
    for (DWORD i : {0u, 1u, 2u, 7u})
        EXPECT_TRUE(On(i)) << i;
    EXPECT_FALSE(On(3));
}

TEST_F(SceneLightsTest, PointLightColourWeighsLampsByDistance)
{
    AddLamp(0.0f, 10.0f);
    g_GameTimer.m_fDelta = 1.0f;
    UpdateLater();
    UpdateLater(); // full colour (1, 0.5, 0.25, 1)
    float colour[4];
    const D3DXVECTOR3 near(5.0f, 0.0f, 0.0f);
    g_SceneLights.GetPointLightColor(colour, &near);
    EXPECT_FLOAT_EQ(colour[0], 0.5f);
    EXPECT_FLOAT_EQ(colour[1], 0.25f);
    EXPECT_FLOAT_EQ(colour[3], 1.5f);
    const D3DXVECTOR3 far(10.0f, 0.0f, 0.0f);
    g_SceneLights.GetPointLightColor(colour, &far);
    EXPECT_FLOAT_EQ(colour[0], 0.0f);
}

// Before the device exists (or after it is gone) the records keep their
// values and nothing touches a device.
TEST(SceneLightsWithoutDevice, RecordsWorkWithoutADevice)
{
    IDirect3DDevice9* saved = g_D3DRender.m_pDevice;
    g_D3DRender.m_pDevice = nullptr;
    CSceneLights lights;
    for (const CSceneLight& slot : lights.m_Slots)
        EXPECT_EQ(slot.m_nSlot, -1);
    EXPECT_EQ(lights.Init(), 1);
    const D3DXVECTOR3 at(0.0f, 0.0f, 0.0f);
    const float colour[4] = {1, 1, 1, 1};
    EXPECT_EQ(lights.AddPointLight(&at, colour, 5.0f, 1), 0);
    lights.Update();
    lights.ApplyLightSet(nullptr);
    lights.OnLostDevice();
    lights.Release();
    EXPECT_EQ(lights.FindFreeLight(), 0);
    g_D3DRender.m_pDevice = saved;
}

} // namespace
