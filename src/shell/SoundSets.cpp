// The pooled 3-D sounds that cars and pedestrians borrow: cries, impacts,
// wheel squeals, horns and sirens, and engines.
#include "shell/AudioManager.h"

#include "roadusers/Human.h"
#include "roadusers/Vehicle.h"
#include "shell/GameTimer.h"
#include "shell/Settings.h"

#include <cstdio>
#include <cstdlib>

namespace {

constexpr DWORD kEngineKinds = 8;
constexpr DWORD kEngineInstances = 10;
constexpr DWORD kHorns = 8;          // entries 0..7; 8 is loaded but never played
constexpr DWORD kFirstSiren = 9;     // sirens are entries 9 and 10
constexpr DWORD kPoliceCar = 2;

CGameSound* LoadPooled(const char* format, int number)
{
    char name[64];
    std::snprintf(name, sizeof name, format, number);
    return g_AudioManager.LoadSound(name, SOUND_3D, 5.0f, 50.0f);
}

float RandomFactor(float base, int divisor)
{
    return base + static_cast<float>(std::rand() % 101) / static_cast<float>(divisor);
}

// A frequency for the buffer from a float in Hz; out of range or not a number gives 0.
DWORD ToHz(float hz)
{
    return (hz > 0.0f && hz < 4.0e9f) ? static_cast<DWORD>(hz) : 0;
}

void SetPitch(CGameSound* sound, float factor)
{
    sound->SetFrequency(ToHz(static_cast<float>(sound->m_nBaseFrequency) * factor));
}

// The entry under a pool's round-robin index may play for an owner.
template <class Owner>
bool CanPlay(const PooledSound<Owner>& entry, const Owner* owner)
{
    return entry.pSound && owner && !entry.pSound->IsPlaying() && owner->m_fCameraDistance < kSoundHearingRange;
}

template <class Owner>
void Disown(PooledSound<Owner>& entry)
{
    entry.pOwner = nullptr;
    if (entry.pSound)
        entry.pSound->Stop();
}

template <class Owner, std::size_t N>
void StopOwned(PooledSound<Owner> (&pool)[N], const Owner* owner)
{
    for (PooledSound<Owner>& entry : pool) {
        if (owner && entry.pOwner == owner)
            Disown(entry);
    }
}

// Keeps an owned entry following its owner while it plays within hearing
// range; otherwise the entry is given back. Returns false when it was.
template <class Owner>
bool FollowOwner(PooledSound<Owner>& entry, bool withVelocity)
{
    Owner* owner = entry.pOwner;
    if (owner->m_fCameraDistance <= kSoundHearingRange && entry.pSound && entry.pSound->IsPlaying()) {
        entry.pSound->SetPosition(owner->m_vPosition);
        if constexpr (requires { owner->m_vLinearVelocity; }) {
            if (withVelocity)
                entry.pSound->SetVelocity(owner->m_vLinearVelocity);
        }
        return true;
    }
    Disown(entry);
    return false;
}

template <class Owner, std::size_t N>
void FreePool(PooledSound<Owner> (&pool)[N])
{
    for (PooledSound<Owner>& entry : pool) {
        g_AudioManager.SafeFreeSound(&entry.pSound);
        entry.pOwner = nullptr;
    }
}

template <class Owner, std::size_t N>
void StopPool(PooledSound<Owner> (&pool)[N])
{
    for (PooledSound<Owner>& entry : pool)
        Disown(entry);
}

} // namespace

