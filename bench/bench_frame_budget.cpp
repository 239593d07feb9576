// The frame budget: the whole game tick (update and draw submission) on the
// sample city at full traffic, over a drive replayed from a tape on the fixed
// step: the tape takes the menu to the continued sample career, then the
// tests' scripted driver steers the player's car round the city's streets by
// the driving keys. Reports the median, the 99th percentile and the worst
// frame, the frames over twice the median, those whose own CPU time is over
// twice the median's (the rest waited for a CPU), the peak memory after the
// first half and at the end, and the shares of physics, traffic,
// pedestrians, streaming and drawing, timed between the steps the game
// names as it makes them.
//   bench_frame_budget [--gl] [--passes] [--threads N] [--mode M] [--frames N] [--distance D] [RUN_FOLDER]
// The run folder defaults to "run" next to this program (the build's sample
// data). --gl draws through OpenGL offscreen and reports frames per second
// too; --threads sets the software rasteriser's threads, --mode the screen
// (0 800 x 600, the default, 1 1024 x 768). --passes waits for the renderer
// at every step, so the time of each step and each render pass (water
// reflection, cube face, shadow map, main scene) is its own work, not what
// the driver queued before it (work between two named steps, such as the
// shadow smoothing, counts to the first); the frames themselves then run
// slower.
#include "game/GameInterface.h"
#include "graphics/D3DRender.h"
#include "platform/Backend.h"
#include "platform/D3D9Gl.h"
#include "platform/InputTape.h"
#include "platform/Win32Files.h"
#include "platform/Win32.h"
#include "platform/sound/SoundBackend.h"
#include "roadusers/HumanManager.h"
#include "roadusers/Vehicle.h"
#include "roadusers/VehicleManager.h"
#include "shell/GameSteps.h"
#include "support/PlayHooks.h"
#include "support/ScriptedDriver.h"
#include "shell/WinMain.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

enum Share { PHYSICS, TRAFFIC, PEDESTRIANS, STREAMING, DRAWING, OTHER, SHARES };
const char* const kShareNames[SHARES] = {"physics", "traffic", "pedestrians", "streaming", "drawing", "other"};

struct StepShare {
    const char* prefix;
    Share share;
};
const StepShare kSteps[] = {
    {"StepPhysics", PHYSICS},
    {"g_pPlayerVehicle->Update", PHYSICS},
    {"g_VehicleManager.", TRAFFIC},
    {"g_HumanManager.", PEDESTRIANS},
    {"g_Landscape.", STREAMING},
    {"g_FieldObjects.", STREAMING},
    {"g_PropManager.", STREAMING},
    {"RenderWorld", DRAWING},
    {"g_GameMenu.Render", DRAWING},
    {"g_GameInterface.Render", DRAWING},
    {"g_GameInterface.m_Cursor.Draw", DRAWING},
    {"g_D3DRender.PresentFrame", DRAWING},
};

Share ShareOf(const char* step)
{
    // A pass of any manager is drawing, whoever owns it.
    if (std::strstr(step, "Render") || std::strstr(step, "Draw") || std::strstr(step, "Present"))
        return DRAWING;
    for (const StepShare& s : kSteps)
        if (std::strncmp(step, s.prefix, std::strlen(s.prefix)) == 0)
            return s.share;
    return OTHER;
}

unsigned s_carsAtEnd = 0, s_humansAtEnd = 0;

void CountRoadUsers(unsigned)
{
    s_carsAtEnd = g_VehicleManager.m_nCars;
    s_humansAtEnd = g_HumanManager.m_nHumans;
}

// The resident size the process has reached so far, in megabytes.
double PeakResidentMb()
{
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind("VmHWM:", 0) == 0)
            return std::strtod(line.c_str() + 6, nullptr) / 1024.0;
    return 0.0;
}

unsigned s_halfway = 0;
double s_peakAtHalf = 0.0;

