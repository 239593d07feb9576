#include "game/RacerNames.h"

#include <cstdlib>
#include <cstring>

const char g_CarNames[RACER_CAR_NAMES][RACER_CAR_NAME_SIZE] = {
    "Galant S500", "Clio NSX", "Rover H1200", "Cosmo R200", "Thunder-1960", "Accord Z8", "Alpha GRX8", "Uber Atom-2000",
};

namespace {

enum { HEADER_LINES = 3, CHUNK_SIZE = 256 };

// Reads one whole line, however long, keeping its first `keep` characters.
void ReadWholeLine(FileHandle file, char* out, int keep)
{
    char chunk[CHUNK_SIZE];
    int stored = 0;
    for (;;) {
        g_FileManager.ReadLine(chunk, CHUNK_SIZE, file);
        const int length = static_cast<int>(std::strlen(chunk));
        for (int i = 0; i < length && stored < keep; ++i)
            out[stored++] = chunk[i];
        // A chunk that filled the buffer may have more of the line behind it.
        if (length < CHUNK_SIZE - 1)
            break;
    }
    out[stored] = '\0';
}

void ReadName(FileHandle file, char* name)
{
    ReadWholeLine(file, name, RACER_NAME_KEPT);
    int length = static_cast<int>(std::strlen(name));
    while (length > 0 && (name[length - 1] == ' ' || name[length - 1] == '\t'))
        name[--length] = '\0';
}

void SkipLine(FileHandle file)
{
    char ignored[2];
    ReadWholeLine(file, ignored, 0);
}

} // namespace

int ReadRacerNames(FileHandle file, char (*names)[RACER_NAMES_PER_LIST][RACER_NAME_SIZE])
{
    int read = 0;
    for (int list = 0; list < RACER_NAME_LISTS; ++list) {
        for (int i = 0; i < HEADER_LINES; ++i)
            SkipLine(file);
        for (int i = 0; i < RACER_NAMES_PER_LIST; ++i) {
            if (g_FileManager.IsAtEnd(file)) {
                names[list][i][0] = '\0';
                continue;
            }
            ReadName(file, names[list][i]);
            SkipLine(file);
            ++read;
        }
    }
    return read;
}

void FillRacers(const char (*names)[RACER_NAMES_PER_LIST][RACER_NAME_SIZE], RacerRecord* racers)
{
    for (int i = 0; i < RACER_COUNT; ++i) {
        const int list = std::rand() % RACER_NAME_LISTS;
        const int index = std::rand() % RACER_NAMES_PER_LIST;
        const int car = std::rand() % RACER_CAR_NAMES;
        std::strncpy(racers[i].szName, names[list][index], RACER_NAME_SIZE - 1);
        racers[i].szName[RACER_NAME_SIZE - 1] = '\0';
        std::strncpy(racers[i].szCarName, g_CarNames[car], RACER_CAR_NAME_SIZE - 1);
        racers[i].szCarName[RACER_CAR_NAME_SIZE - 1] = '\0';
        racers[i].nPoints = 144 - 5 * i;
    }
}
