// Panes of views that are not built yet: empty child windows with the
// view's control id, so that the layout, the focus ring and the command
// routing have their places. Their commands do nothing and are greyed.
#include "res/resource.h"
#include "ui/shell/Shell.h"
#include "ui/shell/Views.h"

namespace {

const char kPaneClass[] = "ZevaPane";

HWND CreatePane(HWND main, int id, DWORD exStyle)
{
    static bool registered = false;
    if (!registered) {
        WNDCLASSA wc = {};
        wc.lpfnWndProc = DefWindowProcA;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
        wc.hbrBackground = (HBRUSH)(COLOR_WINDOW + 1);
        wc.lpszClassName = kPaneClass;
        registered = RegisterClassA(&wc) != 0;
    }
    return CreateWindowExA(exStyle, kPaneClass, "", WS_CHILD | WS_VISIBLE | WS_TABSTOP, 0, 0, 0, 0, main,
                           (HMENU)(INT_PTR)id, GetModuleHandleA(nullptr), nullptr);
}

DWORD EdgeStyle()
{
    return g_shell.opt.windowClientEdge ? WS_EX_CLIENTEDGE : 0;
}

}  // namespace

HWND TitleView_Create(HWND main) { return g_shell.titleView = CreatePane(main, IDC_TITLEVIEW, EdgeStyle()); }
int TitleView_IsBuilt() { return 0; }
LRESULT TitleView_OnNotify(NMHDR*) { return 0; }
void TitleView_OnDrawItem(DRAWITEMSTRUCT*) {}
void TitleView_OnMeasureItem(MEASUREITEMSTRUCT*) {}
void TitleView_OnContextMenu(int, int) {}
void TitleView_UpdateMenu(HMENU) {}
void TitleView_Command(int) {}
void TitleView_Empty() {}
void TitleView_Refill() {}
void TitleView_EnsureCurrentVisible() {}
void TitleView_DropCurrent() {}
void TitleView_Release() {}

HWND HeaderView_Create(HWND main)
{
    g_shell.headerView = CreatePane(main, IDC_HEADERVIEW, 0);
    // Two text lines and a margin, as the strip will measure itself.
    if (g_shell.headerView)
        SetWindowPos(g_shell.headerView, nullptr, 0, 0, 0, 34, SWP_NOZORDER | SWP_NOMOVE);
    return g_shell.headerView;
}
void HeaderView_SetHeader(const char*, const char*, const char*, const char*, const char*) {}
HWND TextView_Create(HWND main) { return g_shell.textView = CreatePane(main, IDC_TEXTVIEW, EdgeStyle()); }
int TextView_IsBuilt() { return 0; }
void TextView_ShowText(const char*) {}
int TextView_Page(int) { return 0; }
int TextView_AtEnd() { return 1; }
void TextView_Command(int) {}
void TextView_OnContextMenu(int, int) {}
void TextView_ShowFile(const char*) {}
void TextView_Release() {}

int HtmlView_IsBuilt() { return 0; }
void HtmlView_Command(int) {}
void HtmlView_SetTopmost(int) {}

int Search_IsBuilt() { return 0; }
void Search_Command(int) {}
int Options_IsBuilt() { return 0; }
void Options_Show() {}
