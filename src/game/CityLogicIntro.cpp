// The new-game introduction: the battered car drives itself into the
// mechanic's yard, the two figures talk, and the player takes the wheel.
#include "game/CityLogic.h"

#include "game/GameInterface.h"
#include "game/MessageIds.h"
#include "game/PlayerStats.h"
#include "graphics/D3DRender.h"
#include "roadusers/Human.h"
#include "roadusers/HumanManager.h"
#include "roadusers/Vehicle.h"
#include "shell/Game.h"
#include "shell/GameTimer.h"
#include "shell/VectorHelpers.h"
#include "world/Landscape.h"

#include <BulletDynamics/Dynamics/btRigidBody.h>

#include <algorithm>
#include <cstdlib>

namespace {

const D3DXVECTOR3 kUp(0.0f, 1.0f, 0.0f);
const D3DXVECTOR3 kSpawn(-215.0f, 30.0f, -459.0f);
const D3DXVECTOR3 kSpawnFacing(-200.0f, 30.0f, -474.0f);
const D3DXVECTOR3 kYard(-86.0f, 17.0f, -383.0f);
const D3DXVECTOR3 kMechanicAt(-83.0f, 17.0f, -381.0f);
const D3DXVECTOR3 kPlayerAt(-81.0f, 17.0f, -379.0f);
const char* const kFigurePath = "Data/Humans/Male/Main.obj";
// Route points of the drive: the cut to the yard, the re-spawn in view of
// the yard camera.
const std::uint32_t kCutIndex = 31;
const std::uint32_t kRespawnIndex = 52;

// A figure of the yard with clothing from the first two variants of the
// shared sets, in its own column of tints; null when the list is full.
CHuman* MakeFigure(const D3DXVECTOR3& at, const D3DXVECTOR3& facing, int tintColumn, const D3DXCOLOR4& fixedTint)
{
    CHuman* human = g_HumanManager.CreateHuman(kFigurePath, &at, &facing, 0);
    if (!human)
        return nullptr;
    human->SetPosition(&at, &facing);
    human->SetAction(0);
    for (int part = 0; part < HUMAN_CLOTHING_SLOTS; ++part) {
        HumanClothing& slot = human->m_Clothing[part];
        if (g_D3DRender.m_bPerStageConstant) {
            slot.r = fixedTint.r;
            slot.g = fixedTint.g;
            slot.b = fixedTint.b;
            slot.a = fixedTint.a;
        } else {
            const int variant = std::rand() % 2;
            slot.pTinted = g_HumanManager.m_Textures[part][human->m_nGender & 1][variant][tintColumn % HUMAN_TINTS];
        }
    }
    return human;
}

void RemoveAllPedestrians()
{
    while (g_HumanManager.m_nHumans > 0) {
        CHuman* human = g_HumanManager.m_pHumans[g_HumanManager.m_nHumans - 1];
        ForgetHuman(human);
        g_HumanManager.RemoveHuman(human);
    }
    g_pMechanic = nullptr;
    g_pPlayerFigure = nullptr;
}

} // namespace

int BuildIntroRoute(D3DXVECTOR3* points, std::uint32_t* count, const D3DXVECTOR3& from)
{
    D3DXVECTOR3 start, goal;
    *count = 0;
    if (!g_Landscape.FindNearestRoutePoint(&from, &kSpawnFacing, &start, 3, 4, 10) ||
        !g_Landscape.FindNearestRoutePoint(&kYard, &start, &goal, 2, 4, 10))
        return 0;
    std::uint32_t n = 0;
    if (!g_Landscape.FindRoutePath(points, &n, &start, &goal, 2, 4, 0, 0, 2, 0.0f, VEHICLE_ROUTE_SIZE) ||
        n < INTRO_MIN_ROUTE_POINTS || n > VEHICLE_ROUTE_SIZE)
        return 0;
    points[n - 1] += D3DXVECTOR3(8.0f, 1.0f, 6.0f);
    points[n - 2] += D3DXVECTOR3(4.0f, 1.0f, 4.0f);
    points[n - 3] += D3DXVECTOR3(0.0f, 1.0f, 2.0f);
    if (n < VEHICLE_ROUTE_SIZE) {
        points[n] = points[n - 1] + (points[n - 1] - points[n - 2]) * 0.5f;
        ++n;
    }
    *count = n;
    return 1;
}

