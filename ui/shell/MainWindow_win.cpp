// The main window: creation in its fixed order, layout with the two
// splitters and the drag capture, activation, tray icon and shutdown. Each
// message goes to one function; commands are in ShellCommands_win.cpp.
#include "ui/shell/MainWindow_win.h"

#include "base/debug.h"
#include "base/sjis.h"
#include "patrol/Composer.h"
#include "patrol/PatrolWin.h"
#include "pluginhost/PluginHost.h"
#include "res/resource.h"
#include "ui/shell/Commands.h"
#include "ui/shell/Layout.h"
#include "ui/shell/ShellMenus_win.h"
#include "ui/shell/Views.h"

#include <commctrl.h>
#include <mmsystem.h>
#include <shellapi.h>

#include <stdio.h>
#include <string.h>

#include <thread>

ShellState g_shell;

namespace {

std::thread g_consoleThread;
bool g_consoleStarted = false;

void StartConsole()
{
    if (g_consoleStarted)
        return;
    g_consoleStarted = true;
    g_consoleThread = std::thread([] {
        HostConsole_Create();
        HostConsole_Hide();
    });
}

// ---- the composer's view of the main window ---------------------------------

// Called on the composer's thread while it holds the collection's lock: it
// only reads the collection pointer and path, and posts.
class CShellComposerHost : public IComposerHost {
public:
    CSubj* OpenCollection() override { return g_shell.subj; }
    const char* OpenStorePath() override { return g_shell.openPath; }
    void RefreshTitleView() override { PostMessageA(g_shell.main, UWM_REFRESH_TITLES, 0, 0); }
};
CShellComposerHost g_composerHost;

// ---- start-up pieces -----------------------------------------------------------

void ReadVersionTexts()
{
    char path[MAX_PATH] = "";
    GetModuleFileNameA(nullptr, path, sizeof path);
    DWORD dummy = 0;
    DWORD size = GetFileVersionInfoSizeA(path, &dummy);
    if (!size)
        return;
    char* block = new (std::nothrow) char[size];
    if (!block)
        return;
    if (GetFileVersionInfoA(path, 0, size, block)) {
        static const struct {
            const char* name;
            char* out;
            size_t size;
        } fields[] = {
            {"InternalName", g_shell.internalName, sizeof g_shell.internalName},
            {"FileVersion", g_shell.fileVersion, sizeof g_shell.fileVersion},
            {"Comments", g_shell.comments, sizeof g_shell.comments},
        };
        for (const auto& f : fields) {
            char query[80];
            snprintf(query, sizeof query, "\\StringFileInfo\\041104b0\\%s", f.name);
            char* value = nullptr;
            UINT len = 0;
            if (VerQueryValueA(block, query, (void**)&value, &len) && value)
                Str_CopyN(f.out, f.size, value, len);
        }
    }
    delete[] block;
}

// The program folder is the executable's; a test that hosts the window in
// its own process names one before the window is created.
void BuildFolders()
{
    if (!g_shell.programDir[0]) {
        char path[MAX_PATH] = "";
        DWORD n = GetModuleFileNameA(nullptr, path, sizeof path);
        if (n == 0 || n >= sizeof path)
            Str_Copy(path, sizeof path, ".\\zeva.exe");
        const char* name = Path_FileName(path);
        Str_CopyN(g_shell.programDir, sizeof g_shell.programDir, path, (size_t)(name - path));
    }
    Str_Format(g_shell.dataDir, sizeof g_shell.dataDir, "%sdata\\", g_shell.programDir);
    Str_Format(g_shell.pluginDir, sizeof g_shell.pluginDir, "%sPlugins\\", g_shell.programDir);
    CreateDirectoryA(g_shell.dataDir, nullptr);
    CreateDirectoryA(g_shell.pluginDir, nullptr);
}

// Plug-ins left in the program folder ("zv_*", "*.pl", "*.rb") move into
// the plug-in folder; a file is deleted only after its copy succeeded.
void MoveStrayPlugins()
{
    char pattern[MAX_PATH];
    Str_Format(pattern, sizeof pattern, "%s*", g_shell.programDir);
    WIN32_FIND_DATAA fd;
    HANDLE h = FindFirstFileA(pattern, &fd);
    if (h == INVALID_HANDLE_VALUE)
        return;
    do {
        if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
            continue;
        const char* dot = Sjis_StrRChr(fd.cFileName, '.');
        bool stray = Str_NICmp(fd.cFileName, "zv_", 3) == 0 ||
                     (dot && (Str_ICmp(dot, ".pl") == 0 || Str_ICmp(dot, ".rb") == 0));
        if (!stray)
            continue;
        char from[MAX_PATH], to[MAX_PATH];
        if (Str_Format(from, sizeof from, "%s%s", g_shell.programDir, fd.cFileName) >= (int)sizeof from ||
            Str_Format(to, sizeof to, "%s%s", g_shell.pluginDir, fd.cFileName) >= (int)sizeof to)
            continue;
        if (CopyFileA(from, to, FALSE))
            DeleteFileA(from);
    } while (FindNextFileA(h, &fd));
    FindClose(h);
}

void ReadOptions()
{
    HDC dc = GetDC(g_shell.main);
    int ppi = dc ? GetDeviceCaps(dc, LOGPIXELSY) : 96;
    if (dc)
        ReleaseDC(g_shell.main, dc);
    AppOptions_Read(g_shell.ini, &g_shell.opt, AppOptions_DefaultFontSize(ppi));
}

void ComposerSettingsOf(ComposerSettings* cs)
{
    ComposerSettings_Init(cs, g_shell.dataDir);
    Str_Copy(cs->editor, sizeof cs->editor, g_shell.opt.editor);
    Str_Copy(cs->editorOption, sizeof cs->editorOption, g_shell.opt.editorOption);
    Str_Copy(cs->quoteMark, sizeof cs->quoteMark, g_shell.opt.quoteMark);
}

void StartComposer()
{
    ComposerSettings cs;
    ComposerSettingsOf(&cs);
    g_shell.composer = new CComposer(cs, &g_composerHost, &g_shell.lockFile, EditorLauncher_System());
    g_shell.composer->StartUp();
}

int CreateToolbar()
{
    HWND tb = CreateWindowExA(0, TOOLBARCLASSNAMEA, "",
                              WS_CHILD | TBSTYLE_FLAT | TBSTYLE_TOOLTIPS | CCS_TOP | CCS_NODIVIDER, 0, 0, 0, 0,
                              g_shell.main, (HMENU)(INT_PTR)IDC_TOOLBAR, g_shell.instance, nullptr);
    if (!tb)
        return 0;
    g_shell.toolbar = tb;
    SendMessageA(tb, TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON), 0);
    SendMessageA(tb, TB_SETINDENT, 6, 0);
    g_shell.toolbarImages = ShellMenus_LoadStrip(1);
    if (g_shell.toolbarImages)
        SendMessageA(tb, TB_SETIMAGELIST, 0, (LPARAM)g_shell.toolbarImages);
    TBBUTTON buttons[32] = {};
    size_t n = 0;
    for (size_t i = 0; i < g_toolbarCount && n < 32; ++i, ++n) {
        TBBUTTON& b = buttons[n];
        if (g_toolbar[i].id == 0) {
            b.fsStyle = TBSTYLE_SEP;
            b.iBitmap = 0;
        } else {
            b.iBitmap = g_toolbar[i].image;
            b.idCommand = g_toolbar[i].id;
            b.fsState = TBSTATE_ENABLED;
            b.fsStyle = TBSTYLE_BUTTON;
        }
    }
    SendMessageA(tb, TB_ADDBUTTONSA, n, (LPARAM)buttons);
    SendMessageA(tb, TB_AUTOSIZE, 0, 0);
    if (g_shell.opt.showToolbar)
        ShowWindow(tb, SW_SHOW);
    return 1;
}

