#include "graphics/ShaderCompileLog.h"

#include "platform/D3D9Gl.h"
#include "shell/Log.h"

#include <cstdio>

namespace {

void OnCompile(const char* what, double milliseconds)
{
    if (!g_bDebugLog)
        return;
    // The text goes in as the format: no percent signs may reach it.
    char line[200];
    std::snprintf(line, sizeof line, "Shader compile: ");
    size_t at = 16;
    for (const char* c = what; *c && at + 1 < sizeof line - 40; ++c)
        line[at++] = *c == '%' ? '_' : *c;
    line[at] = '\0';
    const int tenths = int(milliseconds * 10.0 + 0.5);
    const int whole = tenths / 10, fraction = tenths % 10;
    std::snprintf(line + at, sizeof line - at, " took %%d.%%d ms");
    DebugLog(line, &whole, &fraction);
}

} // namespace

void LogShaderCompiles()
{
    plat::SetShaderCompileListener(OnCompile);
}
