#include "platform/Backend.h"

#include <cstdlib>
#include <cstring>

namespace {

int s_headless = -1;    // -1: not decided yet
long s_frameBudget = -1; // -1: not read yet

bool EnvFlag(const char* name)
{
    const char* v = std::getenv(name);
    return v && *v && std::strcmp(v, "0") != 0;
}

} // namespace

namespace plat {

bool IsHeadless()
{
    if (s_headless < 0)
        s_headless = EnvFlag("MORVAINE_HEADLESS") ? 1 : 0;
    return s_headless == 1;
}

void SetHeadless(bool headless)
{
    s_headless = headless ? 1 : 0;
}

unsigned FrameBudget()
{
    if (s_frameBudget < 0) {
        const char* v = std::getenv("MORVAINE_FRAMES");
        const long n = v ? std::strtol(v, nullptr, 10) : 0;
        s_frameBudget = n > 0 ? n : 0;
    }
    return static_cast<unsigned>(s_frameBudget);
}

void SetFrameBudget(unsigned frames)
{
    s_frameBudget = frames;
}

} // namespace plat
