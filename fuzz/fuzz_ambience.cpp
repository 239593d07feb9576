// The ambience description "AmbientData.obj", read as the audio manager does
// at start-up, then one ambience step over its track lists.
#include "FuzzFiles.h"
#include "shell/AudioManager.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    fuzz::BeginInput(data, size);
    fuzz::StartLooseFilesAndSilentAudio();
    fuzz::SetFile("Data/Audio/AmbTrks/AmbientData.obj", data, size);
    g_AudioManager.LoadAmbientData();
    g_AudioManager.UpdateAmbientAt(size > 0 ? data[0] / 255.0f : 0.0f);
    return 0;
}
