// Placeholder until the scene lights is built; no light is set on the device.
#include "graphics/SceneLights.h"

int CSceneLights::Init()
{
    return 1;
}

void CSceneLights::Release()
{
}

void CSceneLights::Update()
{
}

void CSceneLights::OnLostDevice()
{
}

void CSceneLights::OnResetDevice()
{
}

void CSceneLights::ApplyLightSet(const CLightSet*)
{
}
