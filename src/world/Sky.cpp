// Placeholder until the sky is built; it loads nothing and draws nothing.
#include "world/Sky.h"

int CSky::Init()
{
    return 1;
}

void CSky::Release()
{
}

void CSky::Update()
{
}

void CSky::Render()
{
}

void CSky::RenderSunFlare()
{
}
