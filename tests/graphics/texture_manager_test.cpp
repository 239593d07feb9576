// The texture table: sharing by name, reference counts, the ".bmp" rules,
// archive and loose files, a full table, and ids outside the table.
#include "render_fixture.h"

#include "writers/ArchiveWriter.h"
#include "writers/ImageWriters.h"

#include <filesystem>

namespace {

class TextureManagerTest : public test::StartedRenderTest {
protected:
    void SetUp() override
    {
        test::StartedRenderTest::SetUp();
        WriteTexture("Data/Cars/Paint.dds");
    }

    static void WriteTexture(const std::string& path)
    {
        std::filesystem::create_directories(std::filesystem::path(path).parent_path());
        const tools::ArgbImage image = tools::SolidImage(4, 4, 0xFF336699u);
        const std::string ext = std::filesystem::path(path).extension().string();
        const std::string bytes = ext == ".jpg"   ? tools::EncodeJpeg(image, 90)
                                  : ext == ".bmp" ? tools::EncodeBmp(image, 24)
                                                  : tools::EncodeDds({image}, tools::DdsPixels::A8R8G8B8, 1);
        ASSERT_TRUE(tools::WriteImageFile(path, bytes));
    }

    CTextureManager& Table() { return g_D3DRender.m_TextureManager; }

    D3DFORMAT FormatOf(TextureId id)
    {
        D3DSURFACE_DESC desc{};
        g_D3DRender.GetTexture(id)->GetLevelDesc(0, &desc);
        return desc.Format;
    }