int CreateStatusBar()
{
    HWND sb = CreateWindowExA(0, STATUSCLASSNAMEA, "", WS_CHILD | SBARS_SIZEGRIP, 0, 0, 0, 0, g_shell.main,
                              (HMENU)(INT_PTR)IDC_STATUSBAR, g_shell.instance, nullptr);
    if (!sb)
        return 0;
    g_shell.status = sb;
    int parts[3] = {400, 450, -1};
    SendMessageA(sb, SB_SETPARTS, 3, (LPARAM)parts);
    if (g_shell.opt.showStatusbar)
        ShowWindow(sb, SW_SHOW);
    return 1;
}

void RestorePlacement()
{
    WINDOWPLACEMENT wp = {};
    wp.length = sizeof wp;
    GetWindowPlacement(g_shell.main, &wp);
    WindowSettings ws;
    RECT& r = wp.rcNormalPosition;
    WindowSettings_Read(g_shell.ini, &ws, r.left, r.top, r.right, r.bottom);
    int left = ws.left, top = ws.top, right = ws.right, bottom = ws.bottom;
    Layout_RestorePlacement(&left, &top, &right, &bottom, GetSystemMetrics(SM_CXSCREEN),
                            GetSystemMetrics(SM_CYSCREEN));
    r = {left, top, right, bottom};
    g_shell.folderW = ws.folderW;
    g_shell.titleH = ws.titleH;
    wp.showCmd = SW_HIDE;
    SetWindowPlacement(g_shell.main, &wp);
}

