// The debug statistics overlay: frame rate, faces per pass, streaming and
// visibility counters, the camera, lights, road users, physics objects and
// the player car's driving values, in yellow over a dark panel.
#include "graphics/DebugOverlay.h"

#include "graphics/D3DRender.h"
#include "graphics/SceneLights.h"
#include "graphics/ScreenDraw.h"
#include "graphics/WorldCamera.h"
#include "roadusers/HumanManager.h"
#include "roadusers/Vehicle.h"
#include "roadusers/VehicleManager.h"
#include "shell/Game.h"
#include "shell/GameTimer.h"
#include "shell/Settings.h"
#include "world/FieldObjectManager.h"
#include "world/Landscape.h"

#include <btBulletDynamicsCommon.h>

#include <cstdio>

namespace {

const float kTextScale = 0.525f;
const DWORD kTextColour = 0xFFFFFF00u;
const DWORD kPanelColour = 0xC0000000u;

// A figure cut to a whole number; values beyond the integer range (or not a
// number) are held at the range's ends (or 0) instead of overflowing.
int Truncated(float value)
{
    if (!(value == value))
        return 0;
    if (value >= 2147483520.0f)
        return 2147483647;
    if (value <= -2147483648.0f)
        return -2147483647 - 1;
    return static_cast<int>(value);
}

int CollisionObjectCount()
{
    return g_Game.m_pDynamicsWorld ? g_Game.m_pDynamicsWorld->getNumCollisionObjects() : 0;
}

class LineWriter {
public:
    explicit LineWriter(char (*lines)[DEBUG_LINE_SIZE]) : m_lines(lines) {}
    template <typename... Values>
    void operator()(const char* format, Values... values)
    {
        if (m_count < DEBUG_LINES_MAX)
            std::snprintf(m_lines[m_count++], DEBUG_LINE_SIZE, format, values...);
    }
    int Count() const { return m_count; }

private:
    char (*m_lines)[DEBUG_LINE_SIZE];
    int m_count = 0;
};

void FormatPlayerCar(const CVehicle& car, LineWriter& line)
{
    line("  Whells in contact: %i", car.m_nWheelsInContact);
    line("  EngineForce: %i, Speed: %i", Truncated(car.m_fEngineForce), Truncated(car.m_fSpeed));
    line("  BrakingForce: %i, Speed: %i", Truncated(car.m_fBrake), Truncated(car.m_fSpeed));
}

} // namespace

DebugCounters ReadDebugCounters()
{
    DebugCounters c{};
    c.fps = g_D3DRender.GetFPS();
    for (int pass = 0; pass < 4; ++pass)
        c.facesPerPass[pass] = static_cast<std::uint32_t>(g_D3DRender.m_nFacesPerFrame[pass]);
    c.activeSectors = static_cast<int>(g_Landscape.m_nActiveSectors);
    c.innerParts = g_Landscape.m_nInnerParts;
    c.closedWaterParts = g_Landscape.m_nClosedWaterParts;
    c.grassInner = g_FieldObjects.m_nGrassFields[0];
    c.grassVisible = g_FieldObjects.m_nGrassFields[2];
    c.treesInner = g_FieldObjects.m_nTreeFields[0];
    c.treesVisible = g_FieldObjects.m_nTreeFields[2];
    c.timeScale = g_GameTimer.m_fTimeScale;
    c.pointLights = static_cast<int>(g_SceneLights.m_nPointLights);
    c.cars = static_cast<int>(g_VehicleManager.m_nCars);
    c.carLimit = static_cast<int>(g_VehicleManager.m_nSpawnLimit);
    c.humans = static_cast<int>(g_HumanManager.m_nHumans);
    c.humanLimit = static_cast<int>(g_HumanManager.m_nSpawnLimit);
    c.collisionObjects = CollisionObjectCount();
    c.activeBodies = g_Game.m_nActiveBodies;
    c.playerCar = g_pPlayerVehicle;
    return c;
}

int FormatDebugLines(const CWorldCamera& camera, const DebugCounters& c,
                     char lines[DEBUG_LINES_MAX][DEBUG_LINE_SIZE])
{
    LineWriter line(lines);
    line("FPS: %.0f", static_cast<double>(c.fps));
    line("FPF (main)  : %d", static_cast<int>(c.facesPerPass[0]));
    line("FPF (water) : %d", static_cast<int>(c.facesPerPass[1]));
    line("FPF (cube)  : %d", static_cast<int>(c.facesPerPass[2]));
    line("FPF (shadow): %d", static_cast<int>(c.facesPerPass[3]));
    line("Inner/visible land parts: %d/%d", c.activeSectors, c.innerParts);
    line("Closed water parts: %d", c.closedWaterParts);
    line("Inner/visible grass fields: %d/%d", c.grassInner, c.grassVisible);
    line("Inner/visible trees fields: %d/%d", c.treesInner, c.treesVisible);
    line("Eye: X%.0f, Y%.0f, Z%.0f", static_cast<double>(camera.m_vEye.x), static_cast<double>(camera.m_vEye.y),
         static_cast<double>(camera.m_vEye.z));
    line("Avrg speed: %0.f", static_cast<double>(camera.m_fAverageSpeed));
    line("Time speed: %.2f", static_cast<double>(c.timeScale));
    line("Lights: %d", c.pointLights);
    line("Vehicles on area: %d(%d)", c.cars, c.carLimit);
    line("Humans on area: %d(%d)", c.humans, c.humanLimit);
    line("Collision objects: %d", c.collisionObjects);
    line("Active objects: %d", c.activeBodies);
    if (c.playerCar)
        FormatPlayerCar(*c.playerCar, line);
    return line.Count();
}

void CWorldCamera::DrawDebugInfo()
{
    if (!g_bDebugOut)
        return;
    const float lineHeight = m_DebugFont.GetLineHeight(kTextScale);
    float y = -lineHeight;
    g_D3DRender.SetFogEnable(FALSE);
    CScreenDraw::DrawRect(0.0f, 0.0f, 115.0f, 180.0f, kPanelColour, INVALID_TEXTURE_ID);
    char lines[DEBUG_LINES_MAX][DEBUG_LINE_SIZE];
    const int count = FormatDebugLines(*this, ReadDebugCounters(), lines);
    for (int i = 0; i < count; ++i) {
        y += lineHeight;
        m_DebugFont.DrawText(0, static_cast<int>(y), lines[i], kTextColour, kTextScale, 0);
    }
}
