// Cutting message texts into rows.
#include "game/MessageRows.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// Ten units a character against a row width of 100: nine characters fit.
float TenPerCharacter(const char*, int length)
{
    return 10.0f * static_cast<float>(length);
}

std::vector<std::string> Cut(const std::string& text, bool byWidth, int maxRows = 32)
{
    static char rows[32][128];
    const int n = CutMessageRows(text.c_str(), rows, maxRows, byWidth ? RowWidthFn(TenPerCharacter) : nullptr, 100.0f);
    return std::vector<std::string>(rows, rows + n);
}

TEST(MessageRows, CutsAtSlashesBlanksAndWidth)
{
    struct Case {
        const char* text;
        bool byWidth;
        std::vector<std::string> rows;
    } cases[] = {
        {"ab/cd/", false, {"ab", "cd"}},
        {"ab/  /cd", false, {"ab", "  ", "cd"}},
        {"abc/", false, {"abc"}},
        {"a//b", false, {"a", "", "b"}},
        {"", false, {}},
        {"hello world again", true, {"hello", "world", "again"}},
        {"short/hello world again", true, {"short", "hello", "world", "again"}},
        {"123456789", true, {"123456789"}},
        {"abcdefghijklmno", true, {"abcdefghi", "jklmno"}},
        {"a b/cdefghijklmnopqrst", true, {"a b", "cdefghijk", "lmnopqrst"}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(Cut(c.text, c.byWidth), c.rows) << c.text;
}

TEST(MessageRows, StaysInsideTheRowTable)
{
    std::string many;
    for (int i = 0; i < 40; ++i)
        many += "a/";
    EXPECT_EQ(Cut(many, false).size(), 32u);

    const std::vector<std::string> rows = Cut(std::string(300, 'x'), false);
    ASSERT_EQ(rows.size(), 3u);
    EXPECT_EQ(rows[0].size(), 127u);
    EXPECT_EQ(rows[1].size(), 127u);
    EXPECT_EQ(rows[2].size(), 46u);
}

} // namespace
