// The driving display's figures: the map's transform and rim pull, the
// needles, the colour steps, the blinking lights and the arrow's turn.
#include "game/HudFigures.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

TEST(HudFigures, MapPointsArePlacedPulledOrHiddenByKind)
{
    const D3DXVECTOR3 car(100.0f, 5.0f, -50.0f);
    struct Case {
        const char* what;
        D3DXVECTOR3 offset;
        float limit;
        bool pull;
        bool drawn;
        float x, y;
    } cases[] = {
        // 250 units east is the map's right edge; north is up.
        {"near point", {125.0f, 0.0f, 0.0f}, 240.0f, false, true, 90.0f + 36.0f, 515.0f},
        {"north", {0.0f, 0.0f, 125.0f}, 240.0f, false, true, 90.0f, 515.0f - 34.0f},
        {"shop at 300 sits on the rim", {300.0f, 0.0f, 0.0f}, 325.0f, true, true, 90.0f + 240.0f / 250.0f * 72.0f,
         515.0f},
        {"shop at 325 is not drawn", {0.0f, 0.0f, -325.0f}, 325.0f, true, false, 0.0f, 0.0f},
        {"landing far away stays on the rim", {0.0f, 0.0f, -90000.0f}, INFINITY, true, true, 90.0f,
         515.0f + 240.0f / 250.0f * 68.0f},
        {"police beyond 240 hidden", {0.0f, 0.0f, 241.0f}, 240.0f, false, false, 0.0f, 0.0f},
        {"height does not count", {0.0f, 500.0f, 10.0f}, 240.0f, false, true, 90.0f, 515.0f - 10.0f / 250.0f * 68.0f},
    };
    for (const Case& c : cases) {
        HudPoint p{-1.0f, -1.0f};
        const D3DXVECTOR3 at = car + c.offset;
        EXPECT_EQ(HudMapPoint(at, car, c.limit, c.pull, &p), c.drawn) << c.what;
        if (c.drawn) {
            EXPECT_NEAR(p.x, c.x, 1e-3f) << c.what;
            EXPECT_NEAR(p.y, c.y, 1e-3f) << c.what;
        }
    }
}

TEST(HudFigures, NeedlesStopAtTheirEndsAndANullEngineIsGuarded)
{
    EXPECT_NEAR(HudSpeedAngle(90.0f), 90.0f / 190.0f * HUD_DIAL_SWEEP, 1e-6f);
    EXPECT_NEAR(HudSpeedAngle(250.0f), 180.0f / 190.0f * HUD_DIAL_SWEEP, 1e-6f);
    EXPECT_EQ(HudSpeedAngle(-30.0f), 0.0f);
    EXPECT_NEAR(HudForceAngle(1000.0f, 4000.0f), 800.0f / 4000.0f * HUD_DIAL_SWEEP, 1e-6f);
    EXPECT_NEAR(HudForceAngle(9000.0f, 4000.0f), HUD_DIAL_SWEEP, 1e-6f);
    EXPECT_EQ(HudForceAngle(-500.0f, 4000.0f), 0.0f);
    EXPECT_EQ(HudForceAngle(1000.0f, 0.0f), 0.0f);
    EXPECT_FALSE(std::isnan(HudForceAngle(0.0f, 0.0f)));
}

TEST(HudFigures, CriminalSegmentsSirenAndBlink)
{
    const struct {
        float level;
        int lit;
    } segments[] = {{0.0f, 0}, {0.1f, 1}, {0.95f, 9}, {1.0f, 10}, {3.0f, 10}, {-1.0f, 0}};
    for (const auto& c : segments)
        EXPECT_EQ(HudCriminalSegments(c.level), c.lit) << c.level;

    // Up to 10 in a quarter second, back to 0 in the next.
    const struct {
        unsigned ms;
        float f;
    } siren[] = {{0, 0.0f}, {125, 5.0f}, {250, 10.0f}, {375, 5.0f}, {499, 0.04f}, {625, 5.0f}};
    for (const auto& c : siren)
        EXPECT_NEAR(HudSirenPosition(c.ms), c.f, 1e-4f) << c.ms;

    EXPECT_FALSE(HudBlinkOn(200));
    EXPECT_TRUE(HudBlinkOn(201));
    EXPECT_TRUE(HudBlinkOn(399));
    EXPECT_FALSE(HudBlinkOn(400));
}

