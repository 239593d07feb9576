// The entry of the GL test program.
//
// Mesa's software rasteriser leaves a few small blocks of its own behind
// when the process ends, allocated from driver code that is unloaded by
// then (the leak report shows no module or symbol to suppress). So this
// program, and only this one, ends with _exit after the tests, which skips
// the leak check at exit; every other test program keeps it. Address and
// undefined-behaviour checks stay on here too.
#include <gtest/gtest.h>

#include <cstdio>
#include <unistd.h>

int main(int argc, char** argv)
{
    ::testing::InitGoogleTest(&argc, argv);
    const int result = RUN_ALL_TESTS();
    std::fflush(nullptr);
    _exit(result);
}
