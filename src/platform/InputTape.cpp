#include "platform/InputTape.h"

#include "platform/Backend.h"
#include "platform/MemoryFiles.h"
#include "platform/Win32Files.h"
#include "platform/Win32Time.h"
#include "platform/Win32Window.h"
#include "platform/sound/SoundBackend.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>
#include <thread>

namespace plat {

void (*g_pTapeEndObserver)(unsigned frame) = nullptr;
void (*g_pTapeFrameObserver)(unsigned frame, HWND mainWindow) = nullptr;

namespace {

struct MessageName {
    const char* name;
    UINT message;
};

// Only what a player does is taped: focus and close come from the window
// system and the tape's own end.
const MessageName kMessages[] = {
    {"keydown", WM_KEYDOWN},         {"keyup", WM_KEYUP},           {"syskeydown", WM_SYSKEYDOWN},
    {"syskeyup", WM_SYSKEYUP},       {"char", WM_CHAR},             {"mousemove", WM_MOUSEMOVE},
    {"lbuttondown", WM_LBUTTONDOWN}, {"lbuttonup", WM_LBUTTONUP},   {"rbuttondown", WM_RBUTTONDOWN},
    {"rbuttonup", WM_RBUTTONUP},
};

const char* NameOf(UINT message)
{
    for (const MessageName& m : kMessages)
        if (m.message == message)
            return m.name;
    return nullptr;
}

bool MessageOf(const std::string& name, UINT* message)
{
    for (const MessageName& m : kMessages)
        if (name == m.name) {
            *message = m.message;
            return true;
        }
    return false;
}

// A whole unsigned decimal number and nothing else.
bool ReadNumber(std::istringstream& in, unsigned long long* value)
{
    std::string word;
    if (!(in >> word) || word.empty() || word.size() > 19)
        return false;
    for (char c : word)
        if (c < '0' || c > '9')
            return false;
    *value = std::strtoull(word.c_str(), nullptr, 10);
    return true;
}

// Signed, for the mouse's packed coordinates.
bool ReadSigned(std::istringstream& in, long long* value)
{
    std::string word;
    if (!(in >> word) || word.empty() || word.size() > 20)
        return false;
    std::size_t i = word[0] == '-' ? 1 : 0;
    if (i == word.size())
        return false;
    for (; i < word.size(); ++i)
        if (word[i] < '0' || word[i] > '9')
            return false;
    *value = std::strtoll(word.c_str(), nullptr, 10);
    return true;
}

TapeMode s_mode = TapeMode::Off;
Tape s_tape;
std::string s_recordPath; // also set while a replay re-records
unsigned s_frame = 0;
std::size_t s_nextEvent = 0;
bool s_endReached = false;
Tape s_replaySource; // the tape being replayed while s_tape is re-recorded
std::chrono::steady_clock::time_point s_pace;

bool ReadFile(const char* path, std::string* text)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return false;
    std::ostringstream s;
    s << in.rdbuf();
    *text = s.str();
    return true;
}

// A line ends at its LF with every CR before it: a line that kept one of
// several CRs would be read back without it, and the replay's settings would
// no longer be the recording's (each write and read of the tape lost one).
void DropLineEnd(std::string* line)
{
    while (!line->empty() && line->back() == '\r')
        line->pop_back();
}

std::vector<std::string> IniLines(const char* path)
{
    std::vector<std::string> lines;
    std::ifstream in(path, std::ios::binary);
    std::string line;
    while (std::getline(in, line)) {
        DropLineEnd(&line);
        lines.push_back(line);
    }
    return lines;
}

const char kSettingsFile[] = "Game.ini";
bool s_settingsPinned = false;

void UnpinSettings()
{
    if (s_settingsPinned)
        ForgetMemoryFile(kSettingsFile);
    s_settingsPinned = false;
}

// The pinned settings are held in memory in place of "Game.ini" for the
// length of the replay: the game reads them there, and a settings save
// during the replay changes only that copy. Writing them over the file
// cost the player their own settings and key bindings.
void PinSettings(const Tape& tape)
{
    UnpinSettings();
    if (tape.ini.empty())
        return;
    std::string text;
    for (const std::string& line : tape.ini)
        text += line + "\r\n";
    s_settingsPinned = SetMemoryFile(kSettingsFile, text.data(), text.size());
    if (!s_settingsPinned)
        std::fprintf(stderr, "Tape: the pinned settings could not be held; the run folder's are used\n");
}

void StartClock(DWORD seed)
{
    SetFakeClock(seed);
    s_frame = 0;
    s_pace = std::chrono::steady_clock::now();
}

} // namespace

