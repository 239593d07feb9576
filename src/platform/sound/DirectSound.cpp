#include "platform/sound/DirectSound.h"

#include "platform/sound/SoundDevice.h"

using plat::CurrentDevice;
using plat::FaultAt;
using plat::SoundFault;

ULONG plat::SoundObject::Release()
{
    const ULONG left = --m_refs;
    if (left == 0)
        delete this;
    return left;
}

HRESULT plat::SoundObject::QueryInterface(REFIID iid, void** out)
{
    if (!out)
        return E_INVALIDARG;
    *out = nullptr;
    if (!Offers(iid))
        return E_FAIL;
    AddRef();
    *out = this;
    return S_OK;
}

namespace {

// Deferred settings wait for CommitDeferredSettings; immediate ones apply now.
void SetListener(DWORD apply, void (*change)(plat::Listener&, const float*), const float* values)
{
    plat::SoundDevice* d = CurrentDevice();
    if (!d)
        return;
    change(d->pendingListener, values);
    if (apply == DS3D_IMMEDIATE) {
        change(d->listener, values); // other deferred settings keep waiting
        d->output->ApplyListener(d->listener);
    } else {
        d->listenerDirty = true;
    }
}

template <class T>
HRESULT GetListener(T plat::Listener::*field, T* out)
{
    plat::SoundDevice* d = CurrentDevice();
    if (!d || !out)
        return E_FAIL;
    *out = d->listener.*field;
    return S_OK;
}

// A buffer setting outside its range is refused; a stored one reaches the
// output at once.
template <class T>
HRESULT SetVoice(plat::Voice* voice, T plat::Voice::*field, T value, bool inRange)
{
    if (!voice || !inRange)
        return E_INVALIDARG;
    voice->*field = value;
    if (plat::SoundDevice* d = CurrentDevice())
        d->output->Apply(*voice);
    return S_OK;
}

template <class T>
HRESULT GetVoice(const plat::Voice* voice, T plat::Voice::*field, T* out)
{
    if (!voice || !out)
        return E_FAIL;
    *out = voice->*field;
    return S_OK;
}

} // namespace

HRESULT IDirectSound3DListener::SetPosition(float x, float y, float z, DWORD apply)
{
    const float v[3] = {x, y, z};
    SetListener(apply, [](plat::Listener& l, const float* p) { l.position = {p[0], p[1], p[2]}; }, v);
    return S_OK;
}

HRESULT IDirectSound3DListener::SetVelocity(float x, float y, float z, DWORD apply)
{
    const float v[3] = {x, y, z};
    SetListener(apply, [](plat::Listener& l, const float* p) { l.velocity = {p[0], p[1], p[2]}; }, v);
    return S_OK;
}

HRESULT IDirectSound3DListener::SetOrientation(float fx, float fy, float fz, float tx, float ty, float tz,
                                               DWORD apply)
{
    const float v[6] = {fx, fy, fz, tx, ty, tz};
    SetListener(apply, [](plat::Listener& l, const float* p) {
        l.front = {p[0], p[1], p[2]};
        l.top = {p[3], p[4], p[5]};
    }, v);
    return S_OK;
}

HRESULT IDirectSound3DListener::SetDopplerFactor(float factor, DWORD apply)
{
    SetListener(apply, [](plat::Listener& l, const float* p) { l.doppler = p[0]; }, &factor);
    return S_OK;
}

HRESULT IDirectSound3DListener::CommitDeferredSettings()
{
    if (plat::SoundDevice* d = CurrentDevice())
        d->Commit();
    return S_OK;
}

HRESULT IDirectSound3DListener::GetPosition(D3DVECTOR* out)
{
    return GetListener(&plat::Listener::position, out);
}

HRESULT IDirectSound3DListener::GetVelocity(D3DVECTOR* out)
{
    return GetListener(&plat::Listener::velocity, out);
}

HRESULT IDirectSound3DListener::GetDopplerFactor(float* out)
{
    return GetListener(&plat::Listener::doppler, out);
}

IDirectSoundBuffer8::IDirectSoundBuffer8(std::shared_ptr<plat::Voice> voice) : m_voice(std::move(voice))
{
}

HRESULT IDirectSoundBuffer8::SetFormat(const WAVEFORMATEX* f)
{
    if (m_voice || !f || FaultAt(SoundFault::PrimaryFormat))
        return E_FAIL;
    const bool valid = f->wFormatTag == WAVE_FORMAT_PCM && (f->nChannels == 1 || f->nChannels == 2) &&
                       (f->wBitsPerSample == 8 || f->wBitsPerSample == 16) && f->nSamplesPerSec > 0 &&
                       f->nBlockAlign == f->nChannels * f->wBitsPerSample / 8;
    if (!valid)
        return E_INVALIDARG;
    if (plat::SoundDevice* d = CurrentDevice())
        d->mixRate = f->nSamplesPerSec;
    return S_OK;
}

HRESULT IDirectSoundBuffer8::SetVolume(LONG volume)
{
    return SetVoice(m_voice.get(), &plat::Voice::volume, volume, volume >= DSBVOLUME_MIN && volume <= DSBVOLUME_MAX);
}

