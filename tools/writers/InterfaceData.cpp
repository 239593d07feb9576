#include "writers/InterfaceData.h"

#include "writers/CaptionPrinter.h"
#include "writers/FileBytes.h"
#include "writers/CityPlacement.h"
#include "writers/ImageWriters.h"
#include "writers/SampleCity.h"
#include "writers/WavWriter.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <functional>

namespace tools {

namespace {

// ---- Racer names ----

const char* const kFirstNames[16] = {"Max", "Lena", "Ivan", "Rosa", "Tom", "Nina", "Oleg", "Kira",
                                     "Dan", "Vera", "Eric", "Mila", "Boris", "Anya", "Leo", "Sasha"};
const char* const kNicknames[8] = {"Blaze", "Nitro", "Ghost", "Viper", "Turbo", "Storm", "Drift", "Comet"};
const char* const kLastNames[8] = {"Kane", "Orlov", "Reyes", "Stone", "Voss", "Lund", "Marek", "Hale"};

// ---- Pictures ----

constexpr std::uint32_t kClear = 0x00000000u;

struct Canvas {
    ArgbImage image;
    explicit Canvas(unsigned size, std::uint32_t fill = kClear) : image(SolidImage(size, size, fill)) {}
    Canvas(unsigned w, unsigned h, std::uint32_t fill) : image(SolidImage(w, h, fill)) {}

