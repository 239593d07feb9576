// The OpenAL back end. The game's world is left-handed and OpenAL's is
// right-handed, so every z is negated on the way out. 3-D sounds are mixed
// down to mono when loaded (OpenAL places only mono sources). The game
// may hold far more loaded sounds than the output has sources, so a source is
// lent to a voice when it starts and taken back when it ends or stops.
#include "platform/sound/SoundDevice.h"

#include <AL/al.h>
#include <AL/alc.h>

#include <algorithm>
#include <set>
#include <vector>

namespace plat {

namespace {

constexpr int kMaxSources = 255;

ALenum FormatOf(const WaveData& w)
{
    if (w.channels == 1)
        return w.bitsPerSample == 8 ? AL_FORMAT_MONO8 : AL_FORMAT_MONO16;
    return w.bitsPerSample == 8 ? AL_FORMAT_STEREO8 : AL_FORMAT_STEREO16;
}

class OpenALOutput final : public SoundOutput {
public:
    bool Open() override
    {
        m_device = alcOpenDevice(nullptr);
        if (!m_device)
            return false;
        m_context = alcCreateContext(m_device, nullptr);
        if (!m_context || !alcMakeContextCurrent(m_context)) {
            Close();
            return false;
        }
        alDistanceModel(AL_INVERSE_DISTANCE_CLAMPED);
        return true;
    }

    void Close() override
    {
        if (m_context) {
            for (ALuint s : m_sources) {
                alSourceStop(s);
                alSourcei(s, AL_BUFFER, 0);
            }
            if (!m_sources.empty())
                alDeleteSources(static_cast<ALsizei>(m_sources.size()), m_sources.data());
            for (SoundClip* c : m_clips)
                DeleteBuffers(*c);
            alcMakeContextCurrent(nullptr);
            alcDestroyContext(m_context);
        }
        if (m_device)
            alcCloseDevice(m_device);
        m_sources.clear();
        m_owner.clear();
        m_clips.clear();
        m_context = nullptr;
        m_device = nullptr;
    }

    void Start(Voice& v, DWORD startFrame, bool loop) override
    {
        Stop(v);
        const ALuint buffer = BufferFor(v);
        const int index = buffer ? Lend(v) : -1;
        if (index < 0)
            return; // no source free: the sound is not heard and ends at once
        const ALuint s = m_sources[index];
        alSourcei(s, AL_BUFFER, static_cast<ALint>(buffer));
        alSourcei(s, AL_LOOPING, loop ? AL_TRUE : AL_FALSE);
        alSourcei(s, AL_SOURCE_RELATIVE, v.is3D ? AL_FALSE : AL_TRUE);
        Apply(v);
        alSourcei(s, AL_SAMPLE_OFFSET, static_cast<ALint>(startFrame));
        alSourcePlay(s);
    }

    void Stop(Voice& v) override
    {
        if (v.source < 0)
            return;
        const ALuint s = m_sources[v.source];
        alSourceStop(s);
        alSourcei(s, AL_BUFFER, 0);
        m_owner[v.source] = nullptr;
        v.source = -1;
    }

    bool IsPlaying(Voice& v) override
    {
        if (v.source < 0)
            return false;
        ALint state = AL_STOPPED;
        alGetSourcei(m_sources[v.source], AL_SOURCE_STATE, &state);
        if (state == AL_PLAYING || state == AL_PAUSED)
            return true;
        Stop(v); // ended by itself: the source goes back to the pool
        return false;
    }

    void Apply(Voice& v) override
    {
        if (v.source < 0)
            return;
        const ALuint s = m_sources[v.source];
        alSourcef(s, AL_GAIN, GainOfVolume(v.volume));
        alSourcef(s, AL_PITCH, std::clamp(v.Pitch(), 0.01f, 8.0f));
        if (!v.is3D) {
            alSource3f(s, AL_POSITION, 0, 0, 0);
            return;
        }
        const Voice3D& a = v.applied;
        alSource3f(s, AL_POSITION, a.position.x, a.position.y, -a.position.z);
        alSource3f(s, AL_VELOCITY, a.velocity.x, a.velocity.y, -a.velocity.z);
        alSourcef(s, AL_REFERENCE_DISTANCE, a.minDistance);
        alSourcef(s, AL_MAX_DISTANCE, a.maxDistance);
        alSourcef(s, AL_ROLLOFF_FACTOR, 1.0f);
    }

