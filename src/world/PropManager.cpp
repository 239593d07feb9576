// Placeholder until the city props are built: only the draw switch exists.
#include "world/PropManager.h"

int g_bDrawProps = 1;