void PrepareDragFeedback()
{
    ICONINFO ii = {};
    HCURSOR arrow = LoadCursor(nullptr, IDC_ARROW);
    if (GetIconInfo(arrow, &ii)) {
        g_shell.arrowHotSpot = {(LONG)ii.xHotspot, (LONG)ii.yHotspot};
        if (ii.hbmMask)
            DeleteObject(ii.hbmMask);
        if (ii.hbmColor)
            DeleteObject(ii.hbmColor);
    }
    g_shell.curDrag = LoadCursorA(g_shell.instance, MAKEINTRESOURCEA(IDC_CUR_DRAG));
    g_shell.curFolderCopy = LoadCursorA(g_shell.instance, MAKEINTRESOURCEA(IDC_CUR_FOLDER_COPY));
    g_shell.curTitleCopy = LoadCursorA(g_shell.instance, MAKEINTRESOURCEA(IDC_CUR_TITLE_COPY));
    g_shell.curTitleMove = LoadCursorA(g_shell.instance, MAKEINTRESOURCEA(IDC_CUR_TITLE_MOVE));
}

// The 32x32 drag image of cursor 142, made at the first drag.
HIMAGELIST DragImage()
{
    if (!g_shell.dragImage && g_shell.curDrag) {
        g_shell.dragImage = ImageList_Create(32, 32, ILC_COLOR32 | ILC_MASK, 1, 0);
        if (g_shell.dragImage)
            ImageList_AddIcon(g_shell.dragImage, (HICON)g_shell.curDrag);
    }
    return g_shell.dragImage;
}

void PlaySoundFile(const char* path, bool wait)
{
    PlaySoundA(nullptr, nullptr, 0);
    if (path && *path)
        PlaySoundA(path, nullptr, SND_FILENAME | SND_NODEFAULT | (wait ? SND_SYNC : SND_ASYNC));
}

// ---- layout ---------------------------------------------------------------------

int ControlHeight(HWND wnd)
{
    RECT r;
    return wnd && GetWindowRect(wnd, &r) ? r.bottom - r.top : 0;
}

bool FocusInRightPanes()
{
    HWND f = GetFocus();
    if (!f)
        return false;
    for (HWND pane : {g_shell.titleView, g_shell.textView})
        if (pane && (f == pane || IsChild(pane, f)))
            return true;
    return false;
}

void MovePanes(const LayoutResult& r)
{
    HDWP dwp = BeginDeferWindowPos(5);
    auto place = [&](HWND wnd, const LayoutRect& lr, bool show) {
        if (!wnd || !dwp)
            return;
        int h = lr.h < 0 ? 0 : lr.h;
        dwp = DeferWindowPos(dwp, wnd, nullptr, lr.x, lr.y, lr.w, h,
                             SWP_NOZORDER | SWP_NOACTIVATE | (show ? SWP_SHOWWINDOW : SWP_HIDEWINDOW));
    };
    place(g_shell.folderView, r.folder, r.folder.w > 0);
    place(g_shell.titleView, r.title, true);
    place(g_shell.headerView, r.header, r.headerShown != 0);
    place(g_shell.textView, r.text, true);
    if (dwp)
        EndDeferWindowPos(dwp);
}

LayoutInput CurrentInput(int folderHidden)
{
    LayoutInput in = {};
    RECT rc;
    GetClientRect(g_shell.main, &rc);
    in.width = rc.right;
    in.height = rc.bottom;
    in.toolbarH = g_shell.opt.showToolbar ? ControlHeight(g_shell.toolbar) : 0;
    in.statusH = g_shell.opt.showStatusbar ? ControlHeight(g_shell.status) : 0;
    in.splitter = g_shell.splitter;
    in.headerH = ControlHeight(g_shell.headerView);
    in.paneMode = g_shell.paneMode;
    in.folderHidden = folderHidden;
    return in;
}

// ---- splitters and drags ----------------------------------------------------------

int HitZone(int x, int y)
{
    LayoutInput in = CurrentInput(!g_shell.folderShown);
    int titleH = Layout_TitleHeight(g_shell.paneMode, g_shell.titleH, in.height - in.toolbarH - in.statusH,
                                    in.splitter);
    return Layout_HitZone(x, y, g_shell.folderShown ? g_shell.folderW : 0, in, titleH);
}

HCURSOR ZoneCursor(int zone)
{
    LPCSTR id = IDC_ARROW;
    if (zone == (ZONE_VERTICAL | ZONE_HORIZONTAL))
        id = IDC_SIZEALL;
    else if (zone == ZONE_VERTICAL)
        id = IDC_SIZEWE;
    else if (zone == ZONE_HORIZONTAL)
        id = IDC_SIZENS;
    return LoadCursorA(nullptr, id);
}

