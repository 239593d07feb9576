// A technique file "RenderTechniques_NN.dat" compiled by the renderer as at
// start-up (the first byte picks the card's shader level and so the file),
// then every technique and pass of the effect applied with every parameter
// set by name, and each pass's program sources built as the GL back end
// builds them before it hands them to the driver.
#include "FuzzFiles.h"

#include "graphics/D3DRender.h"
#include "platform/d3dx9/EffectFile.h"
#include "platform/gl/EffectSource.h"
#include "shell/FileManager.h"
#include "shell/Settings.h"

#include <string>

namespace {

void SetEveryParameter(ID3DXEffect* effect, const plat::fx::EffectFile& file)
{
    D3DXMATRIX matrix;
    D3DXMatrixIdentity(&matrix);
    const D3DXVECTOR4 vector(1.0f, 0.5f, 0.25f, 1.0f);
    for (const plat::fx::Parameter& p : file.parameters) {
        const char* name = p.name.c_str();
        effect->SetFloat(name, 0.5f);
        effect->SetInt(name, 3);
        effect->SetVector(name, &vector);
        effect->SetMatrix(name, &matrix);
        effect->SetTexture(name, nullptr);
    }
}

void ApplyEveryPass(ID3DXEffect* effect, const plat::fx::EffectFile& file)
{
    for (const plat::fx::Technique& technique : file.techniques) {
        if (FAILED(effect->SetTechnique(technique.name.c_str())))
            __builtin_trap();
        UINT passes = 0;
        if (FAILED(effect->Begin(&passes, 0)))
            continue;
        for (UINT p = 0; p < passes; ++p) {
            effect->BeginPass(p);
            effect->CommitChanges();
            effect->EndPass();
        }
        effect->End();
    }
}

void BuildProgramSources(const plat::fx::EffectFile& file)
{
    const std::string declarations = plat::gl::ParameterDeclarations(file);
    for (const plat::fx::Technique& technique : file.techniques)
        for (const plat::fx::Pass& pass : technique.passes) {
            const plat::gl::ProgramKey key =
                plat::gl::KeyForEffectPass(plat::gl::ProgramKey{}, pass.vertexShader >= 0, pass.pixelShader >= 0);
            plat::gl::EffectVertexSource(file, declarations, pass.vertexShader, key);
            plat::gl::EffectFragmentSource(file, declarations, pass.pixelShader, key);
        }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    fuzz::BeginInput(data, size);
    if (!fuzz::StartHeadlessGame(false) || size == 0)
        return 0;
    static const char* const kFiles[] = {"Data/Misc/RenderTechniques_00.dat", "Data/Misc/RenderTechniques_11.dat",
                                         "Data/Misc/RenderTechniques_14.dat", "Data/Misc/RenderTechniques_20.dat"};
    const int level = data[0] & 3;
    g_D3DRender.m_bShader11 = level == 1;
    g_D3DRender.m_bShader14 = level == 2;
    g_D3DRender.m_bShader20 = level == 3;
    fuzz::SetFile(kFiles[level], data + 1, size - 1);
    if (FAILED(g_D3DRender.CreateRenderTechniques()))
        return 0;
    plat::fx::EffectFile file;
    std::string errors;
    // What the renderer accepted must parse again the same way.
    if (!g_D3DRender.m_pEffect ||
        !plat::fx::ParseEffectFile(reinterpret_cast<const char*>(data + 1), size - 1, &file, &errors))
        __builtin_trap();
    SetEveryParameter(g_D3DRender.m_pEffect, file);
    ApplyEveryPass(g_D3DRender.m_pEffect, file);
    BuildProgramSources(file);
    return 0;
}