void CCityLogic::UpdateNewGame()
{
    CWorldCamera* camera = g_Game.m_pCamera;
    switch (m_nPhase) {
    case 0:
        StartIntroduction();
        break;
    case 1:
        if (m_pCar->m_nRouteIndex >= kCutIndex) {
            if (camera)
                camera->StartFadeOut(1.0f, 1);
            Stamp();
            m_nPhase = 2;
        }
        break;
    case 2:
        if (After(1.0f))
            IntroHandOverYard();
        break;
    case 3:
        m_pCar->m_nRoutePoints = std::min<std::uint32_t>(m_pCar->m_nRoutePoints, INTRO_ROUTE_POINTS);
        if (m_pCar->m_nAIState != AI_STATE_TRAFFIC && m_pCar->m_nRoutePoints > 0 &&
            Vec3Distance(&m_pCar->m_vPosition, &m_pCar->m_Route[m_pCar->m_nRoutePoints - 1]) < 4.0f) {
            if (camera)
                camera->StartFadeOut(2.0f, 1);
            Stamp();
            m_nPhase = 4;
        }
        break;
    case 4:
        if (After(2.0f)) {
            g_pPlayerFigure = MakeFigure(kPlayerAt, kMechanicAt, 1, D3DXCOLOR4{1.0f, 0.0f, 0.0f, 1.0f});
            if (camera)
                camera->StartFadeIn(2.0f, 1);
            Stamp();
            m_nPhase = 5;
        }
        break;
    case 5:
        if (After(2.0f)) {
            // Both figures or no talk: the dialogue camera looks at each.
            if (!g_pMechanic || !g_pPlayerFigure) {
                if (camera)
                    camera->StartFadeOut(2.0f, 1);
                Stamp();
                m_nPhase = 20;
                break;
            }
            if (camera) {
                camera->SetTargetVehicle(nullptr);
                const D3DXVECTOR3 eye = camera->m_vEye, target = camera->m_vTarget;
                camera->StartTransition(&eye, &target, 1.0f, nullptr, 0.0f, 0);
            }
            Stamp();
            m_nPhase = 6;
        }
        break;
    case 20:
        if (After(2.0f))
            IntroEnd();
        break;
    default:
        if (m_nPhase >= 6 && m_nPhase < 20)
            IntroDialogue();
        break;
    }
}

void CCityLogic::StartIntroduction()
{
    CWorldCamera* camera = g_Game.m_pCamera;
    g_GameTimer.Reset();
    CVehicle* car = m_pCar;
    const float first[4] = {1.0f, 0.0f, 0.0f, 1.0f}, second[4] = {1.0f, 1.0f, 0.0f, 1.0f};
    std::copy(first, first + 4, car->m_PaintColor);
    std::copy(second, second + 4, car->m_PaintColor2);
    car->m_nPaintGloss = 80;
    car->Spawn(&kSpawn, &kSpawnFacing, &kUp, 1, VEHICLE_PLAYER, 1);
    car->m_nRouteIndex = 0;
    const int drive = BuildIntroRoute(car->m_Route, &car->m_nRoutePoints, car->m_vPosition);
    car->SetAIState(drive ? AI_STATE_TRAFFIC : AI_STATE_NONE);
    car->ApplyRandomDamage(20, 1.0f);
    car->m_fBodyDamage = 0.5f;
    for (float& wear : car->m_WheelWear)
        wear = 0.5f;
    car->UpdatePerformance(1, 1);
    if (camera) {
        const D3DXVECTOR3 eye(-145.0f, 25.0f, -485.0f), goal(-145.0f, 20.0f, -455.0f);
        camera->SetView(&eye, &car->m_vPosition, &kUp);
        camera->StartTransition(&goal, &car->m_vPosition, 20.0f, nullptr, 0.0f, 0);
        camera->SetTargetVehicle(car);
        camera->StartFadeIn(2.0f, 1);
    }
    g_Landscape.ForceRestream();
    Stamp();
    if (drive) {
        m_nPhase = 1;
        return;
    }
    // No drive to show: straight to the hand-over.
    car->Park();
    m_nPhase = 20;
}

