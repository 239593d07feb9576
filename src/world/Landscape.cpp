// Placeholder until the landscape is built; no world is loaded: the world size stays 0 and nothing is drawn.
#include "world/Landscape.h"

int CLandscape::Init()
{
    return 1;
}

void CLandscape::Release()
{
}

void CLandscape::ReleaseSectors()
{
}

void CLandscape::BuildSectors()
{
}

void CLandscape::Update()
{
}

void CLandscape::UpdateSectorVisibility()
{
}

void CLandscape::Render()
{
}

void CLandscape::RenderTerrainShadow()
{
}

void CLandscape::RenderWater()
{
}

void CLandscape::RenderShadowCasters()
{
}

void CLandscape::OnLostDevice()
{
}

void CLandscape::OnResetDevice()
{
}
