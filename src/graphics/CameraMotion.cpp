// Placeholder until the camera modes are built: the per-frame update leaves
// the camera where it is, and a fade only runs its clock (no drawing yet).
#include "graphics/WorldCamera.h"

#include "shell/GameTimer.h"

void CWorldCamera::Update()
{
    m_vPrevEye = m_vEye;
}

void CWorldCamera::SetTargetVehicle(CVehicle* car)
{
    m_pTarget = car;
}

void CWorldCamera::StartFadeOut(float seconds, int withSound)
{
    m_nFadeKind = 0;
    m_fFadeTime = seconds;
    m_fFadeElapsed = 0.0f;
    m_bFadeSound = withSound;
}

void CWorldCamera::StartFadeIn(float seconds, int withSound)
{
    m_nFadeKind = 1;
    m_fFadeTime = seconds;
    m_fFadeElapsed = 0.0f;
    m_bFadeSound = withSound;
}

void CWorldCamera::DrawFade()
{
    if (m_nFadeKind < 0)
        return;
    m_fFadeElapsed += g_GameTimer.m_fRealDelta;
}
