// Files held in memory under a path, in place of the disk: a harness that
// feeds the readers many inputs a second sets them here, and every read
// through OpenFile (and so the file manager and the whole-file reads) sees
// them as regular files. The game itself holds only a replayed tape's
// settings file here, so the player's own file is neither read nor written.
#pragma once

#include <cstddef>
#include <cstdio>

namespace plat {

enum { MEMORY_FILE_COUNT = 8 };

// Holds a copy of size bytes under path (as NativePath gives it, relative to
// the working directory or full), replacing an earlier copy there. A stream
// still open on the earlier copy must be closed first. False when the table
// is full.
bool SetMemoryFile(const char* path, const void* data, std::size_t size);
void ClearMemoryFiles();
// Drops the copy held under path, if any: reads see the disk again.
void ForgetMemoryFile(const char* path);

// A read-only stream over the bytes held under nativePath, or null when
// none are held or mode writes (opening for writing drops the held copy, so
// the file written on disk is what later reads see).
std::FILE* OpenMemoryFile(const char* nativePath, const char* mode);

// Replaces the bytes held under nativePath, as a whole-file save does; false
// when none are held there (the save goes to disk).
bool ReplaceMemoryFile(const char* nativePath, const void* data, std::size_t size);

} // namespace plat
