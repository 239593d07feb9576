// Placeholder until the in-game interface is built; nothing is drawn and no message history is kept.
#include "game/GameInterface.h"

#include "world/InfoScreenManager.h"

#include "shell/SaveRecord.h"

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
    // The boards' pictures are drawn in the interface frame, before any of
    // the interface's own panels.
    g_InfoScreens.Render();
}

void CGameInterface::SaveMessageHistory(CSaveWriter& out)
{
    out.Zeros(MESSAGE_HISTORY_RECORD_SIZE);
}

void CGameInterface::LoadMessageHistory(CSaveReader& in)
{
    in.Skip(MESSAGE_HISTORY_RECORD_SIZE);
}
