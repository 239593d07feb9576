#include "platform/D3DX9.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

constexpr float kTol = 1e-4f;

void ExpectVec(const D3DXVECTOR3& v, float x, float y, float z, float tol = kTol)
{
    EXPECT_NEAR(v.x, x, tol);
    EXPECT_NEAR(v.y, y, tol);
    EXPECT_NEAR(v.z, z, tol);
}

void ExpectIdentity(const D3DXMATRIX& m)
{
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c)
            EXPECT_NEAR(m(r, c), r == c ? 1.0f : 0.0f, kTol) << r << "," << c;
}

// Camera at (0, 0, -10) looking at the origin, 90 degrees, square 200x200
// viewport: points at distance 10 in front map half way to the edges.
struct KnownCamera {
    D3DXMATRIX view, proj;
    D3DVIEWPORT9 viewport{0, 0, 200, 200, 0.0f, 1.0f};
    KnownCamera()
    {
        const D3DXVECTOR3 eye(0, 0, -10), at(0, 0, 0), up(0, 1, 0);
        D3DXMatrixLookAtLH(&view, &eye, &at, &up);
        D3DXMatrixPerspectiveFovLH(&proj, D3DX_PI / 2, 1.0f, 1.0f, 100.0f);
    }
};

TEST(D3DXMath, KnownCameraProjectsKnownPointsToKnownPixels)
{
    KnownCamera cam;
    struct Case {
        D3DXVECTOR3 point;
        float x, y, z;
    } cases[] = {
        {{0, 0, 0}, 100, 100, (10.0f - 1.0f) * (100.0f / 99.0f) / 10.0f},
        {{5, 0, 0}, 150, 100, (10.0f - 1.0f) * (100.0f / 99.0f) / 10.0f},
        {{0, 5, 0}, 100, 50, (10.0f - 1.0f) * (100.0f / 99.0f) / 10.0f},
        {{0, 0, 90}, 100, 100, 1.0f},  // on the far plane
        {{0, 0, -9}, 100, 100, 0.0f},  // on the near plane
    };
    for (const Case& c : cases) {
        D3DXVECTOR3 out;
        D3DXVec3Project(&out, &c.point, &cam.viewport, &cam.proj, &cam.view, nullptr);
        ExpectVec(out, c.x, c.y, c.z);
    }
}

TEST(D3DXMath, UnprojectOfProjectReturnsThePoint)
{
    KnownCamera cam;
    D3DXMATRIX world;
    D3DXMatrixTranslation(&world, 1, 2, 3);
    cam.viewport = D3DVIEWPORT9{10, 20, 640, 480, 0.0f, 1.0f};
    for (const D3DXVECTOR3& p : {D3DXVECTOR3(1, 2, 3), D3DXVECTOR3(-4, 0.5f, 20), D3DXVECTOR3(7, -3, 60)}) {
        D3DXVECTOR3 screen, back;
        D3DXVec3Project(&screen, &p, &cam.viewport, &cam.proj, &cam.view, &world);
        ASSERT_NE(D3DXVec3Unproject(&back, &screen, &cam.viewport, &cam.proj, &cam.view, &world), nullptr);
        ExpectVec(back, p.x, p.y, p.z, 2e-3f);
    }
}

TEST(D3DXMath, InverseTimesMatrixIsIdentity)
{
    D3DXMATRIX a, b, c, m, inv, product;
    const D3DXVECTOR3 axis(1, 2, 3);
    D3DXMatrixRotationAxis(&a, &axis, 0.7f);
    D3DXMatrixScaling(&b, 2, 3, 0.5f);
    D3DXMatrixTranslation(&c, 10, -4, 7);
    m = a * b * c;
    float det = 0;
    ASSERT_NE(D3DXMatrixInverse(&inv, &det, &m), nullptr);
    EXPECT_NEAR(det, 3.0f, kTol);
    ExpectIdentity(inv * m);
    ExpectIdentity(m * inv);

    KnownCamera cam;
    D3DXMatrixInverse(&inv, nullptr, &cam.proj);
    ExpectIdentity(cam.proj * inv);
    D3DXMatrixMultiply(&product, &cam.view, D3DXMatrixInverse(&inv, nullptr, &cam.view));
    ExpectIdentity(product);
}