void DragCursor()
{
    HCURSOR c;
    if (g_shell.dragOwner == g_shell.titleView)
        c = g_shell.dragCopy ? g_shell.curTitleCopy : g_shell.curTitleMove;
    else
        c = g_shell.dragCopy ? g_shell.curFolderCopy : LoadCursor(nullptr, IDC_ARROW);
    POINT pt;
    GetCursorPos(&pt);
    if (!FolderView_DragHover(pt))
        c = LoadCursor(nullptr, IDC_NO);
    SetCursor(c ? c : LoadCursor(nullptr, IDC_ARROW));
}

void EndDrag(int drop)
{
    HWND owner = g_shell.dragOwner;
    int copy = g_shell.dragCopy;
    g_shell.dragOwner = nullptr;
    g_shell.dragZone = 0;
    ReleaseCapture();
    SetCursor(LoadCursor(nullptr, IDC_ARROW));
    if (owner && owner != g_shell.main)
        FolderView_DragEnd(owner, drop, copy);
    if (g_shell.dragFocus && IsWindow(g_shell.dragFocus))
        SetFocus(g_shell.dragFocus);
    g_shell.dragFocus = nullptr;
}

void OnLButtonDown(int x, int y)
{
    if (g_shell.dragOwner)
        return;
    g_shell.dragFocus = GetFocus();
    SetCapture(g_shell.main);
    g_shell.dragStart = {x, y};
    g_shell.dragFolderW = g_shell.folderW;
    g_shell.dragTitleH = Layout_TitleHeight(
        g_shell.paneMode, g_shell.titleH,
        CurrentInput(0).height - CurrentInput(0).toolbarH - CurrentInput(0).statusH, g_shell.splitter);
    g_shell.dragZone = HitZone(x, y);
    g_shell.dragOwner = g_shell.main;
}

void OnMouseMove(int x, int y)
{
    if (g_shell.dragOwner == g_shell.main) {
        if (g_shell.dragZone & ZONE_VERTICAL)
            g_shell.folderW = g_shell.dragFolderW + (x - g_shell.dragStart.x);
        if (g_shell.dragZone & ZONE_HORIZONTAL) {
            g_shell.paneMode = PANE_NORMAL;
            g_shell.titleH = g_shell.dragTitleH + (y - g_shell.dragStart.y);
        }
        if (g_shell.dragZone)
            Shell_Layout();
        SetCursor(ZoneCursor(g_shell.dragZone));
    } else if (g_shell.dragOwner) {
        DragCursor();
    }
}

// ---- message handlers -----------------------------------------------------------------

int Shell_OnCreate(HWND wnd)
{
    // 1-2: the window, its menu, the version texts, the screen depth.
    g_shell.main = wnd;
    g_shell.menu = GetMenu(wnd);
    ReadVersionTexts();
    HDC dc = GetDC(nullptr);
    g_shell.bitsPerPixel = dc ? GetDeviceCaps(dc, BITSPIXEL) * GetDeviceCaps(dc, PLANES) : 24;
    if (dc)
        ReleaseDC(nullptr, dc);
    // 3: the console the plug-ins inherit, hidden. Making it starts a
    // console host process, which takes longer than the rest of the start
    // together: it is made on a thread of its own once the window stands
    // (UWM_START_CONSOLE), and everything that starts a plug-in waits for it
    // first (Shell_WaitConsole).
    g_consoleStarted = false;
    // 4-5: folders, stray plug-ins.
    BuildFolders();
    MoveStrayPlugins();
    // 6-7: settings and key tables, then every option.
    char iniPath[MAX_PATH];
    Str_Format(iniPath, sizeof iniPath, "%szeva.ini", g_shell.dataDir);
    g_shell.ini.Open(iniPath);
    ShellMenus_BuildKeyTables();
    SetCursor(LoadCursor(nullptr, IDC_ARROW));
    ReadOptions();
    Search_Init();
    g_shell.splitter = GetSystemMetrics(SM_CXFRAME) - 1;
    // 8: the external-editor manager.
    StartComposer();
    // 9: the children, in their order.
    g_shell.subj = new CSubj;
    if (!CreateToolbar())
        MessageBoxA(wnd, "ツールバーの作成に失敗しました", "ZEVA", MB_OK | MB_ICONERROR);
    if (!CreateStatusBar())
        MessageBoxA(wnd, "ステータスバーの作成に失敗しました", "", MB_OK);
    if (!FolderView_Create(wnd) || !TitleView_Create(wnd) || !HeaderView_Create(wnd) || !TextView_Create(wnd))
        return -1;
    ShellMenus_GreyUnbuilt(g_shell.menu);
    // 10: the start sound.
    PlaySoundFile(g_shell.opt.sound[3], false);
    // 11: owner-drawn menus and their icons.
    ShellMenus_Init();
    // 12-13: placement, drag feedback.
    RestorePlacement();
    PrepareDragFeedback();
    // 14: fonts, focus, no drag.
    Shell_ApplyFonts();
    SetFocus(g_shell.folderView);
    g_shell.dragOwner = nullptr;
    // 15: unattended patrol.
    if (g_shell.unattended)
        PostMessageA(wnd, WM_COMMAND, ID_PATROL_ALL, 0);
    // 16: the notification-area icon's record.
    NOTIFYICONDATAA& t = g_shell.tray;
    t.cbSize = sizeof t;
    t.hWnd = wnd;
    t.uID = 1;
    t.uFlags = NIF_MESSAGE | NIF_ICON;
    t.uCallbackMessage = UWM_TRAY;
    if (g_shell.opt.useIconTray)
        t.hIcon = (HICON)LoadImageA(g_shell.instance, MAKEINTRESOURCEA(IDI_ZEVA), IMAGE_ICON, 16, 16, 0);
    // 17: the console hides itself on its thread once it stands.
    // The panes get their places now: a window created hidden is not always
    // sent WM_SIZE before it is first shown.
    Shell_Layout();
    PostMessageA(wnd, UWM_START_CONSOLE, 0, 0);
    return 0;
}

