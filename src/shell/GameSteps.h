// The game object names each manager call of its start-up, tick and reset
// before making it, so the order of those calls can be watched. Nothing is
// recorded while no observer is set.
#pragma once

using GameStepObserver = void (*)(const char* step);
extern GameStepObserver g_pGameStepObserver;

// Asked before each tested start-up step; a non-zero answer makes the step
// fail without running it, as a manager that cannot load its data would.
using GameStepRefusal = int (*)(const char* step);
extern GameStepRefusal g_pGameStepRefusal;

inline void NoteGameStep(const char* step)
{
    if (g_pGameStepObserver)
        g_pGameStepObserver(step);
}

inline bool RefuseGameStep(const char* step)
{
    return g_pGameStepRefusal && g_pGameStepRefusal(step) != 0;
}

// Names the call and makes it: GAME_STEP(g_Sky.Update()) notes "g_Sky.Update()".
#define GAME_STEP(call) (NoteGameStep(#call), (call))

// A start-up step whose result is tested: 0 when refused, else the call's result.
#define GAME_INIT_STEP(call) (NoteGameStep(#call), RefuseGameStep(#call) ? 0 : (call))

// A start-up step of the program entry whose failure ends start-up: the
// given failure value when refused, else the call's result.
#define GAME_START_STEP(call, failure) (NoteGameStep(#call), RefuseGameStep(#call) ? (failure) : (call))
