// A drawing device at a small size for pixel tests: OpenGL on an offscreen
// context, no display needed.
#pragma once

#include "platform/D3D9Gl.h"
#include "platform/D3DX9.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace gltest {

inline constexpr UINT kWidth = 128;
inline constexpr UINT kHeight = 96;

// The vertex of the screen drawing: pixels, depth, 1/w, colour, texture.
struct ScreenVertex {
    float x, y, z, rhw;
    D3DCOLOR color;
    float u, v;
};
inline constexpr DWORD kScreenFvf = D3DFVF_XYZRHW | D3DFVF_DIFFUSE | D3DFVF_TEX1;

// A lit vertex of the world: position, normal, texture.
struct LitVertex {
    float x, y, z, nx, ny, nz, u, v;
};
inline constexpr DWORD kLitFvf = D3DFVF_XYZ | D3DFVF_NORMAL | D3DFVF_TEX1;

class GlDeviceTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Two triangles covering x0..x1, y0..y1 in pixels, drawn from memory.
    void DrawRect(float x0, float y0, float x1, float y1, D3DCOLOR color, float u0 = 0, float v0 = 0, float u1 = 1,
                  float v1 = 1);
    plat::Pixels Frame(IDirect3DSurface9* surface = nullptr);
    // A render-target texture of the back buffer's format and its level 0
    // (both held by the caller).
    void MakeTarget(UINT width, UINT height, IDirect3DTexture9** texture, IDirect3DSurface9** level);
    // A managed A8R8G8B8 texture filled with pixels (row by row).
    IDirect3DTexture9* MakeTexture(UINT width, UINT height, const std::vector<std::uint32_t>& argb);

    IDirect3D9* d3d = nullptr;
    IDirect3DDevice9* device = nullptr;
};

// The device with a camera at z = -5 looking at the origin (60 degree field,
// near 1, far 100) and a cleared black frame.
class SceneTest : public GlDeviceTest {
protected:
    void SetUp() override;
    // A quad in the z plane facing the camera, clockwise as seen from it.
    void DrawQuad(float half = 1.0f, float z = 0.0f);

    D3DXMATRIX proj;
};

// Channel difference above tolerance in more than maxPixels pixels fails;
// the actual image and a difference image are then written next to the
// test binary (gl-failures/<name>-actual.png, -diff.png).
::testing::AssertionResult ImagesMatch(const std::string& name, const plat::Pixels& actual,
                                       const plat::Pixels& expected, int tolerance, size_t maxPixels);
// Compares with tests/gl/ref/<name>.png; MORVAINE_UPDATE_REFERENCES=1 writes
// the reference instead.
::testing::AssertionResult MatchesReference(const std::string& name, const plat::Pixels& actual, int tolerance = 3,
                                            size_t maxPixels = 16);

// Channels of a pixel.
inline int Red(std::uint32_t p) { return int((p >> 16) & 0xFF); }
inline int Green(std::uint32_t p) { return int((p >> 8) & 0xFF); }
inline int Blue(std::uint32_t p) { return int(p & 0xFF); }
inline int Alpha(std::uint32_t p) { return int(p >> 24); }
// True when every channel is within tolerance.
bool Near(std::uint32_t a, std::uint32_t b, int tolerance = 2);

} // namespace gltest
