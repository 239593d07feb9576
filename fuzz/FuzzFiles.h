// Helpers shared by the fuzz targets: every target feeds its bytes to the
// game as a file held in memory under its path, so the game's own file layer
// and readers run exactly as they do on disk without a write per input. The
// fixed files a target needs around it are written once into a private
// working directory, entered before the first input (the paths on the
// command line are made full first, so a relative corpus folder still works)
// and removed again when the process ends.
#pragma once

#include "platform/D3D9.h"

#include <cstddef>
#include <cstdint>
#include <string>

namespace fuzz {

// Enters a fresh working directory once per process and switches the
// platform layer to headless.
void EnterScratchDirectory();

// The start of every input: the one process-wide generator is seeded from
// the input's own bytes, so a finding on a random branch replays from its
// file alone, whatever ran before it.
void BeginInput(const std::uint8_t* data, std::size_t size);

// Loose files ("File manager" 0) and the audio manager started on the silent
// output, once per process.
void StartLooseFilesAndSilentAudio();

// Once per process: the headless device made the renderer's, loose files,
// the silent audio and, with physics, the physics world; then writeFiles
// puts the target's fixed files in place. False when no device could be
// made (nothing can be loaded then).
bool StartHeadlessGame(bool physics, void (*writeFiles)() = nullptr);

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

// Splits the input at a little-endian length prefix of prefixBytes (1..4):
// it gives the size of the first part (clamped to what is there); the rest
// is the second part.
void SplitInput(const std::uint8_t* data, std::size_t size, std::string* first, std::string* second,
                int prefixBytes = 2);

} // namespace fuzz
