#include "objects/EffectQuads.h"

#include "graphics/D3DRender.h"

#include <algorithm>
#include <vector>

const char g_szTechDirectLights[] = "techDirectLights";

void FillQuadIndices(std::uint16_t* indices, unsigned quads)
{
    static const std::uint16_t kCorners[6] = {0, 1, 2, 2, 1, 3};
    for (unsigned q = 0; q < quads; ++q)
        for (unsigned k = 0; k < 6; ++k)
            indices[q * 6 + k] = static_cast<std::uint16_t>(q * 4 + kCorners[k]);
}

IDirect3DIndexBuffer9* CreateQuadIndexBuffer(unsigned quads)
{
    IDirect3DDevice9* device = g_D3DRender.m_pDevice;
    IDirect3DIndexBuffer9* buffer = nullptr;
    const unsigned bytes = quads * 6 * sizeof(std::uint16_t);
    if (!device || device->CreateIndexBuffer(bytes, 0, D3DFMT_INDEX16, D3DPOOL_MANAGED, &buffer, nullptr) != D3D_OK)
        return nullptr;
    std::vector<std::uint16_t> indices(quads * 6);
    FillQuadIndices(indices.data(), quads);
    void* data = nullptr;
    if (buffer->Lock(0, 0, &data, D3DLOCK_DISCARD) == D3D_OK && data) {
        std::copy(indices.begin(), indices.end(), static_cast<std::uint16_t*>(data));
        buffer->Unlock();
    }
    return buffer;
}

IDirect3DVertexBuffer9* CreateEffectVertexBuffer(unsigned bytes, DWORD fvf)
{
    IDirect3DDevice9* device = g_D3DRender.m_pDevice;
    IDirect3DVertexBuffer9* buffer = nullptr;
    if (!device || device->CreateVertexBuffer(bytes, 0, fvf, D3DPOOL_MANAGED, &buffer, nullptr) != D3D_OK)
        return nullptr;
    return buffer;
}

void* LockWholeBuffer(IDirect3DVertexBuffer9* buffer, DWORD flags)
{
    void* data = nullptr;
    if (!buffer || buffer->Lock(0, 0, &data, flags) != D3D_OK)
        return nullptr;
    return data;
}

static void SetQuadStreams(IDirect3DVertexBuffer9* vertices, unsigned stride, IDirect3DIndexBuffer9* indices)
{
    IDirect3DDevice9* device = g_D3DRender.m_pDevice;
    device->SetStreamSource(0, vertices, 0, stride);
    device->SetIndices(indices);
}

void DrawTechniqueQuads(IDirect3DVertexBuffer9* vertices, unsigned stride, IDirect3DIndexBuffer9* indices,
                        unsigned vertexCount)
{
    ID3DXEffect* effect = g_D3DRender.m_pEffect;
    if (!g_D3DRender.m_pDevice || !effect || !vertices || !indices || vertexCount == 0)
        return;
    SetQuadStreams(vertices, stride, indices);
    UINT passes = 0;
    effect->Begin(&passes, 0);
    effect->Pass(0);
    g_D3DRender.m_pDevice->DrawIndexedPrimitive(D3DPT_TRIANGLELIST, 0, 0, vertexCount, 0, vertexCount / 2);
    effect->End();
    g_D3DRender.AddDrawnFaces(vertexCount / 2);
}

void DrawFixedQuads(IDirect3DVertexBuffer9* vertices, unsigned stride, IDirect3DIndexBuffer9* indices,
                    unsigned vertexCount)
{
    if (!g_D3DRender.m_pDevice || !vertices || !indices || vertexCount == 0)
        return;
    SetQuadStreams(vertices, stride, indices);
    g_D3DRender.m_pDevice->DrawIndexedPrimitive(D3DPT_TRIANGLELIST, 0, 0, vertexCount, 0, vertexCount / 2);
    g_D3DRender.AddDrawnFaces(vertexCount / 2);
}
