// The key names of "Data/Misc/KeyScanCodes.obj": three header lines, then
// pairs of a code line and a name line, ended by a "////" line.
#include "shell/FileManager.h"
#include "shell/Input.h"

#include <cstdlib>
#include <cstring>

KeyNameRecord g_KeyNames[MAX_KEY_NAMES];
int g_nKeyNames;

namespace {

const char* const kKeyNamesFile = "Data/Misc/KeyScanCodes.obj";
const std::uint32_t kHeaderLines = 3;
const std::uint32_t kLineCapacity = 255;
const std::uint32_t kCodeCapacity = 6; // five digits at most

// Names longer than the record holds are cut.
void CopyName(char (&name)[KEY_NAME_SIZE], const char* line)
{
    const std::size_t length = strnlen(line, KEY_NAME_SIZE - 1);
    std::memcpy(name, line, length);
    name[length] = '\0';
}

} // namespace

// The table stops at its 92 records and at the end of the entry, so a file
// without its marker, or a longer one, never writes past the table.
void LoadKeyScanCodes()
{
    const FileHandle file = g_FileManager.Open(kKeyNamesFile, ARCHIVE_OBJECTS);
    if (file == INVALID_FILE_HANDLE)
        return;
    char line[kLineCapacity + 1];
    for (std::uint32_t i = 0; i < kHeaderLines; ++i)
        g_FileManager.ReadLine(line, kLineCapacity, file);
    g_nKeyNames = 0;
    while (g_nKeyNames < MAX_KEY_NAMES && !g_FileManager.IsAtEnd(file)) {
        g_FileManager.ReadLine(line, kCodeCapacity, file);
        if (std::strstr(line, "////"))
            break;
        KeyNameRecord& record = g_KeyNames[g_nKeyNames];
        record.nCode = std::atoi(line);
        g_FileManager.ReadLine(line, kLineCapacity, file);
        CopyName(record.szName, line);
        ++g_nKeyNames;
    }
    g_FileManager.Close(file);
}
