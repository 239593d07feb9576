#include "shell/GameSound.h"

#include "graphics/ReleaseAndClear.h"
#include "shell/AudioManager.h"
#include "shell/GameTimer.h"
#include "shell/Log.h"
#include "shell/Settings.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

namespace {

int RealClockMs()
{
    return static_cast<int>(g_GameTimer.m_fRealTime);
}

} // namespace

LONG MapSoundVolume(float percent, int category, int master, float fade)
{
    const double attenuation = 100.0 - static_cast<double>(percent) / 10000.0 * category * master * (fade / 100.0);
    const double volume = -50.0 * attenuation;
    if (!(volume > DSBVOLUME_MIN)) // also a percent that is not a number
        return DSBVOLUME_MIN;
    if (volume > DSBVOLUME_MAX)
        return DSBVOLUME_MAX;
    return static_cast<LONG>(volume);
}

MUSIC_TIME ComputePlayOffset(MUSIC_TIME now, MUSIC_TIME stateStart, MUSIC_TIME startPoint, MUSIC_TIME loopStart,
                             MUSIC_TIME loopEnd, MUSIC_TIME length, DWORD repeats)
{
    std::int64_t offset = static_cast<std::int64_t>(now) - (static_cast<std::int64_t>(stateStart) - startPoint);
    const std::int64_t end = loopEnd != 0 ? loopEnd : length;
    if (repeats != 0 && loopStart < end && startPoint < end) {
        const std::int64_t span = end - loopStart;
        if (repeats == DMUS_SEG_REPEAT_INFINITE || offset <= loopStart + span * repeats) {
            if (offset > loopStart)
                offset = (offset - loopStart) % span + loopStart;
        } else {
            offset -= span * repeats;
        }
    }
    return static_cast<MUSIC_TIME>(std::clamp<std::int64_t>(offset, 0, 2147483647));
}

CGameSound::CGameSound(const char* name, IDirectMusicSegment8* segment, SoundMemoryImage* image, DWORD kind,
                       float minDistance, float maxDistance)
    : m_nKind(kind), m_nRepeats(0), m_bPaused(0), m_nStartTime(0), m_nPausedOffset(0), m_nBaseFrequency(0),
      m_fVolume(0.0f), m_fMinDistance(minDistance), m_fMaxDistance(maxDistance), m_pMemoryImage(image),
      m_nRefCount(0), m_pSegment(segment), m_pSegmentState(nullptr), m_pAudioPath(nullptr), m_pBuffer(nullptr),
      m_p3DBuffer(nullptr), m_bStarted(0)
{
    std::snprintf(m_szName, sizeof m_szName, "%s", name ? name : "");
    if (m_pMemoryImage)
        ++m_pMemoryImage->nRefCount;
    CreateAudioPath();
    m_nRefCount = 1;
    if (m_pSegment) {
        m_pSegment->SetLength(1);
        m_pSegment->SetStartPoint(0);
        m_pSegment->SetLoopPoints(0, 0);
    }
}

