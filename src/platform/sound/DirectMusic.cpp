#include "platform/sound/DirectMusic.h"

#include "platform/Win32Shell.h"
#include "platform/sound/SoundDevice.h"

#include <algorithm>
#include <cstdio>
#include <vector>

using plat::CurrentDevice;
using plat::FaultAt;
using plat::SoundFault;

namespace {

int s_comInits = 0;

// The game widens its byte paths one byte per character; narrowing gives
// the same bytes back, so a folder named in any encoding is found again.
// A character beyond one byte is written as UTF-8.
std::string Narrow(const wchar_t* text)
{
    std::string s;
    for (; text && *text; ++text) {
        const std::uint32_t c = static_cast<std::uint32_t>(*text);  // NOLINT(bugprone-signed-char-misuse): a 32-bit code point, not a char
        if (c < 0x100) {
            s.push_back(static_cast<char>(c));
        } else if (c < 0x800) {
            s.push_back(static_cast<char>(0xC0 | (c >> 6)));
            s.push_back(static_cast<char>(0x80 | (c & 0x3F)));
        } else if (c < 0x10000) {
            s.push_back(static_cast<char>(0xE0 | (c >> 12)));
            s.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
            s.push_back(static_cast<char>(0x80 | (c & 0x3F)));
        } else {
            s.push_back(static_cast<char>(0xF0 | ((c >> 18) & 0x07)));
            s.push_back(static_cast<char>(0x80 | ((c >> 12) & 0x3F)));
            s.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
            s.push_back(static_cast<char>(0x80 | (c & 0x3F)));
        }
    }
    return s;
}

// A loose wave file is read whole; anything larger than this is no sound of
// the game's (and a directory reports a length of its own).
constexpr std::size_t kMaxWaveFileBytes = 256u * 1024u * 1024u;

// 64-bit FNV-1a of a whole file: equal files share one decoded clip.
std::uint64_t HashOf(const std::uint8_t* bytes, std::size_t size)
{
    std::uint64_t hash = 14695981039346656037ull;
    for (std::size_t i = 0; i < size; ++i)
        hash = (hash ^ bytes[i]) * 1099511628211ull;
    return hash;
}

void StopVoice(plat::SoundDevice* d, plat::Voice& v)
{
    d->output->Stop(v);
    v.segment = nullptr;
}

// Whether a voice still plays what it was last started with; a finite
// repeat count that has run out stops it.
bool VoicePlays(plat::SoundDevice* d, plat::Voice& v)
{
    if (!v.segment)
        return false;
    if (v.endMs >= 0 && d->Now() >= v.endMs) {
        StopVoice(d, v);
        return false;
    }
    return d->output->IsPlaying(v);
}

} // namespace

HRESULT CoInitialize(void*)
{
    if (FaultAt(SoundFault::ComInit))
        return E_FAIL;
    ++s_comInits;
    return S_OK;
}

void CoUninitialize()
{
    if (s_comInits > 0)
        --s_comInits;
}

HRESULT CoCreateInstance(REFCLSID clsid, IUnknown*, DWORD, REFIID iid, void** out)
{
    if (!out)
        return E_INVALIDARG;
    *out = nullptr;
    if (s_comInits == 0)
        return E_FAIL;
    if (clsid == CLSID_DirectMusicLoader && iid == IID_IDirectMusicLoader8 && !FaultAt(SoundFault::CreateLoader)) {
        *out = new IDirectMusicLoader8();
        return S_OK;
    }
    if (clsid == CLSID_DirectMusicPerformance && iid == IID_IDirectMusicPerformance8 &&
        !FaultAt(SoundFault::CreatePerformance)) {
        *out = new IDirectMusicPerformance8();
        return S_OK;
    }
    return E_FAIL;
}

// Segments.

IDirectMusicSegment8::IDirectMusicSegment8(std::shared_ptr<plat::SoundClip> clip) : m_clip(std::move(clip))
{
    m_length = WaveLength();
}

MUSIC_TIME IDirectMusicSegment8::WaveLength() const
{
    return static_cast<MUSIC_TIME>(std::max<std::int64_t>(1, m_clip->wave.DurationMs()));
}

HRESULT IDirectMusicSegment8::SetLength(MUSIC_TIME length)
{
    if (length <= 0)
        return E_INVALIDARG;
    m_length = length;
    return S_OK;
}

HRESULT IDirectMusicSegment8::GetLength(MUSIC_TIME* out)
{
    *out = std::max(m_length, WaveLength());
    return S_OK;
}

