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

int FormatDebugLines(const CWorldCamera& camera, char lines[DEBUG_LINES_MAX][DEBUG_LINE_SIZE])
{
    LineWriter line(lines);
    line("FPS: %.0f", static_cast<double>(g_D3DRender.GetFPS()));
    line("FPF (main)  : %d", static_cast<int>(g_D3DRender.m_nFacesPerFrame[0]));
    line("FPF (water) : %d", static_cast<int>(g_D3DRender.m_nFacesPerFrame[1]));
    line("FPF (cube)  : %d", static_cast<int>(g_D3DRender.m_nFacesPerFrame[2]));
    line("FPF (shadow): %d", static_cast<int>(g_D3DRender.m_nFacesPerFrame[3]));
    line("Inner/visible land parts: %d/%d", g_Landscape.m_nActiveSectors, g_Landscape.m_nInnerParts);
    line("Closed water parts: %d", g_Landscape.m_nClosedWaterParts);
    line("Inner/visible grass fields: %d/%d", g_FieldObjects.m_nGrassFields[0], g_FieldObjects.m_nGrassFields[2]);
    line("Inner/visible trees fields: %d/%d", g_FieldObjects.m_nTreeFields[0], g_FieldObjects.m_nTreeFields[2]);
    line("Eye: X%.0f, Y%.0f, Z%.0f", static_cast<double>(camera.m_vEye.x), static_cast<double>(camera.m_vEye.y),
         static_cast<double>(camera.m_vEye.z));
    line("Avrg speed: %0.f", static_cast<double>(camera.m_fAverageSpeed));
    line("Time speed: %.2f", static_cast<double>(g_GameTimer.m_fTimeScale));
    line("Lights: %d", static_cast<int>(g_SceneLights.m_nPointLights));
    line("Vehicles on area: %d(%d)", static_cast<int>(g_VehicleManager.m_nCars),
         static_cast<int>(g_VehicleManager.m_nSpawnLimit));
    line("Humans on area: %d(%d)", static_cast<int>(g_HumanManager.m_nHumans),
         static_cast<int>(g_HumanManager.m_nSpawnLimit));
    line("Collision objects: %d", CollisionObjectCount());
    line("Active objects: %d", g_Game.m_nActiveBodies);
    if (g_pPlayerVehicle)
        FormatPlayerCar(*g_pPlayerVehicle, line);
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
    const int count = FormatDebugLines(*this, lines);
    for (int i = 0; i < count; ++i) {
        y += lineHeight;
        m_DebugFont.DrawText(0, static_cast<int>(y), lines[i], kTextColour, kTextScale, 0);
    }
}
