// Start-up, shut-down, pause and the per-frame step of the audio manager.
#include "shell/AudioManager.h"

#include "graphics/ReleaseAndClear.h"
#include "platform/Win32Shell.h"
#include "shell/GameTimer.h"
#include "shell/Log.h"
#include "shell/Settings.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>

namespace {

bool SoundStartFailed(const char* message)
{
    ErrorBox(message, "Sound error!", MB_ICONEXCLAMATION);
    g_bAudio = 0;
    return false;
}

} // namespace

CAudioManager::CAudioManager()
{
    std::memset(static_cast<void*>(this), 0, sizeof *this);
    m_bAmbient = 1;
    m_fFadeLevel = 100.0f;
}

// The output device, its primary buffer and the listener; each failure shows
// its own message and switches the audio off.
bool CAudioManager::StartDevice(HWND hwnd)
{
    if (FAILED(CoInitialize(nullptr)))
        return SoundStartFailed("COM initialize failed!");
    if (FAILED(DirectSoundCreate8(nullptr, &m_pDirectSound, nullptr)))
        return SoundStartFailed("DirectSoundCreate8() failed!");
    if (FAILED(m_pDirectSound->SetCooperativeLevel(hwnd, DSSCL_PRIORITY)))
        return SoundStartFailed("SetCooperativeLevel() failed!");
    DSBUFFERDESC desc{};
    desc.dwSize = sizeof desc;
    desc.dwFlags = DSBCAPS_PRIMARYBUFFER | DSBCAPS_LOCHARDWARE | DSBCAPS_CTRL3D | DSBCAPS_CTRLVOLUME;
    IDirectSoundBuffer* primary = nullptr;
    if (FAILED(m_pDirectSound->CreateSoundBuffer(&desc, &primary, nullptr))) {
        desc.dwFlags &= ~DSBCAPS_LOCHARDWARE;
        if (FAILED(m_pDirectSound->CreateSoundBuffer(&desc, &primary, nullptr)))
            return SoundStartFailed("Creating primary buffer failed!");
    }
    WAVEFORMATEX format{WAVE_FORMAT_PCM, 2, 22050, 88200, 4, 16, 0};
    if (FAILED(primary->SetFormat(&format))) {
        primary->Release();
        return SoundStartFailed("Setting primary buffer format failed!");
    }
    const HRESULT hr = primary->QueryInterface(IID_IDirectSound3DListener, reinterpret_cast<void**>(&m_pListener));
    primary->Release();
    if (FAILED(hr))
        return SoundStartFailed("Init direct sound listener failed!");
    m_pListener->SetPosition(1000000.0f, 1000000.0f, 1000000.0f, DS3D_DEFERRED);
    m_pListener->SetVelocity(0.0f, 0.0f, 0.0f, DS3D_DEFERRED);
    m_pListener->SetDopplerFactor(1.0f, DS3D_DEFERRED);
    return true;
}

// The loader and the performance; failures here show no message.
bool CAudioManager::StartMusic(HWND hwnd)
{
    CoCreateInstance(CLSID_DirectMusicLoader, nullptr, CLSCTX_INPROC, IID_IDirectMusicLoader8,
                     reinterpret_cast<void**>(&m_pLoader));
    CoCreateInstance(CLSID_DirectMusicPerformance, nullptr, CLSCTX_INPROC, IID_IDirectMusicPerformance8,
                     reinterpret_cast<void**>(&m_pPerformance));
    if (!m_pLoader || !m_pPerformance)
        return false;
    char directory[256] = {};
    GetCurrentDirectoryA(sizeof directory, directory);
    wchar_t wide[256] = {};
    for (std::size_t i = 0; i + 1 < 256 && directory[i]; ++i)
        wide[i] = static_cast<unsigned char>(directory[i]);
    m_pLoader->SetSearchDirectory(GUID_All_Objects, wide, FALSE);
    const DWORD features = DMUS_AUDIOF_3D | DMUS_AUDIOF_STREAMING | DMUS_AUDIOF_BUFFERS;
    DMUS_AUDIOPARAMS params{sizeof(DMUS_AUDIOPARAMS), TRUE,
                            DMUS_AUDIOPARAMS_FEATURES | DMUS_AUDIOPARAMS_VOICES | DMUS_AUDIOPARAMS_SAMPLERATE,
                            features, 64, 22050, GUID_None};
    if (FAILED(m_pPerformance->InitAudio(nullptr, &m_pDirectSound, hwnd, DMUS_APATH_DYNAMIC_STEREO, 64, features,
                                         &params)))
        return false;
    if (FAILED(m_pPerformance->GetDefaultAudioPath(&m_pDefaultAudioPath)))
        return false;
    m_pLoader->EnableCache(GUID_All_Objects, FALSE);
    return true;
}

