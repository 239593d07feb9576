// Reads one data file whole through the archive layer.
#pragma once

#include <cstdint>
#include <vector>

enum class DataFileResult {
    NotOpened, // in neither place
    Failed,    // opened, but empty, too large for memory, or shorter than its size
    Read,
};

// Opens path in the archive (ARCHIVE_WORLD, ARCHIVE_TEXTURES ...) and, when
// looseFallback is set and the archive lacks it, as a loose binary file; the
// whole body lands in out. The handle is always closed.
DataFileResult ReadDataFile(const char* path, std::uint32_t archive, bool looseFallback,
                            std::vector<unsigned char>* out);
