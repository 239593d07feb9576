// Font folders written as loose files into a fresh working directory, and a
// headless device to draw the text on.
#pragma once

#include "graphics/GameFont.h"
#include "screen_fixture.h"
#include "shell/FileManager.h"
#include "shell/Settings.h"
#include "support/TempDir.h"

#include <filesystem>
#include <memory>
#include <string>

namespace test {

// A 16 x 16 mask with two glyphs on one line four rows high: 'A' three
// pixels wide at column 1, 'B' five wide at column 5.
inline std::string TwoGlyphMask()
{
    std::string mask(16 * 16, '\xFF');
    for (int y = 1; y <= 4; ++y) {
        for (int x = 1; x <= 3; ++x)
            mask[y * 16 + x] = '\x01';
        for (int x = 5; x <= 9; ++x)
            mask[y * 16 + x] = '\x80';
    }
    return mask;
}

class FontTest : public ScreenDrawTest {
protected:
    void SetUp() override
    {
        ScreenDrawTest::SetUp();
        m_savedFileManager = g_bFileManager;
        g_bFileManager = 0;
        g_FileManager.Init();
        m_font = std::make_unique<CGameFont>();
    }
    void TearDown() override
    {
        g_bFileManager = m_savedFileManager;
        ScreenDrawTest::TearDown();
    }

    // Writes the files of a font folder; a null text leaves that file out.
    void WriteFolder(const char* chars, const std::string* mask)
    {
        std::filesystem::create_directories(m_dir.Path() / "Fonts/Test");
        if (chars)
            WriteWholeFile(m_dir.File("Fonts/Test/Main.dat"), chars);
        if (mask)
            WriteWholeFile(m_dir.File("Fonts/Test/Mask.dat"), *mask);
    }
    // The sample data's archives copied in, read with "File manager" 1.
    void UseSampleArchives()
    {
        const std::filesystem::path data = std::filesystem::path(MORVAINE_BUILD_DIR) / "run" / "Data";
        std::filesystem::create_directories(m_dir.Path() / "Data");
        for (const char* name : {"Objects", "World", "Textures", "SD"})
            for (const char* ext : {".hdr", ".pak"})
                std::filesystem::copy_file(data / (std::string(name) + ext),
                                           m_dir.Path() / "Data" / (std::string(name) + ext));
        g_bFileManager = 1;
        g_FileManager.Init();
    }
    void LoadFolder(const std::string& chars, const std::string& mask)
    {
        WriteFolder(chars.c_str(), &mask);
        m_font->Load("Fonts/Test");
    }

    ScopedTempDir m_dir;
    int m_savedFileManager = 0;
    std::unique_ptr<CGameFont> m_font;
};

} // namespace test
