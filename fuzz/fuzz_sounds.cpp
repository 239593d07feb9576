// Sound files through the audio manager's own loading path: a loose wave
// file loaded as a plain sound and as a 3-D one (mixed down to mono).
#include "FuzzFiles.h"
#include "shell/AudioManager.h"
#include "shell/GameSound.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    fuzz::BeginInput(data, size);
    fuzz::StartLooseFilesAndSilentAudio();
    fuzz::SetFile("Data/Audio/Fuzz.wav", data, size);
    for (DWORD kind : {0u, 1u}) {
        CGameSound* sound = g_AudioManager.LoadSound("Data/Audio/Fuzz.wav", kind, 1.0f, 100.0f);
        if (sound)
            g_AudioManager.FreeSound(&sound);
    }
    return 0;
}
