// TextView: the read-only rich-edit control (id 113) with the article's
// text, quoted lines coloured, search hits highlighted, links opened with
// the shell, page and line scrolling, and reading to the end.
#include "base/fileio.h"
#include "res/resource.h"
#include "ui/shell/Shell.h"
#include "ui/shell/Views.h"
#include "ui/textview/TextFormat.h"
#include "ui/textview/TextView_win.h"

#include <richedit.h>

#include <memory>
#include <string>
#include <vector>

namespace {

struct TextViewState {
    HWND edit = nullptr;
    HMODULE richEdit = nullptr;
    WNDPROC editProc = nullptr;
    void (*atEnd)() = nullptr;
    std::string search;
    int regExp = 0;
    TextMatcherFactory matcherFactory = nullptr;
    void (*openLink)(const char* url) = nullptr;
} g_text;

struct ScrollPos {
    int canScroll;   // the text is taller than the view (a scroll bar shows)
    int pos, page, max;
};

ScrollPos GetScroll()
{
    ScrollPos s = {0, 0, 0, 0};
    if (!g_text.edit)
        return s;
    SCROLLINFO si = {};
    si.cbSize = sizeof si;
    si.fMask = SIF_ALL;
    if (!GetScrollInfo(g_text.edit, SB_VERT, &si))
        return s;
    s.pos = si.nPos;
    s.page = (int)si.nPage;
    s.max = si.nMax;
    s.canScroll = (GetWindowLongA(g_text.edit, GWL_STYLE) & WS_VSCROLL) && si.nPage > 0 &&
                  si.nMax - si.nMin + 1 > (int)si.nPage;
    return s;
}

bool AtEnd(const ScrollPos& s)
{
    return !s.canScroll || s.pos + s.page >= s.max;
}

void ReachedEnd()
{
    if (g_text.atEnd)
        g_text.atEnd();
}

void ScrollTo(int y)
{
    POINT pt = {0, 0};
    SendMessageA(g_text.edit, EM_GETSCROLLPOS, 0, (LPARAM)&pt);
    pt.y = y < 0 ? 0 : y;
    SendMessageA(g_text.edit, EM_SETSCROLLPOS, 0, (LPARAM)&pt);
}

// The last scroll position: the end with ScrollStop.
int EndPos(const ScrollPos& s)
{
    int end = s.max - s.page + 1;
    return end < 0 ? 0 : end;
}

// Something that stops a smooth scroll: a key other than Shift, a left or
// right button press; left in the queue for its window.
bool StopRequested(HWND foreground)
{
    MSG msg;
    if (PeekMessageA(&msg, nullptr, WM_KEYDOWN, WM_KEYDOWN, PM_NOREMOVE) && msg.wParam != VK_SHIFT)
        return true;
    if (PeekMessageA(&msg, nullptr, WM_SYSKEYDOWN, WM_SYSKEYDOWN, PM_NOREMOVE))
        return true;
    for (UINT m : {WM_LBUTTONDOWN, WM_RBUTTONDOWN, WM_NCLBUTTONDOWN, WM_NCRBUTTONDOWN})
        if (PeekMessageA(&msg, nullptr, m, m, PM_NOREMOVE))
            return true;
    return GetForegroundWindow() != foreground;
}

void SmoothScroll(const ScrollPos& s, int down, int amount)
{
    HWND foreground = GetForegroundWindow();
    int pos = s.pos, covered = 0;
    int end = EndPos(s);
    while (covered < amount) {
        if (StopRequested(foreground))
            break;
        bool fast = (GetAsyncKeyState(VK_SHIFT) & 0x8000) != 0;
        int step = fast ? 5 : (g_shell.opt.scrollPixel < 1 ? 1 : g_shell.opt.scrollPixel);
        if (step > amount - covered)
            step = amount - covered;
        pos += down ? step : -step;
        covered += step;
        bool stop = false;
        if (!down && pos <= 0) {
            pos = 0;
            stop = true;
        }
        if (down && g_shell.opt.scrollStop && pos >= end) {
            pos = end;
            stop = true;
        }
        ScrollTo(pos);
        UpdateWindow(g_text.edit);
        if (stop)
            break;
        if (!fast && g_shell.opt.scrollWait > 0)
            Sleep((DWORD)g_shell.opt.scrollWait);
    }
}

struct StreamSource {
    const std::string* data;
    size_t at;
};

DWORD CALLBACK ReadStream(DWORD_PTR cookie, LPBYTE buf, LONG size, LONG* got)
{
    StreamSource* src = (StreamSource*)cookie;
    size_t n = src->data->size() - src->at;
    if (n > (size_t)size)
        n = (size_t)size;
    memcpy(buf, src->data->data() + src->at, n);
    src->at += n;
    *got = (LONG)n;
    return 0;
}

// Sets the text with its quote colour and search hits in one rich-text
// stream, and puts the caret at the start.
void SetFormattedText(const char* text, size_t len)
{
    std::vector<TextRange> quotes, hits;
    TextFormat_QuoteRanges(text, len, &quotes);
    if (!g_text.search.empty()) {
        if (!g_text.regExp) {
            TextFormat_PlainHits(text, len, g_text.search.c_str(), &hits);
        } else if (g_text.matcherFactory) {
            std::unique_ptr<CTextMatcher> m(g_text.matcherFactory(g_text.search.c_str()));
            TextFormat_RegexHits(text, len, m.get(), &hits);
        }
    }
    std::string rtf = TextFormat_Rtf(text, len, quotes, hits, (uint32_t)g_shell.opt.colTextQuote,
                                     (uint32_t)GetSysColor(COLOR_HIGHLIGHTTEXT), (uint32_t)GetSysColor(COLOR_HIGHLIGHT));
    StreamSource src = {&rtf, 0};
    EDITSTREAM es = {};
    es.dwCookie = (DWORD_PTR)&src;
    es.pfnCallback = ReadStream;
    SendMessageA(g_text.edit, EM_STREAMIN, SF_RTF, (LPARAM)&es);
    SendMessageA(g_text.edit, EM_SETSEL, 0, 0);
}

// Scrolling by the user in the control itself: reaching the end there
// counts as reading to the end.
LRESULT CALLBACK EditProc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp)
{
    bool watch = msg == WM_VSCROLL || msg == WM_MOUSEWHEEL || msg == WM_KEYDOWN;
    ScrollPos before = watch ? GetScroll() : ScrollPos{};
    LRESULT r = CallWindowProcA(g_text.editProc, wnd, msg, wp, lp);
    if (watch) {
        ScrollPos after = GetScroll();
        if (after.canScroll && AtEnd(after) && (msg != WM_KEYDOWN || after.pos != before.pos))
            ReachedEnd();
    }
    return r;
}

