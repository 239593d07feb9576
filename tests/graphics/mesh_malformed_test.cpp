// Mesh files are untrusted: every damaged file fails like a missing one,
// with the error box, and nothing is read outside the file's bytes.
#include "mesh_fixture.h"

#include <functional>
#include <limits>

namespace {

using test::MeshTest;

void PutU32(std::string* bytes, std::size_t offset, std::uint32_t value)
{
    std::memcpy(bytes->data() + offset, &value, 4);
}

tools::MeshData BoxMesh()
{
    tools::MeshData data;
    data.parts[0] = tools::BoxPart({0, 0, 0}, {1, 1, 1});
    data.parts[0].points = {{1, 1, 1}};
    return data;
}

// Part 0 with one frame of the given vertices and no other part.
std::string OnePart(std::size_t vertices, std::vector<std::uint16_t> indices)
{
    tools::MeshData data;
    data.parts[0].frames.resize(1);
    data.parts[0].frames[0].resize(vertices, tools::MeshFileVertex{{0, 0, 0}, {0, 1, 0}, 0, 0});
    data.parts[0].indices = std::move(indices);
    return tools::EncodeMesh(data);
}

// A triangle whose second vertex sits at the given coordinate on one axis.
std::string TriangleWith(float coordinate, int axis)
{
    tools::MeshData data;
    data.parts[0].frames.resize(1);
    data.parts[0].frames[0].resize(3, tools::MeshFileVertex{{0, 0, 0}, {0, 1, 0}, 0, 0});
    data.parts[0].frames[0][2].position[0] = 1.0f;
    data.parts[0].frames[0][1].position[axis] = coordinate;
    data.parts[0].indices = {0, 1, 2};
    return tools::EncodeMesh(data);
}

struct DamageCase {
    const char* what;
    std::function<std::string()> bytes;
};

const DamageCase kDamage[] = {
    {"empty file", [] { return std::string(); }},
    {"header cut short", [] { return tools::EncodeMesh(BoxMesh()).substr(0, 191); }},
    {"points block cut short",
     [] {
         std::string b = tools::EncodeMesh(BoxMesh());
         return b.substr(0, b.size() - 1);
     }},
    {"frame count past the file",
     [] {
         std::string b = tools::EncodeMesh(BoxMesh());
         PutU32(&b, tools::MeshFramesOffset(0), 0xFFFFFFFFu);
         return b;
     }},
    {"vertex count past the file",
     [] {
         std::string b = tools::EncodeMesh(BoxMesh());
         PutU32(&b, tools::MeshVerticesOffset(0), 25);
         return b;
     }},
    {"triangle count past the file",
     [] {
         std::string b = tools::EncodeMesh(BoxMesh());
         PutU32(&b, tools::MeshTrianglesOffset(0), 0x40000000u);
         return b;
     }},
    {"point count past the file",
     [] {
         std::string b = tools::EncodeMesh(BoxMesh());
         PutU32(&b, b.size() - 12 - 64, 0x20000000u);
         return b;
     }},
    {"more than 65535 vertices", [] { return OnePart(65536, {0, 1, 2}); }},
    {"index at the vertex count", [] { return OnePart(3, {0, 1, 3}); }},
    {"index far past the vertices", [] { return OnePart(3, {0, 0xFFFF, 1}); }},
    {"present part without triangles", [] { return OnePart(3, {}); }},
    {"present part without vertices", [] { return OnePart(0, {}); }},
    {"position not a number", [] { return TriangleWith(std::numeric_limits<float>::quiet_NaN(), 0); }},
    {"infinite position", [] { return TriangleWith(-std::numeric_limits<float>::infinity(), 2); }},
};

TEST_F(MeshTest, DamagedFilesFailLikeMissingOnes)
{
    for (const DamageCase& c : kDamage) {
        SCOPED_TRACE(c.what);
        std::remove("debug.txt");
        const std::string name = WriteRaw("Data/Bad.msh", c.bytes());
        EXPECT_EQ(g_MeshContainer.LoadMesh(name.c_str(), 0, D3DXMESH_MANAGED, 0), nullptr);
        EXPECT_NE(Log().find("Open mesh file 'Data/Bad.msh' error!"), std::string::npos);
        ASSERT_NE(g_MeshContainer.m_pHead, nullptr);
        EXPECT_EQ(g_MeshContainer.m_pHead->m_nFrames[0], 0u);
        EXPECT_EQ(g_MeshContainer.m_pHead->m_ppMeshes[0], nullptr);
        g_MeshContainer.Release();
    }
}

// Huge but finite positions are a mesh like any other: welding them for the
// vertex cache must not overflow its grid (the sanitizers watch for it).
TEST_F(MeshTest, HugePositionsLoadWithOptimisation)
{
    const float huge = std::numeric_limits<float>::max();
    const float values[] = {huge, -huge, 1e30f, -1e20f};
    for (const float v : values) {
        for (int axis = 0; axis < 3; ++axis) {
            const std::string name = WriteRaw("Data/Huge.msh", TriangleWith(v, axis));
            CMeshRecord* r = g_MeshContainer.LoadMesh(name.c_str(), 0, D3DXMESH_MANAGED, 1);
            ASSERT_NE(r, nullptr) << v << " " << axis;
            EXPECT_EQ(r->m_ppMeshes[0][0]->GetNumFaces(), 1u);
            g_MeshContainer.Release();
        }
    }
}

TEST_F(MeshTest, LargestValidPartLoads)
{
    const std::string name = WriteRaw("Data/Big.msh", OnePart(65535, {0, 65534, 1}));
    CMeshRecord* r = g_MeshContainer.LoadMesh(name.c_str(), 4, D3DXMESH_MANAGED, 0);
    ASSERT_NE(r, nullptr);
    EXPECT_EQ(r->m_ppMeshes[0][0]->GetNumVertices(), 65535u);
}

TEST_F(MeshTest, BadFormatOrOverlongNameIsRefusedWithoutARecord)
{
    Write("Data/Box.msh", BoxMesh());
    EXPECT_EQ(g_MeshContainer.LoadMesh("Data/Box.msh", 8, D3DXMESH_MANAGED, 0), nullptr);
    EXPECT_EQ(g_MeshContainer.LoadMesh(std::string(256, 'a').c_str(), 0, D3DXMESH_MANAGED, 0), nullptr);
    EXPECT_EQ(g_MeshContainer.LoadMesh(nullptr, 0, D3DXMESH_MANAGED, 0), nullptr);
    EXPECT_EQ(RecordCount(), 0);
    EXPECT_NE(Log().find("Open mesh file 'Data/Box.msh' error!"), std::string::npos);
    // 255 characters still fit the record's name.
    const std::string longest = "Data/" + std::string(246, 'b') + ".msh";
    ASSERT_EQ(longest.size(), 255u);
    Write(longest, BoxMesh());
    CMeshRecord* r = g_MeshContainer.LoadMesh(longest.c_str(), 0, D3DXMESH_MANAGED, 0);
    ASSERT_NE(r, nullptr);
    EXPECT_STREQ(r->m_szName, longest.c_str());
}

// The failed record stays listed (and is reported at shut-down), but it is
// never handed out as a loaded mesh.
TEST_F(MeshTest, MissingFileKeepsAnEmptyRecordThatIsNeverHandedOut)
{
    EXPECT_EQ(g_MeshContainer.LoadMesh("Data/None.msh", 0, D3DXMESH_MANAGED, 0), nullptr);
    EXPECT_NE(Log().find("Open mesh file 'Data/None.msh' error!"), std::string::npos);
    ASSERT_EQ(RecordCount(), 1);
    EXPECT_EQ(g_MeshContainer.LoadMesh("Data/None.msh", 0, D3DXMESH_MANAGED, 0), nullptr);
    EXPECT_EQ(RecordCount(), 1);
    EXPECT_EQ(g_MeshContainer.m_pHead->m_nRefCount, 1u);
    EXPECT_EQ(g_MeshContainer.m_nNextId, 1u);
}

} // namespace
