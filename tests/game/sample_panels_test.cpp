// The sample race offer and driver information pictures carry the words of
// the figures the game draws over them: every figure has its caption beside
// it in the picture.
#include "writers/InterfaceData.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>

namespace {

// A figure the game draws: where its text starts (or ends, when it is
// right-aligned) and the top of its line, in screen units.
struct Figure {
    float x, y;
    bool rightAligned;
};

// The picture pixel under a screen point, the picture stretched over the rectangle.
std::uint32_t PixelAt(const tools::ArgbImage& image, float left, float top, float right, float bottom, float x, float y)
{
    const int px = static_cast<int>((x - left) * static_cast<float>(image.width) / (right - left));
    const int py = static_cast<int>((y - top) * static_cast<float>(image.height) / (bottom - top));
    return image.pixels[static_cast<std::size_t>(py) * image.width + static_cast<std::size_t>(px)];
}

bool Bright(std::uint32_t argb)
{
    return ((argb >> 16) & 0xFF) > 160 && ((argb >> 8) & 0xFF) > 120;
}

// Some bright ink on the figure's line within `reach` to the left of where it
// starts (a right-aligned figure's caption sits at the far left of the panel).
int InkBeside(const tools::ArgbImage& image, float left, float top, float right, float bottom, const Figure& f,
              float reach)
{
    int ink = 0;
    const float from = f.rightAligned ? left + 30.0f : f.x - reach;
    const float to = f.rightAligned ? left + 30.0f + reach : f.x - 2.0f;
    for (float y = f.y + 2.0f; y < f.y + 11.0f; y += 1.0f)
        for (float x = from; x < to; x += 0.5f)
            ink += Bright(PixelAt(image, left, top, right, bottom, x, y));
    return ink;
}

TEST(SamplePanels, DriverInformationCaptionsEveryFigure)
{
    const tools::ArgbImage image = tools::DriverInfoPanel();
    ASSERT_EQ(image.width, 512u);
    const Figure figures[] = {{570, 65, false},    {625, 79, false},  {625, 95, false},    {625, 110, false},
                              {680, 155.2f, false}, {680, 170, false}, {680, 184.8f, false}, {680, 199.6f, false},
                              {680, 214.4f, false}, {680, 229.2f, false}, {570, 274, false}, {620, 289, false},
                              {620, 304, false},    {620, 322, false}, {620, 337, false},   {620, 352, false}};
    for (const Figure& f : figures)
        EXPECT_GT(InkBeside(image, 490.0f, 0.0f, 800.0f, 400.0f, f, 60.0f), 5) << f.x << ", " << f.y;
}

TEST(SamplePanels, RaceOfferCaptionsEveryFigureOfBothKinds)
{
    for (const bool timeRace : {false, true}) {
        SCOPED_TRACE(timeRace ? "time race" : "street race");
        const tools::ArgbImage image = tools::RaceOfferPanel(0xFFFFB030u, timeRace);
        ASSERT_EQ(image.width, 512u);
        // The damage limit, then the length, level and rivals or traffic,
        // right-aligned at 262; a street race's prizes, right-aligned too
        // (a time race writes its own limits at their left).
        Figure figures[] = {{217, 124, false}, {262, 457, true}, {262, 477, true}, {262, 497, true},
                            {262, 175, true},  {262, 195, true}, {262, 215, true}};
        const int count = timeRace ? 4 : 7;
        for (int i = 0; i < count; ++i)
            EXPECT_GT(InkBeside(image, 0.0f, 0.0f, 300.0f, 600.0f, figures[i], 60.0f), 5)
                << figures[i].x << ", " << figures[i].y;
    }
}

} // namespace
