#include "shell/ArchiveIndex.h"

#include "platform/LittleEndian.h"
#include "shell/Log.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace {

struct ArchiveFiles {
    std::uint32_t id;
    const char* index;
    const char* body;
};

const ArchiveFiles kArchives[ARCHIVE_COUNT] = {
    {ARCHIVE_OBJECTS, "Data/Objects.hdr", "Data/Objects.pak"},
    {ARCHIVE_WORLD, "Data/World.hdr", "Data/World.pak"},
    {ARCHIVE_TEXTURES, "Data/Textures.hdr", "Data/Textures.pak"},
    {ARCHIVE_SD, "Data/SD.hdr", "Data/SD.pak"},
};

// A name of at least one byte, its terminator, size and offset: the least
// an entry takes, so an index can hold no more entries than its size / 10.
const std::size_t kMinEntryBytes = 10;
const std::size_t kNumbersBytes = 8;

void LogArchiveProblem(const char* file, const char* problem, std::uint32_t entry)
{
    char text[160];
    std::snprintf(text, sizeof(text), "%s (entry %u)", problem, entry);
    LogFileProblem(file, text);
}

// How many entries to read: the stored count, cut to what the index can
// hold and to maxEntries.
std::uint32_t UsableCount(std::uint32_t stored, std::size_t entryBytes, std::uint32_t maxEntries,
                          const char* indexName)
{
    std::uint32_t count = stored;
    if (count > entryBytes / kMinEntryBytes) {
        LogArchiveProblem(indexName, "entry count does not fit the index", count);
        count = static_cast<std::uint32_t>(entryBytes / kMinEntryBytes);
    }
    if (count > maxEntries) {
        LogArchiveProblem(indexName, "too many entries, the rest are ignored", count);
        count = maxEntries;
    }
    return count;
}

enum class EntryRead { Kept, Skipped, Broken };

// Reads the entry at *pos into e and moves past it. An entry whose body lies
// outside the body file is skipped (the ones after it are still good); a
// record that is itself broken ends the table.
EntryRead ParseEntry(const std::uint8_t* index, std::size_t end, std::size_t* pos, std::uint64_t bodySize,
                     const char* indexName, std::uint32_t i, ArchiveEntry* e)
{
    const std::uint8_t* name = index + *pos;
    const std::size_t nameSize = ARCHIVE_NAME_SIZE;
    const std::size_t room = end - *pos < nameSize ? end - *pos : nameSize;
    const void* terminator = std::memchr(name, 0, room);
    if (!terminator) {
        LogArchiveProblem(indexName, "entry name too long or not terminated", i);
        return EntryRead::Broken;
    }
    const std::size_t length = static_cast<const std::uint8_t*>(terminator) - name;
    // No caller opens a file by an empty name; a zero where a name starts is
    // what a zeroed or shifted index shows, and nothing after it can be
    // trusted to start where an entry starts.
    if (length == 0) {
        LogArchiveProblem(indexName, "entry without a name", i);
        return EntryRead::Broken;
    }
    if (end - *pos - length - 1 < kNumbersBytes) {
        LogArchiveProblem(indexName, "index truncated", i);
        return EntryRead::Broken;
    }
    *pos += length + 1 + kNumbersBytes;
    e->size = plat::ReadLE32(name + length + 1);
    e->offset = plat::ReadLE32(name + length + 5);
    if (static_cast<std::uint64_t>(e->offset) + e->size > bodySize) {
        LogArchiveProblem(indexName, "entry lies past the end of the body file, skipped", i);
        return EntryRead::Skipped;
    }
    for (std::size_t k = 0; k < length; ++k)
        e->name[k] = static_cast<char>(Unscramble(name[k]));
    e->name[length] = '\0';
    e->data = nullptr;
    e->readPos = 0;
    return EntryRead::Kept;
}

} // namespace

const char* ArchiveIndexPath(std::uint32_t archiveId)
{
    const int slot = ArchiveSlot(archiveId);
    return slot < 0 ? nullptr : kArchives[slot].index;
}

const char* ArchiveBodyPath(std::uint32_t archiveId)
{
    const int slot = ArchiveSlot(archiveId);
    return slot < 0 ? nullptr : kArchives[slot].body;
}

int ArchiveSlot(std::uint32_t archiveId)
{
    for (int i = 0; i < ARCHIVE_COUNT; ++i)
        if (kArchives[i].id == archiveId)
            return i;
    return -1;
}

ArchiveEntry* ParseArchiveIndex(const std::uint8_t* index, std::size_t size, std::uint64_t bodySize,
                                std::uint32_t maxEntries, const char* indexName, std::uint32_t* outCount)
{
    *outCount = 0;
    if (size < 4) {
        LogArchiveProblem(indexName, "index too short", 0);
        return nullptr;
    }
    const std::size_t end = size - 4;
    const std::uint32_t count = UsableCount(plat::ReadLE32(index + end), end, maxEntries, indexName);
    if (count == 0)
        return nullptr;
    // The table is sized from the entries actually read, not from the stored
    // count: a damaged count must not cost memory for entries that are not
    // there.
    std::vector<ArchiveEntry> kept;
    std::size_t pos = 0;
    for (std::uint32_t i = 0; i < count; ++i) {
        ArchiveEntry e{};
        const EntryRead r = ParseEntry(index, end, &pos, bodySize, indexName, i, &e);
        if (r == EntryRead::Broken)
            break;
        if (r == EntryRead::Kept)
            kept.push_back(e);
    }
    if (kept.empty())
        return nullptr;
    ArchiveEntry* entries = new ArchiveEntry[kept.size()];
    std::copy(kept.begin(), kept.end(), entries);
    *outCount = static_cast<std::uint32_t>(kept.size());
    return entries;
}

bool ArchiveBodiesFit(const ArchiveEntry* entries, std::uint32_t count, std::uint64_t maxBytes, const char* indexName)
{
    std::uint64_t total = 0;
    for (std::uint32_t i = 0; i < count; ++i)
        total += entries[i].size;
    if (total <= maxBytes)
        return true;
    LogArchiveProblem(indexName, "entries add up to more than the archive may hold, archive refused", count);
    return false;
}

void LoadArchiveBodies(ArchiveEntry* entries, std::uint32_t* count, std::FILE* body, const char* bodyName)
{
    for (std::uint32_t i = 0; i < *count; ++i) {
        ArchiveEntry& e = entries[i];
        e.data = new std::uint8_t[e.size ? e.size : 1];
        if (std::fseek(body, static_cast<long>(e.offset), SEEK_SET) != 0 ||
            std::fread(e.data, 1, e.size, body) != e.size) {
            LogArchiveProblem(bodyName, "body file truncated", i);
            delete[] e.data;
            e.data = nullptr;
            *count = i;
            return;
        }
        for (std::uint32_t k = 0; k < e.size; ++k)
            e.data[k] = Unscramble(e.data[k]);
    }
}

long long FileLength(std::FILE* f)
{
    if (std::fseek(f, 0, SEEK_END) != 0)
        return -1;
    const long length = std::ftell(f);
    std::rewind(f);
    return length;
}
