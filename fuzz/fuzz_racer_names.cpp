// The racer-name file as a loose file, read into the racers table.
#include "FuzzFiles.h"
#include "game/RacerNames.h"
#include "shell/FileManager.h"
#include "shell/Settings.h"

#include <cstring>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    fuzz::BeginInput(data, size);
    fuzz::SetFile("Data/Misc/RacersName.obj", data, size);
    g_bFileManager = 0;
    g_FileManager.Init();
    static char names[RACER_NAME_LISTS][RACER_NAMES_PER_LIST][RACER_NAME_SIZE];
    static RacerRecord racers[RACER_COUNT];
    const FileHandle file = g_FileManager.Open("Data/Misc/RacersName.obj", ARCHIVE_OBJECTS);
    if (file == INVALID_FILE_HANDLE)
        return 0;
    ReadRacerNames(file, names);
    g_FileManager.Close(file);
    FillRacers(names, racers);
    for (const RacerRecord& r : racers)
        if (std::strlen(r.szName) > RACER_NAME_KEPT)
            __builtin_trap();
    return 0;
}
