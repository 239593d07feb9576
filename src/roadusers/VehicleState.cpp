// Putting a car back on the road and the race-route queries.
#include "roadusers/Vehicle.h"

#include "game/PlayerStats.h"
#include "roadusers/VehicleManager.h"
#include "shell/Game.h"
#include "shell/GameTimer.h"
#include "shell/Input.h"
#include "shell/VectorHelpers.h"
#include "world/Landscape.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace {

D3DXVECTOR3 Row(const D3DXMATRIX& m, int row)
{
    return D3DXVECTOR3(m.m[row][0], m.m[row][1], m.m[row][2]);
}

float Length(const D3DXVECTOR3& v)
{
    return std::sqrt(v.x * v.x + v.y * v.y + v.z * v.z);
}

const RouteCell* LinkedCell(const RouteCell& cell)
{
    if (cell.m_nLinkCount == 0)
        return nullptr;
    const std::uint32_t link = cell.m_nLinks[std::rand() % std::min<int>(cell.m_nLinkCount, 4)];
    const std::uint32_t row = link / LANDSCAPE_GRID, column = link % LANDSCAPE_GRID;
    if (row >= LANDSCAPE_GRID)
        return nullptr;
    return &g_Landscape.Route(static_cast<int>(column), static_cast<int>(row));
}

} // namespace

// Where the restore key puts a car: the nearest road cell facing one of its
// neighbours, or during a race the route point it drives to. False when
// there is no such place.
static bool FindRoadPlace(const CVehicle& car, D3DXVECTOR3* at, D3DXVECTOR3* look)
{
    const D3DXVECTOR3 lift(0.0f, 2.5f, 0.0f);
    if (g_VehicleManager.IsRaceRunning() && car.m_nRoutePoints >= 2) {
        const std::uint32_t i = std::min(car.m_nRouteIndex, car.m_nRoutePoints - 2);
        *at = car.m_Route[i] + lift;
        *look = car.m_Route[i + 1] + lift;
        return true;
    }
    D3DXVECTOR3 position = Row(car.m_matPlacement, 3);
    const RouteCell* cell = g_Landscape.FindNearestRouteCell(ROUTE_ROAD, &position, 200);
    if (!cell)
        return false;
    const D3DXVECTOR3 raise(0.0f, 2.0f, 0.0f);
    *at = cell->m_vPosition + raise;
    const RouteCell* next = LinkedCell(*cell);
    // A cell without links leaves the car facing where it faced.
    *look = next ? next->m_vPosition + raise : *at + Row(car.m_matPlacement, 2) * 100.0f;
    return true;
}

void CVehicle::ResetToRoad(const D3DXVECTOR3* pos, const D3DXVECTOR3* target)
{
    g_bActRestore = 0;
    const bool player = this == g_pPlayerVehicle;
    if (player && m_nControlMode == 1)
        return;
    if (player && !pos && g_PlayerStats.m_fCriminalLevel > 0.25f && g_VehicleManager.FindPursuingPolice(&m_vPosition, 10.0f))
        return;
    const D3DXVECTOR3 up(0.0f, 1.0f, 0.0f);
    if (!pos) {
        if (player && Length(m_vLinearVelocity) + Length(m_vAngularVelocity) > 1.5f)
            return;
        D3DXVECTOR3 at, look;
        if (!FindRoadPlace(*this, &at, &look))
            return;
        Spawn(&at, &look, &up, m_nControlMode, m_nKind, 0);
        CWorldCamera* camera = g_Game.m_pCamera;
        if (player && camera && (camera->m_nMode < 1 || camera->m_nMode > 3)) {
            camera->SetMode(camera->m_nLastView, this);
            camera->ResetChaseOffsets();
            g_GameTimer.m_fTimeScale = 1.0f;
        }
    } else {
        const D3DXVECTOR3 look = target ? *target : *pos + Row(m_matPlacement, 2) * 100.0f;
        Spawn(pos, &look, &up, m_nControlMode, m_nKind, 0);
        if (player && g_Game.m_pCamera)
            g_Game.m_pCamera->ResetChaseOffsets();
    }
    m_nResetStamp = static_cast<std::int32_t>(g_GameTimer.m_fGameTime);
    m_pLastContact = nullptr;
}

// Signed: a route shorter than five points, or an index past its fifth
// last point, leaves nothing to drive.
void CVehicle::UpdateRemainingDistance()
{
    m_fRemainingDistance = 0.0f;
    const std::int64_t left = std::int64_t{g_VehicleManager.m_nRaceRoutePoints} - 5 - m_nRouteIndex;
    if (left < 0 || m_nRouteIndex >= VEHICLE_ROUTE_SIZE)
        return;
    const D3DXVECTOR3 position = Row(m_matPlacement, 3);
    m_fRemainingDistance =
        static_cast<float>(left) * g_Landscape.m_fCellSize + Length(position - m_Route[m_nRouteIndex]);
}

int CVehicle::FindNearestRouteIndex(const D3DXVECTOR3* pos) const
{
    if (m_nRoutePoints == 0)
        return -1;
    const std::int64_t last = std::min<std::int64_t>(m_nRoutePoints, VEHICLE_ROUTE_SIZE) - 2;
    float best = 100000.0f;
    int found = -1;
    for (std::int64_t i = m_nRouteIndex; i <= last; ++i) {
        const float d = Length(*pos - m_Route[i]);
        if (!(d < best))
            break;
        best = d;
        found = static_cast<int>(i);
    }
    return found;
}
