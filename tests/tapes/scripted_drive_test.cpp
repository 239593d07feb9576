// The scripted driver: its key choice for a car and a target, and a whole
// continued career in which it drives the car round a corner to a stop by
// the driving keys alone.
#include "game/PlayerStats.h"
#include "platform/InputTape.h"
#include "support/ScriptedDriver.h"
#include "support/TapePlay.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

using test::CarView;
using test::DriveKeys;
using test::g_TapeEnd;
using test::PlayTape;

struct KeyCase {
    const char* what;
    CarView car;
    D3DXVECTOR3 target;
    float wanted;
    bool accelerate, brake, left, right, handBrake;
};

// The car stands at the origin facing +z (right is +x) with its wheels
// straight unless told.
const KeyCase kKeyCases[] = {
    {"straight ahead, slow", {{0, 0, 0}, {0, 0, 1}, 10.0f, 0.0f}, {0, 0, 50}, 40.0f, true, false, false, false, false},
    {"target to the right", {{0, 0, 0}, {0, 0, 1}, 30.0f, 0.0f}, {20, 0, 20}, 40.0f, true, false, false, true, false},
    {"target to the left", {{0, 0, 0}, {0, 0, 1}, 30.0f, 0.0f}, {-20, 0, 20}, 40.0f, true, false, true, false, false},
    {"facing -x, target on its right (+z)", {{0, 0, 0}, {-1, 0, 0}, 30.0f, 0.0f}, {-20, 0, 20}, 40.0f, true, false, false,
     true, false},
    {"nearly on the nose: no steering", {{0, 0, 0}, {0, 0, 1}, 30.0f, 0.0f}, {1, 0, 50}, 40.0f, true, false, false, false,
     false},
    {"a little too fast: coasts", {{0, 0, 0}, {0, 0, 1}, 45.0f, 0.0f}, {0, 0, 50}, 40.0f, false, false, false, false,
     false},
    {"far too fast: brakes", {{0, 0, 0}, {0, 0, 1}, 60.0f, 0.0f}, {0, 0, 50}, 40.0f, false, true, false, false, false},
    {"stopping while moving: brake only", {{0, 0, 0}, {0, 0, 1}, 20.0f, 0.0f}, {0, 0, 2}, 0.0f, false, true, false, false,
     false},
    {"wheels already turned for the bend", {{0, 0, 0}, {0, 0, 1}, 30.0f, 0.8f}, {20, 0, 20}, 40.0f, true, false,
     false, false, false},
    {"wheels turned too far for a gentle bend", {{0, 0, 0}, {0, 0, 1}, 30.0f, 0.8f}, {2, 0, 40}, 40.0f, true, false,
     true, false, false},
    {"stopped: hand brake held", {{0, 0, 0}, {0, 0, 1}, 0.5f, 0.0f}, {0, 0, 2}, 0.0f, false, false, false, false, true},
};

TEST(ScriptedDriverKeys, TurnsTowardTheTargetAndKeepsTheWantedSpeed)
{
    for (const KeyCase& c : kKeyCases) {
        const DriveKeys keys = test::DecideKeys(c.car, c.target, c.wanted);
        EXPECT_EQ(keys.down[test::DRIVE_ACCELERATE], c.accelerate) << c.what;
        EXPECT_EQ(keys.down[test::DRIVE_BRAKE], c.brake) << c.what;
        EXPECT_EQ(keys.down[test::DRIVE_LEFT], c.left) << c.what;
        EXPECT_EQ(keys.down[test::DRIVE_RIGHT], c.right) << c.what;
        EXPECT_EQ(keys.down[test::DRIVE_HAND_BRAKE], c.handBrake) << c.what;
    }
}

// The continued career puts the car on the east street a little north of
// the south-east crossing, nosing south-south-west; the route runs down to
// the crossing, turns west along the southern street and ends 80 m on.
TEST_F(PlayTape, ScriptedDriverTakesTheCarRoundACornerToAStop)
{
    const D3DXVECTOR3 route[] = {{462.0f, 17.0f, -1092.0f}, {458.0f, 17.0f, -1104.0f}, {380.0f, 17.0f, -1104.0f}};
    test::ScriptedDriver driver;
    unsigned startedAt = 0, arrivedAt = 0;
    int pedestriansBefore = 0;
    m_script = [&](unsigned frame, HWND window) {
        if (!test::PlayerInControl())
            return;
        if (!startedAt) {
            startedAt = frame;
            pedestriansBefore = g_PlayerStats.m_nPedestriansHit;
            driver.Follow(route, 3, true);
        }
        driver.Step(window);
        if (driver.Arrived() && !arrivedAt) {
            arrivedAt = frame;
            plat::EndTapeAt(frame + 25);
        }
    };
    ASSERT_TRUE(Play("drive_sample.tape"));
    ASSERT_NE(startedAt, 0u) << "the car never came under the player's control";
    EXPECT_NE(arrivedAt, 0u) << "the driver stopped short at point " << driver.NextPoint() << ", car at ("
                             << g_TapeEnd.carPosition.x << ", " << g_TapeEnd.carPosition.z << ")";
    EXPECT_LT(std::hypot(g_TapeEnd.carPosition.x - 380.0f, g_TapeEnd.carPosition.z + 1104.0f), 4.0f);
    EXPECT_LT(std::fabs(g_TapeEnd.carSpeed), 2.0f);
    EXPECT_EQ(g_TapeEnd.scene, 0);
    EXPECT_LT(g_TapeEnd.carDamage, 0.05f) << "a clean drive leaves the car whole";
    EXPECT_EQ(g_TapeEnd.pedestriansHit, pedestriansBefore) << "the route keeps off the walkways";
}

} // namespace
