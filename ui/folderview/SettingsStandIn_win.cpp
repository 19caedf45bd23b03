// Stands in for the folder property sheet until it is built: nothing is
// shown and nothing changes.
#include "pluginhost/SettingsSheet_win.h"

int FolderProperties_Show(HWND, const char*)
{
    return 0;
}
