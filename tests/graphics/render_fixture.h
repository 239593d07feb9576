// A renderer started on the headless device over a small data tree: the
// technique files and default textures the sample data builder writes,
// read as loose files.
#pragma once

#include "graphics/D3DRender.h"
#include "platform/D3D9Recording.h"
#include "platform/Win32.h"
#include "shell/FileManager.h"
#include "shell/Log.h"
#include "shell/Settings.h"
#include "shell/WinMain.h"
#include "support/TempDir.h"
#include "writers/RenderDataWriter.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace test {

// Settings as the sample "Game.ini" has them, with their first bounds.
inline void ResetRenderSettings()
{
    static const int kMax[9] = {3, 600, 1, 2, 3, 1, 1, 2, 1};
    std::memcpy(g_SettingMax, kMax, sizeof kMax);
    g_nVideoMode = 1;
    g_nShadows = 3;
    g_nDetails = 1;
    g_bGlow = 1;
    g_bBlur = 1;
    g_nWater = 2;
    g_bReflect = 1;
    g_bEditorMode = 0;
    g_bBmpToJpg = 1;
    g_bFileManager = 0;
}

class RenderTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        plat::SetHeadless(true);
        plat::ResetWindowing();
        plat::ResetHeadlessAdapterScript();
        plat::SetFakeClock(0);
        ResetRenderSettings();
        g_FileManager.Init();
        ASSERT_TRUE(tools::WriteTechniqueFiles(m_dir.Path().string()));
        ASSERT_TRUE(tools::WriteRenderTextures(m_dir.Path().string()));
        WNDCLASSA wc{};
        wc.lpfnWndProc = DefWindowProcA;
        wc.lpszClassName = "RenderTest";
        RegisterClassA(&wc);
        m_window = CreateWindowExA(0, "RenderTest", "RenderTest", WS_POPUP, 0, 0, 1024, 768, nullptr, nullptr,
                                   nullptr, nullptr);
        g_hWnd = m_window;
        g_bQuit = 0;
        g_bDebugLog = 1;
        DebugLog(nullptr);
    }

    void TearDown() override
    {
        g_D3DRender.FreeD3DRender();
        g_bDebugLog = 0;
        plat::ResetHeadlessAdapterScript();
        plat::ResetWindowing();
        plat::UseRealClock();
        g_hWnd = nullptr;
        g_bQuit = 0;
    }

    // Starts the renderer windowed at the "Mode" setting; 0 on success.
    int Start(BOOL windowed = TRUE, int width = 0, int height = 0)
    {
        return g_D3DRender.InitD3DRender(m_window, windowed, width, height);
    }

    IDirect3DDevice9* Device() const { return g_D3DRender.m_pDevice; }
    plat::DeviceLog& Calls() { return plat::RecordedCalls(g_D3DRender.m_pDevice); }

    // How often the device was asked to set a render state since the log was cleared.
    size_t RenderStateSets(DWORD state)
    {
        size_t n = 0;
        for (const plat::D3DCall& c : Calls().Of(plat::D3DOp::SetRenderState))
            n += c.a == state;
        return n;
    }

    std::string Log() const { return ReadWholeFile("debug.txt"); }

    ScopedTempDir m_dir;
    HWND m_window = nullptr;
};

// The renderer already started, with the device's log emptied.
class StartedRenderTest : public RenderTest {
protected:
    void SetUp() override
    {
        RenderTest::SetUp();
        ASSERT_EQ(Start(), 0);
        Calls().Clear();
    }
};

} // namespace test