void RemoveTray()
{
    if (g_shell.trayShown) {
        Shell_NotifyIconA(NIM_DELETE, &g_shell.tray);
        g_shell.trayShown = 0;
    }
}

void Shell_OnDestroy(HWND wnd)
{
    Shell_WaitConsole();
    HostConsole_Free();
    RemoveTray();
    WINDOWPLACEMENT wp = {};
    wp.length = sizeof wp;
    GetWindowPlacement(wnd, &wp);
    WindowSettings ws = {};
    if (IsZoomed(wnd))
        ws.showWindow = 3;
    else if (IsIconic(wnd))
        ws.showWindow = 6;
    else
        ws.showWindow = 5;
    ws.left = wp.rcNormalPosition.left;
    ws.top = wp.rcNormalPosition.top;
    ws.right = wp.rcNormalPosition.right;
    ws.bottom = wp.rcNormalPosition.bottom;
    ws.folderW = g_shell.folderW;
    ws.titleH = g_shell.titleH;
    AppOptions_WriteExit(g_shell.ini, ws, g_shell.opt);
    g_shell.ini.Save();
    TitleView_DropCurrent();
    Shell_SaveOpenStore();
    FolderView_Clear();
    g_shell.cache.Save();
    TitleView_Release();
    if (g_shell.textView)
        DestroyWindow(g_shell.textView);
    TextView_Release();
    ShellMenus_Done();
    if (g_shell.composer)
        g_shell.composer->StopThread();
    PlaySoundFile(g_shell.opt.sound[4], true);
    PostQuitMessage(0);
    delete g_shell.composer;
    g_shell.composer = nullptr;
    delete g_shell.subj;
    g_shell.subj = nullptr;
    g_shell.openPath[0] = 0;
    g_shell.main = nullptr;
}

bool Shell_OnClose(HWND wnd)
{
    if (Patrol_IsRunning()) {
        MessageBoxA(wnd, "巡回中のため終了できません。", nullptr, MB_OK | MB_ICONWARNING);
        return false;
    }
    if (g_shell.composer && !Composer_ConfirmExit(wnd, *g_shell.composer))
        return false;
    return true;
}

void Shell_OnActivate(WPARAM wp)
{
    if (LOWORD(wp) == WA_INACTIVE) {
        g_shell.lastFocus = GetFocus();
        HtmlView_SetTopmost(0);
    } else {
        HtmlView_SetTopmost(1);
        if (g_shell.lastFocus && IsWindow(g_shell.lastFocus))
            SetFocus(g_shell.lastFocus);
    }
}

bool Shell_OnSysCommand(HWND wnd, WPARAM wp)
{
    // Hidden only when the icon is there to bring the window back; without
    // it the window minimises as usual.
    if ((wp & 0xFFF0) == SC_MINIMIZE && g_shell.opt.useIconTray && g_shell.tray.hIcon &&
        (g_shell.trayShown || Shell_NotifyIconA(NIM_ADD, &g_shell.tray))) {
        g_shell.trayShown = 1;
        ShowWindow(wnd, SW_HIDE);
        return true;
    }
    return false;
}