void CAudioManager::LoadCarSounds()
{
    for (auto& set : m_HumanCries)
        for (auto& e : set)
            e = {nullptr, nullptr};
    for (auto& e : m_Impacts)
        e = {nullptr, nullptr};
    for (auto& e : m_WheelSounds)
        e = {nullptr, nullptr};
    for (auto& e : m_HornSounds)
        e = {nullptr, nullptr};
    for (auto& kind : m_EngineSounds)
        for (auto& e : kind)
            e = {nullptr, nullptr};
    m_nCryIndex = m_nImpactIndex = m_nWheelIndex = m_nHornIndex = 0;
    m_nSirenIndex = kFirstSiren;
    if (!g_bAudio)
        return;
    for (int n = 1; n <= 5; ++n) {
        m_HumanCries[0][n - 1].pSound = LoadPooled("Data/Audio/MS%02d.wav", n);
        m_HumanCries[1][n - 1].pSound = LoadPooled("Data/Audio/FS%02d.wav", n);
    }
    for (int n = 1; n <= 20; ++n)
        m_Impacts[n - 1].pSound = LoadPooled("Data/Audio/Imp%02d.wav", n);
    for (int n = 1; n <= 14; ++n)
        m_WheelSounds[n - 1].pSound = LoadPooled("Data/Audio/WhS%02d.wav", n);
    for (int n = 1; n <= 11; ++n)
        m_HornSounds[n - 1].pSound = LoadPooled("Data/Audio/Hrn%02d.wav", n);
    for (DWORD k = 0; k < kEngineKinds; ++k)
        for (DWORD i = 0; i < kEngineInstances; ++i)
            m_EngineSounds[k][i].pSound = LoadPooled("Data/Audio/E%02d.wav", static_cast<int>(k + 1));
}

CGameSound* CAudioManager::AcquireEngineSound(DWORD engineKind, CVehicle* car)
{
    if (!g_bAudio || !car || car->m_fCameraDistance > kSoundHearingRange || engineKind >= kEngineKinds)
        return nullptr;
    for (PooledSound<CVehicle>& entry : m_EngineSounds[engineKind]) {
        if (entry.pSound && !entry.pOwner) {
            entry.pOwner = car;
            return entry.pSound;
        }
    }
    return nullptr;
}

void CAudioManager::ReleaseEngineSounds(DWORD engineKind, CVehicle* car)
{
    if (engineKind < kEngineKinds) {
        for (auto& kind : m_EngineSounds)
            StopOwned(kind, car);
    }
    if (car)
        car->m_pEngineSound = nullptr;
}

CGameSound* CAudioManager::PlayHornSound(CVehicle* car)
{
    if (!g_bAudio || !car)
        return nullptr;
    const bool siren = car->m_nKind == kPoliceCar;
    DWORD& index = siren ? m_nSirenIndex : m_nHornIndex;
    if (index >= 11)
        index = siren ? kFirstSiren : 0;
    PooledSound<CVehicle>& entry = m_HornSounds[index];
    if (!CanPlay(entry, car))
        return nullptr;
    entry.pOwner = car;
    if (siren)
        SetPitch(entry.pSound, RandomFactor(0.65f, 200));
    entry.pSound->SetVolume(100.0f);
    entry.pSound->SetPosition(car->m_vPosition);
    entry.pSound->SetVelocity(car->m_vLinearVelocity);
    entry.pSound->Play(0);
    index = siren ? (index == kFirstSiren ? kFirstSiren + 1 : kFirstSiren) : (index + 1) % kHorns;
    return entry.pSound;
}

CGameSound* CAudioManager::PlayWheelSound(CVehicle* car)
{
    if (!g_bAudio || !car)
        return nullptr;
    PooledSound<CVehicle>& entry = m_WheelSounds[m_nWheelIndex % 14];
    if (!CanPlay(entry, car))
        return nullptr;
    entry.pOwner = car;
    entry.pSound->SetVolume(80.0f);
    entry.pSound->SetPosition(car->m_vPosition);
    entry.pSound->Play(0);
    m_nWheelIndex = (m_nWheelIndex + 1) % 14;
    return entry.pSound;
}

