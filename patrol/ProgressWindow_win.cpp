// The patrol's progress window: modeless dialog 145 with one row per board
// ("BBS", "結果"), cancel and close, placement kept in section GOAROUND.
#include "patrol/Dialup.h"
#include "patrol/HttpPost_win.h"
#include "patrol/Posting.h"
#include "patrol/PatrolWin.h"
#include "pluginhost/PluginHost.h"
#include "res/resource.h"

#include "base/sjis.h"
#include "store/Profile.h"

#include <commctrl.h>

#include <memory>
#include <string>

namespace {

// Posted by the patrol thread: after the running flag is cleared it must not
// wait for this window's thread, which may be waiting to close the window.
const UINT WM_PATROL_FLASH = WM_APP + 1;

// The list as the engine sees it. Workers call in from their own threads;
// the messages are sent, so they run on the window's thread in order.
class CPatrolList : public CPatrolView {
public:
    HWND dlg = nullptr;
    HWND list = nullptr;

    int InsertRow(const char* name, const char* status) override
    {
        LVITEMA item = {};
        item.mask = LVIF_TEXT;
        item.iItem = (int)SendMessageA(list, LVM_GETITEMCOUNT, 0, 0);
        item.pszText = (char*)name;
        int row = (int)SendMessageA(list, LVM_INSERTITEMA, 0, (LPARAM)&item);
        if (row >= 0 && status)
            SetRowText(row, status);
        return row;
    }
    void SetRowText(int row, const char* text) override
    {
        if (row < 0)
            return;
        LVITEMA item = {};
        item.iSubItem = 1;
        item.pszText = (char*)text;
        SendMessageA(list, LVM_SETITEMTEXTA, row, (LPARAM)&item);
    }
    std::string GetRowText(int row) override
    {
        char buf[1024] = "";
        if (row < 0)
            return buf;
        LVITEMA item = {};
        item.iSubItem = 1;
        item.pszText = buf;
        item.cchTextMax = sizeof buf;
        SendMessageA(list, LVM_GETITEMTEXTA, row, (LPARAM)&item);
        return buf;
    }
    void SetRedraw(int on) override
    {
        SendMessageA(list, WM_SETREDRAW, on ? TRUE : FALSE, 0);
        if (on)
            InvalidateRect(list, nullptr, TRUE);
    }
    void ShowEnd() override
    {
        InsertRow("終了しました", nullptr);
        HWND button = GetDlgItem(dlg, IDCANCEL);
        SetWindowTextA(button, "閉じる");
        EnableWindow(button, TRUE);
    }
    void SetTitle(const char* text) override { SetWindowTextA(dlg, text); }
    void Flash() override { PostMessageA(dlg, WM_PATROL_FLASH, 0, 0); }
    void RequestClose() override { PostMessageA(dlg, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0); }
};

struct PatrolWindow {
    PatrolStartParams params;
    int kind = PATROL_ALL;
    std::string folder;
    CPatrolList view;
    std::unique_ptr<CWinInetPoster> poster;   // when the caller gives none
    std::unique_ptr<CPatrolHostWin> host;
    std::unique_ptr<CPatrolEngine> engine;
    SIZE client0 = {};   // initial client size, list and button rectangles
    RECT list0 = {};
    RECT button0 = {};
};

PatrolWindow* g_window = nullptr;
int g_initCount = 0;   // windows that reached WM_INITDIALOG

RECT ChildRect(HWND dlg, HWND child)
{
    RECT r;
    GetWindowRect(child, &r);
    MapWindowPoints(nullptr, dlg, (POINT*)&r, 2);
    return r;
}

void OnInit(HWND dlg, PatrolWindow* w)
{
    g_window = w;
    ++g_initCount;
    w->view.dlg = dlg;
    w->view.list = GetDlgItem(dlg, IDC_PATROL_LIST);
    HWND list = w->view.list;
    RECT wr, cr;
    GetWindowRect(dlg, &wr);
    GetClientRect(dlg, &cr);
    w->client0.cx = cr.right;
    w->client0.cy = cr.bottom;
    w->list0 = ChildRect(dlg, list);
    w->button0 = ChildRect(dlg, GetDlgItem(dlg, IDCANCEL));
    int ownWidth = wr.right - wr.left;
    int ownHeight = wr.bottom - wr.top;

    PatrolPlacement place;
    int column0 = PATROL_DEFAULT_COLUMN0;
    int screenW = GetSystemMetrics(SM_CXSCREEN), screenH = GetSystemMetrics(SM_CYSCREEN);
    if (w->params.settings) {
        Patrol_ReadPlacement(*w->params.settings, ownWidth, ownHeight, screenW, screenH, &place, &column0);
    } else {
        place = PatrolPlacement{screenW - ownWidth, screenH - ownHeight, ownWidth, ownHeight};
        Patrol_KeepOnScreen(&place, screenW, screenH);
    }

    // The list's columns come first: the workers add rows from the start.
    SendMessageA(list, LVM_SETEXTENDEDLISTVIEWSTYLE, LVS_EX_FULLROWSELECT, LVS_EX_FULLROWSELECT);
    LVCOLUMNA col = {};
    col.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_SUBITEM;
    col.pszText = (char*)"BBS";
    col.cx = column0;
    SendMessageA(list, LVM_INSERTCOLUMNA, 0, (LPARAM)&col);
    RECT lr;
    GetClientRect(list, &lr);
    col.pszText = (char*)"結果";
    col.cx = lr.right - column0 > 0 ? lr.right - column0 : 0;
    col.iSubItem = 1;
    SendMessageA(list, LVM_INSERTCOLUMNA, 1, (LPARAM)&col);

    w->host.reset(new CPatrolHostWin(w->params));
    w->engine.reset(new CPatrolEngine(w->params.options, &w->view, w->host.get()));
    w->host->SetLaunchLock(&Plugin_ProcessLaunchLock());
    w->host->StopSound();
    w->host->PlayWave(w->params.options.sound[0]);
    w->engine->Start(w->kind, w->folder.empty() ? nullptr : w->folder.c_str());

    SetWindowPos(dlg, nullptr, place.left, place.top, place.width, place.height,
                 SWP_NOZORDER | SWP_NOACTIVATE);
    ShowWindow(dlg, SW_SHOWNOACTIVATE);

    HINSTANCE inst = w->params.instance ? w->params.instance : GetModuleHandleA(nullptr);
    HICON icon = LoadIconA(inst, MAKEINTRESOURCEA(107));
    if (icon) {
        SendMessageA(dlg, WM_SETICON, ICON_BIG, (LPARAM)icon);
        SendMessageA(dlg, WM_SETICON, ICON_SMALL, (LPARAM)icon);
    }
}

void OnSize(HWND dlg, PatrolWindow* w, int cx, int cy)
{
    if (!w || !w->view.list || cx == 0 || cy == 0)
        return;
    int dx = cx - w->client0.cx, dy = cy - w->client0.cy;
    const RECT& l = w->list0;
    SetWindowPos(w->view.list, nullptr, l.left, l.top, (l.right - l.left) + dx, (l.bottom - l.top) + dy,
                 SWP_NOZORDER | SWP_NOACTIVATE);
    const RECT& b = w->button0;
    SetWindowPos(GetDlgItem(dlg, IDCANCEL), nullptr, b.left + dx, b.top + dy, 0, 0,
                 SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOSIZE);
    InvalidateRect(dlg, nullptr, TRUE);
}

void OnCancel(HWND dlg, PatrolWindow* w)
{
    // Once the running flag is clear the patrol thread only has steps left
    // that never wait for this thread (flash, hang-up, close request).
    if (w->engine->IsRunning() && !w->engine->WaitEnd(PATROL_POLL_MS)) {
        w->engine->Cancel();
        SetWindowTextA(dlg, "ZEVA - キャンセル");
        return;
    }
    if (w->params.mainWindow)
        PostMessageA(w->params.mainWindow, WM_COMMAND, MAKEWPARAM(CMD_PATROL_WINDOW_CLOSING, 0), 0);
    DestroyWindow(dlg);
}

void OnDestroy(HWND dlg, PatrolWindow* w)
{
    w->engine.reset();   // the patrol thread has ended: this only closes it
    CProfile* ini = w->params.settings;
    if (ini) {
        ini->SetSection("GOAROUND");
        if (!IsZoomed(dlg) && !IsIconic(dlg)) {
            RECT r;
            GetWindowRect(dlg, &r);
            ini->SetInt("LEFT", r.left);
            ini->SetInt("TOP", r.top);
            ini->SetInt("WIDTH", r.right - r.left);
            ini->SetInt("HEIGHT", r.bottom - r.top);
        }
        ini->SetInt("COLUMN0", (int)SendMessageA(w->view.list, LVM_GETCOLUMNWIDTH, 0, 0));
        ini->Save();
    }
    g_window = nullptr;
    delete w;
}

INT_PTR CALLBACK PatrolDlgProc(HWND dlg, UINT msg, WPARAM wp, LPARAM lp)
{
    PatrolWindow* w = (PatrolWindow*)GetWindowLongPtrA(dlg, DWLP_USER);
    switch (msg) {
    case WM_INITDIALOG:
        SetWindowLongPtrA(dlg, DWLP_USER, lp);
        OnInit(dlg, (PatrolWindow*)lp);
        return FALSE;
    case WM_PATROL_FLASH:
        FlashWindow(dlg, TRUE);
        return TRUE;
    case WM_SIZE:
        OnSize(dlg, w, LOWORD(lp), HIWORD(lp));
        return TRUE;
    case WM_CLOSE:
        if (w)
            OnCancel(dlg, w);
        return TRUE;
    case WM_COMMAND:
        if (LOWORD(wp) == IDCANCEL && w)
            OnCancel(dlg, w);
        return TRUE;
    case WM_DESTROY:
        if (w) {
            SetWindowLongPtrA(dlg, DWLP_USER, 0);
            OnDestroy(dlg, w);
        }
        return TRUE;
    }
    return FALSE;
}

}  // namespace

