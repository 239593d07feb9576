// Render states that reach the device only when their value changes, texture
// and effect bindings, material, fog range, cull mode, stages and samplers,
// and saving the render target while a pass draws into a texture.
#include "graphics/D3DRender.h"

#include "graphics/ReleaseAndClear.h"
#include "platform/Win32.h"
#include "shell/WinMain.h"

#include <cstring>

namespace {

DWORD FloatBits(float value)
{
    DWORD bits;
    std::memcpy(&bits, &value, sizeof bits);
    return bits;
}

} // namespace

void CD3DRender::SetCachedState(DWORD* cache, D3DRENDERSTATETYPE state, DWORD value)
{
    if (*cache == value)
        return;
    *cache = value;
    if (m_pDevice)
        m_pDevice->SetRenderState(state, value);
}

int CD3DRender::SetZWriteEnable(DWORD value)
{
    SetCachedState(&m_nZWriteEnable, D3DRS_ZWRITEENABLE, value);
    return 0;
}

int CD3DRender::SetZEnable(DWORD value)
{
    SetCachedState(&m_nZEnable, D3DRS_ZENABLE, value);
    return 0;
}

int CD3DRender::SetLighting(DWORD value)
{
    SetCachedState(&m_nLighting, D3DRS_LIGHTING, value);
    return 0;
}

int CD3DRender::SetBlendMode(DWORD source, DWORD dest)
{
    SetCachedState(&m_nSrcBlend, D3DRS_SRCBLEND, source);
    SetCachedState(&m_nDestBlend, D3DRS_DESTBLEND, dest);
    return 0;
}

int CD3DRender::SetAlphaBlendEnable(DWORD value)
{
    SetCachedState(&m_nAlphaBlendEnable, D3DRS_ALPHABLENDENABLE, value);
    return 0;
}

int CD3DRender::SetFogEnable(DWORD value)
{
    SetCachedState(&m_nFogEnable, D3DRS_FOGENABLE, value);
    return 0;
}

void CD3DRender::SetCullMode(DWORD value)
{
    SetCachedState(&m_nCullMode, D3DRS_CULLMODE, value);
}

void CD3DRender::SaveCullMode()
{
    m_nSavedCullMode = m_nCullMode;
}

void CD3DRender::RestoreCullMode()
{
    m_nCullMode = m_nSavedCullMode;
    if (m_pDevice)
        m_pDevice->SetRenderState(D3DRS_CULLMODE, m_nCullMode);
}

void CD3DRender::SetBlendForAlpha(int alpha)
{
    SetAlphaBlendEnable(alpha ? TRUE : FALSE);
    if (alpha)
        SetBlendMode(D3DBLEND_SRCALPHA, D3DBLEND_INVSRCALPHA);
    else
        SetBlendMode(D3DBLEND_ONE, D3DBLEND_ZERO);
}

// An effect pass binds its staged textures behind the cache's back, so the
// cached id only counts while stage 0 still holds that texture.
bool CD3DRender::StageHolds(DWORD stage, IDirect3DBaseTexture9* texture) const
{
    IDirect3DBaseTexture9* bound = nullptr;
    if (FAILED(m_pDevice->GetTexture(stage, &bound)))
        return false;
    if (bound)
        bound->Release();
    return bound == texture;
}

void CD3DRender::SetTexture(TextureId id, int alpha, DWORD stage, int force)
{
    if (!m_pDevice)
        return;
    if (m_nFillMode == D3DFILL_WIREFRAME) {
        m_pDevice->SetTexture(stage, nullptr);
        m_nCachedTexture = INVALID_TEXTURE_ID;
        SetAlphaBlendEnable(0);
        return;
    }
    if (id == INVALID_TEXTURE_ID)
        m_pDevice->SetTexture(stage, nullptr);
    else if (id != m_nCachedTexture || stage != 0 || force || !StageHolds(0, m_TextureManager.GetTexture(id)))
        m_pDevice->SetTexture(stage, m_TextureManager.GetTexture(id));
    m_nCachedTexture = id;
    SetBlendForAlpha(alpha);
}

void CD3DRender::SetTexturePointer(IDirect3DBaseTexture9* texture, int alpha, DWORD stage)
{
    m_nCachedTexture = INVALID_TEXTURE_ID;
    if (!m_pDevice)
        return;
    if (m_nFillMode == D3DFILL_WIREFRAME) {
        m_pDevice->SetTexture(0, nullptr);
        SetAlphaBlendEnable(0);
        return;
    }
    m_pDevice->SetTexture(stage, texture);
    SetBlendForAlpha(alpha);
}

