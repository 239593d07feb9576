// A test's stand-in for a player at the keyboard: it steers the player's car
// along a list of points at a modest speed by pressing and letting go of the
// driving keys through the window, the way a recorded tape does. It reads
// where the car is and how fast it goes, and never moves the car itself.
#pragma once

#include "platform/D3DX9.h"
#include "platform/Win32Types.h"

class CVehicle;

namespace test {

enum { DRIVER_MAX_POINTS = 2048 };

// The driving keys, by their binding order: accelerate, brake, left, right,
// hand brake.
enum { DRIVE_ACCELERATE, DRIVE_BRAKE, DRIVE_LEFT, DRIVE_RIGHT, DRIVE_HAND_BRAKE, DRIVE_KEYS };

struct DriveKeys {
    bool down[DRIVE_KEYS] = {};
};

// What the driver sees of the car.
struct CarView {
    D3DXVECTOR3 position;
    D3DXVECTOR3 forward; // unit, along the ground
    float speedKmh;      // signed, backwards below zero
    float steering;      // the front wheels' angle, right positive
};

// What the driver sees of a car: its forward axis flattened onto the ground.
CarView ViewOf(const CVehicle& car);

// One frame's keys for a car heading for `target` at `wantedKmh`: turns the
// wheels toward an angle that grows with the target's bearing (a held key
// turns them further, a let-go key lets them come back), gives gas below the wanted
// speed, brakes well above it, and holds the hand brake once stopped at a
// wanted speed of zero.
DriveKeys DecideKeys(const CarView& car, const D3DXVECTOR3& target, float wantedKmh);

// Free driving: no scene runs and the player's car answers its keys.
bool PlayerInControl();

class ScriptedDriver {
public:
    // Drives along the points (at most DRIVER_MAX_POINTS are kept) and,
    // with `stop`, comes to a stand at the last one.
    void Follow(const D3DXVECTOR3* points, int count, bool stop);
    // Lets every key go and forgets the route.
    void Halt(HWND window);
    // One frame: looks at the player's car and posts the key changes.
    void Step(HWND window);

    // Within the arrival reach of the last point and standing.
    bool Arrived() const { return m_bArrived; }
    int NextPoint() const { return m_nNext; }
    int PointCount() const { return m_nCount; }

    float m_fCruiseKmh = 45.0f;
    float m_fTurnKmh = 20.0f;   // when the target lies far off the nose
    float m_fPassReach = 9.0f;  // a point this near counts as passed
    float m_fLookAhead = 12.0f; // steers at the first point at least this far
    float m_fArriveReach = 3.0f;

private:
    void Press(HWND window, const DriveKeys& keys);
    float WantedSpeed(const CarView& car, const D3DXVECTOR3& target) const;

    D3DXVECTOR3 m_Points[DRIVER_MAX_POINTS];
    int m_nCount = 0;
    int m_nNext = 0;
    bool m_bStop = false;
    bool m_bArrived = false;
    DriveKeys m_Held;
};

// Taps keys on the interface's panels one after another: each key goes down
// on one frame and up on the next, with a frame's rest between taps.
class KeyTapper {
public:
    void Tap(int key);
    void Step(HWND window);
    bool Idle() const { return m_nNext == m_nCount && !m_bDown; }

private:
    enum { MAX_TAPS = 16 };
    int m_Keys[MAX_TAPS] = {};
    int m_nCount = 0;
    int m_nNext = 0;
    bool m_bDown = false;
    bool m_bRest = false;
};

} // namespace test
