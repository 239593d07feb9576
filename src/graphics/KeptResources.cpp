#include "graphics/KeptResources.h"

#include "graphics/D3DRender.h"
#include "graphics/MeshContainer.h"

#include <algorithm>

void CKeptResources::KeepMesh(CMeshRecord* mesh)
{
    if (!mesh || m_nMeshes >= KEPT_MESHES || std::find(m_pMeshes, m_pMeshes + m_nMeshes, mesh) != m_pMeshes + m_nMeshes)
        return;
    ++mesh->m_nRefCount;
    m_pMeshes[m_nMeshes++] = mesh;
}

void CKeptResources::KeepTexture(TextureId id)
{
    CTextureManager& textures = g_D3DRender.m_TextureManager;
    if (!textures.GetTexture(id) || m_nTextures >= KEPT_TEXTURES ||
        std::find(m_Textures, m_Textures + m_nTextures, id) != m_Textures + m_nTextures)
        return;
    textures.AddReference(id);
    m_Textures[m_nTextures++] = id;
}

void CKeptResources::Release()
{
    for (int i = 0; i < m_nMeshes; ++i)
        g_MeshContainer.ReleaseMesh(m_pMeshes[i]);
    for (int i = 0; i < m_nTextures; ++i)
        g_D3DRender.ReleaseTexture(m_Textures[i]);
    m_nMeshes = m_nTextures = 0;
}
