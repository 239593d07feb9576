// The pedestrian's own part of its description file, and its clothing on
// devices with and without per-stage texture constants.
#include "human_fixture.h"

namespace {

using test::HumanTest;

struct ParseCase {
    const char* name;
    void (*edit)(tools::HumanDescriptionData*);
    float walkRate;
    int walkFirst, walkLast;
    float deadRate;
    int waitLast;
};

void Sample(tools::HumanDescriptionData*) {}
void Reversed(tools::HumanDescriptionData* d) { std::reverse(d->actions.begin(), d->actions.end()); }
void Repeated(tools::HumanDescriptionData* d) { d->actions.push_back({"ACTION_WALK", "0.5", "3", "7"}); }
void Unknown(tools::HumanDescriptionData* d)
{
    // An unknown keyword lands on idle, which no record otherwise sets.
    d->actions.insert(d->actions.begin(), {"ACTION_DANCE", "9.0", "1", "1"});
}
void WideLast(tools::HumanDescriptionData* d) { d->actions[0].last = "00009"; }
void ShortLine(tools::HumanDescriptionData* d) { d->actions[0] = {"ACTION_WALK", "1.0", "", ""}; }

const ParseCase kParseCases[] = {
    {"sample", Sample, 1.0f, 2, 9, 0.0f, 15},
    {"records out of order", Reversed, 1.0f, 2, 9, 0.0f, 15},
    {"a later record replaces an earlier one", Repeated, 0.5f, 3, 7, 0.0f, 15},
    {"unknown keyword", Unknown, 1.0f, 2, 9, 0.0f, 15},
    {"five-character last frame", WideLast, 1.0f, 2, 9, 0.0f, 15},
    {"short line gives empty values", ShortLine, 1.0f, 0, 0, 0.0f, 15},
};

TEST_F(HumanTest, ActionRecordsParse)
{
    for (const ParseCase& c : kParseCases) {
        SCOPED_TRACE(c.name);
        tools::HumanDescriptionData d = tools::SampleHumanData("Data/Humans/Male/");
        c.edit(&d);
        WriteRaw("Data/Test/Main.obj", tools::HumanDescription(d));
        CHuman h;
        h.Load("Data/Test/Main.obj", 0);
        EXPECT_FLOAT_EQ(h.m_fActionRates[ACTION_WALK], c.walkRate);
        EXPECT_EQ(h.m_ActionFrames[ACTION_WALK][0], c.walkFirst);
        EXPECT_EQ(h.m_ActionFrames[ACTION_WALK][1], c.walkLast);
        EXPECT_FLOAT_EQ(h.m_fActionRates[ACTION_DEAD], c.deadRate);
        EXPECT_EQ(h.m_ActionFrames[ACTION_WAITCAR][1], c.waitLast);
        EXPECT_FLOAT_EQ(h.m_fBodyMass, 75.0f);
        EXPECT_FLOAT_EQ(h.m_fRunSpeed, 4.6f);
        EXPECT_EQ(h.m_PartTriangles[10].first, 120);
        EXPECT_EQ(h.m_PartVertices[10].count, tools::HUMAN_PIECE_VERTICES);
        EXPECT_FLOAT_EQ(h.m_fSphereRadius, 1.0f);
        EXPECT_EQ(h.m_Material.Diffuse.a, 0.0f);
        h.Release();
    }
}

TEST_F(HumanTest, AListWithoutItsEndMarkerStopsAtTheEntryEnd)
{
    tools::HumanDescriptionData d = tools::SampleHumanData("Data/Humans/Male/");
    d.withEndMarker = false;
    d.parts.clear();
    WriteRaw("Data/Test/Main.obj", tools::HumanDescription(d));
    CHuman h;
    h.Load("Data/Test/Main.obj", 0);
    EXPECT_EQ(h.m_ActionFrames[ACTION_APPLAUD2][1], 13);
    for (const HumanRange& r : h.m_PartVertices)
        EXPECT_EQ(r.count, 0);
    h.Release();
}

TEST_F(HumanTest, BadValuesAreKeptInsideTheModel)
{
    tools::HumanDescriptionData d = tools::SampleHumanData("Data/Humans/Male/");
    d.actions.push_back({"ACTION_RUN", "1.0", "-3", "400"});
    d.parts[0] = {390, 36, 0, 12};   // past the vertices
    d.parts[1] = {-1, 5, 0, 12};
    d.parts[2] = {0, 24, 130, 12};   // past the triangles
    WriteRaw("Data/Test/Main.obj", tools::HumanDescription(d));
    CHuman h;
    h.Load("Data/Test/Main.obj", 7);
    EXPECT_EQ(h.m_nGender, 0);
    EXPECT_EQ(h.m_ActionFrames[ACTION_RUN][0], 0);
    EXPECT_EQ(h.m_ActionFrames[ACTION_RUN][1], tools::HUMAN_FRAME_COUNT - 1);
    EXPECT_EQ(h.m_PartVertices[0].count, 0);
    EXPECT_EQ(h.m_PartVertices[1].count, 0);
    EXPECT_EQ(h.m_PartTriangles[2].count, 0);
    EXPECT_EQ(h.m_PartTriangles[2].first, 0);
    EXPECT_EQ(h.m_PartVertices[3].first, 3 * tools::HUMAN_PIECE_VERTICES);
    h.Release();
}

TEST_F(HumanTest, TextureVariantsAndAMissingFile)
{
    tools::HumanDescriptionData d = tools::SampleHumanData("Data/Humans/Male/");
    std::string text = tools::HumanDescription(d);
    // A bad variant digit names variant 01 rather than running off the name.
    text.replace(text.find("Shirt%2"), 7, "Shirt%x");
    text.replace(text.find("Boots%2"), 7, "Gone%2");
    WriteRaw("Data/Test/Main.obj", text);
    CHuman h;
    h.Load("Data/Test/Main.obj", 1);
    EXPECT_NE(h.m_nBodyTexture, -1);
    ASSERT_NE(h.m_Clothing[0].texture, -1);
    EXPECT_STREQ(g_D3DRender.m_TextureManager.GetTextureName(h.m_Clothing[0].texture),
                 "Data/Humans/Male/Shirt01.dds");
    EXPECT_NE(h.m_Clothing[1].texture, -1);
    EXPECT_EQ(h.m_Clothing[2].texture, -1);
    h.Release();
}

TEST_F(HumanTest, ClothingIsTintedAtDrawTimeOnDevicesWithStageConstants)
{
    CHuman* h = Make(test::KerbPoint());
    for (const HumanClothing& slot : h->m_Clothing) {
        EXPECT_NE(slot.texture, -1);
        EXPECT_EQ(slot.pTinted, nullptr);
        for (float channel : {slot.r, slot.g, slot.b}) {
            EXPECT_GE(channel, 64.0f / 255.0f);
            EXPECT_LE(channel, 1.0f);
        }
        EXPECT_EQ(slot.a, 1.0f);
    }
    for (auto& part : g_HumanManager.m_Textures)
        for (auto& gender : part)
            for (auto& variant : gender)
                for (IDirect3DTexture9* t : variant)
                    EXPECT_EQ(t, nullptr);
}

TEST_F(HumanTest, WithoutStageConstantsTheManagerPreTintsEveryGarment)
{
    g_HumanManager.Release();
    g_D3DRender.m_bPerStageConstant = 0;
    // One file missing and one of a format the tinting does not read: their
    // rows stay empty.
    std::filesystem::remove("Data/Humans/Female/Pants02.dds");
    WriteRaw("Data/Humans/Female/Boots01.dds",
             tools::EncodeDds({tools::SolidImage(8, 8, 0xFFFFFFFFu)}, tools::DdsPixels::R5G6B5, 1));
    ASSERT_EQ(g_HumanManager.Init(), 1);
    int made = 0;
    for (auto& part : g_HumanManager.m_Textures)
        for (auto& gender : part)
            for (auto& variant : gender)
                for (IDirect3DTexture9* t : variant)
                    made += t != nullptr;
    EXPECT_EQ(made, 10 * HUMAN_TINTS);
    EXPECT_EQ(g_HumanManager.m_Textures[1][1][1][0], nullptr);
    EXPECT_EQ(g_HumanManager.m_Textures[2][1][0][6], nullptr);

    // Red tint of a light grey garment keeps only the red channel.
    IDirect3DTexture9* red = g_HumanManager.m_Textures[0][0][0][3];
    ASSERT_NE(red, nullptr);
    D3DLOCKED_RECT rect{};
    ASSERT_TRUE(SUCCEEDED(red->LockRect(0, &rect, nullptr, D3DLOCK_READONLY)));
    const auto* pixel = static_cast<const std::uint8_t*>(rect.pBits) + 20 * 4; // inside the shirt column
    EXPECT_EQ(pixel[0], 0);
    EXPECT_EQ(pixel[1], 0);
    EXPECT_GT(pixel[2], 200);
    red->UnlockRect(0);

    CHuman* h = Make(test::KerbPoint(), 0, 0);
    for (const HumanClothing& slot : h->m_Clothing) {
        EXPECT_EQ(slot.texture, -1);
        EXPECT_NE(slot.pTinted, nullptr);
    }
    g_HumanManager.Release();
    for (auto& part : g_HumanManager.m_Textures)
        for (auto& gender : part)
            for (auto& variant : gender)
                for (IDirect3DTexture9* t : variant)
                    EXPECT_EQ(t, nullptr);
}

} // namespace