    void Put(int x, int y, std::uint32_t c)
    {
        if (x >= 0 && y >= 0 && x < static_cast<int>(image.width) && y < static_cast<int>(image.height))
            image.pixels[static_cast<std::size_t>(y) * image.width + static_cast<std::size_t>(x)] = c;
    }
    void Rect(int x0, int y0, int x1, int y1, std::uint32_t c)
    {
        for (int y = y0; y < y1; ++y)
            for (int x = x0; x < x1; ++x)
                Put(x, y, c);
    }
    void Frame(int x0, int y0, int x1, int y1, int t, std::uint32_t c)
    {
        Rect(x0, y0, x1, y0 + t, c);
        Rect(x0, y1 - t, x1, y1, c);
        Rect(x0, y0, x0 + t, y1, c);
        Rect(x1 - t, y0, x1, y1, c);
    }
    // Pixels whose centre lies between the radii r0 and r1 around (cx, cy).
    void Ring(float cx, float cy, float r0, float r1, std::uint32_t c)
    {
        for (int y = static_cast<int>(cy - r1) - 1; y <= static_cast<int>(cy + r1) + 1; ++y)
            for (int x = static_cast<int>(cx - r1) - 1; x <= static_cast<int>(cx + r1) + 1; ++x) {
                const float d = std::hypot(x + 0.5f - cx, y + 0.5f - cy);
                if (d >= r0 && d <= r1)
                    Put(x, y, c);
            }
    }
    void Disc(float cx, float cy, float r, std::uint32_t c) { Ring(cx, cy, 0.0f, r, c); }
    // A filled triangle.
    void Triangle(float ax, float ay, float bx, float by, float cx, float cy, std::uint32_t c)
    {
        const int x0 = static_cast<int>(std::min({ax, bx, cx}));
        const int x1 = static_cast<int>(std::max({ax, bx, cx})) + 1;
        const int y0 = static_cast<int>(std::min({ay, by, cy}));
        const int y1 = static_cast<int>(std::max({ay, by, cy})) + 1;
        auto edge = [](float px, float py, float qx, float qy, float x, float y) {
            return (qx - px) * (y - py) - (qy - py) * (x - px);
        };
        for (int y = y0; y <= y1; ++y)
            for (int x = x0; x <= x1; ++x) {
                const float px = x + 0.5f;
                const float py = y + 0.5f;
                const float e0 = edge(ax, ay, bx, by, px, py);
                const float e1 = edge(bx, by, cx, cy, px, py);
                const float e2 = edge(cx, cy, ax, ay, px, py);
                if ((e0 >= 0 && e1 >= 0 && e2 >= 0) || (e0 <= 0 && e1 <= 0 && e2 <= 0))
                    Put(x, y, c);
            }
    }
    // A thick line from (ax, ay) to (bx, by).
    void Line(float ax, float ay, float bx, float by, float half, std::uint32_t c)
    {
        const int steps = static_cast<int>(std::hypot(bx - ax, by - ay)) + 1;
        for (int i = 0; i <= steps; ++i) {
            const float t = static_cast<float>(i) / steps;
            Disc(ax + (bx - ax) * t, ay + (by - ay) * t, half, c);
        }
    }
};

// A dark translucent panel with a bright rim and, unless it only frames
// text, a title bar.
ArgbImage Panel(unsigned w, unsigned h, std::uint32_t accent, bool titleBar = true)
{
    Canvas c(w, h, 0xC0101418u);
    const int W = static_cast<int>(w);
    const int H = static_cast<int>(h);
    if (titleBar)
        c.Rect(0, 0, W, std::max(8, H / 10), (accent & 0x00FFFFFFu) | 0xE0000000u);
    c.Frame(0, 0, W, H, 3, accent);
    c.Frame(6, 6, W - 6, H - 6, 1, (accent & 0x00FFFFFFu) | 0x80000000u);
    return c.image;
}

// The words of the panels whose figures the game draws, beside where it
// draws them (screen units; the figures are drawn at scale 0.35 to 0.4 of
// the 38-pixel interface font).
constexpr std::uint32_t kCaptionColour = 0xFFE8D0A0u, kTitleColour = 0xFFFFFFFFu;

struct Caption {
    const char* text;
    float x, y;
    CaptionAlign align;
};

bool PrintCaptions(const CaptionPanel& panel, const Caption* captions, std::size_t count, float height)
{
    bool ok = true;
    for (std::size_t i = 0; i < count; ++i)
        ok = ok && PrintCaption(panel, captions[i].text, captions[i].x, captions[i].y, height, captions[i].align,
                                kCaptionColour);
    return ok;
}

} // namespace

// The race offer over (0, 0)-(300, 600): the damage limit at (217, 124), the
// prizes ending at x 262 on rows 175-215 (a time race's limits at x 45 on
// the same rows), length, level and rivals or traffic ending at 262 on rows
// 457-497, and the choice under the glows at (90, 547) and (210, 547).
ArgbImage RaceOfferPanel(std::uint32_t accent, bool timeRace)
{
    ArgbImage image = Panel(512, 512, accent);
    const CaptionPanel panel{&image, 0.0f, 0.0f, 300.0f, 600.0f};
    const Caption both[] = {
        {"Damage limit:", 210.0f, 124.0f, CaptionAlign::Right}, {"Prize", 262.0f, 154.0f, CaptionAlign::Right},
        {"Length:", 45.0f, 457.0f, CaptionAlign::Left},         {"Difficulty:", 45.0f, 477.0f, CaptionAlign::Left},
        {"DECLINE", 90.0f, 538.0f, CaptionAlign::Centre},      {"ACCEPT", 210.0f, 538.0f, CaptionAlign::Centre},
    };
    const Caption street[] = {
        {"1st place", 45.0f, 175.0f, CaptionAlign::Left}, {"2nd place", 45.0f, 195.0f, CaptionAlign::Left},
        {"3rd place", 45.0f, 215.0f, CaptionAlign::Left}, {"Rivals:", 45.0f, 497.0f, CaptionAlign::Left},
    };
    const Caption timed[] = {
        {"Time to beat", 45.0f, 154.0f, CaptionAlign::Left}, {"Traffic:", 45.0f, 497.0f, CaptionAlign::Left}};
    const bool ok = PrintCaption(panel, timeRace ? "TIME RACE" : "STREET RACE", 150.0f, 18.0f, 22.0f,
                                 CaptionAlign::Centre, kTitleColour) &&
                    PrintCaptions(panel, both, std::size(both), 15.0f) &&
                    (timeRace ? PrintCaptions(panel, timed, std::size(timed), 15.0f)
                              : PrintCaptions(panel, street, std::size(street), 15.0f));
    return ok ? image : ArgbImage{};
}

// The driver information over (490, 0)-(800, 400): the name at (570, 65),
// rows 1-3 from x 625, rows 4-9 from x 680, the car at (570, 274), its
// driving time and damage from x 620, and the three bars from x 620.
ArgbImage DriverInfoPanel()
{
    ArgbImage image = Panel(512, 512, 0xFF40FF60u);
    const CaptionPanel panel{&image, 490.0f, 0.0f, 800.0f, 400.0f};
    const Caption rows[] = {
        {"Driver:", 565.0f, 65.0f, CaptionAlign::Right},       {"Play time:", 620.0f, 79.0f, CaptionAlign::Right},
        {"Rating:", 620.0f, 95.0f, CaptionAlign::Right},       {"Money:", 620.0f, 110.0f, CaptionAlign::Right},
        {"Road incidents:", 675.0f, 155.2f, CaptionAlign::Right},
        {"Pedestrians hit:", 675.0f, 170.0f, CaptionAlign::Right},
        {"Arrests:", 675.0f, 184.8f, CaptionAlign::Right},     {"Fines paid:", 675.0f, 199.6f, CaptionAlign::Right},
        {"Earnings:", 675.0f, 214.4f, CaptionAlign::Right},    {"Damage total:", 675.0f, 229.2f, CaptionAlign::Right},
        {"Car:", 565.0f, 274.0f, CaptionAlign::Right},         {"Driving time:", 615.0f, 289.0f, CaptionAlign::Right},
        {"Damage:", 615.0f, 304.0f, CaptionAlign::Right},      {"Speed", 612.0f, 320.0f, CaptionAlign::Right},
        {"Power", 612.0f, 335.0f, CaptionAlign::Right},        {"Control", 612.0f, 350.0f, CaptionAlign::Right},
    };
    const bool ok = PrintCaption(panel, "DRIVER INFORMATION", 645.0f, 14.0f, 18.0f, CaptionAlign::Centre,
                                 kTitleColour) &&
                    PrintCaptions(panel, rows, std::size(rows), 13.0f);
    return ok ? image : ArgbImage{};
}

namespace {

ArgbImage SpeedDial()
{
    Canvas c(256);
    c.Disc(128, 128, 120, 0xB0101010u);
    c.Ring(128, 128, 112, 120, 0xFFE0E0E0u);
    // Ticks over the dial's 270-degree sweep, red past three quarters.
    for (int i = 0; i <= 26; ++i) {
        const float a = (135.0f + 270.0f * i / 26.0f) * 3.14159265f / 180.0f;
        const float r0 = i % 2 ? 100.0f : 90.0f;
        const std::uint32_t colour = i > 19 ? 0xFFFF3020u : 0xFFFFFFFFu;
        c.Line(128 + std::cos(a) * r0, 128 + std::sin(a) * r0, 128 + std::cos(a) * 110, 128 + std::sin(a) * 110,
               1.5f, colour);
    }
    c.Disc(128, 128, 10, 0xFF404040u);
    return c.image;
}

ArgbImage SpeedNeedle()
{
    Canvas c(256);
    // At rest it points at the dial's zero (lower left, where the ticks
    // start); the HUD turns it clockwise from there.
    c.Triangle(123.8f, 123.8f, 132.2f, 132.2f, 51.6f, 204.4f, 0xFFFF5020u);
    c.Disc(128, 128, 8, 0xFFD0D0D0u);
    return c.image;
}

ArgbImage MapFrame()
{
    Canvas c(256);
    c.Ring(128, 128, 112, 126, 0xE0303840u);
    c.Ring(128, 128, 110, 113, 0xFFC0C8D0u);
    c.Ring(128, 128, 124, 126, 0xFF80909Au);
    return c.image;
}

// Icons of 32 x 32: car arrow (0, 0), race start (32, 0), workshop (0, 32),
// car shop (32, 32), police (64, 32); the criminal-level segment at (0, 64).
ArgbImage Icons()
{
    Canvas c(128);
    c.Triangle(16, 3, 5, 28, 27, 28, 0xFFFFFFFFu);
    c.Triangle(16, 12, 10, 24, 22, 24, 0xFF2060FFu);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 4; ++x)
            c.Rect(36 + x * 6, 4 + y * 6, 42 + x * 6, 10 + y * 6, (x + y) % 2 ? 0xFF101010u : 0xFFFFFFFFu);
    c.Line(5, 53, 22, 38, 3.0f, 0xFFE0E0E0u); // a spanner
    c.Ring(24, 38, 3, 7, 0xFFE0E0E0u);
    c.Rect(36, 44, 60, 56, 0xFFFFFFFFu); // a car seen from the side
    c.Rect(41, 38, 55, 44, 0xFFFFFFFFu);
    c.Disc(42, 57, 3.5f, 0xFF202020u);
    c.Disc(54, 57, 3.5f, 0xFF202020u);
    c.Disc(80, 48, 13, 0xFF1030C0u); // police: a star on blue
    c.Triangle(80, 37, 72, 55, 88, 55, 0xFFFFFFFFu);
    c.Triangle(80, 59, 72, 42, 88, 42, 0xFFFFFFFFu);
    // Criminal-level segment, tinted by the HUD: a slanted bar narrower than
    // the HUD's step between segments, so they stand apart.
    c.Triangle(20, 124, 36, 124, 30, 68, 0xFFFFFFFFu);
    c.Triangle(30, 68, 46, 68, 36, 124, 0xFFFFFFFFu);
    return c.image;
}

// The HUD's sprite strip on the right half: a glow and a siren flash.
ArgbImage Sprites()
{
    Canvas c(256);
    for (int r = 60; r > 0; r -= 2) {
        const std::uint32_t a = static_cast<std::uint32_t>(255 - r * 4);
        c.Disc(192, 64, static_cast<float>(r), (a << 24) | 0xFFFFFFu);
        c.Disc(192, 192, static_cast<float>(r), (a << 24) | 0xFF2020u);
    }
    return c.image;
}

// Six pictograms in a 3 x 2 grid of 85.333 texels and the pursuit strip.
ArgbImage Systems()
{
    Canvas c(256);
    const std::uint32_t colours[6] = {0xFF40FF40u, 0xFFFFD040u, 0xFF40C0FFu, 0xFFFF6040u, 0xFFFFFFFFu, 0xFFC060FFu};
    for (int i = 0; i < 6; ++i) {
        const int x = static_cast<int>(85.333f * (i % 3));
        const int y = static_cast<int>(85.333f * (i / 3));
        const int h = i == 5 ? 170 : 85;
        c.Frame(x + 4, y + 4, x + 81, y + h - 4, 4, colours[i]);
        c.Disc(x + 42.5f, y + h / 2.0f, 18, colours[i]);
    }
    for (int x = 0; x < 128; x += 16)
        c.Rect(x, 171, x + 8, 213, (x / 16) % 2 ? 0xFF2040FFu : 0xFFFF2020u);
    return c.image;
}

ArgbImage Cursor()
{
    Canvas c(64);
    c.Triangle(2, 2, 2, 52, 40, 36, 0xFF000000u);
    c.Triangle(6, 8, 6, 44, 33, 33, 0xFFFFFFFFu);
    return c.image;
}

// The city map seen from above, painted from the sample city's grids: the
// map's u runs with x and its v against z, one texel per cell-sized patch.
ArgbImage WorldMap()
{
    const LandscapeMaps maps = SampleCityMaps();
    const int cells = maps.frame.cells;
    const float waterLevel = 0.08f * maps.frame.height;
    const unsigned side = 512;
    Canvas c(side, side, 0xFF4C7A3Au);
    for (unsigned y = 0; y < side; ++y)
        for (unsigned x = 0; x < side; ++x) {
            const int column = std::min(cells - 1, static_cast<int>((x + 0.5f) / side * cells));
            const int row = std::min(cells - 1, static_cast<int>((y + 0.5f) / side * cells));
            const float h = maps.altitude[row * kGridSide + column];
            const std::uint8_t type = maps.route[row * kGridSide + column].type;
            std::uint32_t p = 0xFF4C7A3Au;
            if (h < waterLevel)
                p = 0xFF2A5C9Au;
            else if (type == 2 || type == 3)
                p = 0xFF38383Cu;
            else if (type == 4)
                p = 0xFFB0B0A8u;
            c.Put(static_cast<int>(x), static_cast<int>(y), p);
        }
    const float w = static_cast<float>(cells) * maps.frame.cellSize;
    for (const PlacedProp& prop : SampleCityProps()) {
        if (prop.path.find("Buildings") == std::string::npos)
            continue;
        const float u = prop.x / w + 0.5f;
        const float v = 0.5f - prop.z / w;
        const int px = static_cast<int>(u * side);
        const int py = static_cast<int>(v * side);
        c.Rect(px - 3, py - 3, px + 4, py + 4, 0xFFA09080u);
    }
    return c.image;
}

bool WriteDds(const std::string& root, const char* name, const ArgbImage& image)
{
    return image.width > 0 && WriteFileBytes(root + "/" + name, EncodeDds({image}, DdsPixels::A8R8G8B8, 1));
}

// ---- Sounds ----

constexpr int kRate = 22050;

std::vector<float> Tone(float seconds, const std::function<float(float)>& wave)
{
    std::vector<float> out(static_cast<std::size_t>(seconds * kRate));
    for (std::size_t i = 0; i < out.size(); ++i)
        out[i] = wave(static_cast<float>(i) / kRate);
    return out;
}

float Beep(float t, float f, float length)
{
    const float envelope = std::max(0.0f, 1.0f - t / length);
    return 0.5f * envelope * std::sin(6.2831853f * f * t);
}

bool WriteSound(const std::string& root, const char* name, const std::vector<float>& samples)
{
    return WriteWav(root + "/Data/Audio/Bt/" + name, WavFormat{1, kRate, 16}, samples);
}

} // namespace

