// One loaded sound: a segment made from one ".wav" file, played on an audio
// path of its own, with that path's buffers for volume, pitch and 3-D place.
#pragma once

#include "platform/sound/DirectMusic.h"

// The bytes of a sound file read from the SD archive, shared by every sound
// loaded from the same entry. A record whose data is null is free.
struct SoundMemoryImage {
    BYTE* pData;
    DWORD nSize;
    DWORD nRefCount;
};

// Sound kinds: the audio path and the volume setting each follows.
enum : DWORD {
    SOUND_STEREO = 0, // stereo path, "Effects" volume
    SOUND_MUSIC = 1,  // stereo path, "Music" volume
    SOUND_3D = 2,     // 3-D path, "Effects" volume
};

// A time in milliseconds after a start in which the sound counts as playing
// before the output has had a chance to start it.
inline constexpr int kSoundStartGraceMs = 250;

// Buffer volume (hundredths of a decibel) for a sound's volume percent, its
// category setting and the "Master" setting (both 0..100), scaled by the
// runtime fade level (0..100). Always within the buffer's volume range.
LONG MapSoundVolume(float percent, int category, int master, float fade);

// Position reached in a playing segment, in music time: now, the play
// state's start time, and the segment's start point, loop points, length
// and repeat count.
MUSIC_TIME ComputePlayOffset(MUSIC_TIME now, MUSIC_TIME stateStart, MUSIC_TIME startPoint, MUSIC_TIME loopStart,
                             MUSIC_TIME loopEnd, MUSIC_TIME length, DWORD repeats);

class CGameSound {
public:
    CGameSound(const char* name, IDirectMusicSegment8* segment, SoundMemoryImage* image, DWORD kind,
               float minDistance, float maxDistance);
    CGameSound(const CGameSound&) = delete;
    CGameSound& operator=(const CGameSound&) = delete;

    void CreateAudioPath();
    void Play(int loop);
    void Stop();
    void Pause();
    void Resume();
    bool IsPlaying();
    void SetVolume(float percent);
    void ReapplyVolume();
    void SetFrequency(DWORD hz);
    void SetPosition(const D3DVECTOR& position);
    void SetVelocity(const D3DVECTOR& velocity);
    void SetDistances(float minDistance, float maxDistance);
    MUSIC_TIME GetPlayOffset();
    // Drops one reference; the last one releases everything.
    void ReleaseSound();

    char m_szName[256];
    DWORD m_nKind;
    DWORD m_nRepeats;
    DWORD m_bPaused;
    int m_nStartTime;
    int m_nPausedOffset;
    DWORD m_nBaseFrequency;
    float m_fVolume;
    float m_fMinDistance;
    float m_fMaxDistance;
    SoundMemoryImage* m_pMemoryImage;
    DWORD m_nRefCount;
    IDirectMusicSegment8* m_pSegment;
    IDirectMusicSegmentState8* m_pSegmentState;
    IDirectMusicAudioPath8* m_pAudioPath;
    IDirectSoundBuffer8* m_pBuffer;
    IDirectSound3DBuffer8* m_p3DBuffer;
    // Set by a start (play or resume), cleared by stop and pause: only a
    // started sound is taken as playing in the grace time.
    DWORD m_bStarted;

private:
    void StartSegment();
    void DropSegmentState();
};