// The control with its settings: margins, no length limit, links detected
// and notified, scrolling watched.
HWND CreateEdit(HWND main)
{
    DWORD ex = g_shell.opt.windowClientEdge ? WS_EX_CLIENTEDGE : 0;
    HWND edit = CreateWindowExA(ex, "RichEdit20A", "",
                                WS_CHILD | WS_VISIBLE | WS_VSCROLL | WS_TABSTOP | ES_MULTILINE | ES_READONLY |
                                    ES_AUTOVSCROLL | ES_NOHIDESEL,
                                0, 0, 0, 0, main, (HMENU)(INT_PTR)IDC_TEXTVIEW, GetModuleHandleA(nullptr), nullptr);
    if (!edit)
        return nullptr;
    SendMessageA(edit, EM_SETMARGINS, EC_LEFTMARGIN | EC_RIGHTMARGIN, MAKELPARAM(5, 5));
    SendMessageA(edit, EM_EXLIMITTEXT, 0, 0x7FFFFFFE);
    SendMessageA(edit, EM_AUTOURLDETECT, TRUE, 0);
    LRESULT mask = SendMessageA(edit, EM_GETEVENTMASK, 0, 0);
    SendMessageA(edit, EM_SETEVENTMASK, 0, mask | ENM_LINK);
    g_text.editProc = (WNDPROC)SetWindowLongPtrA(edit, GWLP_WNDPROC, (LONG_PTR)EditProc);
    return edit;
}

