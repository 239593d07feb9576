#include "graphics/WorldCamera.h"

#include "graphics/D3DRender.h"
#include "shell/VectorHelpers.h"

#include <cmath>
#include <cstring>

float g_fNearPlane = 0.2f;
float g_fFarPlane = 600.0f;
float g_fCubeFarPlane = 100.0f;

void CWorldCamera::Init(const D3DXVECTOR3* eye, const D3DXVECTOR3* target, float fov, float aspect,
                        float nearPlane, float farPlane, int mode)
{
    SetProjection(fov, aspect, nearPlane, farPlane);
    m_vEye = *eye;
    m_vTarget = *target;
    m_vUp = D3DXVECTOR3(0.0f, 1.0f, 0.0f);
    UpdateView();
    m_nMode = m_nLastView = mode;
    m_vFlyVelocity = m_vFlyTurn = D3DXVECTOR3();
    m_DebugFont.Load("Data/Interface/Fonts/Arial.18");
    m_pTarget = nullptr;
    m_vEyeOffset = m_vTargetOffset = m_vChaseUp = m_vPrevEye = D3DXVECTOR3();
    std::memset(m_fSpeedSamples, 0, sizeof(m_fSpeedSamples));
    m_fAverageSpeed = 0.0f;
    m_bRelative = m_bOrbit = 0;
    m_pRoute = nullptr;
    m_nRoutePoints = 0;
    m_nFadeKind = -1;
    m_fFadeTime = 0.0f;
    m_fFadeElapsed = 0.0f;
    m_bFadeSound = 0;
}

void CWorldCamera::Release()
{
    m_DebugFont.Release();
    delete[] m_pRoute;
    m_pRoute = nullptr;
    m_nRoutePoints = 0;
}

void CWorldCamera::SetProjection(float fov, float aspect, float nearPlane, float farPlane)
{
    D3DXMatrixIdentity(&m_matView);
    D3DXMatrixIdentity(&m_matProj);
    m_fFov = fov;
    m_fAspect = aspect;
    m_fNearPlane = nearPlane;
    m_fFarPlane = farPlane;
    D3DXMatrixPerspectiveFovLH(&m_matProj, fov, aspect, nearPlane, farPlane);
}

void CWorldCamera::UpdateView()
{
    D3DXMatrixLookAtLH(&m_matView, &m_vEye, &m_vTarget, &m_vUp);
    if (IDirect3DDevice9* device = g_D3DRender.m_pDevice) {
        device->SetTransform(D3DTS_VIEW, &m_matView);
        device->SetTransform(D3DTS_PROJECTION, &m_matProj);
    }
    SetEffectMatrices();
    BuildFrustumPlanes();
    D3DXMatrixInverse(&m_matInvView, nullptr, &m_matView);
}

void CWorldCamera::SetView(const D3DXVECTOR3* eye, const D3DXVECTOR3* target, const D3DXVECTOR3* up)
{
    m_vEye = *eye;
    m_vTarget = *target;
    m_vUp = *up;
    m_vPrevEye = *eye;
    UpdateView();
}

void CWorldCamera::SetEffectMatrices()
{
    ID3DXEffect* effect = g_D3DRender.m_pEffect;
    if (!effect)
        return;
    effect->SetMatrix("matView", &m_matView);
    effect->SetMatrix("matProj", &m_matProj);
    const D3DXVECTOR4 eye(m_vEye.x, m_vEye.y, m_vEye.z, 1.0f);
    effect->SetVector("EyePos", &eye);
}

// Planes from the columns of view x projection: a point is inside a plane
// when a x + b y + c z + d >= 0.
void CWorldCamera::BuildFrustumPlanes()
{
    D3DXMATRIX m;
    D3DXMatrixMultiply(&m, &m_matView, &m_matProj);
    auto column = [&m](int c) { return D3DXPLANE(m.m[0][c], m.m[1][c], m.m[2][c], m.m[3][c]); };
    const D3DXPLANE c1 = column(0);
    const D3DXPLANE c2 = column(1);
    const D3DXPLANE c3 = column(2);
    const D3DXPLANE c4 = column(3);
    auto add = [](const D3DXPLANE& a, const D3DXPLANE& b, float s) {
        return D3DXPLANE(a.a + s * b.a, a.b + s * b.b, a.c + s * b.c, a.d + s * b.d);
    };
    m_Planes[0] = add(c4, c1, -1.0f);
    m_Planes[1] = add(c4, c1, 1.0f);
    m_Planes[2] = add(c4, c2, 1.0f);
    m_Planes[3] = add(c4, c2, -1.0f);
    m_Planes[4] = add(c4, c3, -1.0f);
    m_Planes[5] = add(c4, c3, 1.0f);
    for (D3DXPLANE& p : m_Planes) {
        const float length = std::sqrt(p.a * p.a + p.b * p.b + p.c * p.c);
        if (length == 0.0f)
            continue; // no projection the game uses makes one; keep it rather than divide by 0
        const float s = 1.0f / length;
        p = D3DXPLANE(p.a * s, p.b * s, p.c * s, p.d * s);
    }
}

