// A pedestrian's description file, its own lines included, loaded as the
// manager loads one, with the sample figure and its textures at hand and the
// ragdoll part shapes made; the first byte picks the gender and the device
// kind (clothing loaded or taken pre-tinted).
#include "FuzzFiles.h"
#include "KeptResources.h"
#include "graphics/D3DRender.h"
#include "graphics/MeshContainer.h"
#include "roadusers/Human.h"
#include "roadusers/HumanManager.h"
#include "shell/FileManager.h"
#include "shell/Settings.h"
#include "writers/HumanModel.h"
#include "writers/MeshWriter.h"
#include "writers/ObjectMeshes.h"

namespace {

void WriteSampleFigure()
{
    fuzz::WriteFile("Data/Humans/Male/Body.msh", tools::EncodeMesh(tools::HumanMesh()));
    for (const tools::SampleFile& f : tools::SampleHumanTextures())
        fuzz::WriteFile(f.path, f.bytes);
    g_HumanManager.Init();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    fuzz::BeginInput(data, size);
    if (!fuzz::StartHeadlessGame(false, WriteSampleFigure) || size == 0)
        return 0;
    g_D3DRender.m_bPerStageConstant = data[0] & 0x80 ? 1 : 0;
    fuzz::SetFile("Data/Fuzz/Main.obj", data + 1, size - 1);
    CHuman human;
    human.Load("Data/Fuzz/Main.obj", data[0] & 0x0F);
    fuzz::KeepLoadedResources();
    for (int code = 0; code < HUMAN_ACTIONS; ++code) {
        int shown = 0;
        AdvanceHumanAnimation(human.m_fFrame, 0.1f, human.m_fActionRates[code], human.m_ActionFrames[code][0],
                              human.m_ActionFrames[code][1], &shown);
        if (shown < 0 || (human.m_pMesh && shown >= static_cast<int>(human.m_pMesh->m_nFrames[0]) &&
                          human.m_pMesh->m_nFrames[0] > 0))
            __builtin_trap();
    }
    human.Release();
    return 0;
}
