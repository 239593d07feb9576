#include "platform/Win32Files.h"

#include "platform/Win32Shell.h"

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
