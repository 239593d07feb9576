// "Game.ini": read once at start-up into one global per key, clamped to what
// the hardware allows, and the video and audio choices written back.
#include "shell/Settings.h"

#include "graphics/ScreenVertex.h"
#include "platform/Win32.h"
#include "shell/Input.h"
#include "shell/Log.h"

#include <climits>
#include <cmath>
#include <cstdio>
#include <cstdlib>

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

CScreenVertex g_DiscVertices[DISC_VERTEX_COUNT];

namespace {

struct IntKey {
    const char* section;
    const char* key;
    const char* defaultValue;
    int* value;
};

// Every integer key in file order.
const IntKey kIntKeys[] = {
    {"Video", "Mode", "1", &g_nVideoMode},
    {"Video", "Distance", "2", &g_nViewDistance},
    {"Video", "Details", "1", &g_nDetails},
    {"Video", "Traffic", "1", &g_nTraffic},
    {"Video", "Shadows", "3", &g_nShadows},
    {"Video", "Glow", "1", &g_bGlow},
    {"Video", "Blur", "1", &g_bBlur},
    {"Video", "Water", "2", &g_nWater},
    {"Video", "Reflect", "1", &g_bReflect},
    {"Video", "Windowed", "0", &g_bWindowed},
    {"Audio", "Audio", "1", &g_bAudio},
    {"Audio", "Master", "100", &g_nMasterVolume},
    {"Audio", "Music", "100", &g_nMusicVolume},
    {"Audio", "Effects", "100", &g_nEffectsVolume},
    {"Misc", "File manager", "1", &g_bFileManager},
    {"Misc", "BMP to JPG", "1", &g_bBmpToJpg},
    {"Misc", "Game menu", "1", &g_bGameMenu},
    {"Misc", "Debug out", "0", &g_bDebugOut},
    {"Misc", "Editor mode", "0", &g_bEditorMode},
    {"Controls", "Act01", "38", &g_KeyBindings[0].nKey},
    {"Controls", "Act02", "40", &g_KeyBindings[1].nKey},
    {"Controls", "Act03", "37", &g_KeyBindings[2].nKey},
    {"Controls", "Act04", "39", &g_KeyBindings[3].nKey},
};

// The keys written back, in this order; Distance is converted.
const IntKey kSavedKeys[] = {
    kIntKeys[0], kIntKeys[1], kIntKeys[2], kIntKeys[3], kIntKeys[4], kIntKeys[5],
    kIntKeys[6], kIntKeys[7], kIntKeys[8], kIntKeys[11], kIntKeys[12], kIntKeys[13],
};

// Clamped in this order against the matching g_SettingMax entry.
int* const kBoundedSettings[9] = {&g_nVideoMode, &g_nViewDistance, &g_nDetails, &g_nTraffic, &g_nShadows,
                                  &g_bGlow,      &g_bBlur,         &g_bReflect, &g_nWater};
const int kBoundIndex[9] = {0, 1, 2, 3, 4, 5, 6, 8, 7};

const int kPathSize = 256;
// A settings file holds a few dozen short lines; a larger one is not ours to
// read or to overwrite.
const std::size_t kMaxSettingsBytes = 1u << 20;
const int kValueSize = 128;

// Like atoi (text that is not a number gives 0), but a number beyond the
// integer range saturates instead of overflowing.
long long ParseNumber(const char* text)
{
    return std::strtoll(text, nullptr, 10);
}

int Saturate(long long v)
{
    return v < INT_MIN ? INT_MIN : (v > INT_MAX ? INT_MAX : static_cast<int>(v));
}

// The file's Distance step (0, 1, 2 ...) as a view distance in world units.
int DistanceFromFile(long long step)
{
    if (step > INT_MAX / 200 || step < INT_MIN / 200)
        return step < 0 ? INT_MIN : INT_MAX;
    return Saturate(step * 200 + 200);
}

int DistanceToFile(int distance)
{
    return static_cast<int>((static_cast<long long>(distance) - 200) / 200);
}

// Working directory + separator + name. A directory that does not fit the
// 256-byte buffer leaves the name alone, relative to the working directory.
void SettingsPath(char* path, const char* separator, const char* fileName)
{
    char dir[kPathSize];
    const DWORD length = GetCurrentDirectoryA(kPathSize, dir);
    if (length == 0 || length >= static_cast<DWORD>(kPathSize))
        std::snprintf(path, kPathSize, "%s", fileName);
    else
        std::snprintf(path, kPathSize, "%s%s%s", dir, separator, fileName);
}

void FillDiscVertices()
{
    const float centre[3] = {0.0f, 0.0f, 0.0f};
    g_DiscVertices[0] = CScreenVertex(centre, 1.0f, 0, 0.5f, 0.5f);
    for (int i = 1; i < DISC_VERTEX_COUNT; ++i) {
        const float angle = -static_cast<float>(i - 1) / 15.0f * 2.0f * static_cast<float>(M_PI);
        const float p[3] = {std::cos(angle), std::sin(angle), 0.0f};
        g_DiscVertices[i] = CScreenVertex(p, 1.0f, 0, p[0] / 2.0f + 0.5f, p[1] / 2.0f + 0.5f);
    }
}

} // namespace

void LoadSettings(const char* fileName)
{
    char path[kPathSize];
    SettingsPath(path, "/", fileName);
    plat::ProfileText file;
    if (plat::LoadProfileText(path, kMaxSettingsBytes, &file) == plat::ProfileLoad::Refused)
        LogFileProblem(fileName, "too large or not a file, not read: the defaults are used");
    char version[10];
    plat::ProfileGet(file, "Game", "Version", "1.0.1", version, sizeof(version));
    std::snprintf(g_szVersion, sizeof(g_szVersion), "%s", version);
    for (const IntKey& k : kIntKeys) {
        char text[kValueSize];
        plat::ProfileGet(file, k.section, k.key, k.defaultValue, text, sizeof(text));
        const long long number = ParseNumber(text);
        *k.value = k.value == &g_nViewDistance ? DistanceFromFile(number) : Saturate(number);
    }
    g_bDebugLog = g_bDebugOut;
    ClampSettings();
    FillDiscVertices();
}

int SaveSettings()
{
    char path[kPathSize];
    SettingsPath(path, "\\", "Game.ini");
    // Every key is changed in memory and the file replaced whole at once, so
    // a full disk never leaves half a file behind.
    plat::ProfileText file;
    if (plat::LoadProfileText(path, kMaxSettingsBytes, &file) == plat::ProfileLoad::Refused) {
        LogFileProblem("Game.ini", "too large or not a file, left as it is: the settings are not saved");
        return 0;
    }
    for (const IntKey& k : kSavedKeys) {
        const int value = k.value == &g_nViewDistance ? DistanceToFile(*k.value) : *k.value;
        char text[16];
        std::snprintf(text, sizeof(text), "%d", value);
        plat::ProfileSet(&file, k.section, k.key, text);
    }
    if (plat::SaveProfileText(path, file))
        return 1;
    LogFileProblem("Game.ini", "could not be written: the old file is kept");
    return 0;
}

void ClampSettings()
{
    for (int i = 0; i < 9; ++i) {
        int& v = *kBoundedSettings[i];
        const int max = g_SettingMax[kBoundIndex[i]];
        v = v < 0 ? 0 : (v > max ? max : v);
    }
    int* const volumes[3] = {&g_nMasterVolume, &g_nMusicVolume, &g_nEffectsVolume};
    for (int* v : volumes)
        *v = *v < 0 ? 0 : (*v > 100 ? 100 : *v);
}
