// Bitmap fonts: one atlas texture holding every glyph, a glyph table found by
// scanning a mask image, and a map from character bytes to glyphs. A font
// folder holds "Main.dat" (the characters in mask order), "Main.dds" or
// "Main.bmp" (the atlas) and "Mask.dat" (the N x N glyph mask).
#pragma once

#include "graphics/ScreenDraw.h"
#include "graphics/ScreenVertex.h"

#include <cstdint>

enum {
    FONT_MAX_GLYPHS = 255,
    FONT_MAX_TEXT = 254, // characters drawn per call; the rest is cut
    FONT_CHAR_MAP_SIZE = 510,
    FONT_CHAR_MAP_ZERO = 255, // map entry of the value 0 (values run -255..254)
    FONT_NO_GLYPH = 0xFFFF,
    FONT_PATH_SIZE = 256,
    FONT_CHAR_LIST_SIZE = 256, // at most 255 characters and the terminator
};

// One glyph of the atlas: texture rectangle in 0..1, size in pixels (each one
// less than the glyph's extent in the mask).
struct FontGlyph {
    float fLeft, fTop, fRight, fBottom;
    float fWidth, fHeight;
    unsigned char cChar;
};

class CGameFont {
public:
    CGameFont();

    // Loads the three files of the folder; failures show a "Font error!" box
    // and leave the font without glyphs (it then draws nothing).
    void Load(const char* folder);
    void Release();

    // Draws the text at (x, y) of the 800 x 600 space, colours blended from
    // top to bottom; a non-zero fixedWidth centres every glyph in one cell
    // width. Returns the pen x after the text (a whole number).
    float DrawTextGradient(int x, int y, const char* text, DWORD topColour, DWORD bottomColour, float size,
                           int fixedWidth);
    float DrawText(int x, int y, const char* text, DWORD colour, float size, int fixedWidth);
    // Text over a soft halo behind each glyph that is not a blank.
    float DrawGlowText(int x, int y, const char* text, DWORD colour, DWORD glowColour, float size, int unused = 0);

    float GetTextWidth(const char* text, float size, int fixedWidth) const;
    float GetLineHeight(float size) const;
    // Index of the first glyph showing the character, or FONT_NO_GLYPH.
    std::uint32_t FindGlyph(unsigned char c) const;
    // Cell width and letter spacing from the widest glyph; returns the
    // letter spacing.
    float ComputeSpacing();

    std::uint16_t GlyphOf(char c) const { return m_CharMap[FONT_CHAR_MAP_ZERO + static_cast<signed char>(c)]; }

    char m_szFolder[FONT_PATH_SIZE];
    std::uint32_t m_nChars;
    char m_szChars[FONT_CHAR_LIST_SIZE];
    FontGlyph m_Glyphs[FONT_MAX_GLYPHS];
    std::uint32_t m_nGlyphs; // glyphs the mask gave, in character order
    std::uint16_t m_CharMap[FONT_CHAR_MAP_SIZE];
    TextureId m_nTexture;
    float m_fGlyphHeight;
    float m_fCellWidth;
    float m_fLetterSpacing;
    float m_fScale;
    CScreenVertex m_Vertices[FONT_MAX_GLYPHS * 4];
    std::uint16_t m_Indices[FONT_MAX_GLYPHS * 6];

private:
    void ResetGlyphs();
    bool ReadCharacters(const char* path);
    void LoadAtlas();
    bool ReadMask(const char* path);
    void ScanMask(const std::uint8_t* mask, std::uint32_t n);
    void BuildCharMap();
    void BuildQuadArrays();
    void SetQuad(std::uint32_t quad, const FontGlyph& g, float left, float right, float top, float bottom,
                 DWORD topColour, DWORD bottomColour);
};