// Emptying a long text costs the control time that grows with the square
// of its length; a fresh control in the same place costs nothing.
const int kFreshControlChars = 64 * 1024;

void ReplaceLongText()
{
    if (GetWindowTextLengthA(g_text.edit) < kFreshControlChars)
        return;
    HWND main = GetParent(g_text.edit);
    HWND fresh = CreateEdit(main);
    if (!fresh)
        return;
    RECT rc;
    GetWindowRect(g_text.edit, &rc);
    MapWindowPoints(nullptr, main, (POINT*)&rc, 2);
    SendMessageA(fresh, WM_SETFONT, SendMessageA(g_text.edit, WM_GETFONT, 0, 0), FALSE);
    SetWindowPos(fresh, g_text.edit, rc.left, rc.top, rc.right - rc.left, rc.bottom - rc.top, SWP_NOACTIVATE);
    bool focused = GetFocus() == g_text.edit;
    HWND old = g_text.edit;
    g_shell.textView = g_text.edit = fresh;
    if (g_shell.lastFocus == old)
        g_shell.lastFocus = fresh;
    DestroyWindow(old);
    if (focused)
        SetFocus(fresh);
}

void OpenWithShell(const char* url)
{
    ShellExecuteA(g_shell.main, nullptr, url, nullptr, nullptr, SW_SHOWNORMAL);
}

}  // namespace

HWND TextView_Create(HWND main)
{
    static bool reported = false;
    if (!g_text.richEdit)
        g_text.richEdit = LoadLibraryA("RichEd20.Dll");
    if (!g_text.richEdit && !reported) {
        reported = true;
        MessageBoxA(main, "リッチエディットコントロールが使用できません。\nRiched20.dllがあるかどうか、壊れていないか確認してください。",
                    nullptr, MB_OK | MB_ICONERROR);
    }
    g_shell.textView = g_text.edit = CreateEdit(main);
    if (!g_text.edit) {
        MessageBoxA(main, "TextViewの作成に失敗しました", nullptr, MB_OK | MB_ICONERROR);
        return nullptr;
    }
    return g_text.edit;
}

int TextView_IsBuilt() { return 1; }

HWND TextView_Control() { return g_text.edit; }

void TextView_ShowText(const char* text)
{
    if (!text)
        text = "";
    if (g_text.edit) {
        size_t len = strlen(text);
        ReplaceLongText();
        SendMessageA(g_text.edit, WM_SETREDRAW, FALSE, 0);
        SendMessageA(g_text.edit, WM_SETTEXT, 0, (LPARAM)"");
        SetFormattedText(text, len);
        SendMessageA(g_text.edit, WM_SETREDRAW, TRUE, 0);
        InvalidateRect(g_text.edit, nullptr, TRUE);
    }
    HtmlView_ShowText(text);
}

void TextView_ShowFile(const char* path)
{
    std::vector<char> data;
    if (!path || !File_ReadAll(path, data, 0, 1))
        data.clear();
    data.push_back(0);
    TextView_ShowText(data.data());
}

int TextView_AtEnd()
{
    return AtEnd(GetScroll()) ? 1 : 0;
}

