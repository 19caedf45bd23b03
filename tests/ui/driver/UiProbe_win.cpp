// The driver's probe: a small library that the driver loads into the program
// under test. Its functions run on a thread the driver creates there and
// read what cannot be read across the process boundary.
#include "UiProbe.h"

#include <stdio.h>
#include <string.h>

namespace {

// Appends a formatted line within the capacity; marks the block truncated
// when it does not fit.
void Put(UiProbeRequest* req, const char* line, int len)
{
    if (len < 0 || req->used + (DWORD)len + 1 > req->capacity) {
        req->truncated = 1;
        return;
    }
    memcpy(req->text + req->used, line, (size_t)len);
    req->used += (DWORD)len;
    req->text[req->used] = 0;
}

void Walk(UiProbeRequest* req, HMENU menu, int depth)
{
    int count = GetMenuItemCount(menu);
    for (int pos = 0; pos < count && depth < 16; ++pos) {
        char text[512] = "";
        MENUITEMINFOA mi = {};
        mi.cbSize = sizeof mi;
        mi.fMask = MIIM_ID | MIIM_FTYPE | MIIM_STATE | MIIM_SUBMENU | MIIM_DATA | MIIM_STRING;
        mi.dwTypeData = text;
        mi.cch = sizeof text - 1;
        if (!GetMenuItemInfoA(menu, (UINT)pos, TRUE, &mi))
            continue;
        text[sizeof text - 1] = 0;
        if (mi.fType & (MFT_OWNERDRAW | MFT_SEPARATOR | MFT_BITMAP))
            text[0] = 0;   // no string of its own
        char line[700];
        int len = snprintf(line, sizeof line, "%d\t%d\t%u\t%u\t%u\t%lu\t%lu\t%s\n", depth, pos, mi.wID, mi.fType,
                           mi.fState, (unsigned long)(ULONG_PTR)mi.hSubMenu, (unsigned long)mi.dwItemData, text);
        if (len >= (int)sizeof line)
            len = -1;
        Put(req, line, len);
        if (mi.hSubMenu)
            Walk(req, mi.hSubMenu, depth + 1);
    }
}

}  // namespace

extern "C" __declspec(dllexport) DWORD WINAPI UiProbe_Menu(void* param)
{
    UiProbeRequest* req = (UiProbeRequest*)param;
    if (!req || req->capacity == 0)
        return 0;
    req->used = 0;
    req->truncated = 0;
    req->text[0] = 0;
    HMENU menu = req->menu ? (HMENU)(ULONG_PTR)req->menu : GetMenu((HWND)(ULONG_PTR)req->window);
    if (!menu || GetMenuItemCount(menu) < 0)
        return 0;
    Walk(req, menu, 0);
    return 1;
}
