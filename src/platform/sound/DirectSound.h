// The wave-output half of the sound stand-in layer: the device, buffers,
// 3-D buffers and the listener. Each object counts its references; Release
// deletes it at zero.
#pragma once

#include "platform/sound/SoundBackend.h"

#include <memory>

namespace plat {

struct Voice;
struct Voice3D;

// Reference counting and interface queries shared by the sound objects.
class SoundObject : public IUnknown {
public:
    ULONG AddRef() override { return ++m_refs; }
    ULONG Release() override;
    // Hands out this object (one more reference) when it offers the id.
    virtual HRESULT QueryInterface(REFIID iid, void** out);

protected:
    virtual bool Offers(REFIID) const { return false; }

private:
    ULONG m_refs = 1;
};

} // namespace plat

class IDirectSound3DListener : public plat::SoundObject {
public:
    HRESULT SetPosition(float x, float y, float z, DWORD apply);
    HRESULT SetVelocity(float x, float y, float z, DWORD apply);
    HRESULT SetOrientation(float fx, float fy, float fz, float tx, float ty, float tz, DWORD apply);
    HRESULT SetDopplerFactor(float factor, DWORD apply);
    // Applies every deferred 3-D setting of the listener and of all buffers.
    HRESULT CommitDeferredSettings();
    HRESULT GetPosition(D3DVECTOR* out);
    HRESULT GetVelocity(D3DVECTOR* out);
    HRESULT GetDopplerFactor(float* out);

protected:
    bool Offers(REFIID iid) const override { return iid == IID_IDirectSound3DListener; }
};

// A primary buffer (the device's mix) or the buffer of an audio path.
class IDirectSoundBuffer8 : public plat::SoundObject {
public:
    explicit IDirectSoundBuffer8(std::shared_ptr<plat::Voice> voice);
    HRESULT SetFormat(const WAVEFORMATEX* format);
    HRESULT SetVolume(LONG volume);
    HRESULT GetVolume(LONG* out);
    HRESULT SetFrequency(DWORD frequency);
    HRESULT GetFrequency(DWORD* out);
    HRESULT QueryInterface(REFIID iid, void** out) override;
    // What the back end does with this buffer's sound (tests).
    plat::VoiceReport Report() const;

protected:
    bool Offers(REFIID iid) const override { return iid == IID_IDirectSoundBuffer8; }

private:
    std::shared_ptr<plat::Voice> m_voice; // null for the primary buffer
};
using IDirectSoundBuffer = IDirectSoundBuffer8;

class IDirectSound3DBuffer8 : public plat::SoundObject {
public:
    explicit IDirectSound3DBuffer8(std::shared_ptr<plat::Voice> voice);
    HRESULT SetPosition(float x, float y, float z, DWORD apply);
    HRESULT SetVelocity(float x, float y, float z, DWORD apply);
    HRESULT SetMinDistance(float distance, DWORD apply);
    HRESULT SetMaxDistance(float distance, DWORD apply);
    // The settings in force (deferred ones count once committed).
    HRESULT GetPosition(D3DVECTOR* out);
    HRESULT GetVelocity(D3DVECTOR* out);
    HRESULT GetMinDistance(float* out);
    HRESULT GetMaxDistance(float* out);

protected:
    bool Offers(REFIID iid) const override { return iid == IID_IDirectSound3DBuffer8; }

private:
    template <class T>
    void Set(T plat::Voice3D::*field, const T& value, DWORD apply);
    std::shared_ptr<plat::Voice> m_voice;
};

class IDirectSound8 : public plat::SoundObject {
public:
    ~IDirectSound8() override;
    HRESULT SetCooperativeLevel(HWND hwnd, DWORD level);
    HRESULT CreateSoundBuffer(const DSBUFFERDESC* desc, IDirectSoundBuffer** out, IUnknown* outer);
    HRESULT Compact();
};

// Opens the default output device (guid null). One device at a time.
HRESULT DirectSoundCreate8(const void* deviceGuid, IDirectSound8** out, IUnknown* outer);
