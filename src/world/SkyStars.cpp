// The star field: a hundred small squares on a half sphere round the camera,
// built once into one indexed draw.
#include "world/Sky.h"

#include "graphics/D3DRender.h"
#include "graphics/WorldCamera.h"
#include "shell/Game.h"
#include "shell/VectorHelpers.h"

#include <cstdlib>
#include <cstring>
#include <vector>

namespace {

// Up to 500 either side, never below the horizon, never the zero vector.
D3DXVECTOR3 RandomStarDirection()
{
    D3DXVECTOR3 d(0.0f, 0.0f, 0.0f);
    while (Vec3LengthSq(&d) == 0.0f) {
        d.x = static_cast<float>(std::rand() % 1001 - 500);
        d.y = static_cast<float>(std::rand() % 501);
        d.z = static_cast<float>(std::rand() % 1001 - 500);
    }
    return d;
}

void AddStar(std::vector<CSkyStarVertex>* vertices, std::vector<WORD>* indices)
{
    const float s = static_cast<float>(std::rand() % 101) / 33.0f + 4.0f;
    D3DXVECTOR3 p = RandomStarDirection();
    Vec3Normalize(&p, &p);
    p *= g_fFarPlane - 100.0f;
    D3DXMATRIX facing;
    const D3DXVECTOR3 origin(0.0f, 0.0f, 0.0f), up(0.0f, 1.0f, 0.0f);
    BuildLookAtMatrix(&facing, &p, &origin, &up);
    const float corners[4][2] = {{s, s}, {s, -s}, {-s, s}, {-s, -s}};
    const float uv[4][2] = {{0.001f, 0.001f}, {0.001f, 0.999f}, {0.999f, 0.001f}, {0.999f, 0.999f}};
    const WORD first = static_cast<WORD>(vertices->size());
    for (int i = 0; i < 4; ++i) {
        const D3DXVECTOR3 corner(corners[i][0], corners[i][1], 0.0f);
        D3DXVECTOR3 w;
        D3DXVec3TransformCoord(&w, &corner, &facing);
        vertices->push_back({w.x, w.y, w.z, uv[i][0], uv[i][1]});
    }
    for (WORD i : {0, 1, 2, 2, 1, 3})
        indices->push_back(static_cast<WORD>(first + i));
}

template <class Buffer>
void Fill(Buffer* buffer, const void* data, UINT bytes)
{
    void* target = nullptr;
    if (SUCCEEDED(buffer->Lock(0, 0, &target, D3DLOCK_DISCARD)) && target) {
        std::memcpy(target, data, bytes);
        buffer->Unlock();
    }
}

} // namespace

void CSky::CreateStars()
{
    m_Stars.m_nTexture = g_D3DRender.LoadTexture("Data/Sky/Star.bmp", 1, D3DPOOL_MANAGED);
    m_Stars.m_nCount = SKY_STAR_COUNT;
    std::vector<CSkyStarVertex> vertices;
    std::vector<WORD> indices;
    for (std::uint32_t i = 0; i < SKY_STAR_COUNT; ++i)
        AddStar(&vertices, &indices);
    IDirect3DDevice9* device = g_D3DRender.m_pDevice;
    if (!device)
        return;
    const UINT vertexBytes = static_cast<UINT>(vertices.size() * sizeof(CSkyStarVertex));
    const UINT indexBytes = static_cast<UINT>(indices.size() * sizeof(WORD));
    if (SUCCEEDED(device->CreateVertexBuffer(vertexBytes, D3DUSAGE_WRITEONLY, SKY_STAR_FVF, D3DPOOL_MANAGED,
                                             &m_Stars.m_pVertexBuffer, nullptr)))
        Fill(m_Stars.m_pVertexBuffer, vertices.data(), vertexBytes);
    if (SUCCEEDED(device->CreateIndexBuffer(indexBytes, D3DUSAGE_WRITEONLY, D3DFMT_INDEX16, D3DPOOL_MANAGED,
                                            &m_Stars.m_pIndexBuffer, nullptr)))
        Fill(m_Stars.m_pIndexBuffer, indices.data(), indexBytes);
}
