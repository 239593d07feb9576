#include "game/DirectionArrow.h"

#include "game/GameInterface.h"
#include "game/RaceState.h"
#include "game/TaxiJob.h"
#include "graphics/D3DRender.h"
#include "graphics/SceneLights.h"
#include "graphics/WorldCamera.h"
#include "objects/MaterialEffects.h"
#include "objects/StaticObject.h"
#include "roadusers/Vehicle.h"
#include "roadusers/VehicleManager.h"
#include "shell/Game.h"
#include "shell/GameTimer.h"
#include "shell/VectorHelpers.h"

#include <algorithm>

bool ArrowShown(const ArrowState& s)
{
    if (!s.bPlayerCar || !(s.bRaceRunning || s.bPassenger))
        return false;
    if (s.nCameraMode < 1 || s.nCameraMode > 3)
        return false;
    return !s.bPassenger || s.fLandingDistance >= ARROW_HIDE_DISTANCE;
}

void StepRaceArrowTarget(D3DXVECTOR3* target, const D3DXVECTOR3* route, int count, int index, float speedKmh,
                         float frameTime)
{
    if (!route || count <= 0)
        return;
    const float lookAhead = std::min(std::max(speedKmh, 0.0f) / 7.5f, 15.0f);
    int at = index + 1 + static_cast<int>(lookAhead);
    at = std::clamp(at, 0, count - 1);
    const D3DXVECTOR3& point = route[at];
    if (target->x == 0.0f && target->y == 0.0f && target->z == 0.0f) {
        *target = point;
        return;
    }
    const float k = frameTime * 5.0f;
    target->x += (point.x - target->x) * k;
    target->y += (point.y - target->y) * k;
    target->z += (point.z - target->z) * k;
}

void CGameInterface::DrawDirectionArrow()
{
    CWorldCamera* camera = g_Game.m_pCamera;
    if (!m_pArrow || !camera)
        return;
    CVehicle* car = g_pPlayerVehicle;
    ArrowState state{car != nullptr, g_VehicleManager.IsRaceRunning(), g_TaxiJob.m_bOnBoard != 0, camera->m_nMode, 0.0f};
    if (car && state.bPassenger)
        state.fLandingDistance = Vec3Distance(&car->m_vPosition, &g_TaxiJob.m_vLandingPoint);
    if (!ArrowShown(state))
        return;

    D3DXVECTOR3 position;
    const D3DXVECTOR3 inView(0.0f, 0.375f, 0.5f);
    D3DXVec3TransformCoord(&position, &inView, &camera->m_matInvView);

    if (state.bRaceRunning) {
        const D3DXVECTOR3* route = nullptr;
        int count = 0;
        int index = 0;
        if (GetPlayerRoute(&route, &count, &index))
            StepRaceArrowTarget(&m_vArrowTarget, route, count, index, car->m_fSpeed, g_GameTimer.m_fDelta);
    }
    if (state.bPassenger)
        m_vArrowTarget = g_TaxiJob.m_vLandingPoint;

    const D3DXVECTOR3 up(0.0f, 1.0f, 0.0f);
    BuildLookAtMatrix(&m_pArrow->m_matWorld, &position, &m_vArrowTarget, &up);
    g_SceneLights.ApplyLightSet(&car->m_LightSet);
    g_D3DRender.SetFogEnable(FALSE);
    g_D3DRender.SetZEnable(TRUE);
    g_D3DRender.SetZWriteEnable(TRUE);
    g_D3DRender.SetLighting(TRUE);
    g_D3DRender.SetTexture(m_pArrow->m_nTextureIds[0], 0, 0);
    m_pArrow->DrawPart(0);
    if (m_pArrow->m_pSelfIllum)
        m_pArrow->m_pSelfIllum->Render();
}
