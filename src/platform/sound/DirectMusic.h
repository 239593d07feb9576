// The segment-playing half of the sound stand-in layer: the loader that
// makes segments from wave files, segments and their play states, audio
// paths and the performance that plays segments on them.
//
// Music time runs in milliseconds of the layer's clock. A segment made from a
// wave is never shorter than its wave, whatever length it is given, so its
// loop covers the whole wave. Repeat counts other than 0 loop the wave.
#pragma once

#include "platform/sound/DirectSound.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace plat {
struct SoundClip;
}

HRESULT CoInitialize(void* reserved);
void CoUninitialize();
// Makes the loader or the performance.
HRESULT CoCreateInstance(REFCLSID clsid, IUnknown* outer, DWORD context, REFIID iid, void** out);

class IDirectMusicAudioPath8;

class IDirectMusicSegment8 : public plat::SoundObject {
public:
    explicit IDirectMusicSegment8(std::shared_ptr<plat::SoundClip> clip);
    HRESULT SetLength(MUSIC_TIME length);
    HRESULT GetLength(MUSIC_TIME* out);
    HRESULT SetStartPoint(MUSIC_TIME start);
    HRESULT GetStartPoint(MUSIC_TIME* out);
    HRESULT SetLoopPoints(MUSIC_TIME start, MUSIC_TIME end);
    HRESULT GetLoopPoints(MUSIC_TIME* start, MUSIC_TIME* end);
    HRESULT SetRepeats(DWORD repeats);
    HRESULT GetRepeats(DWORD* out);
    HRESULT Download(IUnknown* path);
    HRESULT Unload(IUnknown* path);
    HRESULT SetTrackConfig(REFGUID trackClass, DWORD group, DWORD index, DWORD on, DWORD off);

    const std::shared_ptr<plat::SoundClip>& Clip() const { return m_clip; }
    MUSIC_TIME WaveLength() const;

protected:
    bool Offers(REFIID iid) const override { return iid == IID_IDirectMusicSegment8; }

private:
    std::shared_ptr<plat::SoundClip> m_clip;
    MUSIC_TIME m_length = 0;
    MUSIC_TIME m_start = 0;
    MUSIC_TIME m_loopStart = 0;
    MUSIC_TIME m_loopEnd = 0;
    DWORD m_repeats = 0;
    DWORD m_trackConfig = 0;
};

class IDirectMusicSegmentState8 : public plat::SoundObject {
public:
    IDirectMusicSegmentState8(IDirectMusicAudioPath8* path, unsigned serial, MUSIC_TIME start,
                              MUSIC_TIME startPoint);
    ~IDirectMusicSegmentState8() override;
    HRESULT GetStartTime(MUSIC_TIME* out);
    HRESULT GetStartPoint(MUSIC_TIME* out);

    IDirectMusicAudioPath8* Path() const { return m_path; }
    unsigned Serial() const { return m_serial; }

protected:
    bool Offers(REFIID iid) const override { return iid == IID_IDirectMusicSegmentState8; }

private:
    IDirectMusicAudioPath8* m_path;
    unsigned m_serial;
    MUSIC_TIME m_start;
    MUSIC_TIME m_startPoint;
};
using IDirectMusicSegmentState = IDirectMusicSegmentState8;

class IDirectMusicAudioPath8 : public plat::SoundObject {
public:
    explicit IDirectMusicAudioPath8(bool is3D);
    ~IDirectMusicAudioPath8() override;
    HRESULT Activate(BOOL active);
    // The path's buffer (IID_IDirectSoundBuffer8) or, on a 3-D path, its
    // 3-D buffer (IID_IDirectSound3DBuffer8).
    HRESULT GetObjectInPath(DWORD pchannel, DWORD stage, DWORD buffer, REFGUID object, DWORD index,
                            REFIID iid, void** out);

    plat::Voice& GetVoice() { return *m_voice; }
    bool IsActive() const { return m_active; }

private:
    std::shared_ptr<plat::Voice> m_voice;
    IDirectSoundBuffer8* m_buffer;
    IDirectSound3DBuffer8* m_buffer3D;
    bool m_active = false;
};

class IDirectMusicLoader8 : public plat::SoundObject {
public:
    HRESULT SetSearchDirectory(REFGUID objectClass, const wchar_t* path, BOOL clear);
    HRESULT EnableCache(REFGUID objectClass, BOOL enable);
    HRESULT ClearCache(REFGUID objectClass);
    HRESULT CollectGarbage();
    HRESULT ReleaseObjectByUnknown(IUnknown* object);
    // A segment from a wave file, relative to the search directory.
    HRESULT LoadObjectFromFile(REFGUID objectClass, REFIID iid, const wchar_t* file, void** out);
    // A segment from a wave file image in memory (DMUS_OBJ_MEMORY).
    HRESULT GetObject(const DMUS_OBJECTDESC* desc, REFIID iid, void** out);

protected:
    bool Offers(REFIID iid) const override { return iid == IID_IDirectMusicLoader8; }

private:
    // Decoded files shared by every segment made from the same bytes (a car's
    // engine sound is loaded once per pool entry); an entry lives as long as
    // one of its segments does.
    struct SharedClip {
        std::uint64_t hash = 0;
        std::size_t size = 0;
        std::weak_ptr<plat::SoundClip> clip;
    };
    HRESULT Segment(const std::uint8_t* bytes, std::size_t size, REFIID iid, void** out);

    std::string m_directory;
    std::vector<SharedClip> m_clips;
};

class IDirectMusicPerformance8 : public plat::SoundObject {
public:
    ~IDirectMusicPerformance8() override;
    HRESULT InitAudio(void** music, IDirectSound8** sound, HWND hwnd, DWORD defaultPathType, DWORD channels,
                      DWORD flags, DMUS_AUDIOPARAMS* params);
    HRESULT GetDefaultAudioPath(IDirectMusicAudioPath8** out);
    HRESULT CreateStandardAudioPath(DWORD type, DWORD channels, BOOL activate, IDirectMusicAudioPath8** out);
    HRESULT PlaySegmentEx(IUnknown* source, const wchar_t* name, IUnknown* transition, DWORD flags,
                          REFERENCE_TIME startTime, IDirectMusicSegmentState** state, IUnknown* from,
                          IUnknown* audioPath);
    // Stops what plays of a segment or of one segment state; null stops all.
    HRESULT StopEx(IUnknown* object, REFERENCE_TIME time, DWORD flags);
    HRESULT Stop(IDirectMusicSegment8* segment, IDirectMusicSegmentState8* state, MUSIC_TIME time, DWORD flags);
    // S_OK while the state (or any state of the segment) plays, else S_FALSE.
    HRESULT IsPlaying(IDirectMusicSegment8* segment, IDirectMusicSegmentState8* state);
    HRESULT GetTime(REFERENCE_TIME* reference, MUSIC_TIME* music);
    HRESULT CloseDown();

protected:
    bool Offers(REFIID iid) const override { return iid == IID_IDirectMusicPerformance8; }

private:
    IDirectSound8* m_sound = nullptr;
    IDirectMusicAudioPath8* m_defaultPath = nullptr;
    unsigned m_serial = 0;
};
