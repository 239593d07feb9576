#include "platform/Win32Files.h"

#include "platform/MemoryFiles.h"
#include "platform/Win32Shell.h"

#include <cerrno>
#include <cstdio>
#include <string>

#include <fcntl.h>
#include <unistd.h>
#include <sys/stat.h>

BOOL CreateDirectoryA(const char* path, SECURITY_ATTRIBUTES*)
{
    if (!path)
        return FALSE;
    return mkdir(plat::NativePath(path).c_str(), 0777) == 0 ? TRUE : FALSE;
}

BOOL DeleteFileA(const char* path)
{
    if (!path)
        return FALSE;
    return unlink(plat::NativePath(path).c_str()) == 0 ? TRUE : FALSE;
}

namespace plat {

namespace {

bool WriteAll(int fd, const unsigned char* bytes, size_t size)
{
    while (size > 0) {
        const ssize_t written = write(fd, bytes, size);
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0)
            return false;
        bytes += written;
        size -= static_cast<size_t>(written);
    }
    return true;
}

} // namespace

bool ReplaceFileWhole(const char* path, const void* data, size_t size)
{
    if (!path || (!data && size > 0))
        return false;
    const std::string target = NativePath(path);
    if (ReplaceMemoryFile(target.c_str(), data, size))
        return true;
    const std::string temporary = target + ".tmp";
    const int fd = open(temporary.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    if (fd < 0)
        return false;
    bool ok = WriteAll(fd, static_cast<const unsigned char*>(data), size);
    ok = fsync(fd) == 0 && ok;
    ok = close(fd) == 0 && ok;
    if (ok && rename(temporary.c_str(), target.c_str()) == 0)
        return true;
    unlink(temporary.c_str());
    return false;
}

} // namespace plat
