// The search's window side: the search dialog (resource 159), the search
// commands of the main window, and the host that lets the order of a search
// (SearchMatch.cpp) move through the title view, the folder view and the
// text view.
#include "ui/search/Search_win.h"

#include "base/sjis.h"
#include "base/window_win.h"
#include "res/resource.h"
#include "store/Subj.h"
#include "ui/folderview/FolderView_win.h"
#include "ui/shell/Shell.h"
#include "ui/shell/Views.h"
#include "ui/titleview/TitleView_win.h"

#include <string>

namespace {

SearchSettings g_settings;
int g_searching = 0;

// ---- the dialog ---------------------------------------------------------------------------

struct DialogState {
    SearchSettings* s;
    int libraryPresent;
};

void Check(HWND dlg, int id, int on)
{
    CheckDlgButton(dlg, id, on ? BST_CHECKED : BST_UNCHECKED);
}

int Checked(HWND dlg, int id)
{
    return IsDlgButtonChecked(dlg, id) == BST_CHECKED;
}

void Fill(HWND dlg, const DialogState& st)
{
    const SearchSettings& s = *st.s;
    HWND combo = GetDlgItem(dlg, IDC_SEARCH_TEXT);
    for (const char* h : s.history)
        if (h[0])
            SendMessageA(combo, CB_ADDSTRING, 0, (LPARAM)h);
    SendMessageA(combo, CB_LIMITTEXT, SEARCH_TEXT_SIZE - 1, 0);
    SetWindowTextA(combo, s.text);
    Check(dlg, IDC_SEARCH_COLOR, s.colorLabel);
    Check(dlg, IDC_SEARCH_CASE, s.caseSensitive);
    Check(dlg, IDC_SEARCH_FOLDER_ONLY, s.thisFolderOnly);
    Check(dlg, IDC_SEARCH_UNREAD, s.unread);
    Check(dlg, IDC_SEARCH_OWN, s.own);
    Check(dlg, IDC_SEARCH_REGEXP, s.regExp && st.libraryPresent);
    EnableWindow(GetDlgItem(dlg, IDC_SEARCH_REGEXP), st.libraryPresent ? TRUE : FALSE);
    Check(dlg, s.direction > 0 ? IDC_SEARCH_DOWN : IDC_SEARCH_UP, 1);
}

void ReadBack(HWND dlg, const DialogState& st)
{
    SearchSettings& s = *st.s;
    s.colorLabel = Checked(dlg, IDC_SEARCH_COLOR);
    s.caseSensitive = Checked(dlg, IDC_SEARCH_CASE);
    s.thisFolderOnly = Checked(dlg, IDC_SEARCH_FOLDER_ONLY);
    s.unread = Checked(dlg, IDC_SEARCH_UNREAD);
    s.own = Checked(dlg, IDC_SEARCH_OWN);
    s.regExp = st.libraryPresent && Checked(dlg, IDC_SEARCH_REGEXP);
    s.direction = Checked(dlg, IDC_SEARCH_UP) ? -1 : 1;
    // Room for more than the field holds: the cut is Search_SetText's.
    char typed[1024] = "";
    GetDlgItemTextA(dlg, IDC_SEARCH_TEXT, typed, sizeof typed);
    Search_SetText(&s, typed);
    SearchHistory_Push(s.history, s.text);
}

INT_PTR CALLBACK DialogProc(HWND dlg, UINT msg, WPARAM wp, LPARAM lp)
{
    switch (msg) {
    case WM_INITDIALOG:
        SetWindowLongPtrA(dlg, DWLP_USER, lp);
        Fill(dlg, *(const DialogState*)lp);
        Wnd_CentreOver(dlg, GetWindow(dlg, GW_OWNER));
        return TRUE;
    case WM_COMMAND:
        if (LOWORD(wp) == IDOK) {
            ReadBack(dlg, *(const DialogState*)GetWindowLongPtrA(dlg, DWLP_USER));
            EndDialog(dlg, IDOK);
            return TRUE;
        }
        if (LOWORD(wp) == IDCANCEL) {
            EndDialog(dlg, IDCANCEL);
            return TRUE;
        }
        break;
    case WM_HELP:
        // The main window's context help.
        if (g_shell.main)
            SendMessageA(g_shell.main, WM_HELP, wp, lp);
        return TRUE;
    }
    return FALSE;
}

// ---- the search in the windows ------------------------------------------------------------

// Shows the library's message for a pattern it refused.
void PatternRefused(const char* msg)
{
    MessageBoxA(g_shell.main, msg && msg[0] ? msg : "正規表現が正しくありません", "検索", MB_OK | MB_ICONEXCLAMATION);
}

// The compiled pattern of the current text when regular expressions are
// on; 0 when it does not compile (the message is shown).
int TakePattern()
{
    SearchSettings& s = g_settings;
    s.pattern = nullptr;
    if (!s.regExp || !s.text[0])
        return 1;
    char msg[REGEX_MSG_SIZE] = "";
    s.pattern = Search_PatternCache().Get(Search_Pattern(s.text).c_str(), msg);
    if (!s.pattern) {
        PatternRefused(msg);
        return 0;
    }
    return 1;
}

class CWindowSearch : public CSearchHost {
public:
    void Searching(int delta) override
    {
        g_searching += delta;
        if (g_searching < 0)
            g_searching = 0;
        FolderView_Searching(delta);
        TitleView_SetSearching(g_searching > 0);
    }
    int ScanRows(int direction, int kind, int fromEdge) override
    {
        CSubj* subj = g_shell.subj;
        if (!subj)
            return 0;
        int count = TitleView_RowCount();
        int current = fromEdge ? -1 : TitleView_CurrentRow();
        subj->Lock();
        CArticleTest test(g_settings, Search_PatternCache().Library(), g_settings.pattern);
        int row = Search_ScanRows(count, current, direction, [&](int r) {
            int a = TitleView_RowToArticle(r);
            return kind == SEARCH_UNREAD ? Search_UnreadMatches(*subj, a) : test.Matches(*subj, a);
        });
        subj->Unlock();
        if (row < 0)
            return 0;
        TitleView_SelectRow(row);
        return 1;
    }
    int SelectNextStore(int direction, int kind) override
    {
        // A walk from a folder item can stop at the store that folder
        // opened, whose rows were searched already: it walks on from there.
        char before[MAX_PATH];
        Str_Copy(before, sizeof before, g_shell.openPath);
        StoreWalk walk = Search_WalkOf(g_settings, direction, kind);
        if (!FolderView_SelectNextStore(walk))
            return 0;
        if (!before[0] || Str_ICmp(before, g_shell.openPath) != 0)
            return 1;
        return FolderView_SelectNextStore(walk);
    }
    void FocusTitle() override
    {
        if (g_shell.titleView)
            SetFocus(g_shell.titleView);
    }
    void NotFound() override
    {
        MessageBoxA(g_shell.main, "検索した記事は見つかりませんでした", "確認", MB_OK | MB_ICONINFORMATION);
    }
    int PageText() override { return TitleView_PageText(); }
    void MarkCurrentRead() override { TitleView_MarkCurrentRead(); }
};

void RunSearch(int direction, int kind)
{
    if (kind == SEARCH_NORMAL && !g_settings.pattern && !TakePattern())
        return;
    CWindowSearch host;
    Search_Run(host, direction, kind);
}

void ReadOn(int kind)
{
    if (kind == SEARCH_NORMAL && !g_settings.pattern && !TakePattern())
        return;
    CWindowSearch host;
    Search_ReadOn(host, kind);
}

void ShowDialog()
{
    SearchSettings edited = g_settings;
    int present = Search_LibraryPresent();
    if (Search_Dialog(g_shell.main, &edited, present) != IDOK)
        return;
    g_settings = edited;
    g_shell.opt.enableCap = g_settings.caseSensitive;
    g_shell.opt.enableRegExp = g_settings.regExp;
    g_shell.ini.SetSection("SEARCH");
    g_shell.ini.SetInt("EnableCap", g_settings.caseSensitive);
    g_shell.ini.SetInt("EnableRegExp", g_settings.regExp);
    TextView_SetSearch(g_settings.text, g_settings.regExp);
    if (!TakePattern())
        return;
    PostMessageA(g_shell.main, WM_COMMAND, g_settings.direction > 0 ? ID_SEARCH_DOWN : ID_SEARCH_UP, 0);
}

}  // namespace

