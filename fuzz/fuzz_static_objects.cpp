// A sector's placed-object list ("StaticObjects.obj") read record by record
// as the sector loads it.
#include "FuzzFiles.h"

#include "shell/FileManager.h"
#include "world/LandscapeSector.h"

#include <cstring>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    fuzz::EnterScratchDirectory();
    fuzz::StartLooseFilesAndSilentAudio();
    fuzz::SetFile("StaticObjects.obj", data, size);
    const FileHandle f = g_FileManager.Open("StaticObjects.obj", ARCHIVE_OBJECTS);
    if (f == INVALID_FILE_HANDLE)
        return 0;
    char line[255];
    for (int i = 0; i < 3; ++i)
        g_FileManager.ReadLine(line, sizeof line, f);
    PlacedObjectRecord record;
    int records = 0;
    while (ReadPlacedObject(f, &record)) {
        if (std::strlen(record.path) >= sizeof record.path)
            __builtin_trap();
        ++records;
    }
    g_FileManager.Close(f);
    return 0;
}