void CGameSound::CreateAudioPath()
{
    IDirectMusicPerformance8* performance = g_AudioManager.m_pPerformance;
    if (!performance || !m_pSegment)
        return;
    const DWORD type = m_nKind == SOUND_3D ? DMUS_APATH_DYNAMIC_3D : DMUS_APATH_DYNAMIC_STEREO;
    performance->CreateStandardAudioPath(type, 64, FALSE, &m_pAudioPath);
    if (!m_pAudioPath)
        return;
    m_pSegment->Download(m_pAudioPath);
    m_pAudioPath->GetObjectInPath(DMUS_PCHANNEL_ALL, DMUS_PATH_BUFFER, 0, GUID_All_Objects, 0,
                                  IID_IDirectSoundBuffer8, reinterpret_cast<void**>(&m_pBuffer));
    if (!m_pBuffer) {
        ErrorBox("SoundBuffer empty!", "CGameSound error!", MB_ICONEXCLAMATION);
    } else {
        m_pBuffer->GetFrequency(&m_nBaseFrequency);
        SetVolume(100.0f);
    }
    if (m_nKind == SOUND_3D) {
        m_pAudioPath->GetObjectInPath(0, DMUS_PATH_BUFFER, 0, GUID_All_Objects, 0, IID_IDirectSound3DBuffer8,
                                      reinterpret_cast<void**>(&m_p3DBuffer));
        SetPosition({-1000000.0f, -1000000.0f, -1000000.0f});
        SetVelocity({0.0f, 0.0f, 0.0f});
        SetDistances(m_fMinDistance, m_fMaxDistance);
        m_pSegment->SetTrackConfig(CLSID_DirectMusicWaveTrack, 0xFFFFFFFFu, DMUS_SEG_ANYTRACK,
                                   DMUS_TRACKCONFIG_PLAY_CLOCKTIME, 0);
    }
    m_pSegment->Unload(m_pAudioPath);
}

void CGameSound::DropSegmentState()
{
    ReleaseAndClear(m_pSegmentState);
}

// Plays the segment from its start point on the sound's path and keeps the
// new play state.
void CGameSound::StartSegment()
{
    IDirectMusicSegmentState* state = nullptr;
    g_AudioManager.m_pPerformance->PlaySegmentEx(m_pSegment, nullptr, nullptr, DMUS_SEGF_DEFAULT | DMUS_SEGF_SECONDARY,
                                                 0, &state, nullptr, m_pAudioPath);
    DropSegmentState();
    if (state) {
        state->QueryInterface(IID_IDirectMusicSegmentState8, reinterpret_cast<void**>(&m_pSegmentState));
        state->Release();
    }
}

void CGameSound::Play(int loop)
{
    if (!m_pSegment || !m_pAudioPath || !g_AudioManager.m_pPerformance)
        return;
    m_pSegment->Download(m_pAudioPath);
    m_pAudioPath->Activate(TRUE);
    m_nRepeats = loop ? DMUS_SEG_REPEAT_INFINITE : 0;
    m_pSegment->SetRepeats(m_nRepeats);
    m_pSegment->SetLength(1);
    m_pSegment->SetStartPoint(0);
    StartSegment();
    m_nStartTime = RealClockMs();
    m_bStarted = 1;
}

void CGameSound::Stop()
{
    m_bStarted = 0;
    m_bPaused = 0;
    if (!m_pSegment || !g_AudioManager.m_pPerformance)
        return;
    g_AudioManager.m_pPerformance->StopEx(m_pSegment, 0, 0);
    DropSegmentState();
    if (m_pAudioPath) {
        m_pAudioPath->Activate(FALSE);
        m_pSegment->Unload(m_pAudioPath);
    }
}

bool CGameSound::IsPlaying()
{
    if (m_bStarted && RealClockMs() - m_nStartTime < kSoundStartGraceMs)
        return true;
    if (!m_pSegmentState || !g_AudioManager.m_pPerformance)
        return false;
    return g_AudioManager.m_pPerformance->IsPlaying(nullptr, m_pSegmentState) == S_OK;
}

MUSIC_TIME CGameSound::GetPlayOffset()
{
    IDirectMusicPerformance8* performance = g_AudioManager.m_pPerformance;
    if (!m_pSegmentState || !m_pSegment || !performance)
        return 0;
    MUSIC_TIME now = 0, stateStart = 0, startPoint = 0, loopStart = 0, loopEnd = 0, length = 0;
    DWORD repeats = 0;
    performance->GetTime(nullptr, &now);
    m_pSegmentState->GetStartTime(&stateStart);
    m_pSegment->GetStartPoint(&startPoint);
    m_pSegment->GetLoopPoints(&loopStart, &loopEnd);
    m_pSegment->GetLength(&length);
    m_pSegment->GetRepeats(&repeats);
    return ComputePlayOffset(now, stateStart, startPoint, loopStart, loopEnd, length, repeats);
}

