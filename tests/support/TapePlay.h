// Play-through tapes: the recorded input of a session replayed through the
// real window procedure on the headless back end, in this process, with an
// optional script that acts each frame (through keys only) and the game's
// own figures read at the tape's end.
#pragma once

#include "platform/D3DX9.h"
#include "platform/Win32Types.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>

namespace test {

// What a tape's end shows of the game.
struct TapeFigures {
    unsigned frame = 0;
    int menuState = -1;
    int inGame = -1;
    int scene = -1;
    int money = 0;
    int ratingPoints = 0;
    int earnings = 0;
    int racesPlaced = 0;
    int roadIncidents = 0;
    int pedestriansHit = 0;
    int pursuit = -1;
    float criminalLevel = 0.0f;
    float arrestTimer = 0.0f;
    D3DXVECTOR3 carPosition{0.0f, 0.0f, 0.0f};
    float carUp = -2.0f;     // the height of the car's up axis: 1 upright, -1 on its roof
    float carSpeed = 0.0f;   // km/h
    int racePlace = -2;      // the player car's, -2 without a car
    float carDamage = -1.0f; // 0..1, -1 without a car
    int raceRunning = -1;
    int raceResultOpen = -1;
    int raceResultBooked = -1;
    int passengerOnBoard = -1;
    int arrests = 0;
    int finesTotal = 0;
    int workshopOpen = -1;
    int carShopOpen = -1;
    int repairPriceShown = -1; // the price on the workshop's repair page, as the player read it
    std::string carModel;      // the player car's description path
    int carBudget = -1;        // the car shop's trade-in plus money, and the showroom car's price
    int carPrice = -1;
    float playTime = 0.0f;
    int continueOffered = -1; // the main menu's CONTINUE
    int messageShown = -1;
    int figures = -1;         // the introduction's two pedestrians still listed
    int controlMode = -1;     // the player car's, -1 without a car
    int handBrake = -1;
};

extern TapeFigures g_TapeEnd;

// Called every frame of a replay with the main window; set before Play.
using FrameScript = std::function<void(unsigned frame, HWND window)>;

std::string TapeFile(const char* name);

class PlayTape : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Replays a tape through a whole run of the program; false when the tape
    // cannot be read or the run ended before the tape's last frame (which a
    // script may have brought forward).
    bool Play(const char* name);

    ScopedTempDir m_dir;
    FrameScript m_script;

private:
    bool m_callsKept = true;
};

} // namespace test
