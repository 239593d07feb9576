// Compiling a GL program mid-drive stalls a frame for tens of milliseconds,
// so the programs the views ask for are made while the loading screen is
// up: unseen frames of every render pass of the world at the start
// position, then each lit program again for every number of lights the
// scene can switch on (the sun and the moon, the street lamps, the
// headlight) as the car drives past lamps. The traffic and the pedestrians
// come later, so stand-ins of them are drawn in more unseen frames; their
// programs are made for the sun, the moon and the headlight only (every
// lamp count of them would cost some 300 MB of programs on the software
// renderer), so a lamp lighting a car may still make one in play.
#include "graphics/D3DRender.h"
#include "graphics/SceneLights.h"
#include "platform/D3D9Gl.h"
#include "roadusers/HumanManager.h"
#include "roadusers/VehicleManager.h"
#include "shell/Game.h"

namespace {

// Twice: the first draws of a frame meet the states the last one left.
void DrawUnseenFrames(IDirect3DDevice9* device)
{
    for (int frame = 0; frame < 2; ++frame)
        if (SUCCEEDED(device->BeginScene())) {
            g_Game.RenderWorld();
            device->EndScene();
        }
}

// Every car model and both figures, as each comes (fading in) and solid.
void DrawStandIns(IDirect3DDevice9* device)
{
    for (const float alpha : {0.5f, 1.0f}) {
        g_VehicleManager.ShowTemplates(1, alpha);
        g_HumanManager.ShowFigures(1, alpha);
        DrawUnseenFrames(device);
    }
    // In play the ground drawn before them leaves the fog on; at the start
    // none of the city around the car is in yet.
    if (SUCCEEDED(device->BeginScene())) {
        g_D3DRender.SetFogEnable(1);
        g_VehicleManager.RenderVehicles();
        g_VehicleManager.RenderVehiclesSecondPass();
        g_HumanManager.Render();
        device->EndScene();
    }
    g_HumanManager.ShowFigures(0, 1.0f);
    g_VehicleManager.ShowTemplates(0, 1.0f);
}

} // namespace

void CGame::WarmUpPrograms()
{
    IDirect3DDevice9* device = g_D3DRender.m_pDevice;
    if (!device || !plat::CompilesPrograms(device) || !m_pCamera)
        return;
    UpdateVisibility(1);
    m_bDrawEveryPass = 1;
    DrawUnseenFrames(device);
    plat::CompileLightVariants(device, 2, MAX_POINT_LIGHTS, 1);
    DrawStandIns(device);
    m_bDrawEveryPass = 0;
    // The frames are never presented: the next one clears over them.
    plat::CompileLightVariants(device, 2, 0, 1);
}
