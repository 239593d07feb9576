// One frame of the world: the three render-to-texture passes, the main scene
// in a fixed order of managers, then the light batches and post effects.
#include "shell/RenderPasses.h"

#include "graphics/D3DRender.h"
#include "graphics/SceneLights.h"
#include "objects/BloodEffect.h"
#include "objects/ParticleEffects.h"
#include "objects/WaterCircles.h"
#include "roadusers/HumanManager.h"
#include "roadusers/VehicleManager.h"
#include "shell/Game.h"
#include "shell/GameSteps.h"
#include "world/FieldObjectManager.h"
#include "world/Landscape.h"
#include "world/PropManager.h"
#include "world/Sky.h"

int g_WaterPassActive = 0;
int g_CubePassActive = 0;
int g_ShadowPassActive = 0;

void CGame::RenderWorld()
{
    if (!m_pCamera)
        return;
    static constexpr GameStep<CGame> kSteps[] = {
        {"RenderWaterPass()", [](CGame& game) { game.RenderWaterPass(); }},
        {"RenderCubePass()", [](CGame& game) { game.RenderCubePass(); }},
        {"RenderShadowPass()", [](CGame& game) { game.RenderShadowPass(); }},
        {nullptr, [](CGame& game) { game.RenderMainPass(); }},
    };
    RunGameSteps(kSteps, *this);
}

// Opaque things first, then what blends over them (grass, branches, light
// sprites, water, rings, particles), the post effects last. Only decors and
// lampposts take the player's headlight.
void CGame::RenderMainPass()
{
    static constexpr GameStep<CGame> kSteps[] = {
        {"g_D3DRender.LockBatchBuffers()", [](CGame&) { g_D3DRender.LockBatchBuffers(); }},
        {"g_Sky.Render()", [](CGame&) { g_Sky.Render(); }},
        {"g_PropManager.Render(PROPS_BRIDGES_AND_BUILDINGS)",
         [](CGame&) { g_PropManager.Render(PROPS_BRIDGES_AND_BUILDINGS); }},
        {"g_PropManager.RenderReflectiveEffects(PROPS_BRIDGES_AND_BUILDINGS)",
         [](CGame&) { g_PropManager.RenderReflectiveEffects(PROPS_BRIDGES_AND_BUILDINGS); }},
        {"g_Landscape.Render()", [](CGame&) { g_Landscape.Render(); }},
        {"g_BloodEffect.Render()", [](CGame&) { g_BloodEffect.Render(); }},
        {"g_WaterCircles.RenderSkidTrails()", [](CGame&) { g_WaterCircles.RenderSkidTrails(); }},
        {"g_Landscape.RenderTerrainShadow()", [](CGame&) { g_Landscape.RenderTerrainShadow(); }},
        {"g_FieldObjects.RenderStones()", [](CGame&) { g_FieldObjects.RenderStones(); }},
        {"g_FieldObjects.RenderTrees()", [](CGame&) { g_FieldObjects.RenderTrees(); }},
        {"g_VehicleManager.RenderVehicles()", [](CGame&) { g_VehicleManager.RenderVehicles(); }},
        {"g_VehicleManager.RenderVehiclesSecondPass()", [](CGame&) { g_VehicleManager.RenderVehiclesSecondPass(); }},
        {"g_HumanManager.Render()", [](CGame&) { g_HumanManager.Render(); }},

        {"g_SceneLights.EnableHeadlightSpot()", [](CGame&) { g_SceneLights.EnableHeadlightSpot(); }},
        {"g_PropManager.Render(PROPS_DECORS_AND_LAMPPOSTS)",
         [](CGame&) { g_PropManager.Render(PROPS_DECORS_AND_LAMPPOSTS); }},
        {"g_PropManager.RenderReflectiveEffects(PROPS_DECORS_AND_LAMPPOSTS)",
         [](CGame&) { g_PropManager.RenderReflectiveEffects(PROPS_DECORS_AND_LAMPPOSTS); }},
        {"g_SceneLights.DisableHeadlightSpot()", [](CGame&) { g_SceneLights.DisableHeadlightSpot(); }},

        {"g_FieldObjects.RenderGrass()", [](CGame&) { g_FieldObjects.RenderGrass(); }},
        {"g_FieldObjects.RenderTreeBranches()", [](CGame&) { g_FieldObjects.RenderTreeBranches(); }},
        {"g_PropManager.RenderLightEffects(PROPS_ALL)", [](CGame&) { g_PropManager.RenderLightEffects(PROPS_ALL); }},
        {"g_VehicleManager.RenderLights()", [](CGame&) { g_VehicleManager.RenderLights(); }},
        {"g_Sky.RenderSunFlare()", [](CGame&) { g_Sky.RenderSunFlare(); }},
        {"g_Landscape.RenderWater()", [](CGame&) { g_Landscape.RenderWater(); }},
        {"g_WaterCircles.RenderRings()", [](CGame&) { g_WaterCircles.RenderRings(); }},

        {"g_D3DRender.UnlockBatchBuffers()", [](CGame&) { g_D3DRender.UnlockBatchBuffers(); }},
        {"g_D3DRender.DrawFixedLightBatch()", [](CGame&) { g_D3DRender.DrawFixedLightBatch(); }},
        {"g_D3DRender.DrawShaderLightBatch()", [](CGame&) { g_D3DRender.DrawShaderLightBatch(); }},
        {"g_ParticleEffects.Render()", [](CGame&) { g_ParticleEffects.Render(); }},
        {"g_D3DRender.RenderGlow()", [](CGame&) { g_D3DRender.RenderGlow(); }},
        {"g_D3DRender.RenderMotionBlur()", [](CGame&) { g_D3DRender.RenderMotionBlur(); }},
    };
    RunGameSteps(kSteps, *this);
}
