// Directory and file operations of the stand-in layer.
#pragma once

#include "platform/Win32Types.h"

#include <cstddef>

struct SECURITY_ATTRIBUTES;

// Creates one directory; nonzero on success, 0 when it exists already or its
// parent is missing. The security attributes are ignored.
BOOL CreateDirectoryA(const char* path, SECURITY_ATTRIBUTES* attributes);
// Deletes one file; nonzero on success.
BOOL DeleteFileA(const char* path);

namespace plat {

// Replaces the file at path with size bytes without ever leaving a half
// written file behind: the bytes go to "<path>.tmp", every write is checked,
// the data is flushed to disk and the temporary file is renamed over the old
// one. On any failure the temporary file is removed, the old file stays as it
// was, and the result is false.
bool ReplaceFileWhole(const char* path, const void* data, size_t size);

} // namespace plat
