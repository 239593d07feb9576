// The line helpers of the description files: texture variants, colour lines
// and numbered light-map names.
#include "objects/DescriptionLines.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <set>
#include <string>
#include <vector>

namespace {

std::string Variant(const char* name, int variant)
{
    char line[DESCRIPTION_LINE_SIZE];
    std::snprintf(line, sizeof(line), "%s", name);
    SelectTextureVariant(line, variant);
    return line;
}

TEST(TextureVariant, AChosenVariantIsTheRemainderPlusOne)
{
    struct Case {
        const char* name;
        int variant;
        const char* result;
    };
    const Case cases[] = {
        {"Tex%3.dds", 4, "Tex02.dds"},
        {"Tex%3.dds", 0, "Tex01.dds"},
        {"Tex%9.dds", 8, "Tex09.dds"},
        {"Tex%3.dds", -2, "Tex03.dds"}, // taken as unsigned: 4294967294 % 3 = 2
        {"Tex%1.dds", 5, "Tex01.dds"},
        {"Tex%0.dds", 5, "Tex01.dds"},  // no divisor: variant 1
        {"Tex%x.dds", 5, "Tex01.dds"},
        {"Tex.dds", 5, "Tex.dds"},
        {"Tex%", 5, "Tex%"},            // nothing after the '%' to replace
        {"A%2B%3", 1, "A02B%3"},        // the first '%' counts
    };
    for (const Case& c : cases)
        EXPECT_EQ(Variant(c.name, c.variant), c.result) << c.name << " " << c.variant;
}

TEST(TextureVariant, ARandomVariantStaysInRangeAndEveryNameWithAPercentDrawsOnce)
{
    std::set<std::string> seen;
    for (int i = 0; i < 200; ++i)
        seen.insert(Variant("Tex%3.dds", -1));
    EXPECT_EQ(seen, (std::set<std::string>{"Tex01.dds", "Tex02.dds", "Tex03.dds"}));
    // The random sequence moves by one draw whether or not the variant was
    // given, so placements stay the same with and without variants.
    for (int variant : {-1, 4}) {
        std::srand(11);
        std::rand();
        const int expected = std::rand();
        std::srand(11);
        Variant("Tex%3.dds", variant);
        EXPECT_EQ(std::rand(), expected);
    }
}

// What loads every variant ahead: each name a line can stand for, in
// order, and not one random number drawn for them.
TEST(TextureVariant, EveryNameOfALineIsWrittenWithoutADraw)
{
    struct Case {
        const char* name;
        std::vector<std::string> names;
    };
    const Case cases[] = {
        {"Tex%3.dds", {"Tex01.dds", "Tex02.dds", "Tex03.dds"}},
        {"Tex%1.dds", {"Tex01.dds"}},
        {"Tex%0.dds", {"Tex01.dds"}}, // as a chosen variant of it: variant 1
        {"Tex%x.dds", {"Tex01.dds"}},
        {"Tex.dds", {"Tex.dds"}},
        {"Tex%", {"Tex%"}},
        {"A%2B%3", {"A01B%3", "A02B%3"}},
    };
    for (const Case& c : cases) {
        std::srand(17);
        const int expected = std::rand();
        std::srand(17);
        std::vector<std::string> names;
        const unsigned count = TextureVariantCount(c.name);
        for (unsigned k = 0; k < count; ++k) {
            char line[DESCRIPTION_LINE_SIZE];
            std::snprintf(line, sizeof(line), "%s", c.name);
            WriteTextureVariant(line, k);
            names.push_back(line);
        }
        EXPECT_EQ(names, c.names) << c.name;
        EXPECT_EQ(std::rand(), expected) << c.name;
    }
}

TEST(ColourLine, ReadsThreeNumbersAtFixedColumnsAndStaysOnItsLine)
{
    test::ScopedTempDir dir;
    const std::string key(32, ' ');
    test::WriteWholeFile("colours.obj", key + "255 128   0\n" +  // plain
                                            key + "051 102 153 and more\n" + // goes on: the rest is dropped
                                            "short\n" +                         // no value: black
                                            key + "25\n" +                      // cut after red
                                            "NEXT\n");
    const FileHandle f = g_FileManager.Open("colours.obj", FILE_MODE_TEXT);
    ASSERT_NE(f, INVALID_FILE_HANDLE);
    const float expected[4][3] = {{1, 128 / 255.0f, 0}, {0.2f, 0.4f, 0.6f}, {0, 0, 0}, {25 / 255.0f, 0, 0}};
    for (const auto& e : expected) {
        D3DXCOLOR4 c{};
        ReadColourLine(&c, f);
        EXPECT_FLOAT_EQ(c.r, e[0]);
        EXPECT_FLOAT_EQ(c.g, e[1]);
        EXPECT_FLOAT_EQ(c.b, e[2]);
        EXPECT_EQ(c.a, 1.0f);
    }
    char line[DESCRIPTION_LINE_SIZE];
    ReadDescriptionLine(line, f);
    EXPECT_STREQ(line, "NEXT");
    g_FileManager.Close(f);
}

TEST(ColourLine, ValuesStartAfterColumnThirtyTwo)
{
    EXPECT_STREQ(DescriptionValue(""), "");
    EXPECT_STREQ(DescriptionValue(std::string(32, 'k').c_str()), "");
    EXPECT_STREQ(DescriptionValue((std::string(32, 'k') + "v").c_str()), "v");
}

TEST(NumberedName, OnlyOneIntegerConversionIsFormatted)
{
    struct Case {
        const char* format;
        bool ok;
        const char* result;
    };
    const Case cases[] = {
        {"Lm%02d.dds", true, "Lm03.dds"}, {"Lm%d.dds", true, "Lm3.dds"},   {"Lm%3i.dds", true, "Lm  3.dds"},
        {"Lm.dds", true, "Lm.dds"},       {"100%%%d", true, "100%3"},       {"Lm%s.dds", false, ""},
        {"Lm%d%d.dds", false, ""},        {"Lm%n", false, ""},              {"Lm%", false, ""},
        {"Lm%-5d", false, ""},
    };
    for (const Case& c : cases) {
        char out[DESCRIPTION_LINE_SIZE] = {};
        EXPECT_EQ(FormatNumberedName(out, sizeof(out), c.format, 3), c.ok) << c.format;
        if (c.ok) {
            EXPECT_STREQ(out, c.result) << c.format;
        }
    }
    char small[6];
    EXPECT_FALSE(FormatNumberedName(small, sizeof(small), "Lm%02d.dds", 3));
}

} // namespace
