// Model loading: the car's own lines of the description file, the
// deformable body (its own file, or a copy of an already loaded car of the
// same model), and the random paint and body texture.
#include "roadusers/Vehicle.h"

#include "graphics/D3DRender.h"
#include "objects/DescriptionLines.h"
#include "roadusers/VehicleBody.h"
#include "roadusers/VehicleManager.h"
#include "shell/FileManager.h"
#include "shell/Log.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace {

// The next line's value, read with atof or atoi.
float ReadFloat(FileHandle file)
{
    char line[DESCRIPTION_LINE_SIZE];
    ReadDescriptionLine(line, file);
    return static_cast<float>(std::atof(DescriptionValue(line)));
}

int ReadInt(FileHandle file)
{
    char line[DESCRIPTION_LINE_SIZE];
    ReadDescriptionLine(line, file);
    return std::atoi(DescriptionValue(line));
}

void SkipLine(FileHandle file)
{
    char line[DESCRIPTION_LINE_SIZE];
    ReadDescriptionLine(line, file);
}

CStaticObject* LoadWheelModel(FileHandle file)
{
    char line[DESCRIPTION_LINE_SIZE];
    ReadDescriptionLine(line, file);
    auto* wheel = new CStaticObject();
    if (wheel->Load(DescriptionValue(line), 1, -1, 1) == INVALID_FILE_HANDLE) {
        wheel->Release();
        delete wheel;
        return nullptr;
    }
    return wheel;
}

} // namespace

void CVehicle::ReadOwnDescription(FileHandle file)
{
    m_pWheelModelA = LoadWheelModel(file);
    m_pWheelModelB = LoadWheelModel(file);
    if (m_pWheelModelA && m_pWheelModelA->m_pMesh) {
        m_fWheelRadius = m_pWheelModelA->m_pMesh->m_vBoxSize.y / 2.0f;
        m_fWheelWidth = m_pWheelModelA->m_pMesh->m_vBoxSize.x;
    }
    SkipLine(file);
    m_fLine4Value = m_fBaseLine4Value = ReadFloat(file);
    m_fBaseMass = m_fMass = ReadFloat(file);
    m_fBasePower = m_fPower = ReadFloat(file);
    m_fBaseTransmission = m_fTransmission = ReadFloat(file);
    m_fBaseHandling = m_fHandling = ReadFloat(file);
    SkipLine(file);
    m_nDriveValue = ReadInt(file);
    m_nDrivenAxle = ReadInt(file);
    m_fBaseFrontGrip = m_fFrontGrip = ReadFloat(file);
    m_fBaseRearGrip = m_fRearGrip = ReadFloat(file);
    m_fFrontRollInfluence = ReadFloat(file);
    m_fRearRollInfluence = ReadFloat(file);
    m_fSuspensionStiffness = ReadFloat(file);
    m_fSuspensionDamping = ReadFloat(file);
    SkipLine(file);
    ReadInt(file); // the gloss is drawn below, whatever the file says
    m_nPaintRange = ReadInt(file);
    m_nPaintRange2 = ReadInt(file);
    SkipLine(file);
    m_fTopSpeedFigure = m_fPower / 1000.0f * 60.0f;
    ReadInt(file); // the engine sound is drawn, whatever the file says
    m_nEngineSound = std::rand() % 8;
    SkipLine(file);

    // Texture names until "//--", at most 16, and never past the data's end.
    m_nBodyTextureNames = 0;
    char line[DESCRIPTION_LINE_SIZE];
    while (m_nBodyTextureNames < VEHICLE_MAX_BODY_TEXTURES) {
        ReadDescriptionLine(line, file);
        if (std::strstr(line, "//--") || (line[0] == '\0' && g_FileManager.IsAtEnd(file)))
            break;
        char* name = m_BodyTextureNames[m_nBodyTextureNames++];
        std::strncpy(name, DescriptionValue(line), VEHICLE_TEXTURE_NAME_SIZE - 1);
        name[VEHICLE_TEXTURE_NAME_SIZE - 1] = '\0';
    }
}

