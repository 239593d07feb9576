// "Game.ini" read through the private-profile layer, clamped, and written
// back over whatever the file held.
#include "FuzzFiles.h"
#include "shell/Settings.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    fuzz::BeginInput(data, size);
    fuzz::SetFile("Game.ini", data, size);
    LoadSettings("Game.ini");
    SaveSettings();
    LoadSettings("Game.ini");
    return 0;
}
