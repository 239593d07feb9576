// Placeholder until the effect sub-objects are drawn: they read their
// sections and hold their textures, but draw nothing yet.
#include "objects/DirectLightsEffect.h"
#include "objects/LightsEffect.h"
#include "objects/MaterialEffects.h"
#include "objects/SpotsEffect.h"

void CChromeEffect::Render()
{
}

void CRGlassEffect::Render()
{
}

void CLightMapsEffect::Render()
{
}

void CSelfIllumEffect::Render()
{
}

void CLightsEffect::Render()
{
}

void CDirectLightsEffect::Render()
{
}

void CDirectLightsEffect::RenderVehicleLights()
{
}

void CSpotsEffect::Render()
{
}

void CShadowEffect::Render()
{
}
