// Reading an archive's ".hdr" index and its Objects bodies. Both come from
// disk and are checked: an entry whose body lies outside the body file is
// skipped, a broken record ends the table there, each with a log line.
#pragma once

#include "shell/FileManager.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>

// Index and body files of an archive id, or null for another id.
const char* ArchiveIndexPath(std::uint32_t archiveId);
const char* ArchiveBodyPath(std::uint32_t archiveId);

// Slot 0..3 of an archive id in the manager's tables, or -1.
int ArchiveSlot(std::uint32_t archiveId);

// Names and body bytes are stored with their top bit flipped.
inline std::uint8_t Unscramble(std::uint8_t b)
{
    return static_cast<std::uint8_t>(b ^ 0x80u);
}

// Parses a whole index: entries (scrambled name, 0, u32 size, u32 offset)
// followed by the u32 entry count. Keeps at most maxEntries, and only
// entries whose body lies within bodySize bytes. Returns a table of
// *outCount records (allocated with new[]), or null with *outCount 0.
ArchiveEntry* ParseArchiveIndex(const std::uint8_t* index, std::size_t size, std::uint64_t bodySize,
                                std::uint32_t maxEntries, const char* indexName, std::uint32_t* outCount);

// Whether the bodies of count entries add up to at most maxBytes (entries
// may overlap in a damaged index, so the sum can be far above the body
// file's size); logs the refusal.
bool ArchiveBodiesFit(const ArchiveEntry* entries, std::uint32_t count, std::uint64_t maxBytes, const char* indexName);

// Reads and unscrambles every entry's body from the body file into memory.
// A body that cannot be read ends the table there (*count shrinks).
void LoadArchiveBodies(ArchiveEntry* entries, std::uint32_t* count, std::FILE* body, const char* bodyName);

// Size of an open file in bytes (rewinds it); -1 when it cannot be told.
long long FileLength(std::FILE* f);
