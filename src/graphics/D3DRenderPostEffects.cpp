// The glow, the motion blur and the four-tap smoothing filter they share
// with the shadow pass, all drawn with one clip-space quad.
#include "graphics/D3DRender.h"

#include "graphics/ReleaseAndClear.h"
#include "shell/GameTimer.h"
#include "shell/Input.h"
#include "shell/Log.h"
#include "shell/Settings.h"

namespace {

const char kGlowScreen[] = "techGlowScreen";
const char kSmoothSurface[] = "techSmoothSurface";
const char kGlowBlend[] = "techGlowBlend";
const char kMotionBlur[] = "techMotionBlur";

constexpr DWORD kQuadFvf = D3DFVF_XYZ | D3DFVF_TEX1;

void SetBorderAddressing(IDirect3DDevice9* device, DWORD mode)
{
    device->SetSamplerState(0, D3DSAMP_ADDRESSU, mode);
    device->SetSamplerState(0, D3DSAMP_ADDRESSV, mode);
}

} // namespace

// The view from the origin towards each cube face, in the order of the
// face numbers; a face number beyond the six gives the identity.
D3DXMATRIX* CD3DRender::GetCubeMapViewMatrix(D3DXMATRIX* out, DWORD face)
{
    static const float kFaces[6][2][3] = {
        {{1, 0, 0}, {0, 1, 0}},  {{-1, 0, 0}, {0, 1, 0}}, {{0, 1, 0}, {0, 0, -1}},
        {{0, -1, 0}, {0, 0, 1}}, {{0, 0, 1}, {0, 1, 0}},  {{0, 0, -1}, {0, 1, 0}},
    };
    if (face > 5)
        return D3DXMatrixIdentity(out);
    const D3DXVECTOR3 origin(0.0f, 0.0f, 0.0f);
    const D3DXVECTOR3 at(kFaces[face][0][0], kFaces[face][0][1], kFaces[face][0][2]);
    const D3DXVECTOR3 up(kFaces[face][1][0], kFaces[face][1][1], kFaces[face][1][2]);
    return D3DXMatrixLookAtLH(out, &origin, &at, &up);
}

void CD3DRender::DrawScreenQuad()
{
    m_pDevice->SetFVF(kQuadFvf);
    m_pDevice->SetStreamSource(0, m_pScreenQuad, 0, D3DXGetFVFVertexSize(kQuadFvf));
    UINT passes = 0;
    m_pEffect->Begin(&passes, 0);
    m_pEffect->Pass(0);
    m_pDevice->DrawPrimitive(D3DPT_TRIANGLESTRIP, 0, 2);
    m_pEffect->End();
}

// Four taps around each texel, weighted alike: the weight sets how bright
// the sum comes out. With a null target the result lands on the current one.
void CD3DRender::SmoothSurface(IDirect3DTexture9* source, IDirect3DTexture9* target, float offset, float weight)
{
    if (!source || !m_pDevice || !m_pEffect || !m_pScreenQuad)
        return;
    if (target) {
        IDirect3DSurface9* surface = nullptr;
        if (FAILED(target->GetSurfaceLevel(0, &surface)))
            return;
        m_pDevice->SetRenderTarget(0, surface);
        surface->Release();
    }
    SetZEnable(0);
    SetZWriteEnable(0);
    const float d = offset;
    const float taps[16] = {d / 2,  -d / 2,    0, 0, -d / 2,    d / 2,     0, 0,
                            3 * d / 2, d / 2, 0, 0, d / 2, 3 * d / 2, 0, 0};
    m_pDevice->SetVertexShaderConstantF(32, taps, 4);
    const float w[4] = {weight, weight, weight, 0.0f};
    m_pDevice->SetPixelShaderConstantF(0, w, 1);
    SetTechnique(kSmoothSurface);
    for (DWORD stage = 0; stage < 4; ++stage)
        m_pDevice->SetTexture(stage, source);
    DrawScreenQuad();
    // The stages now hold a texture the cache does not know.
    m_nCachedTexture = INVALID_TEXTURE_ID;
}

void CD3DRender::SetPostEffectStates()
{
    SetFogEnable(0);
    SetZEnable(0);
    SetZWriteEnable(0);
    SetLighting(0);
}