SearchSettings& Search_Settings()
{
    return g_settings;
}

INT_PTR Search_Dialog(HWND owner, SearchSettings* settings, int libraryPresent)
{
    SearchSettings edited = *settings;
    DialogState st = {&edited, libraryPresent};
    INT_PTR r = DialogBoxParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDD_SEARCH), owner, DialogProc,
                                (LPARAM)&st);
    if (r != IDOK)
        return IDCANCEL;
    *settings = edited;
    return IDOK;
}

int Search_IsBuilt()
{
    return 1;
}

void Search_Init()
{
    int present = Search_LibraryPresent();
    if (!present)
        g_shell.opt.enableRegExp = 0;
    SearchSettings_Init(&g_settings, g_shell.opt.search, g_shell.opt.enableCap, g_shell.opt.enableRegExp, present);
}

void Search_Command(int id)
{
    switch (id) {
    case ID_SEARCH:
        ShowDialog();
        return;
    case ID_SEARCH_DOWN:
    case ID_SEARCH_UP:
        RunSearch(id == ID_SEARCH_DOWN ? 1 : -1, SEARCH_NORMAL);
        return;
    case ID_UNREAD_DOWN:
    case ID_UNREAD_UP:
        RunSearch(id == ID_UNREAD_DOWN ? 1 : -1, SEARCH_UNREAD);
        return;
    case ID_SEARCH_READ_ON:
        ReadOn(SEARCH_NORMAL);
        return;
    case ID_READ_ON_UNREAD:
        ReadOn(SEARCH_UNREAD);
        return;
    }
}
