#include "shell/Keywords.h"

#include <gtest/gtest.h>

#include <string>

namespace {

struct KeywordCase {
    const char* keyword;
    int code;
};

template <std::size_t N>
void ExpectCodes(int (*parse)(const char*), const KeywordCase (&cases)[N])
{
    for (const KeywordCase& c : cases)
        EXPECT_EQ(parse(c.keyword), c.code) << '"' << c.keyword << '"';
}

TEST(Keywords, ObjectClass)
{
    const KeywordCase cases[] = {
        {"GCLASS_LANDSCAPE", 1}, {"GCLASS_STATIC", 2}, {"GCLASS_VEHICLE", 4}, {"GCLASS_HUMAN", 8},
        {"GCLASS_EFFECT", 16},   {"GCLASS_STATIC ", 0}, {"GCLASS_STATIC\r", 0}, {"gclass_static", 0},
        {"GCLASS_STATI", 0},     {"", 0},
    };
    ExpectCodes(ParseObjectClass, cases);
}

TEST(Keywords, ObjectType)
{
    const KeywordCase cases[] = {
        {"GTYPE_STATIC", 16},      {"GTYPE_STONE", 32},     {"GTYPE_TREE", 64},       {"GTYPE_BRIDGE", 128},
        {"GTYPE_BUILDING", 256},   {"GTYPE_DECORS", 512},   {"GTYPE_LAMPPOST", 1024}, {"GTYPE_VEHICLE", 2048},
        {"GTYPE_WHEEL", 4096},     {"GTYPE_HUMAN", 8192},   {"GTYPE_EFFECT", 268435456},
        {"gtype_tree", 0},         {"GTYPE_TREE ", 0},      {"GCLASS_STATIC", 0},
    };
    ExpectCodes(ParseObjectType, cases);
}

TEST(Keywords, ObjectEffect)
{
    const KeywordCase cases[] = {
        {"GEFFECT_CHROME", 1010},   {"GEFFECT_RGLASS", 1011}, {"GEFFECT_LIGHTMAPS", 1020},
        {"GEFFECT_SELFILLUM", 1021}, {"GEFFECT_LIGHTS", 1040}, {"GEFFECT_DIRECTLIGHTS", 1041},
        {"GEFFECT_SPOTS", 1050},    {"GEFFECT_FLAME", 1060},  {"GEFFECT_SHADOW", 1070},
        {"GEFFECT_WATER", 1000},    {"GEFFECT_LIGHT", 1000},  {"", 1000},
    };
    ExpectCodes(ParseObjectEffect, cases);
}

TEST(Keywords, HumanActionNeedsItsThirtyTwoCharacters)
{
    const KeywordCase cases[] = {
        {"ACTION_WALK                     ", 1}, {"ACTION_RUN                      ", 2},
        {"ACTION_APPLAUD1                 ", 3}, {"ACTION_APPLAUD2                 ", 4},
        {"ACTION_WAITCAR                  ", 5}, {"ACTION_DEAD                     ", 6},
        {"ACTION_WALK", 0},                      {"ACTION_WALK                      ", 0},
        {"ACTION_WALK                    ", 0},  {"action_walk                     ", 0},
    };
    for (const KeywordCase& c : cases) {
        if (c.code != 0) {
            EXPECT_EQ(std::string(c.keyword).size(), 32u);
        }
    }
    ExpectCodes(ParseHumanAction, cases);
}

TEST(Keywords, StringsEqual)
{
    struct Case {
        const char* a;
        const char* b;
        int equal;
    };
    const Case cases[] = {
        {"", "", 1},       {"abc", "abc", 1}, {"abc", "abd", 0}, {"abc", "ab", 0},
        {"ab", "abc", 0},  {"Abc", "abc", 0}, {"a/b", "a\\b", 0},
    };
    for (const Case& c : cases)
        EXPECT_EQ(StringsEqual(c.a, c.b), c.equal) << '"' << c.a << "\" vs \"" << c.b << '"';
}

TEST(Keywords, FixPathSlashes)
{
    char path[] = "Data\\Vehicles\\01\\Main.obj";
    FixPathSlashes(path);
    EXPECT_STREQ(path, "Data/Vehicles/01/Main.obj");
    char mixed[] = "\\a/b\\\\";
    FixPathSlashes(mixed);
    EXPECT_STREQ(mixed, "/a/b//");
}

} // namespace
