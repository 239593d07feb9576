#include "graphics/ModelInstance.h"

#include "graphics/MeshContainer.h"
#include "shell/VectorHelpers.h"

#include <cstring>

CModelInstance::CModelInstance()
{
    Reset();
}

void CModelInstance::Reset()
{
    D3DXMatrixIdentity(&m_matWorld);
    for (TextureId& id : m_nTextureIds)
        id = INVALID_TEXTURE_ID;
    m_nTextureCount = 0;
    std::memset(&m_Material, 0, sizeof(m_Material));
    m_pMesh = nullptr;
    m_vSphereCentre = D3DXVECTOR3(0.0f, 0.0f, 0.0f);
    m_fSphereRadius = 0.0f;
    m_nFrame = 0;
}

void CModelInstance::LoadMesh(const char* name, std::uint32_t format, DWORD options, int optimise)
{
    m_pMesh = g_MeshContainer.LoadMesh(name, format, options, optimise);
    if (m_pMesh) {
        m_vSphereCentre = m_pMesh->m_vSphereCentre;
        m_fSphereRadius = m_pMesh->m_fSphereRadius;
    }
    std::memset(&m_Material, 0, sizeof(m_Material));
    m_Material.Diffuse = {1.0f, 1.0f, 1.0f, 1.0f};
    m_Material.Ambient = {1.0f, 1.0f, 1.0f, 1.0f};
}

TextureId CModelInstance::LoadTexture(std::uint32_t slot, const char* name, std::uint32_t mipLevels)
{
    if (slot >= MODEL_TEXTURE_SLOTS || !name || !name[0] || std::strlen(name) >= TEXTURE_NAME_SIZE)
        return INVALID_TEXTURE_ID;
    m_nTextureIds[slot] = g_D3DRender.LoadTexture(name, mipLevels, D3DPOOL_MANAGED);
    if (m_nTextureIds[slot] == INVALID_TEXTURE_ID)
        return INVALID_TEXTURE_ID;
    ++m_nTextureCount;
    return m_nTextureIds[slot];
}

const char* CModelInstance::TextureName(std::uint32_t slot) const
{
    const char* name = slot < MODEL_TEXTURE_SLOTS && m_nTextureIds[slot] != INVALID_TEXTURE_ID
                           ? g_D3DRender.m_TextureManager.GetTextureName(m_nTextureIds[slot])
                           : nullptr;
    return name ? name : "";
}

void CModelInstance::ReleaseTextures()
{
    // Every slot, not only the first count: a texture may sit above a slot
    // whose load failed.
    for (TextureId& id : m_nTextureIds) {
        if (id != INVALID_TEXTURE_ID) {
            g_D3DRender.ReleaseTexture(id);
            id = INVALID_TEXTURE_ID;
        }
    }
    m_nTextureCount = 0;
}

void CModelInstance::ReleaseMesh()
{
    g_MeshContainer.ReleaseMesh(m_pMesh);
    m_pMesh = nullptr;
}

void CModelInstance::DrawPart(std::uint32_t part)
{
    IDirect3DDevice9* device = g_D3DRender.m_pDevice;
    if (!device || !m_pMesh || part >= MESH_PART_COUNT || m_nFrame >= m_pMesh->m_nFrames[part])
        return;
    ID3DXMesh* mesh = m_pMesh->m_ppMeshes[part][m_nFrame];
    IDirect3DVertexBuffer9* vertices = nullptr;
    IDirect3DIndexBuffer9* indices = nullptr;
    if (!mesh || FAILED(mesh->GetVertexBuffer(&vertices)) || FAILED(mesh->GetIndexBuffer(&indices))) {
        if (vertices)
            vertices->Release();
        return;
    }
    device->SetTransform(D3DTS_WORLD, &m_matWorld);
    g_D3DRender.SetMaterial(&m_Material);
    device->SetFVF(mesh->GetFVF());
    device->SetStreamSource(0, vertices, 0, D3DXGetFVFVertexSize(m_pMesh->m_dwFVF[part]));
    device->SetIndices(indices);
    const DWORD faces = mesh->GetNumFaces();
    device->DrawIndexedPrimitive(D3DPT_TRIANGLELIST, 0, 0, mesh->GetNumVertices(), 0, faces);
    g_D3DRender.AddDrawnFaces(faces);
    vertices->Release();
    indices->Release();
}

void CModelInstance::SetLookAtTransform(const D3DXVECTOR3* position, const D3DXVECTOR3* target,
                                        const D3DXVECTOR3* up)
{
    BuildLookAtMatrix(&m_matWorld, position, target, up);
}

void CModelInstance::WorldToLocal(D3DXVECTOR3* out, const D3DXVECTOR3* point) const
{
    const D3DXVECTOR3 offset(point->x - m_matWorld._41, point->y - m_matWorld._42, point->z - m_matWorld._43);
    D3DXMATRIX inverse;
    if (!D3DXMatrixInverse(&inverse, nullptr, &m_matWorld))
        D3DXMatrixIdentity(&inverse);
    D3DXVec3TransformNormal(out, &offset, &inverse);
}
