// Crowd and police voices, the music playlist and the ambience channels
// cross-faded by the traffic around the camera.
#include "shell/AudioManager.h"

#include "game/GameMenu.h"
#include "platform/Win32Time.h"
#include "roadusers/VehicleManager.h"
#include "shell/FileManager.h"
#include "shell/Settings.h"
#include "world/Sky.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

const char* const kVoiceFiles[VOICE_KINDS] = {
    "Data/Audio/App%02d.wav", "Data/Audio/Foo%02d.wav", "Data/Audio/Yea%02d.wav", "Data/Audio/Plc%02d.wav"};
const char* const kAmbientData = "Data/Audio/AmbTrks/AmbientData.obj";
constexpr int kLineCapacity = 255;  // lines of up to 254 characters
constexpr int kCountColumn = 32;    // a count line's number starts here

CGameSound* LoadStereo(const char* name)
{
    return g_AudioManager.LoadSound(name, SOUND_MUSIC, 1.0f, 10.0f);
}

// One line of the description without its line end (a CR too).
void ReadListLine(char* line, FileHandle handle)
{
    g_FileManager.ReadLine(line, kLineCapacity, handle);
    line[std::strcspn(line, "\r\n")] = '\0';
}

void SkipLines(FileHandle handle, long count)
{
    char line[kLineCapacity];
    for (long i = 0; i < count; ++i)
        ReadListLine(line, handle);
}

// The number at column 32 of a count line; a shorter line gives 0.
long ReadCount(FileHandle handle)
{
    char line[kLineCapacity];
    ReadListLine(line, handle);
    if (std::strlen(line) <= static_cast<std::size_t>(kCountColumn))
        return 0;
    const long n = std::strtol(line + kCountColumn, nullptr, 10);
    return n < 0 ? 0 : n;
}

// A count line and its names: up to 32 are kept, the rest read past (never
// beyond the end of the data).
DWORD ReadTrackList(FileHandle handle, char (*names)[256])
{
    const long count = ReadCount(handle);
    char line[kLineCapacity];
    DWORD kept = 0;
    for (long i = 0; i < count && !g_FileManager.IsAtEnd(handle); ++i) {
        ReadListLine(line, handle);
        if (kept < kAmbientMaxTracks)
            std::snprintf(names[kept++], 256, "%s", line);
    }
    return kept;
}

} // namespace

float AmbientRamp(float a)
{
    if (!(a > 0.25f))
        return 0.0f;
    if (a <= 0.75f)
        return 2.0f * (a - 0.25f);
    return 1.0f;
}

void CAudioManager::LoadAmbientData()
{
    std::memset(m_nAmbientTracks, 0, sizeof m_nAmbientTracks);
    const FileHandle handle = g_FileManager.Open(kAmbientData, ARCHIVE_OBJECTS);
    if (handle == INVALID_FILE_HANDLE)
        return;
    for (int channel = 0; channel < 2; ++channel) {
        SkipLines(handle, 4);
        m_nAmbientTracks[channel][0] = ReadTrackList(handle, m_szAmbientTracks[channel][0]);
        m_nAmbientTracks[channel][1] = ReadTrackList(handle, m_szAmbientTracks[channel][1]);
    }
    g_FileManager.Close(handle);
}

void CAudioManager::InitVoiceSlots()
{
    static const DWORD kVariants[VOICE_KINDS] = {5, 5, 5, 12};
    for (int kind = 0; kind < VOICE_KINDS; ++kind) {
        m_pVoices[kind] = nullptr;
        m_nVoiceVariants[kind] = kVariants[kind];
    }
}

void CAudioManager::FreeVoiceSlots()
{
    for (CGameSound*& voice : m_pVoices)
        SafeFreeSound(&voice);
}

