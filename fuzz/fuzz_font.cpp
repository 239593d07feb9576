// A font folder as loose files: the character list and the glyph mask (the
// input split at its length prefix), loaded, measured and drawn.
#include "FuzzFiles.h"
#include "graphics/GameFont.h"
#include "shell/FileManager.h"
#include "shell/Settings.h"

#include <memory>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    fuzz::EnterScratchDirectory();
    std::string chars;
    std::string mask;
    fuzz::SplitInput(data, size, &chars, &mask);
    fuzz::SetFile("Font/Main.dat", chars);
    fuzz::SetFile("Font/Mask.dat", mask);
    g_bFileManager = 0;
    g_FileManager.Init();
    static auto font = std::make_unique<CGameFont>();
    font->Load("Font");
    const char text[] = "The quick brown fox, 0123456789!\xE9\xFF";
    font->GetTextWidth(text, 0.525f, 0);
    font->GetTextWidth(text, 1.0f, 1);
    font->DrawText(0, 0, text, 0xFFFFFFFFu, 1.0f, 0);
    font->DrawText(0, 0, chars.c_str(), 0xFFFFFFFFu, 1.0f, 1);
    return 0;
}
