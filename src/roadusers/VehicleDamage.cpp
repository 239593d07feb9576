// Contact damage: how hard a hit was, the sparks it throws, what it costs the
// player's record, and the dents, broken lamps, wheel wear and engine damage
// it leaves.
#include "roadusers/Vehicle.h"
#include "world/Prop.h"

#include "game/CityLogic.h"
#include "game/GameInterface.h"
#include "game/MessageIds.h"
#include "game/PlayerStats.h"
#include "objects/ContactHooks.h"
#include "objects/DirectLightsEffect.h"
#include "objects/ParticleEffects.h"
#include "roadusers/Human.h"
#include "roadusers/VehicleManager.h"
#include "shell/AudioManager.h"
#include "shell/GameTimer.h"
#include "shell/Keywords.h"
#include "shell/VectorHelpers.h"
#include "world/Landscape.h"
#include "world/PropManager.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>

std::uint8_t g_DamageMarks[VEHICLE_MAX_BODY_VERTICES];

namespace {

constexpr float kRestingContactMs = 125.0f;
constexpr float kLampBreakAmount = 0.175f;

float TopSpeedReach(const CVehicle& car)
{
    return std::max(car.m_fTopSpeedFigure, 120.0f) / 5.0f;
}

const CVehicle* AsCar(const CStaticObject* object)
{
    return object && object->m_nType == GTYPE_VEHICLE ? static_cast<const CVehicle*>(object) : nullptr;
}

float GameClockMs()
{
    return static_cast<float>(static_cast<std::int32_t>(g_GameTimer.m_fGameTime));
}

// The contact pass reports the terrain by the landscape's own pointer and
// the point in the chassis body's frame, which sits the chassis lift above
// the model's own frame.
void CarContact(CStaticObject* car, const D3DXVECTOR3* localPoint, const D3DXVECTOR3* normal, void* other,
                float strength)
{
    if (!car || car->m_nType != GTYPE_VEHICLE)
        return;
    auto* vehicle = static_cast<CVehicle*>(car);
    const D3DXVECTOR3 point = *localPoint - vehicle->m_vCentreOffset;
    vehicle->ApplyCollisionDamage(&point, normal, other == &g_Landscape ? nullptr : other, strength);
}

} // namespace

void InstallVehicleContactHook()
{
    g_pfnCarContact = CarContact;
}

// 0 .. 1: a head-on hit counts fully, a grazing one about 0.7, moving away
// not at all; a light car hit by a heavy one takes more.
float CVehicle::ImpactStrength(const D3DXVECTOR3* normal, const CStaticObject* other) const
{
    const float mass = m_fMass;
    if (!(mass > 0.0f))
        return 0.0f;
    const D3DXVECTOR3 v = m_vLinearVelocity;
    if (!other || !(other->m_fMass > 0.0f)) {
        const float reference = TopSpeedReach(*this) * mass;
        D3DXVECTOR3 direction;
        Vec3Normalize(&direction, &v);
        const D3DXVECTOR3 against = direction - *normal;
        const float e = Vec3Length(&against) / 2.0f * Vec3Length(&v) * mass;
        return std::min(e / reference, 1.0f);
    }
    const float m2 = other->m_fMass;
    const CVehicle* car = AsCar(other);
    const float reference = car ? mass * m2 * (TopSpeedReach(*this) + TopSpeedReach(*car)) / 2.0f
                                : mass * m2 * TopSpeedReach(*this) / 2.0f;
    const D3DXVECTOR3 closing = v - other->m_vLinearVelocity;
    const float e = mass * m2 * Vec3Length(&closing) / 2.0f;
    return std::min(e / reference * std::sqrt(m2) / std::sqrt(mass), 1.0f);
}

void CVehicle::ThrowSparks(const D3DXVECTOR3* localPoint, const CStaticObject* other, float strength)
{
    if (other) {
        if (other->m_nType == GTYPE_HUMAN || other->m_nType == GTYPE_TREE)
            return;
        g_ParticleEffects.AddSpark(localPoint, localPoint, std::max(0.25f * strength, 0.05f), 1.0f, 1.0f, 1.0f, 1.0f,
                                   &m_matWorld);
        return;
    }
    if (!(m_fRoadFactor >= 0.5f)) // only a paved road throws sparks
        return;
    D3DXVECTOR3 at;
    D3DXVec3TransformCoord(&at, localPoint, &m_matWorld);
    at.y = GetExactAltitude(&at) + 0.1f;
    const D3DXVECTOR3 still(0.0f, 0.0f, 0.0f);
    g_ParticleEffects.AddSpark(&at, &still, 0.1f, 1.0f, 1.0f, 1.0f, 1.0f, nullptr);
}

