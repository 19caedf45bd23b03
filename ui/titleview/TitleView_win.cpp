// The title view: a virtual report list drawn by the program. The control
// holds only the item count; rows come from the row map (TitleRows) and are
// drawn from the open collection on demand. What a row looks like is
// decided in TitleDraw.cpp, this file only paints it.
#include "ui/titleview/TitleView_win.h"

#include "base/clock.h"
#include "base/sjis.h"
#include "pluginhost/ImagePlugins_win.h"
#include "res/resource.h"
#include "ui/shell/Shell.h"
#include "ui/shell/ShellMenus_win.h"
#include "ui/shell/Views.h"
#include "ui/titleview/History.h"
#include "ui/titleview/TitleDraw.h"
#include "ui/titleview/TitleMenu.h"
#include "ui/titleview/TitleRead.h"
#include "ui/titleview/TitleRows.h"
#include "ui/shell/Commands.h"

#include <commctrl.h>

#include <string.h>

#include <memory>
#include <string>
#include <vector>

namespace {

const UINT_PTR kTextTimer = 1;
const int kIcon = 14;          // strip cells are 14 x 14
const int kStateIcons = 28;    // e-mail and home-page icons

struct TitleViewData {
    HWND list = nullptr;
    WNDPROC listProc = nullptr;
    HIMAGELIST icons = nullptr;
    CTitleRows rows;
    int curRow = -1, curArticle = -1;
    int shownArticle = -1;     // the article whose text the text view got
    int suppressRead = 0;
    int searching = 0;
    DWORD lastChange = 0;
    TitleAgeLimits limits = {0, 0};
    CHistory history;
    int lineHeight = 14;
    std::unique_ptr<CImagePlugins> pictures;   // article pictures (VIEWFLAG 0x20)
};
TitleViewData g_tv;

BoardSettings& Settings()
{
    static BoardSettings defaults;
    if (!g_shell.subj || !g_shell.openIsStore ||
        (!g_shell.subj->Settings().clm[0] && !g_shell.subj->Settings().viewflag)) {
        memset(&defaults, 0, sizeof defaults);
        const int clm[4] = {100, 200, 130, 120};
        memcpy(defaults.clm, clm, sizeof clm);
        defaults.viewflag = 66;
        defaults.tree = 1;
        defaults.clmsortup = 1;
        return defaults;
    }
    return g_shell.subj->Settings();
}

TitleOrder Order()
{
    BoardSettings& s = Settings();
    return {s.tree ? 1 : 0, s.clmsort >= 0 && s.clmsort <= 3 ? s.clmsort : 0, s.clmsortup ? 1 : 0};
}

void SetOrder(const TitleOrder& o)
{
    BoardSettings& s = Settings();
    s.tree = o.tree;
    s.clmsort = o.clmsort;
    s.clmsortup = o.clmsortup;
}

CSubj* Subj()
{
    return g_shell.subj;
}

// ---- icons ----------------------------------------------------------------------

HIMAGELIST LoadIcons()
{
    char path[MAX_PATH];
    Str_Format(path, sizeof path, "%sTitleView.bmp", g_shell.dataDir);
    HBITMAP bmp = (HBITMAP)LoadImageA(nullptr, path, IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE | LR_CREATEDIBSECTION);
    if (!bmp) {
        int id = g_shell.bitsPerPixel < 16 ? IDB_TITLEVIEW16 : IDB_TITLEVIEW;
        bmp = (HBITMAP)LoadImageA(g_shell.instance, MAKEINTRESOURCEA(id), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION);
    }
    return Shell_ImageStrip(bmp, kIcon, 0, true);
}

// ---- rows -----------------------------------------------------------------------

int LineHeight()
{
    HDC dc = GetDC(g_tv.list);
    HGDIOBJ old = SelectObject(dc, (HFONT)SendMessageA(g_tv.list, WM_GETFONT, 0, 0));
    TEXTMETRICA tm = {};
    GetTextMetricsA(dc, &tm);
    SelectObject(dc, old);
    ReleaseDC(g_tv.list, dc);
    return tm.tmHeight;
}

// The row height is measured again when the owner-draw style is put back
// after a font is set, or when the list's size changes: both are done.
void Remeasure()
{
    LONG_PTR style = GetWindowLongPtrA(g_tv.list, GWL_STYLE);
    SetWindowLongPtrA(g_tv.list, GWL_STYLE, style & ~LVS_OWNERDRAWFIXED);
    SendMessageA(g_tv.list, WM_SETFONT, SendMessageA(g_tv.list, WM_GETFONT, 0, 0), TRUE);
    SetWindowLongPtrA(g_tv.list, GWL_STYLE, style);
    RECT r;
    GetWindowRect(g_tv.list, &r);
    const UINT flags = SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE;
    SetWindowPos(g_tv.list, nullptr, 0, 0, r.right - r.left, r.bottom - r.top + 1, flags);
    SetWindowPos(g_tv.list, nullptr, 0, 0, r.right - r.left, r.bottom - r.top, flags);
}

void ComputeLimits()
{
    LocalTime t;
    Clock_Local(&t);
    g_tv.limits = Title_AgeLimits(t.year, t.month, t.day, t.hour * 60 + t.minute);
}

// Setting the widths makes the header report each change: those reports
// must not be taken for the user's.
int g_applyingWidths = 0;

void ApplyColumnWidths()
{
    BoardSettings& s = Settings();
    int widths[4];
    memcpy(widths, s.clm, sizeof widths);
    g_applyingWidths = 1;
    for (int c = 0; c < 4; ++c)
        ListView_SetColumnWidth(g_tv.list, c, widths[c]);
    g_applyingWidths = 0;
}

void KeepColumnWidths()
{
    if (!g_shell.openIsStore || g_applyingWidths)
        return;
    BoardSettings& s = Settings();
    for (int c = 0; c < 4; ++c)
        s.clm[c] = ListView_GetColumnWidth(g_tv.list, c);
}

void CentreRow(int row)
{
    int count = g_tv.rows.Count();
    if (row < 0 || row >= count)
        return;
    int page = ListView_GetCountPerPage(g_tv.list);
    int top = Title_CentreTop(row, page, count);
    int now = ListView_GetTopIndex(g_tv.list);
    RECT r;
    if (top != now && ListView_GetItemRect(g_tv.list, 0, &r, LVIR_BOUNDS))
        ListView_Scroll(g_tv.list, 0, (top - now) * (r.bottom - r.top));
    ListView_EnsureVisible(g_tv.list, row, FALSE);
}

void RedrawRow(int row)
{
    if (row >= 0)
        ListView_RedrawItems(g_tv.list, row, row);
}

void MarkRead(int article)
{
    CSubj* s = Subj();
    if (!s || article < 0 || article >= s->GetCount())
        return;
    s->Lock();
    int changed = s->SetAtr(article, ATR_N, 0);
    s->Unlock();
    if (changed) {
        RedrawRow(g_tv.rows.Row(article));
        TitleView_UpdateStatus();
    }
}

// The focus leaves the current row: the article shown there is marked
// read when its end was in view, or always with PartViewRead.
void LeaveRow()
{
    int a = g_tv.curArticle;
    if (a >= 0 && a == g_tv.shownArticle && !g_tv.suppressRead) {
        if (TextView_AtEnd() || g_shell.opt.partViewRead)
            MarkRead(a);
    }
    g_tv.suppressRead = 0;
}

void ShowHeader(int article)
{
    CSubj* s = Subj();
    if (!s || article < 0 || article >= s->GetCount()) {
        HeaderView_SetHeader("", "", "", "", "");
        return;
    }
    char when[32] = "";
    s->DateTimeStr(article, when);
    HeaderView_SetHeader(s->GetTitle(article), s->GetName(article), s->GetEmail(article), s->GetHp(article), when);
}

void EnterRow(int row)
{
    int article = g_tv.rows.Article(row);
    g_tv.curArticle = article;
    if (g_tv.history.Recording() && row >= 0)
        g_tv.history.Push(g_shell.openPath, row);
    if (row == g_tv.curRow)
        return;
    g_tv.curRow = row;
    TitleView_UpdateMenu(g_shell.menu);
    ShowHeader(article);
    // The text follows on a short timer, so that a held arrow key does not
    // load every article it passes.
    DWORD now = GetTickCount();
    UINT wait = now - g_tv.lastChange > 99 ? 10 : 200;
    g_tv.lastChange = now;
    SetTimer(g_tv.list, kTextTimer, wait, nullptr);
}

void OnTextTimer()
{
    KillTimer(g_tv.list, kTextTimer);
    CSubj* s = Subj();
    int a = g_tv.curArticle;
    if (s && a >= 0 && a < s->GetCount()) {
        TextView_ShowText(s->GetMsg(a));
        g_tv.shownArticle = a;
    } else {
        TextView_ShowText("");
        g_tv.shownArticle = -1;
    }
}

// The list moved its focus: leave the old row, enter the new one.
void FollowFocus()
{
    int row = ListView_GetNextItem(g_tv.list, -1, LVNI_FOCUSED);
    if (row == g_tv.curRow && g_tv.rows.Article(row) == g_tv.curArticle)
        return;
    LeaveRow();
    if (row < 0) {
        g_tv.curRow = -1;
        g_tv.curArticle = -1;
        TitleView_UpdateMenu(g_shell.menu);
        return;
    }
    EnterRow(row);
}

// ---- texts of a row -------------------------------------------------------------

void CellText(int article, int column, std::string& out)
{
    CSubj* s = Subj();
    out.clear();
    if (!s || article < 0 || article >= s->GetCount())
        return;
    switch (column) {
    case 0: {
        std::string no = s->NoStr(article);
        Title_NoText(Settings().viewflag, no.c_str(), s->PnoStr(article), s->GetTitle(article), out);
        break;
    }
    case 1: {
        const char* t = s->GetTitle(article);
        out.assign(t, Sjis_BoundaryAtOrBelow(t, strlen(t), TITLE_TEXT_MAX));
        break;
    }
    case 2: {
        const char* n = Title_Author(s->GetName(article), s->GetAtr(article, ATR_U) != 0, Settings().name);
        out.assign(n, Sjis_BoundaryAtOrBelow(n, strlen(n), TITLE_TEXT_MAX));
        break;
    }
    case 3: {
        char when[32] = "";
        s->DateTimeStr(article, when);
        out = when;
        break;
    }
    }
}

// Draws text in the rectangle's first line, cut with "..." to its width
// less 4; twice, one pixel apart, for an unread article.
void DrawCell(HDC dc, const std::string& text, RECT rc, int bold)
{
    int avail = rc.right - rc.left - 4;
    SIZE dots = {};
    GetTextExtentPoint32A(dc, "...", 3, &dots);
    bool cut = false;
    size_t keep = Title_FitText(text.data(), text.size(), avail, dots.cx,
                                [&](size_t n) {
                                    SIZE sz = {};
                                    GetTextExtentPoint32A(dc, text.data(), (int)n, &sz);
                                    return (int)sz.cx;
                                },
                                &cut);
    std::string shown(text, 0, keep);
    if (cut)
        shown += "...";
    int y = rc.top;
    ExtTextOutA(dc, rc.left + 2, y, ETO_CLIPPED, &rc, shown.data(), (UINT)shown.size(), nullptr);
    if (bold)
        ExtTextOutA(dc, rc.left + 3, y, ETO_CLIPPED, &rc, shown.data(), (UINT)shown.size(), nullptr);
}

void DrawIcon(HDC dc, int icon, int x, int y, const SubjItem& it, COLORREF back)
{
    if (!g_tv.icons)
        return;
    UINT style = ILD_TRANSPARENT;
    COLORREF fg = CLR_NONE;
    if (it.atr & ATR_V) {
        style |= ILD_BLEND50;   // half strength
        fg = back;
    } else if (it.color != SUBJ_NO_COLOR) {
        style |= ILD_BLEND25;   // tinted with the label
        fg = it.color;
    }
    ImageList_DrawEx(g_tv.icons, icon, dc, x, y, kIcon, kIcon, CLR_NONE, fg, style);
}

void DrawTreeLines(HDC dc, int row, int x0, int unit, int right, int top, int bottom)
{
    int depth = g_tv.rows.Depth(row);
    int levels = unit > 0 ? (right - x0) / unit + 1 : 0;
    static std::vector<char> cont;
    int down = 0;
    g_tv.rows.Lines(row, levels, cont, &down);
    int mid = top + g_tv.lineHeight / 2;
    HPEN pen = CreatePen(PS_SOLID, 1, GetSysColor(COLOR_BTNSHADOW));
    HGDIOBJ old = SelectObject(dc, pen);
    auto line = [&](int xa, int ya, int xb, int yb) {
        MoveToEx(dc, xa, ya, nullptr);
        LineTo(dc, xb, yb);
    };
    for (int l = 0; l < (int)cont.size(); ++l) {
        int cx = x0 + l * unit + kIcon / 2;
        if (l == depth - 1) {
            line(cx, top, cx, cont[(size_t)l] ? bottom : mid);
            line(cx, mid, x0 + depth * unit, mid);
        } else if (cont[(size_t)l]) {
            line(cx, top, cx, bottom);
        }
    }
    if (down) {
        int cx = x0 + depth * unit + kIcon / 2;
        line(cx, mid + kIcon / 2, cx, bottom);
    }
    SelectObject(dc, old);
    DeleteObject(pen);
}

// ---- article pictures -----------------------------------------------------------

// The pictures' file names are relative to the shown board's folder.
void SetPictureFolder()
{
    if (!g_tv.pictures)
        return;
    char folder[260];
    Str_Copy(folder, sizeof folder, g_shell.openIsStore ? g_shell.openPath : "");
    const char* name = Path_FileName(folder);
    folder[name - folder] = 0;
    if (strcmp(folder, g_tv.pictures->Cache().BaseFolder()) != 0)
        g_tv.pictures->Cache().SetBaseFolder(folder);
}

void DrawPicture(CSubj* s, HDC dc, int row, int rowTop, int rowH, int preview, int left)
{
    int a = g_tv.rows.Article(row);
    if (a < 0 || a >= s->GetCount())
        return;
    TitlePictureCell cell = Title_PictureCell(row, rowTop, rowH, preview, left);
    g_tv.pictures->Cache().SetCellSize(cell.size, cell.size);
    g_tv.pictures->Draw(dc, s->GetItem(a).image, s->GetImage(a), cell.left, cell.top, cell.size, cell.size);
}

// The pictures over a row (the caller clips to it): its own, and without
// preview the halves of its neighbours' that reach into it. Returns the
// room they take.
int DrawPictures(CSubj* s, HDC dc, int row, const RECT& rc, int left, int preview)
{
    int rowH = rc.bottom - rc.top;
    if (g_tv.pictures) {
        for (int r = preview ? row : row - 1; r <= (preview ? row : row + 1); ++r)
            if (r >= 0 && r < g_tv.rows.Count())
                DrawPicture(s, dc, r, rc.top + (r - row) * rowH, rowH, preview, left);
    }
    return Title_PictureSpace(rowH, preview);
}

// ---- the list's own messages ----------------------------------------------------

int DividerWidth(int column)
{
    if (column == 0)
        return Title_NoColumnWidth(g_tv.rows.MaxDepth());
    HDC dc = GetDC(g_tv.list);
    HGDIOBJ old = SelectObject(dc, (HFONT)SendMessageA(g_tv.list, WM_GETFONT, 0, 0));
    int widest = 0;
    std::string text;
    for (int r = 0; r < g_tv.rows.Count(); ++r) {
        CellText(g_tv.rows.Article(r), column, text);
        SIZE sz = {};
        GetTextExtentPoint32A(dc, text.data(), (int)text.size(), &sz);
        if (sz.cx > widest)
            widest = sz.cx;
    }
    SelectObject(dc, old);
    ReleaseDC(g_tv.list, dc);
    return Title_FitWidth(widest);
}

LRESULT CALLBACK ListProc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp)
{
    switch (msg) {
    case WM_TIMER:
        if (wp == kTextTimer) {
            OnTextTimer();
            return 0;
        }
        break;
    case WM_KEYDOWN:
        if ((wp == VK_UP || wp == VK_DOWN) && g_tv.curRow >= 0) {
            int target = g_tv.curRow + (wp == VK_UP ? -1 : 1);
            if (target >= 0 && target < g_tv.rows.Count())
                CentreRow(target);
        }
        break;
    case WM_SYSKEYDOWN:
        if (wp == VK_UP || wp == VK_DOWN) {
            PostMessageA(g_shell.main, WM_COMMAND, wp == VK_UP ? ID_UNREAD_UP : ID_UNREAD_DOWN, 0);
            return 0;
        }
        break;
    case WM_NOTIFY: {
        NMHDR* nm = (NMHDR*)lp;
        if (nm->hwndFrom != ListView_GetHeader(wnd))
            break;
        if (nm->code == HDN_DIVIDERDBLCLICKA || nm->code == HDN_DIVIDERDBLCLICKW) {
            int column = ((NMHEADERA*)lp)->iItem;
            if (column >= 0 && column < 4) {
                ListView_SetColumnWidth(wnd, column, DividerWidth(column));
                KeepColumnWidths();
            }
            return 0;
        }
        LRESULT r = CallWindowProcA(g_tv.listProc, wnd, msg, wp, lp);
        if (nm->code == HDN_ENDTRACKA || nm->code == HDN_ENDTRACKW || nm->code == HDN_ITEMCHANGEDA ||
            nm->code == HDN_ITEMCHANGEDW)
            KeepColumnWidths();
        return r;
    }
    case WM_SETFOCUS:
    case WM_KILLFOCUS: {
        // Selected rows change their colours with the focus.
        LRESULT r = CallWindowProcA(g_tv.listProc, wnd, msg, wp, lp);
        InvalidateRect(wnd, nullptr, FALSE);
        return r;
    }
    }
    return CallWindowProcA(g_tv.listProc, wnd, msg, wp, lp);
}

