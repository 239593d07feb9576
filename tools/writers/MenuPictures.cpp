#include "writers/MenuPictures.h"

#include "writers/WavWriter.h"

#include <ft2build.h>
#include FT_FREETYPE_H

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <filesystem>
#include <vector>

namespace tools {

namespace {

const char* const kBoldFont = "/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf";
const char* const kPlainFont = "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf";

struct Rgb {
    float r, g, b;
};

Rgb Mix(Rgb a, Rgb b, float t)
{
    t = std::clamp(t, 0.0f, 1.0f);
    return {a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t};
}

std::uint32_t Pack(Rgb c, float alpha = 1.0f)
{
    auto ch = [](float v) { return static_cast<std::uint32_t>(std::clamp(v, 0.0f, 1.0f) * 255.0f + 0.5f); };
    return ch(alpha) << 24 | ch(c.r) << 16 | ch(c.g) << 8 | ch(c.b);
}

// A small deterministic generator, so the data is the same on every build.
struct Dice {
    std::uint32_t state;
    std::uint32_t Next()
    {
        state = state * 1664525u + 1013904223u;
        return state >> 8;
    }
    float Unit() { return static_cast<float>(Next() & 0xFFFF) / 65535.0f; }
    int Range(int lo, int hi) { return lo + static_cast<int>(Next() % static_cast<std::uint32_t>(hi - lo + 1)); }
};

// A picture in floating point colour for drawing with blending.
struct Canvas {
    unsigned w, h;
    std::vector<Rgb> px;
    Canvas(unsigned width, unsigned height) : w(width), h(height), px(static_cast<std::size_t>(width) * height) {}
    Rgb& At(int x, int y) { return px[static_cast<std::size_t>(y) * w + x]; }
    void Blend(int x, int y, Rgb c, float a)
    {
        if (x < 0 || y < 0 || x >= static_cast<int>(w) || y >= static_cast<int>(h) || a <= 0.0f)
            return;
        Rgb& d = At(x, y);
        d = Mix(d, c, a);
    }
    void Add(int x, int y, Rgb c, float a)
    {
        if (x < 0 || y < 0 || x >= static_cast<int>(w) || y >= static_cast<int>(h) || a <= 0.0f)
            return;
        Rgb& d = At(x, y);
        d = {d.r + c.r * a, d.g + c.g * a, d.b + c.b * a};
    }
    void Rect(int l, int t, int r, int b, Rgb c, float a = 1.0f)
    {
        for (int y = std::max(t, 0); y < std::min(b, static_cast<int>(h)); ++y)
            for (int x = std::max(l, 0); x < std::min(r, static_cast<int>(w)); ++x)
                Blend(x, y, c, a);
    }
    void Glow(float cx, float cy, float radius, Rgb c, float strength)
    {
        const int r = static_cast<int>(radius);
        for (int y = static_cast<int>(cy) - r; y <= static_cast<int>(cy) + r; ++y)
            for (int x = static_cast<int>(cx) - r; x <= static_cast<int>(cx) + r; ++x) {
                const float d = std::hypot(x - cx, y - cy) / radius;
                if (d < 1.0f)
                    Add(x, y, c, strength * (1.0f - d) * (1.0f - d));
            }
    }
    ArgbImage Image(float alpha = 1.0f) const
    {
        ArgbImage image;
        image.width = w;
        image.height = h;
        image.pixels.reserve(px.size());
        for (const Rgb& c : px)
            image.pixels.push_back(Pack(c, alpha));
        return image;
    }
};

// The look of one time of day.
struct DayLight {
    Rgb skyTop, skyHorizon;
    Rgb sun;        // disc colour
    float sunX, sunY; // fractions of the picture, sunY > 1 hides it
    float night;    // 0 day .. 1 night: stars, lit windows, lamps
    Rgb haze;       // colour far buildings fade into
    Rgb buildingDark, buildingLit;
};

const DayLight kTimes[] = {
    // dawn
    {{0.20f, 0.25f, 0.45f}, {0.95f, 0.62f, 0.42f}, {1.0f, 0.85f, 0.6f}, 0.25f, 0.62f, 0.3f, {0.75f, 0.55f, 0.5f},
     {0.12f, 0.12f, 0.18f}, {0.35f, 0.3f, 0.32f}},
    // morning
    {{0.25f, 0.45f, 0.75f}, {0.75f, 0.82f, 0.9f}, {1.0f, 0.97f, 0.85f}, 0.75f, 0.22f, 0.0f, {0.65f, 0.72f, 0.82f},
     {0.22f, 0.25f, 0.32f}, {0.55f, 0.58f, 0.65f}},
    // noon
    {{0.15f, 0.38f, 0.72f}, {0.62f, 0.78f, 0.92f}, {1.0f, 1.0f, 0.92f}, 0.55f, 0.1f, 0.0f, {0.62f, 0.72f, 0.85f},
     {0.25f, 0.27f, 0.33f}, {0.6f, 0.62f, 0.68f}},
    // sunset
    {{0.25f, 0.15f, 0.35f}, {1.0f, 0.45f, 0.2f}, {1.0f, 0.7f, 0.35f}, 0.7f, 0.66f, 0.35f, {0.8f, 0.4f, 0.35f},
     {0.1f, 0.07f, 0.12f}, {0.3f, 0.2f, 0.22f}},
    // dusk
    {{0.05f, 0.06f, 0.2f}, {0.45f, 0.25f, 0.45f}, {0.9f, 0.6f, 0.5f}, 0.2f, 1.2f, 0.75f, {0.3f, 0.2f, 0.35f},
     {0.05f, 0.05f, 0.09f}, {0.15f, 0.12f, 0.2f}},
    // night
    {{0.01f, 0.01f, 0.05f}, {0.08f, 0.1f, 0.2f}, {0.9f, 0.92f, 1.0f}, 0.8f, 0.15f, 1.0f, {0.1f, 0.12f, 0.2f},
     {0.03f, 0.03f, 0.05f}, {0.08f, 0.08f, 0.12f}},
};

void DrawSky(Canvas& c, const DayLight& d, Dice& dice)
{
    for (unsigned y = 0; y < c.h; ++y) {
        const float t = std::pow(static_cast<float>(y) / (c.h * 0.75f), 1.4f);
        const Rgb row = Mix(d.skyTop, d.skyHorizon, t);
        for (unsigned x = 0; x < c.w; ++x)
            c.At(x, y) = row;
    }
    if (d.night > 0.5f) {
        for (int i = 0; i < 400; ++i) {
            const int x = dice.Range(0, c.w - 1);
            const int y = dice.Range(0, static_cast<int>(c.h * 0.6f));
            c.Add(x, y, {1.0f, 1.0f, 1.0f}, dice.Unit() * 0.8f * d.night);
        }
    }
    if (d.sunY < 1.0f) {
        const float sx = d.sunX * c.w;
        const float sy = d.sunY * c.h;
        const bool moon = d.night > 0.9f;
        c.Glow(sx, sy, c.w * (moon ? 0.12f : 0.35f), d.sun, moon ? 0.25f : 0.55f);
        const float disc = c.w * (moon ? 0.025f : 0.035f);
        for (int y = static_cast<int>(sy - disc - 2); y <= static_cast<int>(sy + disc + 2); ++y)
            for (int x = static_cast<int>(sx - disc - 2); x <= static_cast<int>(sx + disc + 2); ++x)
                c.Blend(x, y, d.sun, std::clamp(disc + 0.5f - std::hypot(x - sx, y - sy), 0.0f, 1.0f));
    }
}

// One row of buildings standing on the base line; depth 0 is the nearest.
void DrawSkyline(Canvas& c, const DayLight& d, Dice& dice, float baseY, float maxHeight, float depth, int scale)
{
    const Rgb body = Mix(d.buildingDark, d.haze, depth * 0.75f);
    const Rgb face = Mix(d.buildingLit, d.haze, depth * 0.75f);
    int x = -dice.Range(0, 30);
    while (x < static_cast<int>(c.w)) {
        const int width = dice.Range(4, 11) * scale;
        const int height = static_cast<int>(maxHeight * (0.3f + 0.7f * dice.Unit()));
        const int top = static_cast<int>(baseY) - height;
        // The lit side faces the sun.
        const int litWidth = width / 3;
        const bool sunLeft = d.sunX < 0.5f;
        c.Rect(x, top, x + width, static_cast<int>(baseY), body);
        c.Rect(sunLeft ? x : x + width - litWidth, top, sunLeft ? x + litWidth : x + width, static_cast<int>(baseY),
               face, 0.45f);
        // A roof detail: a mast or a stepped top.
        if (dice.Unit() < 0.3f)
            c.Rect(x + width / 2 - 1, top - height / 6, x + width / 2 + 1, top, body);
        else if (dice.Unit() < 0.4f)
            c.Rect(x + width / 5, top - scale * 3, x + width - width / 5, top, body);
        // Windows.
        const int cell = std::max(2, scale + 2);
        for (int wy = top + cell; wy < baseY - cell; wy += cell + 1)
            for (int wx = x + 2; wx < x + width - 2; wx += cell) {
                const bool lit = dice.Unit() < 0.15f + 0.45f * d.night;
                const Rgb glass = lit && d.night > 0.2f ? Rgb{1.0f, 0.82f, 0.45f} : Mix(d.skyHorizon, face, 0.5f);
                const float strength = (lit && d.night > 0.2f ? 0.9f : 0.25f) * (1.0f - depth * 0.6f);
                c.Rect(wx, wy, wx + std::max(1, cell - 2), wy + std::max(1, cell - 1), glass, strength);
            }
        x += width + dice.Range(0, 3) * scale;
    }
    // Haze at the foot of the row.
    for (int y = static_cast<int>(baseY - maxHeight * 0.4f); y < static_cast<int>(baseY); ++y) {
        const float t = (y - (baseY - maxHeight * 0.4f)) / (maxHeight * 0.4f);
        for (unsigned xx = 0; xx < c.w; ++xx)
            c.Blend(xx, y, d.haze, t * 0.35f * depth);
    }
}

// The street in front: asphalt in perspective with its centre line, kerbs,
// sidewalks and lamps.
void DrawStreet(Canvas& c, const DayLight& d, float horizon, float vanishX)
{
    const Rgb asphalt = Mix({0.2f, 0.2f, 0.22f}, {0.03f, 0.03f, 0.04f}, d.night);
    const Rgb walk = Mix({0.5f, 0.48f, 0.45f}, {0.08f, 0.08f, 0.09f}, d.night);
    for (int y = static_cast<int>(horizon); y < static_cast<int>(c.h); ++y) {
        const float depth = (y - horizon) / (c.h - horizon); // 0 far .. 1 near
        const float halfRoad = 20.0f + depth * c.w * 0.55f;
        const float halfWalk = halfRoad * 1.35f;
        for (unsigned x = 0; x < c.w; ++x) {
            const float dx = std::fabs(x - vanishX);
            Rgb col = dx < halfRoad ? asphalt : (dx < halfWalk ? walk : Mix(walk, d.buildingDark, 0.6f));
            if (dx >= halfRoad && dx < halfRoad + 2.0f + depth * 6.0f)
                col = Mix(walk, {0.8f, 0.8f, 0.78f}, 0.5f * (1.0f - d.night * 0.7f)); // kerb
            // Dashed centre line and the edge lines.
            const float dash = std::fmod(1.0f / (depth + 0.05f) * 6.0f, 2.0f);
            if (dx < 1.0f + depth * 5.0f && dash < 1.0f)
                col = Mix(col, {0.95f, 0.9f, 0.6f}, 0.85f - 0.5f * d.night);
            c.At(x, y) = Mix(col, d.haze, (1.0f - depth) * 0.5f);
        }
    }
    // The sky's sheen on the road.
    for (int y = static_cast<int>(horizon); y < static_cast<int>(c.h); ++y)
        for (int x = static_cast<int>(vanishX - 60); x < static_cast<int>(vanishX + 60); ++x)
            c.Add(x, y, d.skyHorizon, 0.12f * (1.0f - std::fabs(x - vanishX) / 60.0f) * (1.0f - (y - horizon) / (c.h - horizon)));
    // Street lamps on both sidewalks, nearer ones bigger.
    for (int i = 0; i < 6; ++i) {
        const float depth = 0.12f + i * 0.17f;
        const float y = horizon + depth * (c.h - horizon);
        const float half = (20.0f + depth * c.w * 0.55f) * 1.12f;
        const float height = 30.0f + depth * 260.0f;
        for (int side = -1; side <= 1; side += 2) {
            const float x = vanishX + side * half;
            const int pole = std::max(1, static_cast<int>(depth * 5.0f));
            c.Rect(static_cast<int>(x) - pole / 2, static_cast<int>(y - height), static_cast<int>(x) + pole / 2 + 1,
                   static_cast<int>(y), {0.05f, 0.05f, 0.06f});
            const float arm = height * 0.18f;
            const float lx = x - side * arm;
            c.Rect(static_cast<int>(std::min(x, lx)), static_cast<int>(y - height),
                   static_cast<int>(std::max(x, lx)) + 1, static_cast<int>(y - height) + pole, {0.05f, 0.05f, 0.06f});
            if (d.night > 0.2f) {
                c.Glow(lx, y - height + pole * 2, 12.0f + depth * 60.0f, {1.0f, 0.8f, 0.45f}, 0.9f * d.night);
                c.Glow(lx, y, 20.0f + depth * 120.0f, {1.0f, 0.7f, 0.35f}, 0.25f * d.night);
            }
        }
    }
}

// A car's lights going down the street at night, or its body by day.
void DrawTraffic(Canvas& c, const DayLight& d, float horizon, float vanishX, Dice& dice)
{
    for (int i = 0; i < 3; ++i) {
        const float depth = 0.15f + dice.Unit() * 0.5f;
        const float y = horizon + depth * (c.h - horizon);
        const float half = 20.0f + depth * c.w * 0.55f;
        const bool coming = i % 2 == 0;
        const float x = vanishX + (coming ? -0.5f : 0.5f) * half;
        const float w = 8.0f + depth * 150.0f;
        const float h = w * 0.45f;
        const Rgb paint = Rgb{dice.Unit(), dice.Unit() * 0.6f, dice.Unit() * 0.4f};
        c.Rect(static_cast<int>(x - w / 2), static_cast<int>(y - h), static_cast<int>(x + w / 2), static_cast<int>(y),
               Mix(paint, {0.02f, 0.02f, 0.03f}, d.night * 0.8f));
        c.Rect(static_cast<int>(x - w / 2 + w * 0.15f), static_cast<int>(y - h - h * 0.5f),
               static_cast<int>(x + w / 2 - w * 0.15f), static_cast<int>(y - h), Mix(paint, d.skyHorizon, 0.5f), 0.9f);
        const Rgb lamp = coming ? Rgb{1.0f, 0.95f, 0.8f} : Rgb{1.0f, 0.1f, 0.05f};
        const float glow = (coming ? 0.8f : 0.6f) * (0.3f + 0.7f * d.night);
        c.Glow(x - w * 0.38f, y - h * 0.45f, 4.0f + w * 0.25f, lamp, glow);
        c.Glow(x + w * 0.38f, y - h * 0.45f, 4.0f + w * 0.25f, lamp, glow);
    }
}

void Vignette(Canvas& c, float strength)
{
    for (unsigned y = 0; y < c.h; ++y)
        for (unsigned x = 0; x < c.w; ++x) {
            const float dx = (x / static_cast<float>(c.w) - 0.5f) * 2.0f;
            const float dy = (y / static_cast<float>(c.h) - 0.5f) * 2.0f;
            const float v = 1.0f - strength * std::min(1.0f, (dx * dx + dy * dy) * 0.5f);
            Rgb& p = c.At(x, y);
            p = {p.r * v, p.g * v, p.b * v};
        }
}

// Text coverage from a TrueType font: one byte per pixel.
struct TextMask {
    unsigned w = 0, h = 0;
    std::vector<float> a;
};

TextMask RenderText(const char* fontPath, unsigned pixels, const char* text, int tracking = 0)
{
    TextMask mask;
    FT_Library library = nullptr;
    FT_Face face = nullptr;
    if (FT_Init_FreeType(&library) != 0)
        return mask;
    if (FT_New_Face(library, fontPath, 0, &face) != 0 || FT_Set_Pixel_Sizes(face, 0, pixels) != 0) {
        FT_Done_FreeType(library);
        return mask;
    }
    const int ascent = static_cast<int>(face->size->metrics.ascender >> 6);
    const int descent = static_cast<int>(-face->size->metrics.descender >> 6);
    int width = 0;
    for (const char* p = text; *p; ++p)
        if (FT_Load_Char(face, static_cast<unsigned char>(*p), FT_LOAD_DEFAULT) == 0)
            width += static_cast<int>(face->glyph->advance.x >> 6) + tracking;
    mask.w = static_cast<unsigned>(std::max(1, width + 4));
    mask.h = static_cast<unsigned>(ascent + descent + 4);
    mask.a.assign(static_cast<std::size_t>(mask.w) * mask.h, 0.0f);
    int pen = 2;
    for (const char* p = text; *p; ++p) {
        if (FT_Load_Char(face, static_cast<unsigned char>(*p), FT_LOAD_RENDER) != 0)
            continue;
        const FT_GlyphSlotRec* g = face->glyph;
        for (unsigned row = 0; row < g->bitmap.rows; ++row)
            for (unsigned col = 0; col < g->bitmap.width; ++col) {
                const int x = pen + g->bitmap_left + static_cast<int>(col);
                const int y = 2 + ascent - g->bitmap_top + static_cast<int>(row);
                if (x >= 0 && y >= 0 && x < static_cast<int>(mask.w) && y < static_cast<int>(mask.h))
                    mask.a[static_cast<std::size_t>(y) * mask.w + x] =
                        g->bitmap.buffer[row * g->bitmap.pitch + col] / 255.0f;
            }
        pen += static_cast<int>(g->advance.x >> 6) + tracking;
    }
    FT_Done_Face(face);
    FT_Done_FreeType(library);
    return mask;
}

// A picture with an alpha channel, drawn in straight colour plus coverage.
struct Layer {
    unsigned w, h;
    std::vector<Rgb> c;
    std::vector<float> a;
    Layer(unsigned width, unsigned height)
        : w(width), h(height), c(static_cast<std::size_t>(width) * height, Rgb{0, 0, 0}),
          a(static_cast<std::size_t>(width) * height, 0.0f)
    {
    }
    void Over(int x, int y, Rgb colour, float alpha)
    {
        if (x < 0 || y < 0 || x >= static_cast<int>(w) || y >= static_cast<int>(h) || alpha <= 0.0f)
            return;
        const std::size_t i = static_cast<std::size_t>(y) * w + x;
        const float out = alpha + a[i] * (1.0f - alpha);
        if (out > 0.0f)
            c[i] = {(colour.r * alpha + c[i].r * a[i] * (1.0f - alpha)) / out,
                    (colour.g * alpha + c[i].g * a[i] * (1.0f - alpha)) / out,
                    (colour.b * alpha + c[i].b * a[i] * (1.0f - alpha)) / out};
        a[i] = out;
    }
    // Text placed with its left top at (x, y), filled with a vertical
    // gradient, over a soft dark shadow and a thin light outline.
    void Text(const TextMask& m, int x, int y, Rgb top, Rgb bottom, float shadow)
    {
        const int blur = 4;
        if (shadow > 0.0f)
            for (int my = -blur; my < static_cast<int>(m.h) + blur; ++my)
                for (int mx = -blur; mx < static_cast<int>(m.w) + blur; ++mx) {
                    float sum = 0.0f;
                    for (int k = -blur; k <= blur; k += 2)
                        for (int l = -blur; l <= blur; l += 2) {
                            const int sx = mx + l, sy = my + k;
                            if (sx >= 0 && sy >= 0 && sx < static_cast<int>(m.w) && sy < static_cast<int>(m.h))
                                sum += m.a[static_cast<std::size_t>(sy) * m.w + sx];
                        }
                    Over(x + mx + 3, y + my + 4, {0, 0, 0}, std::min(1.0f, sum / 12.0f) * shadow);
                }
        for (unsigned my = 0; my < m.h; ++my)
            for (unsigned mx = 0; mx < m.w; ++mx) {
                const float t = static_cast<float>(my) / m.h;
                Over(x + static_cast<int>(mx), y + static_cast<int>(my), Mix(top, bottom, t),
                     m.a[static_cast<std::size_t>(my) * m.w + mx]);
            }
    }
    ArgbImage Image() const
    {
        ArgbImage image;
        image.width = w;
        image.height = h;
        for (std::size_t i = 0; i < c.size(); ++i)
            image.pixels.push_back(Pack(c[i], a[i]));
        return image;
    }
};

// The game's emblem: a stylised road bending into the distance inside a ring.
void DrawEmblem(Layer& l, float cx, float cy, float radius, Rgb ring, Rgb road)
{
    for (int y = static_cast<int>(cy - radius - 2); y <= static_cast<int>(cy + radius + 2); ++y)
        for (int x = static_cast<int>(cx - radius - 2); x <= static_cast<int>(cx + radius + 2); ++x) {
            const float d = std::hypot(x - cx, y - cy);
            const float edge = std::clamp(1.0f - std::fabs(d - radius * 0.9f) / (radius * 0.08f), 0.0f, 1.0f);
            l.Over(x, y, ring, edge);
            if (d < radius * 0.8f) {
                // The road: a band whose centre bends as it rises.
                const float v = (y - (cy - radius * 0.8f)) / (radius * 1.6f); // 0 top .. 1 bottom
                const float centre = cx + std::sin(v * 3.1f) * radius * 0.25f * (1.0f - v);
                const float half = radius * (0.05f + 0.35f * v * v);
                const float inside = std::clamp(half - std::fabs(x - centre), 0.0f, 1.0f);
                l.Over(x, y, road, inside * std::clamp(v * 3.0f, 0.0f, 1.0f));
                const bool dash = std::fmod(v * 10.0f, 1.0f) < 0.5f;
                if (dash && std::fabs(x - centre) < 0.5f + radius * 0.02f * v)
                    l.Over(x, y, {1.0f, 0.85f, 0.3f}, std::clamp(v * 3.0f, 0.0f, 1.0f));
            }
        }
}

ArgbImage TitlePicture()
{
    Layer l(516, 432);
    const Rgb gold{1.0f, 0.86f, 0.45f};
    const Rgb amber{0.95f, 0.45f, 0.12f};
    DrawEmblem(l, 258.0f, 120.0f, 100.0f, gold, {0.85f, 0.88f, 0.95f});
    const TextMask name = RenderText(kBoldFont, 80, "MORVAINE", 0);
    l.Text(name, (516 - static_cast<int>(name.w)) / 2, 228, {1.0f, 0.97f, 0.85f}, amber, 0.8f);
    const TextMask tag = RenderText(kPlainFont, 24, "OPEN  CITY  DRIVING", 3);
    // A thin rule on each side of the tag line.
    const int tagX = (516 - static_cast<int>(tag.w)) / 2;
    for (int x = 20; x < tagX - 10; ++x)
        l.Over(x, 355, gold, 0.8f);
    for (int x = tagX + static_cast<int>(tag.w) + 10; x < 496; ++x)
        l.Over(x, 355, gold, 0.8f);
    l.Text(tag, tagX, 340, gold, gold, 0.6f);
    return l.Image();
}

// The studio's square logo: a quill over a disc.
ArgbImage StudioLogo()
{
    Layer l(256, 256);
    const Rgb ink{0.95f, 0.93f, 0.88f};
    for (int y = 0; y < 256; ++y)
        for (int x = 0; x < 256; ++x) {
            const float d = std::hypot(x - 128.0f, y - 110.0f);
            l.Over(x, y, {0.55f, 0.12f, 0.1f}, std::clamp(80.0f - d, 0.0f, 1.0f));
            // The feather: a leaf shape along a diagonal.
            const float u = ((x - 128.0f) + (y - 110.0f)) / 1.414f; // across
            const float v = ((x - 128.0f) - (y - 110.0f)) / 1.414f; // along
            const float len = 70.0f;
            if (std::fabs(v) < len) {
                const float width = 18.0f * std::sqrt(1.0f - (v / len) * (v / len)) * (v < 0 ? 0.7f : 1.0f);
                l.Over(x, y, ink, std::clamp(width - std::fabs(u + 4.0f * std::sin(v * 0.05f)), 0.0f, 1.0f));
                if (std::fabs(u) < 1.2f)
                    l.Over(x, y, {0.55f, 0.12f, 0.1f}, 0.8f);
            }
        }
    const TextMask name = RenderText(kBoldFont, 34, "QUILLON", 3);
    l.Text(name, (256 - static_cast<int>(name.w)) / 2, 200, ink, {0.8f, 0.75f, 0.7f}, 0.5f);
    return l.Image();
}

// The partner's full-screen picture.
ArgbImage PartnerLogo()
{
    Canvas c(800, 600);
    for (unsigned y = 0; y < c.h; ++y)
        for (unsigned x = 0; x < c.w; ++x) {
            const float d = std::hypot(x - 400.0f, y - 260.0f) / 500.0f;
            c.At(x, y) = Mix({0.08f, 0.14f, 0.12f}, {0.0f, 0.0f, 0.0f}, d);
        }
    // Hills in a hollow, three layers.
    for (int layer = 0; layer < 3; ++layer)
        for (unsigned x = 0; x < c.w; ++x) {
            const float fx = (x - 400.0f) / 400.0f;
            const float top = 330.0f - layer * 25.0f + fx * fx * (120.0f - layer * 30.0f) +
                              std::sin(x * 0.02f + layer) * 6.0f;
            for (int y = static_cast<int>(top); y < 380; ++y)
                c.Blend(x, y, Mix({0.35f, 0.55f, 0.4f}, {0.1f, 0.2f, 0.15f}, layer / 2.0f), 0.9f);
        }
    c.Glow(400.0f, 300.0f, 140.0f, {0.9f, 0.95f, 0.7f}, 0.35f);
    // The tarn below the hills, with the light's reflection in ripples.
    for (int y = 380; y < 440; ++y) {
        const float depth = (y - 380) / 60.0f;
        for (unsigned x = 0; x < c.w; ++x) {
            const float fx = (x - 400.0f) / 400.0f;
            const float ripple = 0.5f + 0.5f * std::sin(y * 1.3f + std::sin(x * 0.05f) * 2.0f);
            const float light = std::max(0.0f, 1.0f - std::fabs(fx) * 3.0f) * (1.0f - depth) * ripple;
            c.At(x, y) = Mix({0.06f, 0.14f, 0.16f}, {0.0f, 0.0f, 0.0f}, depth + fx * fx * 0.5f);
            c.Add(x, y, {0.7f, 0.8f, 0.6f}, 0.35f * light);
        }
    }
    Layer text(800, 160);
    const TextMask name = RenderText(kBoldFont, 64, "TARNHOLLOW", 8);
    text.Text(name, (800 - static_cast<int>(name.w)) / 2, 20, {0.92f, 0.96f, 0.9f}, {0.6f, 0.8f, 0.65f}, 0.7f);
    const TextMask tag = RenderText(kPlainFont, 22, "INTERACTIVE", 10);
    text.Text(tag, (800 - static_cast<int>(tag.w)) / 2, 110, {0.7f, 0.85f, 0.7f}, {0.7f, 0.85f, 0.7f}, 0.5f);
    for (unsigned y = 0; y < text.h; ++y)
        for (unsigned x = 0; x < text.w; ++x) {
            const std::size_t i = static_cast<std::size_t>(y) * text.w + x;
            c.Blend(x, y + 440, text.c[i], text.a[i]);
        }
    return c.Image();
}

// The physics library's badge.
ArgbImage PhysicsLogo()
{
    Canvas c(256, 102);
    for (unsigned y = 0; y < c.h; ++y)
        for (unsigned x = 0; x < c.w; ++x)
            c.At(x, y) = Mix({0.15f, 0.15f, 0.18f}, {0.02f, 0.02f, 0.03f}, y / 102.0f);
    // Three bodies in flight.
    const float balls[3][3] = {{40, 40, 18}, {78, 62, 12}, {104, 36, 8}};
    for (const auto& b : balls)
        for (int y = 0; y < 102; ++y)
            for (int x = 0; x < 130; ++x) {
                const float d = std::hypot(x - b[0], y - b[1]);
                const float shade = 1.0f - std::clamp((x - b[0] + y - b[1]) / (b[2] * 2.5f) + 0.4f, 0.0f, 1.0f);
                c.Blend(x, y, Mix({0.9f, 0.5f, 0.1f}, {1.0f, 0.9f, 0.6f}, shade), std::clamp(b[2] - d, 0.0f, 1.0f));
            }
    Layer l(256, 102);
    const TextMask word = RenderText(kBoldFont, 22, "PHYSICS", 0);
    l.Text(word, 126, 36, {0.95f, 0.95f, 0.95f}, {0.75f, 0.75f, 0.8f}, 0.0f);
    for (unsigned i = 0; i < l.c.size(); ++i)
        c.Blend(i % 256, i / 256, l.c[i], l.a[i]);
    return c.Image();
}

ArgbImage LoadingCaption()
{
    Layer l(256, 64);
    const TextMask word = RenderText(kBoldFont, 38, "LOADING...", 2);
    l.Text(word, (256 - static_cast<int>(word.w)) / 2, (64 - static_cast<int>(word.h)) / 2,
           {1.0f, 0.97f, 0.85f}, {0.95f, 0.55f, 0.2f}, 0.7f);
    return l.Image();
}

// Black at the left where the title stands, clear to the right.
ArgbImage BackHider()
{
    ArgbImage image;
    image.width = image.height = 256;
    for (unsigned y = 0; y < 256; ++y)
        for (unsigned x = 0; x < 256; ++x) {
            const float a = std::clamp(1.0f - x / 200.0f, 0.0f, 1.0f) * 0.8f;
            image.pixels.push_back(Pack({0, 0, 0}, a));
        }
    return image;
}

std::vector<float> Tone(float seconds, float (*shape)(float t))
{
    const int rate = 22050;
    std::vector<float> samples(static_cast<std::size_t>(seconds * rate));
    for (std::size_t i = 0; i < samples.size(); ++i)
        samples[i] = shape(static_cast<float>(i) / rate);
    return samples;
}

// A rising chord that swells and fades over the partner logo.
float LogoChime(float t)
{
    const float notes[4] = {220.0f, 277.2f, 329.6f, 440.0f};
    float s = 0.0f;
    for (int i = 0; i < 4; ++i) {
        const float start = i * 0.35f;
        if (t > start)
            s += std::sin(2.0f * 3.14159f * notes[i] * t) * std::exp(-(t - start) * 0.9f);
    }
    const float swell = std::min(1.0f, t * 2.0f);
    return 0.18f * s * swell;
}

bool WriteImage(const std::string& path, const std::string& bytes)
{
    std::error_code ec;
    std::filesystem::create_directories(std::filesystem::path(path).parent_path(), ec);
    return !bytes.empty() && WriteImageFile(path, bytes);
}

} // namespace

ArgbImage MenuBackground(int number, unsigned width, unsigned height)
{
    const int kinds = static_cast<int>(sizeof kTimes / sizeof kTimes[0]);
    const DayLight& d = kTimes[(number - 1) % kinds];
    Dice dice{static_cast<std::uint32_t>(number) * 7919u};
    Canvas c(width, height);
    DrawSky(c, d, dice);
    const float horizon = height * 0.62f;
    const float vanishX = width * (0.35f + 0.3f * dice.Unit());
    const float scale = width / 800.0f;
    DrawSkyline(c, d, dice, horizon, 230.0f * scale, 0.85f, 2);
    DrawSkyline(c, d, dice, horizon + 4.0f, 190.0f * scale, 0.45f, 3);
    DrawStreet(c, d, horizon, vanishX);
    DrawSkyline(c, d, dice, horizon + 2.0f, 120.0f * scale, 0.15f, 5);
    DrawTraffic(c, d, horizon, vanishX, dice);
    Vignette(c, 0.55f);
    // The menu's captions stand on the right: the picture darkens there.
    for (unsigned y = 0; y < height; ++y)
        for (unsigned x = 0; x < width; ++x) {
            const float shade = 1.0f - 0.5f * std::clamp((x / static_cast<float>(width) - 0.5f) * 4.0f, 0.0f, 1.0f);
            Rgb& p = c.At(x, y);
            p = {p.r * shade, p.g * shade, p.b * shade};
        }
    // Pictures are added over black: keep them dim enough for the captions.
    for (Rgb& p : c.px)
        p = {std::min(1.0f, p.r) * 0.8f, std::min(1.0f, p.g) * 0.8f, std::min(1.0f, p.b) * 0.8f};
    return c.Image();
}

bool WriteMenuPictures(const std::string& root)
{
    const std::string menu = root + "/Data/Interface/GameMenu/";
    for (int n = 1; n <= 12; ++n) {
        char name[32];
        std::snprintf(name, sizeof name, "Back%02d.jpg", n);
        if (!WriteImage(menu + "Backgrounds/" + name, EncodeJpeg(MenuBackground(n, 800, 600), 88)))
            return false;
    }
    const WavFormat mono;
    return WriteImage(menu + "Backgrounds/BackHider.dds", EncodeDds({BackHider()}, DdsPixels::A8R8G8B8, 1)) &&
           WriteImage(menu + "Title.dds", EncodeDds({TitlePicture()}, DdsPixels::A8R8G8B8, 1)) &&
           WriteImage(menu + "Logo_Quillon.dds", EncodeDds({StudioLogo()}, DdsPixels::A8R8G8B8, 1)) &&
           WriteImage(menu + "Load-Text.dds", EncodeDds({LoadingCaption()}, DdsPixels::A8R8G8B8, 1)) &&
           WriteImage(menu + "Logo_Bullet.jpg", EncodeJpeg(PhysicsLogo(), 90)) &&
           WriteImage(menu + "Logo_Tarnhollow.jpg", EncodeJpeg(PartnerLogo(), 90)) &&
           WriteWav(root + "/Data/Audio/Start logo.wav", mono, Tone(4.5f, LogoChime));
}

} // namespace tools
