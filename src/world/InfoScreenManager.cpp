// Placeholder until the info screens are built: a screen registers nowhere
// and has no picture.
#include "world/InfoScreenManager.h"

int CInfoScreenManager::Init()
{
    return 1;
}

void CInfoScreenManager::Release()
{
}

void CInfoScreenManager::OnLostDevice()
{
}

void CInfoScreenManager::OnResetDevice()
{
}

CInfoScreen::CInfoScreen(int index, CStaticObject* owner) : m_nIndex(index), m_pOwner(owner)
{
}

CInfoScreen::~CInfoScreen()
{
}
