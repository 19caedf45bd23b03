// The hidden console that plug-ins started by the host share.
#include "pluginhost/PluginHost.h"

namespace {
const char kTitle[] = "zeva_console_window";
}

void HostConsole_Hide()
{
    HWND h = FindWindowA("tty", kTitle);
    if (!h)
        h = FindWindowA("ConsoleWindowClass", kTitle);
    // The new title may not have reached the window yet.
    if (!h)
        h = GetConsoleWindow();
    if (h)
        ShowWindow(h, SW_HIDE);
}

int HostConsole_Create()
{
    AllocConsole();
    SetConsoleTitleA(kTitle);
    HostConsole_Hide();
    char title[64] = "";
    GetConsoleTitleA(title, sizeof(title));
    return strcmp(title, kTitle) == 0;
}

void HostConsole_Free()
{
    FreeConsole();
}
