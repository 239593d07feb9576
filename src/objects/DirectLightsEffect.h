// A car's lamps: head, rear and a third kind, each a colour and a size from
// the description section, the glare of the head lamps seen from the front
// and the headlight beams down the road at night.
#pragma once

#include "objects/LightsEffect.h"

enum { BEAM_QUADS = 10, BEAM_VERTICES = 4 * BEAM_QUADS, BEAM_INDICES = 6 * BEAM_QUADS };

class CDirectLightsEffect {
public:
    CDirectLightsEffect();
    // Three blocks of a colour line and a size line; builds the four sets
    // and the beams.
    int Parse(FileHandle file, CStaticObject* owner);
    void Release();
    // The lamps and the glare.
    void Render();
    // The beams, and the player's headlight spot.
    void RenderVehicleLights();

    CStaticObject* m_pOwner = nullptr;
    CLightsEffect m_Glare; // over the head lamps' points
    CLightsEffect m_Head;
    CLightsEffect m_Rear;
    CLightsEffect m_Third;
    D3DXCOLOR4 m_Colours[3];
    float m_fSizes[3] = {};
    CLightVertex m_BeamVertices[2][BEAM_VERTICES] = {};
    WORD m_BeamIndices[2][BEAM_INDICES] = {};

private:
    void BuildSets();
    void BuildBeams();
    void ApplyBrake(const D3DXCOLOR4& rear);
    void RenderGlare(float lightsFactor);
    bool DrawBeam(int headlight, float lightsFactor);
    void AimSpot(float lightsFactor);
};