unsigned s_warmUp = 0;        // frames before the drive is measured
Clock::time_point s_frameStart;
Clock::time_point s_stepStart;
Share s_stepShare = OTHER;
const char* s_step = "";
std::map<std::string, double> s_otherMs; // the steps that fall in no share, by name
bool s_inFrame = false;
// The dearest step of the frame being run, and of each measured frame.
double s_dearestMs = 0.0;
const char* s_dearest = "";
std::vector<const char*> s_frameDearest;
std::vector<double> s_frameDearestMs;
std::vector<unsigned> s_frameNumber;
bool s_byPass = false;                  // --passes: wait for the renderer at each step
const char* s_pass = "frame";           // the render pass the current step belongs to
std::map<std::string, double> s_passMs; // by pass
std::map<std::string, double> s_passStepMs; // by pass and step
std::vector<double> s_frameMs;
// The CPU time all the process's threads ran in each frame, and the total
// at the last frame's start.
std::vector<double> s_frameCpuMs;
double s_cpuAtFrameStart = 0.0;
double s_shareMs[SHARES] = {};

bool Measuring()
{
    return plat::TapeFrameNumber() > s_warmUp;
}

void CloseStep(Clock::time_point now)
{
    if (!s_inFrame || !Measuring())
        return;
    const double ms = std::chrono::duration<double, std::milli>(now - s_stepStart).count();
    s_shareMs[s_stepShare] += ms;
    if (ms > s_dearestMs) {
        s_dearestMs = ms;
        s_dearest = s_step;
    }
    if (s_stepShare == OTHER)
        s_otherMs[s_step] += ms;
    if (s_byPass) {
        s_passMs[s_pass] += ms;
        s_passStepMs[std::string(s_pass) + " " + s_step] += ms;
    }
}

// The run time of every thread of the process so far, in ms: a frame slow by
// the clock but not by this waited for a CPU that other programs held. (The
// scheduler's per-thread figures count in whole ticks on some kernels, too
// coarse for a frame.)
double ProcessCpuMs()
{
    timespec now{};
    if (clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now) != 0)
        return 0.0;
    return double(now.tv_sec) * 1e3 + double(now.tv_nsec) / 1e6;
}

// The GL programs compiled while the tape ran: each stalls its frame on the
// software renderer.
struct Compile {
    unsigned frame;
    double ms;
    std::string what;
    const char* step; // the game step that drew with it
};
std::vector<Compile> s_compiles;

void OnCompile(const char* what, double milliseconds)
{
    s_compiles.push_back({plat::TapeFrameNumber(), milliseconds, what, s_step});
}

// The pass a step opens, or the current one kept.
const char* PassOf(const char* step)
{
    static const char* const kOpeners[][2] = {
        {"g_GameTimer.Update()", "frame"},     {"RenderWaterPass()", "water"},
        {"RenderCubePass()", "cube"},          {"RenderShadowPass()", "shadow"},
        {"g_D3DRender.LockBatchBuffers()", "main"}, {"g_D3DRender.RenderGlow()", "glow"},
        {"g_D3DRender.RenderMotionBlur()", "blur"}, {"g_GameInterface.Render()", "interface"},
        {"StepPhysics()", "update"},          {"g_D3DRender.PresentFrame()", "present"},
    };
    for (const auto& opener : kOpeners)
        if (std::strcmp(step, opener[0]) == 0)
            return opener[1];
    return s_pass;
}

// The timer's update opens every tick: the time from one to the next is a frame.
void OnStep(const char* step)
{
    // The renderer sets its own listener (the debug log's) when it starts.
    plat::SetShaderCompileListener(OnCompile);
    if (s_byPass)
        plat::FinishGl(g_D3DRender.m_pDevice);
    const Clock::time_point now = Clock::now();
    CloseStep(now);
    if (std::strcmp(step, "g_GameTimer.Update()") == 0) {
        if (s_peakAtHalf == 0.0 && plat::TapeFrameNumber() >= s_halfway)
            s_peakAtHalf = PeakResidentMb();
        if (s_inFrame && Measuring()) {
            s_frameMs.push_back(std::chrono::duration<double, std::milli>(now - s_frameStart).count());
            s_frameDearest.push_back(s_dearest);
            s_frameDearestMs.push_back(s_dearestMs);
            s_frameNumber.push_back(plat::TapeFrameNumber());
        }
        const double cpu = ProcessCpuMs();
        if (s_inFrame && Measuring())
            s_frameCpuMs.push_back(cpu - s_cpuAtFrameStart);
        s_cpuAtFrameStart = cpu;
        s_frameStart = now;
        s_dearestMs = 0.0;
        s_dearest = "";
        s_inFrame = true;
    }
    s_stepStart = now;
    s_pass = PassOf(step);
    s_stepShare = ShareOf(step);
    s_step = step;
}

