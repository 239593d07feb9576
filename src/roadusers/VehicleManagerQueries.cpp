// What the drivers, props and scenes ask the vehicle manager about cars.
#include "roadusers/Vehicle.h"
#include "roadusers/VehicleManager.h"
#include "shell/VectorHelpers.h"

namespace {

D3DXVECTOR3 Row(const D3DXMATRIX& m, int row)
{
    return D3DXVECTOR3(m.m[row][0], m.m[row][1], m.m[row][2]);
}

// The point the car drives towards, when it has one.
bool RouteTarget(const CVehicle& car, D3DXVECTOR3* out)
{
    if (car.m_nRoutePoints == 0 || car.m_nRouteIndex >= car.m_nRoutePoints ||
        car.m_nRouteIndex >= VEHICLE_ROUTE_SIZE)
        return false;
    *out = car.m_Route[car.m_nRouteIndex];
    return true;
}

// The frame a car is judged in by the look-ahead of others: the player's
// own axes, else a frame looking along its route. A car with no route target,
// or standing on it, has no direction there and keeps its own axes.
D3DXMATRIX LookAheadFrame(const CVehicle& other)
{
    D3DXVECTOR3 target;
    const bool player = &other == g_pPlayerVehicle && other.m_nControlMode == 2;
    if (player || !RouteTarget(other, &target)) {
        return other.m_matWorld;
    }
    D3DXVECTOR3 flat = target - other.m_vPosition;
    flat.y = 0.0f;
    if (Vec3LengthSq(&flat) < 1e-6f)
        return other.m_matWorld;
    const D3DXVECTOR3 up(0.0f, 1.0f, 0.0f);
    D3DXMATRIX frame;
    BuildLookAtMatrix(&frame, &other.m_vPosition, &target, &up);
    return frame;
}

float MovingSpeed(const CVehicle& car)
{
    return car.m_fSpeed > 0.0f ? Vec3Length(&car.m_vLinearVelocity) : 0.0f;
}

} // namespace

CVehicle* CVehicleManager::FindNearestVehicle(const D3DXVECTOR3* position, float radius, const CVehicle* exclude,
                                              const CVehicle* startAfter) const
{
    const int after = IndexOf(startAfter);
    float best = 100000.0f;
    CVehicle* found = nullptr;
    for (std::uint32_t i = static_cast<std::uint32_t>(after + 1); i < m_nCars; ++i) {
        CVehicle* car = m_Cars[i];
        if (car == exclude)
            continue;
        const float gap = Vec3Distance(position, &car->m_vPosition) - car->m_fSphereRadius;
        if (gap < radius && gap < best) {
            best = gap;
            found = car;
        }
    }
    return found;
}

CVehicle* CVehicleManager::FindPursuingPolice(const D3DXVECTOR3* position, float radius) const
{
    float best = 100000.0f;
    CVehicle* found = nullptr;
    for (std::uint32_t i = 0; i < m_nCars; ++i) {
        CVehicle* car = m_Cars[i];
        if (car->m_nAIState != AI_STATE_PURSUIT && car->m_nPrevAIState != AI_STATE_PURSUIT)
            continue;
        const float gap = Vec3Distance(position, &car->m_vPosition) - car->m_fSphereRadius;
        if (gap < radius && gap < best) {
            best = gap;
            found = car;
        }
    }
    return found;
}

CVehicle* CVehicleManager::FindVehicleInSphere(const CVehicle* exclude, const D3DXVECTOR3* centre,
                                               float radius) const
{
    for (std::uint32_t i = 0; i < m_nCars; ++i) {
        CVehicle* car = m_Cars[i];
        if (car != exclude && Vec3Distance(centre, &car->m_vPosition) - radius - car->m_fSphereRadius < 0.0f)
            return car;
    }
    return nullptr;
}

CVehicle* CVehicleManager::FindActiveVehicleInSphere(const CVehicle* exclude, const D3DXVECTOR3* centre,
                                                     float radius) const
{
    for (std::uint32_t i = 0; i < m_nCars; ++i) {
        CVehicle* car = m_Cars[i];
        if (car != exclude && car->m_bInWorld &&
            Vec3Distance(centre, &car->m_vPosition) - radius - car->m_fSphereRadius < 0.0f)
            return car;
    }
    return nullptr;
}

// Each other car near enough is a box stretched ahead by its own motion;
// the searching car's ray along its heading either meets it or not. Traffic
// stops for the first car met in list order, a rival for the nearest.
CVehicle* CVehicleManager::FindCarAhead(const CVehicle* car, const CVehicle* startAfter) const
{
    if (!car)
        return nullptr;
    const bool rival = car->m_nKind == VEHICLE_RIVAL;
    const float reach = MovingSpeed(*car) + 1.5f * car->m_fSphereRadius;
    D3DXVECTOR3 target;
    const D3DXVECTOR3 heading =
        RouteTarget(*car, &target) ? target - car->m_vPosition : Row(car->m_matWorld, 2);
    CVehicle* best = nullptr;
    float bestDistance = 10000.0f;
    for (std::uint32_t i = static_cast<std::uint32_t>(IndexOf(startAfter) + 1); i < m_nCars; ++i) {
        CVehicle* other = m_Cars[i];
        if (other == car || !other->m_pMesh)
            continue;
        const float distance = Vec3Distance(&car->m_vPosition, &other->m_vPosition);
        if (!(distance - 1.5f * other->m_fSphereRadius < reach))
            continue;
        const float otherReach = (rival ? 0.0f : MovingSpeed(*other)) + 1.5f * other->m_fSphereRadius;
        const D3DXVECTOR3 extent = other->m_pMesh->m_vBoxSize;
        const D3DXVECTOR3 boxMin(-1.5f * extent.x / 2.0f, -4.0f * extent.y / 2.0f, -1.5f * extent.z / 2.0f);
        const D3DXVECTOR3 boxMax(1.5f * extent.x / 2.0f, 4.0f * extent.y / 2.0f, 1.5f * extent.z / 2.0f + otherReach);
        const D3DXMATRIX frame = LookAheadFrame(*other);
        D3DXMATRIX inverse;
        if (!D3DXMatrixInverse(&inverse, nullptr, &frame))
            continue;
        D3DXVECTOR3 from, direction;
        D3DXVec3TransformCoord(&from, &car->m_vPosition, &inverse);
        D3DXVec3TransformNormal(&direction, &heading, &inverse);
        if (!D3DXBoxBoundProbe(&boxMin, &boxMax, &from, &direction))
            continue;
        if (!rival)
            return other;
        if (distance < bestDistance) {
            bestDistance = distance;
            best = other;
        }
    }
    return best;
}