bool ParseTape(const std::string& text, Tape* tape, std::string* error)
{
    Tape t;
    t.sound.clear();
    std::istringstream lines(text);
    std::string line;
    unsigned number = 0;
    bool sawMagic = false;
    bool sawEnd = false;
    auto fail = [&](const char* what) {
        if (error)
            *error = "tape line " + std::to_string(number) + ": " + what;
        return false;
    };
    while (std::getline(lines, line)) {
        ++number;
        DropLineEnd(&line);
        if (line.empty() || line[0] == '#')
            continue;
        std::istringstream in(line);
        std::string head;
        in >> head;
        if (!sawMagic) {
            unsigned long long version = 0;
            if (head != "morvaine-tape" || !ReadNumber(in, &version) || version != 1)
                return fail("not a version 1 tape");
            sawMagic = true;
            continue;
        }
        if (sawEnd)
            return fail("nothing may follow the end");
        unsigned long long value = 0;
        if (head == "step") {
            if (!ReadNumber(in, &value) || value == 0 || value > 1000)
                return fail("step must be 1..1000 ms");
            t.step = unsigned(value);
        } else if (head == "seed") {
            if (!ReadNumber(in, &value) || value > 0xFFFFFFFFull)
                return fail("seed must fit 32 bits");
            t.seed = DWORD(value);
        } else if (head == "sound") {
            in >> t.sound;
            if (t.sound != "silent" && t.sound != "openal")
                return fail("sound must be silent or openal");
        } else if (head == "ini") {
            t.ini.push_back(line.size() > 4 ? line.substr(4) : std::string());
        } else if (head == "end") {
            if (!ReadNumber(in, &value) || value > 0xFFFFFFFFull)
                return fail("end needs a frame");
            t.end = unsigned(value);
            sawEnd = true;
        } else {
            std::istringstream ev(line);
            unsigned long long frame = 0;
            std::string name;
            long long wParam = 0, lParam = 0;
            TapeEvent e{};
            if (!ReadNumber(ev, &frame) || frame == 0 || frame > 0xFFFFFFFFull)
                return fail("an event starts with its frame (from 1)");
            if (!(ev >> name) || !MessageOf(name, &e.message))
                return fail("unknown message");
            if (!ReadSigned(ev, &wParam) || !ReadSigned(ev, &lParam))
                return fail("a message needs wParam and lParam");
            if (!t.events.empty() && frame < t.events.back().frame)
                return fail("events must be in frame order");
            e.frame = unsigned(frame);
            e.wParam = WPARAM(wParam);
            e.lParam = LPARAM(lParam);
            t.events.push_back(e);
        }
    }
    if (!sawMagic)
        return fail("empty tape");
    if (!sawEnd)
        return fail("no end frame");
    if (!t.events.empty() && t.events.back().frame > t.end)
        return fail("an event lies after the end");
    if (t.sound.empty())
        t.sound = "silent";
    *tape = std::move(t);
    return true;
}

std::string FormatTape(const Tape& tape)
{
    std::ostringstream out;
    out << "morvaine-tape 1\n";
    out << "step " << tape.step << "\n";
    out << "seed " << tape.seed << "\n";
    out << "sound " << tape.sound << "\n";
    for (const std::string& line : tape.ini)
        out << "ini " << line << "\n";
    for (const TapeEvent& e : tape.events)
        out << e.frame << ' ' << NameOf(e.message) << ' ' << static_cast<long long>(e.wParam) << ' '
            << static_cast<long long>(e.lParam) << "\n";
    out << "end " << tape.end << "\n";
    return out.str();
}

void StartReplay(const Tape& tape)
{
    s_tape = tape;
    s_recordPath.clear();
    s_mode = TapeMode::Replay;
    s_nextEvent = 0;
    s_endReached = false;
    PinSettings(s_tape);
    SetSoundBackend(s_tape.sound == "openal" ? SoundBackendKind::OpenAL : SoundBackendKind::Silent);
    StartClock(s_tape.seed);
}

void StartRecording(const std::string& path, unsigned step, DWORD seed)
{
    s_tape = Tape{};
    s_tape.step = step ? step : 20;
    s_tape.seed = seed;
    s_tape.ini = IniLines("Game.ini");
    s_tape.sound = ActiveSoundBackend() == SoundBackendKind::OpenAL ? "openal" : "silent";
    s_recordPath = path;
    s_mode = TapeMode::Record;
    StartClock(seed);
}

