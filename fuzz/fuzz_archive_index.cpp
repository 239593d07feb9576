// The archive layer opening a damaged index and body pair: the input is an
// index and a body file (a three-byte length prefix, so an index may be as
// large as real ones are); the entries the index names are then opened and
// read whole (the first few and the last: a real index lists hundreds). The
// tables are let go at the end, so nothing of one input is left for the
// next.
#include "FuzzFiles.h"
#include "shell/FileManager.h"
#include "shell/Settings.h"

#include <string>

namespace {

constexpr std::uint32_t kOpenedEntries = 16;

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    fuzz::BeginInput(data, size);
    std::string index;
    std::string body;
    fuzz::SplitInput(data, size, &index, &body, 3);
    for (const char* name : {"Objects", "World"}) {
        fuzz::SetFile(std::string("Data/") + name + ".hdr", index);
        fuzz::SetFile(std::string("Data/") + name + ".pak", body);
    }
    g_bFileManager = 1;
    g_FileManager.Init();
    const int archives[] = {0, 1};
    const std::uint32_t modes[] = {ARCHIVE_OBJECTS, ARCHIVE_WORLD};
    for (int a : archives) {
        const std::uint32_t count = g_FileManager.m_EntryCount[a];
        for (std::uint32_t i = 0; i < count; i = (i + 1 == kOpenedEntries && count > i + 1) ? count - 1 : i + 1) {
            std::uint32_t entrySize = 0;
            const FileHandle f = g_FileManager.Open(g_FileManager.m_pEntries[a][i].name, modes[a], &entrySize);
            if (f == INVALID_FILE_HANDLE)
                continue;
            static char buffer[65536];
            g_FileManager.Read(buffer, 1, entrySize < sizeof buffer ? entrySize : sizeof buffer, f);
            g_FileManager.Close(f);
        }
    }
    g_bFileManager = 0;
    g_FileManager.Init();
    return 0;
}