HRESULT IDirectMusicSegment8::SetStartPoint(MUSIC_TIME start)
{
    if (start < 0)
        return E_INVALIDARG;
    m_start = start;
    return S_OK;
}

HRESULT IDirectMusicSegment8::GetStartPoint(MUSIC_TIME* out)
{
    *out = m_start;
    return S_OK;
}

HRESULT IDirectMusicSegment8::SetLoopPoints(MUSIC_TIME start, MUSIC_TIME end)
{
    if (start < 0 || end < 0 || (end != 0 && start >= end))
        return E_INVALIDARG;
    m_loopStart = start;
    m_loopEnd = end;
    return S_OK;
}

HRESULT IDirectMusicSegment8::GetLoopPoints(MUSIC_TIME* start, MUSIC_TIME* end)
{
    *start = m_loopStart;
    *end = m_loopEnd;
    return S_OK;
}

HRESULT IDirectMusicSegment8::SetRepeats(DWORD repeats)
{
    m_repeats = repeats;
    return S_OK;
}

HRESULT IDirectMusicSegment8::GetRepeats(DWORD* out)
{
    *out = m_repeats;
    return S_OK;
}

HRESULT IDirectMusicSegment8::Download(IUnknown* path)
{
    auto* p = dynamic_cast<IDirectMusicAudioPath8*>(path);
    if (!p)
        return E_INVALIDARG;
    p->GetVoice().clip = m_clip;
    if (plat::SoundDevice* d = CurrentDevice())
        d->output->Prepare(p->GetVoice());
    return S_OK;
}

HRESULT IDirectMusicSegment8::Unload(IUnknown* path)
{
    return dynamic_cast<IDirectMusicAudioPath8*>(path) ? S_OK : E_INVALIDARG;
}

HRESULT IDirectMusicSegment8::SetTrackConfig(REFGUID, DWORD, DWORD, DWORD on, DWORD off)
{
    m_trackConfig = (m_trackConfig | on) & ~off;
    return S_OK;
}

// Segment states.

IDirectMusicSegmentState8::IDirectMusicSegmentState8(IDirectMusicAudioPath8* path, unsigned serial,
                                                     MUSIC_TIME start, MUSIC_TIME startPoint)
    : m_path(path), m_serial(serial), m_start(start), m_startPoint(startPoint)
{
    m_path->AddRef();
}

IDirectMusicSegmentState8::~IDirectMusicSegmentState8()
{
    m_path->Release();
}

HRESULT IDirectMusicSegmentState8::GetStartTime(MUSIC_TIME* out)
{
    *out = m_start;
    return S_OK;
}

HRESULT IDirectMusicSegmentState8::GetStartPoint(MUSIC_TIME* out)
{
    *out = m_startPoint;
    return S_OK;
}

// Audio paths.

IDirectMusicAudioPath8::IDirectMusicAudioPath8(bool is3D) : m_voice(std::make_shared<plat::Voice>())
{
    m_voice->is3D = is3D;
    if (plat::SoundDevice* d = CurrentDevice()) {
        m_voice->frequency = m_voice->baseFrequency = d->mixRate;
        d->Add(m_voice.get());
    }
    m_buffer = new IDirectSoundBuffer8(m_voice);
    m_buffer3D = is3D ? new IDirectSound3DBuffer8(m_voice) : nullptr;
}

IDirectMusicAudioPath8::~IDirectMusicAudioPath8()
{
    if (plat::SoundDevice* d = CurrentDevice()) {
        d->output->Stop(*m_voice);
        d->Remove(m_voice.get());
    }
    m_buffer->Release();
    if (m_buffer3D)
        m_buffer3D->Release();
}

HRESULT IDirectMusicAudioPath8::Activate(BOOL active)
{
    m_active = active != 0;
    return S_OK;
}

HRESULT IDirectMusicAudioPath8::GetObjectInPath(DWORD, DWORD, DWORD, REFGUID, DWORD, REFIID iid, void** out)
{
    if (!out)
        return E_INVALIDARG;
    *out = nullptr;
    if (FaultAt(SoundFault::PathBuffer))
        return DMUS_E_NOT_FOUND;
    if (iid == IID_IDirectSoundBuffer8)
        return m_buffer->QueryInterface(iid, out);
    if (iid == IID_IDirectSound3DBuffer8 && m_buffer3D)
        return m_buffer3D->QueryInterface(iid, out);
    return DMUS_E_NOT_FOUND;
}

// The loader.

HRESULT IDirectMusicLoader8::SetSearchDirectory(REFGUID, const wchar_t* path, BOOL)
{
    m_directory = Narrow(path);
    return S_OK;
}