void CCityLogic::IntroHandOverYard()
{
    CWorldCamera* camera = g_Game.m_pCamera;
    CVehicle* car = m_pCar;
    RemoveAllPedestrians();
    g_pMechanic = MakeFigure(kMechanicAt, kPlayerAt, 0, D3DXCOLOR4{0.0f, 0.0f, 1.0f, 1.0f});
    const D3DXVECTOR3 lift(0.0f, 0.25f, 0.0f);
    const D3DXVECTOR3 at = car->m_Route[kRespawnIndex] + lift;
    const D3DXVECTOR3 facing = car->m_Route[kRespawnIndex + 1] + lift;
    car->Spawn(&at, &facing, &kUp, 1, VEHICLE_PLAYER, 0);
    car->m_nRouteIndex = kRespawnIndex + 2;
    const D3DXVECTOR3 velocity = car->m_Route[kRespawnIndex + 2] - car->m_Route[kRespawnIndex];
    car->m_vLinearVelocity = velocity;
    if (car->m_pRigidBody)
        car->m_pRigidBody->setLinearVelocity(btVector3(velocity.x, velocity.y, velocity.z));
    car->m_fSpeed = 25.0f;
    if (camera) {
        const D3DXVECTOR3 eye(-86.0f, 19.0f, -383.0f), goal(-95.0f, 26.0f, -391.0f);
        camera->SetView(&eye, &car->m_vPosition, &kUp);
        camera->StartTransition(&goal, &car->m_vPosition, 8.0f, nullptr, 0.0f, 0);
        camera->StartFadeIn(1.0f, 1);
    }
    Stamp();
    m_nPhase = 3;
}

// Lines alternate mechanic (odd phases) and player (even phases); each
// waits until the one before has left the screen.
void CCityLogic::IntroDialogue()
{
    if (g_GameInterface.m_bDialogueVisible)
        return;
    CWorldCamera* camera = g_Game.m_pCamera;
    ++m_nPhase;
    if (m_nPhase >= 20) {
        if (camera)
            camera->StartFadeOut(2.0f, 1);
        Stamp();
        return;
    }
    if (!g_pMechanic || !g_pPlayerFigure) {
        m_nPhase = 20;
        if (camera)
            camera->StartFadeOut(2.0f, 1);
        Stamp();
        return;
    }
    const bool mechanic = (m_nPhase % 2) == 1;
    CHuman* speaker = mechanic ? g_pMechanic : g_pPlayerFigure;
    g_GameInterface.SetDialogue(m_nPhase - 7, speaker, mechanic ? "Mechanical engineer" : g_szPlayerName, 20.0f);
    if (camera) {
        const D3DXVECTOR3 eye = speaker->m_vPosition + D3DXVECTOR3(-6.0f, 15.0f, -6.0f);
        camera->StartTransition(&eye, &speaker->m_vPosition, 1.0f, &kUp, mechanic ? 0.25f : -0.25f, 0);
    }
}

void CCityLogic::IntroEnd()
{
    CWorldCamera* camera = g_Game.m_pCamera;
    RemoveAllPedestrians();
    if (camera) {
        camera->StartFadeIn(2.0f, 1);
        camera->SetTargetVehicle(m_pCar);
        camera->SetMode(3, m_pCar);
    }
    m_pCar->SetControlMode(2);
    m_pCar->m_bHandBrake = 0;
    g_PlayerStats.m_fCriminalLevel = 0.0f;
    g_PlayerStats.m_fArrestTimer = 0.0f;
    const D3DXCOLOR4 white{1.0f, 1.0f, 1.0f, 1.0f};
    g_GameInterface.ShowMessage(MSG_CONTROLS, 10.0f, &white, 0.325f);
    End();
}
