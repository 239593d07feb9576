// One drawable placement of a shared mesh: its world matrix, up to eight
// textures, a material and the animation frame drawn for every part.
#pragma once

#include "graphics/D3DRender.h"
#include "graphics/MeshRecord.h"

#include <cstdint>

enum { MODEL_TEXTURE_SLOTS = 8 };

class CModelInstance {
public:
    CModelInstance();
    // Identity matrix, no textures, no mesh, frame 0, zero sphere.
    void Reset();
    // Takes a reference to the shared mesh, its bounding sphere and a white
    // material. A mesh that fails to load leaves no mesh and a zero sphere.
    void LoadMesh(const char* name, std::uint32_t format, DWORD options, int optimise);
    // The texture's id in the slot, or all bits set (slot, name or load refused).
    TextureId LoadTexture(std::uint32_t slot, const char* name, std::uint32_t mipLevels);
    // The file name of the texture the slot holds, "" for an empty slot.
    const char* TextureName(std::uint32_t slot) const;
    // Gives back every texture held in a slot.
    void ReleaseTextures();
    void ReleaseMesh();
    // Draws the part's current frame with the textures, technique and
    // lights the caller has set.
    void DrawPart(std::uint32_t part);
    void SetLookAtTransform(const D3DXVECTOR3* position, const D3DXVECTOR3* target, const D3DXVECTOR3* up);
    // The world point in the instance's own axes.
    void WorldToLocal(D3DXVECTOR3* out, const D3DXVECTOR3* point) const;

    D3DXMATRIX m_matWorld;
    TextureId m_nTextureIds[MODEL_TEXTURE_SLOTS];
    std::uint32_t m_nTextureCount;
    D3DMATERIAL9 m_Material;
    CMeshRecord* m_pMesh;
    D3DXVECTOR3 m_vSphereCentre;
    float m_fSphereRadius;
    std::uint32_t m_nFrame;
};
