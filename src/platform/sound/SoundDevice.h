// Inside the sound stand-in layer: voices, the listener, the opened device
// and the back end interface. Game code does not include this file.
#pragma once

#include "platform/sound/SoundBackend.h"
#include "platform/sound/WaveFile.h"

#include <cstdint>
#include <memory>
#include <vector>

class IDirectMusicSegment8;

namespace plat {

// The PCM of one loaded segment, shared by everything that plays it.
struct SoundClip {
    WaveData wave;
    std::unique_ptr<WaveData> mono; // made on first 3-D use
    unsigned outputBuffer[2] = {0, 0}; // back end buffers: as loaded, mono
    ~SoundClip();
    const WaveData& Mono();
};

struct Voice3D {
    D3DVECTOR position{-1000000.0f, -1000000.0f, -1000000.0f};
    D3DVECTOR velocity{0, 0, 0};
    float minDistance = 1.0f;
    float maxDistance = 1000000000.0f;
};

// One audio path's sound: its buffer settings and what it plays.
struct Voice {
    bool is3D = false;
    LONG volume = 0;
    DWORD frequency = 22050;
    DWORD baseFrequency = 22050;
    Voice3D applied;
    Voice3D pending;
    bool dirty = false;
    std::shared_ptr<SoundClip> clip;
    const IDirectMusicSegment8* segment = nullptr; // what plays, or null
    unsigned stateSerial = 0;
    std::int64_t endMs = -1; // music time a finite repeat ends; -1 none
    // back end state
    int source = -1;
    DWORD startClock = 0;
    std::int64_t lengthMs = 0;
    bool loop = false;
    bool started = false;

    float Pitch() const { return baseFrequency ? static_cast<float>(frequency) / baseFrequency : 1.0f; }
};

// Linear gain of a buffer volume in hundredths of a decibel.
float GainOfVolume(LONG volume);

struct Listener {
    D3DVECTOR position{0, 0, 0};
    D3DVECTOR velocity{0, 0, 0};
    D3DVECTOR front{0, 0, 1};
    D3DVECTOR top{0, 1, 0};
    float doppler = 1.0f;
};

class SoundOutput {
public:
    virtual ~SoundOutput() = default;
    virtual bool Open() = 0;
    virtual void Close() = 0;
    virtual void Start(Voice& voice, DWORD startFrame, bool loop) = 0;
    virtual void Stop(Voice& voice) = 0;
    virtual bool IsPlaying(Voice& voice) = 0;
    virtual void Apply(Voice& voice) = 0;
    virtual void ApplyListener(const Listener& listener) = 0;
    virtual void ForgetClip(SoundClip& clip) = 0;
    virtual VoiceReport Report(const Voice& voice) = 0;
    // Puts the voice's wave into the output's own form ahead of its first
    // play (a 3-D wave mixed down to mono), so that starting it costs nothing.
    virtual void Prepare(Voice& voice) {}
    virtual int SourcesInUse() const { return 0; }
    virtual int PoolSize() const { return 0; }
};

std::unique_ptr<SoundOutput> MakeSilentOutput();
std::unique_ptr<SoundOutput> MakeOpenALOutput();

// The opened device: one at a time.
struct SoundDevice {
    std::unique_ptr<SoundOutput> output;
    std::vector<Voice*> voices;
    Listener listener;
    Listener pendingListener;
    bool listenerDirty = false;
    DWORD mixRate = 22050;
    DWORD clockBase = 0;

    void Add(Voice* v) { voices.push_back(v); }
    void Remove(Voice* v);
    void Commit();
    MUSIC_TIME Now() const;
};
SoundDevice* CurrentDevice();
bool OpenDevice();
void CloseDevice();

bool FaultAt(SoundFault fault);

} // namespace plat
