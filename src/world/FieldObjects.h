// The trees, stones and grass tufts one sector holds, and the records the
// field-object manager keeps them in.
#pragma once

#include "objects/StaticObject.h"
#include "platform/D3D9.h"
#include "platform/D3DX9.h"

#include <cstdint>

class CLandscapeSector;

enum {
    FIELD_GRASS = 0,
    FIELD_TREES = 1,
    FIELD_STONES = 2,
    FIELD_MAX_GRASS = 4096,     // tufts of one sector
    FIELD_MAX_OBJECTS = 200,    // trees or stones of one sector
    FIELD_MAX_RECORDS = 400,    // records of one list
    FIELD_MAX_QUADS = 4096,     // quads the index buffers hold
};

// Corner offset, colour, atlas uv, base position and the tuft's up axis: the
// vertex shader stands the quad on the base facing the eye.
struct CGrassVertex {
    float x, y, z;
    std::uint32_t color;
    float u, v;
    float baseX, baseY, baseZ;
    float axisX, axisY, axisZ;
};
static_assert(sizeof(CGrassVertex) == 48);

constexpr DWORD GRASS_FVF = D3DFVF_XYZ | D3DFVF_DIFFUSE | D3DFVF_TEX3 | D3DFVF_TEXCOORDSIZE2(0) |
                            D3DFVF_TEXCOORDSIZE3(1) | D3DFVF_TEXCOORDSIZE3(2);

struct CBranchVertex {
    float x, y, z;
    float nx, ny, nz;
    float u, v;
};
static_assert(sizeof(CBranchVertex) == 32);

constexpr DWORD BRANCH_FVF = D3DFVF_XYZ | D3DFVF_NORMAL | D3DFVF_TEX1;

// One tuft: a quad of the atlas standing on the ground, kept as the few
// values its four vertices are made of (a seventh of their size).
struct CGrassObject {
    D3DXVECTOR3 m_vBase;   // where it stands
    float m_fHalfWidth;
    float m_fHeight;
    std::uint32_t m_nColor; // ARGB
    std::uint32_t m_nAtlas; // quarter of the atlas, 0..3
    // Builds the tuft near position (the cell centre).
    void Create(const D3DXVECTOR3* position);
    // The quad as the grass pass draws it.
    void Vertices(CGrassVertex out[4]) const;
};
static_assert(sizeof(CGrassObject) == 28);

// Where a tree's or stone's static body goes: the body is made only while the
// camera is near enough for it to be in the physics world, and freed after.
struct FieldBodyPlace {
    D3DXVECTOR3 at, target, up;
    void Make(CStaticObject* owner) const { owner->CreateRigidBody(0.0f, &at, &target, &up); }
};

class CTreeObject : public CStaticObject {
public:
    // Loads the description of kind and size and stands the tree on position
    // leaning with the ground normal; 0 when the description does not open.
    int Load(int kind, int size, const D3DXVECTOR3* position, const D3DXVECTOR3* normal);
    // The leaf clusters at the mesh's branch points, in world space.
    void BuildBranches();
    void ReleaseBranches();

    std::uint32_t m_nSize = 0;
    std::uint32_t m_nKind = 0;
    FieldBodyPlace m_Body{};
    CBranchVertex* m_pBranchVertices = nullptr;
    std::uint32_t m_nBranchVertices = 0;
};

class CStoneObject : public CStaticObject {
public:
    int Load(int kind, int size, const D3DXVECTOR3* position);

    std::uint32_t m_nSize = 0;
    std::uint32_t m_nKind = 0;
    FieldBodyPlace m_Body{};
};

struct GrassRecord {
    CGrassObject* pTufts = nullptr;    // kept while the record lives
    IDirect3DVertexBuffer9* pVB = nullptr; // only while the sector is near enough to draw its grass
    std::uint32_t nCount = 0;          // tufts
    CLandscapeSector* pSector = nullptr;
};

struct TreeRecord {
    CTreeObject** ppTrees = nullptr;
    std::uint32_t nTrees = 0;
    CBranchVertex* pBranchVertices = nullptr; // CPU copy until the first activation
    IDirect3DVertexBuffer9* pVB = nullptr;
    std::uint32_t nBranchVertices = 0;
    CLandscapeSector* pSector = nullptr;
};

struct StoneRecord {
    CStoneObject** ppStones = nullptr;
    std::uint32_t nStones = 0;
    CLandscapeSector* pSector = nullptr;
};

// The atlas quarter of a grass or branch kind 0..3; a quad spans 0.49.
struct AtlasOrigin {
    float u, v;
};
extern const AtlasOrigin g_FieldAtlas[4];
constexpr float FIELD_ATLAS_SPAN = 0.49f;

// Grass is drawn in visible sectors nearer than this; a sector's grass
// buffer is let go once it is twice as far.
constexpr float FIELD_GRASS_FAR = 70.0f;
