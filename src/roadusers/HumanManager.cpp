// Placeholder of the pedestrian manager until the road users are built.
#include "roadusers/HumanManager.h"

CHumanManager g_HumanManager;