void CAudioManager::PlayImpactSound(float volume, CVehicle* car)
{
    if (!g_bAudio || !car)
        return;
    PooledSound<CVehicle>& entry = m_Impacts[m_nImpactIndex % 20];
    if (!CanPlay(entry, car))
        return;
    entry.pOwner = car;
    SetPitch(entry.pSound, RandomFactor(0.75f, 200));
    entry.pSound->SetVolume(volume);
    entry.pSound->SetPosition(car->m_vPosition);
    entry.pSound->SetVelocity(car->m_vLinearVelocity);
    entry.pSound->Play(0);
    car->m_nImpactSoundStamp = static_cast<int>(g_GameTimer.m_fGameTime);
    m_nImpactIndex = (m_nImpactIndex + 1) % 20;
}

void CAudioManager::PlayHumanVoice(int set, CHuman* human)
{
    if (!g_bAudio || !human || set < 0 || set > 1)
        return;
    PooledSound<CHuman>& entry = m_HumanCries[set][m_nCryIndex % 5];
    if (!CanPlay(entry, human))
        return;
    entry.pOwner = human;
    SetPitch(entry.pSound, RandomFactor(0.9f, 160));
    entry.pSound->SetVolume(RandomFactor(80.0f, 5));
    entry.pSound->SetPosition(human->m_vPosition);
    entry.pSound->Play(0);
    m_nCryIndex = (m_nCryIndex + 1) % 5;
}

void CAudioManager::StopHornSounds(CVehicle* car)
{
    StopOwned(m_HornSounds, car);
}

void CAudioManager::StopWheelSounds(CVehicle* car)
{
    StopOwned(m_WheelSounds, car);
}

void CAudioManager::StopImpactSounds(CVehicle* car)
{
    StopOwned(m_Impacts, car);
}

void CAudioManager::StopHumanVoices(int set, CHuman* human)
{
    if (set >= 0 && set <= 1)
        StopOwned(m_HumanCries[set], human);
}

void CAudioManager::UpdatePooledSounds()
{
    for (auto& set : m_HumanCries)
        for (auto& entry : set)
            if (entry.pOwner)
                FollowOwner(entry, false);
    for (auto& entry : m_WheelSounds)
        if (entry.pOwner)
            FollowOwner(entry, false);
    for (auto& entry : m_Impacts)
        if (entry.pOwner)
            FollowOwner(entry, true);
    for (auto& entry : m_HornSounds) {
        CVehicle* car = entry.pOwner;
        if (car && !FollowOwner(entry, true))
            car->m_pHornSound = nullptr;
    }
    for (auto& kind : m_EngineSounds) {
        for (auto& entry : kind) {
            CVehicle* car = entry.pOwner;
            if (!car)
                continue;
            if (car->m_fCameraDistance > kSoundHearingRange) {
                car->m_pEngineSound = nullptr;
                Disown(entry);
                continue;
            }
            entry.pSound->SetPosition(car->m_vPosition);
            entry.pSound->SetVelocity(car->m_vLinearVelocity);
            entry.pSound->SetVolume(car->m_fEngineVolume);
            entry.pSound->SetFrequency(ToHz(car->m_fEnginePitch));
            if (!entry.pSound->IsPlaying())
                entry.pSound->Play(1);
        }
    }
}

void CAudioManager::StopCarSounds()
{
    if (!g_bAudio)
        return;
    for (auto& set : m_HumanCries)
        StopPool(set);
    StopPool(m_Impacts);
    StopPool(m_WheelSounds);
    StopPool(m_HornSounds);
    for (auto& kind : m_EngineSounds)
        StopPool(kind);
    SafeFreeSound(&m_pMusic);
    m_bMusic = 0;
    SafeFreeSound(&m_pAmbient[0]);
    SafeFreeSound(&m_pAmbient[1]);
}

void CAudioManager::FreeCarSounds()
{
    for (auto& set : m_HumanCries)
        FreePool(set);
    FreePool(m_Impacts);
    FreePool(m_WheelSounds);
    FreePool(m_HornSounds);
    for (auto& kind : m_EngineSounds)
        FreePool(kind);
    m_nCryIndex = m_nImpactIndex = m_nWheelIndex = m_nHornIndex = 0;
    m_nSirenIndex = kFirstSiren;
}
