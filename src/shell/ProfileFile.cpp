#include "shell/ProfileFile.h"

#include "game/GameInterface.h"
#include "game/PlayerStatsRecord.h"
#include "roadusers/Vehicle.h"
#include "shell/SaveRecord.h"

#include <cstdio>
#include <cstring>

namespace {

// What follows the car record: view, timer, history.
constexpr std::size_t kTailSize = 4 + PROFILE_TIMER_SIZE + MESSAGE_HISTORY_RECORD_SIZE;

bool ParseModelPath(CSaveReader& in, char* path)
{
    std::uint32_t length = 0;
    if (!in.U32(&length) || length >= PROFILE_PATH_SIZE || !in.Bytes(path, length + 1))
        return false;
    path[length] = '\0';
    return true;
}

// The car record's size follows from its dent count, which must account
// for exactly the bytes between the record's fixed part and the tail.
bool ParseCarRecord(CSaveReader& in, CProfileContents* out, const std::uint8_t* data)
{
    const std::size_t start = in.Position();
    std::uint32_t count = 0;
    if (!in.Skip(VEHICLE_RECORD_COUNT_OFFSET) || !in.U32(&count) || in.Remaining() < kTailSize)
        return false;
    const std::uint64_t items = std::uint64_t{count} * VEHICLE_RECORD_ITEM_SIZE;
    if (in.Remaining() - kTailSize != items || !in.Skip(static_cast<std::size_t>(items)))
        return false;
    out->pCarRecord = data + start;
    out->nCarRecordSize = in.Position() - start;
    return true;
}

} // namespace

int ClampLastView(int view)
{
    return view >= 1 && view <= 3 ? view : 2;
}

bool ParseProfile(const std::uint8_t* data, std::size_t size, CProfileContents* out)
{
    if (!data || !out)
        return false;
    CSaveReader in(data, size);
    CProfileContents c{};
    in.Bytes(c.szName, PROFILE_NAME_SIZE);
    c.szName[PROFILE_NAME_SIZE - 1] = '\0';
    in.Skip(4); // the menu's new-profile flag
    if (!ReadPlayerStats(in, &c.stats) || !ParseModelPath(in, c.szModelPath) || !ParseCarRecord(in, &c, data))
        return false;
    std::uint32_t view = 0;
    in.U32(&view);
    c.nLastView = ClampLastView(static_cast<int>(view));
    c.pTimer = data + in.Position();
    in.Skip(PROFILE_TIMER_SIZE);
    c.pHistory = data + in.Position();
    in.Skip(MESSAGE_HISTORY_RECORD_SIZE);
    if (!in.Ok() || in.Remaining() != 0)
        return false;
    *out = c;
    return true;
}

void FormatProfilePath(char* buffer, std::size_t size, int profile)
{
    std::snprintf(buffer, size, "Save/Profile%02d.sav", profile + 1);
}
