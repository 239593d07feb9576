// The ground of the whole map as two static vertex grids (terrain and water
// plane) and the index lists the sectors draw their patches with.
#include "world/Landscape.h"
#include "world/LandscapeSector.h"

#include "graphics/D3DRender.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

namespace {

constexpr float kWaterFadeDepth = 5.9f;

template <class T>
void ReleaseBuffer(T*& buffer)
{
    if (buffer)
        buffer->Release();
    buffer = nullptr;
}

IDirect3DIndexBuffer9* MakeIndexBuffer(const std::vector<std::uint16_t>& indices)
{
    IDirect3DDevice9* device = g_D3DRender.m_pDevice;
    IDirect3DIndexBuffer9* ib = nullptr;
    const UINT bytes = static_cast<UINT>(indices.size() * 2);
    if (!device || bytes == 0 ||
        FAILED(device->CreateIndexBuffer(bytes, 0, D3DFMT_INDEX16, D3DPOOL_MANAGED, &ib, nullptr)))
        return nullptr;
    void* data = nullptr;
    if (SUCCEEDED(ib->Lock(0, 0, &data, D3DLOCK_DISCARD))) {
        std::memcpy(data, indices.data(), bytes);
        ib->Unlock();
    }
    return ib;
}

IDirect3DVertexBuffer9* MakeVertexBuffer(const std::vector<LandscapeVertex>& vertices)
{
    IDirect3DDevice9* device = g_D3DRender.m_pDevice;
    IDirect3DVertexBuffer9* vb = nullptr;
    const UINT bytes = static_cast<UINT>(vertices.size() * sizeof(LandscapeVertex));
    if (!device || FAILED(device->CreateVertexBuffer(bytes, 0, LANDSCAPE_FVF, D3DPOOL_MANAGED, &vb, nullptr)))
        return nullptr;
    void* data = nullptr;
    if (SUCCEEDED(vb->Lock(0, 0, &data, D3DLOCK_DISCARD))) {
        std::memcpy(data, vertices.data(), bytes);
        vb->Unlock();
    }
    return vb;
}

// The edge fade of one grid coordinate: 1 on the outer ten lines, falling to
// 0 over the next ten.
float EdgeFade(int i, int cells)
{
    float e = 0.0f;
    if (i < 20)
        e = std::max(e, 1.0f - static_cast<float>(std::max(i - 10, 0)) / 10.0f);
    if (i >= cells - 20)
        e = std::max(e, static_cast<float>(std::min(i - (cells - 20), 10)) / 10.0f);
    return e;
}

} // namespace

void CLandscape::ComputeVertexNormals(LandscapeVertex* v, const std::uint32_t* indices, std::uint32_t vertexCount,
                                      std::uint32_t indexCount)
{
    for (std::uint32_t i = 0; i < vertexCount; ++i)
        v[i].nx = v[i].ny = v[i].nz = 0.0f;
    for (std::uint32_t t = 0; t + 2 < indexCount; t += 3) {
        const std::uint32_t a = indices[t], b = indices[t + 1], c = indices[t + 2];
        if (a >= vertexCount || b >= vertexCount || c >= vertexCount)
            continue;
        const D3DXVECTOR3 p0(v[a].x, v[a].y, v[a].z), p1(v[b].x, v[b].y, v[b].z), p2(v[c].x, v[c].y, v[c].z);
        D3DXVECTOR3 n;
        const D3DXVECTOR3 e2 = p2 - p0, e1 = p1 - p0;
        D3DXVec3Cross(&n, &e2, &e1);
        D3DXVec3Normalize(&n, &n);
        for (std::uint32_t k : {a, b, c}) {
            v[k].nx += n.x;
            v[k].ny += n.y;
            v[k].nz += n.z;
        }
    }
    for (std::uint32_t i = 0; i < vertexCount; ++i) {
        D3DXVECTOR3 n(v[i].nx, v[i].ny, v[i].nz);
        D3DXVec3Normalize(&n, &n);
        v[i].nx = n.x;
        v[i].ny = n.y;
        v[i].nz = n.z;
    }
}