void EnableAnswered(HMENU menu)
{
    TitleMenuFacts f = {};
    TitleView_CurrentFacts(&f);
    BoardSettings& bs = Settings();
    for (size_t i = 0; i < g_commandCount; ++i) {
        if (g_commands[i].route != ROUTE_TITLE)
            continue;
        int id = g_commands[i].id;
        int on = TitleMenu_Answered(id) && TitleMenu_Allowed(id, f);
        if (menu == g_shell.menu)
            Shell_EnableCommand(id, on);
        else
            EnableMenuItem(menu, (UINT)id, MF_BYCOMMAND | (on ? MF_ENABLED : MF_GRAYED));
        int check = TitleMenu_Checked(id, bs.tree, bs.clmsort, bs.viewflag);
        if (check >= 0)
            CheckMenuItem(menu, (UINT)id, MF_BYCOMMAND | (check ? MF_CHECKED : MF_UNCHECKED));
    }
    // In the title view's own menu, copy and select all are its commands
    // (not the text view's).
    if (menu != g_shell.menu) {
        EnableMenuItem(menu, ID_COPY, MF_BYCOMMAND | (f.hasArticle ? MF_ENABLED : MF_GRAYED));
        EnableMenuItem(menu, ID_SELECT_ALL, MF_BYCOMMAND | (g_tv.rows.Count() ? MF_ENABLED : MF_GRAYED));
    }
}

