// The game's fixed sequences (start-up, tick, reset, the render passes, the
// program entry, the interface's panels) are tables of named steps that one
// loop runs, so each order reads in one place and can be watched. Nothing is
// recorded while no observer is set.
#pragma once

#include <cstddef>

// Told each named step before it runs: tests watch the game's order of calls.
using GameStepObserver = void (*)(const char* step);
extern GameStepObserver g_pGameStepObserver;

// Asked before each named step whose result is checked; a non-zero answer
// makes the step fail without running it, as a manager that cannot load its
// data would.
using GameStepRefusal = int (*)(const char* step);
extern GameStepRefusal g_pGameStepRefusal;

// One step of a sequence run for an owner (the game object, or what the
// program entry starts from). A step has either `run`, whose result does not
// matter, or `check`, which answers whether the step succeeded: a failed
// check ends the sequence there. `when`, if given, is asked first; a step
// whose moment has not come is skipped unnamed. A step without a name is
// part of the sequence but neither watched nor refused: a state change
// between steps, a condition, or a sequence of its own.
template <class Owner>
struct GameStep {
    const char* name = nullptr;
    void (*run)(Owner& owner) = nullptr;
    bool (*when)(const Owner& owner) = nullptr;
    bool (*check)(Owner& owner) = nullptr;
};

// Runs the steps in order; false when a checked step failed or was refused.
template <class Owner, std::size_t N>
bool RunGameSteps(const GameStep<Owner> (&steps)[N], Owner& owner)
{
    for (const GameStep<Owner>& step : steps) {
        if (step.when && !step.when(owner))
            continue;
        if (step.name && g_pGameStepObserver)
            g_pGameStepObserver(step.name);
        if (!step.check) {
            step.run(owner);
            continue;
        }
        const bool refused = step.name && g_pGameStepRefusal && g_pGameStepRefusal(step.name) != 0;
        if (refused || !step.check(owner))
            return false;
    }
    return true;
}
