// Writes profile save files "Save/Profile%02d.sav": the whole save of a
// running game, or the 20-byte header a new profile starts with.
#pragma once

#include <cstdint>
#include <string>

namespace tools {

struct ProfileSave {
    std::string name = "Player";                       // at most 15 characters kept
    std::uint32_t newProfileFlag = 0;                  // 1 only in a new profile's header
    std::uint32_t stats[13] = {};                      // the statistics' 32-bit fields as stored
    std::string modelPath = "Data/Vehicles/01/Main.obj";
    std::string carBlocks = std::string(152, '\0');    // the car record before its dent count
    std::uint32_t dentCount = 0;                       // 40-byte dent records after the count
    std::uint32_t lastView = 2;
    std::uint32_t timer[8] = {};                       // the timer's fields as stored
    std::uint32_t history[64] = {};                    // showing counts, then last-shown times
};

std::uint32_t FloatBits(float value);

// The car record's fixed part (152 bytes, before the dent count): a name, the
// two paint colours (0..1, alpha last) and the gloss; no race, upgrades,
// damage or wear.
std::string EncodeCarHead(const std::string& name, const float paint[4], const float paint2[4], std::uint32_t gloss);

// Field by field, little-endian; dent record i holds bytes i, i + 1, ...
std::string EncodeProfile(const ProfileSave& save);
// The name (16 bytes, zero-padded) and the new-profile flag 1.
std::string EncodeNewProfile(const std::string& name);

// A player some way into the game: money, play time, a race won.
ProfileSave SampleProfile();
// "Save/Profile01.sav" below root.
bool WriteSampleProfile(const std::string& root);

} // namespace tools