HRESULT IDirectMusicLoader8::EnableCache(REFGUID, BOOL)
{
    return S_OK; // every load makes a new segment; equal files share their decoded clip
}

HRESULT IDirectMusicLoader8::ClearCache(REFGUID)
{
    m_clips.clear(); // segments still alive keep their clips
    return S_OK;
}

HRESULT IDirectMusicLoader8::CollectGarbage()
{
    m_clips.erase(std::remove_if(m_clips.begin(), m_clips.end(), [](const SharedClip& c) { return c.clip.expired(); }),
                  m_clips.end());
    return S_OK;
}

HRESULT IDirectMusicLoader8::Segment(const std::uint8_t* bytes, std::size_t size, REFIID iid, void** out)
{
    *out = nullptr;
    if (iid != IID_IDirectMusicSegment8)
        return E_INVALIDARG;
    if (FaultAt(SoundFault::SegmentLoad))
        return DMUS_E_UNSUPPORTED_STREAM;
    const std::uint64_t hash = HashOf(bytes, size);
    for (const SharedClip& shared : m_clips)
        if (shared.hash == hash && shared.size == size)
            if (std::shared_ptr<plat::SoundClip> clip = shared.clip.lock()) {
                *out = new IDirectMusicSegment8(std::move(clip));
                return S_OK;
            }
    auto clip = std::make_shared<plat::SoundClip>();
    if (plat::ReadWave(bytes, size, &clip->wave) != plat::WaveError::None)
        return DMUS_E_UNSUPPORTED_STREAM;
    CollectGarbage();
    m_clips.push_back(SharedClip{hash, size, clip});
    *out = new IDirectMusicSegment8(std::move(clip));
    return S_OK;
}

HRESULT IDirectMusicLoader8::ReleaseObjectByUnknown(IUnknown* object)
{
    return object ? S_OK : E_INVALIDARG;
}

HRESULT IDirectMusicLoader8::LoadObjectFromFile(REFGUID objectClass, REFIID iid, const wchar_t* file, void** out)
{
    if (!out || !file)
        return E_INVALIDARG;
    *out = nullptr;
    if (objectClass != CLSID_DirectMusicSegment)
        return E_INVALIDARG;
    std::string path = Narrow(file);
    if (!path.empty() && path[0] != '/' && !m_directory.empty())
        path = m_directory + "/" + path;
    std::vector<std::uint8_t> bytes;
    if (!plat::ReadWholeFile(path.c_str(), &bytes, kMaxWaveFileBytes))
        return DMUS_E_NOT_FOUND;
    return Segment(bytes.data(), bytes.size(), iid, out);
}

HRESULT IDirectMusicLoader8::GetObject(const DMUS_OBJECTDESC* desc, REFIID iid, void** out)
{
    if (!out || !desc)
        return E_INVALIDARG;
    *out = nullptr;
    if (!(desc->dwValidData & DMUS_OBJ_MEMORY) || desc->guidClass != CLSID_DirectMusicSegment || !desc->pbMemData)
        return E_INVALIDARG;
    return Segment(desc->pbMemData, static_cast<std::size_t>(desc->llMemLength), iid, out);
}

// The performance.

IDirectMusicPerformance8::~IDirectMusicPerformance8()
{
    CloseDown();
}

HRESULT IDirectMusicPerformance8::InitAudio(void**, IDirectSound8** sound, HWND, DWORD defaultPathType, DWORD,
                                            DWORD, DMUS_AUDIOPARAMS*)
{
    if (!sound || !*sound || m_sound || FaultAt(SoundFault::InitAudio) || !CurrentDevice())
        return E_FAIL;
    m_sound = *sound;
    m_sound->AddRef();
    if (defaultPathType != 0)
        CreateStandardAudioPath(defaultPathType, 64, TRUE, &m_defaultPath);
    return S_OK;
}

HRESULT IDirectMusicPerformance8::GetDefaultAudioPath(IDirectMusicAudioPath8** out)
{
    if (!out)
        return E_INVALIDARG;
    *out = nullptr;
    if (!m_defaultPath || FaultAt(SoundFault::DefaultPath))
        return DMUS_E_NOT_FOUND;
    m_defaultPath->AddRef();
    *out = m_defaultPath;
    return S_OK;
}

