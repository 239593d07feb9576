// Which regime moves a car, and the move itself: the physics body near the
// camera and wherever something touches the car, elsewhere a simple speed
// model that slides the car along the ground without any physics cost.
#include "roadusers/Vehicle.h"

#include "game/CityLogic.h"
#include "roadusers/VehicleManager.h"
#include "shell/Game.h"
#include "shell/GameTimer.h"
#include "shell/Keywords.h"
#include "shell/VectorHelpers.h"
#include "world/Landscape.h"
#include "world/PropManager.h"

#include <btBulletDynamicsCommon.h>

#include <algorithm>
#include <cmath>

namespace {

constexpr float kNearReach = 20.0f;
constexpr float kChaseReach = 60.0f;

D3DXVECTOR3 Row(const D3DXMATRIX& m, int row)
{
    return D3DXVECTOR3(m.m[row][0], m.m[row][1], m.m[row][2]);
}

void SetRow3(D3DXMATRIX* m, int row, const D3DXVECTOR3& v)
{
    m->m[row][0] = v.x;
    m->m[row][1] = v.y;
    m->m[row][2] = v.z;
}

// Another car's sphere meets this one's.
bool OtherCarOverlaps(const CVehicle* car)
{
    const std::uint32_t n = std::min<std::uint32_t>(g_VehicleManager.m_nCars, VEHICLE_MANAGER_CARS);
    for (std::uint32_t i = 0; i < n; ++i) {
        const CVehicle* other = g_VehicleManager.m_Cars[i];
        if (other && other != car &&
            Vec3Distance(&other->m_vPosition, &car->m_vPosition) - car->m_fSphereRadius - other->m_fSphereRadius <
                0.0f)
            return true;
    }
    return false;
}

bool TouchesBridge(CVehicle* car)
{
    return g_PropManager.FindPropTouching(GTYPE_BRIDGE, &car->m_vPosition, car->m_fSphereRadius) != nullptr;
}

} // namespace

void CVehicle::UpdatePhysicsLod()
{
    const bool police = m_nKind == VEHICLE_POLICE;
    const float reach = (m_nAIState == AI_STATE_RACE || m_nAIState == AI_STATE_PURSUIT) ? kChaseReach : kNearReach;
    if (!m_bPhysicsActive) {
        if (police || m_fCameraDistance < reach || m_nWheelsInWater > 0 || TouchesBridge(this) ||
            OtherCarOverlaps(this))
            SetPhysicsActive(1);
        return;
    }
    if (police || !(m_fCameraDistance > reach) || m_nWheelsInWater > 0 || m_bTouched ||
        g_CityLogic.m_pCar == this || OtherCarOverlaps(this) || TouchesBridge(this))
        return;
    SetPhysicsActive(0);
}

void CVehicle::UpdateSpeedModel()
{
    const float dt = g_GameTimer.m_fDelta;
    float target = 0.06f * m_fEngineForce;
    if ((m_bObstacle && m_fSpeed < 1.0f) || m_bHandBrake)
        target = 0.0f;
    if (m_fSpeed < target)
        m_fSpeed = std::min(target, m_fSpeed + m_fThrottleTarget * 0.025f * dt * m_fTransmission /
                                                   (std::max(m_fEngineForce, 0.0f) / 200.0f + 1.0f));
    else if (m_fSpeed > target)
        m_fSpeed = std::max(target, m_fSpeed - 50.0f * dt * m_fTransmission * 0.2f);
    if (m_fBrake == 0.0f)
        return;
    // A crawling car held by an obstacle or the hand brake stands still; the
    // brake does not push it on backwards.
    if ((m_bObstacle || m_bHandBrake) && m_fSpeed < 1.0f) {
        m_fSpeed = 0.0f;
        return;
    }
    m_fSpeed -= dt * m_fTransmission * 10.0f;
}

void CVehicle::UpdateMotion()
{
    if (m_bPhysicsActive && m_pRigidBody)
        FollowBody();
    else
        DriveKinematic(g_GameTimer.m_fDelta);
    m_matPlacement = m_matWorld;
    D3DXVec3TransformCoord(&m_vPosition, &m_vSphereCentre, &m_matWorld);
    m_fRoadFactor = g_Landscape.GetRoadCentreFactor(&m_vPosition);
}

