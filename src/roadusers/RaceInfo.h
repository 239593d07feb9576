// The race on offer or running: its kind, limits, prizes, clock and the route
// drawn on the HUD map. All zeros while no race is offered.
#pragma once

#include "platform/D3DX9.h"

#include <cstdint>

class CVehicle;

// A 2,048-point route gives 683 vertex pairs; the map keeps the first 682.
enum { RACE_MAP_VERTICES = 1364, RACE_MIN_ROUTE_POINTS = 100 };

struct RaceMapVertex {
    float x, y, z, rhw;
    std::uint32_t colour; // ARGB
    float u, v;
};

struct RaceInfo {
    std::int32_t m_bTimeRace;
    std::int32_t m_nDamageLimit; // percent of the car's damage ratio
    std::int32_t m_nPrize[3];
    float m_fTimeLimit[3]; // time race: seconds for first, second, third place
    float m_fClock;        // seconds of game time since the start
    std::int32_t m_nLevel;
    float m_fLength;
    std::int32_t m_nCars; // still racing, the player included
    std::int32_t m_nGridSize;
    std::int32_t m_nPrizeLevel;
    std::int32_t m_bGridReady;
    D3DXVECTOR3* m_pRoute;
    D3DXVECTOR3 m_vCentre;
    float m_fRadius;
    RaceMapVertex m_MapVertices[RACE_MAP_VERTICES];
    std::uint32_t m_nMapVertices;
};

// The player car's figures when the race started; the result compares
// against them.
struct RaceCarFigures {
    float m_fLine4Value, m_fBaseLine4Value;
    float m_fMass, m_fBaseMass;
    float m_fTopSpeedFigure;
    float m_fTransmission, m_fBaseTransmission;
    float m_fPower, m_fBasePower;
    float m_fHandling, m_fBaseHandling;
    float m_fRideHeightBonus;
    float m_fFrontGrip, m_fBaseFrontGrip;
    float m_fRearGrip, m_fBaseRearGrip;
    float m_fSuspensionStiffness, m_fSuspensionDamping;
    float m_fBodyDamage;
    float m_fRaceStartDamage;
};

extern RaceInfo g_RaceInfo;
// The record of the last race as it stood when the race was finished, before
// it was cleared: a result opened after the finish (a race given up, or
// stopped by an arrest or a shop) is built from it.
extern RaceInfo g_FinishedRaceInfo;
extern RaceCarFigures g_RaceStartCarFigures;

// Sum of the distances between consecutive points.
float RouteLength(const D3DXVECTOR3* points, std::uint32_t count);
// Prizes are paid in fifties, always rounded up to the next one.
std::int32_t RoundPrizeUp(std::int32_t prize);
// The kind, limits, prizes and damage limit of an offer from its route
// length, level (0..2), grid size (4, 6 or 8; ignored in a time race) and
// the player's rating points. The rest of the record is left alone.
void SetRaceFigures(RaceInfo* info, float length, int timeRace, int level, int gridSize, int ratingPoints);
// Centre, radius and HUD map strip of the route, at the renderer's screen
// scale.
void SetRaceRouteShape(RaceInfo* info, const D3DXVECTOR3* route, std::uint32_t count, float scaleX, float scaleY);
// Time race: 0..2 within the limits, 3 past the third.
int TimeRacePlace(float clock, const float limits[3]);
// Rival race: the grid sorted by remaining distance (nearest first; equals
// keep their order), places written from the finished count on.
void SortRacePlaces(CVehicle** cars, std::uint32_t count, std::uint32_t finished);
void CopyRaceCarFigures(RaceCarFigures* out, const CVehicle* car);
// Trims bridge-touching points off the route's end; the count left, or 0
// when fewer than the shortest race remain.
std::uint32_t TrimRaceRoute(const D3DXVECTOR3* route, std::uint32_t count);
