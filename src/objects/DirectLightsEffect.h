// A car's lamps: head, rear and a third kind, each a colour and a size from
// the description section.
#pragma once

#include "objects/LightsEffect.h"

class CDirectLightsEffect {
public:
    CDirectLightsEffect();
    // Three blocks of a colour line and a size line.
    int Parse(FileHandle file, CStaticObject* owner);
    void Release();
    void Render();
    void RenderVehicleLights();

    CStaticObject* m_pOwner = nullptr;
    CLightsEffect m_Glare;
    CLightsEffect m_Head;
    CLightsEffect m_Rear;
    CLightsEffect m_Third;
    D3DXCOLOR4 m_Colours[3];
    float m_fSizes[3] = {};
};
