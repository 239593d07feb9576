// Private-profile ("ini") files of the stand-in layer: "[Section]" headers
// and "Key=Value" lines. Sections and keys match without regard to case;
// lines starting with ';' are comments.
#pragma once

#include "platform/Win32Types.h"

// Copies the value of the key into buffer (at most size - 1 characters,
// always terminated) and returns the number of characters copied. A missing
// file, section or key gives the default (an empty string when null). The
// value loses the blanks around it and one pair of enclosing quotes.
DWORD GetPrivateProfileStringA(const char* section, const char* key, const char* defaultValue,
                               char* buffer, DWORD size, const char* fileName);

// Sets the key's value. Only that key's line changes: every other line,
// comment, section and key stays as it was. A missing key is added at the end
// of its section, a missing section at the end of the file, a missing file is
// created. Returns nonzero on success, 0 when the file cannot be written or
// the section, key or value is null.
BOOL WritePrivateProfileStringA(const char* section, const char* key, const char* value,
                                const char* fileName);
