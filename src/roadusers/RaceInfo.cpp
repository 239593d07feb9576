#include "roadusers/RaceInfo.h"

#include "roadusers/Vehicle.h"
#include "shell/VectorHelpers.h"

#include <algorithm>
#include <cmath>
#include <initializer_list>

RaceInfo g_RaceInfo;
RaceInfo g_FinishedRaceInfo;
RaceCarFigures g_RaceStartCarFigures;

float RouteLength(const D3DXVECTOR3* points, std::uint32_t count)
{
    float length = 0.0f;
    for (std::uint32_t i = 1; i < count; ++i)
        length += Vec3Distance(&points[i - 1], &points[i]);
    return length;
}

std::int32_t RoundPrizeUp(std::int32_t prize)
{
    return (prize / 50 + 1) * 50;
}

void SetRaceFigures(RaceInfo* info, float length, int timeRace, int level, int gridSize, int ratingPoints)
{
    info->m_bTimeRace = timeRace ? 1 : 0;
    info->m_nLevel = level;
    info->m_fLength = length;
    int first;
    if (timeRace) {
        info->m_nCars = 1;
        info->m_nGridSize = 0;
        const float third = length / static_cast<float>(2 * level + 15);
        info->m_fTimeLimit[2] = third;
        info->m_fTimeLimit[1] = 0.85f * third;
        info->m_fTimeLimit[0] = 0.85f * info->m_fTimeLimit[1];
        first = static_cast<int>(static_cast<float>(level + 1) * length * 0.75f) + 10 * ratingPoints + 1500;
        info->m_nDamageLimit = 75;
    } else {
        info->m_nGridSize = info->m_nCars = gridSize;
        info->m_nPrizeLevel = level;
        first = static_cast<int>(static_cast<float>(gridSize) * length * static_cast<float>(level + 1) / 6.0f) +
                10 * ratingPoints + 1500;
        info->m_nDamageLimit = 50;
    }
    info->m_nPrize[0] = RoundPrizeUp(first);
    info->m_nPrize[1] = RoundPrizeUp(static_cast<int>(static_cast<float>(first) * 0.6f));
    info->m_nPrize[2] = RoundPrizeUp(static_cast<int>(static_cast<float>(first) * 0.3f));
}

namespace {

D3DXVECTOR3 SideAxis(const D3DXVECTOR3& from, const D3DXVECTOR3& to)
{
    D3DXMATRIX view;
    const D3DXVECTOR3 up(0.0f, 1.0f, 0.0f);
    D3DXMatrixLookAtLH(&view, &from, &to, &up);
    return D3DXVECTOR3(view._11, view._21, view._31);
}

} // namespace

void SetRaceRouteShape(RaceInfo* info, const D3DXVECTOR3* route, std::uint32_t count, float scaleX, float scaleY)
{
    info->m_vCentre = D3DXVECTOR3(0.0f, 0.0f, 0.0f);
    info->m_fRadius = 0.0f;
    info->m_nMapVertices = 0;
    if (count == 0)
        return;
    for (std::uint32_t i = 0; i < count; ++i)
        info->m_vCentre += route[i];
    info->m_vCentre *= 1.0f / static_cast<float>(count);
    for (std::uint32_t i = 0; i < count; ++i) {
        const D3DXVECTOR3 flat(route[i].x, info->m_vCentre.y, route[i].z);
        info->m_fRadius = std::fmax(info->m_fRadius, Vec3Distance(&flat, &info->m_vCentre));
    }
    const float reach = info->m_fRadius + 30.0f;
    for (std::uint32_t i = 0; i + 1 < count && info->m_nMapVertices + 2 <= RACE_MAP_VERTICES; i += 3) {
        const std::uint32_t ahead = i + 3 < count - 1 ? i + 3 : count - 1;
        const D3DXVECTOR3 side = SideAxis(route[i], route[ahead]);
        for (float sign : {-1.0f, 1.0f}) {
            const D3DXVECTOR3 p = route[i] + side * (6.0f * sign) - info->m_vCentre;
            RaceMapVertex& v = info->m_MapVertices[info->m_nMapVertices++];
            v.x = (p.x / reach * 80.0f + 151.0f) * scaleX;
            v.y = (-p.z / reach * 72.0f + 344.0f) * scaleY;
            v.z = 0.0f;
            v.rhw = 1.0f;
            v.colour = (92u << 24) | (200u << 16) | (150u << 8);
            v.u = v.v = 0.0f;
        }
    }
}

int TimeRacePlace(float clock, const float limits[3])
{
    for (int place = 0; place < 3; ++place)
        if (clock <= limits[place])
            return place;
    return 3;
}

// Stable, so rivals level on distance keep their order from frame to frame
// instead of trading places.
void SortRacePlaces(CVehicle** cars, std::uint32_t count, std::uint32_t finished)
{
    std::stable_sort(cars, cars + count, [](const CVehicle* a, const CVehicle* b) {
        return a->m_fRemainingDistance < b->m_fRemainingDistance;
    });
    for (std::uint32_t i = 0; i < count; ++i)
        cars[i]->m_nRacePlace = static_cast<std::int32_t>(finished + i);
}

void CopyRaceCarFigures(RaceCarFigures* out, const CVehicle* car)
{
    *out = RaceCarFigures{car->m_fLine4Value,       car->m_fBaseLine4Value,   car->m_fMass,
                          car->m_fBaseMass,         car->m_fTopSpeedFigure,   car->m_fTransmission,
                          car->m_fBaseTransmission, car->m_fPower,            car->m_fBasePower,
                          car->m_fHandling,         car->m_fBaseHandling,     car->m_fRideHeightBonus,
                          car->m_fFrontGrip,        car->m_fBaseFrontGrip,    car->m_fRearGrip,
                          car->m_fBaseRearGrip,     car->m_fSuspensionStiffness, car->m_fSuspensionDamping,
                          car->m_fBodyDamage,       car->m_fRaceStartDamage};
}
