// The folder view: the tree control mirroring the data folder, its image
// lists, rebuild and clear, selection with the delayed open, ticks, menu
// states, the context menu, label editing and folder drag and drop. The
// tree's decisions are made in FolderScan.cpp; this file moves them into the
// control.
#include "ui/folderview/FolderView_win.h"

#include "base/debug.h"
#include "base/fileio.h"
#include "base/profile.h"
#include "base/sjis.h"
#include "res/resource.h"
#include "ui/folderview/TreeFileCopy.h"
#include "ui/shell/Shell.h"
#include "ui/shell/ShellMenus_win.h"
#include "ui/shell/Views.h"

#include <commctrl.h>

#include <new>

namespace {

enum { kOpenTimer = 2, kOpenDelay = 250 };

struct FolderViewState {
    HWND tree = nullptr;
    WNDPROC treeProc = nullptr;
    HIMAGELIST images = nullptr, states = nullptr;
    CFolderTree model;
    int current = -1;   // the current item (selection or right click)
    int open = -1;      // the item whose store is open
    OpenItemRequest request = {};
    char currentPath[260] = "";
    AutoCollapseState collapse;
    int rebuilding = 0, clearing = 0, searching = 0;
    int dragNode = -1;
    bool imageDrag = false;
    void (*titleDrop)(const char*, int) = nullptr;
};
FolderViewState g_fv;

bool Valid(int n)
{
    return n >= 0 && n < g_fv.model.Count();
}

HTREEITEM Handle(int n)
{
    return Valid(n) ? (HTREEITEM)g_fv.model[n].handle : nullptr;
}

int NodeOf(HTREEITEM item)
{
    if (!item || !g_fv.tree)
        return -1;
    TVITEMA tv = {};
    tv.mask = TVIF_PARAM | TVIF_HANDLE;
    tv.hItem = item;
    if (!SendMessageA(g_fv.tree, TVM_GETITEMA, 0, (LPARAM)&tv))
        return -1;
    int n = (int)tv.lParam;
    return Valid(n) && g_fv.model[n].handle == item ? n : -1;
}

// ---- image lists ---------------------------------------------------------------

void CreateImageLists()
{
    char path[MAX_PATH];
    Str_Format(path, sizeof path, "%sFolderView.bmp", g_shell.dataDir);
    HBITMAP user = (HBITMAP)LoadImageA(nullptr, path, IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE | LR_CREATEDIBSECTION);
    g_fv.images = Shell_ImageStrip(user, 16, 0, true);
    if (!g_fv.images) {
        int id = g_shell.bitsPerPixel < 16 ? IDB_FOLDERVIEW16 : IDB_FOLDERVIEW;
        g_fv.images = Shell_ImageStrip(
            (HBITMAP)LoadImageA(g_shell.instance, MAKEINTRESOURCEA(id), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION), 16,
            RGB(255, 0, 255), false);
    }
    g_fv.states = Shell_ImageStrip((HBITMAP)LoadImageA(g_shell.instance, MAKEINTRESOURCEA(IDB_FOLDERSTATE), IMAGE_BITMAP, 0,
                                                0, LR_CREATEDIBSECTION),
                            12, RGB(255, 0, 255), false);
    SendMessageA(g_fv.tree, TVM_SETIMAGELIST, TVSIL_NORMAL, (LPARAM)g_fv.images);
    SendMessageA(g_fv.tree, TVM_SETIMAGELIST, TVSIL_STATE, (LPARAM)g_fv.states);
}

// ---- counts of the stores ----------------------------------------------------------

// The open store's live counts; the cache for every other store.
class CShellCounts : public CStoreCounts {
public:
    void Counts(const char* path, uint64_t writeTime, int* unread, int* unsent, char* title, size_t size) override
    {
        if (g_shell.subj && g_shell.openIsStore && Str_ICmp(path, g_shell.openPath) == 0) {
            g_shell.subj->Lock();
            *unread = g_shell.subj->Header().unread;
            *unsent = g_shell.subj->Header().unsent;
            Str_Copy(title, size, g_shell.subj->Header().title);
            g_shell.subj->Unlock();
            return;
        }
        const SubjCacheRecord* rec = g_shell.cache.Lookup(path, writeTime);
        if (!rec)
            return;
        *unread = rec->unread;
        *unsent = rec->unsent;
        Str_Copy(title, size, rec->title);
    }
};

// ---- the control from the model -------------------------------------------------------

void SetItem(int n, UINT mask)
{
    FolderNode& node = g_fv.model[n];
    TVITEMA tv = {};
    tv.mask = mask | TVIF_HANDLE;
    tv.hItem = (HTREEITEM)node.handle;
    tv.pszText = node.text;
    tv.iImage = tv.iSelectedImage = node.image;
    tv.stateMask = TVIS_STATEIMAGEMASK;
    tv.state = INDEXTOSTATEIMAGEMASK(node.state);
    SendMessageA(g_fv.tree, TVM_SETITEMA, 0, (LPARAM)&tv);
}

void SyncImages(int start)
{
    for (int n = start < 0 ? 0 : start; n < g_fv.model.Count(); ++n) {
        if (start >= 0 && n != start) {
            // Only the subtree of start.
            int a = g_fv.model[n].parent;
            while (a >= 0 && a != start)
                a = g_fv.model[a].parent;
            if (a != start)
                continue;
        }
        SetItem(n, TVIF_IMAGE | TVIF_SELECTEDIMAGE | TVIF_STATE);
    }
}

void InsertAll()
{
    // Parents come before their children in the model, in display order.
    std::vector<int> stack(1, 0);
    while (!stack.empty()) {
        int n = stack.back();
        stack.pop_back();
        FolderNode& node = g_fv.model[n];
        TVINSERTSTRUCTA ins = {};
        ins.hParent = node.parent < 0 ? TVI_ROOT : (HTREEITEM)g_fv.model[node.parent].handle;
        ins.hInsertAfter = TVI_LAST;
        ins.item.mask = TVIF_TEXT | TVIF_IMAGE | TVIF_SELECTEDIMAGE | TVIF_PARAM | TVIF_STATE;
        ins.item.pszText = node.text;
        ins.item.iImage = ins.item.iSelectedImage = node.image;
        ins.item.lParam = n;
        ins.item.stateMask = TVIS_STATEIMAGEMASK;
        ins.item.state = INDEXTOSTATEIMAGEMASK(node.state);
        node.handle = (void*)SendMessageA(g_fv.tree, TVM_INSERTITEMA, 0, (LPARAM)&ins);
        const std::vector<int>& ch = node.children;
        for (auto it = ch.rbegin(); it != ch.rend(); ++it)
            stack.push_back(*it);
    }
    for (int n = 0; n < g_fv.model.Count(); ++n)
        if (g_fv.model[n].expanded && !g_fv.model[n].children.empty())
            SendMessageA(g_fv.tree, TVM_EXPAND, TVE_EXPAND, (LPARAM)g_fv.model[n].handle);
}

// The expansion as the user left it.
void ReadExpansion()
{
    for (int n = 0; n < g_fv.model.Count(); ++n) {
        FolderNode& node = g_fv.model[n];
        if (!node.handle || node.children.empty())
            continue;
        UINT st = (UINT)SendMessageA(g_fv.tree, TVM_GETITEMSTATE, (WPARAM)node.handle, TVIS_EXPANDED);
        node.expanded = (st & TVIS_EXPANDED) != 0;
    }
}

// ---- opening -------------------------------------------------------------------------

void SetTitleAndStatus(const FolderItem* item)
{
    char text[300] = "";
    if (item)
        FolderItem_TitleText(*item, text, sizeof text);
    char title[600];
    Str_Format(title, sizeof title, "%s - %s %s", text, g_shell.internalName, g_shell.fileVersion);
    if (g_shell.main)
        SetWindowTextA(g_shell.main, title);
    Shell_SetStatusText(0, text);
}

void OpenNow()
{
    KillTimer(g_fv.tree, kOpenTimer);
    SetTitleAndStatus(Valid(g_fv.current) ? &g_fv.model[g_fv.current].item : nullptr);
    if (g_shell.main)
        SendMessageA(g_shell.main, UWM_OPEN_ITEM, 0, (LPARAM)&g_fv.request);
}

void OnSelChanged(NMTREEVIEWA* nm)
{
    int n = NodeOf(nm->itemNew.hItem);
    if (g_fv.clearing || n < 0)
        return;
    if (Valid(g_fv.current))
        TitleView_DropCurrent();
    if (nm->action == TVC_BYKEYBOARD && g_shell.opt.autoCollapse) {
        HTREEITEM parent = (HTREEITEM)SendMessageA(g_fv.tree, TVM_GETNEXTITEM, TVGN_PARENT, (LPARAM)nm->itemNew.hItem);
        intptr_t col[2];
        AutoCollapse_Step(&g_fv.collapse, (intptr_t)nm->itemNew.hItem, (intptr_t)parent, col);
        for (intptr_t c : col)
            if (c)
                SendMessageA(g_fv.tree, TVM_EXPAND, TVE_COLLAPSE, (LPARAM)c);
    }
    g_fv.current = n;
    Str_Copy(g_fv.currentPath, sizeof g_fv.currentPath, g_fv.model[n].item.path);
    int target = n;
    if (g_fv.model[n].item.kind == FIK_FOLDER && !g_fv.model[n].children.empty())
        target = g_fv.model[n].children[0];
    const FolderItem& it = g_fv.model[target].item;
    OpenItemRequest& r = g_fv.request;
    r.path[0] = 0;
    r.isStore = 0;
    r.item = (void*)&g_fv.model[target].item;
    if (it.kind == FIK_STORE || it.kind == FIK_LOG) {
        Str_Copy(r.path, sizeof r.path, it.path);
        r.isStore = it.kind == FIK_STORE;
    }
    g_fv.open = it.kind == FIK_STORE ? target : -1;
    FolderView_UpdateMenu(g_shell.menu);
    KillTimer(g_fv.tree, kOpenTimer);
    if (nm->action == TVC_BYKEYBOARD && !g_fv.searching && !g_fv.rebuilding)
        SetTimer(g_fv.tree, kOpenTimer, kOpenDelay, nullptr);
    else
        OpenNow();
}

LRESULT CALLBACK TreeProc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp)
{
    if (msg == WM_TIMER && wp == kOpenTimer) {
        OpenNow();
        return 0;
    }
    return CallWindowProcA(g_fv.treeProc, wnd, msg, wp, lp);
}

