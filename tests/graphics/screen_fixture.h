// A headless device attached to the 2-D drawing, with helpers that read back
// what the drawing operations recorded.
#pragma once

#include "graphics/D3DRender.h"
#include "graphics/ScreenVertex.h"
#include "platform/D3D9Recording.h"
#include "support/HeadlessDevice.h"

#include <gtest/gtest.h>

#include <cstring>
#include <initializer_list>
#include <memory>
#include <vector>

namespace test {

class ScreenDrawTest : public ::testing::Test {
protected:
    void SetUp() override { Attach(800, 600); }
    void TearDown() override
    {
        g_D3DRender.m_pDevice = nullptr;
        m_headless.reset();
    }

    // A fresh device with a back buffer of the given size, used by the
    // renderer with the scale of that size.
    void Attach(UINT width, UINT height)
    {
        TearDown();
        plat::ResetHeadlessAdapterScript();
        m_headless = std::make_unique<HeadlessDevice>(width, height);
        m_device = m_headless->Get();
        ASSERT_NE(m_device, nullptr);
        g_D3DRender.m_pDevice = m_device;
        g_D3DRender.m_fScaleX = width / 800.0f;
        g_D3DRender.m_fScaleY = height / 600.0f;
        for (DWORD& faces : g_D3DRender.m_nFacesPerFrame)
            faces = 0;
        ForgetStates();
    }

    // The renderer's cached states and texture emptied, so the next set of
    // each reaches the device (and its log).
    static void ForgetStates()
    {
        for (DWORD* cache : {&g_D3DRender.m_nZWriteEnable, &g_D3DRender.m_nZEnable, &g_D3DRender.m_nLighting,
                             &g_D3DRender.m_nSrcBlend, &g_D3DRender.m_nDestBlend, &g_D3DRender.m_nAlphaBlendEnable,
                             &g_D3DRender.m_nFogEnable})
            *cache = RENDER_STATE_UNSET;
        g_D3DRender.m_nCachedTexture = INVALID_TEXTURE_ID;
        g_D3DRender.m_nFillMode = D3DFILL_SOLID;
    }

    // Faces counted for the main pass.
    static DWORD DrawnFaces() { return g_D3DRender.m_nFacesPerFrame[0]; }

    // The device's log emptied and the renderer's caches forgotten.
    void ClearLog()
    {
        plat::RecordedCalls(m_device).Clear();
        ForgetStates();
    }
    plat::DeviceLog& Log() { return plat::RecordedCalls(m_device); }

    std::vector<plat::D3DCall> Draws() const
    {
        std::vector<plat::D3DCall> draws;
        for (const plat::D3DCall& c : plat::RecordedCalls(m_device).Calls())
            if (c.op == plat::D3DOp::DrawPrimitiveUP || c.op == plat::D3DOp::DrawIndexedPrimitiveUP)
                draws.push_back(c);
        return draws;
    }

    template <typename Vertex>
    static std::vector<Vertex> VerticesOf(const plat::D3DCall& draw)
    {
        std::vector<Vertex> out(draw.data.size() / sizeof(Vertex));
        if (!out.empty())
            std::memcpy(out.data(), draw.data.data(), out.size() * sizeof(Vertex));
        return out;
    }

    // The render states set since the log was cleared, as (state, value).
    std::vector<std::pair<DWORD, DWORD>> StatesSet() const
    {
        std::vector<std::pair<DWORD, DWORD>> out;
        for (const plat::D3DCall& c : plat::RecordedCalls(m_device).Of(plat::D3DOp::SetRenderState))
            out.emplace_back(c.a, c.b);
        return out;
    }

    bool StateSet(DWORD state, DWORD* value = nullptr) const
    {
        DWORD v = 0;
        const bool set = plat::RecordedCalls(m_device).LastRenderState(state, &v);
        if (value)
            *value = v;
        return set;
    }

    std::unique_ptr<HeadlessDevice> m_headless;
    IDirect3DDevice9* m_device = nullptr;
};

} // namespace test
