// Saving and loading the game of the current profile ("Save/Profile%02d.sav",
// numbered from 01). CGame::LoadGame is declared with the game object.
#pragma once

#include <cstddef>

// Index of the current profile; -1 while none is chosen.
extern int g_nProfile;

// Saves the running game of the current profile. Does nothing without a
// profile or a player car; a failure shows its error box and leaves the
// previous save as it was.
void SaveGame();

// Replaces a file whole or leaves it untouched (plat::ReplaceFileWhole);
// tests put a failing writer here to interrupt a save.
using SaveFileWriter = bool (*)(const char* path, const void* data, std::size_t size);
extern SaveFileWriter g_pWriteSaveFile;

// Writes a profile file whole through g_pWriteSaveFile; on failure no
// temporary file is left and the file at path is as it was.
bool WriteProfileFile(const char* path, const void* data, std::size_t size);
