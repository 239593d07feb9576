// The race result's figures: reward, rating points, row texts, and the
// booking into the player's record. Pure, so every case can be checked
// without the panels.
#pragma once

#include "game/GameInterface.h"
#include "game/PlayerStats.h"

#include <cstdint>

struct RaceResultInput {
    std::int32_t place;            // 0 first, -1 did not finish
    std::int32_t level;            // 0..2
    std::int32_t timeRace;
    float clock;                   // race clock, s
    std::int32_t incidents;        // since the start
    std::int32_t pedestrians;      // since the start
    float damageRise;              // damage total since the start
    std::int32_t damagePercentRise;
    std::int32_t carDamagePercent;
    std::int32_t prizes[3];
    std::int32_t money;            // before the reward
};

struct RaceResultFigures {
    std::int32_t points;
    std::int32_t reward;
};

// Keeps a sum made in 64 bits within what a saved 32-bit figure can hold.
std::int32_t ClampMoney(std::int64_t value);

RaceResultFigures ComputeRaceResult(const RaceResultInput& in);
// The value and note texts of the seven rows.
void FormatRaceResult(const RaceResultInput& in, const RaceResultFigures& figures,
                      char values[RESULT_ROWS][RESULT_VALUE_SIZE], char notes[RESULT_ROWS][RESULT_NOTE_SIZE]);
// Money, rating points, fines and earnings of a closed result.
void BookRaceResult(CPlayerStats* stats, const RaceResultFigures& figures, std::int32_t place,
                    std::int32_t incidents, std::int32_t pedestrians);
