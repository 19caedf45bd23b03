// Records its command line, current folder and console state in
// "cmdline.txt" in the current folder. Carries a version block.
#include "progcommon.h"

#include <stdio.h>

int main()
{
    char cwd[MAX_PATH] = "";
    GetCurrentDirectoryA(sizeof(cwd), cwd);
    char buf[4096];
    snprintf(buf, sizeof(buf), "%s\n%s\nconsole=%d\n", GetCommandLineA(), cwd, GetConsoleWindow() != nullptr || GetConsoleCP() != 0);
    Record("cmdline.txt", buf);
    Out("cmdline\r\n");
    return 0;
}