void Shell_OnTray(HWND wnd, LPARAM lp)
{
    if (lp == WM_LBUTTONDOWN || lp == WM_RBUTTONDOWN) {
        ShowWindow(wnd, SW_SHOW);
        SetForegroundWindow(wnd);
        RemoveTray();
    }
}

LRESULT Shell_OnNotify(NMHDR* nm)
{
    if (nm->code == TTN_GETDISPINFOA) {
        NMTTDISPINFOA* di = (NMTTDISPINFOA*)nm;
        ShellMenus_TooltipText((int)nm->idFrom, di->szText, sizeof di->szText);
        di->lpszText = di->szText;
        di->hinst = nullptr;
        return 0;
    }
    if (nm->idFrom == IDC_FOLDERVIEW)
        return FolderView_OnNotify(nm);
    if (nm->idFrom == IDC_TEXTVIEW)
        return TextView_OnNotify(nm);
    if (nm->idFrom == IDC_TITLEVIEW || nm->idFrom == 0)
        return TitleView_OnNotify(nm);
    return 0;
}

void Shell_OnContextMenu(HWND from, LPARAM lp)
{
    int x = (short)LOWORD(lp), y = (short)HIWORD(lp);
    if (from == g_shell.folderView)
        FolderView_OnContextMenu(x, y);
    else if (from == g_shell.titleView)
        TitleView_OnContextMenu(x, y);
    else if (from == g_shell.textView)
        TextView_OnContextMenu(x, y);
}

void Shell_OnHelp(HELPINFO* hi)
{
    if (hi && hi->iCtrlId == 9)
        Shell_OpenHelp(100);
    else
        PostMessageA(g_shell.main, WM_COMMAND, ID_HELP_CONTENTS, 0);
}

LRESULT CALLBACK MainWindowProc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp)
{
    switch (msg) {
    case WM_CREATE:
        return Shell_OnCreate(wnd);
    case WM_SIZE:
        if (wp != SIZE_MINIMIZED)
            Shell_Layout();
        return 0;
    case WM_COMMAND:
        if (Shell_OnCommand(wnd, wp, lp))
            return 0;
        break;
    case WM_NOTIFY:
        return Shell_OnNotify((NMHDR*)lp);
    case WM_DRAWITEM:
        if (wp == IDC_TITLEVIEW)
            TitleView_OnDrawItem((DRAWITEMSTRUCT*)lp);
        else
            ShellMenus_OnDrawItem((DRAWITEMSTRUCT*)lp);
        return TRUE;
    case WM_MEASUREITEM:
        if (wp == IDC_TITLEVIEW)
            TitleView_OnMeasureItem((MEASUREITEMSTRUCT*)lp);
        else
            ShellMenus_OnMeasureItem((MEASUREITEMSTRUCT*)lp);
        return TRUE;
    case WM_MENUCHAR: {
        LRESULT r;
        if (ShellMenus_OnMenuChar(wp, lp, &r))
            return r;
        break;
    }
    case WM_INITMENUPOPUP:
        Shell_OnInitMenuPopup((HMENU)wp);
        return 0;
    case WM_MENUSELECT: {
        UINT ids[2] = {0, 0};
        MenuHelp(WM_MENUSELECT, wp, lp, g_shell.menu, g_shell.instance, g_shell.status, ids);
        return 0;
    }
    case WM_SETCURSOR:
        if ((HWND)wp == wnd && LOWORD(lp) == HTCLIENT && !g_shell.dragOwner) {
            POINT pt;
            GetCursorPos(&pt);
            ScreenToClient(wnd, &pt);
            SetCursor(ZoneCursor(HitZone(pt.x, pt.y)));
            return TRUE;
        }
        break;
    case WM_LBUTTONDOWN:
        OnLButtonDown((short)LOWORD(lp), (short)HIWORD(lp));
        return 0;
    case WM_MOUSEMOVE:
        OnMouseMove((short)LOWORD(lp), (short)HIWORD(lp));
        return 0;
    case WM_LBUTTONUP:
        if (g_shell.dragOwner)
            EndDrag(1);
        return 0;
    case WM_RBUTTONDOWN:
        if (g_shell.dragOwner)
            EndDrag(0);
        return 0;
    case WM_KEYDOWN:
    case WM_KEYUP:
        if (g_shell.dragOwner && g_shell.dragOwner != wnd && wp == VK_CONTROL) {
            g_shell.dragCopy = msg == WM_KEYDOWN;
            DragCursor();
            return 0;
        }
        break;
    case WM_CAPTURECHANGED:
        if (g_shell.dragOwner && (HWND)lp != wnd) {
            g_shell.dragOwner = nullptr;
            g_shell.dragZone = 0;
        }
        return 0;
    case WM_CONTEXTMENU:
        Shell_OnContextMenu((HWND)wp, lp);
        return 0;
    case WM_ACTIVATE:
        Shell_OnActivate(wp);
        return 0;
    case WM_SYSCOMMAND:
        if (Shell_OnSysCommand(wnd, wp))
            return 0;
        break;
    case WM_HELP:
        Shell_OnHelp((HELPINFO*)lp);
        return TRUE;
    case UWM_OPEN_ITEM:
        Shell_OpenItem((const OpenItemRequest*)lp);
        return 0;
    case UWM_TRAY:
        Shell_OnTray(wnd, lp);
        return 0;
    case UWM_START_CONSOLE:
        StartConsole();
        return 0;
    case UWM_SAVE_OPEN_STORE:
        Shell_SaveOpenStore();
        return 0;
    case UWM_REFRESH_FOLDERS:
        FolderView_Refresh();
        return 0;
    case UWM_REFRESH_TITLES:
        TitleView_Refill();
        return 0;
    case UWM_KEYS_CHANGED:
        ShellMenus_ReloadKeys();
        return 0;
    case WM_CLOSE:
        if (!Shell_OnClose(wnd))
            return 0;
        break;
    case WM_DESTROY:
        Shell_OnDestroy(wnd);
        return 0;
    }
    return DefWindowProcA(wnd, msg, wp, lp);
}

}  // namespace