int TextView_Page(int down)
{
    if (!g_text.edit)
        return 0;
    ScrollPos s = GetScroll();
    if (down && AtEnd(s)) {
        ReachedEnd();
        return 0;
    }
    if (!down && (!s.canScroll || s.pos <= 0))
        return 0;
    // Never more than the whole text: a share typed far too large would
    // overflow, and a smooth scroll would step on past the end for ages.
    long long want = (long long)s.page * g_shell.opt.scrollLine / 100;
    int whole = s.max > 1 ? s.max : 1;
    int amount = want < 1 ? 1 : want > whole ? whole : (int)want;
    if (g_shell.opt.smoothScroll) {
        SmoothScroll(s, down, amount);
        return 1;
    }
    int pos = s.pos + (down ? amount : -amount);
    if (down && g_shell.opt.scrollStop && pos > EndPos(s))
        pos = EndPos(s);
    ScrollTo(pos);
    return 1;
}

void TextView_Command(int wp)
{
    if (!g_text.edit)
        return;
    switch (LOWORD(wp)) {
    case ID_COPY:
        SendMessageA(g_text.edit, WM_COPY, 0, 0);
        return;
    case ID_SELECT_ALL:
        SendMessageA(g_text.edit, EM_SETSEL, 0, -1);
        return;
    case ID_LINE_DOWN:
        if (AtEnd(GetScroll()))
            ReachedEnd();
        else
            SendMessageA(g_text.edit, WM_VSCROLL, SB_LINEDOWN, 0);
        return;
    case ID_LINE_UP:
        SendMessageA(g_text.edit, WM_VSCROLL, SB_LINEUP, 0);
        return;
    case IDC_TEXTVIEW:
        // The control's own notifications: its scrolling is watched in
        // EditProc, which also sees the wheel and the keys.
        return;
    }
}

LRESULT TextView_OnNotify(NMHDR* nm)
{
    if (!nm || nm->code != EN_LINK || !g_text.edit)
        return 0;
    ENLINK* link = (ENLINK*)nm;
    if (link->msg != WM_LBUTTONUP)
        return 0;
    LONG n = link->chrg.cpMax - link->chrg.cpMin;
    if (n <= 0)
        return 0;
    if (n > 4096)
        n = 4096;
    std::vector<char> url((size_t)n * 2 + 1, 0);
    TEXTRANGEA tr = {};
    tr.chrg.cpMin = link->chrg.cpMin;
    tr.chrg.cpMax = link->chrg.cpMin + n;
    tr.lpstrText = url.data();
    SendMessageA(g_text.edit, EM_GETTEXTRANGE, 0, (LPARAM)&tr);
    (g_text.openLink ? g_text.openLink : OpenWithShell)(url.data());
    return 0;
}

void TextView_OnContextMenu(int x, int y)
{
    if (!g_text.edit)
        return;
    if (x == -1 && y == -1) {   // from the keyboard: the view's top left corner
        RECT rc;
        GetWindowRect(g_text.edit, &rc);
        x = rc.left;
        y = rc.top;
    }
    HMENU menu = LoadMenuA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDM_TEXT_CONTEXT));
    if (!menu)
        return;
    HMENU popup = GetSubMenu(menu, 0);
    if (popup)
        Shell_TrackPopup(popup, x, y);
    DestroyMenu(menu);
}

void TextView_Release()
{
    HtmlView_Close();
    if (g_text.edit && IsWindow(g_text.edit))
        DestroyWindow(g_text.edit);
    g_text.edit = nullptr;
    g_text.editProc = nullptr;
    if (g_text.richEdit) {
        FreeLibrary(g_text.richEdit);
        g_text.richEdit = nullptr;
    }
}

void TextView_SetEndHandler(void (*atEnd)()) { g_text.atEnd = atEnd; }

void TextView_SetSearch(const char* text, int regExp)
{
    g_text.search = text ? text : "";
    g_text.regExp = regExp ? 1 : 0;
}

void TextView_SetMatcherFactory(TextMatcherFactory factory) { g_text.matcherFactory = factory; }

void TextView_SetLinkOpener(void (*open)(const char* url)) { g_text.openLink = open; }
