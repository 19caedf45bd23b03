// A small window program that the outside driver's own test starts and
// drives: a menu bar (checked, grayed and owner-drawn items, a nested popup),
// a toolbar, a status bar, a tree view, a report list view, an accelerator
// table translated in the message loop, and a command that asks a question
// in a message box. Every command it receives is appended to "received.txt"
// beside the program, so a test sees what arrived and how.
//
// Command line: "-exit N" makes the program end with exit code N.
// A second start while a window of the class exists brings that window to
// the front and ends with exit code 1, as the main program does.
#include <windows.h>
#include <commctrl.h>

#include <stdio.h>
#include <stdlib.h>
#include <string.h>

namespace {

const char kClass[] = "ZEVA_SAMPLE";

enum {
    IDC_STATUS = 110,
    IDC_TOOLBAR = 111,
    IDC_TREE = 112,
    IDC_LIST = 114,
};

enum {
    CMD_OPEN = 40001,
    CMD_WRAP = 40002,   // checked
    CMD_QUIT = 40003,
    CMD_ASK = 40010,    // message box
    CMD_GRAYED = 40011,
    CMD_SORT_DATE = 40012,
    CMD_SORT_NAME = 40013,
    CMD_RELOAD = 40020,
    CMD_FIND_PREV = 40021,
    CMD_DRAWN = 40030,  // owner-drawn
};

char g_log[MAX_PATH];
int g_exitCode = 0;
HWND g_main, g_tree, g_list;
const char kDrawnText[] = "色付き項目";
const char* const kRows[3][4] = {{"新着のお知らせ", "管理人", "06/12/01", "1"},
                                 {"Re: 新着のお知らせ", "名無し", "06/12/02", "2"},
                                 {"質問があります", "初心者", "06/12/03", "3"}};

// Rows of the virtual list: the first column copied into the caller's
// buffer, the others handed over as pointers to our own texts (both ways
// occur in real programs).
void OnGetDispInfo(NMLVDISPINFOA* di)
{
    LVITEMA& it = di->item;
    if (!(it.mask & LVIF_TEXT) || it.iItem < 0 || it.iItem >= 3 || it.iSubItem < 0 || it.iSubItem >= 4)
        return;
    const char* text = kRows[it.iItem][it.iSubItem];
    if (it.iSubItem == 0 && it.pszText && it.cchTextMax > 0)
        lstrcpynA(it.pszText, text, it.cchTextMax);
    else
        it.pszText = (char*)text;
}

void Log(const char* line)
{
    HANDLE f = CreateFileA(g_log, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_ALWAYS,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
    if (f == INVALID_HANDLE_VALUE)
        return;
    DWORD n;
    WriteFile(f, line, (DWORD)strlen(line), &n, nullptr);
    WriteFile(f, "\r\n", 2, &n, nullptr);
    CloseHandle(f);
}

HMENU BuildMenu()
{
    HMENU bar = CreateMenu();
    HMENU file = CreatePopupMenu();
    AppendMenuA(file, MF_STRING, CMD_OPEN, "開く(&O)\tCtrl+O");
    AppendMenuA(file, MF_STRING | MF_CHECKED, CMD_WRAP, "折り返し(&W)");
    AppendMenuA(file, MF_SEPARATOR, 0, nullptr);
    AppendMenuA(file, MF_STRING, CMD_QUIT, "終了(&X)");
    AppendMenuA(bar, MF_POPUP, (UINT_PTR)file, "ファイル(&F)");

    HMENU view = CreatePopupMenu();
    AppendMenuA(view, MF_STRING, CMD_ASK, "記事の削除(&D)...");
    AppendMenuA(view, MF_STRING | MF_GRAYED, CMD_GRAYED, "使えない項目");
    HMENU sort = CreatePopupMenu();
    AppendMenuA(sort, MF_STRING | MF_CHECKED, CMD_SORT_DATE, "日付順");
    AppendMenuA(sort, MF_STRING, CMD_SORT_NAME, "名前順");
    AppendMenuA(view, MF_POPUP, (UINT_PTR)sort, "並べ替え(&S)");
    AppendMenuA(view, MF_OWNERDRAW, CMD_DRAWN, kDrawnText);   // the text is the item data
    AppendMenuA(bar, MF_POPUP, (UINT_PTR)view, "表示(&V)");
    return bar;
}

void CreateChildren(HWND wnd)
{
    HINSTANCE inst = GetModuleHandleA(nullptr);
    HWND tb = CreateWindowExA(0, TOOLBARCLASSNAMEA, "", WS_CHILD | WS_VISIBLE | TBSTYLE_TOOLTIPS, 0, 0, 0, 0, wnd,
                              (HMENU)IDC_TOOLBAR, inst, nullptr);
    SendMessageA(tb, TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON), 0);
    TBADDBITMAP std = {HINST_COMMCTRL, IDB_STD_SMALL_COLOR};
    SendMessageA(tb, TB_ADDBITMAP, 0, (LPARAM)&std);
    TBBUTTON buttons[] = {
        {STD_FILEOPEN, CMD_OPEN, TBSTATE_ENABLED, BTNS_BUTTON, {0}, 0, -1},
        {0, 0, TBSTATE_ENABLED, BTNS_SEP, {0}, 0, -1},
        {STD_PROPERTIES, CMD_WRAP, TBSTATE_ENABLED | TBSTATE_CHECKED, BTNS_CHECK, {0}, 0, -1},
        {STD_DELETE, CMD_ASK, 0, BTNS_BUTTON, {0}, 0, -1},   // disabled
    };
    SendMessageA(tb, TB_ADDBUTTONSA, 4, (LPARAM)buttons);
    SendMessageA(tb, TB_AUTOSIZE, 0, 0);

    HWND sb = CreateWindowExA(0, STATUSCLASSNAMEA, "", WS_CHILD | WS_VISIBLE | SBARS_SIZEGRIP, 0, 0, 0, 0, wnd,
                              (HMENU)IDC_STATUS, inst, nullptr);
    int parts[] = {200, 320, -1};
    SendMessageA(sb, SB_SETPARTS, 3, (LPARAM)parts);
    SendMessageA(sb, SB_SETTEXTA, 0, (LPARAM) "準備完了");
    SendMessageA(sb, SB_SETTEXTA, 1, (LPARAM) "未読 3 件");
    SendMessageA(sb, SB_SETTEXTA, 2, (LPARAM) "オフライン");

    g_tree = CreateWindowExA(WS_EX_CLIENTEDGE, WC_TREEVIEWA, "",
                             WS_CHILD | WS_VISIBLE | WS_TABSTOP | TVS_HASBUTTONS | TVS_HASLINES | TVS_LINESATROOT |
                                 TVS_SHOWSELALWAYS,
                             0, 0, 0, 0, wnd, (HMENU)IDC_TREE, inst, nullptr);
    struct Node {
        int depth;
        const char* text;
    } nodes[] = {{0, "データ"}, {1, "雑談"}, {2, "ソフトウェア"}, {2, "ハードウェア"}, {1, "ニュース"}, {0, "送信済み"}};
    HTREEITEM parents[4] = {TVI_ROOT};
    HTREEITEM select = nullptr;
    for (const Node& n : nodes) {
        TVINSERTSTRUCTA ins = {};
        ins.hParent = parents[n.depth];
        ins.hInsertAfter = TVI_LAST;
        ins.item.mask = TVIF_TEXT;
        ins.item.pszText = (char*)n.text;
        parents[n.depth + 1] = (HTREEITEM)SendMessageA(g_tree, TVM_INSERTITEMA, 0, (LPARAM)&ins);
        if (!strcmp(n.text, "ソフトウェア"))
            select = parents[n.depth + 1];
    }
    SendMessageA(g_tree, TVM_SELECTITEM, TVGN_CARET, (LPARAM)select);   // expands its parents

    g_list = CreateWindowExA(WS_EX_CLIENTEDGE, WC_LISTVIEWA, "",
                             WS_CHILD | WS_VISIBLE | WS_TABSTOP | LVS_REPORT | LVS_SHOWSELALWAYS | LVS_OWNERDATA, 0, 0,
                             0, 0, wnd,
                             (HMENU)IDC_LIST, inst, nullptr);
    SendMessageA(g_list, LVM_SETEXTENDEDLISTVIEWSTYLE, 0, LVS_EX_FULLROWSELECT);
    const char* columns[] = {"タイトル", "名前", "日付", "番号"};
    for (int i = 0; i < 4; ++i) {
        LVCOLUMNA col = {};
        col.mask = LVCF_TEXT | LVCF_WIDTH;
        col.cx = i == 0 ? 200 : 90;
        col.pszText = (char*)columns[i];
        SendMessageA(g_list, LVM_INSERTCOLUMNA, i, (LPARAM)&col);
    }
    // A virtual list, as the title view is: rows come through LVN_GETDISPINFOA.
    SendMessageA(g_list, LVM_SETITEMCOUNT, 3, 0);
    LVITEMA state = {};
    state.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    state.state = LVIS_SELECTED | LVIS_FOCUSED;
    SendMessageA(g_list, LVM_SETITEMSTATE, 1, (LPARAM)&state);
}

void Layout(HWND wnd)
{
    HWND tb = GetDlgItem(wnd, IDC_TOOLBAR), sb = GetDlgItem(wnd, IDC_STATUS);
    SendMessageA(tb, TB_AUTOSIZE, 0, 0);
    SendMessageA(sb, WM_SIZE, 0, 0);
    RECT rc, rt, rs;
    GetClientRect(wnd, &rc);
    GetWindowRect(tb, &rt);
    GetWindowRect(sb, &rs);
    int top = rt.bottom - rt.top, bottom = rc.bottom - (rs.bottom - rs.top);
    MoveWindow(g_tree, 0, top, 180, bottom - top, TRUE);
    MoveWindow(g_list, 183, top, rc.right - 183, bottom - top, TRUE);
}

void OnCommand(HWND wnd, WPARAM wp)
{
    int id = LOWORD(wp);
    char line[64];
    snprintf(line, sizeof line, "command %d %s", id, HIWORD(wp) == 1 ? "accelerator" : "menu");
    Log(line);
    if (id == CMD_ASK) {
        int answer = MessageBoxA(wnd, "選択した記事を削除しますか？", "記事の削除", MB_YESNO | MB_ICONQUESTION);
        snprintf(line, sizeof line, "answer %d", answer);
        Log(line);
    } else if (id == CMD_QUIT) {
        DestroyWindow(wnd);
    }
}

LRESULT CALLBACK WndProc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp)
{
    switch (msg) {
    case WM_CREATE:
        CreateChildren(wnd);
        return 0;
    case WM_SIZE:
        Layout(wnd);
        return 0;
    case WM_COMMAND:
        OnCommand(wnd, wp);
        return 0;
    case WM_NOTIFY:
        if (((NMHDR*)lp)->hwndFrom == g_list && ((NMHDR*)lp)->code == LVN_GETDISPINFOA)
            OnGetDispInfo((NMLVDISPINFOA*)lp);
        return 0;
    case WM_MEASUREITEM: {
        MEASUREITEMSTRUCT* m = (MEASUREITEMSTRUCT*)lp;
        m->itemWidth = 120;
        m->itemHeight = 20;
        return TRUE;
    }
    case WM_DRAWITEM: {
        DRAWITEMSTRUCT* d = (DRAWITEMSTRUCT*)lp;
        if (d->CtlType != ODT_MENU)
            break;
        bool sel = (d->itemState & ODS_SELECTED) != 0;
        HBRUSH b = CreateSolidBrush(sel ? RGB(0, 96, 192) : RGB(255, 240, 200));
        FillRect(d->hDC, &d->rcItem, b);
        DeleteObject(b);
        SetBkMode(d->hDC, TRANSPARENT);
        SetTextColor(d->hDC, sel ? RGB(255, 255, 255) : RGB(160, 0, 0));
        RECT r = d->rcItem;
        r.left += 20;
        DrawTextA(d->hDC, (const char*)d->itemData, -1, &r, DT_SINGLELINE | DT_VCENTER);
        return TRUE;
    }
    case WM_DESTROY:
        Log("destroy");
        PostQuitMessage(g_exitCode);
        return 0;
    }
    return DefWindowProcA(wnd, msg, wp, lp);
}

}  // namespace

