// Compiling a GL program mid-drive stalls a frame for tens of milliseconds,
// so the programs the views ask for are made while the loading screen is
// up: one unseen frame of every render pass of the world at the start
// position, then each lit program again for every number of lights the
// scene can switch on (the sun and the moon, the street lamps, the
// headlight) as the car drives past lamps.
#include "graphics/D3DRender.h"
#include "graphics/SceneLights.h"
#include "platform/D3D9Gl.h"
#include "shell/Game.h"

void CGame::WarmUpPrograms()
{
    IDirect3DDevice9* device = g_D3DRender.m_pDevice;
    if (!device || !plat::CompilesPrograms(device) || !m_pCamera)
        return;
    UpdateVisibility(1);
    m_bDrawEveryPass = 1;
    // Twice: the first draws of a frame meet the states the last one left.
    for (int frame = 0; frame < 2; ++frame)
        if (SUCCEEDED(device->BeginScene())) {
            RenderWorld();
            device->EndScene();
        }
    m_bDrawEveryPass = 0;
    // The frame is never presented: the next one clears over it.
    plat::CompileLightVariants(device, 2, MAX_POINT_LIGHTS, 1);
}
