// Key tables, menus, the image strip and tool tips of the main window.
#include "ui/shell/ShellMenus_win.h"

#include "base/sjis.h"
#include "res/resource.h"
#include "ui/shell/Commands.h"
#include "ui/keys/Accel_win.h"
#include "ui/keys/KeyPage_win.h"
#include "ui/keys/MenuText.h"
#include "ui/keys/OwnerDrawMenu_win.h"
#include "ui/shell/Views.h"

#include <commctrl.h>

#include <new>

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
    return Shell_ImageStrip(bmp, 16, 0, true);
}

HIMAGELIST Shell_ImageStrip(HBITMAP bmp, int cell, COLORREF transparent, bool fromTopLeft)
{
    if (!bmp)
        return nullptr;
    BITMAP bm = {};
    GetObjectA(bmp, sizeof bm, &bm);
    HIMAGELIST list = nullptr;
    if (bm.bmWidth >= cell && bm.bmHeight >= cell && bm.bmWidth <= cell * 4096 && bm.bmHeight <= 4096) {
        if (fromTopLeft) {
            HDC dc = CreateCompatibleDC(nullptr);
            HGDIOBJ old = SelectObject(dc, bmp);
            transparent = GetPixel(dc, 0, 0);
            SelectObject(dc, old);
            DeleteDC(dc);
        }
        list = ImageList_Create(cell, cell, ILC_COLOR24 | ILC_MASK, bm.bmWidth / cell, 4);
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

namespace {
// The key tables as read at start: the accelerators are made from them and
// the menu items show their keys.
KeyTable g_keyTables[KeyScopeCount];
}

void ShellMenus_BuildKeyTables()
{
    for (int s = 0; s < KeyScopeCount; ++s) {
        char path[MAX_PATH];
        KeyFilePath(g_shell.dataDir, (KeyScope)s, path, sizeof path);
        LoadKeyTable(g_keyTables[s], path, g_shell.instance, KeyResourceId((KeyScope)s));
        if (g_shell.accel[s])
            DestroyAcceleratorTable(g_shell.accel[s]);
        g_shell.accel[s] = KeyTable_CreateAccelerators(g_keyTables[s]);
    }
}

namespace {

// The key text of a command: its first binding in the global table, else in
// the title or folder view's table.
void KeyTextOf(const KeyTable tables[KeyScopeCount], int id, char* out, size_t size)
{
    out[0] = 0;
    for (KeyScope scope : {KeyScope::Global, KeyScope::TitleView, KeyScope::FolderView})
        if (KeyText(tables[(int)scope], id, 0, out, size) >= 0)
            return;
}

// Every item with a command gets "label<TAB>key" from the key tables.
void SetKeyTexts(HMENU menu, const KeyTable tables[KeyScopeCount])
{
    int n = GetMenuItemCount(menu);
    for (int i = 0; i < n; ++i) {
        char text[MenuTextSize * 2] = "";
        MENUITEMINFOA mi = {};
        mi.cbSize = sizeof mi;
        mi.fMask = MIIM_ID | MIIM_SUBMENU | MIIM_FTYPE | MIIM_STRING;
        mi.dwTypeData = text;
        mi.cch = sizeof text - 1;
        if (!GetMenuItemInfoA(menu, (UINT)i, TRUE, &mi))
            continue;
        if (mi.hSubMenu) {
            SetKeyTexts(mi.hSubMenu, tables);
            continue;
        }
        if (mi.fType & (MFT_SEPARATOR | MFT_OWNERDRAW) || mi.wID == 0)
            continue;
        char key[64];
        KeyTextOf(tables, (int)mi.wID, key, sizeof key);
        char joined[MenuTextSize];
        if (!MenuText_WithKey(text, key, joined, sizeof joined))
            continue;
        MENUITEMINFOA set = {};
        set.cbSize = sizeof set;
        set.fMask = MIIM_STRING;
        set.dwTypeData = joined;
        SetMenuItemInfoA(menu, (UINT)i, TRUE, &set);
    }
}

COwnerDrawMenu* NewOwnerDraw()
{
    COwnerDrawMenu* odm = new (std::nothrow) COwnerDrawMenu;
    if (!odm)
        return nullptr;
    odm->LoadImages(g_shell.instance, g_shell.bitsPerPixel < 16 ? IDB_TOOLBAR16 : IDB_TOOLBAR);
    for (size_t i = 0; i < g_menuIconCount; ++i)
        odm->AddIcon(g_menuIcons[i].id, g_menuIcons[i].image);
    return odm;
}

}  // namespace

void ShellMenus_ReloadKeys()
{
    ShellMenus_BuildKeyTables();
    if (!g_shell.menu)
        return;
    // Owner-drawn items draw their kept copies: undo, set the texts, convert again.
    if (g_shell.ownerDraw)
        g_shell.ownerDraw->UndoBar(g_shell.menu);
    SetKeyTexts(g_shell.menu, g_keyTables);
    if (g_shell.ownerDraw)
        g_shell.ownerDraw->ConvertBar(g_shell.menu);
    DrawMenuBar(g_shell.main);
}

void ShellMenus_Init()
{
    // The keyboard page finds the key files in the data folder and has the
    // main window reload them once it saved them.
    KeyPageHost host;
    host.dataFolder = g_shell.dataDir;
    host.keysSaved = [](void*) { SendMessageA(g_shell.main, UWM_KEYS_CHANGED, 0, 0); };
    KeyPage_SetHost(host);
    if (g_shell.menu)
        SetKeyTexts(g_shell.menu, g_keyTables);
    if (!g_shell.opt.normalMenu && g_shell.menu) {
        g_shell.ownerDraw = NewOwnerDraw();
        if (g_shell.ownerDraw)
            g_shell.ownerDraw->ConvertBar(g_shell.menu);
    }
    DrawMenuBar(g_shell.main);
}

void ShellMenus_Done()
{
    if (g_shell.ownerDraw) {
        if (g_shell.menu)
            g_shell.ownerDraw->UndoBar(g_shell.menu);
        delete g_shell.ownerDraw;
        g_shell.ownerDraw = nullptr;
    }
}

void ShellMenus_OnDrawItem(DRAWITEMSTRUCT* dis)
{
    if (g_shell.ownerDraw && dis->CtlType == ODT_MENU)
        g_shell.ownerDraw->DrawItem(dis);
}

void ShellMenus_OnMeasureItem(MEASUREITEMSTRUCT* mis)
{
    if (g_shell.ownerDraw && mis->CtlType == ODT_MENU)
        g_shell.ownerDraw->MeasureItem(mis);
}

int ShellMenus_OnMenuChar(WPARAM wp, LPARAM lp, LRESULT* result)
{
    if (!g_shell.ownerDraw)
        return 0;
    *result = g_shell.ownerDraw->MenuChar(LOWORD(wp), (HMENU)lp);
    return 1;
}

void ShellMenus_TooltipText(int id, char* out, size_t size)
{
    if (!size)
        return;
    out[0] = 0;
    if (g_shell.ownerDraw && g_shell.menu)
        g_shell.ownerDraw->ToolTipText(g_shell.menu, (UINT)id, out, size);
}

void Shell_TrackPopup(HMENU popup, int x, int y)
{
    // Plain menus apply to context menus at once.
    COwnerDrawMenu* odm = g_shell.opt.normalMenu ? nullptr : g_shell.ownerDraw;
    bool own = false;
    if (!g_shell.opt.normalMenu && !odm) {
        odm = NewOwnerDraw();
        own = odm != nullptr;
    }
    COwnerDrawMenu* saved = g_shell.ownerDraw;
    g_shell.ownerDraw = odm;
    if (odm)
        odm->Convert(popup);
    TrackPopupMenu(popup, TPM_LEFTALIGN | TPM_RIGHTBUTTON, x, y, 0, g_shell.main, nullptr);
    if (odm)
        odm->Undo(popup);
    g_shell.ownerDraw = saved;
    if (own)
        delete odm;
}
