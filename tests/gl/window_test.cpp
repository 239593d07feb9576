// The device in the real window: SDL's offscreen video driver gives the
// window an OpenGL context without any display, so the path the game takes
// (not headless) is drawn, presented and read back here.
#include "GlFixture.h"

#include "platform/Backend.h"
#include "platform/SdlWindow.h"
#include "platform/Win32.h"
#include "support/HeadlessDevice.h"

#include <cstdlib>
#include <filesystem>

namespace gltest {
namespace {

class WindowDeviceTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        setenv("SDL_VIDEODRIVER", "offscreen", 1);
        plat::SetHeadless(false);
        plat::ResetWindowing();
        plat::sdl::SetOpenGLWindows(true);
        WNDCLASSA wc{};
        wc.lpfnWndProc = DefWindowProcA;
        wc.lpszClassName = "Morvaine";
        RegisterClassA(&wc);
        hwnd = CreateWindowExA(0, "Morvaine", "Morvaine", WS_POPUP | WS_VISIBLE, 0, 0, 160, 120, nullptr, nullptr,
                               nullptr, nullptr);
        ASSERT_NE(hwnd, nullptr);
        ASSERT_NE(plat::NativeWindowHandle(hwnd), nullptr);
    }
    void TearDown() override
    {
        plat::ResetWindowing();
        plat::SetHeadless(true);
        unsetenv("MORVAINE_SCREENSHOT");
        unsetenv("MORVAINE_SCREENSHOT_FRAME");
    }

    HWND hwnd = nullptr;
};

TEST_F(WindowDeviceTest, FramesArePresentedInTheWindowAndTheScreenshotIsTaken)
{
    const std::string shot = std::string(MORVAINE_BUILD_DIR) + "/gl-window-screenshot.png";
    std::filesystem::remove(shot);
    setenv("MORVAINE_SCREENSHOT", shot.c_str(), 1);
    setenv("MORVAINE_SCREENSHOT_FRAME", "2", 1);
    ASSERT_TRUE(plat::GlDeviceChosen());
    IDirect3D9* d3d = Direct3DCreate9(D3D_SDK_VERSION);
    ASSERT_NE(d3d, nullptr);
    D3DPRESENT_PARAMETERS params = test::WindowedParams(160, 120);
    params.BackBufferCount = 3;
    params.hDeviceWindow = hwnd;
    params.AutoDepthStencilFormat = D3DFMT_D24X8;
    params.PresentationInterval = D3DPRESENT_INTERVAL_IMMEDIATE;
    IDirect3DDevice9* device = nullptr;
    ASSERT_EQ(d3d->CreateDevice(0, D3DDEVTYPE_HAL, hwnd, D3DCREATE_HARDWARE_VERTEXPROCESSING, &params, &device),
              D3D_OK);
    const D3DCOLOR colours[3] = {0xFF400000, 0xFF004000, 0xFF000040};
    for (D3DCOLOR colour : colours) {
        device->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, colour, 1.0f, 0);
        ASSERT_EQ(device->BeginScene(), D3D_OK);
        ASSERT_EQ(device->EndScene(), D3D_OK);
        ASSERT_EQ(device->Present(nullptr, nullptr, nullptr, nullptr), D3D_OK);
    }
    plat::Pixels back, saved;
    ASSERT_TRUE(plat::ReadRenderTarget(device, nullptr, &back));
    EXPECT_TRUE(Near(back.At(80, 60), 0xFF000040));
    ASSERT_TRUE(plat::ReadPng(shot.c_str(), &saved));
    EXPECT_EQ(saved.width, 160u);
    EXPECT_TRUE(Near(saved.At(80, 60), 0xFF004000)); // the second frame
    EXPECT_EQ(device->Release(), 0u);
    d3d->Release();
}

} // namespace
} // namespace gltest
