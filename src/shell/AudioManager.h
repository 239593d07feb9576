// The audio manager: starts the sound output, owns every loaded sound,
// loads sounds by file name (loose files first, then the SD archive), drives
// the listener, applies the volume settings, pauses and resumes all sounds
// and runs the per-frame audio step. The pooled sounds of cars and
// pedestrians, the voices, the music playlist and the ambience live here too.
#pragma once

#include "platform/Win32Types.h"
#include "shell/GameSound.h"

class CVehicle;
class CHuman;

inline constexpr DWORD kMaxSounds = 1024;
inline constexpr DWORD kAmbientMaxTracks = 32;
inline constexpr float kSoundHearingRange = 50.0f;

template <class Owner>
struct PooledSound {
    CGameSound* pSound;
    Owner* pOwner; // null while the entry is free
};

// Voice kinds: applause, booing, cheering, police.
enum : int { VOICE_APPLAUSE = 0, VOICE_BOOING = 1, VOICE_CHEERING = 2, VOICE_POLICE = 3, VOICE_KINDS = 4 };

class CAudioManager {
public:
    CAudioManager();

    // 0 on success and also with audio off; E_FAIL on failure.
    HRESULT Init(HWND hwnd);
    void Release();
    CGameSound* LoadSound(const char* name, DWORD kind, float minDistance, float maxDistance);
    void FreeSound(CGameSound** handle);
    void SafeFreeSound(CGameSound** handle);
    void Update();
    void PauseAll();
    void ResumeAll();
    void Compact();
    void ApplyVolumes();
    // Fades every sound with the picture (0..100); the player's "Master"
    // setting is left as it is.
    void SetMasterVolume(float level);
    void SetListenerPosition(const D3DVECTOR& position);
    void SetListenerVelocity(const D3DVECTOR& velocity);
    void SetListenerOrientation(const D3DVECTOR& front, const D3DVECTOR& top);

    // Pools of the road users.
    CGameSound* AcquireEngineSound(DWORD engineKind, CVehicle* car);
    void ReleaseEngineSounds(DWORD engineKind, CVehicle* car);
    CGameSound* PlayHornSound(CVehicle* car);
    CGameSound* PlayWheelSound(CVehicle* car);
    void PlayImpactSound(float volume, CVehicle* car);
    void PlayHumanVoice(int set, CHuman* human);
    void StopHornSounds(CVehicle* car);
    void StopWheelSounds(CVehicle* car);
    void StopImpactSounds(CVehicle* car);
    void StopHumanVoices(int set, CHuman* human);

    // Voices, music and ambience.
    void PlayVoice(int kind, int on);
    void SetVoiceVolume(int kind, float percent);
    void PlayMusic(int on, const char* name, int loop, float volume);
    void SetAmbientEnabled(int on);
    void StopCarSounds();

    // Steps of init, update and release.
    void LoadAmbientData();
    void InitVoiceSlots();
    void LoadCarSounds();
    void ReleaseFinishedVoices();
    void UpdatePooledSounds();
    void UpdateMusic();
    void UpdateAmbient();
    // The ambience step at a given traffic density (0..1).
    void UpdateAmbientAt(float density);
    void StartAmbientTrack(int channel, CGameSound** slot);
    void FreeVoiceSlots();
    void FreeCarSounds();

    IDirectSound8* m_pDirectSound;
    IDirectSound3DListener* m_pListener;
    D3DVECTOR m_vListenerPosition;
    IDirectMusicLoader8* m_pLoader;
    IDirectMusicPerformance8* m_pPerformance;
    IDirectMusicAudioPath8* m_pDefaultAudioPath;
    CGameSound* m_pSounds[kMaxSounds];
    DWORD m_nSounds;
    SoundMemoryImage m_MemoryImages[kMaxSounds];

    CGameSound* m_pVoices[VOICE_KINDS];
    DWORD m_nVoiceVariants[VOICE_KINDS];
    DWORD m_bPaused;
    PooledSound<CHuman> m_HumanCries[2][5];
    PooledSound<CVehicle> m_Impacts[20];
    PooledSound<CVehicle> m_WheelSounds[14];
    PooledSound<CVehicle> m_HornSounds[11];
    PooledSound<CVehicle> m_EngineSounds[8][10];
    DWORD m_nCryIndex;
    DWORD m_nImpactIndex;
    DWORD m_nWheelIndex;
    DWORD m_nHornIndex;
    DWORD m_nSirenIndex;
    DWORD m_bMusic;
    CGameSound* m_pMusic;
    // The music a named PlayMusic started, until its sound is freed.
    CGameSound* m_pNamedMusic;
    DWORD m_bAmbient;
    CGameSound* m_pAmbient[2];
    float m_fAmbientVolume[2];
    DWORD m_nAmbientTracks[2][2];
    char m_szAmbientTracks[2][2][kAmbientMaxTracks][256];

    // Runtime fade of every volume (0..100), set by the camera's fade.
    float m_fFadeLevel;

private:
    SoundMemoryImage* SharedImage(const char* name);
    SoundMemoryImage* FreeImage();
    IDirectMusicSegment8* LoadSegmentFromFile(const char* name);
    IDirectMusicSegment8* LoadSegmentFromArchive(const SoundMemoryImage* image);
    CGameSound* FindSharedSound(const char* name) const;
    int IndexOf(const CGameSound* sound) const;
    bool StartDevice(HWND hwnd);
    bool StartMusic(HWND hwnd);
    void ReleaseInterfaces();
};

// Weight of an ambience channel for a traffic density a (0..1).
float AmbientRamp(float a);

extern CAudioManager g_AudioManager;

// Sound load failures show their box once per name; a fresh audio start
// shows them again.
void ForgetReportedSoundFailures();
