// Reading a direct-lights section.
#include "objects/DirectLightsEffect.h"

#include "objects/DescriptionLines.h"

#include <cstdlib>
#include <initializer_list>

CDirectLightsEffect::CDirectLightsEffect()
{
    for (D3DXCOLOR4& colour : m_Colours)
        colour = {1.0f, 1.0f, 1.0f, 1.0f};
}

int CDirectLightsEffect::Parse(FileHandle file, CStaticObject* owner)
{
    m_pOwner = owner;
    for (int block = 0; block < 3; ++block) {
        ReadColourLine(&m_Colours[block], file);
        char line[DESCRIPTION_LINE_SIZE];
        ReadDescriptionLine(line, file);
        m_fSizes[block] = static_cast<float>(std::atof(DescriptionValue(line)));
    }
    for (CLightsEffect* set : {&m_Glare, &m_Head, &m_Rear, &m_Third}) {
        set->m_pOwner = owner;
        set->m_Colour = {0.0f, 0.0f, 0.0f, 1.0f};
    }
    BuildSets();
    BuildBeams();
    return 0;
}

void CDirectLightsEffect::Release()
{
    for (CLightsEffect* set : {&m_Glare, &m_Head, &m_Rear, &m_Third})
        set->Release();
}
