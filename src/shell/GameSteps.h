// The game object names each manager call of its start-up, tick and reset
// before making it, so the order of those calls can be watched (tests and
// the log use it). Nothing is recorded while no observer is set.
#pragma once

using GameStepObserver = void (*)(const char* step);
extern GameStepObserver g_pGameStepObserver;

inline void NoteGameStep(const char* step)
{
    if (g_pGameStepObserver)
        g_pGameStepObserver(step);
}

// Names the call and makes it: GAME_STEP(g_Sky.Update()) notes "g_Sky.Update()".
#define GAME_STEP(call) (NoteGameStep(#call), (call))
