// Line reading of an Objects archive entry and of the same bytes as a loose
// file, at the buffer capacity the first byte picks (2 to 257).
#include "FuzzFiles.h"
#include "shell/FileManager.h"
#include "shell/Settings.h"
#include "writers/ArchiveWriter.h"

#include <string>
#include <vector>

namespace {

void ReadAllLines(const char* path, std::uint32_t mode, std::uint32_t capacity)
{
    const FileHandle f = g_FileManager.Open(path, mode);
    if (f == INVALID_FILE_HANDLE)
        return;
    std::vector<char> line(capacity + 1);
    for (int guard = 0; guard < 100000 && !g_FileManager.IsAtEnd(f); ++guard)
        g_FileManager.ReadLine(line.data(), capacity, f);
    g_FileManager.Close(f);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    fuzz::BeginInput(data, size);
    if (size == 0)
        return 0;
    // A one-byte buffer holds only the terminator, so a read of it never
    // moves on (as fgets) and every such input ran the loop to its guard;
    // the game reads into buffers of four bytes and more.
    const std::uint32_t capacity = data[0] + 2u;
    const std::string body(reinterpret_cast<const char*>(data + 1), size - 1);
    std::string scrambled = body;
    for (char& c : scrambled)
        c = static_cast<char>(c ^ 0x80);
    fuzz::SetFile("Data/Misc/Lines.obj", body);
    fuzz::SetFile("Data/Objects.hdr", tools::EncodeIndex({{"Data/Misc/Lines.obj", static_cast<std::uint32_t>(body.size()), 0}}));
    fuzz::SetFile("Data/Objects.pak", scrambled);
    g_bFileManager = 1;
    g_FileManager.Init();
    ReadAllLines("Data/Misc/Lines.obj", ARCHIVE_OBJECTS, capacity);
    g_bFileManager = 0;
    g_FileManager.Init();
    ReadAllLines("Data/Misc/Lines.obj", ARCHIVE_OBJECTS, capacity);
    return 0;
}