void CVehicle::BookStatistics(const CStaticObject* other, float strength)
{
    if (this != g_pPlayerVehicle || !other)
        return;
    CPlayerStats& stats = g_PlayerStats;
    if (const CVehicle* car = AsCar(other)) {
        if (!g_VehicleManager.IsRaceRunning() || car->m_nAIState != AI_STATE_RACE) {
            if (strength > 0.3f && car->m_nKind == VEHICLE_POLICE)
                stats.m_fCriminalLevel = std::max(stats.m_fCriminalLevel, 0.3f);
            if (strength > 0.25f) {
                ++stats.m_nRoadIncidents;
                stats.m_fCriminalLevel = std::min(stats.m_fCriminalLevel + 0.0125f * strength, 1.0f);
            }
        }
    }
    if (other->m_nType == GTYPE_HUMAN) {
        if (static_cast<const CHuman*>(other)->m_pRagdoll)
            return;
        if (m_nControlMode == 2) {
            const D3DXCOLOR4 red{1.0f, 0.3f, 0.3f, 1.0f};
            g_GameInterface.ShowMessage(MSG_CRIMINAL_LEVEL, 20.0f, &red, 0.375f);
        }
        ++stats.m_nPedestriansHit;
        stats.m_fCriminalLevel = std::max(std::min(stats.m_fCriminalLevel + 0.2f, 1.0f), 0.26f);
        return;
    }
    stats.m_fDamageTotal += 0.025f * strength;
}

// A contact that leaves no damage: landing from a ramp jump, the object the
// city logic is busy with, a bridge, and a resting contact with the object
// already hit within the last 0.125 s.
bool CVehicle::IgnoresContact(const CStaticObject* other, float strength) const
{
    if (strength == 0.0f && !other && this == g_pPlayerVehicle &&
        g_PropManager.FindNearestProp(GCLASS_LANDSCAPE, GTYPE_DECORS, &m_vPosition, m_fSphereRadius))
        return true;
    if (other && other == static_cast<const CStaticObject*>(g_CityLogic.m_pObject))
        return true;
    if (other && other->m_nType == GTYPE_BRIDGE)
        return true;
    return IsRepeatedContact(other, strength);
}

bool CVehicle::IsRepeatedContact(const CStaticObject* other, float strength) const
{
    return strength == 0.0f && GameClockMs() - static_cast<float>(m_nResetStamp) < kRestingContactMs &&
           other == m_pLastContact;
}

void CVehicle::ApplyCollisionDamage(const D3DXVECTOR3* localPoint, const D3DXVECTOR3* normal, void* otherObject,
                                    float strength)
{
    if (!localPoint || !normal)
        return;
    auto* other = otherObject == &g_Landscape ? nullptr : static_cast<CStaticObject*>(otherObject);
    const float given = strength;
    float s = given != 0.0f ? given : ImpactStrength(normal, other);
    ThrowSparks(localPoint, other, s);
    // One crash reported over several physics steps is booked once.
    if (!IsRepeatedContact(other, given))
        BookStatistics(other, s);
    if (IgnoresContact(other, given))
        return;

    m_nResetStamp = static_cast<std::int32_t>(g_GameTimer.m_fGameTime);
    m_pLastContact = other;
    if (!other)
        s *= 0.5f;
    if (s < 0.1f)
        return;
    const bool police = m_nKind == VEHICLE_POLICE;
    if (police)
        s = std::min(1.5f * s, 1.0f);
    const float radius = s + 0.5f;
    DentBody(localPoint, s);
    s = police ? std::min(1.5f * s, 1.0f) : 0.75f * s;
    WearNear(localPoint, s, 2.0f * radius);
    UpdatePerformance(1, 1);
    if (GameClockMs() - static_cast<float>(m_nImpactSoundStamp) > kRestingContactMs &&
        !(other && other->m_nType == GTYPE_HUMAN))
        g_AudioManager.PlayImpactSound(std::min(150.0f * s + 50.0f, 100.0f), this);
}

