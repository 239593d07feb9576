// Direct device calls standing in for the renderer's cached setters.
#include "graphics/RenderBridge.h"

namespace render_bridge {

namespace {

IDirect3DDevice9* s_pDevice = nullptr;
float s_fScaleX = 1.0f;
float s_fScaleY = 1.0f;
DWORD s_nFaces = 0;

void SetState(D3DRENDERSTATETYPE state, DWORD value)
{
    if (s_pDevice)
        s_pDevice->SetRenderState(state, value);
}

} // namespace

void Attach(IDirect3DDevice9* device, float scaleX, float scaleY)
{
    s_pDevice = device;
    s_fScaleX = scaleX;
    s_fScaleY = scaleY;
    s_nFaces = 0;
}

IDirect3DDevice9* Device() { return s_pDevice; }
float ScaleX() { return s_fScaleX; }
float ScaleY() { return s_fScaleY; }
DWORD DrawnFaces() { return s_nFaces; }

void SetBlendMode(DWORD src, DWORD dest)
{
    SetState(D3DRS_SRCBLEND, src);
    SetState(D3DRS_DESTBLEND, dest);
}

static void SetAlpha(int alpha)
{
    SetState(D3DRS_ALPHABLENDENABLE, alpha ? TRUE : FALSE);
    if (alpha)
        SetBlendMode(D3DBLEND_SRCALPHA, D3DBLEND_INVSRCALPHA);
    else
        SetBlendMode(D3DBLEND_ONE, D3DBLEND_ZERO);
}

void SetTexture(TextureId id, int alpha)
{
    if (s_pDevice)
        s_pDevice->SetTexture(0, nullptr);
    SetAlpha(alpha);
}

void SetTexturePointer(IDirect3DBaseTexture9* texture, int alpha)
{
    if (s_pDevice)
        s_pDevice->SetTexture(0, texture);
    SetAlpha(alpha);
}

void SetFogEnable(DWORD on) { SetState(D3DRS_FOGENABLE, on); }
void SetZEnable(DWORD on) { SetState(D3DRS_ZENABLE, on); }
void SetZWriteEnable(DWORD on) { SetState(D3DRS_ZWRITEENABLE, on); }
void SetLighting(DWORD on) { SetState(D3DRS_LIGHTING, on); }
void AddDrawnFaces(DWORD count) { s_nFaces += count; }
DWORD FacesPerFrame(int pass) { return pass == 0 ? s_nFaces : 0; }
float GetFPS() { return 0.0f; }

TextureId LoadTexture(const char* name, UINT mipLevels, D3DPOOL pool) { return SCREEN_NO_TEXTURE; }
void ReleaseTexture(TextureId id) {}

} // namespace render_bridge