void CVehicle::LoadModel(const char* path)
{
    const FileHandle file = CStaticObject::Load(path, 0, -1, 0);
    if (file == INVALID_FILE_HANDLE)
        return;
    std::memcpy(m_szName, m_szDisplayName, sizeof(m_szName));
    m_szName[sizeof(m_szName) - 1] = '\0';
    ReadOwnDescription(file);
    g_FileManager.Close(file);

    const CVehicle* model = g_VehicleManager.FindModel(m_szPath);
    if (model && model != this)
        CopyBodyFrom(*model);
    else
        LoadBody(m_szPath);

    DrawPaint();
    DrawBodyTexture(1);
    m_nPaintGloss = 48 + 32 * (std::rand() % 2);
    m_Material.Diffuse.a = 0.0f;
    CModelInstance::m_Material.Diffuse.a = 0.0f;
}

void CVehicle::LoadBody(const char* path)
{
    char name[STATIC_OBJECT_PATH_SIZE + 16];
    VehicleBodyFileName(name, sizeof(name), path);
    std::uint32_t size = 0;
    const FileHandle file = g_FileManager.Open(name, ARCHIVE_WORLD, &size);
    if (file == INVALID_FILE_HANDLE)
        return;
    std::vector<std::uint8_t> bytes(size);
    const bool read = size > 0 && g_FileManager.Read(bytes.data(), 1, size, file) == size;
    g_FileManager.Close(file);
    VehicleBodyLayout body;
    if (!read || !ParseVehicleBody(bytes.data(), bytes.size(), &body)) {
        LogFileProblem(name, "broken car body file; the car has no body");
        return;
    }
    IDirect3DDevice9* device = g_D3DRender.m_pDevice;
    if (!device)
        return;
    if (FAILED(device->CreateVertexBuffer(body.nVertices * VEHICLE_BODY_VERTEX_SIZE, 0, 0, D3DPOOL_SYSTEMMEM,
                                          &m_pBodyVB, nullptr)) ||
        FAILED(device->CreateIndexBuffer(body.nTriangles * 6, 0, D3DFMT_INDEX16, D3DPOOL_SYSTEMMEM, &m_pBodyIB,
                                         nullptr))) {
        ReleaseBody();
        return;
    }
    void* vertices = nullptr;
    void* indices = nullptr;
    if (FAILED(m_pBodyVB->Lock(0, 0, &vertices, D3DLOCK_DISCARD)) ||
        FAILED(m_pBodyIB->Lock(0, 0, &indices, D3DLOCK_DISCARD))) {
        ReleaseBody();
        return;
    }
    std::memcpy(vertices, body.pVertices, std::size_t{body.nVertices} * VEHICLE_BODY_VERTEX_SIZE);
    std::memcpy(indices, body.pIndices, std::size_t{body.nTriangles} * 6);
    m_pBodyVB->Unlock();
    m_pBodyIB->Unlock();
    m_pDeform = new DeformRecord[body.nVertices];
    std::memcpy(static_cast<void*>(m_pDeform), body.pRecords, std::size_t{body.nVertices} * sizeof(DeformRecord));
    m_nBodyVertices = body.nVertices;
    m_nBodyTriangles = body.nTriangles;
    std::memcpy(m_PartFirstVertex, body.firstVertex, sizeof(m_PartFirstVertex));
    std::memcpy(m_PartVertexCount, body.vertexCount, sizeof(m_PartVertexCount));
    std::memcpy(m_PartFirstTriangle, body.firstTriangle, sizeof(m_PartFirstTriangle));
    std::memcpy(m_PartTriangleCount, body.triangleCount, sizeof(m_PartTriangleCount));
}