    void ApplyListener(const Listener& l) override
    {
        alListener3f(AL_POSITION, l.position.x, l.position.y, -l.position.z);
        alListener3f(AL_VELOCITY, l.velocity.x, l.velocity.y, -l.velocity.z);
        const ALfloat orientation[6] = {l.front.x, l.front.y, -l.front.z, l.top.x, l.top.y, -l.top.z};
        alListenerfv(AL_ORIENTATION, orientation);
        alDopplerFactor(l.doppler);
    }

    void ForgetClip(SoundClip& clip) override
    {
        // A source still holding one of the buffers would keep it alive.
        for (std::size_t i = 0; i < m_owner.size(); ++i) {
            if (m_owner[i] && m_owner[i]->clip.get() == &clip)
                Stop(*m_owner[i]);
        }
        DeleteBuffers(clip);
        m_clips.erase(&clip);
    }

    void Prepare(Voice& v) override
    {
        if (v.clip)
            BufferFor(v);
    }

    VoiceReport Report(const Voice& v) override
    {
        VoiceReport r{};
        r.waveReady = v.clip && v.clip->outputBuffer[v.is3D ? 1 : 0] != 0;
        r.hasSource = v.source >= 0;
        if (!r.hasSource)
            return r;
        const ALuint s = m_sources[v.source];
        ALint state = AL_STOPPED;
        alGetSourcei(s, AL_SOURCE_STATE, &state);
        r.playing = state == AL_PLAYING;
        alGetSourcef(s, AL_GAIN, &r.gain);
        alGetSourcef(s, AL_PITCH, &r.pitch);
        alGetSource3f(s, AL_POSITION, &r.position.x, &r.position.y, &r.position.z);
        return r;
    }

    int SourcesInUse() const override
    {
        return static_cast<int>(std::count_if(m_owner.begin(), m_owner.end(), [](Voice* v) { return v; }));
    }

    int PoolSize() const override { return static_cast<int>(m_sources.size()); }

private:
    ALuint BufferFor(Voice& v)
    {
        SoundClip& clip = *v.clip;
        const int which = v.is3D ? 1 : 0;
        if (clip.outputBuffer[which])
            return clip.outputBuffer[which];
        const WaveData& w = v.is3D ? clip.Mono() : clip.wave;
        alGetError();
        ALuint b = 0;
        alGenBuffers(1, &b);
        if (alGetError() != AL_NO_ERROR)
            return 0;
        alBufferData(b, FormatOf(w), w.samples.data(), static_cast<ALsizei>(w.samples.size()),
                     static_cast<ALsizei>(w.sampleRate));
        if (alGetError() != AL_NO_ERROR) {
            alDeleteBuffers(1, &b);
            return 0;
        }
        clip.outputBuffer[which] = b;
        m_clips.insert(&clip);
        return b;
    }

    void DeleteBuffers(SoundClip& clip)
    {
        for (unsigned& b : clip.outputBuffer) {
            if (b) {
                ALuint id = b;
                alDeleteBuffers(1, &id);
            }
            b = 0;
        }
    }

    // A free source for the voice, made when the pool has none; -1 when the
    // output can make no more.
    int Lend(Voice& v)
    {
        for (std::size_t i = 0; i < m_owner.size(); ++i) {
            if (!m_owner[i]) {
                m_owner[i] = &v;
                v.source = static_cast<int>(i);
                return v.source;
            }
        }
        if (static_cast<int>(m_sources.size()) >= kMaxSources)
            return ReclaimEnded(v);
        alGetError();
        ALuint s = 0;
        alGenSources(1, &s);
        if (alGetError() != AL_NO_ERROR)
            return -1;
        m_sources.push_back(s);
        m_owner.push_back(&v);
        v.source = static_cast<int>(m_sources.size() - 1);
        return v.source;
    }

    // A source whose sound ended by itself while nobody asked goes to the
    // voice; -1 when every source still plays.
    int ReclaimEnded(Voice& v)
    {
        for (std::size_t i = 0; i < m_owner.size(); ++i) {
            ALint state = AL_PLAYING;
            alGetSourcei(m_sources[i], AL_SOURCE_STATE, &state);
            if (state != AL_STOPPED)
                continue;
            Stop(*m_owner[i]);
            m_owner[i] = &v;
            v.source = static_cast<int>(i);
            return v.source;
        }
        return -1;
    }

    ALCdevice* m_device = nullptr;
    ALCcontext* m_context = nullptr;
    std::vector<ALuint> m_sources;
    std::vector<Voice*> m_owner;
    std::set<SoundClip*> m_clips;
};

} // namespace

std::unique_ptr<SoundOutput> MakeOpenALOutput()
{
    return std::make_unique<OpenALOutput>();
}

} // namespace plat