int Patrol_Start(const PatrolStartParams& params, int kind, const char* folder)
{
    if (g_window)
        return 0;
    int (*dial)() = params.dial ? params.dial : Dialup_Dial;
    if (params.options.unattended)
        dial();
    if (params.options.autoConnect && !dial())
        return 0;
    if (params.openStore)
        params.openStore->SaveOpenStore();

    INITCOMMONCONTROLSEX icc = {sizeof icc, ICC_LISTVIEW_CLASSES};
    InitCommonControlsEx(&icc);
    PatrolWindow* w = new PatrolWindow;
    w->params = params;
    w->params.options.threadCount = Patrol_ClampThreadCount(params.options.threadCount);
    if (!w->params.poster) {
        HttpPostOptions post;
        post.proxyIE = params.options.proxyIE;
        Str_Copy(post.proxyAdr, sizeof post.proxyAdr, params.options.proxyAdr);
        post.proxyPort = params.options.proxyPort;
        w->poster.reset(new CWinInetPoster(post));
        w->params.poster = w->poster.get();
    }
    w->kind = kind;
    if (kind == PATROL_CURRENT && folder)
        w->folder = folder;
    HINSTANCE inst = params.instance ? params.instance : GetModuleHandleA(nullptr);
    int inits = g_initCount;
    HWND dlg = CreateDialogParamA(inst, MAKEINTRESOURCEA(IDD_PATROL), nullptr, PatrolDlgProc, (LPARAM)w);
    if (!dlg) {
        // A window that was initialised and then failed was destroyed, and
        // its state went with it.
        if (g_initCount == inits)
            delete w;
        return 0;
    }
    return 1;
}

HWND Patrol_Window()
{
    return g_window ? g_window->view.dlg : nullptr;
}

int Patrol_IsRunning()
{
    return g_window && g_window->engine ? g_window->engine->IsRunning() : 0;
}

int Patrol_Total()
{
    return g_window && g_window->engine ? g_window->engine->Total() : 0;
}