int WINAPI WinMain(HINSTANCE inst, HINSTANCE, LPSTR cmdLine, int show)
{
    HWND running = FindWindowA(kClass, nullptr);
    if (running) {
        SetForegroundWindow(running);
        return 1;
    }
    const char* code = strstr(cmdLine, "-exit ");
    if (code)
        g_exitCode = atoi(code + 6);

    GetModuleFileNameA(nullptr, g_log, sizeof g_log);
    char* slash = strrchr(g_log, '\\');
    if (slash)
        slash[1] = 0;
    strncat(g_log, "received.txt", sizeof g_log - strlen(g_log) - 1);

    INITCOMMONCONTROLSEX icc = {sizeof icc, ICC_BAR_CLASSES | ICC_TREEVIEW_CLASSES | ICC_LISTVIEW_CLASSES};
    InitCommonControlsEx(&icc);
    WNDCLASSA wc = {};
    wc.lpfnWndProc = WndProc;
    wc.hInstance = inst;
    wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
    wc.hbrBackground = (HBRUSH)(COLOR_BTNFACE + 1);
    wc.lpszClassName = kClass;
    RegisterClassA(&wc);
    g_main = CreateWindowExA(0, kClass, "ZEVA サンプル", WS_OVERLAPPEDWINDOW, 40, 40, 760, 480, nullptr, BuildMenu(),
                             inst, nullptr);
    ShowWindow(g_main, show);
    UpdateWindow(g_main);

    ACCEL keys[] = {
        {FVIRTKEY, VK_F5, CMD_RELOAD},
        {FVIRTKEY | FCONTROL, 'O', CMD_OPEN},
        {FVIRTKEY | FSHIFT, VK_F3, CMD_FIND_PREV},
    };
    HACCEL accel = CreateAcceleratorTableA(keys, 3);
    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
        if (TranslateAcceleratorA(g_main, accel, &msg))
            continue;
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    DestroyAcceleratorTable(accel);
    return (int)msg.wParam;
}
