#include "FuzzFiles.h"

#include "platform/Backend.h"
#include "platform/D3D9.h"
#include "platform/MemoryFiles.h"
#include "shell/AudioManager.h"
#include "shell/FileManager.h"
#include "shell/Settings.h"
#include "writers/FileBytes.h"

#include <cstdlib>
#include <filesystem>

namespace fuzz {

void EnterScratchDirectory()
{
    static bool entered = false;
    if (entered)
        return;
    entered = true;
    plat::SetHeadless(true);
    std::string pattern = (std::filesystem::temp_directory_path() / "morvaine-fuzz-XXXXXX").string();
    if (mkdtemp(pattern.data()))
        std::filesystem::current_path(pattern);
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

void SplitInput(const std::uint8_t* data, std::size_t size, std::string* first, std::string* second)
{
    std::size_t n = 0;
    if (size >= 2)
        n = static_cast<std::size_t>(data[0]) | (static_cast<std::size_t>(data[1]) << 8);
    const std::size_t start = size >= 2 ? 2 : size;
    if (n > size - start)
        n = size - start;
    first->assign(reinterpret_cast<const char*>(data + start), n);
    second->assign(reinterpret_cast<const char*>(data + start + n), size - start - n);
}

} // namespace fuzz
