// Files, directories and the desktop shell of the stand-in layer.
#pragma once

#include "platform/Win32Types.h"

#include <cstddef>
#include <cstdio>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

// Copies the working directory into buffer; returns its length, or the size
// needed (with terminator) when the buffer is too small, or 0 on failure.
DWORD GetCurrentDirectoryA(DWORD bufferLength, char* buffer);

// "open" on an address starts the desktop's opener detached, so the caller
// never waits for it. Does nothing headless. Returns a value above 32 on success.
HINSTANCE ShellExecuteA(HWND hwnd, const char* operation, const char* file,
                        const char* parameters, const char* directory, int showCmd);

namespace plat {

// Game code builds some paths with '\\'; on this system every separator is '/'.
std::string NativePath(const char* path);
// fopen over NativePath; only regular files open (a folder or a device
// named like a data file gives null).
std::FILE* OpenFile(const char* path, const char* mode);

// Reads a whole file (path as NativePath takes it). False when it cannot be
// opened or read, or holds more than maxBytes.
bool ReadWholeFile(const char* path, std::vector<std::uint8_t>* bytes, std::size_t maxBytes);
// The same for a file already open, from its start; the file stays open.
bool ReadOpenFile(std::FILE* file, std::vector<std::uint8_t>* bytes, std::size_t maxBytes);

// Addresses ShellExecuteA was asked to open (tests).
const char* LastShellOpen();

} // namespace plat
