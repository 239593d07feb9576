// Placeholder until the blood drops are built; the pool stays empty.
#include "objects/BloodEffect.h"

int CBloodEffect::Init()
{
    return 1;
}

void CBloodEffect::Release()
{
}

void CBloodEffect::Reset()
{
}

void CBloodEffect::Update()
{
}

void CBloodEffect::Render()
{
}
