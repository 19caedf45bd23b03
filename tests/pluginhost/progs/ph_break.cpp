// Records every Ctrl+Break in "breaks.txt". With the argument "ignore" it
// goes on after a break and ends by itself after about 1.5 s; without it
// the break ends the program as it ends any console program.
#include "progcommon.h"

namespace {
bool g_ignore = false;

BOOL WINAPI OnCtrl(DWORD type)
{
    if (type == CTRL_BREAK_EVENT)
        Record("breaks.txt", "break\n");
    else
        Record("breaks.txt", "other\n");
    return g_ignore ? TRUE : FALSE;
}
}

int main()
{
    g_ignore = strstr(GetCommandLineA(), "\"ignore\"") != nullptr;
    SetConsoleCtrlHandler(OnCtrl, TRUE);
    Out("ready\r\n");
    for (int i = 0; i < 15; i++)
        Sleep(100);
    Out("done\r\n");
    Record("breaks.txt", "end\n");
    return 0;
}
