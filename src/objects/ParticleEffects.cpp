// Placeholder until the flames, dust and sparks are built; the pools stay empty.
#include "objects/ParticleEffects.h"

int CParticleEffects::Init()
{
    return 1;
}

void CParticleEffects::Release()
{
}

void CParticleEffects::Reset()
{
}

void CParticleEffects::Update()
{
}

void CParticleEffects::Render()
{
}
