// Started without a console: creates the host console and records in
// "console.txt" whether it exists, its title and whether its window shows.
#include "pluginhost/PluginHost.h"
#include "progcommon.h"

#include <stdio.h>

int main()
{
    int had = GetConsoleWindow() != nullptr;
    int ok = HostConsole_Create();
    char title[128] = "";
    GetConsoleTitleA(title, sizeof(title));
    HWND w = GetConsoleWindow();
    char buf[512];
    snprintf(buf, sizeof(buf), "had=%d\nok=%d\ntitle=%s\nwindow=%d\nvisible=%d\n", had, ok, title, w != nullptr,
             w ? (int)IsWindowVisible(w) : 0);
    Record("console.txt", buf);
    HostConsole_Free();
    return 0;
}
