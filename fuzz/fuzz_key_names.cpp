// The key-names file as a loose file.
#include "FuzzFiles.h"
#include "shell/FileManager.h"
#include "shell/Input.h"
#include "shell/Settings.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    fuzz::BeginInput(data, size);
    fuzz::SetFile("Data/Misc/KeyScanCodes.obj", data, size);
    g_bFileManager = 0;
    g_FileManager.Init();
    LoadKeyScanCodes();
    return 0;
}