// ---- ticks and hits -------------------------------------------------------------------

HTREEITEM HitTest(POINT screen, UINT* flags)
{
    TVHITTESTINFO hit = {};
    hit.pt = screen;
    ScreenToClient(g_fv.tree, &hit.pt);
    HTREEITEM item = (HTREEITEM)SendMessageA(g_fv.tree, TVM_HITTEST, 0, (LPARAM)&hit);
    if (flags)
        *flags = hit.flags;
    return item;
}

bool ToggleIfStateImage(POINT screen)
{
    UINT flags = 0;
    HTREEITEM item = HitTest(screen, &flags);
    if (!item || !(flags & TVHT_ONITEMSTATEICON))
        return false;
    FolderView_ToggleTick(item);
    return true;
}

// ---- label editing ----------------------------------------------------------------------

LRESULT OnEndLabelEdit(NMTVDISPINFOA* di)
{
    g_shell.labelEditing = 0;
    int n = NodeOf(di->item.hItem);
    if (!di->item.pszText || n < 0 || g_fv.model[n].item.kind != FIK_FOLDER)
        return FALSE;
    const char* name = di->item.pszText;
    if (!FolderName_IsValid(name))
        return FALSE;
    FolderItem it = g_fv.model[n].item;
    char from[260], to[260], parent[260];
    Str_Copy(from, sizeof from, it.path);
    size_t len = strlen(from);
    if (len > 1 && from[len - 1] == '\\')
        from[len - 1] = 0;
    Str_CopyN(parent, sizeof parent, from, (size_t)(Path_FileName(from) - from));
    if (Str_Format(to, sizeof to, "%s%s", parent, name) >= (int)sizeof to - 1)
        return FALSE;
    // The open store must not be written back to its old place afterwards.
    if (g_shell.openPath[0] && Str_NICmp(g_shell.openPath, it.path, strlen(it.path)) == 0)
        FolderView_OpenNothing();
    if (!MoveFileA(from, to))
        return FALSE;
    char select[262];
    Str_Format(select, sizeof select, "%s\\", to);
    FolderView_Reset(0, select);
    return FALSE;
}

