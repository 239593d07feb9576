// Placeholder until the settings file reader lands: every global holds the
// default of its key, as a missing "Game.ini" gives.
#include "shell/Settings.h"

#include "shell/Log.h"

char g_szVersion[10] = "1.0.1";
int g_nVideoMode = 1;
int g_nViewDistance = 600;
int g_nDetails = 1;
int g_nTraffic = 1;
int g_nShadows = 3;
int g_bGlow = 1;
int g_bBlur = 1;
int g_nWater = 2;
int g_bReflect = 1;
int g_bWindowed = 0;
int g_bAudio = 1;
int g_nMasterVolume = 100;
int g_nMusicVolume = 100;
int g_nEffectsVolume = 100;
int g_bFileManager = 1;
int g_bBmpToJpg = 1;
int g_bGameMenu = 1;
int g_bDebugOut = 0;
int g_bEditorMode = 0;

int g_SettingMax[9] = {3, 600, 1, 2, 3, 1, 1, 2, 1};

void LoadSettings(const char*)
{
    g_bDebugLog = g_bDebugOut;
    ClampSettings();
}

int SaveSettings()
{
    return 0;
}

void ClampSettings()
{
}
