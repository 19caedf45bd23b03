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

HWND FolderView_Create(HWND main) { return g_shell.folderView = CreatePane(main, IDC_FOLDERVIEW, EdgeStyle()); }
int FolderView_IsBuilt() { return 0; }
LRESULT FolderView_OnNotify(NMHDR*) { return 0; }
void FolderView_OnContextMenu(int, int) {}
void FolderView_UpdateMenu(HMENU) {}
void FolderView_Command(int) {}
void FolderView_Refresh() {}
void FolderView_Clear() {}
void FolderView_UpdateOpenStore(int, int, int) {}
int FolderView_DragHover(POINT) { return 0; }
void FolderView_DragEnd(HWND, int, int) {}


int Search_IsBuilt() { return 0; }
void Search_Command(int) {}
int Options_IsBuilt() { return 0; }
void Options_Show() {}
