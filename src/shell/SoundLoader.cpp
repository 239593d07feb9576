// Loading and freeing sounds: the sound table and the shared memory images
// of SD archive entries.
#include "shell/AudioManager.h"

#include "platform/Win32Shell.h"
#include "shell/FileManager.h"
#include "shell/Log.h"
#include "shell/Settings.h"

#include <cstdio>
#include <cstring>
#include <new>

namespace {

// An entry claiming more than this is taken as damaged.
constexpr DWORD kMaxSoundFileBytes = 256u * 1024u * 1024u;

constexpr std::size_t kMaxPath = 1024;

// False when the name does not fit.
bool ToWide(const char* name, wchar_t* wide, std::size_t capacity)
{
    std::size_t i = 0;
    for (; i + 1 < capacity && name[i]; ++i)
        wide[i] = static_cast<unsigned char>(name[i]);
    wide[i] = 0;
    return name[i] == '\0';
}

// The name goes through a buffer so that it is written as it is.
void LogSoundName(const char* name)
{
    char line[300];
    std::snprintf(line, sizeof line, "%s", name);
    DebugLog(line);
}

// Sounds whose failed load was shown already: an ambience track is tried
// again every frame, and a box per frame would bury the game under boxes.
constexpr int kMaxReportedSounds = 64;
char s_reported[kMaxReportedSounds][kMaxPath];
int s_reportedCount = 0;

bool AlreadyReported(const char* name)
{
    for (int i = 0; i < s_reportedCount; ++i)
        if (std::strcmp(s_reported[i], name) == 0)
            return true;
    return false;
}

// Once per sound name; when the list is full further failures are only
// logged.
void ReportLoadFailure(const char* name, const char* caption)
{
    if (!g_bDebugOut || AlreadyReported(name))
        return;
    if (s_reportedCount == kMaxReportedSounds) {
        LogSoundName(name);
        return;
    }
    std::snprintf(s_reported[s_reportedCount++], kMaxPath, "%s", name);
    ErrorBox(name, caption, MB_OK);
}

void FreeImageBytes(SoundMemoryImage* image)
{
    delete[] image->pData;
    image->pData = nullptr;
    image->nSize = 0;
    image->nRefCount = 0;
}

} // namespace

void ForgetReportedSoundFailures()
{
    s_reportedCount = 0;
}

CGameSound* CAudioManager::FindSharedSound(const char* name) const
{
    for (DWORD i = 0; i < m_nSounds; ++i) {
        if (m_pSounds[i]->m_nKind == SOUND_STEREO && std::strcmp(m_pSounds[i]->m_szName, name) == 0)
            return m_pSounds[i];
    }
    return nullptr;
}

SoundMemoryImage* CAudioManager::SharedImage(const char* name)
{
    for (DWORD i = 0; i < m_nSounds; ++i) {
        SoundMemoryImage* image = m_pSounds[i]->m_pMemoryImage;
        if (image && image->pData && std::strcmp(m_pSounds[i]->m_szName, name) == 0)
            return image;
    }
    return nullptr;
}

SoundMemoryImage* CAudioManager::FreeImage()
{
    for (SoundMemoryImage& image : m_MemoryImages) {
        if (!image.pData)
            return &image;
    }
    return nullptr;
}

int CAudioManager::IndexOf(const CGameSound* sound) const
{
    for (DWORD i = 0; i < m_nSounds; ++i) {
        if (m_pSounds[i] == sound)
            return static_cast<int>(i);
    }
    return -1;
}

IDirectMusicSegment8* CAudioManager::LoadSegmentFromFile(const char* name)
{
    wchar_t wide[kMaxPath];
    if (!ToWide(name, wide, kMaxPath))
        return nullptr;
    IDirectMusicSegment8* segment = nullptr;
    const HRESULT hr = m_pLoader->LoadObjectFromFile(CLSID_DirectMusicSegment, IID_IDirectMusicSegment8, wide,
                                                     reinterpret_cast<void**>(&segment));
    return (hr == S_OK || hr == DMUS_S_PARTIALLOAD) ? segment : nullptr;
}

