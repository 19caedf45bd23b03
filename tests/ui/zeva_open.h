// Opens a store of the running program as choosing it in the folder view
// does: the open request, in the program's memory, sent to its main window.
#pragma once
#include "ui/driver/UiDriver.h"
#include "ui/shell/Shell.h"

#include <cstdio>
#include <string>

inline bool ZevaOpenStore(HWND main, const std::string& path)
{
    OpenItemRequest req = {};
    snprintf(req.path, sizeof req.path, "%s", path.c_str());
    req.isStore = 1;
    uidriver::RemoteMemory mem(main, sizeof req);
    if (!mem.Ok() || !mem.Write(&req, sizeof req))
        return false;
    DWORD_PTR r = 0;
    return SendMessageTimeoutA(main, UWM_OPEN_ITEM, 0, (LPARAM)mem.Address(), SMTO_NORMAL, 120000, &r) != 0;
}
