// Types and constants of the sound stand-in layer.
//
// The game drives its sound through a wave-player interface shaped like the
// desktop sound and music APIs it was designed for: volumes in hundredths of a
// decibel, frequencies in Hz, 3-D positions in a left-handed world, music time
// and segments. This layer keeps those names and the numeric values the game
// relies on and plays the sound on OpenAL or on a silent back end.
#pragma once

#include "platform/D3D9.h"
#include "platform/Win32Types.h"

#include <cstdint>

using MUSIC_TIME = std::int32_t;     // milliseconds of the performance clock
using REFERENCE_TIME = std::int64_t; // 100-nanosecond units

struct WAVEFORMATEX {
    WORD wFormatTag;
    WORD nChannels;
    DWORD nSamplesPerSec;
    DWORD nAvgBytesPerSec;
    WORD nBlockAlign;
    WORD wBitsPerSample;
    WORD cbSize;
};
inline constexpr WORD WAVE_FORMAT_PCM = 1;

struct DSBUFFERDESC {
    DWORD dwSize;
    DWORD dwFlags;
    DWORD dwBufferBytes;
    DWORD dwReserved;
    WAVEFORMATEX* lpwfxFormat;
};

// Cooperative levels and buffer capabilities.
inline constexpr DWORD DSSCL_NORMAL = 1;
inline constexpr DWORD DSSCL_PRIORITY = 2;
inline constexpr DWORD DSBCAPS_PRIMARYBUFFER = 0x00000001;
inline constexpr DWORD DSBCAPS_LOCHARDWARE = 0x00000004;
inline constexpr DWORD DSBCAPS_CTRL3D = 0x00000010;
inline constexpr DWORD DSBCAPS_CTRLFREQUENCY = 0x00000020;
inline constexpr DWORD DSBCAPS_CTRLVOLUME = 0x00000080;

// Buffer volume range, hundredths of a decibel.
inline constexpr LONG DSBVOLUME_MIN = -10000;
inline constexpr LONG DSBVOLUME_MAX = 0;

// When a 3-D setting takes effect.
inline constexpr DWORD DS3D_IMMEDIATE = 0;
inline constexpr DWORD DS3D_DEFERRED = 1;

// Standard audio paths.
inline constexpr DWORD DMUS_APATH_DYNAMIC_3D = 6;
inline constexpr DWORD DMUS_APATH_DYNAMIC_MONO = 7;
inline constexpr DWORD DMUS_APATH_DYNAMIC_STEREO = 8;

// Segment playback.
inline constexpr DWORD DMUS_SEG_REPEAT_INFINITE = 0xFFFFFFFFu;
inline constexpr DWORD DMUS_SEG_ANYTRACK = 0x80;
inline constexpr DWORD DMUS_SEGF_SECONDARY = 0x80;
inline constexpr DWORD DMUS_SEGF_DEFAULT = 0x4000;
inline constexpr DWORD DMUS_TRACKCONFIG_PLAY_CLOCKTIME = 0x8;
inline constexpr DWORD DMUS_PCHANNEL_ALL = 0xFFFFFFFBu;
inline constexpr DWORD DMUS_PATH_BUFFER = 0x6000;
inline constexpr DWORD DMUS_PATH_PRIMARY_BUFFER = 0x7000;
inline constexpr DWORD DMUS_AUDIOF_3D = 0x1;
inline constexpr DWORD DMUS_AUDIOF_STREAMING = 0x10;
inline constexpr DWORD DMUS_AUDIOF_BUFFERS = 0x20;
inline constexpr DWORD DMUS_AUDIOPARAMS_FEATURES = 0x1;
inline constexpr DWORD DMUS_AUDIOPARAMS_VOICES = 0x2;
inline constexpr DWORD DMUS_AUDIOPARAMS_SAMPLERATE = 0x4;

// Results.
inline constexpr HRESULT DMUS_S_PARTIALLOAD = 0x08781091;
inline constexpr HRESULT DMUS_E_NOT_FOUND = static_cast<HRESULT>(0x88781193u);
inline constexpr HRESULT DMUS_E_UNSUPPORTED_STREAM = static_cast<HRESULT>(0x88781103u);
inline constexpr HRESULT DSERR_NODRIVER = static_cast<HRESULT>(0x88780078u);
inline constexpr HRESULT DSERR_UNINITIALIZED = static_cast<HRESULT>(0x887800AAu);
inline constexpr HRESULT S_FALSE = 1;

// Class and interface ids the layer hands out. Only these few exist here.
enum GUID_ID : int {
    GUID_None = 0,
    GUID_All_Objects,
    CLSID_DirectMusicLoader,
    CLSID_DirectMusicPerformance,
    CLSID_DirectMusicSegment,
    CLSID_DirectMusicWaveTrack,
    IID_IDirectMusicLoader8,
    IID_IDirectMusicPerformance8,
    IID_IDirectMusicSegment8,
    IID_IDirectMusicSegmentState8,
    IID_IDirectSoundBuffer8,
    IID_IDirectSound3DBuffer8,
    IID_IDirectSound3DListener,
};
using REFGUID = GUID_ID;
using REFCLSID = GUID_ID;
using REFIID = GUID_ID;

inline constexpr DWORD CLSCTX_INPROC = 0x3;

struct DMUS_AUDIOPARAMS {
    DWORD dwSize;
    BOOL fInitNow;
    DWORD dwValidData;
    DWORD dwFeatures;
    DWORD dwVoices;
    DWORD dwSampleRate;
    GUID_ID clsidDefaultSynth;
};

// Describes an object to load: by file name or from memory.
inline constexpr DWORD DMUS_OBJ_CLASS = 0x2;
inline constexpr DWORD DMUS_OBJ_MEMORY = 0x400;
struct DMUS_OBJECTDESC {
    DWORD dwSize;
    DWORD dwValidData;
    GUID_ID guidClass;
    const BYTE* pbMemData;
    std::uint64_t llMemLength;
};