std::vector<std::string> SampleRacerNames(int list)
{
    std::vector<std::string> names;
    for (int i = 0; i < 64; ++i) {
        std::string name = kFirstNames[i % 16];
        name += ' ';
        name += list == 0 ? kNicknames[(i / 16 + i) % 8] : kLastNames[(i / 16 + i) % 8];
        names.push_back(name.substr(0, 15));
    }
    return names;
}

std::string RacerNamesText(const std::vector<std::string>& first, const std::vector<std::string>& second)
{
    std::string text;
    const std::vector<std::string>* lists[2] = {&first, &second};
    for (int l = 0; l < 2; ++l) {
        text += "// Racer names\n";
        text += l == 0 ? "// List 1: street names\n" : "// List 2: family names\n";
        text += "//--\n";
        for (const std::string& name : *lists[l])
            text += name + "\n-\n";
    }
    return text;
}

bool WriteInterfaceData(const std::string& root)
{
    bool ok = WriteFileBytes(root + "/Data/Misc/RacersName.obj",
                             RacerNamesText(SampleRacerNames(0), SampleRacerNames(1)));
    ok = ok && WriteDds(root, "Data/Interface/HUD/SpeedBar/Main.dds", SpeedDial());
    ok = ok && WriteDds(root, "Data/Interface/HUD/SpeedBar/Arrow.dds", SpeedNeedle());
    ok = ok && WriteDds(root, "Data/Interface/HUD/MapBar/Main.dds", MapFrame());
    ok = ok && WriteDds(root, "Data/Interface/HUD/Icons/Icons.dds", Icons());
    ok = ok && WriteDds(root, "Data/Interface/HUD/Icons/Sprites.dds", Sprites());
    ok = ok && WriteDds(root, "Data/Interface/HUD/Systems/Systems.dds", Systems());
    ok = ok && WriteDds(root, "Data/Interface/Elements/RaceAskBar/AskBar1.dds", RaceOfferPanel(0xFFFFB030u, false));
    ok = ok && WriteDds(root, "Data/Interface/Elements/RaceAskBar/AskBar2.dds", RaceOfferPanel(0xFF30B0FFu, true));
    ok = ok && WriteDds(root, "Data/Interface/Elements/ResultBar/ResultBar.dds", Panel(512, 512, 0xFFFFD040u));
    ok = ok && WriteDds(root, "Data/Interface/Elements/RacerRatingBar/RacerRatingBar.dds",
                        Panel(512, 512, 0xFFFF8030u));
    ok = ok && WriteDds(root, "Data/Interface/Elements/BalanceBar/BalanceBar.dds", DriverInfoPanel());
    ok = ok && WriteDds(root, "Data/Interface/Elements/RequestBar/RequestBar.dds", Panel(256, 256, 0xFFC0C0C0u));
    ok = ok && WriteDds(root, "Data/Interface/Elements/InfoBar/InfoBar.dds", Panel(256, 256, 0xFFFF9020u, false));
    ok = ok && WriteDds(root, "Data/Interface/Elements/ShopsBar/WorkShopBar.dds", Panel(512, 512, 0xFF60A0FFu));
    ok = ok && WriteDds(root, "Data/Interface/Elements/ShopsBar/AvtoShopBar.dds", Panel(512, 512, 0xFFFF60A0u));
    ok = ok && WriteDds(root, "Data/Interface/Cursor/Cursor.dds", Cursor());
    // The game asks for "WorldMap.bmp" and, with "BMP to JPG" on, reads the JPEG beside it.
    ok = ok && WriteFileBytes(root + "/Data/Landscape/WorldMap.jpg", EncodeJpeg(WorldMap(), 90));

    ok = ok && WriteSound(root, "RRS.wav", Tone(0.4f, [](float t) { return Beep(t, 440.0f + 400.0f * t, 0.4f); }));
    ok = ok && WriteSound(root, "Bt_In.wav", Tone(0.05f, [](float t) { return Beep(t, 1200.0f, 0.05f); }));
    ok = ok && WriteSound(root, "Bt_Pr.wav", Tone(0.08f, [](float t) { return Beep(t, 800.0f, 0.08f); }));
    ok = ok && WriteSound(root, "Rpr.wav", Tone(0.6f, [](float t) {
        return Beep(t, 300.0f, 0.6f) * (std::fmod(t, 0.1f) < 0.05f ? 1.0f : 0.3f);
    }));
    ok = ok && WriteSound(root, "Pnt.wav", Tone(0.5f, [](float t) {
        const float hiss = static_cast<float>(std::rand()) / RAND_MAX * 2.0f - 1.0f;
        return 0.3f * hiss * std::max(0.0f, 1.0f - t / 0.5f);
    }));
    ok = ok && WriteSound(root, "Err.wav", Tone(0.25f, [](float t) { return Beep(t, 180.0f, 0.25f); }));
    ok = ok && WriteSound(root, "Mny.wav", Tone(0.35f, [](float t) {
        return Beep(t, t < 0.12f ? 1320.0f : 1760.0f, 0.35f);
    }));
    return ok;
}

} // namespace tools
