// Shared steps of the 2-D drawing operations: scaling from the 800 x 600
// space, vertex building, the state set-up and the draw.
#pragma once

#include "graphics/ScreenDraw.h"
#include "graphics/ScreenVertex.h"

namespace CScreenDraw {

struct ScreenRect {
    float l, t, r, b;
};

// The rectangle in device pixels.
ScreenRect ScaleRect(float l, float t, float r, float b);
CScreenVertex ScreenPoint(float x, float y, DWORD colour, float u, float v);
// Fog, depth test, depth writes and lighting off, then the screen vertex
// format. Called after the texture binding.
void SetScreenStates();
// Draws from user memory and adds the faces to the counter of the pass.
void DrawScreen(D3DPRIMITIVETYPE type, UINT primitives, const CScreenVertex* vertices, DWORD faces);

} // namespace CScreenDraw
