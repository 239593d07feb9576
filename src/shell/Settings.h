// The player's options from "Game.ini", one global per key.
#pragma once

extern char g_szVersion[10];
extern int g_nVideoMode;
extern int g_nViewDistance;
extern int g_nDetails;
extern int g_nTraffic;
extern int g_nShadows;
extern int g_bGlow;
extern int g_bBlur;
extern int g_nWater;
extern int g_bReflect;
extern int g_bWindowed;
extern int g_bAudio;
extern int g_nMasterVolume;
extern int g_nMusicVolume;
extern int g_nEffectsVolume;
extern int g_bFileManager;
extern int g_bBmpToJpg;
extern int g_bGameMenu;
extern int g_bDebugOut;
extern int g_bEditorMode;

// Highest choice of Mode, Distance, Details, Traffic, Shadows, Glow, Blur,
// Water and Reflect; the renderer lowers some to what the device supports.
extern int g_SettingMax[9];

void LoadSettings(const char* fileName);
int SaveSettings();
void ClampSettings();
