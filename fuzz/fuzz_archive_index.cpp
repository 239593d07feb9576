// The archive layer opening a damaged index and body pair: the input is an
// index and a body file (length-prefixed); every entry the index names is
// then opened and read whole.
#include "FuzzFiles.h"
#include "shell/FileManager.h"
#include "shell/Settings.h"

#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    fuzz::EnterScratchDirectory();
    std::string index;
    std::string body;
    fuzz::SplitInput(data, size, &index, &body);
    for (const char* name : {"Objects", "World"}) {
        fuzz::SetFile(std::string("Data/") + name + ".hdr", index);
        fuzz::SetFile(std::string("Data/") + name + ".pak", body);
    }
    g_bFileManager = 1;
    g_FileManager.Init();
    const int archives[] = {0, 1};
    const std::uint32_t modes[] = {ARCHIVE_OBJECTS, ARCHIVE_WORLD};
    for (int a : archives) {
        for (std::uint32_t i = 0; i < g_FileManager.m_EntryCount[a]; ++i) {
            std::uint32_t entrySize = 0;
            const FileHandle f = g_FileManager.Open(g_FileManager.m_pEntries[a][i].name, modes[a], &entrySize);
            if (f == INVALID_FILE_HANDLE)
                continue;
            std::vector<char> buffer(entrySize < 65536 ? entrySize : 65536);
            g_FileManager.Read(buffer.data(), 1, buffer.size(), f);
            g_FileManager.Close(f);
        }
    }
    return 0;
}
