// Placeholder until the menu background is built; it holds no textures.
#include "game/MenuBackground.h"

int CMenuBackground::OnGameInit()
{
    return 1;
}

void CMenuBackground::Release()
{
}
