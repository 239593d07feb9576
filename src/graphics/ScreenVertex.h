// The pre-transformed screen vertex of the 2-D drawing and the fonts.
#pragma once

#include "platform/Win32Types.h"

// Vertex format XYZRHW | DIFFUSE | TEX1.
enum { SCREEN_VERTEX_FVF = 0x144 };

struct CScreenVertex {
    float x, y, z; // device pixels; z is always 0
    float rhw;
    DWORD colour; // ARGB
    float u, v;

    // Empty: arrays of them in static storage stay zero until filled.
    CScreenVertex() {}
    CScreenVertex(const float* position, float r, DWORD c, float tu, float tv)
        : x(position[0]), y(position[1]), z(position[2]), rhw(r), colour(c), u(tu), v(tv)
    {
    }
};

// The unit disc drawn as a 15-segment fan: vertex 0 is the centre and
// vertices 1 to 16 run round the unit circle (16 repeats 1). Filled when the
// settings load; the disc drawing copies it and sets positions and colours.
enum { DISC_VERTEX_COUNT = 17 };
extern CScreenVertex g_DiscVertices[DISC_VERTEX_COUNT];
