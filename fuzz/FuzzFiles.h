// Helpers shared by the fuzz targets: every target feeds its bytes to the
// game through a real file in a private working directory, so the game's own
// file layer and readers run exactly as they do on disk.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

class IDirect3DDevice9;

namespace fuzz {

// Enters a fresh working directory once per process and switches the
// platform layer to headless.
void EnterScratchDirectory();

// Loose files ("File manager" 0) and the audio manager started on the silent
// output, once per process.
void StartLooseFilesAndSilentAudio();

// A 64 x 64 windowed device on the headless back end, made once per process
// with the Direct3D object behind it kept for the whole run, like the game's;
// null when it cannot be made.
IDirect3DDevice9* SmallDevice();

// Writes bytes to a path below the working directory (folders made as needed).
void WriteFile(const std::string& path, const std::uint8_t* data, std::size_t size);
void WriteFile(const std::string& path, const std::string& bytes);

// Splits the input at a length prefix: the first two bytes give the size of
// the first part (clamped to what is there); the rest is the second part.
void SplitInput(const std::uint8_t* data, std::size_t size, std::string* first, std::string* second);

} // namespace fuzz