// The template keeps its buffers untouched: both are locked read-only
// (without discard, which would hand back undefined contents).
void CVehicle::CopyBodyFrom(const CVehicle& model)
{
    IDirect3DDevice9* device = g_D3DRender.m_pDevice;
    if (!device || !model.m_pBodyVB || !model.m_pBodyIB || !model.m_pDeform || model.m_nBodyVertices == 0)
        return;
    const UINT vertexBytes = model.m_nBodyVertices * VEHICLE_BODY_VERTEX_SIZE;
    const UINT indexBytes = model.m_nBodyTriangles * 6;
    if (FAILED(device->CreateVertexBuffer(vertexBytes, 0, 0, D3DPOOL_MANAGED, &m_pBodyVB, nullptr)) ||
        FAILED(device->CreateIndexBuffer(indexBytes, 0, D3DFMT_INDEX16, D3DPOOL_MANAGED, &m_pBodyIB, nullptr))) {
        ReleaseBody();
        return;
    }
    void *from = nullptr, *to = nullptr;
    if (SUCCEEDED(model.m_pBodyVB->Lock(0, 0, &from, D3DLOCK_READONLY))) {
        if (SUCCEEDED(m_pBodyVB->Lock(0, 0, &to, D3DLOCK_DISCARD))) {
            std::memcpy(to, from, vertexBytes);
            m_pBodyVB->Unlock();
        }
        model.m_pBodyVB->Unlock();
    }
    if (SUCCEEDED(model.m_pBodyIB->Lock(0, 0, &from, D3DLOCK_READONLY))) {
        if (SUCCEEDED(m_pBodyIB->Lock(0, 0, &to, D3DLOCK_DISCARD))) {
            std::memcpy(to, from, indexBytes);
            m_pBodyIB->Unlock();
        }
        model.m_pBodyIB->Unlock();
    }
    m_pDeform = new DeformRecord[model.m_nBodyVertices];
    std::memcpy(static_cast<void*>(m_pDeform), model.m_pDeform,
                std::size_t{model.m_nBodyVertices} * sizeof(DeformRecord));
    m_nBodyVertices = model.m_nBodyVertices;
    m_nBodyTriangles = model.m_nBodyTriangles;
    std::memcpy(m_PartFirstVertex, model.m_PartFirstVertex, sizeof(m_PartFirstVertex));
    std::memcpy(m_PartVertexCount, model.m_PartVertexCount, sizeof(m_PartVertexCount));
    std::memcpy(m_PartFirstTriangle, model.m_PartFirstTriangle, sizeof(m_PartFirstTriangle));
    std::memcpy(m_PartTriangleCount, model.m_PartTriangleCount, sizeof(m_PartTriangleCount));
}

// A range below 1 counts as 1 (no division by zero, and the colour black).
void CVehicle::DrawPaint()
{
    const int range = std::max(1, m_nPaintRange);
    const int range2 = std::max(1, m_nPaintRange2);
    for (int c = 0; c < 3; ++c)
        m_PaintColor[c] = static_cast<float>(std::rand() % range) / 255.0f;
    m_PaintColor[3] = 1.0f;
    for (int c = 0; c < 3; ++c)
        m_PaintColor2[c] = static_cast<float>(std::rand() % range2) / 255.0f;
    m_PaintColor2[3] = 1.0f;
}

// firstName 1: the player's and rivals' draw, which skips name 0 when there
// are others; 0: any name. No name: no body texture.
void CVehicle::DrawBodyTexture(int firstName)
{
    ReleaseBodyTexture();
    const int n = m_nBodyTextureNames;
    if (n <= 0)
        return;
    int k = 0;
    if (firstName)
        k = std::min(1 + std::rand() % std::max(1, n - 1), n - 1);
    else
        k = std::rand() % n;
    const TextureId id = g_D3DRender.LoadTexture(m_BodyTextureNames[k], 0, D3DPOOL_MANAGED);
    m_nBodyTexture = id == INVALID_TEXTURE_ID ? -1 : static_cast<std::int32_t>(id);
}

void CVehicle::ReleaseBodyTexture()
{
    if (m_nBodyTexture >= 0)
        g_D3DRender.ReleaseTexture(static_cast<TextureId>(m_nBodyTexture));
    m_nBodyTexture = -1;
}

void CVehicle::ReleaseBody()
{
    if (m_pBodyVB)
        m_pBodyVB->Release();
    if (m_pBodyIB)
        m_pBodyIB->Release();
    m_pBodyVB = nullptr;
    m_pBodyIB = nullptr;
    delete[] m_pDeform;
    m_pDeform = nullptr;
    m_nBodyVertices = m_nBodyTriangles = 0;
    std::memset(m_PartFirstVertex, 0, sizeof(m_PartFirstVertex));
    std::memset(m_PartVertexCount, 0, sizeof(m_PartVertexCount));
    std::memset(m_PartFirstTriangle, 0, sizeof(m_PartFirstTriangle));
    std::memset(m_PartTriangleCount, 0, sizeof(m_PartTriangleCount));
}
