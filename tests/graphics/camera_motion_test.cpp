// The camera's per-frame motion: view cycling, chase offsets, transitions,
// ground clearance, fly-by without a world, fades and speed blur.
#include "graphics/D3DRender.h"
#include "graphics/WorldCamera.h"
#include "shell/AudioManager.h"
#include "platform/Win32.h"
#include "roadusers/Vehicle.h"
#include "shell/GameTimer.h"
#include "shell/Input.h"
#include "shell/Settings.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

class CameraMotionTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        plat::SetHeadless(true);
        plat::SetFakeClock(10000);
        g_GameTimer.Reset();
        g_GameTimer.m_fRealDelta = 0.02f;
        g_GameTimer.m_fDelta = 0.02f;
        g_bDebugOut = 0;
        const D3DXVECTOR3 eye(0, 10, -20);
        const D3DXVECTOR3 target(0, 10, 0);
        camera.Init(&eye, &target, D3DX_PI / 2.0f, 1.0f, 0.2f, 600.0f, 2);
        D3DXMatrixIdentity(&car.m_matWorld);
        car.m_vPosition = D3DXVECTOR3(0, 0, 0);
        car.m_fSphereRadius = 4.0f;
    }
    void TearDown() override
    {
        camera.Release();
        g_pPlayerVehicle = nullptr;
        g_bDebugOut = 0;
        plat::UseRealClock();
    }
    CWorldCamera camera{};
    CVehicle car;
};

TEST_F(CameraMotionTest, NextViewCyclesTheDrivingViews)
{
    struct Case {
        int from;
        int debug;
        int to;
    };
    const Case cases[] = {{1, 0, 2}, {2, 0, 3}, {3, 0, 1}, {3, 1, 0}, {0, 1, 1}};
    for (const Case& c : cases) {
        camera.m_nMode = c.from;
        g_bDebugOut = c.debug;
        camera.NextView();
        EXPECT_EQ(camera.m_nMode, c.to) << "from " << c.from << " debug " << c.debug;
    }
}

TEST_F(CameraMotionTest, ChaseGoalDropsBackWithSpeed)
{
    camera.SetMode(2, &car);
    const float d = 2 * 4.0f * 0.85f;
    struct Case {
        float speed;
        float behind;
    };
    for (const Case& c : {Case{0.0f, d}, Case{-50.0f, d}, Case{200.0f, 1.5f * d}, Case{400.0f, 1.5f * d}}) {
        car.m_fSpeed = c.speed;
        D3DXVECTOR3 eye, target, up;
        camera.ComputeChaseOffsets(&eye, &target, &up);
        EXPECT_NEAR(eye.z, -c.behind, 1e-4f) << c.speed;
        EXPECT_NEAR(eye.y, d / 2.0f, 1e-4f);
    }
}

TEST_F(CameraMotionTest, ChaseOffsetsCloseTheirGapAtTheRateOfTheFrame)
{
    camera.SetMode(2, &car);
    car.m_fSpeed = 0.0f;
    D3DXVECTOR3 goalEye, goalTarget, goalUp;
    camera.ComputeChaseOffsets(&goalEye, &goalTarget, &goalUp);
    camera.m_vEyeOffset = goalEye + D3DXVECTOR3(8, 0, 0);
    camera.m_vTargetOffset = goalTarget + D3DXVECTOR3(4, 0, 0);
    g_GameTimer.m_fRealDelta = 0.5f; // k = 0.5
    camera.Update();
    EXPECT_NEAR(camera.m_vEyeOffset.x - goalEye.x, 8.0f * 0.625f, 1e-3f) << "37.5 % closed";
    EXPECT_NEAR(camera.m_vTargetOffset.x - goalTarget.x, 0.0f, 1e-3f) << "100 % closed";
}

TEST_F(CameraMotionTest, TransitionsBlendOnRealTime)
{
    const D3DXVECTOR3 goal(100, 10, -20);
    camera.StartTransition(&goal, nullptr, 0.0f, nullptr, 0.0f, 0);
    camera.Update();
    EXPECT_NEAR(camera.m_vEye.x, 100.0f, 1e-4f) << "no duration jumps at once";

    const D3DXVECTOR3 back(0, 10, -20);
    camera.StartTransition(&back, nullptr, 2.0f, nullptr, 0.0f, 0);
    g_GameTimer.m_fRealTime += 1000.0f;
    camera.Update();
    EXPECT_NEAR(camera.m_vEye.x, 50.0f, 1e-2f) << "half way is weight 0.5";
    g_GameTimer.m_fRealTime += 1500.0f;
    camera.Update();
    EXPECT_NEAR(camera.m_vEye.x, 0.0f, 1e-4f);
    EXPECT_EQ(camera.m_fDuration, 0.0f);
}

TEST_F(CameraMotionTest, EyeStaysAboveTheGroundUnlessDebugging)
{
    camera.SetMode(5, nullptr);
    camera.m_vEye = D3DXVECTOR3(0, -3, 0);
    camera.Update();
    EXPECT_FLOAT_EQ(camera.m_vEye.y, 1.0f);
    g_bDebugOut = 1;
    camera.m_vEye = D3DXVECTOR3(0, -3, 0);
    camera.Update();
    EXPECT_FLOAT_EQ(camera.m_vEye.y, -3.0f);
}