// Copies the frame into level 0 of a texture. A card that cannot copy its
// frame turns the effect's setting off for good and keeps that choice.
bool CD3DRender::CopyFrameInto(IDirect3DTexture9* texture, int* setting)
{
    IDirect3DSurface9* frame = nullptr;
    IDirect3DSurface9* copy = nullptr;
    HRESULT hr = m_pDevice->GetRenderTarget(0, &frame);
    if (SUCCEEDED(hr))
        hr = texture->GetSurfaceLevel(0, &copy);
    if (SUCCEEDED(hr))
        hr = m_pDevice->StretchRect(frame, nullptr, copy, nullptr, D3DTEXF_LINEAR);
    ReleaseAndClear(frame);
    ReleaseAndClear(copy);
    if (SUCCEEDED(hr))
        return true;
    *setting = 0;
    DebugLog("A post effect could not copy the frame and is switched off.");
    SaveSettings();
    return false;
}

void CD3DRender::RenderGlow()
{
    if (!m_bGlowTargets || !g_bGlow || !m_pDevice || !m_pEffect || !m_pScreenQuad)
        return;
    if (g_bDebugOut && g_bKeyControl)
        return;
    if (!CopyFrameInto(m_pGlowTextureA, &g_bGlow))
        return;
    SaveRenderTarget();
    SetPostEffectStates();
    SetAlphaBlendEnable(0);
    SetBlendMode(D3DBLEND_ONE, D3DBLEND_ZERO);
    SetBorderAddressing(m_pDevice, D3DTADDRESS_BORDER);

    // Both smoothings stay on the small targets, and the frame takes the
    // result with one tap: spreading taps over every pixel of the frame cost
    // a software rasteriser more than the rest of the glow, for a picture
    // that holds nothing but soft light by then, and four taps at one spot
    // read the same texel four times. The screen quad keeps the target's
    // rows the right way up, which a quad of our own drawing did not.
    IDirect3DSurface9* glowB = nullptr;
    const bool smoothed = SUCCEEDED(m_pGlowTextureB->GetSurfaceLevel(0, &glowB));
    if (smoothed) {
        m_pDevice->SetRenderTarget(0, glowB);
        glowB->Release();
        SetTechnique(kGlowScreen);
        m_pDevice->SetTexture(0, m_pGlowTextureA);
        DrawScreenQuad();
        SmoothSurface(m_pGlowTextureB, m_pGlowTextureA, 0.004f, 0.25f);
        SmoothSurface(m_pGlowTextureA, m_pGlowTextureB, 0.004f, 0.25f);
    }
    RestoreRenderTarget();
    SetAlphaBlendEnable(1);
    SetBlendMode(D3DBLEND_ONE, D3DBLEND_ONE);
    if (smoothed) {
        SetTechnique(kGlowBlend);
        m_pDevice->SetTexture(0, m_pGlowTextureB);
        DrawScreenQuad();
    }
    SetBorderAddressing(m_pDevice, D3DTADDRESS_WRAP);
    m_nCachedTexture = INVALID_TEXTURE_ID;
}

// The blur fades by itself: each frame takes its real length off the amount.
void CD3DRender::RenderMotionBlur()
{
    if (!g_bBlur || !m_bBlurTarget || m_fMotionBlur <= 0.0f || !m_pDevice || !m_pEffect || !m_pScreenQuad)
        return;
    if (!CopyFrameInto(m_pBlurTexture, &g_bBlur))
        return;
    SetPostEffectStates();
    SetAlphaBlendEnable(1);
    SetBlendMode(D3DBLEND_SRCALPHA, D3DBLEND_INVSRCALPHA);
    SetBorderAddressing(m_pDevice, D3DTADDRESS_BORDER);
    const float a = -0.008f * m_fMotionBlur;
    const float shift[4] = {a, a, a, 0.0f};
    m_pDevice->SetVertexShaderConstantF(0, shift, 1);
    const float strength[4] = {3.0f, 3.0f, 3.0f, 0.0f};
    m_pDevice->SetPixelShaderConstantF(0, strength, 1);
    SetTechnique(kMotionBlur);
    m_pDevice->SetTexture(0, m_pBlurTexture);
    DrawScreenQuad();
    SetBorderAddressing(m_pDevice, D3DTADDRESS_WRAP);
    m_nCachedTexture = INVALID_TEXTURE_ID;
    m_fMotionBlur -= g_GameTimer.m_fRealDelta;
    if (m_fMotionBlur < 0.0f)
        m_fMotionBlur = 0.0f;
}