std::uint32_t CVehicle::DeformCount() const
{
    return m_pDeform ? std::min<std::uint32_t>(m_nBodyVertices, VEHICLE_MAX_BODY_VERTICES) : 0;
}

// Higher parts of the body dent more; a vertex at full dent never moves
// again, and its seam twins go with it.
void CVehicle::DentBody(const D3DXVECTOR3* point, float s)
{
    const std::uint32_t count = DeformCount();
    if (count == 0 || !m_pBodyVB)
        return;
    void* locked = nullptr;
    if (FAILED(m_pBodyVB->Lock(0, 0, &locked, 0)))
        return;
    auto* vertices = static_cast<std::uint8_t*>(locked);
    std::memset(g_DamageMarks, 0, sizeof(g_DamageMarks));
    const float radius = s + 0.5f;
    for (std::uint32_t k = 0; k < count; ++k) {
        DeformRecord& r = m_pDeform[k];
        if (g_DamageMarks[k] || !(r.fAmount < 1.0f))
            continue;
        const D3DXVECTOR3 offset = r.vBase - *point;
        const float d = Vec3Length(&offset);
        if (!(d < radius))
            continue;
        const float near = 1.0f - d / radius;
        const float h = std::clamp(1.0f + 2.0f * (r.vBase.y - 0.45f), 1.0f, 2.0f);
        r.fAmount = std::min(r.fAmount + near * s * 1.25f * h, 1.0f);
        D3DXVECTOR3 p = r.vBase + (r.vDented - r.vBase) * r.fAmount;
        const float crumple = near * s * 0.75f;
        p.x += (static_cast<float>(std::rand() % 100) / 500.0f - 0.1f) * crumple;
        p.y += (static_cast<float>(std::rand() % 100) / 500.0f - 0.1f) * crumple;
        p.z += (static_cast<float>(std::rand() % 100) / 500.0f - 0.1f) * crumple;
        SetDentedVertex(vertices, count, k, p, r.fAmount > kLampBreakAmount, false);
    }
    m_pBodyVB->Unlock();
}

// Moves a body vertex and its twins (the same point in other mesh parts) to p
// with the vertex's dent amount; the twins are marked as done for this pass.
// Where `lamp` holds, the lamps near a vertex of part group 4 break, or with
// `restore` come back.
void CVehicle::SetDentedVertex(std::uint8_t* vertices, std::uint32_t count, std::uint32_t k, const D3DXVECTOR3& p,
                               bool lamp, bool restore)
{
    const DeformRecord& r = m_pDeform[k];
    SetBodyVertex(vertices, k, p, r.fAmount);
    if (lamp && GetPartGroup(k) == 4)
        SetLightsNear(&r, restore);
    const int twins = std::min<int>(r.nTwins, VEHICLE_MAX_TWINS);
    for (int t = 0; t < twins; ++t) {
        const std::uint32_t twin = r.Twins[t];
        if (twin >= count)
            continue;
        m_pDeform[twin].fAmount = r.fAmount;
        g_DamageMarks[twin] = 1;
        SetBodyVertex(vertices, twin, p, r.fAmount);
        if (lamp && GetPartGroup(twin) == 4)
            SetLightsNear(&r, restore);
    }
}

void CVehicle::SetBodyVertex(std::uint8_t* vertices, std::uint32_t index, const D3DXVECTOR3& p, float amount)
{
    std::uint8_t* at = vertices + std::size_t{index} * VEHICLE_BODY_VERTEX_SIZE;
    std::memcpy(at, &p, sizeof(p));
    std::uint32_t colour = 0;
    std::memcpy(&colour, at + VEHICLE_BODY_COLOUR_OFFSET, sizeof(colour));
    colour = VehicleDentColour(GetPartGroup(index), amount, colour);
    std::memcpy(at + VEHICLE_BODY_COLOUR_OFFSET, &colour, sizeof(colour));
}

