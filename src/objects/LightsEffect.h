// A set of glowing light sprites, one at each point of a point list of the
// owner's mesh. Lamp posts and cars carry one; the direct-lights sub-object
// holds four.
#pragma once

#include "graphics/LightVertex.h"
#include "shell/FileManager.h"
#include "shell/VectorHelpers.h"

#include <cstdint>

class CStaticObject;
class CGroundLightPool;

// Four (u, v) pairs in the corner order (+x, +y), (+x, -y), (-x, +y), (-x, -y).
enum { LIGHT_RECT_FLOATS = 8 };

class CLightsEffect {
public:
    CLightsEffect();
    // Reads the size line, the colour line and, unless the third line starts
    // with the ">>>>" separator, the point light's range and attenuations.
    int Parse(FileHandle file, CStaticObject* owner);
    // Lays the sprites over point list `list` once; halfSize and rect may be
    // null (the set's own half size, the round sprite of the atlas).
    void Build(std::uint32_t list, const D3DXVECTOR3* halfSize, const float* rect);
    void Release();
    // Appends this frame's sprites to the shader light batch.
    void Render();
    // Moves every sprite to its point under the owner's current matrix.
    void UpdateWorldPositions();
    // Zero puts the light out; the set's half size lights it again.
    void SetLightSize(std::uint32_t index, const D3DXVECTOR3* size);

    // Null stops the set from drawing (a knocked-over lamp).
    CStaticObject* m_pOwner = nullptr;
    // 0 until a build was tried, so a set laid over an empty list is not
    // rebuilt later over another one.
    std::uint32_t m_nPointList = 0;
    std::uint32_t m_nCount = 0;
    D3DXVECTOR3 m_vHalfSize{0.0f, 0.0f, 0.0f};
    D3DXVECTOR3* m_pSizes = nullptr;
    D3DXCOLOR4 m_Colour{0.0f, 0.0f, 0.0f, 1.0f};
    // Range, linear and quadratic attenuation of the lamp's dynamic point
    // light; 0 when the section gives none.
    float m_fRange = 0.0f;
    float m_fAttenuation1 = 0.0f;
    float m_fAttenuation2 = 0.0f;
    CLightVertex* m_pVertices = nullptr;
    WORD* m_pIndices = nullptr;
    CGroundLightPool* m_pGroundPool = nullptr;
};

// The soft pool of light a street lamp lays on the ground: a 7 x 7 grid on
// the terrain, drawn at night.
class CGroundLightPool {
public:
    enum { SIDE = 7, VERTICES = SIDE * SIDE, INDICES = (SIDE - 1) * (SIDE - 1) * 6 };

    CGroundLightPool();
    void Build(CStaticObject* owner, float r, float g, float b, float a);
    void Render();
    void Release();

    CStaticObject* m_pOwner = nullptr;
    CFixedLightVertex* m_pVertices = nullptr;
    WORD* m_pIndices = nullptr;
    float m_fHalfWidth = 0.0f;
    D3DXCOLOR4 m_Colour{0.0f, 0.0f, 0.0f, 1.0f};
};