HRESULT IDirectSoundBuffer8::GetVolume(LONG* out)
{
    return GetVoice(m_voice.get(), &plat::Voice::volume, out);
}

HRESULT IDirectSoundBuffer8::SetFrequency(DWORD frequency)
{
    return SetVoice(m_voice.get(), &plat::Voice::frequency, frequency, frequency >= 100 && frequency <= 200000);
}

HRESULT IDirectSoundBuffer8::GetFrequency(DWORD* out)
{
    return GetVoice(m_voice.get(), &plat::Voice::frequency, out);
}

HRESULT IDirectSoundBuffer8::QueryInterface(REFIID iid, void** out)
{
    if (!m_voice && iid == IID_IDirectSound3DListener) {
        if (!out)
            return E_INVALIDARG;
        *out = nullptr;
        if (FaultAt(SoundFault::Listener) || !CurrentDevice())
            return E_FAIL;
        *out = new IDirectSound3DListener();
        return S_OK;
    }
    return SoundObject::QueryInterface(iid, out);
}

plat::VoiceReport IDirectSoundBuffer8::Report() const
{
    plat::SoundDevice* d = CurrentDevice();
    if (!m_voice || !d)
        return plat::VoiceReport{};
    return d->output->Report(*m_voice);
}

IDirectSound3DBuffer8::IDirectSound3DBuffer8(std::shared_ptr<plat::Voice> voice) : m_voice(std::move(voice))
{
}

// A deferred setting waits for the commit; an immediate one applies itself
// now and leaves the other deferred settings waiting.
template <class T>
void IDirectSound3DBuffer8::Set(T plat::Voice3D::*field, const T& value, DWORD apply)
{
    m_voice->pending.*field = value;
    if (apply == DS3D_DEFERRED) {
        m_voice->dirty = true;
        return;
    }
    m_voice->applied.*field = value;
    if (plat::SoundDevice* d = CurrentDevice())
        d->output->Apply(*m_voice);
}

HRESULT IDirectSound3DBuffer8::SetPosition(float x, float y, float z, DWORD apply)
{
    Set(&plat::Voice3D::position, D3DVECTOR{x, y, z}, apply);
    return S_OK;
}

HRESULT IDirectSound3DBuffer8::SetVelocity(float x, float y, float z, DWORD apply)
{
    Set(&plat::Voice3D::velocity, D3DVECTOR{x, y, z}, apply);
    return S_OK;
}

HRESULT IDirectSound3DBuffer8::SetMinDistance(float distance, DWORD apply)
{
    if (!(distance > 0.0f))
        return E_INVALIDARG;
    Set(&plat::Voice3D::minDistance, distance, apply);
    return S_OK;
}

HRESULT IDirectSound3DBuffer8::SetMaxDistance(float distance, DWORD apply)
{
    if (!(distance > 0.0f))
        return E_INVALIDARG;
    Set(&plat::Voice3D::maxDistance, distance, apply);
    return S_OK;
}

HRESULT IDirectSound3DBuffer8::GetPosition(D3DVECTOR* out)
{
    *out = m_voice->applied.position;
    return S_OK;
}

HRESULT IDirectSound3DBuffer8::GetVelocity(D3DVECTOR* out)
{
    *out = m_voice->applied.velocity;
    return S_OK;
}

HRESULT IDirectSound3DBuffer8::GetMinDistance(float* out)
{
    *out = m_voice->applied.minDistance;
    return S_OK;
}

HRESULT IDirectSound3DBuffer8::GetMaxDistance(float* out)
{
    *out = m_voice->applied.maxDistance;
    return S_OK;
}

IDirectSound8::~IDirectSound8()
{
    plat::CloseDevice();
}

HRESULT IDirectSound8::SetCooperativeLevel(HWND, DWORD level)
{
    if (FaultAt(SoundFault::CooperativeLevel) || level < DSSCL_NORMAL || level > 3)
        return E_FAIL;
    return S_OK;
}

HRESULT IDirectSound8::CreateSoundBuffer(const DSBUFFERDESC* desc, IDirectSoundBuffer** out, IUnknown*)
{
    if (!desc || !out)
        return E_INVALIDARG;
    *out = nullptr;
    // Only the primary buffer is made here; the sounds' buffers come with
    // their audio paths.
    if (!(desc->dwFlags & DSBCAPS_PRIMARYBUFFER) || FaultAt(SoundFault::PrimaryBuffer))
        return E_FAIL;
    if ((desc->dwFlags & DSBCAPS_LOCHARDWARE) && FaultAt(SoundFault::PrimaryHardware))
        return E_FAIL;
    *out = new IDirectSoundBuffer8(nullptr);
    return S_OK;
}

HRESULT IDirectSound8::Compact()
{
    return S_OK;
}

HRESULT DirectSoundCreate8(const void*, IDirectSound8** out, IUnknown*)
{
    if (!out)
        return E_INVALIDARG;
    *out = nullptr;
    if (FaultAt(SoundFault::DeviceCreate) || !plat::OpenDevice())
        return DSERR_NODRIVER;
    *out = new IDirectSound8();
    return S_OK;
}
