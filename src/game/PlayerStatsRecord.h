// The 52-byte statistics record of the save file: the thirteen fields in
// declaration order, each 4 bytes little-endian.
#pragma once

#include "game/PlayerStats.h"

class CSaveReader;
class CSaveWriter;

void WritePlayerStats(CSaveWriter& out, const CPlayerStats& stats);
// False (and the statistics untouched) when the record is cut short.
bool ReadPlayerStats(CSaveReader& in, CPlayerStats* stats);
