// Compiling a GL program mid-drive stalls a frame for tens of milliseconds
// (on the software renderer a program's first draw in a new set of states
// compiles its code too), so the programs the views ask for are made while
// the loading screen is up: unseen frames of every render pass of the world
// at the start position. A lit program serves every set of lights (the sun
// and the moon, the street lamps, the headlight), so lamps coming on later
// make none. The traffic and the pedestrians come later, so stand-ins of
// them are drawn in their own passes.
#include "graphics/D3DRender.h"
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

// The passes that draw the traffic and the pedestrians, without the rest of
// the world: the sky draws a random number each time it is drawn, and the
// warm-up must not move the game's random sequence.
void DrawStandInPasses(IDirect3DDevice9* device, DWORD fog)
{
    if (FAILED(device->BeginScene()))
        return;
    // In play the ground drawn before them leaves the fog on, the sky off.
    g_D3DRender.SetFogEnable(fog);
    g_VehicleManager.RenderVehicles();
    g_VehicleManager.RenderVehiclesSecondPass();
    g_HumanManager.Render();
    g_VehicleManager.RenderLights();
    g_VehicleManager.RenderShadows();
    g_HumanManager.RenderShadows();
    device->EndScene();
}

// Every car model and both figures, as each comes (fading in) and solid,
// each pass twice so that its first draws meet what its last ones left.
void DrawStandIns(IDirect3DDevice9* device)
{
    for (const float alpha : {0.5f, 1.0f}) {
        g_VehicleManager.ShowTemplates(1, alpha);
        g_HumanManager.ShowFigures(1, alpha);
        for (const DWORD fog : {0u, 1u})
            for (int frame = 0; frame < 2; ++frame)
                DrawStandInPasses(device, fog);
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
    // The motion blur shows only after a hard knock: the unseen frames draw
    // it too, so that its program is ready by then.
    const float blur = g_D3DRender.m_fMotionBlur;
    g_D3DRender.m_fMotionBlur = 1.0f;
    DrawUnseenFrames(device);
    g_D3DRender.m_fMotionBlur = blur;
    DrawStandIns(device);
    m_bDrawEveryPass = 0;
    // The frames are never presented: the next one clears over them.
}
