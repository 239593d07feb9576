// Reads one data file whole through the archive layer.
#pragma once

#include <cstdint>
#include <vector>

enum class DataFileResult {
    NotOpened, // in neither place
    Failed,    // opened, but empty, larger than its kind's cap, or shorter than its size
    Read,
};

// The largest file of each kind read whole: far above any real one, far
// below what would exhaust memory.
constexpr std::uint32_t MAX_TECHNIQUE_FILE_BYTES = 16u << 20;
constexpr std::uint32_t MAX_TEXTURE_FILE_BYTES = 128u << 20;
constexpr std::uint32_t MAX_MESH_FILE_BYTES = 128u << 20;

// Opens path in the archive (ARCHIVE_WORLD, ARCHIVE_TEXTURES ...) and, when
// looseFallback is set and the archive lacks it, as a loose binary file; the
// whole body lands in out. A file over maxBytes is refused with a log line.
// The handle is always closed.
DataFileResult ReadDataFile(const char* path, std::uint32_t archive, bool looseFallback, std::uint32_t maxBytes,
                            std::vector<unsigned char>* out);
// As ReadDataFile, for the files a data set may leave out (a sector without
// roads has no road mesh): one found in neither place is not logged.
DataFileResult ReadOptionalDataFile(const char* path, std::uint32_t archive, bool looseFallback,
                                    std::uint32_t maxBytes, std::vector<unsigned char>* out);