// ---- services for the views ------------------------------------------------------

void Shell_WaitConsole()
{
    StartConsole();
    if (g_consoleThread.joinable())
        g_consoleThread.join();
}

void Shell_Layout()
{
    if (!g_shell.main)
        return;
    if (g_shell.toolbar) {
        ShowWindow(g_shell.toolbar, g_shell.opt.showToolbar ? SW_SHOWNA : SW_HIDE);
        SendMessageA(g_shell.toolbar, TB_AUTOSIZE, 0, 0);
    }
    if (g_shell.status) {
        ShowWindow(g_shell.status, g_shell.opt.showStatusbar ? SW_SHOWNA : SW_HIDE);
        SendMessageA(g_shell.status, WM_SIZE, 0, 0);
        RECT rc;
        GetClientRect(g_shell.main, &rc);
        int parts[3];
        Layout_StatusParts(rc.right, parts);
        SendMessageA(g_shell.status, SB_SETPARTS, 3, (LPARAM)parts);
    }
    int hide = g_shell.opt.smartFolder && FocusInRightPanes();
    LayoutInput in = CurrentInput(hide);
    LayoutResult r;
    Layout_Compute(in, &g_shell.folderW, &g_shell.titleH, &r);

    if (g_shell.opt.animation && hide == g_shell.folderShown && g_shell.folderView) {
        // Slide the folder view out (or in) in five steps, the right-hand
        // panes moving along.
        int step = g_shell.folderW / 5;
        for (int i = 1; i <= 5; ++i) {
            int shift = hide ? step * i : step * (5 - i);
            LayoutResult s = r;
            s.folder = {-shift, in.toolbarH, g_shell.folderW, r.content};
            int x = g_shell.folderW + in.splitter - shift;
            for (LayoutRect* p : {&s.title, &s.header, &s.text}) {
                p->w += p->x - x;
                p->x = x;
            }
            MovePanes(s);
            UpdateWindow(g_shell.main);
            Sleep(5);
        }
    }
    g_shell.folderShown = !hide;

    if (g_shell.opt.animation && g_shell.paneMode != g_shell.lastPaneMode) {
        int heights[7];
        Layout_AnimationSteps(g_shell.lastTitleH, r.titleH, 7, heights);
        for (int h : heights) {
            LayoutResult s = r;
            s.title.h = h;
            s.header.y = in.toolbarH + h + in.splitter;
            s.text.y = s.header.y + in.headerH;
            s.text.h = r.content - h - in.splitter - in.headerH;
            MovePanes(s);
            UpdateWindow(g_shell.main);
            Sleep(5);
        }
    }
    g_shell.lastPaneMode = g_shell.paneMode;
    g_shell.lastTitleH = r.titleH;
    MovePanes(r);
    if (g_shell.textView)
        InvalidateRect(g_shell.textView, nullptr, TRUE);
}

void Shell_SetStatusText(int part, const char* text)
{
    if (g_shell.status)
        SendMessageA(g_shell.status, SB_SETTEXTA, (WPARAM)part, (LPARAM)(text ? text : ""));
}

void Shell_UpdateLockStatus()
{
    Shell_SetStatusText(1, g_shell.subj && g_shell.subj->IsReadOnly() ? "Lock" : "");
}

