// A headless device set as the renderer's, loose files in a fresh folder,
// the log on, and small mesh files written on demand.
#pragma once

#include "graphics/D3DRender.h"
#include "graphics/MeshContainer.h"
#include "platform/D3D9Recording.h"
#include "shell/FileManager.h"
#include "shell/Log.h"
#include "shell/Settings.h"
#include "support/HeadlessDevice.h"
#include "support/TempDir.h"
#include "writers/MeshWriter.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <filesystem>
#include <string>

namespace test {

class MeshTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        g_bFileManager = 0;
        g_FileManager.Init();
        // The mesh table remembers a name that failed to load for the rest of
        // the run; a test that writes its files starts from an empty table,
        // as the program does, not from what an earlier test failed to find.
        g_MeshContainer.Release();
        g_bDebugLog = 1;
        ASSERT_NE(m_device, nullptr);
        g_D3DRender.m_pDevice = m_device;
    }
    void TearDown() override
    {
        g_MeshContainer.Release();
        g_MeshContainer.m_nNextId = 0;
        g_D3DRender.m_pDevice = nullptr;
        g_bDebugLog = 0;
        g_bFileManager = 1;
    }

    // Writes the mesh as a loose file and returns its name.
    std::string Write(const std::string& name, const tools::MeshData& mesh)
    {
        WriteRaw(name, tools::EncodeMesh(mesh));
        return name;
    }
    std::string WriteRaw(const std::string& name, const std::string& bytes)
    {
        std::filesystem::create_directories(std::filesystem::path(name).parent_path());
        WriteWholeFile(name, bytes);
        return name;
    }
    std::string Log() const { return ReadWholeFile("debug.txt"); }
    int RecordCount() const
    {
        int n = 0;
        for (const CMeshRecord* r = g_MeshContainer.m_pHead; r; r = r->m_pNext)
            ++n;
        return n;
    }

    ScopedTempDir m_dir;
    HeadlessDevice m_headless;
    IDirect3DDevice9* m_device = m_headless.Get();
};

// One triangle whose vertices carry distinct positions, normals and uvs.
inline tools::MeshPartData TrianglePart(float offset = 0.0f)
{
    tools::MeshPartData part;
    part.frames.push_back({
        {{offset + 0, 0, 0}, {0, 0, -1}, 0.25f, 0.5f},
        {{offset + 0, 1, 0}, {0, 1, 0}, 0.75f, 0.125f},
        {{offset + 1, 1, 0}, {1, 0, 0}, 1.0f, 0.0f},
    });
    part.indices = {0, 1, 2};
    return part;
}

inline std::uint32_t ReadU32(const std::uint8_t* p)
{
    std::uint32_t v;
    std::memcpy(&v, p, 4);
    return v;
}

inline float ReadF32(const std::uint8_t* p)
{
    float v;
    std::memcpy(&v, p, 4);
    return v;
}

} // namespace test