HRESULT CAudioManager::Init(HWND hwnd)
{
    if (!g_bAudio)
        return S_OK;
    if (!StartDevice(hwnd)) {
        ReleaseInterfaces();
        return E_FAIL;
    }
    std::fill(std::begin(m_pSounds), std::end(m_pSounds), nullptr);
    m_nSounds = 0;
    ForgetReportedSoundFailures();
    if (!StartMusic(hwnd)) {
        ReleaseInterfaces();
        return E_FAIL;
    }
    LoadAmbientData();
    InitVoiceSlots();
    LoadCarSounds();
    m_bPaused = 0;
    return S_OK;
}

void CAudioManager::ReleaseInterfaces()
{
    ReleaseAndClear(m_pListener);
    ReleaseAndClear(m_pDirectSound);
    ReleaseAndClear(m_pDefaultAudioPath);
    if (m_pPerformance)
        m_pPerformance->CloseDown();
    ReleaseAndClear(m_pLoader);
    ReleaseAndClear(m_pPerformance);
    CoUninitialize();
}

void CAudioManager::Release()
{
    if (!g_bAudio)
        return;
    DebugLog("\nCAudioManager::Release() start...");
    SafeFreeSound(&m_pMusic);
    m_bMusic = 0;
    SafeFreeSound(&m_pAmbient[0]);
    SafeFreeSound(&m_pAmbient[1]);
    FreeVoiceSlots();
    FreeCarSounds();
    while (m_nSounds > 0) {
        CGameSound* lost = m_pSounds[0];
        char line[300];
        std::snprintf(line, sizeof line, "\tSound lost! (Name: %s)", lost->m_szName);
        DebugLog(line);
        FreeSound(&lost);
    }
    if (m_pLoader)
        m_pLoader->ClearCache(GUID_All_Objects);
    if (m_pPerformance)
        m_pPerformance->Stop(nullptr, nullptr, 0, 0);
    ReleaseInterfaces();
    DebugLog("CAudioManager::Release() done!\n");
}

void CAudioManager::Update()
{
    if (!g_bAudio || m_bPaused || g_GameTimer.m_fDelta == 0.0f)
        return;
    if (m_pListener)
        m_pListener->CommitDeferredSettings();
    ReleaseFinishedVoices();
    UpdatePooledSounds();
    UpdateMusic();
    UpdateAmbient();
}

void CAudioManager::PauseAll()
{
    if (!g_bAudio || m_bPaused)
        return;
    for (DWORD i = 0; i < m_nSounds; ++i)
        m_pSounds[i]->Pause();
    m_bPaused = 1;
}

void CAudioManager::ResumeAll()
{
    if (!m_bPaused)
        return;
    for (DWORD i = 0; i < m_nSounds; ++i)
        m_pSounds[i]->Resume();
    m_bPaused = 0;
}

void CAudioManager::Compact()
{
    if (m_pDirectSound)
        m_pDirectSound->Compact();
}

void CAudioManager::ApplyVolumes()
{
    for (DWORD i = 0; i < m_nSounds; ++i)
        m_pSounds[i]->ReapplyVolume();
}

void CAudioManager::SetMasterVolume(float level)
{
    // Not a number counts as silent.
    m_fFadeLevel = level > 0.0f ? std::trunc(std::min(level, 100.0f)) : 0.0f;
    ApplyVolumes();
}

void CAudioManager::SetListenerPosition(const D3DVECTOR& p)
{
    if (!g_bAudio || m_bPaused || !m_pListener)
        return;
    m_pListener->SetPosition(p.x, p.y, p.z, DS3D_IMMEDIATE);
    m_vListenerPosition = p;
}

void CAudioManager::SetListenerVelocity(const D3DVECTOR& v)
{
    if (!g_bAudio || m_bPaused || !m_pListener)
        return;
    m_pListener->SetVelocity(v.x, v.y, v.z, DS3D_IMMEDIATE);
}

void CAudioManager::SetListenerOrientation(const D3DVECTOR& f, const D3DVECTOR& t)
{
    if (!g_bAudio || m_bPaused || !m_pListener)
        return;
    m_pListener->SetOrientation(f.x, f.y, f.z, t.x, t.y, t.z, DS3D_IMMEDIATE);
}
