// The soak: the whole game run headless at full traffic for many ticks with
// a scripted driver touring the city through the driving keys. At the end
// every car, pedestrian and prop stands at a finite place, the pools and the
// physics world are within their sizes, and no error box was shown; LeakSanitizer
// checks the heap when the program ends. The test command runs a short stretch;
// scripts/soak.sh runs the full length (MORVAINE_SOAK_TICKS, MORVAINE_SOAK_DISTANCE).
#include "game/PlayerStats.h"
#include "platform/Backend.h"
#include "platform/D3D9Recording.h"
#include "platform/InputTape.h"
#include "platform/Win32.h"
#include "platform/sound/SoundBackend.h"
#include "roadusers/Human.h"
#include "roadusers/HumanManager.h"
#include "roadusers/Vehicle.h"
#include "roadusers/VehicleManager.h"
#include "shell/Game.h"
#include "shell/WinMain.h"
#include "support/TempDir.h"
#include "world/Prop.h"
#include "world/PropManager.h"

#include <btBulletDynamicsCommon.h>
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <malloc.h>
#include <string>
#if defined(__SANITIZE_ADDRESS__)
extern "C" std::size_t __sanitizer_get_current_allocated_bytes();
#endif

namespace {

unsigned EnvNumber(const char* name, unsigned fallback)
{
    const char* v = std::getenv(name);
    return v && *v ? unsigned(std::strtoul(v, nullptr, 10)) : fallback;
}

long ResidentKb()
{
    long pages = 0, resident = 0;
    std::ifstream("/proc/self/statm") >> pages >> resident;
    return resident * 4;
}

std::size_t LiveHeapBytes()
{
#if defined(__SANITIZE_ADDRESS__)
    return __sanitizer_get_current_allocated_bytes();
#else
    return mallinfo2().uordblks;
#endif
}

bool Finite(const D3DXVECTOR3& v)
{
    return std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z);
}

struct SoakEnd {
    bool reached = false;
    int badCars = 0, badHumans = 0, badProps = 0;
    std::uint32_t cars = 0, humans = 0, props = 0;
    int bodies = -1;
    long residentAfterWarmUp = 0, residentAtEnd = 0;
    std::size_t heapAfterWarmUp = 0, heapAtEnd = 0;
};

SoakEnd s_soak;
const unsigned kWarmUpTicks = 1000;

// The sizes are taken once the city around the start has streamed in.
void WatchWarmUp(unsigned frame, HWND)
{
    if (s_soak.residentAfterWarmUp == 0 && frame == kWarmUpTicks) {
        s_soak.residentAfterWarmUp = ResidentKb();
        s_soak.heapAfterWarmUp = LiveHeapBytes();
    }
}

void ReadSoakEnd(unsigned)
{
    s_soak.reached = true;
    s_soak.cars = g_VehicleManager.m_nCars;
    for (std::uint32_t i = 0; i < VEHICLE_MANAGER_CARS; ++i)
        if (CVehicle* car = g_VehicleManager.m_Cars[i])
            s_soak.badCars += !Finite(car->m_vPosition);
    s_soak.humans = g_HumanManager.m_nHumans;
    for (std::uint32_t i = 0; i < HUMAN_MANAGER_CAPACITY; ++i)
        if (CHuman* human = g_HumanManager.m_pHumans[i])
            s_soak.badHumans += !Finite(human->m_vPosition);
    s_soak.props = g_PropManager.m_nProps;
    for (std::uint32_t i = 0; i < PROP_POOL_SIZE && i < g_PropManager.m_nProps; ++i)
        if (CProp* prop = g_PropManager.m_pProps[i])
            s_soak.badProps += !Finite(prop->m_vPosition);
    if (g_Game.m_pDynamicsWorld)
        s_soak.bodies = g_Game.m_pDynamicsWorld->getNumCollisionObjects();
    s_soak.residentAtEnd = ResidentKb();
    s_soak.heapAtEnd = LiveHeapBytes();
}