// Wheels and the engine near the hit wear, within twice the dent radius.
void CVehicle::WearNear(const D3DXVECTOR3* point, float s, float reach)
{
    auto wear = [&](const D3DXVECTOR3& at, float* value) {
        const D3DXVECTOR3 offset = *point - at;
        const float d = Vec3Length(&offset);
        if (d < reach)
            *value = std::min(*value + (1.0f - d / reach) * s * 0.2f, 1.0f);
    };
    if (!m_pMesh)
        return;
    const std::uint32_t wheels = std::min<std::uint32_t>(m_pMesh->m_nPoints[VEHICLE_MESH_WHEEL_PART], 4);
    if (m_pMesh->m_pPoints[VEHICLE_MESH_WHEEL_PART])
        for (std::uint32_t i = 0; i < wheels; ++i)
            wear(m_pMesh->m_pPoints[VEHICLE_MESH_WHEEL_PART][i], &m_WheelWear[i]);
    if (m_pMesh->m_nPoints[VEHICLE_MESH_ENGINE_PART] > 0 && m_pMesh->m_pPoints[VEHICLE_MESH_ENGINE_PART])
        wear(m_pMesh->m_pPoints[VEHICLE_MESH_ENGINE_PART][0], &m_fBodyDamage);
}

void CVehicle::ApplyRandomDamage(int count, float strength)
{
    const std::uint32_t vertices = DeformCount();
    if (vertices == 0)
        return;
    for (int i = 0; i < count; ++i) {
        const D3DXVECTOR3 base = m_pDeform[static_cast<std::uint32_t>(std::rand()) % vertices].vBase;
        const D3DXVECTOR3 inward = -base;
        ApplyCollisionDamage(&base, &inward, nullptr, strength);
    }
}

float CVehicle::GetMeanDeformation() const
{
    const std::uint32_t count = DeformCount();
    if (count == 0)
        return 0.0f;
    float sum = 0.0f;
    for (std::uint32_t k = 0; k < count; ++k)
        sum += m_pDeform[k].fAmount;
    return sum / static_cast<float>(count);
}

float CVehicle::GetDamageRatio() const
{
    const float wear = (m_WheelWear[0] + m_WheelWear[1] + m_WheelWear[2] + m_WheelWear[3]) / 4.0f;
    return (GetMeanDeformation() + m_fBodyDamage + wear) / 3.0f;
}

void CVehicle::BreakLightsNear(const DeformRecord* record)
{
    SetLightsNear(record, false);
}

void CVehicle::RestoreLightsNear(const DeformRecord* record)
{
    SetLightsNear(record, true);
}

// The lamps of mesh parts 1 (head, with their glare), 2 (rear) and 3 near a
// dented vertex: within three times a lamp's size it breaks; a repaired one
// comes back within three times its set's own size. A broken lamp has no
// size, so it is not broken again.
void CVehicle::SetLightsNear(const DeformRecord* record, bool restore)
{
    CDirectLightsEffect* lights = m_pDirectLights;
    if (!lights || !record || !m_pMesh)
        return;
    struct Lamps {
        std::uint32_t part;
        CLightsEffect* set;
        CLightsEffect* also;
    } const kinds[] = {{1, &lights->m_Head, &lights->m_Glare}, {2, &lights->m_Rear, nullptr},
                       {3, &lights->m_Third, nullptr}};
    const D3DXVECTOR3 dark(0.0f, 0.0f, 0.0f);
    for (const Lamps& kind : kinds) {
        const D3DXVECTOR3* points = m_pMesh->m_pPoints[kind.part];
        CLightsEffect& set = *kind.set;
        if (!points || !set.m_pSizes)
            continue;
        const std::uint32_t n = std::min(m_pMesh->m_nPoints[kind.part], set.m_nCount);
        for (std::uint32_t i = 0; i < n; ++i) {
            const D3DXVECTOR3 offset = record->vBase - points[i];
            const float d = Vec3Length(&offset);
            const float size = restore ? set.m_vHalfSize.y : set.m_pSizes[i].y;
            if (!(d < 3.0f * size))
                continue;
            set.SetLightSize(i, restore ? &set.m_vHalfSize : &dark);
            if (kind.also)
                kind.also->SetLightSize(i, restore ? &kind.also->m_vHalfSize : &dark);
        }
    }
}
