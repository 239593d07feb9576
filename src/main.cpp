// The program's entry: everything starts in WinMain.
#include "shell/WinMain.h"

int main()
{
    return WinMain(nullptr, nullptr, nullptr, 1);
}
