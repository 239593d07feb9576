#include "roadusers/RaceInfo.h"

RaceInfo g_RaceInfo{};
