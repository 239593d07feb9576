// Private-profile ("ini") files of the stand-in layer: "[Section]" headers
// and "Key=Value" lines. Sections and keys match without regard to case;
// lines starting with ';' are comments.
#pragma once

#include "platform/Win32Types.h"

#include <cstddef>
#include <string>
#include <vector>

// Copies the value of the key into buffer (at most size - 1 characters,
// always terminated) and returns the number of characters copied. A missing
// file, section or key gives the default (an empty string when null). The
// value loses the blanks around it and one pair of enclosing quotes.
DWORD GetPrivateProfileStringA(const char* section, const char* key, const char* defaultValue,
                               char* buffer, DWORD size, const char* fileName);

// Sets the key's value through a whole-file replacement (a failed write
// leaves the old file as it was and gives 0). Only that key's line changes: every other line,
// comment, section and key stays as it was. A missing key is added at the end
// of its section, a missing section at the end of the file, a missing file is
// created. Returns nonzero on success, 0 when the file cannot be written or
// the section, key or value is null.
BOOL WritePrivateProfileStringA(const char* section, const char* key, const char* value,
                                const char* fileName);

namespace plat {

// A profile file read once, as lines without their line ends, and the line
// end to write them back with (CR LF when the file used it).
struct ProfileText {
    std::vector<std::string> lines;
    const char* eol = "\n";
};

enum class ProfileLoad {
    Missing, // no such file: text is empty
    Loaded,
    Refused, // larger than maxBytes, a folder, or unreadable: text is empty
};

ProfileLoad LoadProfileText(const char* fileName, std::size_t maxBytes, ProfileText* text);

// The same lookup and change as the two calls above, on text in memory.
DWORD ProfileGet(const ProfileText& text, const char* section, const char* key, const char* defaultValue,
                 char* buffer, DWORD size);
void ProfileSet(ProfileText* text, const char* section, const char* key, const char* value);

std::string ProfileBytes(const ProfileText& text);
// How many times a profile file was read (every call above reads it once).
unsigned ProfileReadCount();
// Replaces the file whole with the text; false (old file kept) on failure.
bool SaveProfileText(const char* fileName, const ProfileText& text);

} // namespace plat
