#include "shell/Keywords.h"

#include <cstring>

namespace {

struct Keyword {
    const char* text;
    int code;
};

const Keyword kClasses[] = {
    {"GCLASS_LANDSCAPE", GCLASS_LANDSCAPE}, {"GCLASS_STATIC", GCLASS_STATIC},
    {"GCLASS_VEHICLE", GCLASS_VEHICLE},     {"GCLASS_HUMAN", GCLASS_HUMAN},
    {"GCLASS_EFFECT", GCLASS_EFFECT},
};

const Keyword kTypes[] = {
    {"GTYPE_STATIC", GTYPE_STATIC},     {"GTYPE_STONE", GTYPE_STONE},     {"GTYPE_TREE", GTYPE_TREE},
    {"GTYPE_BRIDGE", GTYPE_BRIDGE},     {"GTYPE_BUILDING", GTYPE_BUILDING}, {"GTYPE_DECORS", GTYPE_DECORS},
    {"GTYPE_LAMPPOST", GTYPE_LAMPPOST}, {"GTYPE_VEHICLE", GTYPE_VEHICLE}, {"GTYPE_WHEEL", GTYPE_WHEEL},
    {"GTYPE_HUMAN", GTYPE_HUMAN},       {"GTYPE_EFFECT", GTYPE_EFFECT},
};

const Keyword kEffects[] = {
    {"GEFFECT_CHROME", GEFFECT_CHROME},       {"GEFFECT_RGLASS", GEFFECT_RGLASS},
    {"GEFFECT_LIGHTMAPS", GEFFECT_LIGHTMAPS}, {"GEFFECT_SELFILLUM", GEFFECT_SELFILLUM},
    {"GEFFECT_LIGHTS", GEFFECT_LIGHTS},       {"GEFFECT_DIRECTLIGHTS", GEFFECT_DIRECTLIGHTS},
    {"GEFFECT_SPOTS", GEFFECT_SPOTS},         {"GEFFECT_FLAME", GEFFECT_FLAME},
    {"GEFFECT_SHADOW", GEFFECT_SHADOW},
};

// The pedestrian files store each action name padded with blanks to 32 characters.
const Keyword kActions[] = {
    {"ACTION_WALK                     ", ACTION_WALK},
    {"ACTION_RUN                      ", ACTION_RUN},
    {"ACTION_APPLAUD1                 ", ACTION_APPLAUD1},
    {"ACTION_APPLAUD2                 ", ACTION_APPLAUD2},
    {"ACTION_WAITCAR                  ", ACTION_WAITCAR},
    {"ACTION_DEAD                     ", ACTION_DEAD},
};

template <std::size_t N>
int Lookup(const Keyword (&table)[N], const char* keyword, int otherwise)
{
    for (const Keyword& k : table)
        if (StringsEqual(keyword, k.text))
            return k.code;
    return otherwise;
}

} // namespace

int ParseObjectClass(const char* keyword)
{
    return Lookup(kClasses, keyword, 0);
}

int ParseObjectType(const char* keyword)
{
    return Lookup(kTypes, keyword, 0);
}

int ParseObjectEffect(const char* keyword)
{
    return Lookup(kEffects, keyword, GEFFECT_NONE);
}

int ParseHumanAction(const char* keyword)
{
    return Lookup(kActions, keyword, 0);
}

int StringsEqual(const char* a, const char* b)
{
    if (!a || !b)
        return 0;
    const std::size_t length = std::strlen(a);
    if (length != std::strlen(b))
        return 0;
    return std::memcmp(a, b, length) == 0 ? 1 : 0;
}

void FixPathSlashes(char* path)
{
    for (char* p = path; p && *p; ++p)
        if (*p == '\\')
            *p = '/';
}
