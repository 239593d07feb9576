#include "shell/VectorHelpers.h"

#include <LinearMath/btTransform.h>
#include <gtest/gtest.h>

#include <cstdint>

namespace {

void ExpectVec(const D3DXVECTOR3& v, float x, float y, float z)
{
    EXPECT_NEAR(v.x, x, 1e-5f);
    EXPECT_NEAR(v.y, y, 1e-5f);
    EXPECT_NEAR(v.z, z, 1e-5f);
}

TEST(VectorHelpers, NormalizeKeepsAZeroVectorZero)
{
    D3DXVECTOR3 out(9, 9, 9);
    const D3DXVECTOR3 zero(0, 0, 0);
    Vec3Normalize(&out, &zero);
    ExpectVec(out, 0, 0, 0);
    const D3DXVECTOR3 v(3, 0, 4);
    Vec3Normalize(&out, &v);
    ExpectVec(out, 0.6f, 0, 0.8f);
    EXPECT_FLOAT_EQ(Vec3Distance(&v, &zero), 5.0f);
}

TEST(VectorHelpers, ColourScaling)
{
    const D3DXCOLOR4 c{2, 1, 0, 1};
    D3DXCOLOR4 out{};
    ColorScaleToLimit(&out, &c, 1.0f);
    EXPECT_FLOAT_EQ(out.r, 1.0f);
    EXPECT_FLOAT_EQ(out.g, 0.5f);
    EXPECT_FLOAT_EQ(out.b, 0.0f);
    EXPECT_FLOAT_EQ(out.a, 0.5f);
    ColorScaleToLimit(&out, &c, 4.0f);
    EXPECT_FLOAT_EQ(out.r, 2.0f);
    EXPECT_FLOAT_EQ(out.a, 1.0f);
    ColorNormalizeToMax(&out, &c);
    EXPECT_FLOAT_EQ(out.r, 1.0f);
    EXPECT_FLOAT_EQ(out.g, 0.5f);
    EXPECT_FLOAT_EQ(out.a, 1.0f);
}

TEST(VectorHelpers, LookAtMatrix)
{
    D3DXMATRIX m;
    const D3DXVECTOR3 origin(0, 0, 0);
    const D3DXVECTOR3 ahead(0, 0, 1);
    const D3DXVECTOR3 up(0, 1, 0);
    BuildLookAtMatrix(&m, &origin, &ahead, &up);
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c)
            EXPECT_NEAR(m.m[r][c], r == c ? 1.0f : 0.0f, 1e-6f) << r << "," << c;

    // A tilted up vector is made perpendicular to the facing direction.
    const D3DXVECTOR3 position(5, 1, 2);
    const D3DXVECTOR3 target(5, 1, 12);
    const D3DXVECTOR3 tilted(0, 1, 1);
    BuildLookAtMatrix(&m, &position, &target, &tilted);
    ExpectVec(D3DXVECTOR3(m.m[1][0], m.m[1][1], m.m[1][2]), 0, 1, 0);
    ExpectVec(D3DXVECTOR3(m.m[0][0], m.m[0][1], m.m[0][2]), 1, 0, 0);
    ExpectVec(D3DXVECTOR3(m.m[3][0], m.m[3][1], m.m[3][2]), 5, 1, 2);
}

TEST(VectorHelpers, SideDirectionPointsRightOfTheWayAhead)
{
    D3DXVECTOR3 side;
    const D3DXVECTOR3 from(0, 0, 0);
    const D3DXVECTOR3 to(0, 0, 10);
    const D3DXVECTOR3 up(0, 1, 0);
    Vec3SideDirection(&side, &from, &to, &up);
    ExpectVec(side, 1, 0, 0);
}

TEST(VectorHelpers, BoxCornersAreAllocatedOnceAndTransformed)
{
    D3DXVECTOR3* corners = nullptr;
    D3DXMATRIX move;
    D3DXMatrixTranslation(&move, 10, 0, 0);
    const D3DXVECTOR3 origin(0, 0, 0);
    const D3DXVECTOR3 size(1, 2, 3);
    D3DXVECTOR3* first = ComputeBoxCorners(&corners, &origin, &size, &move);
    D3DXVECTOR3* second = ComputeBoxCorners(&corners, &origin, &size, &move);
    EXPECT_EQ(first, second);
    ExpectVec(corners[0], 10, 0, 0);
    ExpectVec(corners[1], 10, 0, 3);
    ExpectVec(corners[7], 11, 2, 3);
    ExpectVec(g_BoxCorners[7], 1, 2, 3);
    delete[] corners;
}

TEST(VectorHelpers, EdgesAddedTwiceCancel)
{
    std::uint16_t edges[8][2] = {};
    int count = 0;
    AddOrRemoveEdge(edges, &count, 1, 2);
    AddOrRemoveEdge(edges, &count, 3, 7);
    AddOrRemoveEdge(edges, &count, 4, 5);
    AddOrRemoveEdge(edges, &count, 7, 3);
    ASSERT_EQ(count, 2);
    EXPECT_EQ(edges[0][0], 1);
    EXPECT_EQ(edges[1][0], 4) << "the last edge fills the gap";
    AddOrRemoveEdge(edges, &count, 2, 1);
    AddOrRemoveEdge(edges, &count, 5, 4);
    EXPECT_EQ(count, 0);
}

TEST(VectorHelpers, PhysicsTransformsRoundTrip)
{
    D3DXMATRIX rotation;
    D3DXMATRIX translation;
    D3DXMATRIX m;
    const D3DXVECTOR3 axis(0.3f, 1.0f, -0.2f);
    D3DXVECTOR3 unit;
    D3DXVec3Normalize(&unit, &axis);
    D3DXMatrixRotationAxis(&rotation, &unit, 0.7f);
    D3DXMatrixTranslation(&translation, 4, -2, 9);
    D3DXMatrixMultiply(&m, &rotation, &translation);

    btTransform t;
    MatrixToBtTransform(&m, &t);
    // Both move a point to the same place.
    const D3DXVECTOR3 p(1, 2, 3);
    D3DXVECTOR3 expected;
    D3DXVec3TransformCoord(&expected, &p, &m);
    const btVector3 moved = t * btVector3(1, 2, 3);
    ExpectVec(D3DXVECTOR3(moved.x(), moved.y(), moved.z()), expected.x, expected.y, expected.z);

    D3DXMATRIX back;
    BtTransformToMatrix(&t, &back);
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c)
            EXPECT_NEAR(back.m[r][c], m.m[r][c], 1e-5f);
}

} // namespace
