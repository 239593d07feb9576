// Input tapes: the key and mouse messages of a play session, keyed by frame,
// recorded to and replayed from a small text file of our own.
//
// MORVAINE_TAPE_RECORD=file records the session; MORVAINE_TAPE=file replays
// one through the real window procedure. Both run one virtual clock: it
// starts at the tape's seed (the game seeds its generator from the clock)
// and moves on by the tape's fixed step each frame, so a replay sees the
// same times, the same random numbers and the same physics steps as the
// recording. The header pins the settings file, the sound back end and the
// seed; a replay hands the game the pinned "Game.ini" in place of the run
// folder's own, which it leaves untouched.
//
// The file, one item a line ('#' starts a comment):
//   morvaine-tape 1
//   step <ms>
//   seed <clock at start-up>
//   sound silent|openal
//   ini <one line of Game.ini>          (as many as the file has)
//   <frame> <message> <wParam> <lParam>  (keydown, keyup, syskeyup, char,
//                                          mousemove, lbuttondown, ...)
//   end <frame>                          (the replay closes the window there)
#pragma once

#include "platform/Win32Types.h"

#include <string>
#include <vector>

namespace plat {

struct TapeEvent {
    unsigned frame;
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
};

struct Tape {
    unsigned step = 20;
    DWORD seed = 1000000;
    std::string sound = "silent";
    std::vector<std::string> ini;
    std::vector<TapeEvent> events; // in frame order
    unsigned end = 0;
};

enum class TapeMode { Off, Record, Replay };

// Reads a tape; false with a reason (line number and what is wrong).
bool ParseTape(const std::string& text, Tape* tape, std::string* error);
std::string FormatTape(const Tape& tape);

// Reads the environment (or the explicit calls below) and starts the tape:
// called once before the settings are read. A tape named by MORVAINE_TAPE
// that cannot be read or is malformed is reported on standard error and
// gives false: the run must not go on as if it were replaying.
bool StartTapeFromEnvironment();
void StartReplay(const Tape& tape);
void StartRecording(const std::string& path, unsigned step, DWORD seed);
// Ends the tape: a recording writes its file with the closing frame.
void StopTape();
TapeMode ActiveTapeMode();

// The start of each pass of the main loop: moves the clock on and, when
// replaying, posts this frame's messages (and the close at the end).
void TapeFrame(HWND mainWindow);
// The pass being run, counting from 1 (0 before the first).
unsigned TapeFrameNumber();
// The recorder's view of every message the window procedure is handed.
void TapeNoteMessage(const MSG& msg);

// Called once when a replay reaches its end frame, before the close is
// posted: tests read the game's figures there.
extern void (*g_pTapeEndObserver)(unsigned frame);
// Called at the start of every replayed frame, after the tape's own messages
// are posted: a test's scripted player posts its keys to the window here.
extern void (*g_pTapeFrameObserver)(unsigned frame, HWND mainWindow);
// Brings a replay's end forward to the given frame (never before the
// current one, never later than the tape's own end).
void EndTapeAt(unsigned frame);
// The frame a replay ends at.
unsigned TapeEndFrame();

} // namespace plat
