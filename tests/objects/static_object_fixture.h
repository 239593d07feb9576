// Static objects over the headless device: loose description files written
// with the sample data writers, a camera at a known place as the current
// camera, and the settings the sample "Game.ini" has.
#pragma once

#include "graphics/mesh_fixture.h"

#include "objects/StaticObject.h"
#include "platform/Win32Window.h"
#include "shell/Game.h"
#include "shell/RenderPasses.h"
#include "writers/ObjectDescriptions.h"
#include "writers/ObjectMeshes.h"
#include "writers/ObjectTextures.h"

namespace test {

class StaticObjectTest : public MeshTest {
protected:
    void SetUp() override
    {
        MeshTest::SetUp();
        g_nViewDistance = 600;
        g_bGlow = 1;
        g_WaterPassActive = g_CubePassActive = g_ShadowPassActive = 0;
        // At (0, 2, -50) looking along +z, 60 degrees wide.
        m_camera.SetProjection(1.0472f, 4.0f / 3.0f, 0.2f, 600.0f);
        const D3DXVECTOR3 eye(0, 2, -50), target(0, 2, 0), up(0, 1, 0);
        m_camera.SetView(&eye, &target, &up);
        m_camera.m_nMode = 0;
        m_camera.m_pTarget = nullptr;
        m_savedCamera = g_Game.m_pCamera;
        g_Game.m_pCamera = &m_camera;
        WriteTexture("Data/Test/Tex.dds");
    }
    void TearDown() override
    {
        g_Game.m_pCamera = m_savedCamera;
        g_WaterPassActive = g_CubePassActive = g_ShadowPassActive = 0;
        g_D3DRender.m_TextureManager.ReleaseAllTextures();
        MeshTest::TearDown();
    }

    void WriteTexture(const std::string& name, std::uint32_t argb = 0xFF808080u)
    {
        WriteRaw(name, tools::EncodeObjectTexture(tools::SolidImage(8, 8, argb)));
    }
    std::string WriteDescription(const std::string& name, const std::string& text) { return WriteRaw(name, text); }

    // A description of the given class and type with a box mesh, the test
    // texture and the sections the caller adds; the "//--" line is left to
    // the caller.
    static tools::DescriptionWriter Head(const char* cls, const char* type, const char* mesh = "Data/Test/Box.msh")
    {
        tools::DescriptionWriter w;
        w.Head({"Test", cls, type, "Test car", mesh, "Data/Test/Tex.dds"});
        return w;
    }
    void WriteBoxMesh(const char* name = "Data/Test/Box.msh")
    {
        Write(name, tools::BuildingMesh(2.0f, 2.0f, 2.0f));
    }

    int UsedTextureSlots() const
    {
        int n = 0;
        for (IDirect3DTexture9* t : g_D3DRender.m_TextureManager.m_pTextures)
            n += t != nullptr;
        return n;
    }

    CWorldCamera m_camera;
    CWorldCamera* m_savedCamera = nullptr;
};

} // namespace test
