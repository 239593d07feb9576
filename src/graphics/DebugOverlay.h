// The statistics block drawn over every frame while "Debug out" is on.
#pragma once

#include <cstdint>

class CVehicle;
class CWorldCamera;

enum {
    DEBUG_LINES_MAX = 20,
    DEBUG_LINE_SIZE = 64,
};

// The figures the block shows, read from the renderer, the managers and the
// physics world in one go; the lines are formatted from this record alone.
struct DebugCounters {
    float fps;
    std::uint32_t facesPerPass[4]; // main, water, cube, shadow
    int activeSectors, innerParts, closedWaterParts;
    int grassInner, grassVisible, treesInner, treesVisible;
    float timeScale;
    int pointLights;
    int cars, carLimit;
    int humans, humanLimit;
    int collisionObjects, activeBodies;
    const CVehicle* playerCar; // null: no driving lines
};

DebugCounters ReadDebugCounters();

// The lines of the block for the camera; returns how many (17, or 20 with a
// player car).
int FormatDebugLines(const CWorldCamera& camera, const DebugCounters& counters,
                     char lines[DEBUG_LINES_MAX][DEBUG_LINE_SIZE]);
