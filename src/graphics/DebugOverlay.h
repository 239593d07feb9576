// The statistics block drawn over every frame while "Debug out" is on.
#pragma once

class CWorldCamera;

enum {
    DEBUG_LINES_MAX = 20,
    DEBUG_LINE_SIZE = 64,
};

// The lines of the block for the camera; returns how many (17, or 20 with a
// player car).
int FormatDebugLines(const CWorldCamera& camera, char lines[DEBUG_LINES_MAX][DEBUG_LINE_SIZE]);
