// The header strip, the text view, the HTML view (through a stand-in
// browser) and the article properties dialog, hosted in the main window in
// this process under Xvfb; pictures of the views and the dialog go to
// build/screens.
#include "base/sjis.h"
#include "common/png_write.h"
#include "res/resource.h"
#include "store/Subj.h"
#include "ui/shell/MainWindow_win.h"
#include "ui/shell/Views.h"
#include "ui/textview/ArticleProps.h"
#include "ui/textview/TextFormat.h"
#include "ui/textview/TextView_win.h"

#include <gtest/gtest.h>
#include <richedit.h>

#include <algorithm>
#include <atomic>
#include <functional>
#include <string>
#include <thread>
#include <vector>

namespace {

// In an X server of our own (no window manager) Wine frames the windows
// itself, so that pictures show them whole (tests/ui/README.md); set before
// the first window.
const bool g_unmanaged = [] {
    if (!getenv("ZEVA_XVFB"))
        return false;
    HKEY key;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, "Software\\Wine\\X11 Driver", 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key,
                        nullptr) != ERROR_SUCCESS)
        return false;
    RegSetValueExA(key, "Managed", 0, REG_SZ, (const BYTE*)"N", 2);
    RegCloseKey(key);
    return true;
}();

std::string ReadAll(const std::string& path)
{
    std::string s;
    FILE* f = fopen(path.c_str(), "rb");
    if (!f)
        return s;
    char buf[4096];
    size_t n;
    while ((n = fread(buf, 1, sizeof buf, f)) > 0)
        s.append(buf, n);
    fclose(f);
    return s;
}

// A program folder of its own for each window.
struct Install {
    std::string dir;
    Install()
    {
        char tmp[MAX_PATH];
        GetTempPathA(sizeof tmp, tmp);
        static int n = 0;
        dir = std::string(tmp) + "zeva_textview_" + std::to_string(GetCurrentProcessId()) + "_" + std::to_string(++n);
        CreateDirectoryA(dir.c_str(), nullptr);
        CreateDirectoryA((dir + "\\data").c_str(), nullptr);
    }
};

HWND CreateMain(const Install& in)
{
    static bool registered = false;
    Str_Format(g_shell.programDir, sizeof g_shell.programDir, "%s\\", in.dir.c_str());
    HINSTANCE inst = GetModuleHandleA(nullptr);
    if (!registered)
        registered = MainWindow_Register(inst) != 0;
    HWND main = MainWindow_Create(inst, 0);
    if (main) {
        SetWindowPos(main, nullptr, 0, 0, 760, 560, SWP_NOZORDER);
        ShowWindow(main, SW_SHOW);
        UpdateWindow(main);
    }
    return main;
}

void Pump()
{
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
}

