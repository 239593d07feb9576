// An input tape as a replay reads it: a tape that parses prints as one that
// parses to the same print again (a recording must replay as it was made),
// and is then replayed frame by frame into the message queue, which is
// drained as the main loop drains it.
#include "FuzzFiles.h"

#include "platform/InputTape.h"
#include "platform/Win32Window.h"

#include <string>

namespace {

// A replay of a long tape is the same frame loop again and again.
constexpr unsigned kMaxReplayedFrames = 256;

void DrainMessages()
{
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE))
        TranslateMessage(&msg);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    fuzz::BeginInput(data, size);
    plat::Tape tape;
    std::string error;
    if (!plat::ParseTape(std::string(reinterpret_cast<const char*>(data), size), &tape, &error))
        return 0;
    const std::string printed = plat::FormatTape(tape);
    plat::Tape again;
    if (!plat::ParseTape(printed, &again, &error) || plat::FormatTape(again) != printed)
        __builtin_trap();
    plat::StartReplay(tape);
    const unsigned frames = tape.end < kMaxReplayedFrames ? tape.end + 1 : kMaxReplayedFrames;
    for (unsigned frame = 0; frame < frames; ++frame) {
        plat::TapeFrame(nullptr);
        DrainMessages();
    }
    plat::StopTape();
    return 0;
}