TEST_F(CameraMotionTest, FrameWithoutTimeChangesNothing)
{
    camera.SetMode(0, nullptr);
    g_bKeyA = 1;
    g_GameTimer.m_fRealDelta = 0.0f;
    const D3DXVECTOR3 before = camera.m_vEye;
    camera.Update();
    g_bKeyA = 0;
    EXPECT_EQ(camera.m_vEye, before);
}

TEST_F(CameraMotionTest, FlyByWithoutAWorldReportsNoPathAndStandsStill)
{
    const unsigned boxes = plat::MessageBoxCount();
    camera.SetMode(6, nullptr);
    const D3DXVECTOR3 before = camera.m_vEye;
    camera.Update();
    EXPECT_EQ(plat::MessageBoxCount(), boxes + 1);
    EXPECT_STREQ(plat::LastMessageBoxText(), "Can't get camera path!");
    EXPECT_STREQ(plat::LastMessageBoxCaption(), "CWorldCamera error!");
    EXPECT_TRUE(std::isfinite(camera.m_vEye.x));
    EXPECT_FLOAT_EQ(camera.m_vEye.z, before.z);
}

TEST_F(CameraMotionTest, SpeedBlurFollowsThePlayersSpeed)
{
    g_pPlayerVehicle = &car;
    camera.m_nMode = 2;
    struct Case {
        float speed;
        float blur;
    };
    for (const Case& c : {Case{50, 0}, Case{95, 0.5f}, Case{-150, 1}, Case{300, 1}}) {
        car.m_fSpeed = c.speed;
        camera.UpdateSpeedBlur();
        EXPECT_FLOAT_EQ(g_D3DRender.m_fMotionBlur, c.blur) << c.speed;
    }
    camera.m_nMode = 4;
    camera.UpdateSpeedBlur();
    EXPECT_FLOAT_EQ(g_D3DRender.m_fMotionBlur, 0.0f);
}

} // namespace

#include "graphics/ScreenVertex.h"
#include "support/HeadlessDevice.h"

#include <cstring>

namespace {

// The fade's black rectangle: its alpha follows the share of the fade gone
// by, and a finished fade out keeps the screen black.
// Alpha of the last screen rectangle drawn, or -1 when none was.
int LastDrawnAlpha(const test::HeadlessDevice& device)
{
    const auto draws = device.Log().Of(plat::D3DOp::DrawPrimitiveUP);
    if (draws.empty() || draws.back().data.size() < sizeof(CScreenVertex))
        return -1;
    CScreenVertex v;
    std::memcpy(&v, draws.back().data.data(), sizeof(v));
    return static_cast<int>(v.colour >> 24);
}

TEST_F(CameraMotionTest, FadeOutDarkensWithRealTime)
{
    test::HeadlessDevice device;
    g_D3DRender.m_pDevice = device.Get();
    auto lastAlpha = [&device] { return LastDrawnAlpha(device); };
    camera.StartFadeOut(2.0f, 0);
    g_GameTimer.m_fRealDelta = 1.0f;
    camera.DrawFade();
    EXPECT_EQ(lastAlpha(), 127);
    camera.DrawFade();
    EXPECT_EQ(lastAlpha(), 255);
    camera.DrawFade();
    EXPECT_EQ(lastAlpha(), 255) << "the screen stays black";

    camera.StartFadeIn(2.0f, 0);
    camera.DrawFade();
    EXPECT_EQ(lastAlpha(), 127);
    device.Log().Clear();
    camera.DrawFade();
    EXPECT_EQ(lastAlpha(), -1) << "a finished fade in draws nothing";
    g_D3DRender.m_pDevice = nullptr;
}

// Frames rarely land on the fade's end: the one that passes it must still
// leave the sound at the end value.
TEST_F(CameraMotionTest, SoundFadeEndsAtItsEndValue)
{
    test::HeadlessDevice device;
    g_D3DRender.m_pDevice = device.Get();
    struct Case {
        bool fadeIn;
        float frame;
        float end;
    };
    const Case cases[] = {{false, 0.3f, 0.0f}, {true, 0.3f, 100.0f}, {false, 0.7f, 0.0f}, {true, 0.45f, 100.0f}};
    for (const Case& c : cases) {
        g_AudioManager.m_fFadeLevel = c.fadeIn ? 0.0f : 100.0f;
        if (c.fadeIn)
            camera.StartFadeIn(1.0f, 1);
        else
            camera.StartFadeOut(1.0f, 1);
        g_GameTimer.m_fRealDelta = c.frame;
        for (int i = 0; i < 5; ++i)
            camera.DrawFade();
        EXPECT_EQ(g_AudioManager.m_fFadeLevel, c.end) << c.fadeIn << " " << c.frame;
    }
    g_D3DRender.m_pDevice = nullptr;
}

// A fade of no length, even on a frame without time, is over at once: the
// fade out is black and the fade in shows nothing, with no division by zero.
TEST_F(CameraMotionTest, ZeroLengthFadeIsOverAtOnce)
{
    test::HeadlessDevice device;
    g_D3DRender.m_pDevice = device.Get();
    g_GameTimer.m_fRealDelta = 0.0f;
    camera.StartFadeOut(0.0f, 1);
    camera.DrawFade();
    EXPECT_EQ(LastDrawnAlpha(device), 255);
    EXPECT_TRUE(std::isfinite(camera.m_fFadeElapsed));
    device.Log().Clear();
    camera.StartFadeIn(0.0f, 1);
    camera.DrawFade();
    EXPECT_EQ(LastDrawnAlpha(device), -1);
    g_D3DRender.m_pDevice = nullptr;
}

} // namespace
