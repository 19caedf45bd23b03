// zv_Orbiloom.exe: the plug-in for "rnall.cgi" boards.
#include "plugins/common/WinInetHttp_win.h"
#include "plugins/orbiloom/OrbiloomConv.h"

int main()
{
    return Plugin_WinMain(g_orbiloomPlugin);
}