void ChangeOrder(void (*change)(TitleOrder*, int), int arg)
{
    TitleOrder o = Order();
    change(&o, arg);
    SetOrder(o);
    TitleView_Refresh(0);
    TitleView_UpdateMenu(g_shell.menu);
}

void EndForLackOfMemory()
{
    MessageBoxA(g_shell.main, "メモリが足りません", "ZEVA", MB_OK | MB_ICONERROR);
    // The open collection is saved first; the program then ends through
    // its normal shutdown.
    Shell_SaveOpenStore();
    PostMessageA(g_shell.main, WM_CLOSE, 0, 0);
}

}  // namespace

// ---- what the main window calls -------------------------------------------------------

HWND TitleView_Create(HWND main)
{
    DWORD ex = g_shell.opt.windowClientEdge ? WS_EX_CLIENTEDGE : 0;
    HWND list = CreateWindowExA(ex, WC_LISTVIEWA, "",
                                WS_CHILD | WS_VISIBLE | WS_TABSTOP | LVS_REPORT | LVS_OWNERDATA |
                                    LVS_OWNERDRAWFIXED | LVS_SHOWSELALWAYS,
                                0, 0, 0, 0, main, (HMENU)(INT_PTR)IDC_TITLEVIEW, g_shell.instance, nullptr);
    if (!list) {
        MessageBoxA(main, "TitleViewの作成に失敗しました", "ZEVA", MB_OK | MB_ICONERROR);
        return nullptr;
    }
    g_tv = TitleViewData();
    g_tv.list = list;
    g_shell.titleView = list;
    ListView_SetExtendedListViewStyle(list, LVS_EX_FULLROWSELECT);
    static const char* const names[4] = {"No", "タイトル", "発言者", "日時"};
    const int widths[4] = {100, 200, 130, 120};
    for (int c = 0; c < 4; ++c) {
        LVCOLUMNA col = {};
        col.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_SUBITEM;
        col.pszText = (char*)names[c];
        col.cx = widths[c];
        col.iSubItem = c;
        ListView_InsertColumn(list, c, &col);
    }
    g_tv.icons = LoadIcons();
    g_tv.pictures.reset(new CImagePlugins());
    g_tv.listProc = (WNDPROC)SetWindowLongPtrA(list, GWLP_WNDPROC, (LONG_PTR)ListProc);
    // Reading an article to its end in the text view marks it read.
    TextView_SetEndHandler(TitleView_MarkCurrentRead);
    TitleCommands_Init();
    TitleView_UpdateMenu(g_shell.menu);
    return list;
}

