// Helpers shared by the fuzz targets: every target feeds its bytes to the
// game as a file held in memory under its path, so the game's own file layer
// and readers run exactly as they do on disk without a write per input. The
// fixed files a target needs around it are written once into a private
// working directory.
#pragma once

#include "platform/D3D9.h"

#include <cstddef>
#include <cstdint>
#include <string>

namespace fuzz {

// Enters a fresh working directory once per process and switches the
// platform layer to headless.
void EnterScratchDirectory();

// Loose files ("File manager" 0) and the audio manager started on the silent
// output, once per process.
void StartLooseFilesAndSilentAudio();

// A small headless 3-D device made once per process and kept for the whole
// run, as the game keeps its own; null when none could be made.
IDirect3DDevice9* HeadlessDevice();

// Holds bytes as the file at path for every read that follows (the input of
// one run).
void SetFile(const std::string& path, const std::uint8_t* data, std::size_t size);
void SetFile(const std::string& path, const std::string& bytes);

// Writes bytes to a path below the working directory (folders made as needed).
void WriteFile(const std::string& path, const std::uint8_t* data, std::size_t size);
void WriteFile(const std::string& path, const std::string& bytes);

// Splits the input at a length prefix: the first two bytes give the size of
// the first part (clamped to what is there); the rest is the second part.
void SplitInput(const std::uint8_t* data, std::size_t size, std::string* first, std::string* second);

} // namespace fuzz
