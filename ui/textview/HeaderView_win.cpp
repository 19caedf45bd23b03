// HeaderView: the two-line strip above the text view with the article's
// title and home page, poster, e-mail and date.
#include "res/resource.h"
#include "ui/shell/Shell.h"
#include "ui/shell/Views.h"
#include "ui/textview/TextFormat.h"
#include "ui/textview/TextView_win.h"

#include <string>

namespace {

const char kClass[] = "HeaderView";

struct HeaderState {
    HFONT font = nullptr;
    std::string line[2];
} g_header;

int LineHeight(HWND wnd)
{
    HDC dc = GetDC(wnd);
    HGDIOBJ old = SelectObject(dc, g_header.font ? (HGDIOBJ)g_header.font : GetStockObject(DEFAULT_GUI_FONT));
    TEXTMETRICA tm = {};
    GetTextMetricsA(dc, &tm);
    SelectObject(dc, old);
    ReleaseDC(wnd, dc);
    return tm.tmHeight;
}

void Paint(HWND wnd)
{
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(wnd, &ps);
    RECT rc;
    GetClientRect(wnd, &rc);
    HGDIOBJ oldFont = SelectObject(dc, g_header.font ? (HGDIOBJ)g_header.font : GetStockObject(DEFAULT_GUI_FONT));
    SetTextColor(dc, GetSysColor(COLOR_BTNTEXT));
    SetBkColor(dc, GetSysColor(COLOR_BTNFACE));
    // A status-bar panel over the client area (one pixel taller), and a
    // raised panel one pixel inside it on the left, top and right.
    RECT outer = rc;
    outer.bottom += 1;
    FillRect(dc, &outer, GetSysColorBrush(COLOR_BTNFACE));
    DrawEdge(dc, &outer, BDR_SUNKENOUTER, BF_RECT);
    RECT inner = {outer.left + 1, outer.top + 1, outer.right - 1, outer.bottom};
    DrawEdge(dc, &inner, BDR_RAISEDINNER, BF_RECT);
    int h = LineHeight(wnd);
    int y = 3;
    for (const std::string& line : g_header.line) {
        RECT clip = {4, y, rc.right - 4, y + h};
        ExtTextOutA(dc, 4, y, ETO_OPAQUE | ETO_CLIPPED, &clip, line.c_str(), (UINT)line.size(), nullptr);
        y += h + 1;
    }
    SelectObject(dc, oldFont);
    EndPaint(wnd, &ps);
}

void OnSetFont(HWND wnd, HFONT font, BOOL redraw)
{
    g_header.font = font;
    RECT rc;
    GetClientRect(wnd, &rc);
    SetWindowPos(wnd, nullptr, 0, 0, rc.right, 2 * LineHeight(wnd) + 6, SWP_NOZORDER | SWP_NOMOVE | SWP_NOACTIVATE);
    if (g_shell.main)
        Shell_Layout();
    if (redraw)
        InvalidateRect(wnd, nullptr, TRUE);
}

LRESULT CALLBACK HeaderProc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp)
{
    switch (msg) {
    case WM_PAINT:
        Paint(wnd);
        return 0;
    case WM_ERASEBKGND:
        return 1;
    case WM_SETFONT:
        OnSetFont(wnd, (HFONT)wp, LOWORD(lp));
        return 0;
    case WM_GETFONT:
        return (LRESULT)g_header.font;
    case WM_SIZE:
        InvalidateRect(wnd, nullptr, FALSE);
        return 0;
    }
    return DefWindowProcA(wnd, msg, wp, lp);
}

}  // namespace

HWND HeaderView_Create(HWND main)
{
    static bool registered = false;
    if (!registered) {
        WNDCLASSA wc = {};
        wc.lpfnWndProc = HeaderProc;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
        wc.lpszClassName = kClass;
        if (!RegisterClassA(&wc)) {
            MessageBoxA(main, "HeaderViewClassの登録に失敗しました", nullptr, MB_OK | MB_ICONERROR);
            return nullptr;
        }
        registered = true;
    }
    g_header.font = nullptr;
    g_header.line[0].clear();
    g_header.line[1].clear();
    g_shell.headerView = CreateWindowExA(0, kClass, "", WS_CHILD | WS_VISIBLE, 0, 0, 0, 0, main,
                                         (HMENU)(INT_PTR)IDC_HEADERVIEW, GetModuleHandleA(nullptr), nullptr);
    if (!g_shell.headerView) {
        MessageBoxA(main, "HeaderViewの作成に失敗しました", nullptr, MB_OK | MB_ICONERROR);
        return nullptr;
    }
    // Two lines of the default font until the shell sets the view's font.
    SetWindowPos(g_shell.headerView, nullptr, 0, 0, 0, 2 * LineHeight(g_shell.headerView) + 6,
                 SWP_NOZORDER | SWP_NOMOVE | SWP_NOACTIVATE);
    return g_shell.headerView;
}

void HeaderView_SetHeader(const char* title, const char* name, const char* email, const char* hp,
                          const char* dateTime)
{
    // No article (no values at all): both lines empty.
    auto none = [](const char* s) { return !s || !*s; };
    if (none(title) && none(name) && none(email) && none(hp) && none(dateTime)) {
        g_header.line[0].clear();
        g_header.line[1].clear();
    } else {
        TextFormat_HeaderLines(title, name, email, hp, dateTime, &g_header.line[0], &g_header.line[1]);
    }
    if (g_shell.headerView)
        InvalidateRect(g_shell.headerView, nullptr, FALSE);
}

const char* HeaderView_Line(int n)
{
    return (n == 0 || n == 1) ? g_header.line[n].c_str() : "";
}