int TitleView_IsBuilt()
{
    return 1;
}

LRESULT TitleView_OnNotify(NMHDR* nm)
{
    if (!g_tv.list || nm->hwndFrom != g_tv.list)
        return 0;
    switch (nm->code) {
    case LVN_GETDISPINFOA: {
        // Each column's text as drawn, for readers of the list.
        NMLVDISPINFOA* di = (NMLVDISPINFOA*)nm;
        if ((di->item.mask & LVIF_TEXT) && di->item.pszText && di->item.cchTextMax > 0) {
            std::string text;
            if (Subj()) {
                Subj()->Lock();   // the composer's thread may be adding an article
                CellText(g_tv.rows.Article(di->item.iItem), di->item.iSubItem, text);
                Subj()->Unlock();
            }
            size_t n = Sjis_BoundaryAtOrBelow(text.data(), text.size(), (size_t)di->item.cchTextMax - 1);
            memcpy(di->item.pszText, text.data(), n);
            di->item.pszText[n] = 0;
        }
        return 0;
    }
    case LVN_ITEMCHANGED:
    case LVN_ODSTATECHANGED:
        FollowFocus();
        return 0;
    case LVN_COLUMNCLICK: {
        NMLISTVIEW* lv = (NMLISTVIEW*)nm;
        ChangeOrder(TitleOrder_ClickColumn, lv->iSubItem);
        return 0;
    }
    case NM_DBLCLK:
        if (((NMITEMACTIVATE*)nm)->iItem >= 0)
            SendMessageA(g_shell.main, WM_COMMAND, ID_EDIT, 0);
        return 0;
    case LVN_BEGINDRAG:
        TitleView_BeginDrag();
        return 0;
    }
    return 0;
}

