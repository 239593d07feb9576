#include "shell/FileFailures.h"

#include <cstdio>
#include <cstring>

namespace {

enum { FAILED_FILE_SLOTS = 128, FAILED_FILE_NAME_SIZE = 256 };

char s_FailedFiles[FAILED_FILE_SLOTS][FAILED_FILE_NAME_SIZE];
int s_nFailedFiles = 0;

} // namespace

int FirstFailureOf(const char* file)
{
    char name[FAILED_FILE_NAME_SIZE];
    std::snprintf(name, sizeof(name), "%s", file ? file : "");
    for (int i = 0; i < s_nFailedFiles; ++i)
        if (std::strcmp(s_FailedFiles[i], name) == 0)
            return 0;
    if (s_nFailedFiles >= FAILED_FILE_SLOTS)
        return 0;
    std::memcpy(s_FailedFiles[s_nFailedFiles++], name, sizeof(name));
    return 1;
}

void ForgetFileFailures()
{
    s_nFailedFiles = 0;
}
