// Reading a lights section.
#include "objects/LightsEffect.h"

#include "objects/DescriptionLines.h"
#include "objects/MaterialEffects.h"
#include "objects/StaticObject.h"

#include <cstdlib>
#include <cstring>

CLightsEffect::CLightsEffect() = default;

int CLightsEffect::Parse(FileHandle file, CStaticObject* owner)
{
    m_pOwner = owner;
    char line[DESCRIPTION_LINE_SIZE];
    ReadDescriptionLine(line, file);
    const float size = static_cast<float>(std::atof(DescriptionValue(line)));
    m_vHalfSize = D3DXVECTOR3(size, size, 0.25f * size);
    ReadColourLine(&m_Colour, file);
    const D3DXVECTOR3 rgb(m_Colour.r, m_Colour.g, m_Colour.b);
    if (Vec3Mean(&rgb) == 0.0f) {
        if (owner && owner->m_pLightMaps)
            ColorNormalizeToMax(&m_Colour, &owner->m_pLightMaps->m_Colour);
        else
            RandomLightColour(&m_Colour);
    }
    // The section usually ends at its ">>>>" separator: only its first four
    // characters are taken here, and the loader's separator read takes the
    // rest of that line. Any other line starts the point-light values.
    char probe[5] = {};
    g_FileManager.ReadLine(probe, sizeof(probe), file);
    if (std::strstr(probe, ">>>>"))
        return 0;
    char rest[DESCRIPTION_LINE_SIZE] = {};
    const std::size_t kept = std::strlen(probe);
    std::memcpy(line, probe, kept + 1);
    // When the probe stopped at a line end the line is whole already.
    if (kept == sizeof(probe) - 1) {
        g_FileManager.ReadLine(rest, DESCRIPTION_LINE_SIZE - kept, file);
        std::strcat(line, rest);
    }
    m_fRange = static_cast<float>(std::atof(DescriptionValue(line)));
    ReadDescriptionLine(line, file);
    m_fAttenuation1 = static_cast<float>(std::atof(DescriptionValue(line)));
    ReadDescriptionLine(line, file);
    m_fAttenuation2 = static_cast<float>(std::atof(DescriptionValue(line)));
    return 0;
}
