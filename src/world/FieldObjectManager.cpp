// The field-object manager's lifetime: the kind tables, the colour map, the
// shared index buffers and textures.
#include "world/FieldObjectManager.h"

#include "graphics/D3DRender.h"
#include "shell/FileManager.h"
#include "shell/Log.h"
#include "shell/VectorHelpers.h"
#include "world/Landscape.h"

#include <algorithm>
#include <cstring>

namespace {

constexpr std::uint32_t kPlaceColorBytes = 270000; // 300 x 300 RGB
constexpr int kPlaceColorSide = 300;

// What the grass takes where no colour map was shipped.
constexpr D3DXCOLOR4 kDefaultGrass = {0.3f, 0.5f, 0.2f, 1.0f};

const char* const kGrassTexture = "Data/Static/Nature/Grass/Grass.dds";
const char* const kBranchTextures[2] = {"Data/Static/Nature/Trees/Branch01.dds",
                                        "Data/Static/Nature/Trees/Branch02.dds"};

template <class T>
void ReleaseAndClear(T*& p)
{
    if (p)
        p->Release();
    p = nullptr;
}

void ReleaseTextureId(TextureId* id)
{
    if (*id != INVALID_TEXTURE_ID)
        g_D3DRender.ReleaseTexture(*id);
    *id = INVALID_TEXTURE_ID;
}

// Quad q of the full buffer is 4q, 4q+1, 4q+2, 4q+2, 4q+1, 4q+3; the second
// buffer takes the odd quads, the third every second odd quad.
IDirect3DIndexBuffer9* MakeQuadIndices(int which)
{
    IDirect3DDevice9* device = g_D3DRender.m_pDevice;
    IDirect3DIndexBuffer9* buffer = nullptr;
    const UINT bytes = FIELD_MAX_QUADS * 6 * sizeof(std::uint16_t);
    if (!device || device->CreateIndexBuffer(bytes, D3DUSAGE_WRITEONLY, D3DFMT_INDEX16, D3DPOOL_MANAGED, &buffer,
                                             nullptr) != D3D_OK)
        return nullptr;
    void* data = nullptr;
    if (buffer->Lock(0, 0, &data, 0) != D3D_OK) {
        buffer->Release();
        return nullptr;
    }
    auto* out = static_cast<std::uint16_t*>(data);
    std::memset(out, 0, bytes);
    const int step = which == 0 ? 1 : which == 1 ? 2 : 4;
    const int first = which == 0 ? 0 : 1;
    int n = 0;
    for (int q = first; q < FIELD_MAX_QUADS; q += step, ++n) {
        const std::uint16_t b = static_cast<std::uint16_t>(q * 4);
        const std::uint16_t quad[6] = {b, std::uint16_t(b + 1), std::uint16_t(b + 2),
                                       std::uint16_t(b + 2), std::uint16_t(b + 1), std::uint16_t(b + 3)};
        std::memcpy(out + n * 6, quad, sizeof quad);
    }
    buffer->Unlock();
    return buffer;
}

} // namespace

const AtlasOrigin g_FieldAtlas[4] = {{0.005f, 0.005f}, {0.505f, 0.005f}, {0.005f, 0.505f}, {0.505f, 0.505f}};

int CFieldObjectManager::Init()
{
    m_bDeviceObjects = 1;
    CreateDeviceObjects();
    m_BranchMaterial = D3DMATERIAL9{};
    m_BranchMaterial.Diffuse = {2.0f, 2.0f, 2.0f, 1.0f};
    m_BranchMaterial.Ambient = {0.5f, 0.5f, 0.5f, 1.0f};
    m_fUpdateTimer = 0.0f;

    delete[] m_pPlaceColor;
    m_pPlaceColor = nullptr;
    m_nPlaceColorSize = 0;
    std::uint32_t size = 0;
    const char* const path = "Data/Landscape/PlaceColor.dat";
    const FileHandle f = g_FileManager.Open(path, ARCHIVE_WORLD, &size);
    if (f == INVALID_FILE_HANDLE)
        LogFileProblem(path, "missing: the field objects take no colour from the map");
    if (f != INVALID_FILE_HANDLE) {
        // A short file leaves the rest of the map black; a longer one is
        // read only as far as the map goes.
        m_pPlaceColor = new std::uint8_t[kPlaceColorBytes]();
        const std::uint32_t n = std::min(size, kPlaceColorBytes);
        const std::size_t got = n > 0 ? g_FileManager.Read(m_pPlaceColor, 1, n, f) : 0;
        // One RGB pixel per 2 x 2 cells of the loaded map.
        const std::uint64_t side = static_cast<std::uint64_t>(std::max(g_Landscape.m_nCells, 0)) / 2;
        if (got < std::min<std::uint64_t>(side * side * 3, kPlaceColorBytes))
            LogFileProblem(path, "shorter than the map: the rest is black");
        m_nPlaceColorSize = kPlaceColorBytes;
        g_FileManager.Close(f);
    }
    return 1;
}

