#include "plugins/common/WinInetHttp_win.h"

#include <windows.h>

void Plugin_WinArgs(std::string& arg, std::string& folder)
{
    char module[MAX_PATH] = "";
    GetModuleFileNameA(nullptr, module, sizeof module);
    arg = Plugin_ArgFromCommandLine(GetCommandLineA(), module);
    char cwd[MAX_PATH] = "";
    GetCurrentDirectoryA(sizeof cwd, cwd);
    folder = cwd;
}
