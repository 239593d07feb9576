#include "game/RaceResult.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <limits>

namespace {

constexpr std::int64_t kMaxMoney = std::numeric_limits<std::int32_t>::max();

bool Finished(std::int32_t place)
{
    return place >= 0;
}

bool Placed(std::int32_t place)
{
    return place >= 0 && place <= 2;
}

} // namespace

std::int32_t ClampMoney(std::int64_t value)
{
    return static_cast<std::int32_t>(std::clamp<std::int64_t>(value, 0, kMaxMoney));
}

RaceResultFigures ComputeRaceResult(const RaceResultInput& in)
{
    RaceResultFigures out{};
    out.points = Placed(in.place) ? std::max(0, 3 - in.place + in.level) : 0;
    const bool finished = Finished(in.place);
    double reward = 0.0;
    if (in.incidents == 0 && finished)
        reward += 100.0;
    reward -= 50.0 * static_cast<double>(in.pedestrians);
    if (in.pedestrians == 0 && finished)
        reward += 100.0;
    if (in.damageRise >= 1.0f)
        reward -= 10.0 * static_cast<double>(in.damageRise);
    reward = std::trunc(reward);
    if (Placed(in.place))
        reward += in.prizes[in.place];
    const double lo = std::numeric_limits<std::int32_t>::min(), hi = std::numeric_limits<std::int32_t>::max();
    out.reward = static_cast<std::int32_t>(std::isfinite(reward) ? std::clamp(reward, lo, hi) : lo);
    return out;
}

void FormatRaceResult(const RaceResultInput& in, const RaceResultFigures& figures,
                      char values[RESULT_ROWS][RESULT_VALUE_SIZE], char notes[RESULT_ROWS][RESULT_NOTE_SIZE])
{
    const bool finished = Finished(in.place);
    if (!finished)
        values[0][0] = '\0';
    else if (in.timeRace)
        std::snprintf(values[0], RESULT_VALUE_SIZE, "%.02f", in.clock);
    else
        std::snprintf(values[0], RESULT_VALUE_SIZE, "%d-st", in.place + 1);
    std::snprintf(values[1], RESULT_VALUE_SIZE, "%d", in.incidents);
    std::snprintf(values[2], RESULT_VALUE_SIZE, "%d", in.pedestrians);
    const float rise = std::clamp(in.damageRise, -2.0e9f, 2.0e9f);
    std::snprintf(values[3], RESULT_VALUE_SIZE, "%d", static_cast<int>(rise));
    std::snprintf(values[4], RESULT_VALUE_SIZE, "%d%%", in.damagePercentRise);
    std::snprintf(values[5], RESULT_VALUE_SIZE, "+%d", figures.points);
    std::snprintf(values[6], RESULT_VALUE_SIZE, "%+d$", figures.reward);

    if (!finished)
        std::snprintf(notes[0], RESULT_NOTE_SIZE, "LEFT");
    else if (!Placed(in.place))
        notes[0][0] = '\0';
    else
        std::snprintf(notes[0], RESULT_NOTE_SIZE, "(bonus +%d$)", in.prizes[in.place]);
    if (finished && in.incidents == 0)
        std::snprintf(notes[1], RESULT_NOTE_SIZE, "(bonus +100$)");
    else
        notes[1][0] = '\0';
    if (in.pedestrians != 0)
        std::snprintf(notes[2], RESULT_NOTE_SIZE, "(penalty -%lld$)", 50LL * in.pedestrians);
    else if (finished)
        std::snprintf(notes[2], RESULT_NOTE_SIZE, "(bonus +100$)");
    else
        notes[2][0] = '\0';
    if (in.damageRise >= 1.0f)
        std::snprintf(notes[3], RESULT_NOTE_SIZE, "(treatment -%d$)", static_cast<int>(std::min(10.0f * rise, 2.0e9f)));
    else
        notes[3][0] = '\0';
    std::snprintf(notes[4], RESULT_NOTE_SIZE, "(overall %d%%)", in.carDamagePercent);
    notes[5][0] = '\0';
    std::snprintf(notes[6], RESULT_NOTE_SIZE, " (overall %d$)",
                  ClampMoney(static_cast<std::int64_t>(in.money) + figures.reward));
}

void BookRaceResult(CPlayerStats* stats, const RaceResultFigures& figures, std::int32_t place,
                    std::int32_t incidents, std::int32_t pedestrians)
{
    const bool finished = Finished(place);
    stats->m_nMoney = ClampMoney(static_cast<std::int64_t>(stats->m_nMoney) + figures.reward);
    stats->m_nRatingPoints = ClampMoney(static_cast<std::int64_t>(stats->m_nRatingPoints) + figures.points);
    stats->m_nFinesTotal = ClampMoney(static_cast<std::int64_t>(stats->m_nFinesTotal) + 20LL * pedestrians);
    const std::int64_t earned = 20LL * (incidents == 0 && finished) + 20LL * (pedestrians == 0 && finished);
    stats->m_nEarningsTotal = ClampMoney(static_cast<std::int64_t>(stats->m_nEarningsTotal) + earned);
}
