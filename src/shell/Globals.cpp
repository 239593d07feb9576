// The game's managers, defined in one file so that they are constructed in
// this order before the program entry runs (the language orders static
// construction only within one file). Constructors only set resting values:
// nothing is loaded and no device is touched until each manager's init.
#include "game/GameInterface.h"
#include "game/GameMenu.h"
#include "game/MenuBackground.h"
#include "graphics/D3DRender.h"
#include "graphics/MeshContainer.h"
#include "graphics/SceneLights.h"
#include "objects/BloodEffect.h"
#include "objects/ParticleEffects.h"
#include "objects/WaterCircles.h"
#include "roadusers/HumanManager.h"
#include "roadusers/VehicleManager.h"
#include "shell/AudioManager.h"
#include "shell/Game.h"
#include "shell/RayHitInfo.h"
#include "shell/VectorHelpers.h"
#include "world/FieldObjectManager.h"
#include "world/InfoScreenManager.h"
#include "world/Landscape.h"
#include "world/PropManager.h"
#include "world/Sky.h"

CD3DRender g_D3DRender;
CMeshContainer g_MeshContainer;
CAudioManager g_AudioManager;
CSceneLights g_SceneLights;
CSky g_Sky;
CRayHitInfo g_RayHit;
CGame g_Game;
CLandscape g_Landscape;
CVehicleManager g_VehicleManager;
CHumanManager g_HumanManager;
CPropManager g_PropManager;
CFieldObjectManager g_FieldObjects;
CParticleEffects g_ParticleEffects;
CBloodEffect g_BloodEffect;
CWaterCircles g_WaterCircles;
CGameInterface g_GameInterface;
CInfoScreenManager g_InfoScreens;
CMenuBackground g_MenuBackground;
CGameMenu g_GameMenu;

static D3DXMATRIX IdentityMatrix()
{
    D3DXMATRIX m;
    D3DXMatrixIdentity(&m);
    return m;
}
D3DXMATRIX g_matIdentity = IdentityMatrix();