void TitleView_Remeasure()
{
    if (g_tv.list)
        Remeasure();
}

void TitleView_OnMeasureItem(MEASUREITEMSTRUCT* mis)
{
    if (!g_tv.list)
        return;
    g_tv.lineHeight = Title_RowHeight(LineHeight(), 0);
    mis->itemHeight = (UINT)Title_RowHeight(LineHeight(), (Settings().viewflag & 0x10) != 0);
}

namespace {

void DrawRow(CSubj* s, DRAWITEMSTRUCT* dis);

}  // namespace

void TitleView_OnDrawItem(DRAWITEMSTRUCT* dis)
{
    CSubj* s = Subj();
    if (!s)
        return;
    // The composer's thread may be adding an article meanwhile.
    s->Lock();
    DrawRow(s, dis);
    s->Unlock();
}

namespace {

void DrawRow(CSubj* s, DRAWITEMSTRUCT* dis)
{
    int row = (int)dis->itemID;
    int a = g_tv.rows.Article(row);
    if (a < 0 || a >= s->GetCount())
        return;
    const SubjItem& it = s->GetItem(a);
    HDC dc = dis->hDC;
    BoardSettings& bs = Settings();
    TitleColours tc = {g_shell.opt.titleBlend,    g_shell.opt.colTitleToday,  g_shell.opt.colTitleNew,
                       g_shell.opt.colTitleBlend, GetSysColor(COLOR_WINDOW), GetSysColor(COLOR_WINDOWTEXT)};
    RowColours c = Title_AgeColours(tc, g_tv.limits, Tree_DateKey(it.date, it.time));
    c = Title_SelectionColours(c, (dis->itemState & ODS_SELECTED) != 0, GetFocus() == g_tv.list, tc.window);
    RECT row_rc = dis->rcItem;
    HBRUSH back = CreateSolidBrush(c.back);
    FillRect(dc, &row_rc, back);
    DeleteObject(back);
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, c.text);
    int bold = (it.atr & ATR_N) != 0;
    int lineH = g_tv.lineHeight;