TEST(D3DXMath, SingularMatrixHasNoInverse)
{
    D3DXMATRIX m, out;
    D3DXMatrixScaling(&m, 1, 0, 1);
    D3DXMatrixIdentity(&out);
    EXPECT_EQ(D3DXMatrixInverse(&out, nullptr, &m), nullptr);
    ExpectIdentity(out);
}

TEST(D3DXMath, ProductsApplyLeftMatrixFirst)
{
    D3DXMATRIX rotate, move;
    D3DXMatrixRotationZ(&rotate, D3DX_PI / 2); // x axis turns to y
    D3DXMatrixTranslation(&move, 10, 0, 0);
    const D3DXVECTOR3 p(1, 0, 0);
    D3DXVECTOR3 out;
    const D3DXMATRIX rotateThenMove = rotate * move;
    D3DXVec3TransformCoord(&out, &p, &rotateThenMove);
    ExpectVec(out, 10, 1, 0);
    D3DXVec3TransformNormal(&out, &p, &rotateThenMove);
    ExpectVec(out, 0, 1, 0);
}

TEST(D3DXMath, RotationsAreLeftHanded)
{
    struct Case {
        D3DXMATRIX* (*rotate)(D3DXMATRIX*, float);
        D3DXVECTOR3 from, to;
    } cases[] = {
        {D3DXMatrixRotationX, {0, 1, 0}, {0, 0, 1}},
        {D3DXMatrixRotationY, {0, 0, 1}, {1, 0, 0}},
        {D3DXMatrixRotationZ, {1, 0, 0}, {0, 1, 0}},
    };
    for (const Case& c : cases) {
        D3DXMATRIX m;
        D3DXVECTOR3 out;
        c.rotate(&m, D3DX_PI / 2);
        D3DXVec3TransformNormal(&out, &c.from, &m);
        ExpectVec(out, c.to.x, c.to.y, c.to.z);
    }
    // The general axis form agrees with the axis-aligned ones.
    D3DXMATRIX byAxis, byZ;
    const D3DXVECTOR3 z(0, 0, 5);
    D3DXMatrixRotationAxis(&byAxis, &z, 0.3f);
    D3DXMatrixRotationZ(&byZ, 0.3f);
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c)
            EXPECT_NEAR(byAxis(r, c), byZ(r, c), kTol);
}

TEST(D3DXMath, OrthoOffCenterMapsTheBoxToClipSpace)
{
    D3DXMATRIX m;
    D3DXMatrixOrthoOffCenterLH(&m, -40, 40, -40, 40, 0.2f, 1200);
    D3DXVECTOR3 out;
    const D3DXVECTOR3 corner(40, -40, 0.2f), far(-40, 40, 1200);
    D3DXVec3TransformCoord(&out, &corner, &m);
    ExpectVec(out, 1, -1, 0);
    D3DXVec3TransformCoord(&out, &far, &m);
    ExpectVec(out, -1, 1, 1);
}

TEST(D3DXMath, ReflectMirrorsInThePlane)
{
    D3DXPLANE plane;
    const D3DXVECTOR3 point(0, 5, 0), normal(0, 1, 0);
    D3DXPlaneFromPointNormal(&plane, &point, &normal);
    D3DXMATRIX m;
    D3DXMatrixReflect(&m, &plane);
    const D3DXVECTOR3 p(3, 8, -2);
    D3DXVECTOR3 out;
    D3DXVec3TransformCoord(&out, &p, &m);
    ExpectVec(out, 3, 2, -2);
}