HRESULT IDirectMusicPerformance8::CreateStandardAudioPath(DWORD type, DWORD, BOOL activate,
                                                          IDirectMusicAudioPath8** out)
{
    if (!out)
        return E_INVALIDARG;
    *out = nullptr;
    if (!m_sound)
        return DSERR_UNINITIALIZED;
    if (type != DMUS_APATH_DYNAMIC_3D && type != DMUS_APATH_DYNAMIC_MONO && type != DMUS_APATH_DYNAMIC_STEREO)
        return E_INVALIDARG;
    *out = new IDirectMusicAudioPath8(type == DMUS_APATH_DYNAMIC_3D);
    (*out)->Activate(activate);
    return S_OK;
}

HRESULT IDirectMusicPerformance8::PlaySegmentEx(IUnknown* source, const wchar_t*, IUnknown*, DWORD, REFERENCE_TIME,
                                                IDirectMusicSegmentState** state, IUnknown*, IUnknown* audioPath)
{
    if (state)
        *state = nullptr;
    auto* segment = dynamic_cast<IDirectMusicSegment8*>(source);
    auto* path = audioPath ? dynamic_cast<IDirectMusicAudioPath8*>(audioPath) : m_defaultPath;
    plat::SoundDevice* d = CurrentDevice();
    if (!segment || !path || !m_sound || !d)
        return E_FAIL;
    plat::Voice& v = path->GetVoice();
    const plat::WaveData& wave = segment->Clip()->wave;
    MUSIC_TIME startPoint = 0;
    DWORD repeats = 0;
    segment->GetStartPoint(&startPoint);
    segment->GetRepeats(&repeats);
    const MUSIC_TIME now = d->Now();
    const MUSIC_TIME waveLength = segment->WaveLength();
    const auto startFrame = static_cast<DWORD>(
        std::min<std::int64_t>(static_cast<std::int64_t>(startPoint) * wave.sampleRate / 1000, wave.Frames()));
    v.clip = segment->Clip();
    v.segment = segment;
    v.stateSerial = ++m_serial;
    v.endMs = (repeats == 0 || repeats == DMUS_SEG_REPEAT_INFINITE)
                  ? -1
                  : now + (waveLength - std::min(startPoint, waveLength)) + static_cast<std::int64_t>(waveLength) * repeats;
    d->output->Start(v, startFrame, repeats != 0);
    if (state)
        *state = new IDirectMusicSegmentState8(path, v.stateSerial, now, startPoint);
    return S_OK;
}

HRESULT IDirectMusicPerformance8::StopEx(IUnknown* object, REFERENCE_TIME, DWORD)
{
    plat::SoundDevice* d = CurrentDevice();
    if (!d)
        return S_OK;
    auto* segment = dynamic_cast<IDirectMusicSegment8*>(object);
    auto* state = dynamic_cast<IDirectMusicSegmentState8*>(object);
    for (plat::Voice* v : d->voices) {
        const bool match = !object || (segment && v->segment == segment) ||
                           (state && &state->Path()->GetVoice() == v && v->stateSerial == state->Serial());
        if (match)
            StopVoice(d, *v);
    }
    return S_OK;
}

HRESULT IDirectMusicPerformance8::Stop(IDirectMusicSegment8* segment, IDirectMusicSegmentState8* state, MUSIC_TIME,
                                       DWORD)
{
    if (state)
        return StopEx(state, 0, 0);
    return StopEx(segment, 0, 0);
}

HRESULT IDirectMusicPerformance8::IsPlaying(IDirectMusicSegment8* segment, IDirectMusicSegmentState8* state)
{
    plat::SoundDevice* d = CurrentDevice();
    if (!d)
        return S_FALSE;
    if (state) {
        plat::Voice& v = state->Path()->GetVoice();
        return v.stateSerial == state->Serial() && VoicePlays(d, v) ? S_OK : S_FALSE;
    }
    for (plat::Voice* v : d->voices) {
        if (segment && v->segment == segment && VoicePlays(d, *v))
            return S_OK;
    }
    return S_FALSE;
}

HRESULT IDirectMusicPerformance8::GetTime(REFERENCE_TIME* reference, MUSIC_TIME* music)
{
    plat::SoundDevice* d = CurrentDevice();
    const MUSIC_TIME now = d ? d->Now() : 0;
    if (music)
        *music = now;
    if (reference)
        *reference = static_cast<REFERENCE_TIME>(now) * 10000;
    return S_OK;
}

HRESULT IDirectMusicPerformance8::CloseDown()
{
    StopEx(nullptr, 0, 0);
    if (m_defaultPath) {
        m_defaultPath->Release();
        m_defaultPath = nullptr;
    }
    if (m_sound) {
        m_sound->Release();
        m_sound = nullptr;
    }
    return S_OK;
}
