// Until the archive file layer serves the archives, the entries are read
// from the same paths as loose files.
#include "shell/SoundArchive.h"

#include "platform/Win32Shell.h"

#include <cstdio>
#include <cstring>

namespace {

constexpr DWORD kSlots = 16;
std::FILE* s_files[kSlots] = {};

DWORD OpenSlot(const char* name, const char* mode)
{
    for (DWORD i = 0; i < kSlots; ++i) {
        if (!s_files[i]) {
            s_files[i] = plat::OpenFile(name, mode);
            return s_files[i] ? i : kNoSoundFile;
        }
    }
    return kNoSoundFile;
}

std::FILE* Slot(DWORD handle)
{
    return handle < kSlots ? s_files[handle] : nullptr;
}

void CloseSlot(DWORD handle)
{
    if (std::FILE* f = Slot(handle)) {
        std::fclose(f);
        s_files[handle] = nullptr;
    }
}

} // namespace

DWORD OpenSoundEntry(const char* name, DWORD* size)
{
    const DWORD h = OpenSlot(name, "rb");
    if (h != kNoSoundFile && size) {
        std::FILE* f = Slot(h);
        std::fseek(f, 0, SEEK_END);
        const long end = std::ftell(f);
        std::fseek(f, 0, SEEK_SET);
        *size = end > 0 ? static_cast<DWORD>(end) : 0;
    }
    return h;
}

DWORD ReadSoundEntry(void* buffer, DWORD size, DWORD handle)
{
    std::FILE* f = Slot(handle);
    return f ? static_cast<DWORD>(std::fread(buffer, 1, size, f)) : 0;
}

void CloseSoundEntry(DWORD handle)
{
    CloseSlot(handle);
}

DWORD OpenObjectsText(const char* name)
{
    return OpenSlot(name, "rb");
}

void ReadObjectsLine(char* buffer, int capacity, DWORD handle)
{
    buffer[0] = '\0';
    std::FILE* f = Slot(handle);
    if (!f || capacity < 1 || !std::fgets(buffer, capacity, f))
        return;
    buffer[std::strcspn(buffer, "\r\n")] = '\0';
}

void CloseObjectsText(DWORD handle)
{
    CloseSlot(handle);
}