    int x = row_rc.left, widths[4];
    for (int col = 0; col < 4; ++col)
        widths[col] = ListView_GetColumnWidth(g_tv.list, col);
    std::string text;

    // "No": state icons, the status icon (indented in the tree, with its
    // lines) and the text.
    RECT cell = {x, row_rc.top, x + widths[0], row_rc.top + lineH};
    int saved = SaveDC(dc);
    IntersectClipRect(dc, cell.left, row_rc.top, cell.right, row_rc.bottom);
    int ix = x + 2, iy = row_rc.top + (lineH - kIcon) / 2;
    if (bs.viewflag & 0x20)
        ix += DrawPictures(s, dc, row, row_rc, ix, (bs.viewflag & 0x10) != 0);
    if (bs.viewflag & 0x40) {
        if (s->GetEmail(a)[0])
            DrawIcon(dc, 5, ix, iy, it, c.back);
        if (s->GetHp(a)[0])
            DrawIcon(dc, 6, ix + kIcon, iy, it, c.back);
        ix += kStateIcons;
    }
    int statusX = ix;
    if (g_tv.rows.IsTree()) {
        int unit = Title_IndentUnit(widths[0], ix - x, g_tv.rows.MaxDepth());
        DrawTreeLines(dc, row, ix, unit, cell.right, row_rc.top, row_rc.bottom);
        statusX = ix + g_tv.rows.Depth(row) * unit;
    }
    DrawIcon(dc, Title_StatusIcon(it.atr, it.pno != SUBJ_NO_UNKNOWN), statusX, iy, it, c.back);
    CellText(a, 0, text);
    RECT textRc = {statusX + kIcon, cell.top, cell.right, cell.bottom};
    if (textRc.left < textRc.right)
        DrawCell(dc, text, textRc, bold);
    RestoreDC(dc, saved);
    x += widths[0];

    for (int col = 1; col < 4; ++col) {
        RECT rc = {x, row_rc.top, x + widths[col], row_rc.top + lineH};
        CellText(a, col, text);
        DrawCell(dc, text, rc, bold);
        x += widths[col];
    }

    // Preview: the start of the text below the title line, word-wrapped.
    if ((bs.viewflag & 0x10) && row_rc.bottom - row_rc.top > lineH) {
        Title_PreviewText(s->GetMsg(a), text);
        RECT rc = {row_rc.left + widths[0] + 2, row_rc.top + lineH, row_rc.right - 2, row_rc.bottom};
        SetTextColor(dc, (dis->itemState & ODS_SELECTED) ? c.text : g_shell.opt.colTitlePreview);
        DrawTextA(dc, text.data(), (int)text.size(), &rc, DT_WORDBREAK | DT_NOPREFIX | DT_EDITCONTROL);
    }
    if ((dis->itemState & ODS_FOCUS) && GetFocus() == g_tv.list)
        DrawFocusRect(dc, &row_rc);
}

}  // namespace

