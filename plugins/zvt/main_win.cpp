// zv_ZVT.exe: the plug-in for boards that answer in ZVT.
#include "plugins/common/WinInetHttp_win.h"
#include "plugins/zvt/ZvtConv.h"

int main()
{
    return Plugin_WinMain(g_zvtPlugin);
}
