#include "shell/Log.h"

#include "platform/Win32.h"

#include <cctype>
#include <cstdio>
#include <cstring>

extern HWND g_hWnd;

int g_bDebugLog = 0;

namespace {

const char* const kLogFile = "debug.txt";
const std::size_t kLineBuffer = 256;

// Counts the conversions of a format and checks that each one formats an
// int. Anything else (a %s, %f, %n ...) would read a value the caller never
// passed, so such a format is written literally instead.
int IntConversions(const char* format)
{
    int count = 0;
    for (const char* p = format; *p; ++p) {
        if (*p != '%')
            continue;
        ++p;
        if (*p == '%')
            continue;
        while (*p && std::strchr("-+ #0", *p))
            ++p;
        while (std::isdigit(static_cast<unsigned char>(*p)))
            ++p;
        if (*p == '.') {
            ++p;
            while (std::isdigit(static_cast<unsigned char>(*p)))
                ++p;
        }
        if (!*p || !std::strchr("dixXuoc", *p))
            return -1;
        ++count;
    }
    return count;
}

void FormatLine(char* line, const char* format, const int* v1, const int* v2)
{
    const int wanted = IntConversions(format);
    const std::size_t room = kLineBuffer - 1; // keeps a place for the line break
    if (v1 && v2 && wanted >= 0 && wanted <= 2)
        std::snprintf(line, room, format, *v1, *v2);
    else if (v1 && wanted >= 0 && wanted <= 1)
        std::snprintf(line, room, format, *v1);
    else
        std::snprintf(line, room, "%s", format);
}

} // namespace

void DebugLog(const char* format, const int* value1, const int* value2)
{
    if (!g_bDebugLog)
        return;
    if (!format) {
        if (std::FILE* f = std::fopen(kLogFile, "w"))
            std::fclose(f);
        return;
    }
    std::FILE* f = std::fopen(kLogFile, "a");
    if (!f)
        return;
    char line[kLineBuffer];
    FormatLine(line, format, value1, value2);
    std::strcat(line, "\n");
    std::fputs(line, f);
    std::fclose(f);
}

void LogFileProblem(const char* file, const char* problem)
{
    char line[kLineBuffer];
    std::snprintf(line, sizeof(line) - 1, "%.160s: %s", file ? file : "(no name)", problem ? problem : "");
    std::fprintf(stderr, "%s\n", line);
    DebugLog(line);
}

int ErrorBox(const char* message, const char* caption, UINT style)
{
    DebugLog(message);
    return MessageBoxA(g_hWnd, message, caption, style);
}