void TitleView_OnContextMenu(int x, int y)
{
    if (x == -1 && y == -1) {
        // From the keyboard: at the current row.
        RECT r = {0, 0, 0, 0};
        if (g_tv.curRow < 0 || !ListView_GetItemRect(g_tv.list, g_tv.curRow, &r, LVIR_BOUNDS))
            GetClientRect(g_tv.list, &r);
        POINT pt = {r.left + 16, r.bottom};
        ClientToScreen(g_tv.list, &pt);
        x = pt.x;
        y = pt.y;
    }
    HMENU menu = LoadMenuA(g_shell.instance, MAKEINTRESOURCEA(IDM_TITLE_CONTEXT));
    if (!menu)
        return;
    HMENU popup = GetSubMenu(menu, 0);
    if (popup) {
        TitleView_UpdateMenu(popup);
        Shell_TrackPopup(popup, x, y);
    }
    DestroyMenu(menu);
}

void TitleView_UpdateMenu(HMENU menu)
{
    if (menu && g_tv.list)
        EnableAnswered(menu);
}

void TitleView_Command(int id)
{
    if (!g_tv.list)
        return;
    switch (id) {
    case ID_NEXT_ARTICLE:
    case ID_PREV_ARTICLE: {
        // One row down or up: the step the arrow keys are assigned to.
        int count = g_tv.rows.Count();
        int row = g_tv.curRow < 0 ? (id == ID_NEXT_ARTICLE ? 0 : count - 1)
                                  : g_tv.curRow + (id == ID_NEXT_ARTICLE ? 1 : -1);
        if (row >= 0 && row < count)
            TitleView_SelectRow(row);
        return;
    }
    case ID_READ_ON:
    case ID_SCROLL_BACK: {
        // Space pages the text; at its end (or top) the row changes. A
        // text still waiting on its timer is shown first.
        int down = id == ID_READ_ON;
        int scrolled = 0;
        if (g_tv.curArticle >= 0 && g_tv.shownArticle != g_tv.curArticle) {
            OnTextTimer();
            scrolled = 1;
        } else if (g_tv.curArticle >= 0)
            scrolled = TextView_Page(down);
        TitleReadStep step = Title_ReadStep(down, scrolled, g_tv.curRow, g_tv.rows.Count());
        if (step.markRead)
            TitleView_MarkCurrentRead();
        if (step.row >= 0)
            TitleView_SelectRow(step.row);
        return;
    }
    case ID_SORT_TREE:
        ChangeOrder([](TitleOrder* o, int) { TitleOrder_Tree(o); }, 0);
        return;
    case ID_SORT_NUMBER:
    case ID_SORT_TITLE:
    case ID_SORT_AUTHOR:
    case ID_SORT_DATE:
        ChangeOrder(TitleOrder_ChooseKey, id - ID_SORT_NUMBER);
        return;
    }
    int bit = Command_ViewFlagBit(id);
    if (bit) {
        Settings().viewflag ^= bit;
        if (bit == 0x10)
            Remeasure();
        InvalidateRect(g_tv.list, nullptr, TRUE);
        TitleView_UpdateMenu(g_shell.menu);
        if (g_tv.curRow >= 0)
            CentreRow(g_tv.curRow);
    }
    if (!bit)
        TitleCommands_Run(id);
}

void TitleView_Empty()
{
    if (!g_tv.list)
        return;
    KillTimer(g_tv.list, kTextTimer);
    g_tv.curRow = g_tv.curArticle = g_tv.shownArticle = -1;
    g_tv.suppressRead = 0;
    g_tv.rows.Clear();
    ListView_SetItemCountEx(g_tv.list, 0, 0);
}

void TitleView_Refill()
{
    TitleView_Refresh(0);
}

void TitleView_EnsureCurrentVisible()
{
    if (g_tv.list && g_tv.curRow >= 0)
        CentreRow(g_tv.curRow);
}

void TitleView_DropCurrent()
{
    if (!g_tv.list)
        return;
    KillTimer(g_tv.list, kTextTimer);
    LeaveRow();
    g_tv.curRow = g_tv.curArticle = -1;
}

void TitleView_Release()
{
    if (g_tv.icons)
        ImageList_Destroy(g_tv.icons);
    g_tv.icons = nullptr;
    g_tv.pictures.reset();
    g_tv.rows.Clear();
}

// ---- operations for the commands, the search and the composer -------------------------

