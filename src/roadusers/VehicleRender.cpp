// The per-car draws: the body in its five part groups, the wheels, the
// chrome of the wheels and the police flasher. The draw passes set the
// texture stages; each routine sets only what belongs to its car.
#include "roadusers/Vehicle.h"

#include "graphics/D3DRender.h"
#include "graphics/SceneLights.h"
#include "graphics/WorldCamera.h"
#include "objects/MaterialEffects.h"
#include "shell/Game.h"
#include "shell/GameTimer.h"
#include "shell/RenderPasses.h"
#include "shell/Settings.h"
#include "shell/VectorHelpers.h"
#include "world/Sky.h"

#include <algorithm>

namespace {

constexpr float kDrawDistance = 60.0f;
constexpr float kSteerPartDistance = 30.0f;

IDirect3DDevice9* Device()
{
    return g_D3DRender.m_pDevice;
}

D3DXVECTOR3 MatrixRow(const D3DXMATRIX& m, int row)
{
    return D3DXVECTOR3(m.m[row][0], m.m[row][1], m.m[row][2]);
}

void SetTranslation(D3DXMATRIX* m, const D3DXVECTOR3& p)
{
    m->_41 = p.x;
    m->_42 = p.y;
    m->_43 = p.z;
}

// A fading car blends; a solid one overwrites.
void SetFadeBlending(std::uint32_t alpha)
{
    if (alpha < 255) {
        g_D3DRender.SetAlphaBlendEnable(1);
        g_D3DRender.SetBlendMode(D3DBLEND_SRCALPHA, D3DBLEND_INVSRCALPHA);
    } else {
        g_D3DRender.SetAlphaBlendEnable(0);
        g_D3DRender.SetBlendMode(D3DBLEND_ONE, D3DBLEND_ZERO);
    }
}

DWORD Byte(float v)
{
    return static_cast<DWORD>(std::clamp(v, 0.0f, 1.0f) * 255.0f) & 0xFF;
}

} // namespace

std::uint32_t CVehicle::FadeByte() const
{
    return static_cast<std::uint32_t>(std::clamp(m_Material.Diffuse.a, 0.0f, 1.0f) * 255.0f);
}

bool CVehicle::PassesCarDrawRule() const
{
    if (!m_bAlive || !m_bVisible || m_fCameraDistance > kDrawDistance)
        return false;
    const CWorldCamera* camera = g_Game.m_pCamera;
    return !(camera && camera->m_nMode == 1 && camera->m_pTarget == this);
}

void CVehicle::DrawBodyGroup(int group)
{
    IDirect3DDevice9* device = Device();
    device->SetTransform(D3DTS_WORLD, &m_matWorld);
    device->SetFVF(VEHICLE_BODY_FVF);
    device->SetStreamSource(0, m_pBodyVB, 0, VEHICLE_BODY_VERTEX_SIZE);
    device->SetIndices(m_pBodyIB);
    if (m_PartTriangleCount[group] == 0)
        return;
    device->DrawIndexedPrimitive(D3DPT_TRIANGLELIST, static_cast<INT>(m_PartFirstVertex[group]), 0,
                                 m_PartVertexCount[group], 3 * m_PartFirstTriangle[group],
                                 m_PartTriangleCount[group]);
    g_D3DRender.AddDrawnFaces(m_PartTriangleCount[group]);
}

bool CVehicle::CanDrawBody() const
{
    return Device() && m_pBodyVB && m_pBodyIB && PassesCarDrawRule();
}

void CVehicle::RenderBodyPaint()
{
    if (!CanDrawBody())
        return;
    const std::uint32_t alpha = FadeByte();
    m_Material.Specular.a = m_Material.Diffuse.a;
    g_D3DRender.SetMaterial(&m_Material);
    g_SceneLights.ApplyLightSet(&m_LightSet);
    Device()->SetTextureStageState(5, D3DTSS_CONSTANT, alpha << 24);
    g_D3DRender.SetTexturePointer(m_pPaintTexture, alpha < 255, 0);
    g_D3DRender.SetTexture(static_cast<TextureId>(m_nBodyTexture), alpha < 255, 1);
    const DWORD factor = static_cast<DWORD>(m_nPaintGloss & 0xFF) << 24 | Byte(m_PaintColor2[0]) << 16 |
                         Byte(m_PaintColor2[1]) << 8 | Byte(m_PaintColor2[2]);
    Device()->SetRenderState(D3DRS_TEXTUREFACTOR, factor);
    D3DXMATRIX shadow;
    Device()->SetTransform(static_cast<D3DTRANSFORMSTATETYPE>(D3DTS_TEXTURE0 + 5),
                           g_Game.GetShadowMapMatrix(&shadow, &m_matWorld));
    DrawBodyGroup(0);
}