void CAudioManager::PlayVoice(int kind, int on)
{
    if (!g_bAudio || kind < 0 || kind >= VOICE_KINDS)
        return;
    CGameSound*& slot = m_pVoices[kind];
    if (!on) {
        if (slot)
            slot->Stop();
        SafeFreeSound(&slot);
        return;
    }
    if (slot || m_nVoiceVariants[kind] == 0)
        return;
    char name[64];
    std::snprintf(name, sizeof name, kVoiceFiles[kind], static_cast<int>(std::rand() % m_nVoiceVariants[kind] + 1));
    slot = LoadStereo(name);
    if (!slot)
        return;
    if (kind == VOICE_POLICE) {
        const float pitch = 1.0f + static_cast<float>(std::rand() % 101) / 400.0f;
        slot->SetFrequency(static_cast<DWORD>(static_cast<float>(slot->m_nBaseFrequency) * pitch));
        slot->SetVolume(70.0f + static_cast<float>(std::rand() % 101) / 5.0f);
    } else {
        slot->SetVolume(90.0f);
    }
    slot->Play(0);
}

void CAudioManager::SetVoiceVolume(int kind, float percent)
{
    if (kind >= 0 && kind < VOICE_KINDS && m_pVoices[kind])
        m_pVoices[kind]->SetVolume(percent);
}

void CAudioManager::ReleaseFinishedVoices()
{
    for (CGameSound*& voice : m_pVoices) {
        if (voice && !voice->IsPlaying()) {
            voice->Stop();
            FreeSound(&voice);
        }
    }
}

void CAudioManager::PlayMusic(int on, const char* name, int loop, float volume)
{
    m_bMusic = on ? 1 : 0;
    SafeFreeSound(&m_pMusic);
    if (!on || !name)
        return;
    m_pMusic = LoadStereo(name);
    m_pNamedMusic = m_pMusic;
    if (m_pMusic) {
        m_pMusic->SetVolume(volume);
        m_pMusic->Play(loop);
    }
}

void CAudioManager::UpdateMusic()
{
    if (!g_bAudio)
        return;
    if (!m_bMusic) {
        SafeFreeSound(&m_pMusic);
        return;
    }
    if (m_pMusic) {
        if (!m_pMusic->IsPlaying())
            FreeSound(&m_pMusic); // the next frame starts another track
        return;
    }
    std::srand(timeGetTime());
    char name[64];
    std::snprintf(name, sizeof name, "Data/Audio/MusTrks/TrR%02d.wav", std::rand() % 8 + 1);
    m_pMusic = LoadStereo(name);
    if (m_pMusic) {
        m_pMusic->SetVolume(75.0f);
        m_pMusic->Play(0);
    }
}

void CAudioManager::UpdateAmbient()
{
    if (!g_bAudio || m_bPaused || g_GameMenu.m_bOpen || !m_bAmbient)
        return;
    UpdateAmbientAt(g_VehicleManager.GetTrafficDensity(m_vListenerPosition));
}

void CAudioManager::UpdateAmbientAt(float density)
{
    const float weights[2] = {AmbientRamp(density), AmbientRamp(1.0f - density)};
    for (int channel = 0; channel < 2; ++channel) {
        CGameSound*& slot = m_pAmbient[channel];
        const float w = weights[channel];
        if (w <= 0.0f) {
            SafeFreeSound(&slot);
        } else if (!slot) {
            StartAmbientTrack(channel, &slot);
        }
        m_fAmbientVolume[channel] = w * 75.0f - static_cast<float>(m_bMusic ? 25 : 0);
        if (!slot)
            continue;
        if (!slot->IsPlaying())
            FreeSound(&slot);
        else
            slot->SetVolume(m_fAmbientVolume[channel]);
    }
}

void CAudioManager::StartAmbientTrack(int channel, CGameSound** slot)
{
    if (!g_bAudio || m_bPaused || channel < 0 || channel > 1 || !slot)
        return;
    SafeFreeSound(slot);
    const int night = g_Sky.m_fDaylight == 0.0f ? 1 : 0;
    const DWORD count = m_nAmbientTracks[channel][night];
    if (count == 0)
        return; // an empty list starts nothing
    std::srand(timeGetTime());
    *slot = LoadStereo(m_szAmbientTracks[channel][night][std::rand() % count]);
    if (*slot) {
        (*slot)->SetVolume(0.0f);
        (*slot)->Play(0);
    }
}

void CAudioManager::SetAmbientEnabled(int on)
{
    m_bAmbient = on ? 1 : 0;
    if (!on) {
        SafeFreeSound(&m_pAmbient[0]);
        SafeFreeSound(&m_pAmbient[1]);
    }
}