TEST(HudFigures, TimeAndFareColourSteps)
{
    const float limits[3] = {60.0f, 75.0f, 90.0f};
    const struct {
        float t;
        int step;
    } times[] = {{10.0f, HUD_GREEN}, {60.0f, HUD_GREEN}, {60.5f, HUD_YELLOW}, {80.0f, HUD_ORANGE}, {95.0f, HUD_RED}};
    for (const auto& c : times)
        EXPECT_EQ(HudTimeStep(c.t, limits), c.step) << c.t;

    const struct {
        float fare, offered;
        int step;
    } fares[] = {{100.0f, 100.0f, HUD_GREEN}, {60.0f, 100.0f, HUD_GREEN}, {59.0f, 100.0f, HUD_YELLOW},
                 {39.0f, 100.0f, HUD_ORANGE}, {19.0f, 100.0f, HUD_RED},   {50.0f, 0.0f, HUD_RED}};
    for (const auto& c : fares)
        EXPECT_EQ(HudFareStep(c.fare, c.offered), c.step) << c.fare << " of " << c.offered;
    EXPECT_EQ(HudStepColour(HUD_RED, 0), D3DCOLOR_ARGB(168, 250, 0, 0));
    EXPECT_EQ(HudStepColour(HUD_GREEN, 1), D3DCOLOR_ARGB(168, 100, 200, 0));

    float percent = -1.0f;
    EXPECT_TRUE(HudProgress(250.0f, 1000.0f, &percent));
    EXPECT_FLOAT_EQ(percent, 75.0f);
    EXPECT_FALSE(HudProgress(250.0f, 0.0f, &percent));
}

TEST(HudFigures, DamageColourStaysInRangeAndIsRecomputedOncePerSecond)
{
    const struct {
        float d, r, g;
    } colours[] = {{0.0f, 0.0f, 1.0f}, {0.25f, 0.5f, 0.75f}, {0.5f, 1.0f, 0.5f}, {1.0f, 1.0f, 0.0f}, {1.7f, 1.0f, 0.0f},
                   {-0.5f, 0.0f, 1.0f}};
    for (const auto& c : colours) {
        const D3DXCOLOR4 col = HudDamageColour(c.d);
        EXPECT_FLOAT_EQ(col.r, c.r) << c.d;
        EXPECT_FLOAT_EQ(col.g, c.g) << c.d;
        EXPECT_EQ(col.b, 0.0f);
    }
    // Above 1 s, not at it: every fifth frame of 0.25 s.
    float timer = 0.0f;
    for (int frame = 1; frame <= 12; ++frame)
        EXPECT_EQ(HudDamageTimerStep(&timer, 0.25f), frame % 5 == 0) << frame;
}

TEST(HudFigures, ArrowTurnsWithTheHeadingAndStaysFlatWithoutOne)
{
    float north[4][2], east[4][2], nose[4][2], bad[4][2];
    HudArrowCorners(0.0f, 1.0f, 1.0f, north);
    HudArrowCorners(3.0f, 0.0f, 1.0f, east);
    HudArrowCorners(0.0f, 0.0f, 1.0f, nose);
    HudArrowCorners(NAN, 1.0f, 1.0f, bad);
    // Unturned: corners in strip order top-left, bottom-left, top-right, bottom-right.
    const float up[4][2] = {{-6, -8}, {-6, 8}, {6, -8}, {6, 8}};
    // Facing east the arrow's tip (its top edge) points right.
    const float right[4][2] = {{8, -6}, {-8, -6}, {8, 6}, {-8, 6}};
    for (int i = 0; i < 4; ++i)
        for (int k = 0; k < 2; ++k) {
            EXPECT_NEAR(north[i][k], up[i][k], 1e-5f);
            EXPECT_NEAR(east[i][k], right[i][k], 1e-5f);
            EXPECT_NEAR(nose[i][k], up[i][k], 1e-5f);
            EXPECT_NEAR(bad[i][k], up[i][k], 1e-5f);
        }
    float small[4][2];
    HudArrowCorners(0.0f, 1.0f, 0.75f, small);
    EXPECT_FLOAT_EQ(small[3][0], 4.5f);
}

TEST(HudFigures, MapWindowShowsTheCarAtTheCentreAndNeedsAWorldSize)
{
    float uv[33][2];
    ASSERT_TRUE(HudMapTexCoords(500.0f, -250.0f, 2000.0f, uv));
    EXPECT_FLOAT_EQ(uv[0][0], 0.75f);
    EXPECT_FLOAT_EQ(uv[0][1], 0.625f);
    // 250 units either side: a disc of 500 / W in texture space.
    EXPECT_NEAR(uv[1][0] - uv[0][0], 0.125f, 1e-6f);
    EXPECT_NEAR(uv[1][1], uv[0][1], 1e-6f);
    EXPECT_NEAR(uv[32][0], uv[1][0], 1e-5f);
    EXPECT_FALSE(HudMapTexCoords(0.0f, 0.0f, 0.0f, uv));
}

} // namespace
