// What every pedestrian of a gender shares, loaded as a session starts and
// kept to its end, so that no pedestrian reads or decodes any of it in a
// frame of play: the body mesh, the model texture and every variant of the
// body texture (and of the clothing textures, when the clothing is drawn
// per stage). The description is read by its own line numbers, without the
// per-pedestrian random choices, so loading ahead draws nothing from the
// game's random sequence. Each gender's figure is also the stand-in the
// program warm-up draws before any pedestrian is out.
#include "roadusers/HumanManager.h"

#include "graphics/D3DRender.h"
#include "objects/DescriptionLines.h"
#include "roadusers/Human.h"
#include "shell/Settings.h"

#include <cstring>

namespace {

// Every variant a texture line names joins the kept list; the first one's id
// comes back with a reference of the caller's own (invalid when none loads).
TextureId LoadVariants(const char* line, CKeptResources& kept)
{
    TextureId first = INVALID_TEXTURE_ID;
    const unsigned count = TextureVariantCount(line);
    for (unsigned k = 0; k < count; ++k) {
        char name[DESCRIPTION_LINE_SIZE];
        std::memcpy(name, line, sizeof(name));
        WriteTextureVariant(name, k);
        const TextureId id = g_D3DRender.LoadTexture(DescriptionValue(name), 0, D3DPOOL_MANAGED);
        if (id == INVALID_TEXTURE_ID)
            continue;
        kept.KeepTexture(id);
        if (first == INVALID_TEXTURE_ID)
            first = id;
        else
            g_D3DRender.ReleaseTexture(id);
    }
    return first;
}

// The effect sections end at the first "//--" line (or the end of the data).
void SkipEffectSections(char* line, FileHandle file)
{
    do
        ReadDescriptionLine(line, file);
    while (!std::strstr(line, "//--") && !g_FileManager.IsAtEnd(file));
}

} // namespace

void CHumanManager::LoadFigures()
{
    if (g_bEditorMode)
        return;
    for (int gender = 0; gender < 2; ++gender)
        if (!m_pFigures[gender])
            m_pFigures[gender] = LoadFigure(gender);
}

CHuman* CHumanManager::LoadFigure(int gender)
{
    const FileHandle file = g_FileManager.Open(g_HumanModelPaths[gender], ARCHIVE_OBJECTS);
    if (file == INVALID_FILE_HANDLE)
        return nullptr;
    auto* figure = new CHuman();
    figure->m_nGender = gender;
    char line[DESCRIPTION_LINE_SIZE];
    figure->ReadHead(file, line);
    figure->LoadMesh(DescriptionValue(line), 0, D3DXMESH_MANAGED, 0);
    ReadDescriptionLine(line, file);
    figure->m_nTextureIds[0] = LoadVariants(line, m_Kept);
    SkipEffectSections(line, file);
    ReadDescriptionLine(line, file);
    const TextureId body = LoadVariants(line, m_Kept);
    figure->m_nBodyTexture = body == INVALID_TEXTURE_ID ? -1 : static_cast<std::int32_t>(body);
    for (int part = 0; part < HUMAN_CLOTHING_SLOTS; ++part) {
        ReadDescriptionLine(line, file);
        HumanClothing& slot = figure->m_Clothing[part];
        slot.r = slot.g = slot.b = 1.0f;
        slot.pTinted = m_Textures[part][gender][0][0];
        if (g_D3DRender.m_bPerStageConstant) {
            const TextureId id = LoadVariants(line, m_Kept);
            slot.texture = id == INVALID_TEXTURE_ID ? -1 : static_cast<std::int32_t>(id);
        }
    }
    g_FileManager.Close(file);
    figure->m_Material.Diffuse = {1.0f, 1.0f, 1.0f, 1.0f};
    figure->m_Material.Ambient = {1.0f, 1.0f, 1.0f, 1.0f};
    KeepResourcesOf(*figure);
    return figure;
}

void CHumanManager::ReleaseFigures()
{
    ShowFigures(0, 1.0f);
    for (CHuman*& figure : m_pFigures) {
        if (figure) {
            figure->Release();
            delete figure;
        }
        figure = nullptr;
    }
}

void CHumanManager::ShowFigures(int shown, float alpha)
{
    for (CHuman* figure : m_pFigures) {
        if (!figure)
            continue;
        std::uint32_t at = 0;
        while (at < m_nHumans && m_pHumans[at] != figure)
            ++at;
        if (shown) {
            figure->m_bVisible = 1;
            figure->m_fCameraDistance = 0.0f;
            figure->m_Material.Diffuse.a = alpha;
            if (at == m_nHumans && m_nHumans < HUMAN_MANAGER_CAPACITY)
                m_pHumans[m_nHumans++] = figure;
        } else if (at < m_nHumans) {
            for (std::uint32_t j = at + 1; j < m_nHumans; ++j)
                m_pHumans[j - 1] = m_pHumans[j];
            m_pHumans[--m_nHumans] = nullptr;
            figure->m_bVisible = 0;
        }
    }
}