static float SignedDistance(const D3DXPLANE& p, const D3DXVECTOR3& v)
{
    return p.a * v.x + p.b * v.y + p.c * v.z + p.d;
}

std::uint32_t CWorldCamera::IsSphereInFrustum(const D3DXVECTOR3* centre, float radius) const
{
    for (const D3DXPLANE& p : m_Planes)
        if (SignedDistance(p, *centre) < -radius)
            return 0;
    return 1;
}

std::uint32_t CWorldCamera::IsBoxInFrustum(const D3DXVECTOR3 corners[8]) const
{
    for (const D3DXPLANE& p : m_Planes) {
        int behind = 0;
        for (int i = 0; i < 8; ++i)
            if (SignedDistance(p, corners[i]) < 0.0f)
                ++behind;
        if (behind == 8)
            return 0;
    }
    return 1;
}

// Ordinary objects count as visible only when they reach into the view by
// more than a tenth of their radius.
std::uint32_t CWorldCamera::IsSphereVisible(const D3DXVECTOR3* centre, float radius) const
{
    return IsSphereInFrustum(centre, radius * 0.9f);
}

void CWorldCamera::SetViewport(float x1, float y1, float x2, float y2)
{
    IDirect3DDevice9* device = g_D3DRender.m_pDevice;
    if (!device)
        return;
    D3DVIEWPORT9 vp{};
    device->GetViewport(&vp);
    const float sx = g_D3DRender.m_fScaleX;
    const float sy = g_D3DRender.m_fScaleY;
    vp.X = static_cast<DWORD>(x1 * sx);
    vp.Y = static_cast<DWORD>(y1 * sy);
    vp.Width = static_cast<DWORD>(x2 * sx - x1 * sx);
    vp.Height = static_cast<DWORD>(y2 * sy - y1 * sy);
    vp.MinZ = 0.0f;
    vp.MaxZ = 1.0f;
    device->SetViewport(&vp);
}

// The viewport of the device, or the whole screen when there is no device.
static D3DVIEWPORT9 CurrentViewport()
{
    D3DVIEWPORT9 vp{0, 0, static_cast<DWORD>(g_D3DRender.m_fScreenWidth),
                    static_cast<DWORD>(g_D3DRender.m_fScreenHeight), 0.0f, 1.0f};
    if (g_D3DRender.m_pDevice)
        g_D3DRender.m_pDevice->GetViewport(&vp);
    return vp;
}

std::uint32_t CWorldCamera::ProjectToScreen(float* outX, float* outY, const D3DXVECTOR3* point, float* outDepth)
{
    const D3DXVECTOR3 offset = *point - m_vEye;
    D3DXVECTOR3 v;
    D3DXVec3TransformNormal(&v, &offset, &m_matView);
    const D3DVIEWPORT9 vp = CurrentViewport();
    D3DXVECTOR3 s;
    D3DXVec3Project(&s, point, &vp, &m_matProj, &m_matView, &g_matIdentity);
    if (outX)
        *outX = s.x / g_D3DRender.m_fScaleX;
    if (outY)
        *outY = s.y / g_D3DRender.m_fScaleY;
    if (outDepth)
        *outDepth = v.z;
    const bool onScreen = s.x >= 0.0f && s.x < g_D3DRender.m_fScreenWidth && s.y >= 0.0f &&
                          s.y < g_D3DRender.m_fScreenHeight;
    return v.z >= 0.0f && onScreen ? 1u : 0u;
}

void CWorldCamera::UnprojectScreenPoint(float x, float y, D3DXVECTOR3* out, const D3DXMATRIX* world)
{
    const D3DXVECTOR3 p(x * g_D3DRender.m_fScaleX, y * g_D3DRender.m_fScaleY, 1.0f);
    const D3DVIEWPORT9 vp = CurrentViewport();
    D3DXVec3Unproject(out, &p, &vp, &m_matProj, &m_matView, world ? world : &g_matIdentity);
}

D3DXVECTOR3* Vec3Set(D3DXVECTOR3* v, float x, float y, float z)
{
    *v = D3DXVECTOR3(x, y, z);
    return v;
}

D3DXVECTOR3* Vec3Add(const D3DXVECTOR3* v, D3DXVECTOR3* out, const D3DXVECTOR3* b)
{
    *out = *v + *b;
    return out;
}

D3DXVECTOR3* Vec3Subtract(const D3DXVECTOR3* v, D3DXVECTOR3* out, const D3DXVECTOR3* b)
{
    *out = *v - *b;
    return out;
}
