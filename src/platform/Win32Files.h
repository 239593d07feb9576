// Directory and file operations of the stand-in layer.
#pragma once

#include "platform/Win32Types.h"

struct SECURITY_ATTRIBUTES;

// Creates one directory; nonzero on success, 0 when it exists already or its
// parent is missing. The security attributes are ignored.
BOOL CreateDirectoryA(const char* path, SECURITY_ATTRIBUTES* attributes);
// Deletes one file; nonzero on success.
BOOL DeleteFileA(const char* path);
