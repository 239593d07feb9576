// Device buffers and the draw shared by the pooled effects, which all draw
// lists of quads: four vertices each, two triangles by a shared index list.
#pragma once

#include "platform/D3D9.h"

#include <cstdint>

// Quad i uses 4i, 4i+1, 4i+2, 4i+2, 4i+1, 4i+3.
void FillQuadIndices(std::uint16_t* indices, unsigned quads);
// Managed 16-bit index buffer for that many quads, filled; null without a
// device or when the device refuses.
IDirect3DIndexBuffer9* CreateQuadIndexBuffer(unsigned quads);
// Managed vertex buffer; its contents are kept between locks.
IDirect3DVertexBuffer9* CreateEffectVertexBuffer(unsigned bytes, DWORD fvf);
// The whole buffer locked for rewriting, or null when there is no buffer or
// the lock fails: callers then write nothing.
void* LockWholeBuffer(IDirect3DVertexBuffer9* buffer, DWORD flags);
// Draws vertices (a multiple of 4) from the buffer through pass 0 of the
// current technique and counts the faces.
void DrawTechniqueQuads(IDirect3DVertexBuffer9* vertices, unsigned stride, IDirect3DIndexBuffer9* indices,
                        unsigned vertexCount);
// The same through the fixed-function pipeline.
void DrawFixedQuads(IDirect3DVertexBuffer9* vertices, unsigned stride, IDirect3DIndexBuffer9* indices,
                    unsigned vertexCount);

// The technique of every billboard effect; always this one string, since
// the renderer compares technique names by identity.
extern const char g_szTechDirectLights[];
