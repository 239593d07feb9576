// The OpenGL back end of the 3-D device as tests, benchmarks and tools see it.
//
// The device draws through OpenGL whenever the layer is not headless, in the
// SDL window's context. Tests can ask for it while headless: the device then
// makes an offscreen context of its own (no display server needed) and draws
// into the same targets, which can be read back.
//
// MORVAINE_SCREENSHOT=file.png writes the back buffer of the frame numbered
// by MORVAINE_SCREENSHOT_FRAME (default 1, counting Presents from 1) to that
// PNG file.
#pragma once

#include "platform/D3D9.h"

#include <cstdint>
#include <string>
#include <vector>

namespace plat {

// Draw through OpenGL even when headless (true), or back to the choice by
// IsHeadless (false). Read by the next CreateDevice.
void UseGlDevice(bool use);
bool GlDeviceChosen();

// A read-back image: 0xAARRGGBB pixels, top row first.
struct Pixels {
    UINT width = 0;
    UINT height = 0;
    std::vector<std::uint32_t> argb;
    std::uint32_t At(UINT x, UINT y) const { return argb[size_t(y) * width + x]; }
};

// Reads a render-target surface of a GL device (null: the back buffer).
// False on any other device or surface.
bool ReadRenderTarget(IDirect3DDevice9* device, IDirect3DSurface9* surface, Pixels* out);

// Waits until a GL device has finished every command given so far
// (benchmarks time whole frames with it).
void FinishGl(IDirect3DDevice9* device);

// Drops every compiled fixed-function and effect program of a GL device, so
// the next draws compile theirs again (benchmarks of the program cache).
void ClearProgramCache(IDirect3DDevice9* device);
size_t ProgramCacheSize(IDirect3DDevice9* device);

// True for a device that compiles programs for its states (the GL device).
bool CompilesPrograms(IDirect3DDevice9* device);

// Told of every GL program a device compiles, with what it was for and how
// long the compile took (the game logs them while its debug output is on).
// Null stops the reports.
using ShaderCompileListener = void (*)(const char* what, double milliseconds);
void SetShaderCompileListener(ShaderCompileListener listener);

// PNG files of such images (8-bit RGBA).
bool WritePng(const char* path, const Pixels& image);
bool ReadPng(const char* path, Pixels* out);

} // namespace plat
