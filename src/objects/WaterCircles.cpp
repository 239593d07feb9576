// Placeholder until the water rings and skid trails are built; the pools stay empty.
#include "objects/WaterCircles.h"

int CWaterCircles::Init()
{
    return 1;
}

void CWaterCircles::Release()
{
}

void CWaterCircles::Reset()
{
}

void CWaterCircles::Update()
{
}

void CWaterCircles::RenderSkidTrails()
{
}

void CWaterCircles::RenderRings()
{
}