// The drawn car sits on the physics chassis.
void CVehicle::FollowBody()
{
    btTransform transform;
    if (btMotionState* motion = m_pRigidBody->getMotionState())
        motion->getWorldTransform(transform);
    else
        transform = m_pRigidBody->getWorldTransform();
    BtTransformToMatrix(&transform, &m_matWorld);
    D3DXVec3TransformCoord(&m_vBodyPos, &m_vCentreOffset, &m_matWorld);
    SetRow3(&m_matWorld, 3, m_vBodyPos);
    const btVector3& v = m_pRigidBody->getLinearVelocity();
    const btVector3& w = m_pRigidBody->getAngularVelocity();
    m_vLinearVelocity = D3DXVECTOR3(v.x(), v.y(), v.z());
    m_vAngularVelocity = D3DXVECTOR3(w.x(), w.y(), w.z());
    g_Landscape.OnVehicleStep(this);
}

// The car slides along its forward row, turns with its steering (the other
// way when reversing) and is laid on the ground under its wheels.
void CVehicle::DriveKinematic(float dt)
{
    const D3DXVECTOR3 forward = Row(m_matWorld, 2);
    D3DXVECTOR3 position = Row(m_matWorld, 3) + forward * (m_fSpeed / 3.6f * dt);
    if (std::fabs(m_fSpeed) > 0.1f) {
        const D3DXVECTOR3 up = Row(m_matWorld, 1);
        D3DXMATRIX turn;
        D3DXMatrixRotationAxis(&turn, &up, m_fSteering / 10.0f * dt * m_fSpeed);
        for (int row = 0; row < 3; ++row) {
            const D3DXVECTOR3 before = Row(m_matWorld, row);
            D3DXVECTOR3 axis;
            D3DXVec3TransformNormal(&axis, &before, &turn);
            SetRow3(&m_matWorld, row, axis);
        }
    }
    SetRow3(&m_matWorld, 3, position);
    m_vBodyPos = position;
    PlaceOnGround();

    m_vLinearVelocity = Row(m_matWorld, 2) * (m_fSpeed / 3.6f);
    m_vAngularVelocity = D3DXVECTOR3(0.0f, 0.0f, 0.0f);
    if (m_pRigidBody) {
        m_pRigidBody->setLinearVelocity(btVector3(m_vLinearVelocity.x, m_vLinearVelocity.y, m_vLinearVelocity.z));
        m_pRigidBody->setAngularVelocity(btVector3(0, 0, 0));
    }
    m_matPlacement = m_matWorld;
    ResetBody();
}

// The front and rear wheel pairs stand on the terrain; the car is tilted to
// the plane they give. A model with fewer than four wheel points, or points
// that give no plane, keeps its matrix.
void CVehicle::PlaceOnGround()
{
    if (!m_pMesh || m_pMesh->m_nPoints[VEHICLE_MESH_WHEEL_PART] < 4 || !m_pMesh->m_pPoints[VEHICLE_MESH_WHEEL_PART])
        return;
    D3DXVECTOR3 p[4];
    for (int i = 0; i < 4; ++i) {
        const D3DXVECTOR3& local = m_pMesh->m_pPoints[VEHICLE_MESH_WHEEL_PART][i];
        D3DXVec3TransformCoord(&p[i], &local, &m_matWorld);
        p[i].y = GetExactAltitude(&p[i]) + m_fWheelRadius - local.y;
    }
    const D3DXVECTOR3 front = (p[0] + p[1]) * 0.5f, rear = (p[2] + p[3]) * 0.5f;
    const D3DXVECTOR3 at(m_vBodyPos.x, (front.y + rear.y) * 0.5f, m_vBodyPos.z);
    const D3DXVECTOR3 axle = p[3] - p[2];
    D3DXVECTOR3 up;
    Vec3SideDirection(&up, &front, &at, &axle);
    const D3DXVECTOR3 ahead = front - at;
    if (!(Vec3Length(&up) > 1e-6f) || !(Vec3Length(&ahead) > 1e-6f))
        return;
    if (up.y < 0.0f)
        up = -up;
    Vec3Normalize(&up, &up);
    BuildLookAtMatrix(&m_matWorld, &at, &front, &up);
    m_vBodyPos = at;
}