TEST(D3DXMath, PlanesFromPointsAndNormals)
{
    D3DXPLANE plane;
    const D3DXVECTOR3 a(0, 2, 0), b(0, 2, 1), c(1, 2, 0);
    D3DXPlaneFromPoints(&plane, &a, &b, &c); // (b - a) x (c - a) = (0,0,1) x (1,0,0) = (0,1,0)
    EXPECT_NEAR(plane.b, 1, kTol);
    EXPECT_NEAR(plane.d, -2, kTol);
    const D3DXVECTOR3 above(5, 7, 5);
    EXPECT_NEAR(D3DXPlaneDotCoord(&plane, &above), 5, kTol);
}

TEST(D3DXMath, VectorBasics)
{
    const D3DXVECTOR3 x(1, 0, 0), y(0, 1, 0), v(3, 4, 0), zero(0, 0, 0);
    D3DXVECTOR3 out;
    D3DXVec3Cross(&out, &x, &y);
    ExpectVec(out, 0, 0, 1);
    EXPECT_FLOAT_EQ(D3DXVec3Length(&v), 5);
    EXPECT_FLOAT_EQ(D3DXVec3Dot(&v, &x), 3);
    D3DXVec3Normalize(&out, &v);
    ExpectVec(out, 0.6f, 0.8f, 0);
    D3DXVec3Normalize(&out, &zero);
    ExpectVec(out, 0, 0, 0);
}

TEST(D3DXMath, IntersectTriGivesBarycentricsAndDistance)
{
    const D3DXVECTOR3 p0(0, 0, 5), p1(2, 0, 5), p2(0, 2, 5);
    const D3DXVECTOR3 origin(0.5f, 0.5f, 0), forward(0, 0, 2), backward(0, 0, -1), miss(3, 3, 0);
    float u = 0, v = 0, d = 0;
    ASSERT_TRUE(D3DXIntersectTri(&p0, &p1, &p2, &origin, &forward, &u, &v, &d));
    EXPECT_NEAR(u, 0.25f, kTol);
    EXPECT_NEAR(v, 0.25f, kTol);
    EXPECT_NEAR(d, 2.5f, kTol); // in units of the direction's length
    EXPECT_FALSE(D3DXIntersectTri(&p0, &p1, &p2, &origin, &backward, &u, &v, &d));
    EXPECT_FALSE(D3DXIntersectTri(&p0, &p1, &p2, &miss, &forward, &u, &v, &d));
    // Both faces count.
    const D3DXVECTOR3 behind(0.5f, 0.5f, 10);
    EXPECT_TRUE(D3DXIntersectTri(&p0, &p1, &p2, &behind, &backward, &u, &v, &d));
}

TEST(D3DXMath, BoxBoundProbe)
{
    const D3DXVECTOR3 lo(-1, -1, -1), hi(1, 1, 1);
    struct Case {
        D3DXVECTOR3 from, dir;
        bool hit;
    } cases[] = {
        {{-5, 0, 0}, {1, 0, 0}, true},   {{-5, 0, 0}, {-1, 0, 0}, false}, {{0, 0, 0}, {0, 1, 0}, true},
        {{-5, 2, 0}, {1, 0, 0}, false},  {{-5, -5, 0}, {1, 1, 0}, true},  {{-5, -4, 0}, {1, 0.1f, 0}, false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(bool(D3DXBoxBoundProbe(&lo, &hi, &c.from, &c.dir)), c.hit) << c.from.x << "," << c.from.y;
}

TEST(D3DXMath, FvfVertexSizesOfTheGameFormats)
{
    const std::pair<DWORD, UINT> cases[] = {{0x102, 20}, {0x112, 32},      {0x142, 24},      {0x152, 36},
                                            {0x12, 24},  {0x140342, 48},   {0x140312, 56},   {0x252, 44},
                                            {0x144, 28}, {D3DFVF_XYZ, 12}, {0, 0}};
    for (const auto& [fvf, size] : cases)
        EXPECT_EQ(D3DXGetFVFVertexSize(fvf), size) << std::hex << fvf;
    EXPECT_EQ(D3DFVF_XYZ | D3DFVF_DIFFUSE | D3DFVF_TEX3 | D3DFVF_TEXCOORDSIZE3(1) | D3DFVF_TEXCOORDSIZE3(2),
              0x140342u);
}

} // namespace
