// A headless 3-D device for tests of game code that draws.
#pragma once

#include "platform/D3D9.h"
#include "platform/D3D9Recording.h"

namespace test {

// Windowed X8R8G8B8 back buffer with a 16-bit depth buffer.
D3DPRESENT_PARAMETERS WindowedParams(UINT width = 800, UINT height = 600);

class HeadlessDevice {
public:
    explicit HeadlessDevice(UINT width = 800, UINT height = 600);
    ~HeadlessDevice();
    HeadlessDevice(const HeadlessDevice&) = delete;
    HeadlessDevice& operator=(const HeadlessDevice&) = delete;

    IDirect3DDevice9* Get() const { return m_device; }
    plat::DeviceLog& Log() const { return plat::RecordedCalls(m_device); }

private:
    IDirect3D9* m_d3d = nullptr;
    IDirect3DDevice9* m_device = nullptr;
};

} // namespace test
