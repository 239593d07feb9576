#include "platform/Win32Shell.h"

#include "platform/Backend.h"
#include "platform/MemoryFiles.h"

#include <SDL2/SDL.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <cerrno>
#include <sys/stat.h>
#include <sys/types.h>
#include <unistd.h>

namespace {
std::string s_lastShellOpen;
} // namespace

DWORD GetCurrentDirectoryA(DWORD bufferLength, char* buffer)
{
    char cwd[4096];
    if (!getcwd(cwd, sizeof(cwd)))
        return 0;
    const DWORD len = static_cast<DWORD>(std::strlen(cwd));
    if (!buffer || bufferLength <= len)
        return len + 1;
    std::memcpy(buffer, cwd, len + 1);
    return len;
}

HINSTANCE ShellExecuteA(HWND, const char* operation, const char* file, const char*, const char*, int)
{
    HINSTANCE ok = reinterpret_cast<HINSTANCE>(static_cast<std::uintptr_t>(42));
    if (!file || (operation && std::strcmp(operation, "open") != 0))
        return reinterpret_cast<HINSTANCE>(static_cast<std::uintptr_t>(2));
    s_lastShellOpen = file;
    if (plat::IsHeadless())
        return ok;
    // The library starts the desktop's opener detached: shut-down never
    // waits for the browser.
    if (SDL_OpenURL(s_lastShellOpen.c_str()) != 0)
        return reinterpret_cast<HINSTANCE>(static_cast<std::uintptr_t>(31));
    return ok;
}

namespace plat {

std::string NativePath(const char* path)
{
    std::string p = path ? path : "";
    for (char& c : p)
        if (c == '\\')
            c = '/';
    return p;
}

std::FILE* OpenFile(const char* path, const char* mode)
{
    if (!path || !mode)
        return nullptr;
    const std::string native = NativePath(path);
    if (std::FILE* held = OpenMemoryFile(native.c_str(), mode))
        return held;
    std::FILE* file = std::fopen(native.c_str(), mode);
    // A folder opens like a file here and reports a length in the gigabytes;
    // readers would allocate that much before the first read fails.
    struct stat info {};
    if (file && (fstat(fileno(file), &info) != 0 || !S_ISREG(info.st_mode))) {
        std::fclose(file);
        errno = EISDIR;
        return nullptr;
    }
    return file;
}

bool ReadOpenFile(std::FILE* file, std::vector<std::uint8_t>* bytes, std::size_t maxBytes)
{
    bytes->clear();
    bool ok = std::fseek(file, 0, SEEK_END) == 0;
    const long length = ok ? std::ftell(file) : -1;
    ok = ok && length >= 0 && static_cast<unsigned long>(length) <= maxBytes && std::fseek(file, 0, SEEK_SET) == 0;
    if (ok) {
        bytes->resize(static_cast<std::size_t>(length));
        ok = std::fread(bytes->data(), 1, bytes->size(), file) == bytes->size();
    }
    return ok;
}

bool ReadWholeFile(const char* path, std::vector<std::uint8_t>* bytes, std::size_t maxBytes)
{
    bytes->clear();
    std::FILE* file = OpenFile(path, "rb");
    if (!file)
        return false;
    const bool ok = ReadOpenFile(file, bytes, maxBytes);
    std::fclose(file);
    return ok;
}

const char* LastShellOpen()
{
    return s_lastShellOpen.c_str();
}

} // namespace plat
