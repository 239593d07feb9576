// Placeholder until the audio manager lands: it starts silently (0 is
// success) and counts pauses so the window procedure can be checked.
#include "shell/AudioManager.h"

int CAudioManager::Init(HWND)
{
    return 0;
}

void CAudioManager::Release()
{
}

void CAudioManager::PauseAll()
{
    ++m_nPauseCount;
}

void CAudioManager::ResumeAll()
{
    if (m_nPauseCount > 0)
        --m_nPauseCount;
}

void CAudioManager::Compact()
{
}

void CAudioManager::Update()
{
}
