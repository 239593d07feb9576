// The driving figures: base values raised by the workshop levels and
// lowered by damage, the rating the shops compare, the repair price, and
// the chassis rebuilt for a new ride height.
#include "roadusers/Vehicle.h"

#include "shell/NumberRanges.h"

#include <btBulletDynamicsCommon.h>

#include <cmath>

void CVehicle::UpdatePerformance(int applyDamage, int)
{
    const float e = static_cast<float>(m_UpgradeLevels[ENGINE]);
    const float t = static_cast<float>(m_UpgradeLevels[TRANSMISSION]);
    const float c = static_cast<float>(m_UpgradeLevels[CHASSIS]);
    const float r = static_cast<float>(m_UpgradeLevels[TIRES]);
    const float p = applyDamage ? 1.0f : 0.0f;

    m_fPower = e * 200.0f + m_fBasePower;
    m_fTransmission = t * 0.2f + m_fBaseTransmission;
    m_fHandling = r * 0.1f + c * 0.1f + m_fBaseHandling;
    m_fFrontGrip = r * 0.2f + m_fBaseFrontGrip;
    m_fRearGrip = r * 0.2f + m_fBaseRearGrip;
    m_fRideHeightBonus = c * 0.25f;

    const float driven = m_nDrivenAxle == 1 ? m_WheelWear[2] + m_WheelWear[3] : m_WheelWear[0] + m_WheelWear[1];
    const float front = m_WheelWear[0] + m_WheelWear[1];
    const float rear = m_WheelWear[2] + m_WheelWear[3];
    m_fPower *= 1.0f - m_fBodyDamage * 0.5f * p;
    m_fTransmission *= (1.0f - m_fBodyDamage * 0.3f * p) - driven * 0.1f * p;
    m_fHandling *= 1.0f - front * 0.25f * p;
    m_fFrontGrip *= 1.0f - front * 0.25f * p;
    m_fRearGrip *= 1.0f - rear * 0.25f * p;
    m_fTopSpeedFigure = m_fPower / 1000.0f * 60.0f;
}

// A description with a huge power (or figures gone infinite) would take the
// rating past the int range, where a plain conversion is undefined: the
// rating stops at the range's ends instead, and a not-a-number rating is 0.
int CVehicle::GetPerformanceRating(int applyDamage, int extra)
{
    UpdatePerformance(applyDamage, extra);
    double rating =
        (double{m_fTransmission} + m_fHandling + (double{m_fFrontGrip} + m_fRearGrip) / 4.0) * m_fTopSpeedFigure * 20.0;
    if (std::fabs(rating) < 2147483648.0)
        rating = std::trunc(static_cast<float>(rating));
    return SaturateToInt(rating);
}

int CVehicle::GetRepairPrice(int extra)
{
    const double undamaged = GetPerformanceRating(0, extra);
    const double damaged = GetPerformanceRating(1, extra);
    return SaturateToInt(std::trunc((undamaged - damaged) * 0.2));
}

// The new compound goes onto the body before the old one is deleted, so the
// body never points at a freed shape; the shared hull is never deleted.
void CVehicle::UpdatePhysicsProperties()
{
    if (!m_pChassisShape || !m_pRigidBody || !HasPhysicsModel())
        return;
    if (m_bPhysicsActive)
        SetPhysicsActive(0);
    const float minY = std::fabs(m_pMesh->m_pBoxes[VEHICLE_MESH_COLLISION_PART][0].vMin.y);
    m_vCentreOffset.y = (m_fRideHeightBonus + 0.5f) * minY;
    m_pMesh->BuildConvexHullShape();
    if (!m_pMesh->m_pConvexHullShape)
        return;
    btTransform child;
    child.setIdentity();
    child.setOrigin(btVector3(m_vCentreOffset.x, m_vCentreOffset.y, m_vCentreOffset.z));
    auto* compound = new btCompoundShape();
    compound->addChildShape(child, m_pMesh->m_pConvexHullShape);
    btVector3 inertia(0, 0, 0);
    compound->calculateLocalInertia(m_fMass, inertia);
    m_pRigidBody->setCollisionShape(compound);
    m_pRigidBody->setMassProps(m_fMass, inertia);
    delete m_pChassisShape;
    m_pChassisShape = compound;
    delete m_pOwnBoxShape;
    m_pOwnBoxShape = nullptr;
    if (m_pRaycastVehicle) {
        const D3DXVECTOR3* wheel = m_pMesh->m_pPoints[VEHICLE_MESH_WHEEL_PART];
        for (int i = 0; i < m_pRaycastVehicle->getNumWheels() && i < 4; ++i)
            m_pRaycastVehicle->getWheelInfo(i).m_chassisConnectionPointCS.setY(wheel[i].y + m_vCentreOffset.y);
    }
    SetPhysicsActive(1);
}
