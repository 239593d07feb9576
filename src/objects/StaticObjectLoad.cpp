// Reading a description file: a fixed head counted by lines, then effect
// sections up to the "//--" line.
#include "objects/StaticObject.h"

#include "objects/DirectLightsEffect.h"
#include "objects/LightsEffect.h"
#include "objects/MaterialEffects.h"
#include "objects/SpotsEffect.h"
#include "shell/FileFailures.h"
#include "shell/Log.h"
#include "shell/Settings.h"

#include <cstdio>
#include <cstring>

namespace {

// Paths recorded while the data was made point into the developers' tree;
// only the part from "Data\" on means anything to the game.
const char kDevelopmentFolder[] = "E:\\Projects\\Game\\Sablewick\\Main Files\\Debug";

void CopyBounded(char* out, std::size_t size, const char* text)
{
    std::snprintf(out, size, "%s", text);
}

void StoreDescriptionPath(char* out, std::size_t size, const char* path)
{
    const char* kept = path;
    if (std::strstr(path, kDevelopmentFolder)) {
        if (const char* data = std::strstr(path, "Data\\"))
            kept = data;
    }
    CopyBounded(out, size, kept);
    FixPathSlashes(out);
}

// Drops the earlier sub-object of a repeated section before the new one
// takes the slot, so nothing leaks.
template <class Effect>
Effect* NewEffect(Effect** slot)
{
    if (*slot) {
        (*slot)->Release();
        delete *slot;
    }
    *slot = new Effect();
    return *slot;
}

bool EndsSections(const char* line, FileHandle file)
{
    return std::strstr(line, "//--") || (line[0] == '\0' && g_FileManager.IsAtEnd(file));
}

} // namespace

FileHandle CStaticObject::Load(const char* path, int closeFile, int variant, int meshFlag)
{
    char stored[STATIC_OBJECT_PATH_SIZE];
    StoreDescriptionPath(stored, sizeof(stored), path ? path : "");
    const FileHandle file = g_FileManager.Open(stored, ARCHIVE_OBJECTS);
    if (file == INVALID_FILE_HANDLE) {
        // Every car or tree made from a missing description asks for it
        // again, many times a frame: the box is shown for the first request
        // only, and the log line says which file it is.
        if (FirstFailureOf(stored)) {
            LogFileProblem(stored, "description file missing");
            ErrorBox("Create static object error!", "CStaticObject error!", MB_OK);
        }
        return INVALID_FILE_HANDLE;
    }
    std::memcpy(m_szPath, stored, sizeof(m_szPath));

    char line[DESCRIPTION_LINE_SIZE];
    ReadHead(file, line);
    LoadMesh(DescriptionValue(line), 0, D3DXMESH_MANAGED, meshFlag);
    ReadTexture(file, line, variant);
    ReadDescriptionLine(line, file);
    ReadEffectSections(file, line);
    SetMaterialByType();
    if (closeFile)
        g_FileManager.Close(file);
    return file;
}

// Lines 1 to 6, and a car's name lines; leaves the mesh line in line.
void CStaticObject::ReadHead(FileHandle file, char* line)
{
    for (int i = 0; i < 3; ++i)
        ReadDescriptionLine(line, file);
    ReadDescriptionLine(line, file);
    m_nClass = static_cast<std::uint32_t>(ParseObjectClass(DescriptionValue(line)));
    ReadDescriptionLine(line, file);
    m_nType = static_cast<std::uint32_t>(ParseObjectType(DescriptionValue(line)));
    ReadDescriptionLine(line, file);
    if (m_nClass == GCLASS_VEHICLE && m_nType == GTYPE_VEHICLE) {
        ReadDescriptionLine(line, file);
        CopyBounded(m_szDisplayName, sizeof(m_szDisplayName), DescriptionValue(line));
        ReadDescriptionLine(line, file);
    }
    ReadDescriptionLine(line, file);
}

void CStaticObject::ReadTexture(FileHandle file, char* line, int variant)
{
    ReadDescriptionLine(line, file);
    SelectTextureVariant(line, variant);
    LoadTexture(0, DescriptionValue(line), 0);
}

void CStaticObject::ReadEffectSections(FileHandle file, char* line)
{
    // A file that lacks its "//--" line ends its sections at the end of the
    // data instead of reading empty lines for ever.
    ReadDescriptionLine(line, file);
    while (!EndsSections(line, file)) {
        ReadEffectSection(ParseObjectEffect(DescriptionValue(line)), file);
        char separator[DESCRIPTION_LINE_SIZE];
        ReadDescriptionLine(separator, file);
        ReadDescriptionLine(line, file);
    }
}

void CStaticObject::ReadEffectSection(int code, FileHandle file)
{
    switch (code) {
    case GEFFECT_CHROME:
        NewEffect(&m_pChrome)->Parse(file, this);
        break;
    case GEFFECT_RGLASS:
        NewEffect(&m_pRGlass)->Parse(file, this);
        break;
    case GEFFECT_LIGHTMAPS:
        NewEffect(&m_pLightMaps)->Parse(file, this);
        break;
    case GEFFECT_SELFILLUM:
        NewEffect(&m_pSelfIllum)->Parse(file, this);
        break;
    case GEFFECT_LIGHTS:
        NewEffect(&m_pLights)->Parse(file, this);
        break;
    case GEFFECT_DIRECTLIGHTS:
        NewEffect(&m_pDirectLights)->Parse(file, this);
        break;
    case GEFFECT_SPOTS:
        NewEffect(&m_pSpots)->Parse(file, this);
        break;
    case GEFFECT_SHADOW:
        NewEffect(&m_pShadow)->SetOwner(this);
        break;
    default: // flames and unknown keywords have no lines of their own
        break;
    }
}

void CStaticObject::SetMaterialByType()
{
    std::memset(&m_Material, 0, sizeof(m_Material));
    const D3DCOLORVALUE white{1.0f, 1.0f, 1.0f, 1.0f};
    switch (m_nType) {
    case GTYPE_STONE:
    case GTYPE_TREE:
    case GTYPE_BRIDGE:
    case GTYPE_WHEEL:
    case GTYPE_HUMAN:
        m_Material.Diffuse = white;
        m_Material.Ambient = white;
        break;
    case GTYPE_BUILDING:
    case GTYPE_DECORS:
    case GTYPE_LAMPPOST:
    case GTYPE_VEHICLE: {
        // Glow brightens shiny surfaces by itself; the highlight is halved under it.
        const float s = 0.5f - 0.25f * static_cast<float>(g_bGlow);
        m_Material.Diffuse = white;
        m_Material.Ambient = white;
        m_Material.Specular = {s, s, s, 1.0f};
        m_Material.Power = 16.0f;
        break;
    }
    default:
        break;
    }
}
