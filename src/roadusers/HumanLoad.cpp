// The pedestrian's own lines of its description file: body and clothing
// textures, body mass and speeds, the action records and the eleven body-part
// ranges of the model.
#include "roadusers/Human.h"

#include "graphics/D3DRender.h"
#include "objects/DescriptionLines.h"
#include "roadusers/HumanManager.h"
#include "shell/Keywords.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>

namespace {

constexpr int kKeyWidth = 32;
constexpr int kNumberWidth = 5;

// The characters of line from column `from` on, at most `width` of them
// (width < 0: to the line end); empty past a short line's end.
void Column(char* out, std::size_t size, const char* line, std::size_t from, int width)
{
    out[0] = '\0';
    const std::size_t length = std::strlen(line);
    if (from >= length)
        return;
    std::size_t n = length - from;
    if (width >= 0)
        n = std::min(n, static_cast<std::size_t>(width));
    n = std::min(n, size - 1);
    std::memcpy(out, line + from, n);
    out[n] = '\0';
}

int IntegerAt(const char* line, std::size_t from, int width)
{
    char field[DESCRIPTION_LINE_SIZE];
    Column(field, sizeof(field), line, from, width);
    return std::atoi(field);
}

float FloatAt(const char* line, std::size_t from, int width)
{
    char field[DESCRIPTION_LINE_SIZE];
    Column(field, sizeof(field), line, from, width);
    return static_cast<float>(std::atof(field));
}

float ClothingChannel()
{
    return static_cast<float>(std::rand() % 192 + 64) / 255.0f;
}

// A range inside [0, total); anything else is empty.
HumanRange CheckedRange(int first, int count, std::uint32_t total)
{
    if (first < 0 || count < 0 || static_cast<std::int64_t>(first) + count > static_cast<std::int64_t>(total))
        return HumanRange{0, 0};
    return HumanRange{first, count};
}

} // namespace

void CHuman::ReadOwnPart(FileHandle file)
{
    char line[DESCRIPTION_LINE_SIZE];
    ReadTextures(file, line);
    ReadDescriptionLine(line, file);
    ReadDescriptionLine(line, file);
    m_fBodyMass = static_cast<float>(std::atof(DescriptionValue(line)));
    ReadDescriptionLine(line, file); // reserved
    ReadDescriptionLine(line, file);
    m_fWalkSpeed = static_cast<float>(std::atof(DescriptionValue(line)));
    ReadDescriptionLine(line, file);
    m_fRunSpeed = static_cast<float>(std::atof(DescriptionValue(line)));
    ReadDescriptionLine(line, file);
    ReadActions(file, line);
    for (int i = 0; i < 3; ++i)
        ReadDescriptionLine(line, file);
    ReadBodyParts(file, line);
    ReadDescriptionLine(line, file);
    ClampLoadedValues();
}

void CHuman::ReadTextures(FileHandle file, char* line)
{
    ReadDescriptionLine(line, file);
    SelectTextureVariant(line, -1);
    m_nBodyTexture = static_cast<std::int32_t>(g_D3DRender.LoadTexture(DescriptionValue(line), 0, D3DPOOL_MANAGED));
    const bool perStage = g_D3DRender.m_bPerStageConstant != 0;
    for (HumanClothing& slot : m_Clothing) {
        ReadDescriptionLine(line, file);
        SelectTextureVariant(line, -1);
        if (perStage)
            slot.texture = static_cast<std::int32_t>(g_D3DRender.LoadTexture(DescriptionValue(line), 0, D3DPOOL_MANAGED));
        const float first = ClothingChannel();
        const float second = ClothingChannel();
        const float third = ClothingChannel();
        slot.r = third;
        slot.g = second;
        slot.b = first;
        slot.a = 1.0f;
    }
    if (perStage)
        return;
    for (int part = 0; part < HUMAN_CLOTHING_SLOTS; ++part) {
        const int variant = std::rand() % 2;
        const int tint = std::rand() % HUMAN_TINTS;
        m_Clothing[part].pTinted = g_HumanManager.m_Textures[part][m_nGender][variant][tint];
    }
}

void CHuman::ReadActions(FileHandle file, char* line)
{
    std::memset(m_ActionFrames, 0, sizeof(m_ActionFrames));
    std::memset(m_fActionRates, 0, sizeof(m_fActionRates));
    // A list without its end marker stops at the end of the entry, and a
    // runaway list after as many records as a file can sensibly hold.
    for (int n = 0; n < HUMAN_MAX_ACTION_RECORDS && !g_FileManager.IsAtEnd(file); ++n) {
        ReadDescriptionLine(line, file);
        char key[kKeyWidth + 1];
        Column(key, sizeof(key), line, 0, kKeyWidth);
        if (std::strstr(key, "//--"))
            return;
        const int code = ParseHumanAction(key);
        m_fActionRates[code] = FloatAt(line, kKeyWidth, kNumberWidth);
        m_ActionFrames[code][0] = IntegerAt(line, kKeyWidth + kNumberWidth, kNumberWidth);
        m_ActionFrames[code][1] = IntegerAt(line, kKeyWidth + 2 * kNumberWidth, -1);
    }
}

void CHuman::ReadBodyParts(FileHandle file, char* line)
{
    std::uint32_t vertices = 0, triangles = 0;
    if (m_pMesh && m_pMesh->m_nFrames[0] && m_pMesh->m_ppMeshes[0] && m_pMesh->m_ppMeshes[0][0]) {
        vertices = m_pMesh->m_ppMeshes[0][0]->GetNumVertices();
        triangles = m_pMesh->m_ppMeshes[0][0]->GetNumFaces();
    }
    for (int i = 0; i < HUMAN_BODY_PARTS; ++i) {
        ReadDescriptionLine(line, file);
        m_PartVertices[i] = CheckedRange(IntegerAt(line, kKeyWidth, kNumberWidth),
                                         IntegerAt(line, kKeyWidth + kNumberWidth, kNumberWidth), vertices);
        m_PartTriangles[i] = CheckedRange(IntegerAt(line, kKeyWidth + 2 * kNumberWidth, kNumberWidth),
                                          IntegerAt(line, kKeyWidth + 3 * kNumberWidth, -1), triangles);
    }
}

namespace {

float Finite(float v)
{
    return std::isfinite(v) ? v : 0.0f;
}

} // namespace

// Frames past the model's animation would draw a frame the mesh lacks; a
// number a float cannot hold would carry into every position.
void CHuman::ClampLoadedValues()
{
    m_fBodyMass = std::max(Finite(m_fBodyMass), 0.0f);
    m_fWalkSpeed = Finite(m_fWalkSpeed);
    m_fRunSpeed = Finite(m_fRunSpeed);
    for (float& rate : m_fActionRates)
        rate = Finite(rate);
    const int last = m_pMesh && m_pMesh->m_nFrames[0] ? static_cast<int>(m_pMesh->m_nFrames[0]) - 1 : 0;
    for (auto& range : m_ActionFrames) {
        range[0] = std::clamp(range[0], 0, last);
        range[1] = std::clamp(range[1], range[0], last);
    }
}