// Through the menu: the sample profile chosen and its game continued; the
// scripted driver does the rest.
plat::Tape DriveTape(unsigned frames)
{
    plat::Tape tape;
    tape.end = frames;
    for (unsigned f : {20u, 40u}) {
        tape.events.push_back({f, WM_KEYDOWN, 13, 0});
        tape.events.push_back({f + 2, WM_KEYUP, 13, 0});
    }
    return tape;
}

// The crossings at the corners of the city's street grid, driven round in
// turn: each leg is the game's own road route to the next corner.
const D3DXVECTOR3 kCorners[] = {
    {104.0f, 17.0f, -1104.0f},
    {104.0f, 17.0f, -384.0f},
    {464.0f, 17.0f, -384.0f},
    {464.0f, 17.0f, -1104.0f},
};
constexpr int kCornerCount = int(sizeof kCorners / sizeof kCorners[0]);

test::ScriptedDriver s_driver;
D3DXVECTOR3 s_route[test::DRIVER_MAX_POINTS];
int s_nextCorner = 0;
int s_legs = 0;

void PlanNextLeg()
{
    for (int tries = 0; tries < kCornerCount; ++tries) {
        const D3DXVECTOR3& goal = kCorners[s_nextCorner];
        s_nextCorner = (s_nextCorner + 1) % kCornerCount;
        const int count =
            test::PlanRoadRoute(g_pPlayerVehicle->m_vPosition, goal, s_route, test::DRIVER_MAX_POINTS);
        if (count > 1) {
            s_driver.Follow(s_route, count, false);
            ++s_legs;
            return;
        }
    }
}

float s_driven = 0.0f; // metres along the ground
int s_messagesClosed = 0;
D3DXVECTOR3 s_lastPosition{0.0f, 0.0f, 0.0f};

// A message box that pauses the game (the first fare's call, a record, a
// fine) is read and closed with Enter, as a player does, so the drive goes
// on instead of measuring twenty seconds of a paused street behind the box.
bool s_enterDown = false;

bool CloseMessageBox(HWND window)
{
    if (s_enterDown) {
        PostMessageA(window, WM_KEYUP, 13, 0);
        s_enterDown = false;
        return true;
    }
    if (!g_GameInterface.m_bMessageVisible || g_GameInterface.m_fMessageFade < 1.0f)
        return false;
    PostMessageA(window, WM_KEYDOWN, 13, 0);
    s_enterDown = true;
    ++s_messagesClosed;
    return true;
}

void DriveOn(unsigned, HWND window)
{
    if (!test::PlayerInControl() || CloseMessageBox(window))
        return;
    const D3DXVECTOR3 at = g_pPlayerVehicle->m_vPosition;
    if (s_legs > 0)
        s_driven += std::hypot(at.x - s_lastPosition.x, at.z - s_lastPosition.z);
    s_lastPosition = at;
    if (s_driver.PointCount() == 0 || s_driver.NextPoint() >= s_driver.PointCount() - 1)
        PlanNextLeg();
    s_driver.Step(window);
}

void SetIni(std::string& ini, const std::string& key, const std::string& value)
{
    const std::size_t at = ini.find("\n" + key + "=");
    if (at == std::string::npos)
        return;
    const std::size_t end = ini.find_first_of("\r\n", at + 1);
    ini.replace(at + 1, end - at - 1, key + "=" + value);
}

double Percentile(std::vector<double> v, double p)
{
    if (v.empty())
        return 0.0;
    std::sort(v.begin(), v.end());
    return v[std::min(v.size() - 1, std::size_t(p * double(v.size() - 1) + 0.5))];
}

// The step that took longest in each frame over the limit, by how often.
void ReportSlowFrames(double limit)
{
    std::map<std::string, int> byStep;
    for (std::size_t i = 0; i < s_frameMs.size(); ++i)
        if (s_frameMs[i] > limit)
            ++byStep[s_frameDearest[i]];
    std::vector<std::pair<int, std::string>> steps;
    for (const auto& [name, count] : byStep)
        steps.push_back({count, name});
    std::sort(steps.rbegin(), steps.rend());
    for (std::size_t i = 0; i < steps.size() && i < 6; ++i)
        std::printf("    %3d slow frames spent longest in %s\n", steps[i].first, steps[i].second.c_str());
    std::vector<std::size_t> order(s_frameMs.size());
    for (std::size_t i = 0; i < order.size(); ++i)
        order[i] = i;
    std::sort(order.begin(), order.end(), [](std::size_t a, std::size_t b) { return s_frameMs[a] > s_frameMs[b]; });
    for (std::size_t i = 0; i < order.size() && i < 5; ++i)
        std::printf("    frame %u: %.1f ms (%.1f ms CPU), %.1f of them in %s\n", s_frameNumber[order[i]],
                    s_frameMs[order[i]], s_frameCpuMs[order[i]], s_frameDearestMs[order[i]],
                    s_frameDearest[order[i]]);
}

