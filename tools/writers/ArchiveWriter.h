// Packs loose data files into the game's four archives: a ".hdr" index
// (scrambled names, u32 size and offset per entry, the u32 entry count last)
// and a ".pak" of bodies, stored plain except in the Objects archive.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace tools {

struct PackEntry {
    std::string name;  // as the game spells it, e.g. "Data/Misc/KeyScanCodes.obj"
    std::string bytes; // the body
};

struct IndexRecord {
    std::string name;
    std::uint32_t size;
    std::uint32_t offset;
};

// The archive (1000 Objects, 4000 World, 5000 Textures, 6000 SD) a file
// belongs to by its extension: description and list files ".obj" go to
// Objects, images to Textures, sounds to SD, everything else to World.
std::uint32_t ArchiveForName(const std::string& name);

// The bytes of a ".hdr" index listing the records.
std::string EncodeIndex(const std::vector<IndexRecord>& records);

// Writes "<dataDir>/<baseName>.hdr" and ".pak" (making the folder); bodies are scrambled when
// asked (the Objects archive). False when a file cannot be written or does
// not fit the format's 32-bit sizes.
bool WriteArchive(const std::string& dataDir, const std::string& baseName,
                  const std::vector<PackEntry>& entries, bool scrambleBodies);

// Packs every file below "<root>/Data" into the four archives in
// "<root>/Data", named by their path relative to root with '/' separators
// ("Data/..."), in name order. The loose files stay in place. Archives an
// earlier run wrote are not packed again.
bool PackDataTree(const std::string& root);

} // namespace tools
