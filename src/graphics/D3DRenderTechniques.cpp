// The technique file chosen by the card's shader versions, compiled into the
// one effect, and the device states every frame starts from.
#include "graphics/D3DRender.h"

#include "graphics/DataFileReader.h"
#include "graphics/ReleaseAndClear.h"
#include "platform/Win32.h"
#include "shell/FileManager.h"
#include "shell/Log.h"
#include "shell/WinMain.h"

#include <cstdio>
#include <vector>

namespace {

// The far distance of the main camera; fog starts at half of it.
const float kFarPlane = 600.0f;

const char* TechniqueFileName(const CD3DRender& render)
{
    if (render.m_bShader20)
        return "Data/Misc/RenderTechniques_20.dat";
    if (render.m_bShader14)
        return "Data/Misc/RenderTechniques_14.dat";
    if (render.m_bShader11)
        return "Data/Misc/RenderTechniques_11.dat";
    return "Data/Misc/RenderTechniques_00.dat";
}

void ShowCompileErrors(ID3DXBuffer* errors)
{
    const char* text = static_cast<const char*>(errors->GetBufferPointer());
    const int length = int(errors->GetBufferSize());
    char message[1024];
    std::snprintf(message, sizeof message, "Create render techniques failed!\n%.*s", length, text ? text : "");
    ErrorBox(message, g_pszGameName, MB_ICONERROR);
}

} // namespace

// Compiles the technique file into a new effect, replacing the one held. The
// new effect has no technique set yet and gets the static environment map.
// On failure the effect stays null; the caller decides what follows.
HRESULT CD3DRender::CreateRenderTechniques()
{
    ReleaseAndClear(m_pEffect);
    m_pszTechnique = nullptr;
    if (!m_pDevice)
        return E_FAIL;
    std::vector<unsigned char> source;
    if (ReadDataFile(TechniqueFileName(*this), ARCHIVE_WORLD, false, MAX_TECHNIQUE_FILE_BYTES, &source) != DataFileResult::Read)
        return E_FAIL;
    ID3DXBuffer* errors = nullptr;
    const HRESULT hr = D3DXCreateEffect(m_pDevice, source.data(), UINT(source.size()), nullptr, nullptr, 0,
                                        nullptr, &m_pEffect, &errors);
    if (FAILED(hr)) {
        m_pEffect = nullptr;
        if (errors)
            ShowCompileErrors(errors);
        ReleaseAndClear(errors);
        return hr;
    }
    ReleaseAndClear(errors);
    m_pEffect->OnResetDevice();
    BindStaticEnvMap();
    return 0;
}

void CD3DRender::BindStaticEnvMap()
{
    if (m_pEffect && m_pStaticEnvMap)
        m_pEffect->SetTexture("texCubeMap1", m_pStaticEnvMap);
}

int CD3DRender::SetDefaultStates()
{
    if (!m_pDevice)
        return 0;
    m_pDevice->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0, 1.0f, 0);
    static const struct {
        D3DRENDERSTATETYPE state;
        DWORD value;
    } kStates[] = {
        {D3DRS_AMBIENT, 0xFF000000},         {D3DRS_CULLMODE, D3DCULL_CW},
        {D3DRS_ZENABLE, TRUE},               {D3DRS_ZFUNC, D3DCMP_LESSEQUAL},
        {D3DRS_FILLMODE, D3DFILL_SOLID},     {D3DRS_SHADEMODE, D3DSHADE_GOURAUD},
        {D3DRS_LASTPIXEL, TRUE},             {D3DRS_DITHERENABLE, TRUE},
        {D3DRS_SPECULARENABLE, TRUE},        {D3DRS_COLORVERTEX, TRUE},
        {D3DRS_NORMALIZENORMALS, TRUE},      {D3DRS_LOCALVIEWER, TRUE},
        {D3DRS_ALPHAREF, 0x80},              {D3DRS_ALPHATESTENABLE, FALSE},
        {D3DRS_ALPHAFUNC, D3DCMP_GREATEREQUAL}, {D3DRS_ALPHABLENDENABLE, TRUE},
        {D3DRS_FOGCOLOR, 0xFF000000},        {D3DRS_FOGVERTEXMODE, D3DFOG_LINEAR},
        {D3DRS_RANGEFOGENABLE, TRUE},
    };
    for (const auto& s : kStates)
        m_pDevice->SetRenderState(s.state, s.value);
    for (DWORD* cache : {&m_nZWriteEnable, &m_nZEnable, &m_nLighting, &m_nSrcBlend, &m_nDestBlend,
                         &m_nAlphaBlendEnable, &m_nFogEnable, &m_nCullMode, &m_nSavedCullMode})
        *cache = RENDER_STATE_UNSET;
    m_nCachedTexture = INVALID_TEXTURE_ID;
    SetFogEnable(0);
    SetFogRange(kFarPlane / 2.0f, kFarPlane);
    SetCullMode(D3DCULL_CW);
    SaveCullMode();
    for (DWORD stage = 0; stage <= 6; ++stage) {
        m_pDevice->SetTextureStageState(stage, D3DTSS_TEXCOORDINDEX, 0);
        SetColorStage(stage, D3DTOP_MODULATE, D3DTA_TEXTURE, D3DTA_CURRENT, D3DTA_TEMP, D3DTA_CURRENT);
        SetAlphaStage(stage, D3DTOP_MODULATE, D3DTA_TEXTURE, D3DTA_CURRENT, D3DTA_TEMP);
        for (D3DSAMPLERSTATETYPE filter : {D3DSAMP_MAGFILTER, D3DSAMP_MINFILTER, D3DSAMP_MIPFILTER})
            m_pDevice->SetSamplerState(stage, filter, D3DTEXF_LINEAR);
        for (D3DSAMPLERSTATETYPE address : {D3DSAMP_ADDRESSU, D3DSAMP_ADDRESSV, D3DSAMP_ADDRESSW})
            m_pDevice->SetSamplerState(stage, address, D3DTADDRESS_WRAP);
        m_pDevice->SetSamplerState(stage, D3DSAMP_BORDERCOLOR, 0xFF000000);
        if (stage > 0) {
            SetColorStage(stage, D3DTOP_DISABLE, D3DTA_TEXTURE, D3DTA_CURRENT, D3DTA_TEMP, D3DTA_CURRENT);
            SetAlphaStage(stage, D3DTOP_DISABLE, D3DTA_TEXTURE, D3DTA_CURRENT, D3DTA_TEMP);
        }
        SetMipLodBias(0.0f, int(stage));
    }
    D3DMATERIAL9 material{};
    material.Diffuse = material.Ambient = D3DCOLORVALUE{1.0f, 1.0f, 1.0f, 1.0f};
    SetMaterial(&material);
    return 0;
}