// The driver: the accelerator held, and a turn now and then, so the car
// tours the blocks instead of pressing against one wall.
plat::Tape DrivingTape(unsigned ticks)
{
    plat::Tape tape;
    tape.end = ticks;
    const WPARAM kUp = 38, kLeft = 37, kRight = 39;
    // Through the menu: the sample profile chosen and its game continued.
    for (unsigned f : {20u, 40u}) {
        tape.events.push_back({f, WM_KEYDOWN, 13, 0});
        tape.events.push_back({f + 2, WM_KEYUP, 13, 0});
    }
    tape.events.push_back({100, WM_KEYDOWN, kUp, 0});
    for (unsigned f = 400; f + 60 < ticks; f += 700) {
        const WPARAM turn = (f / 700) % 3 == 2 ? kLeft : kRight;
        tape.events.push_back({f, WM_KEYDOWN, turn, 0});
        tape.events.push_back({f + 45, WM_KEYUP, turn, 0});
    }
    return tape;
}

void SetIni(std::string& ini, const std::string& key, const std::string& value)
{
    const std::size_t at = ini.find("\n" + key + "=");
    ASSERT_NE(at, std::string::npos) << key;
    const std::size_t end = ini.find_first_of("\r\n", at + 1);
    ini.replace(at + 1, end - at - 1, key + "=" + value);
}

TEST(Soak, FullTrafficTourLeavesEverythingFiniteAndWithinItsPools)
{
    const unsigned ticks = EnvNumber("MORVAINE_SOAK_TICKS", 1500);
    const unsigned distance = EnvNumber("MORVAINE_SOAK_DISTANCE", 2);
    test::ScopedTempDir dir;
    std::filesystem::copy(std::string(MORVAINE_BUILD_DIR) + "/run", dir.Path(),
                          std::filesystem::copy_options::recursive);
    std::string ini = test::ReadWholeFile(dir.File("Game.ini"));
    SetIni(ini, "Traffic", "2");
    SetIni(ini, "Distance", std::to_string(distance));
    test::WriteWholeFile(dir.File("Game.ini"), ini);

    plat::SetHeadless(true);
    plat::ResetWindowing();
    plat::SetFrameBudget(0);
    // The device's call log is not read here; kept, it would cost most of
    // the run's time and weigh on the heap the soak watches.
    const bool callsKept = plat::DeviceCallsKept();
    plat::KeepDeviceCalls(false);
    const unsigned boxesBefore = plat::MessageBoxCount();
    plat::g_pTapeEndObserver = ReadSoakEnd;
    plat::g_pTapeFrameObserver = WatchWarmUp;
    plat::Tape tape = DrivingTape(ticks);
    plat::StartReplay(tape);
    const int status = WinMain(nullptr, nullptr, nullptr, 1);
    plat::g_pTapeEndObserver = nullptr;
    plat::g_pTapeFrameObserver = nullptr;
    plat::StopTape();
    plat::ResetWindowing();
    plat::KeepDeviceCalls(callsKept);
    g_bInGame = 0;

    EXPECT_EQ(status, 0);
    ASSERT_TRUE(s_soak.reached) << "the run ended before tick " << ticks;
    EXPECT_EQ(plat::MessageBoxCount(), boxesBefore) << plat::LastMessageBoxText();
    EXPECT_EQ(s_soak.badCars, 0);
    EXPECT_EQ(s_soak.badHumans, 0);
    EXPECT_EQ(s_soak.badProps, 0);
    EXPECT_LE(s_soak.cars, std::uint32_t(VEHICLE_MANAGER_CARS));
    EXPECT_LE(s_soak.humans, std::uint32_t(HUMAN_MANAGER_CAPACITY));
    EXPECT_LE(s_soak.props, std::uint32_t(PROP_POOL_SIZE));
    EXPECT_GE(s_soak.bodies, 1) << "the player's car at least";
    EXPECT_LE(s_soak.bodies, int(VEHICLE_MANAGER_CARS + HUMAN_MANAGER_CAPACITY * 16 + PROP_POOL_SIZE));
    // Only a long run tells growth from the city still settling.
    if (ticks >= 20 * kWarmUpTicks) {
        EXPECT_LE(double(s_soak.residentAtEnd), 1.05 * double(s_soak.residentAfterWarmUp));
        EXPECT_LE(double(s_soak.heapAtEnd), 1.05 * double(s_soak.heapAfterWarmUp));
    }
    std::printf("soak: %u ticks, distance %u: %u cars, %u pedestrians, %u props, %d bodies, resident %ld kB, "
                "heap %zu bytes (after warm-up: %ld kB, %zu bytes)\n",
                ticks, distance, s_soak.cars, s_soak.humans, s_soak.props, s_soak.bodies, s_soak.residentAtEnd,
                s_soak.heapAtEnd, s_soak.residentAfterWarmUp, s_soak.heapAfterWarmUp);
}

} // namespace
