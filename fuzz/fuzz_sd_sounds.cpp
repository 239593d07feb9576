// Sounds through the SD archive as the audio manager loads them when no loose
// file is there: the input is the body of the archive's one entry, read into
// a memory image and handed to the loader as a plain sound, then twice as a
// 3-D sound sharing that image, and freed again.
#include "FuzzFiles.h"

#include "shell/AudioManager.h"
#include "shell/FileManager.h"
#include "shell/GameSound.h"
#include "shell/Settings.h"
#include "writers/ArchiveWriter.h"

namespace {

const char kSound[] = "Data/Audio/Fuzz.wav";

void StartOnce()
{
    static bool started = false;
    if (started)
        return;
    started = true;
    fuzz::StartLooseFilesAndSilentAudio();
    // The other archives are there and empty, so opening them says nothing.
    for (const char* name : {"Objects", "World", "Textures"}) {
        fuzz::WriteFile(std::string("Data/") + name + ".hdr", std::string(4, '\0'));
        fuzz::WriteFile(std::string("Data/") + name + ".pak", std::string());
    }
    g_bFileManager = 1;
    g_FileManager.Init();
}

// The SD table read afresh from this input's index and body.
void LoadSoundArchive(const std::uint8_t* data, std::size_t size)
{
    fuzz::SetFile("Data/SD.hdr", tools::EncodeIndex({{kSound, static_cast<std::uint32_t>(size), 0}}));
    fuzz::SetFile("Data/SD.pak", data, size);
    const int slot = ARCHIVE_COUNT - 1;
    delete[] g_FileManager.m_pEntries[slot];
    g_FileManager.m_pEntries[slot] = g_FileManager.LoadIndex(ARCHIVE_SD, &g_FileManager.m_EntryCount[slot], 0);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    fuzz::BeginInput(data, size);
    StartOnce();
    LoadSoundArchive(data, size);
    ForgetReportedSoundFailures();
    CGameSound* sounds[3] = {g_AudioManager.LoadSound(kSound, SOUND_STEREO, 1.0f, 100.0f),
                             g_AudioManager.LoadSound(kSound, SOUND_3D, 1.0f, 100.0f),
                             g_AudioManager.LoadSound(kSound, SOUND_3D, 5.0f, 50.0f)};
    for (CGameSound*& sound : sounds)
        if (sound)
            g_AudioManager.FreeSound(&sound);
    return 0;
}
