// The log "debug.txt" and the error box.
#pragma once

#include "platform/Win32Types.h"

// Copy of the "Debug out" setting taken when the settings load; the log is
// written only while it is non-zero.
extern int g_bDebugLog;

// Appends one line to "debug.txt": format with up to two integer values given
// by pointer. A null format truncates the log. A line is at most 255
// characters with its line break; a longer one is cut.
void DebugLog(const char* format, const int* value1 = nullptr, const int* value2 = nullptr);

// Logs the message, then shows a modal message box over the main window.
int ErrorBox(const char* message, const char* caption, UINT style);

// A data file that is missing, damaged or refused: "<file>: <problem>" goes
// to the log (when it is on) and always to the standard error stream, so a
// player without the log still learns which file to look at.
void LogFileProblem(const char* file, const char* problem);