void Shell_SaveOpenStore()
{
    if (!g_shell.subj)
        return;
    g_shell.subj->Lock();
    if (g_shell.openPath[0])
        g_shell.subj->Update();
    g_shell.subj->Unlock();
}

static bool SameFont(const ProfileFont* a, const ProfileFont* b)
{
    return a->size == b->size && a->italic == b->italic && a->weight == b->weight && strcmp(a->face, b->face) == 0;
}

void Shell_ApplyFonts()
{
    static HFONT fonts[4] = {};
    const ProfileFont* wanted[4] = {&g_shell.opt.fontFolder, &g_shell.opt.fontTitle, &g_shell.opt.fontText,
                                   &g_shell.opt.fontHeader};
    HWND views[4] = {g_shell.folderView, g_shell.titleView, g_shell.textView, g_shell.headerView};
    HFONT old[4];
    for (int i = 0; i < 4; ++i)
        old[i] = fonts[i];
    // Views with the same font share one (the defaults give three of them
    // one face and size).
    for (int i = 0; i < 4; ++i) {
        fonts[i] = nullptr;
        for (int j = 0; j < i && !fonts[i]; ++j)
            if (SameFont(wanted[i], wanted[j]))
                fonts[i] = fonts[j];
        if (!fonts[i])
            fonts[i] = CreateFontA(wanted[i]->size, 0, 0, 0, wanted[i]->weight, wanted[i]->italic ? TRUE : FALSE, FALSE,
                               FALSE, SHIFTJIS_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                               DEFAULT_PITCH | FF_DONTCARE, wanted[i]->face);
        if (views[i])
            SendMessageA(views[i], WM_SETFONT, (WPARAM)fonts[i], TRUE);
    }
    // The title view's owner-drawn rows take their height from its font.
    if (g_shell.titleView && TitleView_IsBuilt())
        TitleView_Remeasure();
    // The views hold the new fonts now: the old ones can go.
    for (int i = 0; i < 4; ++i) {
        bool shared = false;
        for (int j = 0; j < i; ++j)
            shared = shared || old[j] == old[i];
        if (old[i] && !shared)
            DeleteObject(old[i]);
    }
}

void Shell_ApplyComposerSettings()
{
    if (!g_shell.composer)
        return;
    ComposerSettings cs;
    ComposerSettingsOf(&cs);
    g_shell.composer->SetSettings(cs);
}

void Shell_EnableCommand(int id, int enable)
{
    if (g_shell.menu)
        EnableMenuItem(g_shell.menu, (UINT)id, MF_BYCOMMAND | (enable ? MF_ENABLED : MF_GRAYED));
    if (g_shell.toolbar)
        SendMessageA(g_shell.toolbar, TB_ENABLEBUTTON, (WPARAM)id, MAKELONG(enable ? TRUE : FALSE, 0));
}

void Shell_BeginViewDrag(HWND owner)
{
    if (g_shell.dragOwner)
        return;
    g_shell.dragFocus = GetFocus();
    g_shell.dragOwner = owner;
    g_shell.dragCopy = GetKeyState(VK_CONTROL) < 0;
    DragImage();
    SetCapture(g_shell.main);
    SetFocus(g_shell.main);   // Ctrl presses reach the main window during the drag
    DragCursor();
}

// ---- entry points of Main_win.cpp -----------------------------------------------------

int MainWindow_Register(HINSTANCE inst)
{
    static char cls[64] = "ZEVA";
    LoadStringA(inst, IDS_APP_CLASS, cls, sizeof cls);
    WNDCLASSEXA wc = {};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = MainWindowProc;
    wc.hInstance = inst;
    wc.hIcon = LoadIconA(inst, MAKEINTRESOURCEA(IDI_ZEVA));
    wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
    wc.hbrBackground = (HBRUSH)(COLOR_BTNFACE + 1);
    wc.lpszMenuName = MAKEINTRESOURCEA(IDM_MAIN);
    wc.lpszClassName = cls;
    wc.hIconSm = (HICON)LoadImageA(inst, MAKEINTRESOURCEA(IDI_ZEVA), IMAGE_ICON, 16, 16, 0);
    return RegisterClassExA(&wc) != 0;
}

HWND MainWindow_Create(HINSTANCE inst, int unattended)
{
    g_shell.instance = inst;
    g_shell.unattended = unattended;
    char title[64] = "ZEVA";
    LoadStringA(inst, IDS_APP_TITLE, title, sizeof title);
    return CreateWindowExA(WS_EX_CONTROLPARENT, "ZEVA", title, WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN,
                           CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, nullptr, nullptr, inst,
                           nullptr);
}

int MainWindow_StartShowCommand()
{
    g_shell.ini.SetSection("WINDOW");
    return g_shell.ini.GetInt("ShowWindow", 5);
}
