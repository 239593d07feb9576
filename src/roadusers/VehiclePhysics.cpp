// A car's place in the world: spawning, the chassis body on its compound
// shape and the raycast vehicle, taking them into and out of the physics
// world, and releasing everything the car owns.
#include "roadusers/Vehicle.h"

#include "game/PlayerStats.h"
#include "graphics/D3DRender.h"
#include "objects/ParticleEffects.h"
#include "roadusers/VehicleManager.h"
#include "shell/AudioManager.h"
#include "shell/Game.h"
#include "shell/VectorHelpers.h"
#include "world/Landscape.h"

#include <btBulletDynamicsCommon.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>

namespace {

D3DXVECTOR3 Row(const D3DXMATRIX& m, int row)
{
    return D3DXVECTOR3(m.m[row][0], m.m[row][1], m.m[row][2]);
}

btTransform PlacementTransform(const D3DXVECTOR3& pos, const D3DXVECTOR3& target, const D3DXVECTOR3& up)
{
    D3DXMATRIX placement;
    BuildLookAtMatrix(&placement, &pos, &target, &up);
    btTransform transform;
    MatrixToBtTransform(&placement, &transform);
    transform.setOrigin(btVector3(pos.x, pos.y, pos.z));
    return transform;
}

void CleanPairs(btRigidBody* body)
{
    if (body->getBroadphaseHandle() && g_Game.m_pBroadphase && g_Game.m_pDispatcher)
        g_Game.m_pBroadphase->getOverlappingPairCache()->cleanProxyFromPairs(body->getBroadphaseHandle(),
                                                                              g_Game.m_pDispatcher);
}

void ResetWheels(btRaycastVehicle* vehicle)
{
    vehicle->resetSuspension();
    for (int i = 0; i < vehicle->getNumWheels(); ++i)
        vehicle->getWheelInfo(i).m_raycastInfo.m_suspensionLength = 0.0f;
}

// Draws a factor 0.8 .. 1.0 for a rival's base figures.
float RivalFactor()
{
    return static_cast<float>(std::rand() % 201) / 1000.0f + 0.8f;
}

} // namespace

int CVehicle::HasPhysicsModel() const
{
    const CMeshRecord* mesh = m_pMesh;
    return mesh && mesh->m_nFrames[VEHICLE_MESH_COLLISION_PART] > 0 && mesh->m_pBoxes[VEHICLE_MESH_COLLISION_PART] &&
           mesh->m_nPoints[VEHICLE_MESH_WHEEL_PART] >= 5 && mesh->m_pPoints[VEHICLE_MESH_WHEEL_PART] &&
           m_pWheelModelA && m_pWheelModelB && m_pWheelModelA->m_pMesh;
}

void CVehicle::Spawn(const D3DXVECTOR3* pos, const D3DXVECTOR3* target, const D3DXVECTOR3* up, int controlMode,
                     int kind, int resetRoute)
{
    D3DXVECTOR3 at, look, upward;
    if (!pos) {
        at = Row(m_matPlacement, 3);
        look = at + Row(m_matPlacement, 2) * 100.0f;
        upward = Row(m_matPlacement, 1);
    } else {
        at = *pos;
        look = *target;
        upward = *up;
        m_nKind = kind;
    }
    SetLookAtTransform(&at, &look, &upward);
    m_matPlacement = m_matWorld;
    m_vBodyPos = at;
    m_vPosition = at;

    if (m_nKind != VEHICLE_PLAYER)
        m_nEngineSound = std::rand() % 8;
    const int names = m_nBodyTextureNames;
    if (m_nKind == VEHICLE_RIVAL) {
        DrawBodyTexture(1);
        m_nPaintGloss = 64 + 32 * (std::rand() % 3);
    } else if (m_nKind == VEHICLE_POLICE) {
        for (int c = 0; c < 3; ++c) {
            m_PaintColor[c] = static_cast<float>(m_nPaintRange) / 255.0f;
            m_PaintColor2[c] = static_cast<float>(m_nPaintRange2) / 255.0f;
        }
        m_PaintColor[3] = m_PaintColor2[3] = 1.0f;
        if (names > 0)
            DrawBodyTexture(0);
        m_nPaintGloss = 64;
    } else if (m_nKind == VEHICLE_TRAFFIC) {
        if (names > 0)
            DrawBodyTexture(0);
        m_nPaintGloss = 64 + 32 * (std::rand() % 2);
    }
    g_D3DRender.m_TextureManager.FillSolidTexture(&m_pPaintTexture, m_PaintColor, 8);

    BuildPhysics(m_fMass, &at, &look, &upward);
    SetControlMode(controlMode);
    if (resetRoute)
        m_nRoutePoints = m_nRouteIndex = 0;
    m_nTrailPoints = 0;
    m_nSmokeStamp = 0;
    m_fRepairFraction = m_fReplanTimer = m_fFlasherTimer = m_fSmokeTimer = m_fStuckTimer = 0.0f;
    m_fPoliceVoiceTimer = 0.0f;
    m_bObstacle = 0;
    m_fObstacleTimer = 0.0f;
}

