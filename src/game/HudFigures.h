// The driving display's figures, kept apart from its drawing so they can be
// checked without a renderer: where world points land on the round map, the
// needle angles, the colour steps and the blinking lights.
#pragma once

#include "platform/D3DX9.h"
#include "shell/VectorHelpers.h"

#include <cstdint>

// Distance from the car at which far map points are pulled onto the map's rim.
constexpr float HUD_RIM_DISTANCE = 240.0f;
// Three quarters of a turn: the dials' full sweep.
constexpr float HUD_DIAL_SWEEP = 4.712389f;

struct HudPoint {
    float x, y;
};

// World point p on the map around the car at c. Points limit or more away are
// not drawn (false); with pull, points between the rim distance and limit sit
// on the rim in their direction.
bool HudMapPoint(const D3DXVECTOR3& p, const D3DXVECTOR3& c, float limit, bool pull, HudPoint* out);

// The engine-force needle's angle; 0 when the car has no engine force at all.
float HudForceAngle(float force, float maxForce);
// The speed needle's angle: the needle stops at 180 km/h and at 0 backwards.
float HudSpeedAngle(float speedKmh);
// Lit segments (0..10) of the criminal-level bar.
int HudCriminalSegments(float level);
// The siren light's place along the pursuit strip, 0..10..0 every half second.
float HudSirenPosition(std::uint32_t clockMs);
// True in the half of every 400 ms that blinking marks are shown.
bool HudBlinkOn(std::uint32_t clockMs);

enum { HUD_GREEN = 0, HUD_YELLOW = 1, HUD_ORANGE = 2, HUD_RED = 3 };
// Colour step of the race clock against the three time thresholds.
int HudTimeStep(float clock, const float thresholds[3]);
// Colour step of the running fare against the offered fare; with nothing
// offered the share is 0.
int HudFareStep(float fare, float offered);
// The step's bright and dim colours (ARGB).
DWORD HudStepColour(int step, int dim);
// Progress in percent along the route, or false when the route has no length.
bool HudProgress(float remaining, float length, float* percent);

// Green through red by a damage value 0..1, every channel within 0..1.
D3DXCOLOR4 HudDamageColour(float damage);
// Adds the frame time; true (and the timer restarted) once a second has passed.
bool HudDamageTimerStep(float* timer, float dt);

// The car-arrow's corners (x, y offsets on screen, strip order) turned to a
// heading given by the x and z of the car's forward axis. A heading without
// x or z (a car on its nose) leaves the arrow unturned.
void HudArrowCorners(float headingX, float headingZ, float scale, float out[4][2]);

// The round map's texture window: centre and rim texture coordinates for the
// car at (x, z) in a world of size W, rim vertex i at angle -2 pi (i-1) / 31.
// False when the world has no size (the map is not drawn).
bool HudMapTexCoords(float carX, float carZ, float worldSize, float uv[33][2]);