void CVehicle::RenderBodyGroup1()
{
    if (!CanDrawBody())
        return;
    const std::uint32_t alpha = FadeByte();
    g_D3DRender.SetMaterial(&m_GlassMaterials[0]);
    g_SceneLights.ApplyLightSet(&m_LightSet);
    // This car's own paint: stage 0 would otherwise still hold the last
    // car's.
    g_D3DRender.SetTexturePointer(m_pPaintTexture, alpha < 255, 0);
    Device()->SetRenderState(D3DRS_TEXTUREFACTOR, alpha << 24);
    SetFadeBlending(alpha);
    DrawBodyGroup(1);
}

void CVehicle::RenderBodyGroup2()
{
    if (!CanDrawBody())
        return;
    const std::uint32_t alpha = FadeByte();
    g_D3DRender.SetMaterial(&m_GlassMaterials[1]);
    g_SceneLights.ApplyLightSet(&m_LightSet);
    Device()->SetRenderState(D3DRS_TEXTUREFACTOR, alpha << 24);
    SetFadeBlending(alpha);
    g_D3DRender.SetFogEnable(1);
    g_D3DRender.SetZEnable(1);
    g_D3DRender.SetZWriteEnable(1);
    g_D3DRender.SetLighting(1);
    DrawBodyGroup(2);
}

void CVehicle::RenderBodyReflective()
{
    if (!CanDrawBody())
        return;
    const std::uint32_t alpha = FadeByte();
    g_D3DRender.SetMaterial(&m_GlassMaterials[2]);
    // Lit trim glows at night; the new emissive is used from the next draw.
    const float s = g_bReflect == 1 ? 0.5f * g_Sky.m_fLightsFactor : 0.0f;
    m_GlassMaterials[2].Emissive = {s, s, s, 1.0f};
    g_SceneLights.ApplyLightSet(&m_LightSet);
    SetFadeBlending(alpha);
    const DWORD c = Byte(0.75f + 0.25f * g_Sky.m_fLightsFactor);
    Device()->SetRenderState(D3DRS_TEXTUREFACTOR, alpha << 24 | c << 16 | c << 8 | c);
    D3DXMATRIX shadow;
    Device()->SetTransform(static_cast<D3DTRANSFORMSTATETYPE>(D3DTS_TEXTURE0 + 3),
                           g_Game.GetShadowMapMatrix(&shadow, &m_matWorld));
    DrawBodyGroup(3);
}

void CVehicle::RenderGlass()
{
    if (!CanDrawBody())
        return;
    const std::uint32_t alpha = FadeByte();
    g_D3DRender.SetMaterial(&m_GlassMaterials[3]);
    g_SceneLights.ApplyLightSet(&m_LightSet);
    // Glass and lamps take this car's body texture, not what the pass before
    // left bound.
    g_D3DRender.SetTexture(static_cast<TextureId>(m_nBodyTexture), alpha < 255, 0);
    Device()->SetRenderState(D3DRS_TEXTUREFACTOR, alpha << 24 | 128u << 16 | 128u << 8 | 128u);
    DrawBodyGroup(4);
}

CStaticObject* CVehicle::WheelModel(int wheel) const
{
    return wheel % 2 == 0 ? m_pWheelModelA : m_pWheelModelB;
}

int CVehicle::DrawnWheelCount() const
{
    if (!m_pRaycastVehicle)
        return m_bWarmUpWheels ? 4 : 0;
    return std::min(m_pRaycastVehicle->getNumWheels(), 4);
}

// The wheel model borrows the car's look and takes the wheel's matrix.
void CVehicle::PrepareWheel(CStaticObject* wheel, int i) const
{
    wheel->m_bVisible = m_bVisible;
    wheel->m_fCameraDistance = m_fCameraDistance;
    wheel->m_Material.Diffuse.a = m_Material.Diffuse.a;
    wheel->m_vPosition = MatrixRow(m_WheelMatrices[i], 3);
    wheel->m_matWorld = m_WheelMatrices[i];
}

