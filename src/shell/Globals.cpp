// The game's managers, defined in one file so that they are constructed in
// this order before the program entry runs (the language orders static
// construction only within one file). Constructors only set resting values:
// nothing is loaded and no device is touched until each manager's init.
#include "game/GameMenu.h"
#include "graphics/D3DRender.h"
#include "shell/AudioManager.h"
#include "shell/Game.h"

CD3DRender g_D3DRender;
CAudioManager g_AudioManager;
CGame g_Game;
CGameMenu g_GameMenu;
