#include "shell/RenderPasses.h"

int g_WaterPassActive = 0;
int g_CubePassActive = 0;
int g_ShadowPassActive = 0;
