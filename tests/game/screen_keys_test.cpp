// A screen's step on this frame's keys: what it takes is cleared in the
// global flags so no later screen sees it, and what it leaves stays held,
// above all the blank, which in the city is the hand brake.
#include "game/ScreenKeys.h"
#include "shell/Input.h"

#include <gtest/gtest.h>

namespace {

struct KeyCase {
    const char* name;
    int* flag;
    int ScreenKeys::*key;
};

const KeyCase kKeys[] = {
    {"up", &g_bKeyUp, &ScreenKeys::up},
    {"down", &g_bKeyDown, &ScreenKeys::down},
    {"left", &g_bKeyLeft, &ScreenKeys::left},
    {"right", &g_bKeyRight, &ScreenKeys::right},
    {"enter", &g_bKeyEnter, &ScreenKeys::enter},
    {"escape", &g_bKeyEscape, &ScreenKeys::escape},
    {"racers list", &g_bActRacersTopList, &ScreenKeys::ratingList},
    {"driver information", &g_bActInfoWindow, &ScreenKeys::driverInfo},
    {"blank", &g_bKeySpace, &ScreenKeys::space},
    {"left mouse button", &g_bMouseLeft, &ScreenKeys::mouseLeft},
};

class ScreenKeysTest : public testing::Test {
protected:
    void SetUp() override { ResetInputState(); }
    void TearDown() override { ResetInputState(); }
};

TEST_F(ScreenKeysTest, AStepClearsWhatItTakesAndLeavesTheRestHeld)
{
    for (const KeyCase& taken : kKeys) {
        SCOPED_TRACE(taken.name);
        for (const KeyCase& k : kKeys)
            *k.flag = 1;
        int seen = 0;
        StepWithScreenKeys([&](ScreenKeys& keys) {
            seen = keys.*taken.key;
            keys.*taken.key = 0;
        });
        EXPECT_EQ(seen, 1) << "the step sees the key held";
        for (const KeyCase& k : kKeys)
            EXPECT_EQ(*k.flag, k.flag == taken.flag ? 0 : 1) << k.name;
    }
}

TEST_F(ScreenKeysTest, AKeyPressedDuringTheStepIsNotTakenWithIt)
{
    // The step takes a key that was not held and the frame's press of it
    // comes while the step runs (a screen opening another): it stays.
    for (const KeyCase& k : kKeys) {
        SCOPED_TRACE(k.name);
        *k.flag = 0;
        StepWithScreenKeys([&](ScreenKeys& keys) {
            keys.*k.key = 0;
            *k.flag = 1;
        });
        EXPECT_EQ(*k.flag, 1);
        *k.flag = 0;
    }
}

TEST_F(ScreenKeysTest, TheStepsAnswerComesBack)
{
    g_bKeyEscape = 1;
    const auto take = [] {
        return StepWithScreenKeys([](ScreenKeys& keys) {
            const bool taken = keys.escape != 0;
            keys.escape = 0;
            return taken;
        });
    };
    EXPECT_TRUE(take());
    EXPECT_FALSE(take()) << "taken once, gone for the next screen";
}

} // namespace
