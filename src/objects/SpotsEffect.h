// Light cones between point pairs of the owner's mesh, and the owner's
// shadow geometry drawn into the shadow map.
#pragma once

#include "graphics/LightVertex.h"
#include "graphics/ModelInstance.h"
#include "shell/FileManager.h"
#include "shell/VectorHelpers.h"

#include <cstdint>

class CStaticObject;

class CSpotsEffect {
public:
    CSpotsEffect();
    // One colour line; a black one borrows the owner's light-map or lights
    // colour, else a random one.
    int Parse(FileHandle file, CStaticObject* owner);
    // Lays one cone over each point pair of list 3, once.
    void Build();
    void Release();
    void Render();

    CStaticObject* m_pOwner = nullptr;
    std::uint32_t m_nCount = 0;
    float m_fHalfWidth = 0.0f;
    D3DXCOLOR4 m_Colour{0.0f, 0.0f, 0.0f, 1.0f};
    CLightVertex* m_pVertices = nullptr;
    WORD* m_pIndices = nullptr;
};

// Its section has no lines: the loader only hands it the owner.
class CShadowEffect : public CModelInstance {
public:
    CShadowEffect();
    int SetOwner(CStaticObject* owner);
    void Release();
    void Render();

    CStaticObject* m_pOwner = nullptr;
};