    int SlotsInUse()
    {
        int n = 0;
        for (IDirect3DTexture9* t : Table().m_pTextures)
            n += t != nullptr;
        return n;
    }
};

TEST_F(TextureManagerTest, NameIsLoadedOnceAndCountedPerUser)
{
    const TextureId a = g_D3DRender.LoadTexture("Data/Cars/Paint.dds");
    ASSERT_NE(a, INVALID_TEXTURE_ID);
    EXPECT_EQ(g_D3DRender.LoadTexture("Data/Cars/Paint.dds"), a);
    EXPECT_EQ(g_D3DRender.LoadTexture("Data/Cars/Paint.dds"), a);
    EXPECT_EQ(Table().m_nRefCount[a], 3u);
    g_D3DRender.ReleaseTexture(a);
    g_D3DRender.ReleaseTextureByName("Data/Cars/Paint.dds");
    EXPECT_EQ(Table().m_nRefCount[a], 1u);
    EXPECT_NE(g_D3DRender.GetTexture(a), nullptr);
    EXPECT_STREQ(Table().GetTextureName(a), "Data/Cars/Paint.dds");
    g_D3DRender.ReleaseTexture(a);
    EXPECT_EQ(g_D3DRender.GetTexture(a), nullptr);
    EXPECT_STREQ(Table().GetTextureName(a), "");
    EXPECT_EQ(Table().FindTexture("Data/Cars/Paint.dds"), INVALID_TEXTURE_ID);
}

TEST_F(TextureManagerTest, NamesAreComparedExactly)
{
    const TextureId a = g_D3DRender.LoadTexture("Data/Cars/Paint.dds");
    EXPECT_EQ(Table().FindTexture("data/cars/paint.dds"), INVALID_TEXTURE_ID);
    EXPECT_EQ(Table().FindTexture("Data/Cars/Paint.dd"), INVALID_TEXTURE_ID);
    EXPECT_EQ(Table().FindTexture(nullptr), INVALID_TEXTURE_ID);
    g_D3DRender.ReleaseTexture(a);
}

TEST_F(TextureManagerTest, ShutDownReportsTexturesItsOwnersDidNotGiveBack)
{
    const TextureId once = g_D3DRender.LoadTexture("Data/Cars/Paint.dds");
    WriteTexture("Data/Cars/Rim.dds");
    const TextureId twice = g_D3DRender.LoadTexture("Data/Cars/Rim.dds");
    g_D3DRender.LoadTexture("Data/Cars/Rim.dds");
    g_D3DRender.ReleaseAllTextures();
    const std::string log = Log();
    EXPECT_NE(log.find("\tCTextureManager::ReleaseAllTextures() start..."), std::string::npos);
    EXPECT_NE(log.find("\t\tTexture lost! (ID: " + std::to_string(once) + "; REF: 1; Name: Data/Cars/Paint.dds"),
              std::string::npos)
        << log;
    EXPECT_NE(log.find("\t\tTexture lost! (ID: " + std::to_string(twice) + "; REF: 2; Name: Data/Cars/Rim.dds"),
              std::string::npos);
    EXPECT_NE(log.find("\tCTextureManager::ReleaseAllTextures() done!"), std::string::npos);
    EXPECT_EQ(g_D3DRender.GetTexture(once), nullptr);
    EXPECT_NE(g_D3DRender.GetTexture(twice), nullptr);
    EXPECT_EQ(Table().m_nRefCount[twice], 1u);
    g_D3DRender.ReleaseTexture(twice);
}

TEST_F(TextureManagerTest, BmpNameReadsTheJpegAndKeepsItsOwnName)
{
    WriteTexture("Data/Cars/Decal.jpg");
    const TextureId id = g_D3DRender.LoadTexture("Data/Cars/Decal.bmp");
    ASSERT_NE(id, INVALID_TEXTURE_ID);
    EXPECT_STREQ(Table().GetTextureName(id), "Data/Cars/Decal.bmp");
    EXPECT_EQ(FormatOf(id), D3DFMT_R5G6B5);
    EXPECT_EQ(g_D3DRender.LoadTexture("Data/Cars/Decal.bmp"), id);
    EXPECT_EQ(Table().m_nRefCount[id], 2u);
    g_D3DRender.ReleaseTexture(id);
    g_D3DRender.ReleaseTexture(id);
}

TEST_F(TextureManagerTest, BmpNameReadsTheBmpWhenConversionIsOff)
{
    g_bBmpToJpg = 0;
    WriteTexture("Data/Cars/Decal.jpg");
    EXPECT_EQ(g_D3DRender.LoadTexture("Data/Cars/Decal.bmp"), INVALID_TEXTURE_ID);
    WriteTexture("Data/Cars/Decal.bmp");
    const TextureId id = g_D3DRender.LoadTexture("Data/Cars/Decal.bmp");
    ASSERT_NE(id, INVALID_TEXTURE_ID);
    EXPECT_EQ(FormatOf(id), D3DFMT_R5G6B5);
    g_D3DRender.ReleaseTexture(id);
}

TEST_F(TextureManagerTest, FirstBmpAnywhereInTheNameDecides)
{
    WriteTexture("Data/Old.jpgfiles/Sign.dds");
    const TextureId id = g_D3DRender.LoadTexture("Data/Old.bmpfiles/Sign.dds");
    ASSERT_NE(id, INVALID_TEXTURE_ID);
    EXPECT_EQ(FormatOf(id), D3DFMT_R5G6B5);
    const TextureId plain = g_D3DRender.LoadTexture("Data/Cars/Paint.dds");
    EXPECT_EQ(FormatOf(plain), D3DFMT_A8R8G8B8);
    g_D3DRender.ReleaseTexture(id);
    g_D3DRender.ReleaseTexture(plain);
}

TEST_F(TextureManagerTest, ArchiveFirstThenTheLooseFile)
{
    ASSERT_TRUE(tools::PackDataTree("."));
    std::filesystem::remove("Data/Cars/Paint.dds"); // now only in the archive
    WriteTexture("Data/Late/Added.dds");            // only loose
    g_bFileManager = 1;
    g_FileManager.Init();
    const TextureId packed = g_D3DRender.LoadTexture("Data/Cars/Paint.dds");
    const TextureId loose = g_D3DRender.LoadTexture("Data/Late/Added.dds");
    EXPECT_NE(packed, INVALID_TEXTURE_ID);
    EXPECT_NE(loose, INVALID_TEXTURE_ID);
    EXPECT_EQ(g_D3DRender.LoadTexture("Data/Late/Missing.dds"), INVALID_TEXTURE_ID);
    g_D3DRender.ReleaseTexture(packed);
    g_D3DRender.ReleaseTexture(loose);
    g_bFileManager = 0;
    g_FileManager.Init();
}

TEST_F(TextureManagerTest, DamagedFileFailsWithoutTakingASlot)
{
    test::WriteWholeFile("Data/Cars/Broken.dds", "DDS |not really");
    const int before = SlotsInUse();
    EXPECT_EQ(g_D3DRender.LoadTexture("Data/Cars/Broken.dds"), INVALID_TEXTURE_ID);
    EXPECT_EQ(SlotsInUse(), before);
}

TEST_F(TextureManagerTest, FullTableRefusesTheNextTextureAndStaysUnchanged)
{
    // Every free slot but one holds a reference to one texture.
    IDirect3DTexture9* filler = g_D3DRender.GetTexture(g_D3DRender.m_nWhiteTexture);
    int freeSlots = 0;
    for (int i = 0; i < MAX_TEXTURES; ++i) {
        if (Table().m_pTextures[i] || ++freeSlots == 1)
            continue;
        filler->AddRef();
        Table().m_pTextures[i] = filler;
        Table().m_nRefCount[i] = 1;
        std::snprintf(Table().m_szNames[i], TEXTURE_NAME_SIZE, "filler %d", i);
    }
    const TextureId last = g_D3DRender.LoadTexture("Data/Cars/Paint.dds");
    ASSERT_NE(last, INVALID_TEXTURE_ID);
    EXPECT_EQ(SlotsInUse(), MAX_TEXTURES);
    WriteTexture("Data/Cars/Rim.dds");
    EXPECT_EQ(g_D3DRender.LoadTexture("Data/Cars/Rim.dds"), INVALID_TEXTURE_ID);
    EXPECT_EQ(Table().FindTexture("Data/Cars/Rim.dds"), INVALID_TEXTURE_ID);
    EXPECT_EQ(SlotsInUse(), MAX_TEXTURES);
    for (int i = 0; i < MAX_TEXTURES; ++i)
        if (std::strncmp(Table().m_szNames[i], "filler", 6) == 0)
            Table().ReleaseTexture(TextureId(i));
    g_D3DRender.ReleaseTexture(last);
}

TEST_F(TextureManagerTest, NameLongerThanASlotIsRefused)
{
    const std::string folder = "Data/" + std::string(260, 'd');
    std::string name = folder + "/Paint.dds";
    EXPECT_EQ(Table().LoadTexture(Device(), name.c_str(), 0, D3DPOOL_MANAGED), INVALID_TEXTURE_ID);
    name = "Data/" + std::string(TEXTURE_NAME_SIZE - 5, 'x');
    EXPECT_EQ(Table().LoadTexture(Device(), name.c_str(), 0, D3DPOOL_MANAGED), INVALID_TEXTURE_ID);
}

TEST_F(TextureManagerTest, IdsOutsideTheTableAreIgnored)
{
    const int before = SlotsInUse();
    for (TextureId id : {TextureId(MAX_TEXTURES), TextureId(5000), INVALID_TEXTURE_ID}) {
        EXPECT_EQ(Table().GetTexture(id), nullptr) << id;
        EXPECT_EQ(Table().GetTextureName(id), nullptr) << id;
        Table().ReleaseTexture(id);
        Table().AddReference(id);
        g_D3DRender.SetTexture(id, 0);
    }
    EXPECT_EQ(SlotsInUse(), before);
}

TEST_F(TextureManagerTest, SlotInUseWithNoCountIsLoggedWithItsName)
{
    const TextureId id = g_D3DRender.LoadTexture("Data/Cars/Paint.dds");
    Table().m_nRefCount[id] = 0;
    Table().ReleaseTextureByName("Data/Cars/Paint.dds");
    EXPECT_NE(Log().find("Texture reference counter in use! (ID: " + std::to_string(id) +
                         "; REF: 0; Name: Data/Cars/Paint.dds"),
              std::string::npos)
        << Log();
    EXPECT_NE(g_D3DRender.GetTexture(id), nullptr);
    Table().m_nRefCount[id] = 1;
    g_D3DRender.ReleaseTexture(id);
}

} // namespace
