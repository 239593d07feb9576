// A pedestrian's life: construction, loading, placing, the per-frame step,
// entering an action (with the taxi set-up) and release.
#include "roadusers/Human.h"

#include "game/TaxiJob.h"
#include "graphics/D3DRender.h"
#include "graphics/SceneLights.h"
#include "roadusers/HumanManager.h"
#include "roadusers/HumanRagdoll.h"
#include "roadusers/SpawnRoute.h"
#include "roadusers/VehicleManager.h"
#include "shell/AudioManager.h"
#include "shell/Keywords.h"
#include "shell/VectorHelpers.h"
#include "world/Landscape.h"

#include <cstdlib>
#include <cstring>

namespace {

constexpr float kFadeStart = 32.5f;
constexpr float kFadeLength = 17.5f;
constexpr float kUpdateRange = 62.5f;

float Horizontal(const D3DXVECTOR3& a, const D3DXVECTOR3& b)
{
    const float dx = a.x - b.x, dz = a.z - b.z;
    return dx * dx + dz * dz;
}

} // namespace

CHuman::CHuman()
    : m_vGround(0, 0, 0), m_vWalkTarget(0, 0, 0), m_PartVertices{}, m_PartTriangles{}, m_nBodyTexture(-1),
      m_Clothing{}, m_ActionFrames{}, m_fActionRates{}, m_nAction(0), m_fFrame(0), m_fBleedTimer(0),
      m_fCarCheckTimer(0), m_fActionTimer(0), m_WalkPath{}, m_nWalkPath(0), m_vWaitingSpot(0, 0, 0),
      m_fBodyMass(0), m_fWalkSpeed(0), m_fRunSpeed(0), m_pRagdoll(nullptr), m_nGender(0)
{
    m_nClass = GCLASS_HUMAN;
    m_nType = GTYPE_HUMAN;
    for (HumanClothing& slot : m_Clothing)
        slot = HumanClothing{-1, 0.0f, 0.0f, 0.0f, 1.0f, nullptr};
}

void CHuman::Load(const char* path, int gender)
{
    const FileHandle file = CStaticObject::Load(path, 0, -1, 0);
    if (file == INVALID_FILE_HANDLE)
        return;
    m_nGender = gender == 1 ? 1 : 0;
    ReadOwnPart(file);
    m_Material.Diffuse.a = 0.0f;
    g_FileManager.Close(file);
    m_fSphereRadius = 1.0f;
}

void CHuman::Release()
{
    if (m_nAction == ACTION_WAITCAR && g_HumanManager.m_nWaitingPassengers > 0)
        --g_HumanManager.m_nWaitingPassengers;
    if (m_nBodyTexture != -1)
        g_D3DRender.ReleaseTexture(static_cast<TextureId>(m_nBodyTexture));
    m_nBodyTexture = -1;
    for (HumanClothing& slot : m_Clothing) {
        if (slot.texture != -1)
            g_D3DRender.ReleaseTexture(static_cast<TextureId>(slot.texture));
        slot.texture = -1;
        slot.pTinted = nullptr;
    }
    m_nWalkPath = 0;
    g_AudioManager.StopHumanVoices(m_nGender, this);
    ForgetHuman(this);
    DestroyRagdoll();
    CStaticObject::Release();
}

void CHuman::LookAt(const D3DXVECTOR3* position, const D3DXVECTOR3* target)
{
    // A target on the pedestrian's own spot gives no direction: it keeps the
    // way it faced.
    if (Horizontal(*position, *target) < 1e-12f) {
        m_matWorld._41 = position->x;
        m_matWorld._42 = position->y;
        m_matWorld._43 = position->z;
        return;
    }
    const D3DXVECTOR3 up(0, 1, 0);
    SetLookAtTransform(position, target, &up);
}

void CHuman::FaceHorizontally(const D3DXVECTOR3* point)
{
    const D3DXVECTOR3 own(m_matWorld._41, m_matWorld._42, m_matWorld._43);
    const D3DXVECTOR3 level(point->x, own.y, point->z);
    LookAt(&own, &level);
    m_vGround = own;
}

void CHuman::SetPosition(const D3DXVECTOR3* position, const D3DXVECTOR3* target)
{
    D3DXVECTOR3 at, facing;
    if (!position) {
        at = D3DXVECTOR3(m_matPlacement._41, m_matPlacement._42, m_matPlacement._43);
        facing = at + D3DXVECTOR3(m_matPlacement._31, m_matPlacement._32, m_matPlacement._33) * 100.0f;
    } else {
        at = *position;
        facing = target ? *target : at;
    }
    at.y = GetExactAltitude(&at);
    facing.y = at.y;
    LookAt(&at, &facing);
    m_matPlacement = m_matWorld;
    m_vGround = at;
    m_vPosition = at;
    PlaceBody(&at, &facing);
    m_fBleedTimer = 0.0f;
    m_fCarCheckTimer = 0.0f;
}

