// Driving another process: commands, keys and mouse clicks.
#include "UiDriver.h"

namespace uidriver {

bool PostCommand(HWND wnd, int id)
{
    return PostMessageA(wnd, WM_COMMAND, MAKEWPARAM(id, 0), 0) != 0;
}

bool SendCommand(HWND wnd, int id, DWORD ms)
{
    DWORD_PTR r = 0;
    return SendMessageTimeoutA(wnd, WM_COMMAND, MAKEWPARAM(id, 0), 0, SMTO_NORMAL, ms, &r) != 0;
}

namespace {

bool Extended(UINT vk)
{
    switch (vk) {
    case VK_LEFT: case VK_RIGHT: case VK_UP: case VK_DOWN: case VK_PRIOR: case VK_NEXT:
    case VK_HOME: case VK_END: case VK_INSERT: case VK_DELETE: case VK_APPS: case VK_DIVIDE:
    case VK_RCONTROL: case VK_RMENU:
        return true;
    }
    return false;
}

LPARAM KeyParam(UINT vk, bool up)
{
    LPARAM lp = 1 | (LPARAM)(MapVirtualKeyA(vk, MAPVK_VK_TO_VSC) & 0xFF) << 16;
    if (Extended(vk))
        lp |= 1 << 24;
    if (up)
        lp |= (LPARAM)3 << 30;   // previous state down, transition up
    return lp;
}

INPUT Key(UINT vk, bool up)
{
    INPUT in = {};
    in.type = INPUT_KEYBOARD;
    in.ki.wVk = (WORD)vk;
    in.ki.wScan = (WORD)MapVirtualKeyA(vk, MAPVK_VK_TO_VSC);
    in.ki.dwFlags = (up ? KEYEVENTF_KEYUP : 0) | (Extended(vk) ? KEYEVENTF_EXTENDEDKEY : 0);
    return in;
}

HWND TopOf(HWND wnd)
{
    HWND top = GetAncestor(wnd, GA_ROOT);
    return top ? top : wnd;
}

}  // namespace

bool PostKey(HWND control, UINT vk)
{
    return PostMessageA(control, WM_KEYDOWN, vk, KeyParam(vk, false)) &&
           PostMessageA(control, WM_KEYUP, vk, KeyParam(vk, true));
}

bool BringToFront(HWND topLevel)
{
    if (IsIconic(topLevel))
        ShowWindowAsync(topLevel, SW_RESTORE);
    if (GetForegroundWindow() != topLevel)
        SetForegroundWindow(topLevel);
    return WaitFor([&] { return GetForegroundWindow() == topLevel && GuiOf(topLevel).active == topLevel; }, 3000);
}

bool FocusControl(HWND control)
{
    DWORD target = GetWindowThreadProcessId(control, nullptr), self = GetCurrentThreadId();
    if (!target)
        return false;
    bool attached = target != self && AttachThreadInput(self, target, TRUE);
    SetFocus(control);
    if (attached)
        AttachThreadInput(self, target, FALSE);
    return WaitFor([&] { return FocusOf(control) == control; }, 3000);
}

bool SendKey(HWND control, UINT vk, unsigned modifiers)
{
    if (!BringToFront(TopOf(control)) || !FocusControl(control))
        return false;
    std::vector<INPUT> in;
    const UINT mods[] = {VK_CONTROL, VK_SHIFT, VK_MENU};
    const unsigned bits[] = {kCtrl, kShift, kAlt};
    for (int i = 0; i < 3; ++i)
        if (modifiers & bits[i])
            in.push_back(Key(mods[i], false));
    in.push_back(Key(vk, false));
    in.push_back(Key(vk, true));
    for (int i = 2; i >= 0; --i)
        if (modifiers & bits[i])
            in.push_back(Key(mods[i], true));
    return SendInput((UINT)in.size(), in.data(), sizeof(INPUT)) == in.size();
}

bool PostClick(HWND wnd, int x, int y, bool right)
{
    LPARAM at = MAKELPARAM(x, y);
    UINT down = right ? WM_RBUTTONDOWN : WM_LBUTTONDOWN, up = right ? WM_RBUTTONUP : WM_LBUTTONUP;
    return PostMessageA(wnd, WM_MOUSEMOVE, 0, at) && PostMessageA(wnd, down, right ? MK_RBUTTON : MK_LBUTTON, at) &&
           PostMessageA(wnd, up, 0, at);
}

bool Click(HWND wnd, int x, int y, bool right, bool twice)
{
    if (!BringToFront(TopOf(wnd)))
        return false;
    POINT p = {x, y};
    ClientToScreen(wnd, &p);
    SetCursorPos(p.x, p.y);
    int cx = GetSystemMetrics(SM_CXSCREEN), cy = GetSystemMetrics(SM_CYSCREEN);
    INPUT move = {};
    move.type = INPUT_MOUSE;
    move.mi.dx = (LONG)(((LONGLONG)p.x * 65535 + cx / 2) / (cx > 1 ? cx - 1 : 1));
    move.mi.dy = (LONG)(((LONGLONG)p.y * 65535 + cy / 2) / (cy > 1 ? cy - 1 : 1));
    move.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
    std::vector<INPUT> in = {move};
    for (int i = 0; i < (twice ? 2 : 1); ++i) {
        INPUT b = {};
        b.type = INPUT_MOUSE;
        b.mi.dwFlags = right ? MOUSEEVENTF_RIGHTDOWN : MOUSEEVENTF_LEFTDOWN;
        in.push_back(b);
        b.mi.dwFlags = right ? MOUSEEVENTF_RIGHTUP : MOUSEEVENTF_LEFTUP;
        in.push_back(b);
    }
    return SendInput((UINT)in.size(), in.data(), sizeof(INPUT)) == in.size();
}

bool MouseDrag(HWND from, POINT p, HWND to, POINT q, bool copy)
{
    if (!BringToFront(TopOf(from)))
        return false;
    ClientToScreen(from, &p);
    ClientToScreen(to, &q);
    auto mouse = [](DWORD flags) {
        INPUT in = {};
        in.type = INPUT_MOUSE;
        in.mi.dwFlags = flags;
        SendInput(1, &in, sizeof in);
    };
    auto key = [](WORD vk, bool up) {
        INPUT in = {};
        in.type = INPUT_KEYBOARD;
        in.ki.wVk = vk;
        in.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
        SendInput(1, &in, sizeof in);
    };
    SetCursorPos(p.x, p.y);
    mouse(MOUSEEVENTF_LEFTDOWN);
    for (int i = 1; i <= 10; ++i) {
        Sleep(30);
        // The first steps also go down a little, past the drag threshold.
        SetCursorPos(p.x + (q.x - p.x) * i / 10, p.y + (q.y - p.y) * i / 10 + (i < 3 ? 8 : 0));
        mouse(MOUSEEVENTF_MOVE);
    }
    if (copy)
        key(VK_CONTROL, false);
    Sleep(100);
    mouse(MOUSEEVENTF_LEFTUP);
    if (copy)
        key(VK_CONTROL, true);
    return true;
}

}  // namespace uidriver