void CGameSound::Pause()
{
    if (m_bPaused || !IsPlaying())
        return;
    m_nPausedOffset = GetPlayOffset();
    if (m_pSegment && g_AudioManager.m_pPerformance)
        g_AudioManager.m_pPerformance->StopEx(m_pSegment, 0, 0);
    DropSegmentState();
    m_bStarted = 0;
    m_bPaused = 1;
}

void CGameSound::Resume()
{
    if (!m_bPaused)
        return;
    m_bPaused = 0;
    if (!m_pSegment || !m_pAudioPath || !g_AudioManager.m_pPerformance)
        return;
    // The length must cover the start point, but never reach past the wave:
    // a loop's span is taken from it, and a longer one would put every
    // later pause at the wrong place.
    MUSIC_TIME natural = 0;
    m_pSegment->SetLength(1);
    m_pSegment->GetLength(&natural);
    m_pSegment->SetLength(std::min<MUSIC_TIME>(m_nPausedOffset + 200, natural));
    m_pSegment->SetStartPoint(m_nPausedOffset);
    StartSegment();
    if (!m_pSegmentState) {
        Stop();
        return;
    }
    m_nStartTime = RealClockMs();
    m_bStarted = 1;
}

void CGameSound::SetVolume(float percent)
{
    m_fVolume = percent;
    if (!m_pBuffer)
        return;
    const int category = m_nKind == SOUND_MUSIC ? g_nMusicVolume : g_nEffectsVolume;
    m_pBuffer->SetVolume(MapSoundVolume(percent, category, g_nMasterVolume, g_AudioManager.m_fFadeLevel));
}

void CGameSound::ReapplyVolume()
{
    SetVolume(m_fVolume);
}

void CGameSound::SetFrequency(DWORD hz)
{
    if (m_pBuffer)
        m_pBuffer->SetFrequency(hz);
}

void CGameSound::SetPosition(const D3DVECTOR& p)
{
    if (m_p3DBuffer)
        m_p3DBuffer->SetPosition(p.x, p.y, p.z, DS3D_DEFERRED);
}

void CGameSound::SetVelocity(const D3DVECTOR& v)
{
    if (m_p3DBuffer)
        m_p3DBuffer->SetVelocity(v.x, v.y, v.z, DS3D_DEFERRED);
}

void CGameSound::SetDistances(float minDistance, float maxDistance)
{
    m_fMinDistance = minDistance;
    m_fMaxDistance = maxDistance;
    if (!m_p3DBuffer)
        return;
    m_p3DBuffer->SetMinDistance(minDistance, DS3D_DEFERRED);
    m_p3DBuffer->SetMaxDistance(maxDistance, DS3D_DEFERRED);
}

void CGameSound::ReleaseSound()
{
    if (m_nRefCount == 0)
        return; // already released: nothing is left to free
    Stop();
    if (--m_nRefCount > 0)
        return;
    char line[300];
    std::snprintf(line, sizeof line, "ReleaseSound() ... %s", m_szName);
    DebugLog(line);
    if (IDirectMusicLoader8* loader = g_AudioManager.m_pLoader) {
        loader->ReleaseObjectByUnknown(m_pSegment);
        loader->CollectGarbage();
    }
    ReleaseAndClear(m_p3DBuffer);
    ReleaseAndClear(m_pBuffer);
    ReleaseAndClear(m_pAudioPath);
    ReleaseAndClear(m_pSegment);
    if (m_pMemoryImage) {
        if (m_pMemoryImage->nRefCount > 0)
            --m_pMemoryImage->nRefCount;
        if (m_pMemoryImage->nRefCount == 0) {
            delete[] m_pMemoryImage->pData;
            m_pMemoryImage->pData = nullptr;
            m_pMemoryImage->nSize = 0;
        }
        m_pMemoryImage = nullptr;
    }
    DebugLog("ReleaseSound() OK!\n");
}
