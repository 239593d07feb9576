#include "FuzzFiles.h"

#include "graphics/D3DRender.h"
#include "platform/Backend.h"
#include "platform/D3D9.h"
#include "platform/MemoryFiles.h"
#include "shell/AudioManager.h"
#include "shell/FileManager.h"
#include "shell/Game.h"
#include "shell/Settings.h"
#include "writers/FileBytes.h"

#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <signal.h>
#include <unistd.h>
#include <vector>

namespace fs = std::filesystem;

namespace {

// The scratch folder is named after its process, so that one left behind by
// a target that crashed (exit handlers do not run then) can be told from
// one still in use and removed by the next target that starts.
const std::string kScratchPrefix = "morvaine-fuzz-";
fs::path s_Scratch;

void RemoveScratch()
{
    std::error_code ec;
    if (!s_Scratch.empty())
        fs::remove_all(s_Scratch, ec);
}

bool OwnerIsGone(const std::string& folderName)
{
    if (folderName.compare(0, kScratchPrefix.size(), kScratchPrefix) != 0)
        return false;
    const char* digits = folderName.c_str() + kScratchPrefix.size();
    char* end = nullptr;
    const long pid = std::strtol(digits, &end, 10);
    return end != digits && *end == '-' && pid > 0 && kill(static_cast<pid_t>(pid), 0) != 0 && errno == ESRCH;
}

void RemoveOrphanedScratch(const fs::path& temp)
{
    std::error_code ec;
    std::vector<fs::path> orphans;
    for (fs::directory_iterator it(temp, ec), end; !ec && it != end; it.increment(ec))
        if (OwnerIsGone(it->path().filename().string()))
            orphans.push_back(it->path());
    for (const fs::path& orphan : orphans)
        fs::remove_all(orphan, ec);
}

// The paths libFuzzer writes to or reads from during the run: given
// relative, they would point into the scratch folder once it is entered.
const char* const kPathFlags[] = {"-artifact_prefix=", "-exact_artifact_path=", "-dict=", "-features_dir="};

std::string MadeFull(const std::string& arg)
{
    std::error_code ec;
    if (!arg.empty() && arg[0] != '-')
        return fs::absolute(arg, ec).string();
    for (const char* flag : kPathFlags) {
        const std::string prefix(flag);
        if (arg.compare(0, prefix.size(), prefix) == 0 && arg.size() > prefix.size())
            return prefix + fs::absolute(arg.substr(prefix.size()), ec).string();
    }
    return arg;
}

// Left out of the coverage feedback: a compare traced per byte made the
// seeding of a large input cost more than reading it (kept out of line, or
// it would be instrumented as part of its caller).
__attribute__((no_sanitize("coverage"), noinline)) std::uint32_t HashBytes(const std::uint8_t* data, std::size_t size)
{
    std::uint32_t h = 2166136261u;
    for (std::size_t i = 0; i < size; ++i)
        h = (h ^ data[i]) * 16777619u;
    return h;
}

} // namespace

// libFuzzer calls this once before it reads its arguments. The program's own
// name must stay as it was given (libFuzzer checks).
extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    static std::vector<std::string> args;
    static std::vector<char*> pointers;
    for (int i = 1; i < *argc; ++i)
        args.push_back(MadeFull((*argv)[i]));
    pointers.push_back((*argv)[0]);
    for (std::string& arg : args)
        pointers.push_back(arg.data());
    pointers.push_back(nullptr);
    *argv = pointers.data();
    fuzz::EnterScratchDirectory();
    return 0;
}

namespace fuzz {

void EnterScratchDirectory()
{
    static bool entered = false;
    if (entered)
        return;
    entered = true;
    plat::SetHeadless(true);
    std::error_code ec;
    const fs::path temp = fs::temp_directory_path(ec);
    if (ec)
        return;
    RemoveOrphanedScratch(temp);
    std::string pattern = (temp / (kScratchPrefix + std::to_string(getpid()) + "-XXXXXX")).string();
    if (!mkdtemp(pattern.data()))
        return;
    s_Scratch = pattern;
    std::atexit(RemoveScratch);
    fs::current_path(s_Scratch, ec);
}

void BeginInput(const std::uint8_t* data, std::size_t size)
{
    EnterScratchDirectory();
    std::srand(HashBytes(data, size));
}

void StartLooseFilesAndSilentAudio()
{
    static bool started = false;
    if (started)
        return;
    started = true;
    g_bFileManager = 0;
    g_FileManager.Init();
    g_AudioManager.Init(nullptr);
}

bool StartHeadlessGame(bool physics, void (*writeFiles)())
{
    static bool started = false;
    if (!started) {
        started = true;
        g_D3DRender.m_pDevice = HeadlessDevice();
        StartLooseFilesAndSilentAudio();
        if (physics)
            g_Game.InitPhysics();
        if (writeFiles)
            writeFiles();
    }
    return g_D3DRender.m_pDevice != nullptr;
}

IDirect3DDevice9* HeadlessDevice()
{
    static IDirect3D9* d3d = nullptr;
    static IDirect3DDevice9* device = nullptr;
    if (d3d)
        return device;
    d3d = Direct3DCreate9(D3D_SDK_VERSION);
    if (!d3d)
        return nullptr;
    D3DPRESENT_PARAMETERS pp{};
    pp.BackBufferWidth = 64;
    pp.BackBufferHeight = 64;
    pp.BackBufferFormat = D3DFMT_X8R8G8B8;
    pp.BackBufferCount = 1;
    pp.SwapEffect = D3DSWAPEFFECT_FLIP;
    pp.Windowed = TRUE;
    d3d->CreateDevice(0, D3DDEVTYPE_HAL, nullptr, D3DCREATE_HARDWARE_VERTEXPROCESSING, &pp, &device);
    return device;
}

void SetFile(const std::string& path, const std::uint8_t* data, std::size_t size)
{
    if (!plat::SetMemoryFile(path.c_str(), data, size))
        std::abort();
}

void SetFile(const std::string& path, const std::string& bytes)
{
    SetFile(path, reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size());
}

void WriteFile(const std::string& path, const std::uint8_t* data, std::size_t size)
{
    tools::WriteFileBytes(path, std::string(reinterpret_cast<const char*>(data), size));
}

void WriteFile(const std::string& path, const std::string& bytes)
{
    tools::WriteFileBytes(path, bytes);
}

void SplitInput(const std::uint8_t* data, std::size_t size, std::string* first, std::string* second,
                int prefixBytes)
{
    const std::size_t width = static_cast<std::size_t>(prefixBytes);
    std::size_t n = 0;
    for (std::size_t i = 0; i < width && i < size; ++i)
        n |= static_cast<std::size_t>(data[i]) << (8 * i);
    const std::size_t start = size >= width ? width : size;
    if (n > size - start)
        n = size - start;
    first->assign(reinterpret_cast<const char*>(data + start), n);
    second->assign(reinterpret_cast<const char*>(data + start + n), size - start - n);
}

} // namespace fuzz