// A rival races the player's car with its levels raised by the offer level
// and drawn figures around the player's own; without a player car it keeps
// its own figures at level 0.
static void TakeRivalFigures(CVehicle* car)
{
    const CVehicle* player = g_pPlayerVehicle;
    if (!player || player == car) {
        std::fill(std::begin(car->m_UpgradeLevels), std::end(car->m_UpgradeLevels), 0);
        return;
    }
    const int level = g_VehicleManager.GetRaceOfferLevel();
    const int bonus = g_PlayerStats.m_nRacesPlaced > 8 ? 1 : 0;
    car->m_UpgradeLevels[ENGINE] = player->m_UpgradeLevels[ENGINE] + bonus;
    car->m_UpgradeLevels[TRANSMISSION] = player->m_UpgradeLevels[TRANSMISSION] + level + bonus;
    car->m_UpgradeLevels[CHASSIS] = player->m_UpgradeLevels[CHASSIS] + level + 1 + bonus;
    car->m_UpgradeLevels[TIRES] = player->m_UpgradeLevels[TIRES] + level + 1 + bonus;
    car->m_fBasePower = player->m_fBasePower * RivalFactor();
    car->m_fBaseTransmission = player->m_fBaseTransmission * RivalFactor();
    car->m_fBaseHandling = player->m_fBaseHandling * RivalFactor();
    car->m_fBaseFrontGrip = player->m_fBaseFrontGrip * RivalFactor();
    car->m_fBaseRearGrip = player->m_fBaseRearGrip * RivalFactor();
}

// The compound of one child: a traffic car's own box (returned in ownBox,
// the car deletes it) or the model's shared hull, raised by height.
btCompoundShape* CVehicle::BuildChassisShape(float height, btCollisionShape** ownBox)
{
    *ownBox = nullptr;
    btTransform child;
    child.setIdentity();
    btCollisionShape* shape = nullptr;
    if (m_nKind == VEHICLE_TRAFFIC) {
        const MeshBox& box = m_pMesh->m_pBoxes[VEHICLE_MESH_COLLISION_PART][0];
        const D3DXVECTOR3 size = box.vMax - box.vMin;
        const D3DXVECTOR3 centre = (box.vMax + box.vMin) * 0.5f;
        auto* boxShape = new btBoxShape(btVector3(size.x * 0.475f, size.y * 0.475f, size.z * 0.475f));
        boxShape->setMargin(0.05f);
        child.setOrigin(btVector3(centre.x, centre.y + height, centre.z));
        shape = boxShape;
        *ownBox = boxShape;
    } else {
        m_pMesh->BuildConvexHullShape();
        shape = m_pMesh->m_pConvexHullShape;
        child.setOrigin(btVector3(0.0f, height, 0.0f));
    }
    if (!shape)
        return nullptr;
    auto* compound = new btCompoundShape();
    compound->addChildShape(child, shape);
    return compound;
}

