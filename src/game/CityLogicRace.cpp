// The race start (offer, grid, start signal) and the race end (result,
// booking, back to free driving).
#include "game/CityLogic.h"

#include "game/GameInterface.h"
#include "roadusers/HumanManager.h"
#include "roadusers/Vehicle.h"
#include "roadusers/VehicleManager.h"
#include "shell/AudioManager.h"
#include "shell/Game.h"
#include "world/Prop.h"

namespace {

const D3DXVECTOR3 kUp(0.0f, 1.0f, 0.0f);

// The eye of the chase view sits low; the overview swings start from a bit
// higher so they clear the car's roof.
void LiftChaseEye(CWorldCamera* camera)
{
    if (camera->m_nMode == 1)
        camera->m_vEye.y += 1.0f;
}

} // namespace

void CCityLogic::UpdateRaceStart()
{
    CWorldCamera* camera = g_Game.m_pCamera;
    if (m_nPhase == 0) {
        if (camera) {
            LiftChaseEye(camera);
            D3DXVECTOR3 eye = m_pCar->m_vPosition + D3DXVECTOR3(0.0f, 12.0f, 0.0f);
            if (const CStaticObject* board = g_VehicleManager.m_pRaceInfoScreen)
                eye += D3DXVECTOR3(board->m_matWorld._31, board->m_matWorld._32, board->m_matWorld._33) * 6.85f;
            camera->StartTransition(&eye, &m_pCar->m_vPosition, 2.0f, &kUp, 0.5f, 0);
            camera->SetTargetVehicle(nullptr);
        }
        g_GameInterface.SetRaceState(1);
        Next();
    } else if (m_nPhase == 1) {
        if (g_GameInterface.m_RaceOfferPanel.m_bRaceOfferOpen)
            return;
        if (g_GameInterface.m_RaceOfferPanel.m_nRaceOfferChoice != 1) {
            RestoreDrivingView();
            g_VehicleManager.m_fRaceCountdown = 5.0f;
            m_pCar->SetControlMode(2);
            End();
            return;
        }
        if (camera)
            camera->StartFadeOut(1.0f, 1);
        Stamp();
        Next();
    } else if (m_nPhase == 2 && After(1.0f)) {
        g_VehicleManager.SetupRaceGrid();
        g_HumanManager.CreateSpectators(1);
        g_AudioManager.PlayVoice(0, 1);
        if (camera)
            camera->StartFadeIn(1.0f, 1);
        // No new stamp: the start signal counts from the accepted offer.
        Next();
    } else if (m_nPhase == 3 && After(8.0f)) {
        g_VehicleManager.StartRace();
        RestoreDrivingView();
        m_pCar->SetControlMode(2);
        // The music flag without a track: the audio manager picks race tracks.
        g_AudioManager.PlayMusic(1, nullptr, 0, 0.0f);
        End();
    }
}

void CCityLogic::UpdateRaceEnd()
{
    CWorldCamera* camera = g_Game.m_pCamera;
    if (m_nPhase == 0) {
        if (camera) {
            LiftChaseEye(camera);
            const D3DXMATRIX& m = m_pCar->m_matWorld;
            const D3DXVECTOR3 side(m._11, m._12, m._13), forward(m._31, m._32, m._33);
            const D3DXVECTOR3 eye = side * 5.0f + D3DXVECTOR3(0.0f, 10.0f, 0.0f) - forward * 5.0f;
            camera->StartTransition(&eye, &m_pCar->m_vPosition, 2.0f, &kUp, 0.5f, 1);
        }
        g_VehicleManager.ReleaseRivals();
        g_GameInterface.ShowRaceResult(1);
        m_pCar->Park();
        const int place = m_pCar->m_nRacePlace;
        const bool podium = place >= 0 && place < 3;
        if (!podium)
            g_HumanManager.DisperseSpectators();
        g_AudioManager.PlayVoice(podium ? 0 : 1, 1);
        g_AudioManager.PlayMusic(0, nullptr, 0, 0.0f);
        Next();
    } else if (m_nPhase == 1 && !g_GameInterface.m_RaceResultPanel.m_bRaceResultOpen) {
        g_VehicleManager.FinishRace();
        g_HumanManager.DisperseSpectators();
        RestoreDrivingView();
        m_pCar->SetControlMode(2);
        End();
    }
}
