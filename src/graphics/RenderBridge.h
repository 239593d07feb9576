// The renderer operations the 2-D drawing and the fonts rely on: texture
// binding with its blend mode, the cached render states, the face counter,
// the interface scale and the texture table.
#pragma once

#include "graphics/ScreenDraw.h"

namespace render_bridge {

IDirect3DDevice9* Device();
float ScaleX();
float ScaleY();
// Stage 0, no force; alpha on: source alpha / inverse source alpha, off: one / zero.
void SetTexture(TextureId id, int alpha);
void SetTexturePointer(IDirect3DBaseTexture9* texture, int alpha);
void SetBlendMode(DWORD src, DWORD dest);
void SetFogEnable(DWORD on);
void SetZEnable(DWORD on);
void SetZWriteEnable(DWORD on);
void SetLighting(DWORD on);
void AddDrawnFaces(DWORD count);
// Faces drawn this frame in the main, water, cube and shadow passes.
DWORD FacesPerFrame(int pass);
float GetFPS();
TextureId LoadTexture(const char* name, UINT mipLevels, D3DPOOL pool);
void ReleaseTexture(TextureId id);

// Until the renderer owns them: the device and the scale the calls above use.
void Attach(IDirect3DDevice9* device, float scaleX, float scaleY);
DWORD DrawnFaces();

} // namespace render_bridge
