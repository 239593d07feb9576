// The racer-name file "Data/Misc/RacersName.obj" and the racers table
// filled from it.
#pragma once

#include "game/GameInterface.h"
#include "shell/FileManager.h"

// Reads both name lists from an open file. A name is the first 15
// characters of its line without trailing blanks; a file that ends early
// leaves the remaining names empty. Returns how many names the file held.
int ReadRacerNames(FileHandle file, char (*names)[RACER_NAMES_PER_LIST][RACER_NAME_SIZE]);
// Racer i takes a random name of a random list, a random car and 144 - 5 i points.
void FillRacers(const char (*names)[RACER_NAMES_PER_LIST][RACER_NAME_SIZE], RacerRecord* racers);
