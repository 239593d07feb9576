#include "platform/sound/SoundDevice.h"

#include "platform/Backend.h"
#include "platform/Win32Time.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>

namespace plat {

namespace {

SoundBackendKind s_kind = SoundBackendKind::Default;
SoundFault s_fault = SoundFault::None;
std::unique_ptr<SoundDevice> s_device;

SoundBackendKind Resolve(SoundBackendKind kind)
{
    if (kind != SoundBackendKind::Default)
        return kind;
    const char* env = std::getenv("MORVAINE_SOUND");
    if (env && std::strcmp(env, "openal") == 0)
        return SoundBackendKind::OpenAL;
    if (env && std::strcmp(env, "silent") == 0)
        return SoundBackendKind::Silent;
    return IsHeadless() ? SoundBackendKind::Silent : SoundBackendKind::OpenAL;
}

} // namespace

void SetSoundBackend(SoundBackendKind kind)
{
    s_kind = kind;
}

SoundBackendKind ActiveSoundBackend()
{
    return Resolve(s_kind);
}

void SetSoundFault(SoundFault fault)
{
    s_fault = fault;
}

bool FaultAt(SoundFault fault)
{
    return s_fault == fault;
}

int SoundSourcesInUse()
{
    return s_device ? s_device->output->SourcesInUse() : 0;
}

int SoundSourcePoolSize()
{
    return s_device ? s_device->output->PoolSize() : 0;
}

float GainOfVolume(LONG volume)
{
    if (volume <= DSBVOLUME_MIN)
        return 0.0f;
    return std::pow(10.0f, static_cast<float>(std::min<LONG>(volume, 0)) / 2000.0f);
}

SoundClip::~SoundClip()
{
    if ((outputBuffer[0] || outputBuffer[1]) && s_device)
        s_device->output->ForgetClip(*this);
}

const WaveData& SoundClip::Mono()
{
    if (!mono)
        mono = std::make_unique<WaveData>(DownmixToMono(wave));
    return *mono;
}

void SoundDevice::Remove(Voice* v)
{
    voices.erase(std::remove(voices.begin(), voices.end(), v), voices.end());
}

void SoundDevice::Commit()
{
    if (listenerDirty) {
        listener = pendingListener;
        listenerDirty = false;
        output->ApplyListener(listener);
    }
    for (Voice* v : voices) {
        if (!v->dirty)
            continue;
        v->applied = v->pending;
        v->dirty = false;
        output->Apply(*v);
    }
}

MUSIC_TIME SoundDevice::Now() const
{
    return static_cast<MUSIC_TIME>(timeGetTime() - clockBase);
}

SoundDevice* CurrentDevice()
{
    return s_device.get();
}

bool OpenDevice()
{
    if (s_device)
        return false; // one device at a time
    auto device = std::make_unique<SoundDevice>();
    device->output = Resolve(s_kind) == SoundBackendKind::OpenAL ? MakeOpenALOutput() : MakeSilentOutput();
    if (!device->output || !device->output->Open())
        return false;
    device->clockBase = timeGetTime();
    s_device = std::move(device);
    return true;
}

void CloseDevice()
{
    if (!s_device)
        return;
    for (Voice* v : s_device->voices)
        s_device->output->Stop(*v);
    s_device->output->Close();
    s_device.reset();
}

} // namespace plat