int CLandscape::WaterAlpha(int row, int column, float h) const
{
    const int n = m_nCells;
    float e = std::max(std::max(EdgeFade(column, n), EdgeFade(row, n)), 0.0f);
    e = std::min(e * 35.0f, 35.0f);
    if (e == 35.0f)
        e = 255.0f;
    const float level = WaterLevel();
    if (h > level)
        return 0;
    if (h > level - kWaterFadeDepth)
        return static_cast<int>(std::min(64.0f + 156.0f * (level - h) / kWaterFadeDepth + e, 255.0f));
    return static_cast<int>(std::min(220.0f + e, 255.0f));
}

void CLandscape::FillGroundVertices(LandscapeVertex* terrain, LandscapeVertex* water) const
{
    const int n = m_nCells, m = m_nCellsPerSector;
    const float c = m_fCellSize, w = m_fWorldSize, sector = static_cast<float>(m) * c;
    const float level = WaterLevel();
    for (int a = 0; a <= n; ++a)
        for (int b = 0; b <= n; ++b) {
            const int i = a * (n + 1) + b;
            const float h = m_fAltitude[std::min(a, n - 1)][std::min(b, n - 1)];
            const float x = static_cast<float>(b) * c - w / 2, z = w / 2 - static_cast<float>(a) * c;
            LandscapeVertex& t = terrain[i];
            t.x = x;
            t.y = h;
            t.z = z;
            t.diffuse = 0xFFFFFFFFu;
            t.u0 = static_cast<float>(b) / static_cast<float>(n);
            t.v0 = static_cast<float>(a) / static_cast<float>(n);
            t.u1 = t.u0 * 200.0f;
            t.v1 = t.v0 * 200.0f;
            LandscapeVertex& s = water[i];
            s.x = x;
            s.y = level;
            s.z = z;
            s.nx = s.nz = 0.0f;
            s.ny = 1.0f;
            s.u0 = x / sector * 5.0f;
            s.v0 = z / sector * 5.0f;
            s.u1 = x / sector * 0.75f;
            s.v1 = z / sector * 0.75f;
            s.diffuse = static_cast<std::uint32_t>(WaterAlpha(a, b, h)) << 24 | 0x00FFFFFFu;
        }
    std::vector<std::uint32_t> indices;
    indices.reserve(static_cast<std::size_t>(n) * n * 6);
    const int s = n + 1;
    for (int a = 0; a < n; ++a)
        for (int b = 0; b < n; ++b) {
            const std::uint32_t quad[6] = {static_cast<std::uint32_t>(a * s + b), static_cast<std::uint32_t>((a + 1) * s + b),
                                           static_cast<std::uint32_t>(a * s + b + 1),
                                           static_cast<std::uint32_t>((a + 1) * s + b + 1),
                                           static_cast<std::uint32_t>(a * s + b + 1),
                                           static_cast<std::uint32_t>((a + 1) * s + b)};
            indices.insert(indices.end(), quad, quad + 6);
        }
    ComputeVertexNormals(terrain, indices.data(), static_cast<std::uint32_t>(s * s),
                         static_cast<std::uint32_t>(indices.size()));
}

// Quads past the sector's last row or column (cells per sector not a
// multiple of the step) are cut at its edge, so no index leaves the grid.
std::uint32_t CLandscape::BuildDetailIndices(int step, std::uint16_t* out) const
{
    const int m = m_nCellsPerSector, stride = m_nCells + 1;
    std::uint32_t count = 0;
    for (int a = 0; a < m; a += step)
        for (int b = 0; b < m; b += step) {
            const int a1 = std::min(a + step, m), b1 = std::min(b + step, m);
            const int quad[6] = {a * stride + b, a1 * stride + b, a * stride + b1,
                                 a * stride + b1, a1 * stride + b, a1 * stride + b1};
            for (int q : quad) {
                if (out)
                    out[count] = static_cast<std::uint16_t>(q);
                ++count;
            }
        }
    return count;
}

