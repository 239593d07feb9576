#include "game/PlayerStatsRecord.h"

#include "shell/SaveRecord.h"

void WritePlayerStats(CSaveWriter& out, const CPlayerStats& s)
{
    out.I32(s.m_nMoney);
    out.F32(s.m_fPlayTime);
    out.I32(s.m_nRacesPlaced);
    out.I32(s.m_nRoadIncidents);
    out.I32(s.m_nPedestriansHit);
    out.I32(s.m_nArrests);
    out.I32(s.m_nFinesTotal);
    out.I32(s.m_nEarningsTotal);
    out.F32(s.m_fDamageTotal);
    out.I32(s.m_nRatingPoints);
    out.I32(s.m_bPursuit);
    out.F32(s.m_fCriminalLevel);
    out.F32(s.m_fArrestTimer);
}

bool ReadPlayerStats(CSaveReader& in, CPlayerStats* stats)
{
    CPlayerStats s{};
    in.I32(&s.m_nMoney);
    in.F32(&s.m_fPlayTime);
    in.I32(&s.m_nRacesPlaced);
    in.I32(&s.m_nRoadIncidents);
    in.I32(&s.m_nPedestriansHit);
    in.I32(&s.m_nArrests);
    in.I32(&s.m_nFinesTotal);
    in.I32(&s.m_nEarningsTotal);
    in.F32(&s.m_fDamageTotal);
    in.I32(&s.m_nRatingPoints);
    in.I32(&s.m_bPursuit);
    in.F32(&s.m_fCriminalLevel);
    in.F32(&s.m_fArrestTimer);
    if (!in.Ok())
        return false;
    *stats = s;
    return true;
}
