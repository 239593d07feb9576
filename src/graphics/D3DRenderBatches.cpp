// The two light batches. Every light sprite of a frame lands in one of two
// buffer pairs, locked once before the scene and drawn with one indexed draw
// each after it, so thousands of lamp glows cost two draws.
#include "graphics/D3DRender.h"

#include "graphics/ReleaseAndClear.h"
#include "graphics/SceneLights.h"
#include "shell/Game.h"
#include "shell/VectorHelpers.h"

#include <cstring>

namespace {

const char kDirectLights[] = "techDirectLights";

// Appends a caller's vertices and indices behind what the batch holds; the
// indices are given relative to the caller's first vertex. Returns false and
// adds nothing when the batch is closed or would overflow.
template <typename Vertex>
bool Append(Vertex* vertexBase, WORD* indexBase, DWORD* vertexCount, DWORD* indexCount, DWORD vertexLimit,
            DWORD indexLimit, const Vertex* vertices, const WORD* indices, DWORD addVertices, DWORD addIndices)
{
    if (!vertexBase || !indexBase || !vertices || (!indices && addIndices))
        return false;
    if (std::uint64_t(*vertexCount) + addVertices >= vertexLimit ||
        std::uint64_t(*indexCount) + addIndices > indexLimit)
        return false;
    std::memcpy(vertexBase + *vertexCount, vertices, addVertices * sizeof(Vertex));
    WORD* out = indexBase + *indexCount;
    for (DWORD i = 0; i < addIndices; ++i)
        out[i] = WORD(indices[i] + *vertexCount);
    *vertexCount += addVertices;
    *indexCount += addIndices;
    return true;
}

template <typename T>
void LockWhole(IDirect3DVertexBuffer9* buffer, T** out)
{
    void* data = nullptr;
    if (buffer && SUCCEEDED(buffer->Lock(0, 0, &data, D3DLOCK_DISCARD)))
        *out = static_cast<T*>(data);
}

void LockWhole(IDirect3DIndexBuffer9* buffer, WORD** out)
{
    void* data = nullptr;
    if (buffer && SUCCEEDED(buffer->Lock(0, 0, &data, D3DLOCK_DISCARD)))
        *out = static_cast<WORD*>(data);
}

} // namespace

void CD3DRender::CreateBatchBuffers()
{
    if (!m_pDevice)
        return;
    m_pDevice->CreateVertexBuffer(SHADER_BATCH_VERTICES * sizeof(CLightVertex), 0, LIGHT_VERTEX_FVF,
                                  D3DPOOL_MANAGED, &m_pShaderBatchVB, nullptr);
    m_pDevice->CreateIndexBuffer(SHADER_BATCH_INDICES * sizeof(WORD), 0, D3DFMT_INDEX16, D3DPOOL_MANAGED,
                                 &m_pShaderBatchIB, nullptr);
    m_pDevice->CreateVertexBuffer(FIXED_BATCH_VERTICES * sizeof(CFixedLightVertex), 0, FIXED_LIGHT_VERTEX_FVF,
                                  D3DPOOL_MANAGED, &m_pFixedBatchVB, nullptr);
    m_pDevice->CreateIndexBuffer(FIXED_BATCH_INDICES * sizeof(WORD), 0, D3DFMT_INDEX16, D3DPOOL_MANAGED,
                                 &m_pFixedBatchIB, nullptr);
}

void CD3DRender::ReleaseBatchBuffers()
{
    UnlockBatchBuffers();
    ReleaseAndClear(m_pShaderBatchVB);
    ReleaseAndClear(m_pShaderBatchIB);
    ReleaseAndClear(m_pFixedBatchVB);
    ReleaseAndClear(m_pFixedBatchIB);
    m_nShaderBatchVertices = m_nShaderBatchIndices = 0;
    m_nFixedBatchVertices = m_nFixedBatchIndices = 0;
}

void CD3DRender::LockBatchBuffers()
{
    UnlockBatchBuffers();
    LockWhole(m_pShaderBatchVB, &m_pShaderBatchVertices);
    LockWhole(m_pShaderBatchIB, &m_pShaderBatchIndices);
    LockWhole(m_pFixedBatchVB, &m_pFixedBatchVertices);
    LockWhole(m_pFixedBatchIB, &m_pFixedBatchIndices);
    m_nShaderBatchVertices = m_nShaderBatchIndices = 0;
    m_nFixedBatchVertices = m_nFixedBatchIndices = 0;
}