// ---- dragging ------------------------------------------------------------------------------

void BeginDrag(NMTREEVIEWA* nm)
{
    int n = NodeOf(nm->itemNew.hItem);
    if (n < 0 || g_shell.dragOwner)
        return;
    g_fv.dragNode = n;
    Shell_BeginViewDrag(g_fv.tree);
    HIMAGELIST img = (HIMAGELIST)SendMessageA(g_fv.tree, TVM_CREATEDRAGIMAGE, 0, (LPARAM)nm->itemNew.hItem);
    if (img) {
        ImageList_BeginDrag(img, 0, 0, 0);
        if (g_shell.dragImage)
            ImageList_SetDragCursorImage(g_shell.dragImage, 0, 0, 0);
        POINT pt;
        GetCursorPos(&pt);
        ImageList_DragEnter(nullptr, pt.x, pt.y);
        ImageList_Destroy(img);   // BeginDrag keeps a copy
        g_fv.imageDrag = true;
    }
}

void EndImageDrag()
{
    if (!g_fv.imageDrag)
        return;
    ImageList_DragLeave(nullptr);
    ImageList_EndDrag();
    g_fv.imageDrag = false;
}

}  // namespace

// ---- the shell's calls ---------------------------------------------------------------------

HWND FolderView_Create(HWND main)
{
    DWORD ex = WS_EX_STATICEDGE | (g_shell.opt.windowClientEdge ? WS_EX_CLIENTEDGE : 0);
    HWND tree = CreateWindowExA(ex, WC_TREEVIEWA, "",
                                WS_CHILD | WS_VISIBLE | WS_TABSTOP | TVS_HASBUTTONS | TVS_HASLINES | TVS_EDITLABELS |
                                    TVS_SHOWSELALWAYS,
                                0, 0, 0, 0, main, (HMENU)(INT_PTR)IDC_FOLDERVIEW, g_shell.instance, nullptr);
    if (!tree) {
        MessageBoxA(main, "FolderViewの作成に失敗しました", "", MB_OK);
        return nullptr;
    }
    g_fv = FolderViewState();
    g_fv.tree = g_shell.folderView = tree;
    g_fv.treeProc = (WNDPROC)SetWindowLongPtrA(tree, GWLP_WNDPROC, (LONG_PTR)TreeProc);
    CreateImageLists();
    g_shell.cache.Load(g_shell.dataDir);
    FolderView_Reset(1, nullptr);
    return tree;
}

