// The main window's commands: routing to the views by the command table,
// the commands the shell answers itself, patrols, the store locks of the
// patrol, opening a folder item, menu states and the about box.
#include "ui/shell/MainWindow_win.h"

#include "base/fileio.h"
#include "base/sjis.h"
#include "patrol/Dialup.h"
#include "patrol/PatrolWin.h"
#include "patrol/Posting.h"
#include "pluginhost/PluginHost.h"
#include "res/links.h"
#include "res/resource.h"
#include "ui/folderview/FolderView_win.h"
#include "ui/shell/Commands.h"
#include "ui/shell/Layout.h"
#include "ui/shell/ShellMenus_win.h"
#include "ui/shell/Views.h"

#include <commctrl.h>
#include <shellapi.h>

#include <string>

namespace {

// ---- patrols ---------------------------------------------------------------------

// Workers save the open collection through the window thread, which owns it.
class CShellStoreSaver : public COpenStoreSaver {
public:
    void SaveOpenStore() override
    {
        if (GetWindowThreadProcessId(g_shell.main, nullptr) == GetCurrentThreadId())
            Shell_SaveOpenStore();
        else
            SendMessageA(g_shell.main, UWM_SAVE_OPEN_STORE, 0, 0);
    }
};
CShellStoreSaver g_storeSaver;

// The patrol thread asks for the folder counts at its end: posted, so the
// thread never waits for the window.
void RefreshFoldersLater(void*)
{
    PostMessageA(g_shell.main, UWM_REFRESH_FOLDERS, 0, 0);
}

// The folder a patrol of the current folder visits: the current folder
// item's own path for a folder, else the folder that holds it.
void CurrentFolder(char* out, size_t size)
{
    out[0] = 0;
    const FolderItem* item = FolderView_CurrentItem();
    if (!item || !item->path[0])
        return;
    const char* name = Path_FileName(item->path);
    Str_CopyN(out, size, item->path, (size_t)(name - item->path));
}

void StartPatrol(int kind)
{
    if (Patrol_Window())
        return;
    Shell_WaitConsole();
    PatrolStartParams p;
    p.instance = g_shell.instance;
    p.mainWindow = g_shell.main;
    p.settings = &g_shell.ini;
    Patrol_ReadOptions(g_shell.ini, &p.options);
    Str_Copy(p.options.dataFolder, sizeof p.options.dataFolder, g_shell.dataDir);
    Str_Copy(p.options.pluginFolder, sizeof p.options.pluginFolder, g_shell.pluginDir);
    p.options.unattended = g_shell.unattended;
    p.openStore = &g_storeSaver;
    p.refreshFolderView = RefreshFoldersLater;
    char folder[MAX_PATH] = "";
    if (kind == 1) {
        CurrentFolder(folder, sizeof folder);
        if (!folder[0])
            return;   // no current folder: nothing to patrol
    }
    Patrol_Start(p, kind, kind == 1 ? folder : nullptr);
}

// ---- store locks from the patrol ---------------------------------------------------

bool IsOpenStore(const char* path)
{
    return path && g_shell.openPath[0] && Str_ICmp(path, g_shell.openPath) == 0;
}

void OnStoreLock(const char* path)
{
    if (!path)
        return;
    g_shell.lockFile.Lock(path);
    if (IsOpenStore(path)) {
        g_shell.subj->Lock();
        g_shell.subj->Update();
        g_shell.subj->SetReadOnly(1);
        g_shell.subj->Unlock();
    }
    Shell_UpdateLockStatus();
}

void OnStoreUnlock(const char* path, int rebuild)
{
    if (!path)
        return;
    g_shell.lockFile.Unlock(path);
    uint64_t t = 0;
    if (File_LastWriteTime(path, &t))
        g_shell.cache.Lookup(path, t);
    if (IsOpenStore(path)) {
        // Reload at once, under the collection's lock: the collection was
        // saved and read-only while the file changed, so it holds nothing
        // newer than the file, and a stale copy left writable would be
        // saved over the patrol's work (or take an article the composer
        // adds and lose it at the reload).
        g_shell.subj->Lock();
        g_shell.subj->SetReadOnly(0);
        g_shell.subj->LoadFile(g_shell.openPath);
        g_shell.subj->Unlock();
        g_shell.reload = 0;
        TitleView_Refill();
    }
    if (rebuild)
        FolderView_Refresh();
    Shell_UpdateLockStatus();
}

// ---- small commands ------------------------------------------------------------------

void Run(const char* commandLine, int show)
{
    STARTUPINFOA si = {};
    si.cb = sizeof si;
    si.dwFlags = STARTF_USESHOWWINDOW;
    si.wShowWindow = (WORD)show;
    PROCESS_INFORMATION pi = {};
    std::string cmd = commandLine;
    if (CreateProcessA(nullptr, &cmd[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) {
        CloseHandle(pi.hThread);
        CloseHandle(pi.hProcess);
    }
}

void Open(const char* target)
{
    ShellExecuteA(g_shell.main, "open", target, nullptr, nullptr, SW_SHOWNORMAL);
}

HWND FocusPane()
{
    HWND f = GetFocus();
    for (HWND pane : {g_shell.folderView, g_shell.titleView, g_shell.textView})
        if (pane && f && (f == pane || IsChild(pane, f)))
            return pane;
    return nullptr;
}

void FocusRing(int step)
{
    HWND ring[3] = {g_shell.folderView, g_shell.titleView, g_shell.textView};
    HWND now = FocusPane();
    int pos = -1;
    for (int i = 0; i < 3; ++i)
        if (ring[i] == now)
            pos = i;
    for (int tries = 0; tries < 3; ++tries) {
        pos = Layout_RingStep(pos, step);
        if (ring[pos] && IsWindowVisible(ring[pos]))
            SetFocus(ring[pos]);
        if (FocusPane() != now)
            break;
    }
    if (g_shell.opt.smartFolder)
        Shell_Layout();
}

void SetPaneMode(int mode)
{
    g_shell.paneMode = mode;
    Shell_Layout();
    TitleView_EnsureCurrentVisible();
}

INT_PTR CALLBACK AboutProc(HWND dlg, UINT msg, WPARAM wp, LPARAM)
{
    switch (msg) {
    case WM_INITDIALOG: {
        RECT owner, self;
        GetWindowRect(g_shell.main, &owner);
        GetWindowRect(dlg, &self);
        int w = self.right - self.left, h = self.bottom - self.top;
        SetWindowPos(dlg, nullptr, owner.left + (owner.right - owner.left - w) / 2,
                     owner.top + (owner.bottom - owner.top - h) / 2, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
        char text[128];
        Str_Format(text, sizeof text, "version %s", g_shell.fileVersion);
        SetDlgItemTextA(dlg, IDC_ABOUT_VERSION, text);
        SetDlgItemTextA(dlg, IDC_ABOUT_COMMENT, g_shell.comments);
        // 13 pixels: at 12 the fixed face's underscore falls below the line.
        HFONT fixed = CreateFontA(-13, 0, 0, 0, 0, FALSE, FALSE, FALSE, SHIFTJIS_CHARSET, OUT_DEFAULT_PRECIS,
                                  CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, FIXED_PITCH | FF_MODERN, "ＭＳ ゴシック");
        SendDlgItemMessageA(dlg, IDC_ABOUT_PLUGINS, WM_SETFONT, (WPARAM)fixed, FALSE);
        SetPropA(dlg, "ZevaFont", fixed);
        std::string list;
        Plugin_VersionBoxText(g_shell.pluginDir, list);
        if (list.size() > 29999)   // the list's 30000-byte buffer
            list.resize(29999);
        SetDlgItemTextA(dlg, IDC_ABOUT_PLUGINS, list.c_str());
        SetFocus(GetDlgItem(dlg, IDOK));
        return FALSE;
    }
    case WM_COMMAND:
        switch (LOWORD(wp)) {
        case IDC_ABOUT_WEB:
            SendMessageA(g_shell.main, WM_COMMAND, ID_HELP_HOMEPAGE, 0);
            return TRUE;
        case IDC_ABOUT_MAIL:
            SendMessageA(g_shell.main, WM_COMMAND, ID_HELP_MAIL, 0);
            return TRUE;
        case IDOK:
        case IDCANCEL:
            EndDialog(dlg, LOWORD(wp));
            return TRUE;
        }
        break;
    case WM_DESTROY: {
        HFONT f = (HFONT)RemovePropA(dlg, "ZevaFont");
        if (f)
            DeleteObject(f);
        break;
    }
    }
    return FALSE;
}

// The commands the shell answers itself; 0 for others.
int ShellCommand(HWND wnd, int id, WPARAM wp, LPARAM lp)
{
    int kind = Command_PatrolKind(id);
    if (kind >= 0) {
        StartPatrol(kind);
        return 1;
    }
    char buf[MAX_PATH + 64];
    switch (id) {
    case ID_APP_ABOUT:
        DialogBoxParamA(g_shell.instance, MAKEINTRESOURCEA(IDD_ABOUT), wnd, AboutProc, 0);
        return 1;
    case ID_APP_EXIT:
        SendMessageA(wnd, WM_CLOSE, 0, 0);
        return 1;
    case ID_REFRESH:
        Shell_SaveOpenStore();
        FolderView_Refresh();
        return 1;
    case ID_EXPLORER:
        Str_Format(buf, sizeof buf, "explorer /e,%s", g_shell.dataDir);
        Run(buf, SW_SHOWNORMAL);
        return 1;
    case ID_NEXT_WINDOW:
    case ID_PREV_WINDOW:
        FocusRing(id == ID_NEXT_WINDOW ? 1 : -1);
        return 1;
    case ID_HELP_CONTENTS:
        Shell_OpenHelp(0);
        return 1;
    case ID_VIEW_STATUSBAR:
        g_shell.opt.showStatusbar = !g_shell.opt.showStatusbar;
        Shell_Layout();
        return 1;
    case ID_VIEW_TOOLBAR:
        g_shell.opt.showToolbar = !g_shell.opt.showToolbar;
        Shell_Layout();
        return 1;
    case ID_VIEW_LOGFILES:
        g_shell.opt.showLogfile = !g_shell.opt.showLogfile;
        FolderView_Refresh();
        return 1;
    case ID_INTERNET_OPTIONS: {
        char sys[MAX_PATH] = "";
        GetSystemDirectoryA(sys, sizeof sys);
        Str_Format(buf, sizeof buf, "control %s\\inetcpl.cpl", sys);
        Run(buf, SW_SHOWNORMAL);
        return 1;
    }
    case ID_HANGUP:
        Dialup_HangUp();
        return 1;
    case ID_HELP_HOMEPAGE:
        Str_Format(buf, sizeof buf, "%s%s", g_shell.programDir, ZEVA_HOMEPAGE_FILE);
        Open(buf);
        return 1;
    case ID_HELP_MAIL:
        Open(ZEVA_MAIL_ADDRESS);
        return 1;
    case ID_VIEW_FOLDERVIEW:
        SetFocus(FocusPane() == g_shell.folderView ? g_shell.titleView : g_shell.folderView);
        if (g_shell.opt.smartFolder)
            Shell_Layout();
        return 1;
    case ID_PROPERTIES:
        if (FocusPane() == g_shell.folderView)
            FolderView_Command(ID_FOLDER_PROPERTIES);
        else
            TitleView_Command(ID_ARTICLE_PROPERTIES);
        return 1;
    case ID_DELETE_KEY:
        if (FocusPane() == g_shell.folderView)
            FolderView_Command(ID_DELETE_FILE);
        else
            TitleView_Command(ID_DELETE_ARTICLE);
        return 1;
    case ID_MAX_TITLEVIEW:
        SetPaneMode(g_shell.paneMode == PANE_TITLE_MAX ? PANE_NORMAL : PANE_TITLE_MAX);
        return 1;
    case ID_MAX_TEXTVIEW:
        SetPaneMode(g_shell.paneMode == PANE_TITLE_MAX ? PANE_NORMAL
                    : g_shell.paneMode == PANE_NORMAL  ? PANE_TEXT_MAX
                                                       : PANE_NORMAL);
        return 1;
    case ID_OPEN_PLUGIN_FOLDER:
        Open(g_shell.pluginDir);
        return 1;
    case ID_PATROL_STORE_LOCK:
        OnStoreLock((const char*)lp);
        return 1;
    case ID_PATROL_STORE_UNLOCK:
        OnStoreUnlock((const char*)lp, HIWORD(wp) != 0);
        return 1;
    case ID_PATROL_END:
        if (g_shell.unattended)
            DestroyWindow(wnd);
        return 1;
    case ID_WINDOW_MINIMIZE:
        SendMessageA(wnd, WM_SYSCOMMAND, SC_MINIMIZE, 0);
        return 1;
    case ID_WINDOW_MAXIMIZE:
        SendMessageA(wnd, WM_SYSCOMMAND, SC_MAXIMIZE, 0);
        return 1;
    case ID_WINDOW_RESTORE:
        SendMessageA(wnd, WM_SYSCOMMAND, SC_RESTORE, 0);
        return 1;
    }
    return 0;
}

}  // namespace

int Shell_OnCommand(HWND wnd, WPARAM wp, LPARAM lp)
{
    int id = LOWORD(wp);
    switch (Command_Route(id)) {
    case ROUTE_SHELL:
        return ShellCommand(wnd, id, wp, lp);
    case ROUTE_FOLDER:
        FolderView_Command(id);
        return 1;
    case ROUTE_TITLE:
        TitleView_Command(id);
        return 1;
    case ROUTE_TEXT:
        TextView_Command(id == IDC_TEXTVIEW ? (int)wp : id);
        return 1;
    case ROUTE_SEARCH:
        Search_Command(id);
        return 1;
    case ROUTE_OPTIONS:
        Options_Show();
        return 1;
    case ROUTE_HTML:
        HtmlView_Command(id);
        return 1;
    case ROUTE_BY_FOCUS:
        if (FocusPane() == g_shell.textView)
            TextView_Command(id);
        else if (FocusPane() == g_shell.titleView)
            TitleView_Command(id);
        return 1;
    case ROUTE_NONE:
        return 1;
    }
    return 0;
}

void Shell_OnInitMenuPopup(HMENU popup)
{
    FolderView_UpdateMenu(popup);
    TitleView_UpdateMenu(popup);
    ShellMenus_GreyUnbuilt(popup);
    auto check = [popup](int id, int on) {
        CheckMenuItem(popup, (UINT)id, MF_BYCOMMAND | (on ? MF_CHECKED : MF_UNCHECKED));
    };
    check(ID_VIEW_TOOLBAR, g_shell.opt.showToolbar);
    check(ID_VIEW_STATUSBAR, g_shell.opt.showStatusbar);
    check(ID_VIEW_LOGFILES, g_shell.opt.showLogfile);
    check(ID_VIEW_FOLDERVIEW, g_shell.folderShown && g_shell.folderW > 0);
}

void Shell_OpenItem(const OpenItemRequest* request)
{
    if (!request)
        return;
    OpenItemRequest req = *request;
    req.path[sizeof req.path - 1] = 0;
    if (!g_shell.reload && Str_ICmp(req.path, g_shell.openPath) == 0)
        return;
    g_shell.reload = 0;
    TitleView_Empty();
    CSubj* subj = g_shell.subj;
    subj->Lock();
    if (g_shell.openPath[0])
        subj->Update();
    Str_Copy(g_shell.openPath, sizeof g_shell.openPath, req.path);
    g_shell.openIsStore = req.isStore;
    if (req.isStore)
        subj->LoadFile(req.path);
    else
        subj->ClearAll();
    subj->SetReadOnly(req.isStore && g_shell.lockFile.IsLocked(req.path));
    subj->Unlock();
    Shell_UpdateLockStatus();
    TitleView_Refill();
    TitleView_UpdateMenu(g_shell.menu);
    if (req.isStore && subj->GetCount() == 0 && GetKeyState(VK_SHIFT) < 0)
        TextView_ShowFile(req.path);
}

void Shell_OpenHelp(int context)
{
    char help[MAX_PATH + 16];
    Str_Format(help, sizeof help, "%szeva.hlp", g_shell.programDir);
    if (GetFileAttributesA(help) != INVALID_FILE_ATTRIBUTES) {
        Str_Cat(help, sizeof help, ">ref");
        WinHelpA(g_shell.main, help, context ? HELP_CONTEXT : HELP_FINDER, (ULONG_PTR)context);
        return;
    }
    // No help file (and no WinHelp on current Windows): the manual.
    Str_Format(help, sizeof help, "%s%s", g_shell.programDir, ZEVA_HOMEPAGE_FILE);
    ShellExecuteA(g_shell.main, "open", help, nullptr, nullptr, SW_SHOWNORMAL);
}