void CFieldObjectManager::Release()
{
    Clear();
    delete[] m_pPlaceColor;
    m_pPlaceColor = nullptr;
    m_nPlaceColorSize = 0;
    delete[] m_pGrassBuild;
    m_pGrassBuild = nullptr;
    m_nGrassBuild = 0;
    ReleaseDeviceObjects();
    m_bDeviceObjects = 0;
}

void CFieldObjectManager::Clear()
{
    for (int kind = FIELD_GRASS; kind <= FIELD_STONES; ++kind)
        for (int list = 0; list < 2; ++list)
            ReleaseSectorCells(kind, nullptr, list);
    FieldBuildObjects building;
    SwapBuild(&building);
    FreeBuildObjects(&building);
    m_nGrassFields[2] = m_nTreeFields[2] = 0;
    m_fUpdateTimer = 0.0f;
}

void CFieldObjectManager::ReleaseDeviceObjects()
{
    for (IDirect3DIndexBuffer9*& buffer : m_pQuadIndices)
        ReleaseAndClear(buffer);
    ReleaseTextureId(&m_nGrassTexture);
    ReleaseTextureId(&m_nBranchTextures[0]);
    ReleaseTextureId(&m_nBranchTextures[1]);
}

void CFieldObjectManager::CreateDeviceObjects()
{
    if (!m_bDeviceObjects)
        return;
    ReleaseDeviceObjects();
    for (int i = 0; i < 3; ++i)
        m_pQuadIndices[i] = MakeQuadIndices(i);
    if (!g_D3DRender.m_pDevice)
        return;
    m_nGrassTexture = g_D3DRender.LoadTexture(kGrassTexture);
    m_nBranchTextures[0] = g_D3DRender.LoadTexture(kBranchTextures[0]);
    m_nBranchTextures[1] = g_D3DRender.LoadTexture(kBranchTextures[1]);
}

D3DXCOLOR4* CFieldObjectManager::GetPlaceColor(D3DXCOLOR4* out, const D3DXVECTOR3* position) const
{
    const CLandscape& land = g_Landscape;
    if (!m_pPlaceColor || land.m_fCellSize <= 0.0f || land.m_nCells < 2) {
        *out = kDefaultGrass;
        return out;
    }
    const int side = std::min(land.m_nCells / 2, kPlaceColorSide);
    const float half = land.m_fWorldSize / 2;
    // Points off the map take the nearest edge pixel; a broken position (not
    // a number) the first one.
    const float fc = (half + position->x) / land.m_fCellSize * 0.5f;
    const float fr = (position->z - half) / land.m_fCellSize * -0.5f;
    const int col = std::clamp(!(fc >= 0.0f) ? 0 : fc >= float(side) ? side - 1 : static_cast<int>(fc), 0, side - 1);
    const int row = std::clamp(!(fr >= 0.0f) ? 0 : fr >= float(side) ? side - 1 : static_cast<int>(fr), 0, side - 1);
    const std::uint8_t* p = m_pPlaceColor + (static_cast<std::size_t>(row) * side + col) * 3;
    if (p[0] == 0 && p[1] == 0 && p[2] == 0) {
        // No hue to keep: a grey that the tuft's normalising turns to white.
        *out = {0.5f, 0.5f, 0.5f, 1.0f};
        return out;
    }
    *out = {p[0] / 255.0f, p[1] / 255.0f, p[2] / 255.0f, 1.0f};
    return out;
}
