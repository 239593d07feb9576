// Reading the chrome, glass, light-map and self-illumination sections.
#include "objects/MaterialEffects.h"

#include "objects/DescriptionLines.h"
#include "objects/StaticObject.h"
#include "shell/Settings.h"
#include "world/InfoScreenManager.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

// What every section starts with: the owner, its mesh (borrowed) and the first line.
template <class Effect>
void BeginParse(Effect* effect, CStaticObject* owner, char* line, FileHandle file)
{
    effect->m_pOwner = owner;
    effect->m_pMesh = owner ? owner->m_pMesh : nullptr;
    ReadDescriptionLine(line, file);
}

void SetShinyMaterial(D3DMATERIAL9* material, float specular)
{
    std::memset(material, 0, sizeof(*material));
    material->Diffuse = {1.0f, 1.0f, 1.0f, 1.0f};
    material->Ambient = {1.0f, 1.0f, 1.0f, 1.0f};
    material->Specular = {specular, specular, specular, 1.0f};
    material->Power = 16.0f;
}

// The mesh is the owner's: give it back without releasing it.
void DropBorrowedMesh(CModelInstance* effect)
{
    effect->m_pMesh = nullptr;
    effect->ReleaseTextures();
}

const char* const kInfoScreenKeys[4] = {"INFOSCREEN0", "INFOSCREEN1", "INFOSCREEN2", "INFOSCREEN3"};

} // namespace

CChromeEffect::CChromeEffect() = default;

int CChromeEffect::Parse(FileHandle file, CStaticObject* owner)
{
    char line[DESCRIPTION_LINE_SIZE];
    BeginParse(this, owner, line, file);
    LoadTexture(0, DescriptionValue(line), 0);
    SetShinyMaterial(&m_Material, 1.0f - 0.5f * static_cast<float>(g_bGlow));
    return 0;
}

void CChromeEffect::Release()
{
    DropBorrowedMesh(this);
}

CRGlassEffect::CRGlassEffect() = default;

int CRGlassEffect::Parse(FileHandle file, CStaticObject* owner)
{
    char line[DESCRIPTION_LINE_SIZE];
    BeginParse(this, owner, line, file);
    SelectRandomTextureVariant(line);
    LoadTexture(0, DescriptionValue(line), 0);
    SetShinyMaterial(&m_Material, 0.5f - 0.25f * static_cast<float>(g_bGlow));
    return 0;
}

void CRGlassEffect::Release()
{
    DropBorrowedMesh(this);
}

CLightMapsEffect::CLightMapsEffect() = default;

int CLightMapsEffect::Parse(FileHandle file, CStaticObject* owner)
{
    char line[DESCRIPTION_LINE_SIZE];
    BeginParse(this, owner, line, file);
    const int count = std::atoi(DescriptionValue(line));
    ReadDescriptionLine(line, file);
    const char* name = DescriptionValue(line);
    if (count == 1) {
        LoadTexture(0, name, 0);
    } else if (count > 1 && count <= LIGHT_MAP_TEXTURES) {
        // The name is a numbered format with one integer; anything else in
        // it (another conversion) is not trusted to the formatter.
        for (int i = 0; i < count; ++i) {
            char numbered[DESCRIPTION_LINE_SIZE];
            if (FormatNumberedName(numbered, sizeof(numbered), name, i + 1))
                LoadTexture(static_cast<std::uint32_t>(i), numbered, 0);
        }
    }
    ReadColourLine(&m_Colour, file);
    const D3DXVECTOR3 rgb(m_Colour.r, m_Colour.g, m_Colour.b);
    if (Vec3Mean(&rgb) == 0.0f)
        RandomLightColour(&m_Colour);
    std::memset(&m_Material, 0, sizeof(m_Material));
    m_Material.Emissive = {m_Colour.r, m_Colour.g, m_Colour.b, m_Colour.a};
    return 0;
}

void CLightMapsEffect::Release()
{
    DropBorrowedMesh(this);
}

CSelfIllumEffect::CSelfIllumEffect() = default;

int CSelfIllumEffect::Parse(FileHandle file, CStaticObject* owner)
{
    char line[DESCRIPTION_LINE_SIZE];
    BeginParse(this, owner, line, file);
    if (std::strstr(line, "INFOSCREEN"))
        m_bInfoScreen = 1;
    for (int i = 0; i < 4; ++i) {
        if (!std::strstr(line, kInfoScreenKeys[i]))
            continue;
        // A later key replaces an earlier one; the earlier screen is freed
        // rather than lost.
        delete m_pInfoScreen;
        m_pInfoScreen = new CInfoScreen(i, owner);
    }
    LoadTexture(0, DescriptionValue(line), 0);
    std::memset(&m_Material, 0, sizeof(m_Material));
    m_Material.Diffuse = {1.0f, 1.0f, 1.0f, 1.0f};
    m_Material.Emissive = {1.0f, 1.0f, 1.0f, 1.0f};
    return 0;
}

void CSelfIllumEffect::Release()
{
    DropBorrowedMesh(this);
    delete m_pInfoScreen;
    m_pInfoScreen = nullptr;
}
