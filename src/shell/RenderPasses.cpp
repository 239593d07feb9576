#include "shell/RenderPasses.h"

#include "shell/Game.h"

int g_WaterPassActive = 0;
int g_CubePassActive = 0;
int g_ShadowPassActive = 0;

// Placeholder until the world's render passes are built: the frame shows no
// world, only what the menu, the interface and the camera draw over it.
void CGame::RenderWorld()
{
}
