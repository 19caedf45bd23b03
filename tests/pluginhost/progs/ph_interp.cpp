// Stands in for a script interpreter: records its command line and current
// folder in "interp.txt" in the current folder.
#include "progcommon.h"

#include <stdio.h>

int main()
{
    char cwd[MAX_PATH] = "";
    GetCurrentDirectoryA(sizeof(cwd), cwd);
    char buf[4096];
    snprintf(buf, sizeof(buf), "%s\n%s\n", GetCommandLineA(), cwd);
    Record("interp.txt", buf);
    Out("interpreted\r\n");
    return 0;
}