// The frames that were slow by the game's own work: their CPU time (every
// thread's, the rasteriser's too) over twice the median frame's.
void ReportCpuSlowFrames()
{
    const double limit = 2.0 * Percentile(s_frameCpuMs, 0.5);
    std::vector<std::size_t> slow;
    for (std::size_t i = 0; i < s_frameCpuMs.size(); ++i)
        if (s_frameCpuMs[i] > limit)
            slow.push_back(i);
    std::printf("median CPU time %.3f ms a frame, %zu frames over 2 x that%s", limit / 2.0, slow.size(),
                slow.empty() ? "\n" : ":");
    for (std::size_t i = 0; i < slow.size() && i < 8; ++i)
        std::printf(" %u (%.1f ms CPU, %.1f ms)%s", s_frameNumber[slow[i]], s_frameCpuMs[slow[i]],
                    s_frameMs[slow[i]], i + 1 == slow.size() || i == 7 ? "\n" : ",");
}

// The programs compiled before the drive was measured (the loading and its
// warm-up) and during it, the dearest of the latter named.
void ReportCompiles()
{
    double before = 0.0, during = 0.0;
    std::vector<const Compile*> inDrive;
    for (const Compile& c : s_compiles)
        if (c.frame > s_warmUp) {
            during += c.ms;
            inDrive.push_back(&c);
        } else {
            before += c.ms;
        }
    std::printf("programs compiled: %zu before the measured frames (%.0f ms), %zu during them (%.0f ms)%s",
                s_compiles.size() - inDrive.size(), before, inDrive.size(), during, inDrive.empty() ? "\n" : ":\n");
    std::sort(inDrive.begin(), inDrive.end(), [](const Compile* a, const Compile* b) { return a->ms > b->ms; });
    for (std::size_t i = 0; i < inDrive.size() && i < 6; ++i)
        std::printf("    frame %u: %.0f ms, %.60s in %s\n", inDrive[i]->frame, inDrive[i]->ms, inDrive[i]->what.c_str(),
                    inDrive[i]->step);
}

// Milliseconds per measured frame of each pass, then of its dearest steps.
void ReportPasses()
{
    const double frames = s_frameMs.empty() ? 1.0 : double(s_frameMs.size());
    std::printf("per frame, waiting for the renderer at each step:\n");
    for (const auto& [pass, ms] : s_passMs)
        std::printf("  %-10s %7.2f ms\n", pass.c_str(), ms / frames);
    std::vector<std::pair<double, std::string>> steps;
    for (const auto& [name, ms] : s_passStepMs)
        steps.push_back({ms, name});
    std::sort(steps.rbegin(), steps.rend());
    for (std::size_t i = 0; i < steps.size() && i < 16; ++i)
        std::printf("    %-60s %7.2f ms\n", steps[i].second.c_str(), steps[i].first / frames);
}

} // namespace

