// How often and when each message was last shown, saved with the profile so
// that rationed messages stay rationed across saves.
#include "game/GameInterface.h"
#include "shell/SaveRecord.h"

#include <cstring>

void CGameInterface::SaveMessageHistory(CSaveWriter& out)
{
    for (std::uint32_t shown : m_nMessageShown)
        out.U32(shown);
    for (std::uint32_t stamp : m_nMessageLastShown)
        out.U32(stamp);
}

void CGameInterface::LoadMessageHistory(CSaveReader& in)
{
    std::uint32_t shown[MESSAGE_SLOTS];
    std::uint32_t stamps[MESSAGE_SLOTS];
    for (std::uint32_t& v : shown)
        in.U32(&v);
    for (std::uint32_t& v : stamps)
        in.U32(&v);
    if (!in.Ok())
        return;
    std::memcpy(m_nMessageShown, shown, sizeof(shown));
    std::memcpy(m_nMessageLastShown, stamps, sizeof(stamps));
}

void CGameInterface::ResetMessageHistory()
{
    std::memset(m_nMessageShown, 0, sizeof(m_nMessageShown));
    std::memset(m_nMessageLastShown, 0, sizeof(m_nMessageLastShown));
}