// Only a buffer that this renderer locked is unlocked, so a pass that opens
// the batches again without closing them does not unbalance the locks.
void CD3DRender::UnlockBatchBuffers()
{
    if (m_pShaderBatchVertices && m_pShaderBatchVB)
        m_pShaderBatchVB->Unlock();
    if (m_pShaderBatchIndices && m_pShaderBatchIB)
        m_pShaderBatchIB->Unlock();
    if (m_pFixedBatchVertices && m_pFixedBatchVB)
        m_pFixedBatchVB->Unlock();
    if (m_pFixedBatchIndices && m_pFixedBatchIB)
        m_pFixedBatchIB->Unlock();
    m_pShaderBatchVertices = nullptr;
    m_pShaderBatchIndices = nullptr;
    m_pFixedBatchVertices = nullptr;
    m_pFixedBatchIndices = nullptr;
}

void CD3DRender::AddShaderLightBatch(const CLightVertex* vertices, const WORD* indices, DWORD vertexCount,
                                     DWORD indexCount)
{
    Append(m_pShaderBatchVertices, m_pShaderBatchIndices, &m_nShaderBatchVertices, &m_nShaderBatchIndices,
           SHADER_BATCH_VERTICES, SHADER_BATCH_INDICES, vertices, indices, vertexCount, indexCount);
}

void CD3DRender::AddFixedLightBatch(const CFixedLightVertex* vertices, const WORD* indices, DWORD vertexCount,
                                    DWORD indexCount)
{
    Append(m_pFixedBatchVertices, m_pFixedBatchIndices, &m_nFixedBatchVertices, &m_nFixedBatchIndices,
           FIXED_BATCH_VERTICES, FIXED_BATCH_INDICES, vertices, indices, vertexCount, indexCount);
}

void CD3DRender::DrawFixedLightBatch()
{
    if (!m_pDevice || m_nFixedBatchIndices < 3 || !m_pFixedBatchVB || !m_pFixedBatchIB)
        return;
    SetTexturePointer(GetTexture(m_nLightMapTexture), 1, 0);
    D3DXMATRIX identity;
    D3DXMatrixIdentity(&identity);
    m_pDevice->SetTransform(D3DTS_WORLD, &identity);
    m_pDevice->SetRenderState(D3DRS_FOGCOLOR, 0xFF000000);
    SetFogEnable(1);
    SetZEnable(1);
    SetZWriteEnable(0);
    SetLighting(0);
    SetAlphaBlendEnable(1);
    SetBlendMode(D3DBLEND_ONE, D3DBLEND_ONE);
    m_pDevice->SetFVF(FIXED_LIGHT_VERTEX_FVF);
    m_pDevice->SetStreamSource(0, m_pFixedBatchVB, 0, sizeof(CFixedLightVertex));
    m_pDevice->SetIndices(m_pFixedBatchIB);
    m_pDevice->DrawIndexedPrimitive(D3DPT_TRIANGLELIST, 0, 0, m_nFixedBatchVertices, 0, m_nFixedBatchIndices / 3);
    g_SceneLights.ApplyFogColor();
    AddDrawnFaces(m_nFixedBatchIndices / 3);
}

void CD3DRender::DrawShaderLightBatch()
{
    if (!m_pDevice || !m_bShader11 || !m_pEffect || m_nShaderBatchIndices < 3 || !m_pShaderBatchVB ||
        !m_pShaderBatchIB || !g_Game.m_pCamera)
        return;
    SetTechnique(kDirectLights);
    SetEffectTexture("texBaseMap1", GetTexture(m_nLightMapTexture));
    D3DXMATRIX viewProj;
    m_pEffect->SetMatrix("matViewProj", GetViewProjMatrix(&viewProj));
    m_pDevice->SetRenderState(D3DRS_FOGCOLOR, 0xFF000000);
    SaveCullMode();
    SetCullMode(D3DCULL_NONE);
    SetFogEnable(1);
    SetZEnable(1);
    SetZWriteEnable(0);
    SetLighting(0);
    SetAlphaBlendEnable(1);
    SetBlendMode(D3DBLEND_ONE, D3DBLEND_ONE);
    m_pDevice->SetFVF(LIGHT_VERTEX_FVF);
    m_pDevice->SetStreamSource(0, m_pShaderBatchVB, 0, sizeof(CLightVertex));
    m_pDevice->SetIndices(m_pShaderBatchIB);
    UINT passes = 0;
    m_pEffect->Begin(&passes, 0);
    m_pEffect->Pass(0);
    m_pDevice->DrawIndexedPrimitive(D3DPT_TRIANGLELIST, 0, 0, m_nShaderBatchVertices, 0,
                                    m_nShaderBatchIndices / 3);
    m_pEffect->End();
    RestoreCullMode();
    g_SceneLights.ApplyFogColor();
    AddDrawnFaces(m_nShaderBatchIndices / 3);
}