void CHuman::Update()
{
    if (!m_bAlive)
        return;
    SyncBody();
    UpdateRagdollSleep();
    const float distance = UpdateCameraDistance();
    m_Material.Diffuse.a = distance > kFadeStart ? 1.0f - (distance - kFadeStart) / kFadeLength : 1.0f;
    if (Vec3Distance(&m_vPosition, &g_VehicleManager.m_vSpawnAnchor) < kUpdateRange) {
        UpdateAction();
        g_SceneLights.GatherNearLights(&m_vPosition, m_fSphereRadius, &m_LightSet);
    } else {
        m_bAlive = 0;
    }
}

void CHuman::SetAction(int code)
{
    if (code < 0 || code >= HUMAN_ACTIONS)
        code = 0;
    if (m_nAction == ACTION_WAITCAR && code != ACTION_WAITCAR && g_HumanManager.m_nWaitingPassengers > 0)
        --g_HumanManager.m_nWaitingPassengers;
    m_nAction = code;
    m_fFrame = 0.0f;
    m_fBleedTimer = 0.0f;
    m_fCarCheckTimer = 0.0f;
    m_nFrame = 0;
    if (code != ACTION_WAITCAR)
        return;
    if (!PrepareTaxiJob()) {
        // Straight to walking: entering the walk through SetAction would
        // count a waiting passenger down that was never counted up.
        m_nAction = ACTION_WALK;
        return;
    }
    m_fFrame = static_cast<float>(m_ActionFrames[ACTION_WAITCAR][0]);
    ++g_HumanManager.m_nWaitingPassengers;
}

// Finds a landing point for a ride and the road route there; on success the
// job is offered by this pedestrian, who steps to the kerb.
int CHuman::PrepareTaxiJob()
{
    g_TaxiJob = CTaxiJob{};
    RouteCell* walkway = g_Landscape.FindNearestRouteCell(ROUTE_WALKWAY, &m_vPosition, 2);
    RouteCell* road = g_Landscape.FindNearestRouteCell(ROUTE_ROAD, &m_vPosition, 5);
    if (!walkway || !road)
        return 0;
    D3DXVECTOR3 direction(0, 0, 0);
    while (Vec3Length(&direction) == 0.0f) {
        direction.x = static_cast<float>(std::rand() % 2001 - 1000);
        direction.z = static_cast<float>(std::rand() % 2001 - 1000);
    }
    Vec3Normalize(&direction, &direction);
    const float distance = static_cast<float>(200 + std::rand() % 801);
    const D3DXVECTOR3 aim = m_vPosition + direction * distance;
    RouteCell* landing = g_Landscape.FindNearestRouteCell(ROUTE_WALKWAY, &aim, 20);
    if (!landing || Vec3Distance(&landing->m_vPosition, &m_vPosition) < 200.0f)
        return 0;
    const D3DXVECTOR3 roadPoint = road->m_vPosition;
    const D3DXVECTOR3 walkwayPoint = walkway->m_vPosition;
    const D3DXVECTOR3 landingPoint = landing->m_vPosition;
    if (!g_Landscape.FindRoutePath(g_SpawnRoute, &g_nSpawnRoute, &roadPoint, &landingPoint, 2, 4, 0, 0, 1, 0.0f,
                                   ROUTE_MAX_POINTS)) {
        g_TaxiJob = CTaxiJob{};
        return 0;
    }
    float length = 0.0f;
    for (std::uint32_t i = 1; i < g_nSpawnRoute; ++i)
        length += Vec3Distance(&g_SpawnRoute[i - 1], &g_SpawnRoute[i]);
    g_TaxiJob.m_vLandingPoint = landingPoint;
    g_TaxiJob.m_fRouteLength = length;
    g_TaxiJob.m_fFare = g_TaxiJob.m_fOfferedFare = length * 1.5f;
    g_TaxiJob.m_pPassenger = this;

    D3DXVECTOR3 towardsRoad = roadPoint - m_vPosition;
    Vec3Normalize(&towardsRoad, &towardsRoad);
    const D3DXVECTOR3 kerb = walkwayPoint + towardsRoad * 2.0f;
    D3DXVECTOR3 facing = roadPoint;
    facing.y = GetExactAltitude(&kerb);
    SetPosition(&kerb, &facing);
    m_vWaitingSpot = facing;
    return 1;
}