void CVehicle::BuildPhysics(float mass, const D3DXVECTOR3* pos, const D3DXVECTOR3* target, const D3DXVECTOR3* up)
{
    if (!HasPhysicsModel())
        return;
    m_vBodyPos = *pos;
    const btTransform transform = PlacementTransform(*pos, *target, *up);
    m_fMass = mass;

    if (!m_pRigidBody) {
        if (m_nKind == VEHICLE_RIVAL)
            TakeRivalFigures(this);
        if (m_nKind == VEHICLE_RIVAL || m_nKind == VEHICLE_PLAYER)
            UpdatePerformance(1, 1);
        if (m_nKind == VEHICLE_TRAFFIC) {
            m_fFrontGrip *= 0.5f;
            m_fRearGrip *= 0.5f;
        }
        const float minY = std::fabs(m_pMesh->m_pBoxes[VEHICLE_MESH_COLLISION_PART][0].vMin.y);
        float h = minY * 0.25f;
        if (m_nKind == VEHICLE_PLAYER || m_nKind == VEHICLE_RIVAL)
            h = (m_fRideHeightBonus + 0.5f) * minY;
        else if (m_nKind == VEHICLE_POLICE)
            h = minY;
        m_vCentreOffset = D3DXVECTOR3(0.0f, h, 0.0f);

        btCollisionShape* ownBox = nullptr;
        btCompoundShape* compound = BuildChassisShape(h, &ownBox);
        if (!compound)
            return;
        m_pChassisShape = compound;
        m_pOwnBoxShape = ownBox;
        btVector3 inertia(0, 0, 0);
        compound->calculateLocalInertia(mass, inertia);
        auto* motion = new btDefaultMotionState(transform);
        motion->m_userPointer = nullptr;
        m_pRigidBody = new btRigidBody(mass, motion, compound, inertia);

        const D3DXVECTOR3* wheel = m_pMesh->m_pPoints[VEHICLE_MESH_WHEEL_PART];
        m_fSuspensionRest = (wheel[4].y - wheel[0].y - m_fWheelRadius) / 2.0f;
        m_Tuning.m_suspensionStiffness = m_fSuspensionStiffness;
        m_Tuning.m_suspensionCompression = 2.5f;
        m_Tuning.m_suspensionDamping = m_fSuspensionDamping;
        m_Tuning.m_maxSuspensionTravelCm = m_fSuspensionRest * 300.0f;
        m_Tuning.m_frictionSlip = 5.0f;
        m_Tuning.m_maxSuspensionForce = VEHICLE_MAX_SUSPENSION_FORCE;
        m_pRaycastVehicle = new btRaycastVehicle(m_Tuning, m_pRigidBody, g_Game.m_pVehicleRaycaster);
        m_pRaycastVehicle->setCoordinateSystem(0, 1, 2);
        const float w = m_fWheelWidth / 2.5f;
        for (int i = 0; i < 4; ++i) {
            const float side = (i == 0 || i == 2) ? -w : w;
            const btVector3 connection(wheel[i].x + side, wheel[i].y + h, wheel[i].z);
            btWheelInfo& info = m_pRaycastVehicle->addWheel(connection, btVector3(0, -1, 0), btVector3(-1, 0, 0),
                                                            m_fSuspensionRest, m_fWheelRadius, m_Tuning, i < 2);
            info.m_frictionSlip = i < 2 ? m_fFrontGrip : m_fRearGrip;
            info.m_rollInfluence = i < 2 ? m_fFrontRollInfluence : m_fRearRollInfluence;
        }
    } else {
        if (btMotionState* motion = m_pRigidBody->getMotionState()) {
            auto* state = static_cast<btDefaultMotionState*>(motion);
            state->m_startWorldTrans = transform;
            state->m_graphicsWorldTrans = transform;
        }
        m_pRigidBody->setCenterOfMassTransform(transform);
        m_pRigidBody->setInterpolationWorldTransform(transform);
        CleanPairs(m_pRigidBody);
        if (m_pRaycastVehicle)
            m_pRaycastVehicle->resetSuspension();
        m_fSpeed = 0.0f;
        m_fEngineForce = 0.0f;
    }

    m_pRigidBody->setFriction(0.5f);
    m_pRigidBody->setDamping(0.1f, 0.1f);
    m_pRigidBody->setRestitution(0.0f);
    m_pRigidBody->setHitFraction(1.0f);
    m_pRigidBody->setLinearVelocity(btVector3(0, 0, 0));
    m_pRigidBody->setAngularVelocity(btVector3(0, 0, 0));
    m_pRigidBody->setActivationState(DISABLE_DEACTIVATION);
    m_pRigidBody->forceActivationState(DISABLE_DEACTIVATION);
    m_pRigidBody->setDeactivationTime(0.8f);
    m_pRigidBody->setSleepingThresholds(1.6f, 2.5f);
    m_pRigidBody->setUserPointer(this);
    g_Landscape.OnVehicleBodyBuilt(this);
    UpdateCameraDistance();
    m_fSpeed = m_fThrottleTarget = m_fEngineForce = m_fBrakeTarget = m_fBrake = 0.0f;
    m_bHandBrake = 0;
    m_fSteerInput = m_fSteering = 0.0f;
    m_vLinearVelocity = m_vAngularVelocity = D3DXVECTOR3(0, 0, 0);
}

