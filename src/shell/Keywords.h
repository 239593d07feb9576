// Keywords of the description files and the string helpers they use.
#pragma once

// Object classes (bit values).
enum {
    GCLASS_LANDSCAPE = 1,
    GCLASS_STATIC = 2,
    GCLASS_VEHICLE = 4,
    GCLASS_HUMAN = 8,
    GCLASS_EFFECT = 16,
};

// Object types (bit values; renderers take a sum of them as a mask).
enum {
    GTYPE_STATIC = 16,
    GTYPE_STONE = 32,
    GTYPE_TREE = 64,
    GTYPE_BRIDGE = 128,
    GTYPE_BUILDING = 256,
    GTYPE_DECORS = 512,
    GTYPE_LAMPPOST = 1024,
    GTYPE_VEHICLE = 2048,
    GTYPE_WHEEL = 4096,
    GTYPE_HUMAN = 8192,
    GTYPE_EFFECT = 1 << 28,
};

// Effect sub-object sections; GEFFECT_NONE for any other keyword.
enum {
    GEFFECT_NONE = 1000,
    GEFFECT_CHROME = 1010,
    GEFFECT_RGLASS = 1011,
    GEFFECT_LIGHTMAPS = 1020,
    GEFFECT_SELFILLUM = 1021,
    GEFFECT_LIGHTS = 1040,
    GEFFECT_DIRECTLIGHTS = 1041,
    GEFFECT_SPOTS = 1050,
    GEFFECT_FLAME = 1060,
    GEFFECT_SHADOW = 1070,
};

// Pedestrian actions; 0 for any other keyword.
enum {
    ACTION_WALK = 1,
    ACTION_RUN = 2,
    ACTION_APPLAUD1 = 3,
    ACTION_APPLAUD2 = 4,
    ACTION_WAITCAR = 5,
    ACTION_DEAD = 6,
};

// Each parser matches the keyword exactly (case, blanks and line ends
// count) and returns its code, or the value for "anything else".
int ParseObjectClass(const char* keyword);
int ParseObjectType(const char* keyword);
int ParseObjectEffect(const char* keyword);
// Action keywords are 32 characters: the name padded with blanks.
int ParseHumanAction(const char* keyword);

// 1 when both strings have the same length and bytes, else 0.
int StringsEqual(const char* a, const char* b);
// Replaces every '\\' in the path with '/', in place.
void FixPathSlashes(char* path);
