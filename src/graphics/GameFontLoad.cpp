// Loading a bitmap font: the character list, the atlas, the glyph mask scan,
// the character map and the fixed quad index list.
#include "graphics/GameFont.h"

#include "graphics/D3DRender.h"
#include "shell/FileManager.h"
#include "shell/Log.h"

#include <cmath>
#include <cstdio>
#include <cstring>
#include <new>

namespace {

const std::uint8_t kMaskBackground = 0xFF;
// An 8192 x 8192 mask; a size beyond it is taken as damage, not allocated.
const std::uint32_t kMaxMaskBytes = 8192u * 8192u;

// A path too long for the buffer is cut; the open then fails like a missing file.
void FontPath(char* out, const char* folder, const char* file)
{
    if (std::snprintf(out, FONT_PATH_SIZE, "%s%s", folder, file) >= FONT_PATH_SIZE)
        out[FONT_PATH_SIZE - 1] = '\0';
}

} // namespace

CGameFont::CGameFont()
{
    m_fScale = 1.0f;
    m_nTexture = INVALID_TEXTURE_ID;
    ResetGlyphs();
}

// No characters, no glyphs, every byte mapped to "no glyph".
void CGameFont::ResetGlyphs()
{
    m_nChars = 0;
    m_nGlyphs = 0;
    std::memset(m_szChars, 0, sizeof(m_szChars));
    std::memset(m_Glyphs, 0, sizeof(m_Glyphs));
    for (std::uint16_t& entry : m_CharMap)
        entry = FONT_NO_GLYPH;
    m_fGlyphHeight = 0.0f;
    m_fCellWidth = 0.0f;
    m_fLetterSpacing = 0.0f;
}

void CGameFont::Load(const char* folder)
{
    std::snprintf(m_szFolder, sizeof(m_szFolder), "%s", folder ? folder : "");
    ResetGlyphs();
    char path[FONT_PATH_SIZE];
    FontPath(path, m_szFolder, "/Main.dat");
    if (!ReadCharacters(path)) {
        ErrorBox("Init chars enumeration error!", "Font error!", 0);
        return;
    }
    LoadAtlas();
    FontPath(path, m_szFolder, "/Mask.dat");
    if (!ReadMask(path))
        return;
    ComputeSpacing();
    BuildCharMap();
    BuildQuadArrays();
}

// The characters in mask order: the bytes before the first zero, at most 255
// of them (a longer file is cut).
bool CGameFont::ReadCharacters(const char* path)
{
    std::uint32_t size = 0;
    const FileHandle file = g_FileManager.Open(path, ARCHIVE_WORLD, &size);
    if (file == INVALID_FILE_HANDLE)
        return false;
    const std::size_t wanted = size < std::uint32_t(FONT_MAX_GLYPHS) ? size : std::uint32_t(FONT_MAX_GLYPHS);
    const std::size_t got = g_FileManager.Read(m_szChars, 1, wanted, file);
    g_FileManager.Close(file);
    m_szChars[got < wanted ? got : wanted] = '\0';
    m_nChars = static_cast<std::uint32_t>(std::strlen(m_szChars));
    return true;
}

// "Main.dds", else "Main.bmp", through the texture table and shared with
// earlier loads of the same name. A missing atlas is no error (the text then
// draws untextured), so nothing is shown for it.
static TextureId LoadAtlasFile(const char* name)
{
    return g_D3DRender.m_TextureManager.AcquireTexture(g_D3DRender.m_pDevice, name, 1, D3DPOOL_MANAGED);
}

void CGameFont::LoadAtlas()
{
    char name[FONT_PATH_SIZE];
    FontPath(name, m_szFolder, "/Main.dds");
    m_nTexture = LoadAtlasFile(name);
    if (m_nTexture == INVALID_TEXTURE_ID) {
        FontPath(name, m_szFolder, "/Main.bmp");
        m_nTexture = LoadAtlasFile(name);
    }
}

