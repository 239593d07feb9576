// The save file of a profile: name, a u32 the menu uses as its new-profile
// flag, the statistics, the player car's model path and record, the last
// driving view, the timer and the message history, all little-endian.
#pragma once

#include "game/PlayerStats.h"

#include <cstddef>
#include <cstdint>

constexpr unsigned PROFILE_NAME_SIZE = 16;
constexpr unsigned PROFILE_PATH_SIZE = 256; // path with its terminator
constexpr unsigned PROFILE_TIMER_SIZE = 32;
// Far above any real save (a car with a million dent records); a bigger file
// is refused before it is read.
constexpr std::size_t PROFILE_FILE_LIMIT = 64u << 20;

// A save file that passed every check, not yet applied to the game. The
// record pointers point into the bytes it was parsed from.
struct CProfileContents {
    char szName[PROFILE_NAME_SIZE];
    CPlayerStats stats;
    char szModelPath[PROFILE_PATH_SIZE];
    const std::uint8_t* pCarRecord;
    std::size_t nCarRecordSize;
    int nLastView; // 1..3
    const std::uint8_t* pTimer;
    const std::uint8_t* pHistory;
};

// False unless the bytes are exactly one save: every count fits the file
// size, the path is at most 255 characters, nothing follows the history.
// The name and the path come out terminated; a view outside 1..3 becomes 2.
bool ParseProfile(const std::uint8_t* data, std::size_t size, CProfileContents* out);

// The driving views a save keeps; anything else is the chase view 2.
int ClampLastView(int view);

// "Save/Profile%02d.sav" for a profile index (file number index + 1).
void FormatProfilePath(char* buffer, std::size_t size, int profile);
