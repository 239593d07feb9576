// Placeholder until the in-game interface is built; nothing is drawn and no message history is kept.
#include "game/GameInterface.h"

int CGameInterface::Init()
{
    return 1;
}

void CGameInterface::Release()
{
}

void CGameInterface::Update()
{
    m_Cursor.Update();
}

void CGameInterface::Render()
{
}

void CGameInterface::SaveMessageHistory(std::uint32_t)
{
}

void CGameInterface::LoadMessageHistory(std::uint32_t)
{
}
