#include "game/StartLogos.h"

#include "game/GameInterface.h"
#include "game/GameMenu.h"
#include "game/ScreenKeys.h"
#include "graphics/D3DRender.h"
#include "platform/InputTape.h"
#include "platform/Win32.h"
#include "shell/AudioManager.h"

#include <algorithm>

namespace {

struct PhaseEnd {
    float length; // seconds shown
    float wait;   // pause before the next phase
};
const PhaseEnd kPhases[LOGO_DONE] = {{3.0f, 2.0f}, {2.0f, 0.0f}, {2.0f, 1.0f}, {2.0f, 0.25f}};

float PhaseAlpha(int phase, float t)
{
    switch (phase) {
    case LOGO_PARTNER_IN:
        return std::min(255.0f, 85.0f * t);
    case LOGO_PARTNER_OUT:
        return std::max(0.0f, std::min(255.0f, 255.0f - 127.5f * t));
    case LOGO_STUDIO_IN:
        return std::min(254.0f, 127.0f * t);
    default:
        return std::max(0.0f, 254.0f - 127.0f * t);
    }
}

bool TakeSkipKeys()
{
    return StepWithScreenKeys([](ScreenKeys& keys) {
        const bool skip = keys.mouseLeft || keys.escape || keys.space || keys.enter;
        keys.mouseLeft = keys.escape = keys.space = keys.enter = 0;
        return skip;
    });
}

void DrainMessages()
{
    MSG msg{};
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT)
            break;
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
}

} // namespace

void CStartLogos::Start(std::uint32_t now)
{
    m_nPhase = LOGO_PARTNER_IN;
    m_nStamp = now;
    m_fWait = 1.0f;
}

bool CStartLogos::Step(std::uint32_t now, bool skip, float* alpha)
{
    if (skip && m_nPhase < LOGO_DONE) {
        m_nStamp = now;
        m_nPhase = m_nPhase < LOGO_STUDIO_IN ? LOGO_STUDIO_IN : LOGO_DONE;
        if (m_nPhase == LOGO_DONE)
            m_fWait = 0.0f;
    }
    float t = static_cast<float>(now - m_nStamp) * 0.001f;
    if (m_fWait != 0.0f) {
        if (t < m_fWait)
            return false;
        m_nStamp = now;
        t = 0.0f;
        m_fWait = 0.0f;
    }
    if (m_nPhase >= LOGO_DONE)
        return false;
    *alpha = PhaseAlpha(m_nPhase, t);
    if (t >= kPhases[m_nPhase].length) {
        m_fWait = kPhases[m_nPhase].wait;
        m_nStamp = now;
        ++m_nPhase;
    }
    return true;
}

bool CStartLogos::Done() const
{
    return m_nPhase >= LOGO_DONE && m_fWait == 0.0f;
}

// Runs before the game object exists, with its own message loop and clock.
// A run with a frame budget is a scripted one: it has no one to show the
// logos to.
void CGameMenu::PlayStartLogos()
{
    if (plat::FrameBudget() != 0 || plat::ActiveTapeMode() != plat::TapeMode::Off)
        return;
    const TextureId studio = g_D3DRender.LoadTexture("Data/Interface/GameMenu/Logo_Quillon.dds", 1, D3DPOOL_MANAGED);
    const TextureId partner = g_D3DRender.LoadTexture("Data/Interface/GameMenu/Logo_Tarnhollow.bmp", 1, D3DPOOL_MANAGED);
    CStartLogos logos;
    logos.Start(timeGetTime());
    bool musicTried = false;
    while (!logos.Done()) {
        DrainMessages();
        const int phase = logos.m_nPhase;
        float alpha = 0.0f;
        const bool draw = logos.Step(timeGetTime(), TakeSkipKeys(), &alpha) && phase < LOGO_DONE;
        IDirect3DDevice9* device = g_D3DRender.m_pDevice;
        if (draw && device && SUCCEEDED(device->BeginScene())) {
            device->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0, 1.0f, 0);
            const DWORD colour = static_cast<DWORD>(alpha) << 24 | 0x00FFFFFFu;
            if (phase <= LOGO_PARTNER_OUT)
                CScreenDraw::DrawRect(-1.0f, -1.0f, 801.0f, 601.0f, colour, partner);
            else
                CScreenDraw::DrawRect(340.0f, 240.0f, 460.0f, 360.0f, colour, studio);
            device->EndScene();
            g_D3DRender.PresentFrame();
        }
        // The music is asked for once: a missing file is not retried each pass.
        if (draw && phase == LOGO_PARTNER_IN && !musicTried) {
            musicTried = true;
            if (!g_AudioManager.m_pNamedMusic)
                g_AudioManager.PlayMusic(1, "Data/Audio/Start logo.wav", 0, 100.0f);
        }
        Sleep(1);
    }
    g_D3DRender.ReleaseTexture(studio);
    g_D3DRender.ReleaseTexture(partner);
    g_AudioManager.PlayMusic(0, nullptr, 0, 0.0f);
}

void CGameMenu::ShowLoadingScreen(int present)
{
    g_GameInterface.m_Cursor.m_bVisible = 0;
    if (m_Background == INVALID_TEXTURE_ID)
        LoadRandomBackground(-1);
    LoadMissingTexture(&m_LoadingText, "Data/Interface/GameMenu/Load-Text.dds");
    auto draw = [this]() {
        CScreenDraw::DrawRect(-1.0f, -1.0f, 801.0f, 601.0f, 0xFFFFFFFFu, m_Background);
        DrawTitle(100.0f);
        CScreenDraw::DrawRect(525.0f, 514.0f, 774.0f, 575.0f, 0xFEFFFFFFu, m_LoadingText);
    };
    if (!present) {
        draw(); // into the frame being built
        return;
    }
    IDirect3DDevice9* device = g_D3DRender.m_pDevice;
    for (int round = 0; round < 5 && device; ++round) {
        if (SUCCEEDED(device->BeginScene())) {
            draw();
            device->EndScene();
        }
        g_D3DRender.PresentFrame();
    }
}
