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
    GAME_STEP(RenderWaterPass());
    GAME_STEP(RenderCubePass());
    GAME_STEP(RenderShadowPass());
    RenderMainPass();
}

// Opaque things first, then what blends over them (grass, branches, light
// sprites, water, rings, particles), the post effects last. Only decors and
// lampposts take the player's headlight.
void CGame::RenderMainPass()
{
    GAME_STEP(g_D3DRender.LockBatchBuffers());
    GAME_STEP(g_Sky.Render());
    GAME_STEP(g_PropManager.Render(PROPS_BRIDGES_AND_BUILDINGS));
    GAME_STEP(g_PropManager.RenderReflectiveEffects(PROPS_BRIDGES_AND_BUILDINGS));
    GAME_STEP(g_Landscape.Render());
    GAME_STEP(g_BloodEffect.Render());
    GAME_STEP(g_WaterCircles.RenderSkidTrails());
    GAME_STEP(g_Landscape.RenderTerrainShadow());
    GAME_STEP(g_FieldObjects.RenderStones());
    GAME_STEP(g_FieldObjects.RenderTrees());
    GAME_STEP(g_VehicleManager.RenderVehicles());
    GAME_STEP(g_VehicleManager.RenderVehiclesSecondPass());
    GAME_STEP(g_HumanManager.Render());

    GAME_STEP(g_SceneLights.EnableHeadlightSpot());
    GAME_STEP(g_PropManager.Render(PROPS_DECORS_AND_LAMPPOSTS));
    GAME_STEP(g_PropManager.RenderReflectiveEffects(PROPS_DECORS_AND_LAMPPOSTS));
    GAME_STEP(g_SceneLights.DisableHeadlightSpot());

    GAME_STEP(g_FieldObjects.RenderGrass());
    GAME_STEP(g_FieldObjects.RenderTreeBranches());
    GAME_STEP(g_PropManager.RenderLightEffects(PROPS_ALL));
    GAME_STEP(g_VehicleManager.RenderLights());
    GAME_STEP(g_Sky.RenderSunFlare());
    GAME_STEP(g_Landscape.RenderWater());
    GAME_STEP(g_WaterCircles.RenderRings());

    GAME_STEP(g_D3DRender.UnlockBatchBuffers());
    GAME_STEP(g_D3DRender.DrawFixedLightBatch());
    GAME_STEP(g_D3DRender.DrawShaderLightBatch());
    GAME_STEP(g_ParticleEffects.Render());
    GAME_STEP(g_D3DRender.RenderGlow());
    GAME_STEP(g_D3DRender.RenderMotionBlur());
}
