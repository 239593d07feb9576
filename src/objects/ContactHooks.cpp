#include "objects/ContactHooks.h"

CarContactHook g_pfnCarContact = nullptr;
KnockDownHook g_pfnKnockDown = nullptr;