int FolderView_IsBuilt()
{
    return 1;
}

void FolderView_Reset(int initial, const char* path)
{
    if (!g_fv.tree)
        return;
    ++g_fv.rebuilding;
    SendMessageA(g_fv.tree, WM_SETREDRAW, FALSE, 0);
    char select[260];
    Str_Copy(select, sizeof select, path ? path : g_fv.currentPath);
    if (!initial)
        FolderView_Clear();
    char statePath[MAX_PATH];
    Str_Format(statePath, sizeof statePath, "%sTreeState.ini", g_shell.dataDir);
    CTreeState state;
    {
        std::vector<char> bytes;
        if (File_ReadAll(statePath, bytes))
            state.Parse(bytes.data(), bytes.size());
    }
    FolderScanOptions opt;
    opt.dataDir = g_shell.dataDir;
    opt.showLogfile = g_shell.opt.showLogfile;
    opt.selectPath = select;
    opt.compareText = [](const char* a, const char* b) { return lstrcmpiA(a, b); };
    CShellCounts counts;
    try {
        g_fv.model.Build(opt, state, &counts);
        InsertAll();
    } catch (const std::bad_alloc&) {
        // Nothing to show without memory: end through the normal shutdown,
        // which saves the open store first.
        MessageBoxA(g_shell.main, g_fv.model.Count() ? "メモリが足りません"
                                                     : "メモリの確保に失敗しました : FolderView_Reset",
                    "", MB_OK);
        --g_fv.rebuilding;
        if (g_shell.main)
            PostMessageA(g_shell.main, WM_CLOSE, 0, 0);
        return;
    }
    if (Valid(g_fv.model.selected))
        SendMessageA(g_fv.tree, TVM_SELECTITEM, TVGN_CARET, (LPARAM)Handle(g_fv.model.selected));
    SendMessageA(g_fv.tree, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(g_fv.tree, nullptr, TRUE);
    SetCurrentDirectoryA(g_shell.dataDir);
    --g_fv.rebuilding;
}

void FolderView_Refresh()
{
    FolderView_Reset(0, nullptr);
}

void FolderView_Clear()
{
    if (!g_fv.tree)
        return;
    g_fv.current = g_fv.open = -1;
    KillTimer(g_fv.tree, kOpenTimer);
    ++g_fv.clearing;
    SendMessageA(g_fv.tree, TVM_SELECTITEM, TVGN_CARET, 0);
    ReadExpansion();
    char path[MAX_PATH];
    Str_Format(path, sizeof path, "%sTreeState.ini", g_shell.dataDir);
    std::string text = g_fv.model.TreeStateText();
    if (g_fv.model.Count())
        File_Replace(path, text.data(), text.size());
    SendMessageA(g_fv.tree, TVM_DELETEITEM, 0, (LPARAM)TVI_ROOT);
    g_fv.model.Clear();
    g_fv.collapse = AutoCollapseState();
    --g_fv.clearing;
}

void FolderView_SetFolderIcon(HTREEITEM start)
{
    int n = start ? NodeOf(start) : -1;
    g_fv.model.SetFolderIcon(n);
    SyncImages(n);
}

void FolderView_UpdateOpenStore(int unread, int unsent, int)
{
    int n = g_fv.open;
    if (!Valid(n))
        return;
    if (g_fv.model.UpdateStore(n, unread, unsent)) {
        SetItem(n, TVIF_TEXT | TVIF_IMAGE | TVIF_SELECTEDIMAGE);
        FolderView_SetFolderIcon(nullptr);
    } else {
        SetItem(n, TVIF_TEXT);
    }
}

int FolderView_SelectPath(const char* path)
{
    if (!path)
        return 0;
    if (Str_ICmp(path, g_fv.currentPath) == 0)
        return 1;
    int n = g_fv.model.Find(path);
    if (n < 0)
        return 0;
    ++g_fv.searching;   // opens at once
    SendMessageA(g_fv.tree, TVM_SELECTITEM, TVGN_CARET, (LPARAM)Handle(n));
    --g_fv.searching;
    return 1;
}

int FolderView_SelectNextStore(const StoreWalk& walk)
{
    ReadExpansion();
    int from = Valid(g_fv.current) ? g_fv.current : 0;
    int n = FolderTree_WalkStores(g_fv.model, from, walk);
    if (n < 0)
        return 0;
    ++g_fv.searching;
    SendMessageA(g_fv.tree, TVM_SELECTITEM, TVGN_CARET, (LPARAM)Handle(n));
    --g_fv.searching;
    return 1;
}

void FolderView_Searching(int delta)
{
    g_fv.searching += delta;
}

const FolderItem* FolderView_CurrentItem()
{
    return Valid(g_fv.current) ? &g_fv.model[g_fv.current].item : nullptr;
}

void FolderView_OpenNothing()
{
    OpenItemRequest none = {};
    if (g_shell.main)
        SendMessageA(g_shell.main, UWM_OPEN_ITEM, 0, (LPARAM)&none);
    g_fv.open = -1;
}

void FolderView_SetTitleDropHandler(void (*handler)(const char*, int))
{
    g_fv.titleDrop = handler;
}

void FolderView_ToggleTick(HTREEITEM item)
{
    int n = NodeOf(item);
    if (n < 0 || g_fv.model[n].item.kind != FIK_FOLDER)
        return;
    int flags = g_fv.model.ToggleTick(n);
    char ini[MAX_PATH], value[16];
    Str_Format(ini, sizeof ini, "%szeva_BBS.ini", g_fv.model[n].item.path);
    Str_Format(value, sizeof value, "%d", flags);
    Profile_WriteString("BASIC", "BBSFOLDER", value, ini);
    HTREEITEM parent = (HTREEITEM)SendMessageA(g_fv.tree, TVM_GETNEXTITEM, TVGN_PARENT, (LPARAM)item);
    FolderView_SetFolderIcon(parent);
}

LRESULT FolderView_OnNotify(NMHDR* nm)
{
    switch (nm->code) {
    case TVN_SELCHANGEDA:
        OnSelChanged((NMTREEVIEWA*)nm);
        return 0;
    case TVN_BEGINLABELEDITA:
        if (!Valid(g_fv.current) || g_fv.model[g_fv.current].item.kind != FIK_FOLDER)
            return TRUE;
        g_shell.labelEditing = 1;
        return FALSE;
    case TVN_ENDLABELEDITA:
        return OnEndLabelEdit((NMTVDISPINFOA*)nm);
    case TVN_DELETEITEMA: {
        // The records belong to the model, which Clear frees; the item only
        // lets go of its node.
        int n = NodeOf(((NMTREEVIEWA*)nm)->itemOld.hItem);
        if (n >= 0)
            g_fv.model[n].handle = nullptr;
        return 0;
    }
    case TVN_BEGINDRAGA:
        BeginDrag((NMTREEVIEWA*)nm);
        return 0;
    case NM_SETFOCUS:
    case NM_KILLFOCUS:
        if (g_shell.opt.smartFolder)
            Shell_Layout();
        return 0;
    case NM_RETURN:
        if (g_shell.titleView)
            SetFocus(g_shell.titleView);
        return TRUE;
    case NM_CLICK:
    case NM_DBLCLK: {
        DWORD pos = GetMessagePos();
        POINT pt = {(short)LOWORD(pos), (short)HIWORD(pos)};
        return ToggleIfStateImage(pt) ? TRUE : FALSE;
    }
    }
    return 0;
}

void FolderView_UpdateMenu(HMENU menu)
{
    bool item = Valid(g_fv.current) && g_fv.model[g_fv.current].item.kind != FIK_ROOT;
    bool folder = Valid(g_fv.current) && g_fv.model[g_fv.current].item.kind == FIK_FOLDER;
    struct {
        int id;
        bool on;
    } states[] = {{ID_IMPORT, item}, {ID_DELETE_FILE, item}, {ID_FOLDER_PROPERTIES, item},
                  {ID_PATROL_CURRENT, item}, {ID_RENAME, folder}};
    for (const auto& s : states) {
        if (menu && menu != g_shell.menu)
            EnableMenuItem(menu, (UINT)s.id, MF_BYCOMMAND | (s.on ? MF_ENABLED : MF_GRAYED));
        Shell_EnableCommand(s.id, s.on);
    }
}

void FolderView_OnContextMenu(int x, int y)
{
    HTREEITEM item = nullptr;
    POINT pt = {x, y};
    if (x == -1 && y == -1) {
        item = Handle(g_fv.current);
        RECT r;
        if (!item || !TreeView_GetItemRect(g_fv.tree, item, &r, TRUE))
            return;
        pt = {(r.left + r.right) / 2, (r.top + r.bottom) / 2};
        ClientToScreen(g_fv.tree, &pt);
    } else {
        if (ToggleIfStateImage(pt))
            return;
        item = HitTest(pt, nullptr);
        int n = NodeOf(item);
        if (n >= 0)
            g_fv.current = n;
    }
    HMENU menu = LoadMenuA(g_shell.instance, MAKEINTRESOURCEA(IDM_FOLDER_CONTEXT));
    if (!menu)
        return;
    HMENU popup = GetSubMenu(menu, 0);
    FolderView_UpdateMenu(popup);
    if (item)
        SendMessageA(g_fv.tree, TVM_SELECTITEM, TVGN_DROPHILITE, (LPARAM)item);
    Shell_TrackPopup(popup, pt.x, pt.y);
    SendMessageA(g_fv.tree, TVM_SELECTITEM, TVGN_DROPHILITE, 0);
    DestroyMenu(menu);
}

void FolderView_Command(int id)
{
    if (id == ID_RENAME) {
        if (Valid(g_fv.current) && g_fv.model[g_fv.current].item.kind == FIK_FOLDER) {
            SetFocus(g_fv.tree);
            SendMessageA(g_fv.tree, TVM_EDITLABELA, 0, (LPARAM)Handle(g_fv.current));
        }
        return;
    }
    if (id == ID_FOLDER_CHECK) {
        FolderView_ToggleTick(Handle(g_fv.current));
        return;
    }
    // With nothing current a new folder goes into the data folder.
    if (!Valid(g_fv.current) && id == ID_NEW_FOLDER && g_fv.model.Count())
        g_fv.current = 0;
    if (!Valid(g_fv.current))
        return;
    // A copy: the commands rebuild the tree.
    FolderItem item = g_fv.model[g_fv.current].item;
    HTREEITEM above = (HTREEITEM)SendMessageA(g_fv.tree, TVM_GETNEXTITEM, TVGN_PREVIOUSVISIBLE,
                                              (LPARAM)Handle(g_fv.current));
    FolderCommands_Run(id, &item, above);
}

const FolderItem* FolderView_ItemOf(HTREEITEM item)
{
    int n = NodeOf(item);
    return n >= 0 ? &g_fv.model[n].item : nullptr;
}

int FolderView_DragHover(POINT screen)
{
    if (!g_fv.tree)
        return 0;
    HTREEITEM item = HitTest(screen, nullptr);
    if (g_fv.imageDrag)
        ImageList_DragShowNolock(FALSE);
    SendMessageA(g_fv.tree, TVM_SELECTITEM, TVGN_DROPHILITE, (LPARAM)item);
    if (g_fv.imageDrag) {
        UpdateWindow(g_fv.tree);
        ImageList_DragShowNolock(TRUE);
        ImageList_DragMove(screen.x, screen.y);
    }
    return item != nullptr;
}

void FolderView_DragEnd(HWND owner, int drop, int copy)
{
    if (!g_fv.tree)
        return;
    HTREEITEM target = (HTREEITEM)SendMessageA(g_fv.tree, TVM_GETNEXTITEM, TVGN_DROPHILITE, 0);
    int t = NodeOf(target);
    SendMessageA(g_fv.tree, TVM_SELECTITEM, TVGN_DROPHILITE, 0);
    if (owner != g_fv.tree) {
        if (drop && t >= 0 && g_fv.titleDrop) {
            char target[260];
            Str_Copy(target, sizeof target, g_fv.model[t].item.path);
            g_fv.titleDrop(target, copy);
        }
        return;
    }
    EndImageDrag();
    SetFocus(g_fv.tree);
    int d = g_fv.dragNode;
    g_fv.dragNode = -1;
    if (!drop || t < 0 || !Valid(d) || t == d)
        return;
    FolderItem dragged = g_fv.model[d].item;
    char folder[260];
    FolderItem_Folder(g_fv.model[t].item, folder, sizeof folder);
    FolderCommands_Drop(&dragged, folder, copy);
}