bool StartTapeFromEnvironment()
{
    if (s_mode != TapeMode::Off)
        return true;
    if (const char* path = std::getenv("MORVAINE_TAPE"); path && *path) {
        std::string text, error;
        Tape tape;
        if (!ReadFile(path, &text)) {
            std::fprintf(stderr, "Tape %s could not be read\n", path);
            return false;
        }
        if (!ParseTape(text, &tape, &error)) {
            std::fprintf(stderr, "Tape %s: %s\n", path, error.c_str());
            return false;
        }
        if (const char* again = std::getenv("MORVAINE_TAPE_RECORD"); again && *again) {
            // Re-recording: the old tape's input on the run folder's own
            // settings, written out as a new tape that pins them.
            tape.ini.clear();
            StartReplay(tape);
            s_tape.ini = IniLines("Game.ini");
            s_tape.events.clear();
            s_tape.end = tape.end;
            s_replaySource = tape;
            s_recordPath = again;
        } else
            StartReplay(tape);
        return true;
    }
    if (const char* path = std::getenv("MORVAINE_TAPE_RECORD"); path && *path) {
        const char* seed = std::getenv("MORVAINE_TAPE_SEED");
        const char* step = std::getenv("MORVAINE_TAPE_STEP");
        StartRecording(path, step ? unsigned(std::strtoul(step, nullptr, 10)) : 20u,
                       seed && *seed ? DWORD(std::strtoul(seed, nullptr, 10)) : 1000000u);
    }
    return true;
}

void StopTape()
{
    if (!s_recordPath.empty()) {
        if (s_mode == TapeMode::Record)
            s_tape.end = s_frame;
        // Written whole: a failed write keeps an older tape of that name.
        const std::string text = FormatTape(s_tape);
        if (!ReplaceFileWhole(s_recordPath.c_str(), text.data(), text.size()))
            std::fprintf(stderr, "Tape %s could not be written\n", s_recordPath.c_str());
    }
    UnpinSettings();
    if (s_mode != TapeMode::Off)
        UseRealClock();
    s_mode = TapeMode::Off;
    s_frame = 0;
    s_recordPath.clear();
}

TapeMode ActiveTapeMode()
{
    return s_mode;
}

unsigned TapeFrameNumber()
{
    return s_frame;
}

void TapeFrame(HWND mainWindow)
{
    if (s_mode == TapeMode::Off)
        return;
    if (s_frame > 0)
        AdvanceFakeClock(s_tape.step);
    ++s_frame;
    if (s_mode == TapeMode::Record) {
        // A live recording runs at the tape's step, so the player sees the
        // game at the speed the replay will run it.
        if (!IsHeadless()) {
            s_pace += std::chrono::milliseconds(s_tape.step);
            std::this_thread::sleep_until(s_pace);
        }
        return;
    }
    const Tape& source = s_recordPath.empty() ? s_tape : s_replaySource;
    while (s_nextEvent < source.events.size() && source.events[s_nextEvent].frame <= s_frame) {
        const TapeEvent& e = source.events[s_nextEvent++];
        PostMessageA(mainWindow, e.message, e.wParam, e.lParam);
    }
    if (g_pTapeFrameObserver && !s_endReached)
        g_pTapeFrameObserver(s_frame, mainWindow);
    if (!s_endReached && s_frame >= s_tape.end) {
        s_endReached = true;
        if (g_pTapeEndObserver)
            g_pTapeEndObserver(s_frame);
        PostMessageA(mainWindow, WM_CLOSE, 0, 0);
    }
}

void EndTapeAt(unsigned frame)
{
    if (s_mode != TapeMode::Replay)
        return;
    s_tape.end = std::min(s_tape.end, std::max(frame, s_frame));
}

unsigned TapeEndFrame()
{
    return s_tape.end;
}

void TapeNoteMessage(const MSG& msg)
{
    if (s_recordPath.empty() || s_frame == 0 || !NameOf(msg.message))
        return;
    // The control characters come from translating their key press, which
    // the replay translates again.
    if (msg.message == WM_CHAR && msg.wParam < 32)
        return;
    s_tape.events.push_back({s_frame, msg.message, msg.wParam, msg.lParam});
}

} // namespace plat