void CVehicle::RenderWheels()
{
    if (g_CubePassActive || g_WaterPassActive || !PassesCarDrawRule())
        return;
    const int wheels = DrawnWheelCount();
    const D3DXVECTOR3 origin(0, 0, 0);
    for (int i = 0; i < wheels; ++i) {
        CStaticObject* w = WheelModel(i);
        if (!w)
            continue;
        PrepareWheel(w, i);
        w->Render(0);
        if (m_fCameraDistance < kSteerPartDistance && w->m_pMesh && w->m_pMesh->m_nFrames[1] > 0) {
            // Turns with the steering but does not spin.
            const D3DXVECTOR3 carUp = MatrixRow(m_matWorld, 1);
            const D3DXVECTOR3 side = MatrixRow(m_WheelMatrices[i], 0);
            D3DXVECTOR3 up;
            D3DXVec3Cross(&up, &carUp, &side);
            BuildLookAtMatrix(&w->m_matWorld, &origin, &carUp, &up);
            SetTranslation(&w->m_matWorld, w->m_vPosition);
            w->Render(1);
        }
    }
    const D3DXVECTOR3 back = -MatrixRow(m_matWorld, 2);
    for (int i = 0; i < wheels; ++i) {
        CStaticObject* w = WheelModel(i);
        if (!w)
            continue;
        const D3DXVECTOR3 side = MatrixRow(m_WheelMatrices[i], 0);
        D3DXVECTOR3 up;
        D3DXVec3Cross(&up, &back, &side);
        BuildLookAtMatrix(&w->m_matWorld, &origin, &back, &up);
        SetTranslation(&w->m_matWorld, MatrixRow(m_WheelMatrices[i], 3));
        w->Render(2);
    }
}

void CVehicle::RenderWheelChrome()
{
    if (g_CubePassActive || g_WaterPassActive || !PassesCarDrawRule())
        return;
    const int wheels = DrawnWheelCount();
    for (int i = 0; i < wheels; ++i) {
        CStaticObject* w = WheelModel(i);
        if (!w || !w->m_pChrome)
            continue;
        PrepareWheel(w, i);
        w->m_pChrome->Render();
    }
}

void CVehicle::RenderPoliceFlasher()
{
    m_fFlasherTimer += g_GameTimer.m_fDelta;
    if (m_fFlasherTimer > 0.5f)
        m_fFlasherTimer = 0.0f;
    // The lamps are points 1 and 2 of mesh part 4; a model without them has
    // no flasher.
    if (!m_pMesh || m_pMesh->m_nPoints[VEHICLE_MESH_ENGINE_PART] < 3 || !m_pMesh->m_pPoints[VEHICLE_MESH_ENGINE_PART])
        return;
    const float t = m_fFlasherTimer;
    const bool first = t <= 0.25f;
    const D3DXVECTOR3 lamp = m_pMesh->m_pPoints[VEHICLE_MESH_ENGINE_PART][first ? 1 : 2];
    const DWORD colour = first ? 0xFF0000A0u : 0xFFA00000u;
    float f = first ? t / 0.25f : (0.5f - t) / 0.25f;
    if (f > 0.5f)
        f = 1.0f - f;
    const float s = 2.0f * f + 0.25f;
    D3DXVECTOR3 centre;
    D3DXVec3TransformCoord(&centre, &lamp, &m_matWorld);
    const D3DXVECTOR3 up(0, 1, 0);
    CLightVertex v[4];
    v[0].Set(D3DXVECTOR3(s, s, s / 2), colour, 0.5f, 0.5f, centre, up);
    v[1].Set(D3DXVECTOR3(s, -s, s / 2), colour, 0.5f, 1.0f, centre, up);
    v[2].Set(D3DXVECTOR3(-s, s, s / 2), colour, 1.0f, 0.5f, centre, up);
    v[3].Set(D3DXVECTOR3(-s, -s, s / 2), colour, 1.0f, 1.0f, centre, up);
    const WORD indices[6] = {0, 1, 2, 2, 1, 3};
    g_D3DRender.AddShaderLightBatch(v, indices, 4, 6);
}