int main(int argc, char** argv)
{
    bool gl = false;
    unsigned frames = 3000;
    std::string distance = "2";
    std::string mode = "0";
    const char* threads = nullptr;
    std::filesystem::path run = std::filesystem::read_symlink("/proc/self/exe").parent_path() / "run";
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--gl") == 0)
            gl = true;
        else if (std::strcmp(argv[i], "--frames") == 0 && i + 1 < argc)
            frames = unsigned(std::strtoul(argv[++i], nullptr, 10));
        else if (std::strcmp(argv[i], "--distance") == 0 && i + 1 < argc)
            distance = argv[++i];
        else if (std::strcmp(argv[i], "--mode") == 0 && i + 1 < argc)
            mode = argv[++i];
        else if (std::strcmp(argv[i], "--passes") == 0)
            s_byPass = true;
        else if (std::strcmp(argv[i], "--threads") == 0 && i + 1 < argc)
            threads = argv[++i];
        else
            run = argv[i];
    }
    if (!std::filesystem::exists(run / "Game.ini")) {
        std::fprintf(stderr, "no sample data in %s\n", run.c_str());
        return 1;
    }
    char pattern[] = "/tmp/morvaine-budget-XXXXXX";
    if (!mkdtemp(pattern))
        return 1;
    const std::filesystem::path work = pattern;
    std::filesystem::copy(run, work, std::filesystem::copy_options::recursive);
    std::filesystem::current_path(work);
    std::stringstream text;
    text << std::ifstream("Game.ini").rdbuf();
    std::string ini = text.str();
    SetIni(ini, "Traffic", "2");
    SetIni(ini, "Distance", distance);
    SetIni(ini, "Mode", mode);
    if (threads)
        setenv("LP_NUM_THREADS", threads, 1);
    if (!plat::ReplaceFileWhole("Game.ini", ini.data(), ini.size())) {
        std::fprintf(stderr, "Game.ini could not be written in %s\n", work.c_str());
        return 1;
    }

    plat::SetHeadless(true);
    plat::UseGlDevice(gl);
    plat::SetSoundBackend(plat::SoundBackendKind::Silent);
    s_warmUp = std::min(200u, frames / 4);
    g_pGameStepObserver = OnStep;
    plat::g_pTapeEndObserver = CountRoadUsers;
    plat::g_pTapeFrameObserver = DriveOn;
    s_halfway = frames / 2;
    plat::StartReplay(DriveTape(frames));
    const Clock::time_point start = Clock::now();
    const int status = WinMain(nullptr, nullptr, nullptr, 1);
    const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
    g_pGameStepObserver = nullptr;
    plat::SetShaderCompileListener(nullptr);
    plat::g_pTapeFrameObserver = nullptr;
    const double peakAtEnd = PeakResidentMb();
    std::filesystem::current_path("/");
    std::filesystem::remove_all(work);

    double measured = 0.0;
    for (double ms : s_frameMs)
        measured += ms;
    const double median = Percentile(s_frameMs, 0.5);
    const double worst = s_frameMs.empty() ? 0.0 : *std::max_element(s_frameMs.begin(), s_frameMs.end());
    const char* const kModes[] = {"800 x 600", "1024 x 768", "1280 x 1024", "1600 x 1200"};
    const unsigned modeIndex = std::min(3u, unsigned(std::strtoul(mode.c_str(), nullptr, 10)));
    std::printf("%s %s%s%s, distance setting %s, %zu frames measured after %u of warm-up (%.1f s in all)\n",
                gl ? "OpenGL offscreen" : "headless device", kModes[modeIndex], threads ? ", raster threads " : "",
                threads ? threads : "", distance.c_str(), s_frameMs.size(), s_warmUp, seconds);
    std::printf("%u cars and %u pedestrians at the end; the player's car drove %.0f m in %d legs, %d message boxes "
                "closed\n",
                s_carsAtEnd, s_humansAtEnd, s_driven, s_legs, s_messagesClosed);
    const double limit = 2.0 * median;
    const long over = std::count_if(s_frameMs.begin(), s_frameMs.end(), [limit](double ms) { return ms > limit; });
    std::printf("median %.3f ms, 99th percentile %.3f ms, worst %.3f ms (%.1f x median), %ld frames over 2 x median\n",
                median, Percentile(s_frameMs, 0.99), worst, median > 0 ? worst / median : 0.0, over);
    ReportSlowFrames(limit);
    ReportCpuSlowFrames();
    ReportCompiles();
    std::printf("peak resident memory %.1f MB after half the drive, %.1f MB at the end\n", s_peakAtHalf, peakAtEnd);
    if (gl)
        std::printf("%.1f frames per second\n", measured > 0 ? 1000.0 * double(s_frameMs.size()) / measured : 0.0);
    for (int s = 0; s < SHARES; ++s)
        std::printf("  %-12s %5.1f %%\n", kShareNames[s], measured > 0 ? 100.0 * s_shareMs[s] / measured : 0.0);
    std::vector<std::pair<double, std::string>> others;
    for (const auto& [name, ms] : s_otherMs)
        others.push_back({ms, name});
    std::sort(others.rbegin(), others.rend());
    for (std::size_t i = 0; i < others.size() && i < 4; ++i)
        std::printf("    of which %-40s %5.1f %%\n", others[i].second.c_str(), 100.0 * others[i].first / measured);
    if (s_byPass)
        ReportPasses();
    return status;
}
