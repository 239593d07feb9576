// Where the audio manager's files come from: sound entries of the SD
// archive and text lists of the Objects archive. Every access of the audio
// manager to the archive file layer goes through these few calls.
#pragma once

#include "platform/Win32Types.h"

inline constexpr DWORD kNoSoundFile = 0xFFFFFFFFu;

// Opens an SD archive entry; its size goes to *size. kNoSoundFile when missing.
DWORD OpenSoundEntry(const char* name, DWORD* size);
// Reads up to size bytes; returns how many were read.
DWORD ReadSoundEntry(void* buffer, DWORD size, DWORD handle);
void CloseSoundEntry(DWORD handle);

// Opens a text file of the Objects archive, read line by line.
DWORD OpenObjectsText(const char* name);
// The next line without its line end (CR too), at most capacity - 1 characters.
void ReadObjectsLine(char* buffer, int capacity, DWORD handle);
void CloseObjectsText(DWORD handle);
