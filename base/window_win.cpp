#ifdef _WIN32
#include "base/window_win.h"

void Wnd_CentreOver(HWND wnd, HWND owner)
{
    RECT r, o;
    if (!GetWindowRect(wnd, &r))
        return;
    HWND top = owner ? GetAncestor(owner, GA_ROOT) : nullptr;
    if (!top || IsIconic(top) || !GetWindowRect(top, &o))
        SystemParametersInfoA(SPI_GETWORKAREA, 0, &o, 0);
    int w = r.right - r.left, h = r.bottom - r.top;
    int x = o.left + ((o.right - o.left) - w) / 2, y = o.top + ((o.bottom - o.top) - h) / 2;
    SetWindowPos(wnd, nullptr, x > 0 ? x : 0, y > 0 ? y : 0, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}
#endif
