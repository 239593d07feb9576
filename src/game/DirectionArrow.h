// The 3-D arrow floating in front of the camera that points along the race
// route or at the passenger's landing point.
#pragma once

#include "platform/D3DX9.h"

// Nearer than this to the landing point the arrow hides.
constexpr float ARROW_HIDE_DISTANCE = 16.0f;

struct ArrowState {
    int bPlayerCar;
    int bRaceRunning;
    int bPassenger;
    int nCameraMode;
    float fLandingDistance; // player car to the landing point
};

// Whether the arrow is drawn at all.
bool ArrowShown(const ArrowState& state);

// The race target: the route point a speed-dependent look-ahead past the
// car's route index (at most 15 points), approached smoothly from the stored
// target; a zero target jumps. An empty route keeps the target.
void StepRaceArrowTarget(D3DXVECTOR3* target, const D3DXVECTOR3* route, int count, int index, float speedKmh,
                         float frameTime);