void CVehicle::SetPhysicsActive(int active)
{
    active = active ? 1 : 0;
    if (active == m_bPhysicsActive || !m_pRigidBody || !m_pRaycastVehicle)
        return;
    btDiscreteDynamicsWorld* world = g_Game.m_pDynamicsWorld;
    if (!world)
        return;
    if (!active) {
        CleanPairs(m_pRigidBody);
        world->removeRigidBody(m_pRigidBody);
        world->removeVehicle(m_pRaycastVehicle);
        m_bInWorld = 0;
    } else {
        world->addRigidBody(m_pRigidBody);
        world->addVehicle(m_pRaycastVehicle);
        m_bInWorld = 1;
        m_vBodyPos -= m_vCentreOffset;
        ResetBody();
    }
    m_bPhysicsActive = active;
    ResetWheels(m_pRaycastVehicle);
}

void CVehicle::ResetBody()
{
    if (!m_pRigidBody)
        return;
    btTransform transform;
    MatrixToBtTransform(&m_matPlacement, &transform);
    transform.setOrigin(btVector3(m_vBodyPos.x, m_vBodyPos.y, m_vBodyPos.z));
    if (btMotionState* motion = m_pRigidBody->getMotionState()) {
        auto* state = static_cast<btDefaultMotionState*>(motion);
        state->m_startWorldTrans = transform;
        state->m_graphicsWorldTrans = transform;
    }
    m_pRigidBody->setCenterOfMassTransform(transform);
    m_pRigidBody->setWorldTransform(transform);
    m_pRigidBody->setInterpolationWorldTransform(transform);
    m_pRigidBody->setLinearVelocity(btVector3(m_vLinearVelocity.x, m_vLinearVelocity.y, m_vLinearVelocity.z));
}

// The shared hull belongs to the mesh and outlives every car of the model.
void CVehicle::DestroyPhysics()
{
    SetPhysicsActive(0);
    if (m_pRaycastVehicle && g_Game.m_pDynamicsWorld)
        g_Game.m_pDynamicsWorld->removeVehicle(m_pRaycastVehicle);
    delete m_pRaycastVehicle;
    m_pRaycastVehicle = nullptr;
    if (m_pRigidBody && g_Game.m_pDynamicsWorld)
        g_Game.m_pDynamicsWorld->removeRigidBody(m_pRigidBody);
    m_bInWorld = 0;
    // The body must not point at a deleted shape.
    DestroyRigidBody();
    delete m_pChassisShape;
    m_pChassisShape = nullptr;
    delete m_pOwnBoxShape;
    m_pOwnBoxShape = nullptr;
}

void CVehicle::Release()
{
    // The police count is the vehicle manager's and falls only when it
    // removes the police itself (arrest, shop visit) or clears the list: a
    // police car released on its own (out of reach, the race grid, a wreck
    // that turned traffic) stays counted. Lowering it here let one wreck
    // outlive a removal of the police and give the spawner a fifth car.
    std::memset(static_cast<void*>(m_Route), 0, sizeof(m_Route));
    m_nRoutePoints = m_nRouteIndex = 0;
    m_nTrailPoints = 0;
    if (m_pEngineSound && m_nEngineSound >= 0)
        g_AudioManager.ReleaseEngineSounds(static_cast<DWORD>(m_nEngineSound), this);
    g_AudioManager.StopImpactSounds(this);
    g_AudioManager.StopWheelSounds(this);
    g_AudioManager.StopHornSounds(this);
    m_pEngineSound = m_pWheelSound = m_pHornSound = nullptr;
    DestroyPhysics();
    for (CStaticObject** wheel : {&m_pWheelModelA, &m_pWheelModelB}) {
        if (*wheel) {
            (*wheel)->Release();
            delete *wheel;
            *wheel = nullptr;
        }
    }
    CStaticObject::Release();
    ReleaseBody();
    ReleaseBodyTexture();
    if (m_pPaintTexture)
        m_pPaintTexture->Release();
    m_pPaintTexture = nullptr;
    g_ParticleEffects.RemoveSparksOf(&m_matWorld);
}