void CLandscape::BuildTerrainMesh()
{
    if (m_fWorldSize <= 0.0f || !g_D3DRender.m_pDevice)
        return;
    ReleaseTerrainMesh();
    const std::size_t count = static_cast<std::size_t>(m_nCells + 1) * (m_nCells + 1);
    std::vector<LandscapeVertex> terrain(count), water(count);
    FillGroundVertices(terrain.data(), water.data());
    MarkFlatSectors(terrain.data());
    m_pTerrainVB = MakeVertexBuffer(terrain);
    m_pWaterVB = MakeVertexBuffer(water);
    m_nTerrainVerts = m_pTerrainVB ? static_cast<std::uint32_t>(count) : 0;
    m_nWaterVerts = m_pWaterVB ? static_cast<std::uint32_t>(count) : 0;
    for (int step = 1; step <= 3; ++step) {
        std::vector<std::uint16_t> list(BuildDetailIndices(step, nullptr));
        BuildDetailIndices(step, list.data());
        m_pDetailIB[step - 1] = MakeIndexBuffer(list);
        m_nDetailTris[step - 1] = m_pDetailIB[step - 1] ? static_cast<std::uint32_t>(list.size() / 3) : 0;
    }
    std::vector<std::uint16_t> patch;
    for (int a = 0; a < 3; ++a)
        for (int b = 0; b < 3; ++b)
            for (int q : {a * 4 + b, (a + 1) * 4 + b, a * 4 + b + 1, a * 4 + b + 1, (a + 1) * 4 + b, (a + 1) * 4 + b + 1})
                patch.push_back(static_cast<std::uint16_t>(q));
    m_pWaterPatchIB = MakeIndexBuffer(patch);
    m_nWaterPatchVerts = m_pWaterPatchIB ? 16 : 0;
    m_nWaterPatchTris = m_pWaterPatchIB ? 18 : 0;
}

void CLandscape::ReleaseTerrainMesh()
{
    ReleaseBuffer(m_pTerrainVB);
    ReleaseBuffer(m_pWaterVB);
    for (IDirect3DIndexBuffer9*& ib : m_pDetailIB)
        ReleaseBuffer(ib);
    ReleaseBuffer(m_pWaterPatchIB);
    m_nTerrainVerts = m_nWaterVerts = 0;
    std::fill(std::begin(m_nDetailTris), std::end(m_nDetailTris), 0u);
    m_nWaterPatchVerts = m_nWaterPatchTris = 0;
    std::fill(std::begin(m_bFlatSector), std::end(m_bFlatSector), std::uint8_t{0});
}

namespace {

bool SameHeightAndNormal(const LandscapeVertex& a, const LandscapeVertex& b)
{
    return a.y == b.y && a.nx == b.nx && a.ny == b.ny && a.nz == b.nz;
}

} // namespace

// Directional light and texture coordinates linear in x and z make such a
// sector look the same drawn with 3-cell quads as with 1-cell ones, for a
// ninth of the triangles in the main, shadow and shadow-projection passes.
void CLandscape::MarkFlatSectors(const LandscapeVertex* terrain)
{
    std::fill(std::begin(m_bFlatSector), std::end(m_bFlatSector), std::uint8_t{0});
    const int c = m_nCellsPerSector, stride = m_nCells + 1;
    for (int row = 0; row < m_nSectorsPerSide; ++row)
        for (int col = 0; col < m_nSectorsPerSide; ++col) {
            const LandscapeVertex* first = terrain + row * c * stride + col * c;
            bool flat = true;
            for (int a = 0; a <= c && flat; ++a)
                for (int b = 0; b <= c && flat; ++b)
                    flat = SameHeightAndNormal(first[a * stride + b], *first);
            m_bFlatSector[row * m_nSectorsPerSide + col] = flat ? 1 : 0;
        }
}

int CLandscape::GroundDetailLevel(const CLandscapeSector* sector, int wanted) const
{
    const int row = sector->m_nRow, col = sector->m_nCol;
    if (row < 0 || col < 0 || row >= m_nSectorsPerSide || col >= m_nSectorsPerSide || !m_pDetailIB[2])
        return wanted;
    return m_bFlatSector[row * m_nSectorsPerSide + col] ? 2 : wanted;
}