// The window as it is on the screen, as a PNG under build/screens; the
// number of distinct colours seen (a blank picture has one or two).
int Picture(HWND wnd, const char* name)
{
    // Shown anew on top, so that the X server has it all painted (windows
    // of earlier tests leave their places unpainted otherwise).
    ShowWindow(wnd, SW_HIDE);
    Pump();
    SetWindowPos(wnd, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_SHOWWINDOW);
    for (int i = 0; i < 5; ++i) {
        RedrawWindow(wnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW | RDW_FRAME);
        Pump();
        Sleep(100);
    }
    Sleep(300);   // the window surfaces reach the X server on a timer
    RECT r;
    GetWindowRect(wnd, &r);
    int w = r.right - r.left, h = r.bottom - r.top;
    HDC screen = GetDC(nullptr);
    HDC mem = CreateCompatibleDC(screen);
    BITMAPINFO bi = {};
    bi.bmiHeader.biSize = sizeof bi.bmiHeader;
    bi.bmiHeader.biWidth = w;
    bi.bmiHeader.biHeight = -h;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    HBITMAP bmp = CreateDIBSection(screen, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = SelectObject(mem, bmp);
    BitBlt(mem, 0, 0, w, h, screen, r.left, r.top, SRCCOPY | CAPTUREBLT);
    SelectObject(mem, old);
    std::vector<uint8_t> rgb((size_t)w * h * 3);
    const uint8_t* p = (const uint8_t*)bits;
    std::vector<uint32_t> seen;
    for (int i = 0; i < w * h; ++i) {
        rgb[i * 3] = p[i * 4 + 2];
        rgb[i * 3 + 1] = p[i * 4 + 1];
        rgb[i * 3 + 2] = p[i * 4];
        uint32_t c = (uint32_t)p[i * 4] | (uint32_t)p[i * 4 + 1] << 8 | (uint32_t)p[i * 4 + 2] << 16;
        if (seen.size() < 64 && std::find(seen.begin(), seen.end(), c) == seen.end())
            seen.push_back(c);
    }
    DeleteObject(bmp);
    DeleteDC(mem);
    ReleaseDC(nullptr, screen);
    std::string dir = ZEVA_SCREENS;
    for (char& ch : dir)
        if (ch == '/')
            ch = '\\';
    if (dir[0] == '\\')
        dir = "Z:" + dir;
    CreateDirectoryA(dir.c_str(), nullptr);
    pngwrite::WriteFile(dir + "\\" + name, w, h, rgb.data());
    return (int)seen.size();
}

// The character format at position pos of the text view.
CHARFORMAT2A FormatAt(int pos)
{
    CHARRANGE cr = {pos, pos + 1};
    SendMessageA(TextView_Control(), EM_EXSETSEL, 0, (LPARAM)&cr);
    CHARFORMAT2A cf = {};
    cf.cbSize = sizeof cf;
    SendMessageA(TextView_Control(), EM_GETCHARFORMAT, SCF_SELECTION, (LPARAM)&cf);
    return cf;
}

std::atomic<int> g_ends{0};
void CountEnd() { ++g_ends; }

std::string g_link;
void WatchLink(const char* url) { g_link = url; }

const char kArticle[] =
    "こんにちは。\n"
    ">以前の記事を引用します。\n"
    "＞全角の引用符も引用です。\n"
    " >空白の後は引用ではありません。\n"
    "詳しくは http://127.0.0.1/zeva/index.html を見てください。\n"
    "ZEVA で検索した zeva の語は太字です。\n";

class TextViewWindow : public ::testing::Test {
protected:
    void SetUp() override
    {
        main = CreateMain(in);
        ASSERT_TRUE(main);
        g_ends = 0;
        TextView_SetEndHandler(CountEnd);
        TextView_SetSearch("", 0);
    }
    void TearDown() override
    {
        TextView_SetEndHandler(nullptr);
        TextView_SetSearch("", 0);
        g_shell.openPath[0] = 0;
        if (main)
            DestroyWindow(main);
        Pump();
    }
    Install in;
    HWND main = nullptr;
};

TEST_F(TextViewWindow, ControlsAreTheRichEditAndTheHeaderStrip)
{
    char cls[64];
    GetClassNameA(g_shell.textView, cls, sizeof cls);
    EXPECT_STREQ(cls, "RichEdit20A");
    EXPECT_EQ(GetDlgCtrlID(g_shell.textView), IDC_TEXTVIEW);
    LONG style = GetWindowLongA(g_shell.textView, GWL_STYLE);
    EXPECT_TRUE((style & ES_READONLY) && (style & ES_MULTILINE));
    EXPECT_TRUE(SendMessageA(g_shell.textView, EM_GETEVENTMASK, 0, 0) & ENM_LINK);
    GetClassNameA(g_shell.headerView, cls, sizeof cls);
    EXPECT_STREQ(cls, "HeaderView");
    EXPECT_EQ(GetDlgCtrlID(g_shell.headerView), IDC_HEADERVIEW);
    EXPECT_TRUE(TextView_IsBuilt() && HtmlView_IsBuilt());
}

TEST_F(TextViewWindow, HeaderStripHoldsTwoLinesAndSizesToItsFont)
{
    HeaderView_SetHeader("題名", "名前", "a@b.jp", "http://h/", "26/12/08(火) 10:00");
    EXPECT_STREQ(HeaderView_Line(0), "タイトル： 題名  http://h/");
    EXPECT_STREQ(HeaderView_Line(1), "発言者： 名前 <a@b.jp>    日付： 26/12/08(火) 10:00");
    HeaderView_SetHeader("", "", "", "", "");
    EXPECT_STREQ(HeaderView_Line(0), "");
    EXPECT_STREQ(HeaderView_Line(1), "");

    HFONT font = CreateFontA(-24, 0, 0, 0, 0, 0, 0, 0, SHIFTJIS_CHARSET, 0, 0, 0, 0, "ＭＳ Ｐゴシック");
    SendMessageA(g_shell.headerView, WM_SETFONT, (WPARAM)font, TRUE);
    EXPECT_EQ((HFONT)SendMessageA(g_shell.headerView, WM_GETFONT, 0, 0), font);
    HDC dc = GetDC(g_shell.headerView);
    HGDIOBJ old = SelectObject(dc, font);
    TEXTMETRICA tm;
    GetTextMetricsA(dc, &tm);
    SelectObject(dc, old);
    ReleaseDC(g_shell.headerView, dc);
    RECT hr, tr;
    GetWindowRect(g_shell.headerView, &hr);
    GetWindowRect(g_shell.textView, &tr);
    EXPECT_EQ(hr.bottom - hr.top, 2 * tm.tmHeight + 6);
    EXPECT_EQ(tr.top, hr.bottom);   // the main window laid out again
    Shell_ApplyFonts();
    DeleteObject(font);
}

TEST_F(TextViewWindow, QuotesAndHitsAreFormattedInCharacterPositions)
{
    TextView_SetSearch("zeva", 0);
    TextView_ShowText(kArticle);
    HWND edit = TextView_Control();
    EXPECT_EQ(GetWindowTextLengthA(edit) > 0, true);
    CHARRANGE sel = {};
    SendMessageA(edit, EM_EXGETSEL, 0, (LPARAM)&sel);
    EXPECT_EQ(sel.cpMin, 0);   // the caret at the start
    EXPECT_EQ(sel.cpMax, 0);
    // Line starts in characters: 0 "こんにちは。", 7 ">以前...", 21 "＞全角...", 36 " >空白...".
    const struct {
        int pos;
        bool quote, hit;
    } cases[] = {
        {0, false, false}, {7, true, false}, {19, true, false}, {21, true, false}, {36, false, false},
    };
    for (const auto& c : cases) {
        CHARFORMAT2A cf = FormatAt(c.pos);
        EXPECT_EQ(!(cf.dwEffects & CFE_AUTOCOLOR) && cf.crTextColor == (COLORREF)g_shell.opt.colTextQuote, c.quote)
            << c.pos;
        EXPECT_EQ((cf.dwEffects & CFE_BOLD) != 0, c.hit) << c.pos;
    }
    // "ZEVA で検索した zeva の語": only the lower-case place is a hit.
    std::string text = kArticle;
    int zeva = TextFormat_CharCount(text.data(), text.find("zeva の"));
    int upper = TextFormat_CharCount(text.data(), text.find("ZEVA で"));
    CHARFORMAT2A hit = FormatAt(zeva + 3);
    EXPECT_TRUE(hit.dwEffects & CFE_BOLD);
    EXPECT_EQ(hit.wWeight, 700);
    EXPECT_EQ(hit.crTextColor, GetSysColor(COLOR_HIGHLIGHTTEXT));
    EXPECT_EQ(hit.crBackColor, GetSysColor(COLOR_HIGHLIGHT));
    EXPECT_FALSE(FormatAt(zeva + 4).dwEffects & CFE_BOLD);
    EXPECT_FALSE(FormatAt(upper).dwEffects & CFE_BOLD);
    // A new text starts plain again.
    TextView_SetSearch("", 0);
    TextView_ShowText("zeva\n");
    EXPECT_FALSE(FormatAt(0).dwEffects & CFE_BOLD);
}

TEST_F(TextViewWindow, RegularExpressionSearchesWaitForTheLibrary)
{
    TextView_SetSearch("zev.", 1);
    TextView_ShowText("zeva\n");
    EXPECT_FALSE(FormatAt(0).dwEffects & CFE_BOLD);
}

TEST_F(TextViewWindow, OddTextsAreShown)
{
    std::string big(10 * 1024 * 1024, 'x');
    for (size_t i = 80; i < big.size(); i += 81)
        big[i] = i % 3 ? '\n' : '>';
    big.back() = '\x82';
    const std::string texts[] = {"", std::string("\x82", 1), "no line end", big};
    for (const std::string& t : texts) {
        TextView_ShowText(t.c_str());
        EXPECT_GE(GetWindowTextLengthA(TextView_Control()), (int)t.size() > 0 ? 1 : 0);
    }
    // After the long text the view is a fresh control in the same place,
    // still focused.
    SetFocus(g_shell.textView);
    RECT before;
    GetWindowRect(g_shell.textView, &before);
    TextView_ShowFile((in.dir + "\\missing.zvt").c_str());
    EXPECT_EQ(g_shell.textView, TextView_Control());
    EXPECT_EQ(GetDlgCtrlID(g_shell.textView), IDC_TEXTVIEW);
    EXPECT_EQ(GetFocus(), g_shell.textView);
    RECT after;
    GetWindowRect(g_shell.textView, &after);
    EXPECT_TRUE(EqualRect(&before, &after));
    EXPECT_EQ(GetWindowTextLengthA(TextView_Control()), 0);
    std::string path = in.dir + "\\raw.zvt";
    FILE* f = fopen(path.c_str(), "wb");
    fputs("raw text\n", f);
    fclose(f);
    TextView_ShowFile(path.c_str());
    char buf[32] = "";
    GetWindowTextA(TextView_Control(), buf, sizeof buf);
    EXPECT_EQ(std::string(buf).substr(0, 8), "raw text");
}

std::string Lines(int n)
{
    std::string s;
    for (int i = 0; i < n; ++i)
        s += "行 " + std::to_string(i) + "\n";
    return s;
}

int ScrollTop()
{
    POINT pt = {};
    SendMessageA(TextView_Control(), EM_GETSCROLLPOS, 0, (LPARAM)&pt);
    return pt.y;
}

TEST_F(TextViewWindow, ShortTextIsReadAtTheFirstPageDown)
{
    TextView_ShowText("一行だけ\n");
    EXPECT_EQ(TextView_AtEnd(), 1);
    EXPECT_EQ(TextView_Page(0), 0);
    EXPECT_EQ(g_ends, 0);
    EXPECT_EQ(TextView_Page(1), 0);
    EXPECT_EQ(g_ends, 1);
}

TEST_F(TextViewWindow, PagesMoveByTheScrollLineShareUntilTheEnd)
{
    for (int smooth : {0, 1}) {
        g_shell.opt.smoothScroll = smooth;
        g_shell.opt.scrollWait = 0;
        g_shell.opt.scrollPixel = 7;
        g_shell.opt.scrollStop = 1;
        g_shell.opt.scrollLine = 50;
        g_ends = 0;
        TextView_ShowText(Lines(300).c_str());
        SCROLLINFO si = {sizeof si, SIF_ALL};
        GetScrollInfo(TextView_Control(), SB_VERT, &si);
        ASSERT_GT(si.nPage, 0u);
        EXPECT_EQ(TextView_AtEnd(), 0);
        EXPECT_EQ(TextView_Page(0), 0);   // at the top already
        EXPECT_EQ(TextView_Page(1), 1);
        EXPECT_EQ(ScrollTop(), (int)si.nPage * 50 / 100) << smooth;
        EXPECT_EQ(TextView_Page(0), 1);
        EXPECT_EQ(ScrollTop(), 0);
        int pages = 0;
        while (TextView_Page(1) && pages < 1000)
            ++pages;
        EXPECT_GT(pages, 2);
        EXPECT_EQ(g_ends, 1);   // the page down at the end marks it read
        EXPECT_EQ(TextView_AtEnd(), 1);
        int end = ScrollTop();
        SendMessageA(TextView_Control(), WM_VSCROLL, SB_BOTTOM, 0);
        EXPECT_EQ(ScrollTop(), end);   // stopped at the end
    }
}

TEST_F(TextViewWindow, HugeScrollShareGoesToTheEndOnce)
{
    for (int smooth : {0, 1}) {
        g_shell.opt.smoothScroll = smooth;
        g_shell.opt.scrollWait = 0;
        g_shell.opt.scrollPixel = 10;
        g_shell.opt.scrollStop = 0;
        g_shell.opt.scrollLine = 2147483647;   // what a huge typed number is stored as
        TextView_ShowText(Lines(300).c_str());
        EXPECT_EQ(TextView_Page(1), 1);
        EXPECT_EQ(TextView_AtEnd(), 1) << smooth;
        EXPECT_GT(ScrollTop(), 0) << smooth;
    }
}

TEST_F(TextViewWindow, SmoothScrollingStopsAtAKey)
{
    g_shell.opt.smoothScroll = 1;
    g_shell.opt.scrollWait = 0;
    g_shell.opt.scrollPixel = 1;
    TextView_ShowText(Lines(300).c_str());
    Pump();
    PostMessageA(TextView_Control(), WM_KEYDOWN, 'A', 0);
    EXPECT_EQ(TextView_Page(1), 1);
    EXPECT_EQ(ScrollTop(), 0);   // stopped before the first step
    Pump();
    EXPECT_EQ(TextView_Page(1), 1);
    EXPECT_GT(ScrollTop(), 0);
}

TEST_F(TextViewWindow, ScrollingToTheEndInTheViewReadsTheArticle)
{
    TextView_ShowText(Lines(300).c_str());
    SendMessageA(TextView_Control(), WM_VSCROLL, SB_LINEDOWN, 0);
    EXPECT_EQ(g_ends, 0);
    SendMessageA(TextView_Control(), WM_VSCROLL, SB_BOTTOM, 0);
    EXPECT_EQ(g_ends, 1);
    SendMessageA(main, WM_COMMAND, ID_LINE_DOWN, 0);   // line down at the end
    EXPECT_EQ(g_ends, 2);
    SendMessageA(main, WM_COMMAND, ID_LINE_UP, 0);
    EXPECT_EQ(TextView_AtEnd(), 0);
    EXPECT_EQ(g_ends, 2);
    SendMessageA(main, WM_COMMAND, ID_LINE_DOWN, 0);   // a line down that reaches the end
    EXPECT_EQ(g_ends, 3);
}

TEST_F(TextViewWindow, CopyAndSelectAllAreTheControls)
{
    TextView_ShowText("abc\nあい\n");
    SetFocus(g_shell.textView);
    SendMessageA(main, WM_COMMAND, ID_SELECT_ALL, 0);
    CHARRANGE sel = {};
    SendMessageA(TextView_Control(), EM_EXGETSEL, 0, (LPARAM)&sel);
    EXPECT_EQ(sel.cpMin, 0);
    EXPECT_GE(sel.cpMax, 6);
    CHARRANGE two = {4, 6};
    SendMessageA(TextView_Control(), EM_EXSETSEL, 0, (LPARAM)&two);
    SendMessageA(main, WM_COMMAND, ID_COPY, 0);
    ASSERT_TRUE(OpenClipboard(main));
    HANDLE h = GetClipboardData(CF_TEXT);
    std::string copied = h ? (const char*)GlobalLock(h) : "";
    if (h)
        GlobalUnlock(h);
    CloseClipboard();
    EXPECT_EQ(copied, "あい");
}

// The context menu 146, opened from the keyboard at the view's top left
// corner; a second thread reads the open menu and closes it.
TEST_F(TextViewWindow, ContextMenuFromTheKeyboardOpensAtTheTopLeft)
{
    RECT view, menu = {};
    GetWindowRect(g_shell.textView, &view);
    int items = -1;
    std::thread reader([&] {
        HWND popup = nullptr;
        for (int i = 0; i < 100 && !popup; ++i) {
            Sleep(50);
            popup = FindWindowA("#32768", nullptr);
        }
        if (!popup)
            return;
        GetWindowRect(popup, &menu);
        HMENU m = (HMENU)SendMessageA(popup, MN_GETHMENU, 0, 0);
        items = m ? GetMenuItemCount(m) : -1;
        PostMessageA(popup, WM_KEYDOWN, VK_ESCAPE, 0);
        PostMessageA(main, WM_CANCELMODE, 0, 0);
    });
    SendMessageA(main, WM_CONTEXTMENU, (WPARAM)g_shell.textView, MAKELPARAM(-1, -1));
    reader.join();
    EXPECT_EQ(menu.left, view.left);
    EXPECT_EQ(menu.top, view.top);
    EXPECT_EQ(items, 7);   // コピー, すべて選択, —, 親記事..., HTMLビュー, —, プロパティ
}

TEST_F(TextViewWindow, ClickedLinksGoToTheShell)
{
    TextView_SetLinkOpener(WatchLink);
    TextView_ShowText(kArticle);
    std::string text = kArticle;
    size_t at = text.find("http://");
    ENLINK link = {};
    link.nmhdr.hwndFrom = g_shell.textView;
    link.nmhdr.idFrom = IDC_TEXTVIEW;
    link.nmhdr.code = EN_LINK;
    link.chrg.cpMin = TextFormat_CharCount(text.data(), at);
    link.chrg.cpMax = link.chrg.cpMin + (LONG)strlen("http://127.0.0.1/zeva/index.html");
    g_link.clear();
    link.msg = WM_LBUTTONDOWN;
    SendMessageA(main, WM_NOTIFY, IDC_TEXTVIEW, (LPARAM)&link);
    EXPECT_EQ(g_link, "");
    link.msg = WM_LBUTTONUP;
    SendMessageA(main, WM_NOTIFY, IDC_TEXTVIEW, (LPARAM)&link);
    EXPECT_EQ(g_link, "http://127.0.0.1/zeva/index.html");
    TextView_SetLinkOpener(nullptr);
}

// The stand-in browser: remembers what it was asked.
struct BrowserLog {
    int made = 0, quit = 0, visible = 0, answers = 1, topmost = -1, fronts = 0;
    std::vector<std::string> navigated;
} g_browser;

class CStandInBrowser : public CHtmlBrowser {
public:
    CStandInBrowser() { g_browser.visible = 1; }
    int Answers() override { return g_browser.answers; }
    int IsVisible() override { return g_browser.visible; }
    void Show(int show) override { g_browser.visible = show; }
    void ToFront() override { ++g_browser.fronts; }
    void SetTopmost(int topmost) override { g_browser.topmost = topmost; }
    void Navigate(const char* path) override { g_browser.navigated.push_back(path); }
    void Quit() override { ++g_browser.quit; }
};

CHtmlBrowser* MakeStandIn()
{
    ++g_browser.made;
    return new CStandInBrowser;
}

CHtmlBrowser* MakeNothing()
{
    ++g_browser.made;
    return nullptr;
}

TEST_F(TextViewWindow, HtmlViewShowsTheTextThroughTmpHtml)
{
    g_browser = BrowserLog();
    HtmlView_SetBrowserFactory(MakeStandIn);
    Str_Format(g_shell.openPath, sizeof g_shell.openPath, "%s\\板\\雑談.zvt", in.dir.c_str());
    const std::string tmp = std::string(g_shell.dataDir) + "tmp.html";
    const std::string page1 = "<HTML><BASE HREF=\"" + in.dir + "\\板\\\"><BODY><PRE>\r\n" + kArticle +
                              "</PRE></BODY></HTML>";
    TextView_ShowText(kArticle);
    EXPECT_EQ(ReadAll(tmp), "");   // no browser yet: nothing written

    SendMessageA(main, WM_COMMAND, ID_HTML_VIEW, 0);   // made, shown, sent to the text
    EXPECT_EQ(g_browser.made, 1);
    EXPECT_EQ(ReadAll(tmp), page1);
    ASSERT_EQ(g_browser.navigated.size(), 1u);
    EXPECT_EQ(g_browser.navigated[0], tmp);

    TextView_ShowText("次の記事\n");
    EXPECT_EQ(ReadAll(tmp), "<HTML><BASE HREF=\"" + in.dir + "\\板\\\"><BODY><PRE>\r\n次の記事\n</PRE></BODY></HTML>");
    EXPECT_EQ(g_browser.navigated.size(), 2u);

    SendMessageA(main, WM_ACTIVATE, WA_INACTIVE, 0);
    EXPECT_EQ(g_browser.topmost, 0);
    SendMessageA(main, WM_ACTIVATE, WA_ACTIVE, 0);
    EXPECT_EQ(g_browser.topmost, 1);

    SendMessageA(main, WM_COMMAND, ID_HTML_VIEW, 0);   // hidden
    EXPECT_EQ(g_browser.visible, 0);
    TextView_ShowText(kArticle);                        // hidden: not sent
    EXPECT_EQ(g_browser.navigated.size(), 2u);
    SendMessageA(main, WM_COMMAND, ID_HTML_VIEW, 0);   // shown again, with the text
    EXPECT_EQ(g_browser.visible, 1);
    EXPECT_EQ(g_browser.made, 1);
    EXPECT_EQ(ReadAll(tmp), page1);
    EXPECT_EQ(g_browser.fronts, 1);

    g_browser.answers = 0;                              // closed by the user
    SendMessageA(main, WM_ACTIVATE, WA_INACTIVE, 0);
    EXPECT_EQ(g_browser.topmost, 1);                    // not asked
    g_browser.answers = 1;
    SendMessageA(main, WM_COMMAND, ID_HTML_VIEW, 0);
    EXPECT_EQ(g_browser.made, 1);
    g_browser.answers = 0;
    SendMessageA(main, WM_COMMAND, ID_HTML_VIEW, 0);   // made again
    EXPECT_EQ(g_browser.made, 2);
    g_browser.answers = 1;

    g_shell.openPath[0] = 0;
    DestroyWindow(main);                                // told to quit at the end
    main = nullptr;
    EXPECT_EQ(g_browser.quit, 1);
    HtmlView_SetBrowserFactory(nullptr);
}

TEST_F(TextViewWindow, HtmlViewThatCannotBeMadeShowsNothing)
{
    g_browser = BrowserLog();
    HtmlView_SetBrowserFactory(MakeNothing);
    SendMessageA(main, WM_COMMAND, ID_HTML_VIEW, 0);
    TextView_ShowText(kArticle);
    SendMessageA(main, WM_ACTIVATE, WA_INACTIVE, 0);
    EXPECT_EQ(g_browser.made, 1);
    EXPECT_EQ(ReadAll(std::string(g_shell.dataDir) + "tmp.html"), "");
    HtmlView_SetBrowserFactory(nullptr);
}

TEST_F(TextViewWindow, PictureOfAQuotedArticleWithALinkAndHits)
{
    HeaderView_SetHeader("Re: 引用とリンクの記事", "山田", "yamada@example.jp", "http://127.0.0.1/yamada/",
                         "26/12/08(火) 10:00");
    TextView_SetSearch("zeva", 0);
    TextView_ShowText(kArticle);
    EXPECT_GT(Picture(main, "textview_article.png"), 8);
}

// The dialog in a modal loop, driven from a second thread.
struct DialogDriver {
    std::function<void(HWND)> work;
    std::thread thread;
    std::atomic<bool> done{false};
    explicit DialogDriver(std::function<void(HWND)> w) : work(std::move(w))
    {
        thread = std::thread([this] {
            HWND dlg = nullptr;
            for (int i = 0; i < 200 && !dlg; ++i) {
                Sleep(50);
                dlg = FindWindowA("#32770", "記事プロパティ");
            }
            if (dlg)
                work(dlg);
            done = true;
        });
    }
    ~DialogDriver() { thread.join(); }
};

std::string ItemText(HWND dlg, int id)
{
    char buf[300] = "";
    GetDlgItemTextA(dlg, id, buf, sizeof buf);
    return buf;
}

bool ReadOnly(HWND dlg, int id)
{
    return (GetWindowLongA(GetDlgItem(dlg, id), GWL_STYLE) & ES_READONLY) != 0;
}

int AddArticle(CSubj& s, bool ids)
{
    SubjItem it;
    CSubj::InitItem(&it);
    it.no = ids ? s.MakeIdNo("abc123") : 12;
    it.pno = ids ? s.MakeIdNo("xyz") : 3;
    it.date = (uint16_t)((2026 - 1970) * 512 + 12 * 32 + 8);
    it.time = 10 * 60 + 5;
    it.atr = ATR_N;
    it.title = s.Atoms(CSubj::A_TITLE).Add("プロパティの記事");
    it.name = s.Atoms(CSubj::A_NAME).Add("山田");
    it.post = s.Atoms(CSubj::A_POST).Add("POST http://127.0.0.1/post.cgi");
    it.msg = CSubj::AllocText("text\n");
    return s.Append(it);
}

TEST_F(TextViewWindow, PropertiesDialogShowsAndStores)
{
    CSubj s;
    int i = AddArticle(s, false);
    char date[32];
    s.DateStr(i, date);
    std::string seen[8];
    const std::string pno = s.PnoStr(i);
    bool readOnly[2] = {true, true};
    int colours = 0;
    {
        DialogDriver d([&](HWND dlg) {
            const int ids[] = {IDC_AP_NO, IDC_AP_PNO, IDC_AP_DATE, IDC_AP_TIME, IDC_AP_NAME, IDC_AP_TITLE, IDC_AP_POST, IDC_AP_FOLLOW};
            for (int k = 0; k < 8; ++k)
                seen[k] = ItemText(dlg, ids[k]);
            readOnly[0] = ReadOnly(dlg, IDC_AP_NO);
            readOnly[1] = ReadOnly(dlg, IDC_AP_PNO);
            colours = Picture(dlg, "article_properties.png");
            SetDlgItemTextA(dlg, IDC_AP_NO, "99");
            SetDlgItemTextA(dlg, IDC_AP_PNO, "*");
            SetDlgItemTextA(dlg, IDC_AP_FOLLOW, "FOLLOW x");
            SendDlgItemMessageA(dlg, IDC_AP_UNREAD, BM_SETCHECK, BST_UNCHECKED, 0);
            SendDlgItemMessageA(dlg, IDC_AP_HELD, BM_SETCHECK, BST_CHECKED, 0);
            PostMessageA(dlg, WM_COMMAND, IDOK, 0);
        });
        EXPECT_EQ(ArticleProps_Run(main, s, i), 1);
    }
    EXPECT_EQ(seen[0], "12");
    EXPECT_EQ(seen[1], pno);
    EXPECT_EQ(seen[2], date);
    EXPECT_EQ(seen[4], "山田");
    EXPECT_EQ(seen[5], "プロパティの記事");
    EXPECT_EQ(seen[6], "POST http://127.0.0.1/post.cgi");
    EXPECT_EQ(seen[7], "");
    EXPECT_FALSE(readOnly[0] || readOnly[1]);
    EXPECT_GT(colours, 4);
    EXPECT_EQ(s.GetItem(i).no, 99);
    EXPECT_EQ(s.GetItem(i).pno, SUBJ_NO_UNKNOWN);
    EXPECT_EQ(s.GetItem(i).atr, ATR_B);
    EXPECT_STREQ(s.Atoms(CSubj::A_FOLLOW).Get(s.GetItem(i).follow), "FOLLOW x");
}

TEST_F(TextViewWindow, PropertiesOfAnIdentifierArticleCannotEditItsNumbers)
{
    CSubj s;
    int i = AddArticle(s, true);
    bool readOnly[2] = {false, false};
    std::string no;
    {
        DialogDriver d([&](HWND dlg) {
            readOnly[0] = ReadOnly(dlg, IDC_AP_NO);
            readOnly[1] = ReadOnly(dlg, IDC_AP_PNO);
            no = ItemText(dlg, IDC_AP_NO);
            SendDlgItemMessageA(dlg, IDC_AP_UNREAD, BM_SETCHECK, BST_UNCHECKED, 0);
            PostMessageA(dlg, WM_COMMAND, IDCANCEL, 0);
        });
        EXPECT_EQ(ArticleProps_Run(main, s, i), 0);
    }
    EXPECT_TRUE(readOnly[0] && readOnly[1]);
    EXPECT_EQ(no, s.NoStr(i));
    EXPECT_EQ(s.GetItem(i).atr, ATR_N);   // Cancel changes nothing
}

// Visible top-level windows of this process other than the main window,
// with their titles.
struct WindowList {
    HWND main;
    std::vector<std::string> titles;
};

BOOL CALLBACK AddWindow(HWND w, LPARAM lp)
{
    WindowList* c = (WindowList*)lp;
    DWORD pid = 0;
    GetWindowThreadProcessId(w, &pid);
    if (w != c->main && pid == GetCurrentProcessId() && IsWindowVisible(w)) {
        char t[256] = "";
        GetWindowTextA(w, t, sizeof t);
        c->titles.push_back(t);
    }
    return TRUE;
}

std::vector<std::string> OtherWindows(HWND main)
{
    WindowList list{main, {}};
    EnumWindows(AddWindow, (LPARAM)&list);
    return list.titles;
}

// The real browser object of this machine (last: its frame leaves the
// screen unpainted for the pictures): Wine makes a browser frame without an
// HTML engine. The toggle comes back at once, nothing offers an
// installation, and the browser goes with the main window.
TEST_F(TextViewWindow, HtmlViewWithThisMachinesBrowser)
{
    DWORD start = GetTickCount();
    SendMessageA(main, WM_COMMAND, ID_HTML_VIEW, 0);
    TextView_ShowText(kArticle);
    Pump();
    EXPECT_LT(GetTickCount() - start, 30000u);
    for (const std::string& t : OtherWindows(main))
        EXPECT_EQ(t.find("Gecko"), std::string::npos) << t;
    g_shell.openPath[0] = 0;
    DestroyWindow(main);
    main = nullptr;
    Pump();
    EXPECT_TRUE(OtherWindows(nullptr).empty());
}

}  // namespace