void TitleView_Refresh(int selectFirst)
{
    if (!g_tv.list)
        return;
    CSubj* s = Subj();
    SendMessageA(g_tv.list, WM_SETREDRAW, FALSE, 0);
    ApplyColumnWidths();
    ComputeLimits();
    SetPictureFolder();
    KillTimer(g_tv.list, kTextTimer);
    HeaderView_SetHeader("", "", "", "", "");
    TextView_ShowText("");
    g_tv.shownArticle = -1;
    int oldArticle = g_tv.curArticle, oldRow = g_tv.curRow;
    int ok = 1;
    if (s) {
        s->Lock();
        ok = g_tv.rows.Build(*s, Order());
        s->Unlock();
    } else {
        g_tv.rows.Clear();
    }
    int count = g_tv.rows.Count();
    int gone = oldArticle < 0 || oldArticle >= count;
    int row = Title_ChooseRow(g_tv.rows, g_tv.searching, selectFirst, oldArticle, oldRow, gone);
    // The new current row is entered afresh: the old one is no longer there
    // to be left.
    g_tv.curRow = g_tv.curArticle = -1;
    ListView_SetItemCountEx(g_tv.list, count, 0);
    ListView_SetItemState(g_tv.list, -1, 0, LVIS_SELECTED | LVIS_FOCUSED);
    if (row >= 0) {
        ListView_SetItemState(g_tv.list, row, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
        FollowFocus();
        CentreRow(row);
    } else {
        TitleView_UpdateMenu(g_shell.menu);
    }
    SendMessageA(g_tv.list, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(g_tv.list, nullptr, TRUE);
    TitleView_UpdateStatus();
    if (!ok)
        EndForLackOfMemory();
}

void TitleView_SelectRow(int row)
{
    if (!g_tv.list || row < 0 || row >= g_tv.rows.Count())
        return;
    ListView_SetItemState(g_tv.list, -1, 0, LVIS_SELECTED);
    ListView_SetItemState(g_tv.list, row, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
    FollowFocus();
    CentreRow(row);
}

int TitleView_RowToArticle(int row)
{
    return g_tv.rows.Article(row);
}

int TitleView_ArticleToRow(int article)
{
    return g_tv.rows.Row(article);
}

int TitleView_CurrentRow()
{
    return g_tv.curRow;
}

int TitleView_CurrentArticle()
{
    return g_tv.curArticle;
}

void TitleView_MarkCurrentRead()
{
    MarkRead(g_tv.curArticle);
}

void TitleView_UpdateStatus()
{
    CSubj* s = Subj();
    int unread = 0, unsent = 0, total = 0;
    if (s) {
        s->Lock();
        s->CountAtr();
        unread = s->Header().unread;
        unsent = s->Header().unsent;
        total = s->Header().total;
        s->Unlock();
    }
    char text[128];
    Title_StatusText(unread, unsent, total, text, sizeof text);
    Shell_SetStatusText(2, text);
    FolderView_UpdateOpenStore(unread, unsent, total);
}

void TitleView_BeginDrag()
{
    if (g_tv.list)
        Shell_BeginViewDrag(g_tv.list);
}

void TitleView_SetSearching(int on)
{
    g_tv.searching = on ? 1 : 0;
}

int TitleView_RowCount()
{
    return g_tv.rows.Count();
}

int TitleView_PageText()
{
    // A text still waiting on its timer is shown first: that is the step.
    if (g_tv.curArticle >= 0 && g_tv.shownArticle != g_tv.curArticle) {
        OnTextTimer();
        return 1;
    }
    return TextView_Page(1);
}

void TitleView_SuppressRead()
{
    g_tv.suppressRead = 1;
}

CHistory& TitleView_History()
{
    return g_tv.history;
}

// ---- for the commands of the rows -------------------------------------------------------

HWND TitleView_List()
{
    return g_tv.list;
}

const CTitleRows& TitleView_Rows()
{
    return g_tv.rows;
}

std::vector<int> TitleView_SelectedRows()
{
    std::vector<int> rows;
    if (!g_tv.list)
        return rows;
    for (int r = ListView_GetNextItem(g_tv.list, -1, LVNI_SELECTED); r >= 0 && r < g_tv.rows.Count();
         r = ListView_GetNextItem(g_tv.list, r, LVNI_SELECTED))
        rows.push_back(r);
    return rows;
}

void TitleView_RedrawRow(int row)
{
    RedrawRow(row);
}

void TitleView_RefreshAtRow(int row)
{
    // The articles after the removed ones moved down in the collection:
    // the current article is no longer known by its index.
    g_tv.curArticle = -1;
    g_tv.curRow = row;
    TitleView_Refresh(0);
}

void TitleView_ShowArticleText(const char* text)
{
    if (!g_tv.list)
        return;
    KillTimer(g_tv.list, kTextTimer);
    TextView_ShowText(text);
    g_tv.shownArticle = g_tv.curArticle;
}

void TitleView_CurrentFacts(TitleMenuFacts* f)
{
    *f = TitleMenuFacts();
    CSubj* s = Subj();
    int a = g_tv.curArticle;
    if (s && a >= 0 && a < s->GetCount()) {
        f->hasArticle = 1;
        f->unsent = s->GetAtr(a, ATR_U) != 0;
        f->hasHp = s->GetHp(a)[0] != 0;
        f->hasEmail = s->GetEmail(a)[0] != 0;
        const char* post = s->GetPostStr(a);
        f->postTemplate = post && post[0];
    }
}
