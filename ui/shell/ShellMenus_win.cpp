// Key tables, menus, the image strip and tool tips of the main window.
#include "ui/shell/ShellMenus_win.h"

#include "base/sjis.h"
#include "res/resource.h"
#include "ui/shell/Commands.h"
#include "ui/shell/Views.h"

#include <commctrl.h>

namespace {

bool RouteBuilt(int route)
{
    switch (route) {
    case ROUTE_FOLDER: return FolderView_IsBuilt() != 0;
    case ROUTE_TITLE: return TitleView_IsBuilt() != 0;
    case ROUTE_TEXT: return TextView_IsBuilt() != 0;
    case ROUTE_SEARCH: return Search_IsBuilt() != 0;
    case ROUTE_OPTIONS: return Options_IsBuilt() != 0;
    case ROUTE_HTML: return HtmlView_IsBuilt() != 0;
    case ROUTE_BY_FOCUS: return TextView_IsBuilt() || TitleView_IsBuilt();
    case ROUTE_NONE: return false;
    }
    return true;
}

HWND FocusedPane()
{
    HWND f = GetFocus();
    for (HWND pane : {g_shell.folderView, g_shell.titleView})
        if (pane && f && (f == pane || IsChild(pane, f)))
            return pane;
    return nullptr;
}

}  // namespace

int ShellMenus_Translate(MSG* msg)
{
    if (g_shell.labelEditing || !g_shell.main)
        return 0;
    HWND pane = FocusedPane();
    HACCEL scoped = pane == g_shell.folderView ? g_shell.accel[KEYS_FOLDER]
                    : pane == g_shell.titleView ? g_shell.accel[KEYS_TITLE]
                                                : nullptr;
    if (scoped && TranslateAcceleratorA(g_shell.main, scoped, msg))
        return 1;
    return g_shell.accel[KEYS_GLOBAL] && TranslateAcceleratorA(g_shell.main, g_shell.accel[KEYS_GLOBAL], msg);
}

HIMAGELIST ShellMenus_LoadStrip(int forToolbar)
{
    HBITMAP bmp = nullptr;
    if (forToolbar) {
        char path[MAX_PATH];
        Str_Format(path, sizeof path, "%sToolbar.bmp", g_shell.dataDir);
        bmp = (HBITMAP)LoadImageA(nullptr, path, IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE | LR_CREATEDIBSECTION);
    }
    if (!bmp) {
        int id = g_shell.bitsPerPixel < 16 ? IDB_TOOLBAR16 : IDB_TOOLBAR;
        bmp = (HBITMAP)LoadImageA(g_shell.instance, MAKEINTRESOURCEA(id), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION);
    }
    if (!bmp)
        return nullptr;
    BITMAP bm = {};
    GetObjectA(bmp, sizeof bm, &bm);
    HIMAGELIST list = nullptr;
    // A strip must be at least one cell; anything else is refused.
    if (bm.bmWidth >= 16 && bm.bmHeight >= 16 && bm.bmWidth <= 16 * 4096 && bm.bmHeight <= 4096) {
        HDC dc = CreateCompatibleDC(nullptr);
        HGDIOBJ old = SelectObject(dc, bmp);
        COLORREF transparent = GetPixel(dc, 0, 0);
        SelectObject(dc, old);
        DeleteDC(dc);
        list = ImageList_Create(16, 16, ILC_COLOR24 | ILC_MASK, bm.bmWidth / 16, 4);
        if (list)
            ImageList_AddMasked(list, bmp, transparent);
    }
    DeleteObject(bmp);
    return list;
}

void ShellMenus_GreyUnbuilt(HMENU menu)
{
    for (size_t i = 0; i < g_commandCount; ++i) {
        if (RouteBuilt(g_commands[i].route))
            continue;
        if (menu)
            EnableMenuItem(menu, g_commands[i].id, MF_BYCOMMAND | MF_GRAYED);
        if (menu == g_shell.menu && g_shell.toolbar)
            SendMessageA(g_shell.toolbar, TB_ENABLEBUTTON, g_commands[i].id, MAKELONG(FALSE, 0));
    }
}

// Until the key module arrives: no tables, plain menus, no tool tips.
void ShellMenus_BuildKeyTables() {}
void ShellMenus_Init() {}
void ShellMenus_Done() {}
void ShellMenus_OnDrawItem(DRAWITEMSTRUCT*) {}
void ShellMenus_OnMeasureItem(MEASUREITEMSTRUCT*) {}
int ShellMenus_OnMenuChar(WPARAM, LPARAM, LRESULT*) { return 0; }
void ShellMenus_TooltipText(int, char* out, size_t size)
{
    if (size)
        out[0] = 0;
}
