// The sound back ends and the test controls of the sound stand-in layer.
//
// Two back ends play the layer's voices: OpenAL, and a silent one that plays
// nothing but keeps every state (a sound "plays" for as long as its wave
// lasts on the layer's clock). The silent one is the default when the layer
// runs headless; MORVAINE_SOUND=openal or SetSoundBackend chooses OpenAL.
#pragma once

#include "platform/sound/SoundTypes.h"

namespace plat {

enum class SoundBackendKind { Default, Silent, OpenAL };

// Chooses the back end of the next device opened (DirectSoundCreate8).
void SetSoundBackend(SoundBackendKind kind);
SoundBackendKind ActiveSoundBackend();

// A step of the sound start-up that tests make fail on purpose.
enum class SoundFault {
    None,
    ComInit,
    DeviceCreate,
    CooperativeLevel,
    PrimaryBuffer,
    PrimaryHardware, // only the hardware-mixed primary buffer fails
    PrimaryFormat,
    Listener,
    CreateLoader,
    CreatePerformance,
    InitAudio,
    DefaultPath,
    SegmentLoad,
    PathBuffer, // audio paths hand out no buffers
};
void SetSoundFault(SoundFault fault);

// What the back end does with one voice, for tests.
struct VoiceReport {
    bool waveReady;   // the output holds the wave in its own form
    bool hasSource;   // an output source is lent to the voice
    bool playing;     // the back end reports it playing
    float gain;       // linear gain sent to the output
    float pitch;      // playback rate factor
    D3DVECTOR position; // in the output's own (right-handed) frame
};

// Output sources lent out at the moment (OpenAL), and the pool's size.
int SoundSourcesInUse();
int SoundSourcePoolSize();

} // namespace plat
