// Reading a spots section, and the shadow sub-object's owner.
#include "objects/SpotsEffect.h"

#include "objects/DescriptionLines.h"
#include "objects/LightsEffect.h"
#include "objects/MaterialEffects.h"
#include "objects/StaticObject.h"

CSpotsEffect::CSpotsEffect() = default;

int CSpotsEffect::Parse(FileHandle file, CStaticObject* owner)
{
    m_pOwner = owner;
    ReadColourLine(&m_Colour, file);
    const D3DXVECTOR3 rgb(m_Colour.r, m_Colour.g, m_Colour.b);
    if (Vec3Mean(&rgb) == 0.0f) {
        if (owner && owner->m_pLightMaps)
            m_Colour = owner->m_pLightMaps->m_Colour;
        else if (owner && owner->m_pLights)
            m_Colour = owner->m_pLights->m_Colour;
        else
            RandomLightColour(&m_Colour);
    }
    // A cone beside a live screen would wash out its picture.
    if (owner && owner->m_pSelfIllum && owner->m_pSelfIllum->m_pInfoScreen) {
        m_Colour.r *= 0.5f;
        m_Colour.g *= 0.5f;
        m_Colour.b *= 0.5f;
        m_Colour.a *= 0.5f;
    }
    return 0;
}

CShadowEffect::CShadowEffect() = default;

int CShadowEffect::SetOwner(CStaticObject* owner)
{
    m_pOwner = owner;
    return 0;
}
