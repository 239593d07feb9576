// A set of glowing light sprites, one at each point of a point list of the
// owner's mesh. Lamp posts and cars carry one; the direct-lights sub-object
// holds four.
#pragma once

#include "shell/FileManager.h"
#include "shell/VectorHelpers.h"

#include <cstdint>

class CStaticObject;

class CLightsEffect {
public:
    CLightsEffect();
    // Reads the size line, the colour line and, unless the third line starts
    // with the ">>>>" separator, the point light's range and attenuations.
    int Parse(FileHandle file, CStaticObject* owner);
    void Release();
    void Render();

    // Null stops the set from drawing (a knocked-over lamp).
    CStaticObject* m_pOwner = nullptr;
    std::uint32_t m_nPointList = 0;
    std::uint32_t m_nCount = 0;
    D3DXVECTOR3 m_vHalfSize{0.0f, 0.0f, 0.0f};
    D3DXCOLOR4 m_Colour{0.0f, 0.0f, 0.0f, 1.0f};
    // Range, linear and quadratic attenuation of the lamp's dynamic point
    // light; 0 when the section gives none.
    float m_fRange = 0.0f;
    float m_fAttenuation1 = 0.0f;
    float m_fAttenuation2 = 0.0f;
};