// A segment from a memory image (shared or newly filled from the archive entry).
IDirectMusicSegment8* CAudioManager::LoadSegmentFromArchive(const SoundMemoryImage* image)
{
    DMUS_OBJECTDESC desc{};
    desc.dwSize = sizeof desc;
    desc.dwValidData = DMUS_OBJ_CLASS | DMUS_OBJ_MEMORY;
    desc.guidClass = CLSID_DirectMusicSegment;
    desc.pbMemData = image->pData;
    desc.llMemLength = image->nSize;
    IDirectMusicSegment8* segment = nullptr;
    const HRESULT hr = m_pLoader->GetObject(&desc, IID_IDirectMusicSegment8, reinterpret_cast<void**>(&segment));
    return (hr == S_OK || hr == DMUS_S_PARTIALLOAD) ? segment : nullptr;
}

// Reads a whole SD archive entry into a free memory-image record; null when
// it is missing, damaged or no record is free.
static SoundMemoryImage* ReadArchiveImage(const char* name, SoundMemoryImage* record, bool* found)
{
    std::uint32_t size = 0;
    const FileHandle handle = g_FileManager.Open(name, ARCHIVE_SD, &size);
    *found = handle != INVALID_FILE_HANDLE;
    if (!*found)
        return nullptr;
    LogSoundName(name);
    BYTE* data = (record && size > 0 && size <= kMaxSoundFileBytes) ? new (std::nothrow) BYTE[size] : nullptr;
    const bool complete = data && g_FileManager.Read(data, 1, size, handle) == size;
    const int logged = static_cast<int>(size);
    DebugLog("FileSize: %d", &logged);
    g_FileManager.Close(handle);
    if (!complete) {
        delete[] data;
        return nullptr;
    }
    record->pData = data;
    record->nSize = size;
    record->nRefCount = 0;
    return record;
}

CGameSound* CAudioManager::LoadSound(const char* name, DWORD kind, float minDistance, float maxDistance)
{
    if (!g_bAudio || !name || !m_pLoader || !m_pPerformance || m_nSounds >= kMaxSounds)
        return nullptr;
    if (kind == SOUND_STEREO) {
        if (CGameSound* shared = FindSharedSound(name)) {
            ++shared->m_nRefCount;
            return shared;
        }
    }
    SoundMemoryImage* image = kind == SOUND_3D ? SharedImage(name) : nullptr;
    SoundMemoryImage* filled = nullptr; // a record this call filled
    IDirectMusicSegment8* segment = nullptr;
    if (image) {
        m_pLoader->CollectGarbage();
        LogSoundName(name); // an archive sound, its bytes already in memory
        segment = LoadSegmentFromArchive(image);
    } else if (std::FILE* loose = plat::OpenFile(name, "rb")) {
        m_pLoader->CollectGarbage();
        segment = LoadSegmentFromFile(name);
        std::fclose(loose);
    } else {
        bool found = false;
        filled = ReadArchiveImage(name, FreeImage(), &found);
        if (!found) {
            ReportLoadFailure(name, "Couldn't load sound file! (1)");
            return nullptr;
        }
        m_pLoader->CollectGarbage();
        image = filled;
        if (image)
            segment = LoadSegmentFromArchive(image);
    }
    if (!segment) {
        if (filled)
            FreeImageBytes(filled);
        ReportLoadFailure(name, "Couldn't load sound file! (2)");
        return nullptr;
    }
    DebugLog("GameMusic_Loader OK!");
    CGameSound* sound = new CGameSound(name, segment, image, kind, minDistance, maxDistance);
    m_pSounds[m_nSounds++] = sound;
    DebugLog("CGameSound OK!\n");
    return sound;
}

void CAudioManager::FreeSound(CGameSound** handle)
{
    if (!handle)
        return;
    CGameSound* sound = *handle;
    *handle = nullptr;
    if (sound && sound == m_pNamedMusic)
        m_pNamedMusic = nullptr;
    const int index = sound ? IndexOf(sound) : -1;
    if (index < 0)
        return;
    sound->ReleaseSound();
    if (sound->m_nRefCount > 0)
        return;
    delete sound;
    std::memmove(&m_pSounds[index], &m_pSounds[index + 1], (m_nSounds - index - 1) * sizeof(CGameSound*));
    --m_nSounds;
    m_pSounds[m_nSounds] = nullptr;
}

void CAudioManager::SafeFreeSound(CGameSound** handle)
{
    if (handle && *handle)
        FreeSound(handle);
}
