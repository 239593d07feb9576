// The silent back end: plays nothing, keeps every state. A voice plays for as
// long as its wave lasts at the pitch it was started with, on the layer's
// millisecond clock (which tests can drive by hand).
#include "platform/sound/SoundDevice.h"

#include "platform/Win32Time.h"

namespace plat {

namespace {

class SilentOutput final : public SoundOutput {
public:
    bool Open() override { return true; }
    void Close() override {}

    void Start(Voice& v, DWORD startFrame, bool loop) override
    {
        const WaveData& w = v.clip->wave;
        const DWORD frames = w.Frames() > startFrame ? w.Frames() - startFrame : 0;
        const double rate = static_cast<double>(w.sampleRate) * v.Pitch();
        v.lengthMs = rate > 0 ? static_cast<std::int64_t>(frames * 1000.0 / rate) : 0;
        v.startClock = timeGetTime();
        v.loop = loop;
        v.started = true;
    }

    void Stop(Voice& v) override { v.started = false; }

    bool IsPlaying(Voice& v) override
    {
        if (!v.started)
            return false;
        if (v.loop)
            return true;
        if (static_cast<std::int64_t>(timeGetTime() - v.startClock) < v.lengthMs)
            return true;
        v.started = false;
        return false;
    }

    void Apply(Voice&) override {}
    void ApplyListener(const Listener&) override {}
    void ForgetClip(SoundClip& clip) override { clip.outputBuffer[0] = clip.outputBuffer[1] = 0; }

    VoiceReport Report(const Voice& v) override
    {
        VoiceReport r{};
        r.hasSource = false;
        r.playing = v.started;
        r.gain = GainOfVolume(v.volume);
        r.pitch = v.Pitch();
        r.position = {v.applied.position.x, v.applied.position.y, -v.applied.position.z};
        return r;
    }
};

} // namespace

std::unique_ptr<SoundOutput> MakeSilentOutput()
{
    return std::make_unique<SilentOutput>();
}

} // namespace plat
