// A font folder as loose files: the character list and the glyph mask (the
// input split at its length prefix) over a fixed atlas, loaded, measured and
// drawn on a headless device.
#include "FuzzFiles.h"
#include "KeptResources.h"
#include "graphics/D3DRender.h"
#include "graphics/GameFont.h"
#include "shell/FileManager.h"
#include "shell/Settings.h"
#include "writers/ImageWriters.h"

#include <memory>

namespace {

void WriteAtlas()
{
    const tools::ArgbImage atlas = tools::SolidImage(64, 64, 0xFFFFFFFFu);
    fuzz::WriteFile("Font/Main.dds", tools::EncodeDds({atlas}, tools::DdsPixels::A8R8G8B8, 1));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    fuzz::BeginInput(data, size);
    if (!fuzz::StartHeadlessGame(false, WriteAtlas))
        return 0;
    std::string chars;
    std::string mask;
    fuzz::SplitInput(data, size, &chars, &mask);
    fuzz::SetFile("Font/Main.dat", chars);
    fuzz::SetFile("Font/Mask.dat", mask);
    static auto font = std::make_unique<CGameFont>();
    font->Load("Font");
    // The atlas stays decoded for the next input.
    fuzz::KeepLoadedTextures();
    const char text[] = "The quick brown fox, 0123456789!\xE9\xFF";
    font->GetTextWidth(text, 0.525f, 0);
    font->GetTextWidth(text, 1.0f, 1);
    font->DrawText(0, 0, text, 0xFFFFFFFFu, 1.0f, 0);
    font->DrawText(0, 0, chars.c_str(), 0xFFFFFFFFu, 1.0f, 1);
    font->DrawGlowText(10, 10, text, 0xFFFFFFFFu, 0x80000000u, 2.0f);
    font->Release();
    return 0;
}