void CD3DRender::SetEffectTexture(const char* parameter, IDirect3DBaseTexture9* texture)
{
    m_nCachedTexture = INVALID_TEXTURE_ID;
    if (!m_pEffect)
        return;
    if (m_nFillMode == D3DFILL_WIREFRAME) {
        m_pEffect->SetTexture(parameter, nullptr);
        SetAlphaBlendEnable(0);
        return;
    }
    m_pEffect->SetTexture(parameter, texture);
}

void CD3DRender::SetTechnique(const char* name, int force)
{
    if (!m_pEffect || (name == m_pszTechnique && !force))
        return;
    m_pEffect->SetTechnique(name);
    m_pszTechnique = name;
}

IDirect3DTexture9* CD3DRender::GetTexture(TextureId id) const
{
    return m_TextureManager.GetTexture(id);
}

void CD3DRender::SetMaterial(const D3DMATERIAL9* material)
{
    if (!m_pDevice || !material)
        return;
    const D3DCOLORVALUE& s = material->Specular;
    const bool black = s.r == 0.0f && s.g == 0.0f && s.b == 0.0f;
    m_pDevice->SetRenderState(D3DRS_SPECULARENABLE, black ? FALSE : TRUE);
    m_pDevice->SetMaterial(material);
}

void CD3DRender::SetFogRange(float start, float end)
{
    m_fFogStart = start;
    m_fFogEnd = end;
    if (m_pDevice) {
        m_pDevice->SetRenderState(D3DRS_FOGSTART, FloatBits(start));
        m_pDevice->SetRenderState(D3DRS_FOGEND, FloatBits(end));
    }
    if (m_pEffect) {
        const D3DXVECTOR4 fog(start, end, 0.0f, 1.0f);
        m_pEffect->SetVector("FogParam", &fog);
    }
}

void CD3DRender::SaveFogRange()
{
    m_fSavedFogStart = m_fFogStart;
    m_fSavedFogEnd = m_fFogEnd;
}

void CD3DRender::RestoreFogRange()
{
    SetFogRange(m_fSavedFogStart, m_fSavedFogEnd);
}

// Sampler -1: samplers 0 and 1.
void CD3DRender::SetMipLodBias(float bias, int sampler)
{
    if (!m_pDevice)
        return;
    if (sampler >= 0) {
        m_pDevice->SetSamplerState(DWORD(sampler), D3DSAMP_MIPMAPLODBIAS, FloatBits(bias));
        return;
    }
    m_pDevice->SetSamplerState(0, D3DSAMP_MIPMAPLODBIAS, FloatBits(bias));
    m_pDevice->SetSamplerState(1, D3DSAMP_MIPMAPLODBIAS, FloatBits(bias));
}

void CD3DRender::SetColorStage(DWORD stage, DWORD op, DWORD arg1, DWORD arg2, DWORD arg0, DWORD result)
{
    if (!m_pDevice)
        return;
    m_pDevice->SetTextureStageState(stage, D3DTSS_COLOROP, op);
    m_pDevice->SetTextureStageState(stage, D3DTSS_COLORARG0, arg0);
    m_pDevice->SetTextureStageState(stage, D3DTSS_COLORARG1, arg1);
    m_pDevice->SetTextureStageState(stage, D3DTSS_COLORARG2, arg2);
    m_pDevice->SetTextureStageState(stage, D3DTSS_RESULTARG, result);
}

void CD3DRender::SetAlphaStage(DWORD stage, DWORD op, DWORD arg1, DWORD arg2, DWORD arg0)
{
    if (!m_pDevice)
        return;
    m_pDevice->SetTextureStageState(stage, D3DTSS_ALPHAOP, op);
    m_pDevice->SetTextureStageState(stage, D3DTSS_ALPHAARG0, arg0);
    m_pDevice->SetTextureStageState(stage, D3DTSS_ALPHAARG1, arg1);
    m_pDevice->SetTextureStageState(stage, D3DTSS_ALPHAARG2, arg2);
}

void CD3DRender::SaveRenderTarget()
{
    ReleaseAndClear(m_pSavedRenderTarget);
    if (m_pDevice)
        m_pDevice->GetRenderTarget(0, &m_pSavedRenderTarget);
}

void CD3DRender::SaveDepthStencil()
{
    ReleaseAndClear(m_pSavedDepthStencil);
    if (m_pDevice)
        m_pDevice->GetDepthStencilSurface(&m_pSavedDepthStencil);
}

void CD3DRender::RestoreRenderTarget()
{
    if (m_pDevice && m_pSavedRenderTarget)
        m_pDevice->SetRenderTarget(0, m_pSavedRenderTarget);
    ReleaseAndClear(m_pSavedRenderTarget);
}

void CD3DRender::RestoreDepthStencil()
{
    if (m_pDevice && m_pSavedDepthStencil)
        m_pDevice->SetDepthStencilSurface(m_pSavedDepthStencil);
    ReleaseAndClear(m_pSavedDepthStencil);
}