// The mask is N x N bytes with N the whole square root of the file size; a
// file that is not a square is read whole and only its first N x N bytes are
// looked at.
bool CGameFont::ReadMask(const char* path)
{
    std::uint32_t size = 0;
    const FileHandle file = g_FileManager.Open(path, ARCHIVE_WORLD, &size);
    if (file == INVALID_FILE_HANDLE) {
        ErrorBox("Open mask file error!", "Font error!", 0);
        return false;
    }
    std::uint8_t* mask = size <= kMaxMaskBytes ? new (std::nothrow) std::uint8_t[size ? size : 1] : nullptr;
    const std::size_t got = mask ? g_FileManager.Read(mask, 1, size, file) : 0;
    g_FileManager.Close(file);
    if (!mask || got != size) {
        char line[FONT_PATH_SIZE + 64];
        std::snprintf(line, sizeof(line), "Font mask %s could not be read whole", path);
        DebugLog(line);
        delete[] mask;
        return false;
    }
    std::uint32_t n = static_cast<std::uint32_t>(std::sqrt(static_cast<double>(size)));
    while (static_cast<std::uint64_t>(n) * n > size)
        --n;
    ScanMask(mask, n);
    delete[] mask;
    return true;
}

// Glyph lines are h rows high with one background row between them; the
// first glyph of the first line starts at (1, 1), so walking down column 1
// to the first background byte gives h. Each run of glyph bytes along the
// top row of a line is one glyph, given the next character of the list.
void CGameFont::ScanMask(const std::uint8_t* mask, std::uint32_t n)
{
    std::uint32_t row = 1;
    while (row < n && mask[row * n + 1] != kMaskBackground)
        ++row;
    if (row >= n || row < 2) {
        DebugLog("Font mask has no usable glyph line");
        return;
    }
    const std::uint32_t h = row - 1;
    m_fGlyphHeight = static_cast<float>(h);
    for (std::uint32_t y = 1; y + h <= n && m_nGlyphs < m_nChars; y += h + 1) {
        const std::uint8_t* line = mask + static_cast<std::size_t>(y) * n;
        std::uint32_t x = 1;
        while (x < n && m_nGlyphs < m_nChars) {
            if (line[x] == kMaskBackground) {
                ++x;
                continue;
            }
            std::uint32_t w = 0;
            while (x + w < n && line[x + w] != kMaskBackground)
                ++w;
            const float size = static_cast<float>(n);
            FontGlyph& g = m_Glyphs[m_nGlyphs];
            g.fLeft = static_cast<float>(x) / size;
            g.fTop = static_cast<float>(y) / size;
            g.fRight = static_cast<float>(x + w) / size;
            g.fBottom = static_cast<float>(y + h) / size;
            g.fWidth = static_cast<float>(w - 1);
            g.fHeight = static_cast<float>(h - 1);
            g.cChar = static_cast<unsigned char>(m_szChars[m_nGlyphs]);
            ++m_nGlyphs;
            x += w;
        }
    }
}

float CGameFont::ComputeSpacing()
{
    float widest = 0.0f;
    for (std::uint32_t i = 0; i < m_nGlyphs; ++i)
        if (m_Glyphs[i].fWidth > widest)
            widest = m_Glyphs[i].fWidth;
    m_fCellWidth = widest * 0.55f;
    m_fLetterSpacing = widest / 10.0f;
    return m_fLetterSpacing;
}

std::uint32_t CGameFont::FindGlyph(unsigned char c) const
{
    for (std::uint32_t i = 0; i < m_nGlyphs; ++i)
        if (m_Glyphs[i].cChar == c)
            return i;
    return FONT_NO_GLYPH;
}

// Entry i stands for the value i - 255 and holds the glyph of that value's
// byte, so a character looked up by its signed value finds its glyph.
void CGameFont::BuildCharMap()
{
    for (int i = 0; i < FONT_CHAR_MAP_SIZE; ++i) {
        const int value = i - FONT_CHAR_MAP_ZERO;
        m_CharMap[i] = static_cast<std::uint16_t>(FindGlyph(static_cast<unsigned char>(value & 0xFF)));
    }
}

// Quad k is the two triangles (4k, 4k+1, 4k+2) and (4k+2, 4k+1, 4k+3).
void CGameFont::BuildQuadArrays()
{
    const float origin[3] = {0.0f, 0.0f, 0.0f};
    for (CScreenVertex& v : m_Vertices)
        v = CScreenVertex(origin, 2.0f, 0, 0.0f, 0.0f);
    static const std::uint16_t kCorners[6] = {0, 1, 2, 2, 1, 3};
    for (std::uint32_t k = 0; k < FONT_MAX_GLYPHS; ++k)
        for (std::uint32_t j = 0; j < 6; ++j)
            m_Indices[k * 6 + j] = static_cast<std::uint16_t>(k * 4 + kCorners[j]);
}

void CGameFont::Release()
{
    g_D3DRender.ReleaseTexture(m_nTexture);
    m_nTexture = INVALID_TEXTURE_ID;
}
