// The option sheet "オプション" (command 32773): six pages over the settings in
// memory (g_shell.opt) and zeva.ini (g_shell.ini). The sheet opens on the
// page last active and centres itself over the main window once per opening.
#include "ui/options/OptionPages_win.h"

#include "base/sjis.h"
#include "base/window_win.h"
#include "ui/keys/KeyPage_win.h"
#include "ui/shell/MainWindow_win.h"
#include "ui/shell/Views.h"

#include <commctrl.h>
#include <commdlg.h>
#include <cderr.h>

#include <algorithm>
#include <vector>

namespace {

const UINT WM_SHEET_CENTRE = WM_APP + 0x3E1;   // apart from the pages' own messages

int s_startPage = 0;   // kept while the program runs
bool s_centred = false;

// The first page created asks for the centring once the sheet stands.
void RequestCentre(HWND page)
{
    if (!s_centred) {
        s_centred = true;
        PostMessageA(page, WM_SHEET_CENTRE, 0, 0);
    }
}

// The keyboard page is the key assignment's; the sheet adds what every page does.
INT_PTR CALLBACK KeyPageInSheet(HWND page, UINT msg, WPARAM wp, LPARAM lp)
{
    if (msg == WM_INITDIALOG)
        RequestCentre(page);
    if (msg == WM_SHEET_CENTRE) {
        Wnd_CentreOver(GetParent(page), g_shell.main);
        return TRUE;
    }
    if (msg == WM_NOTIFY && ((NMHDR*)lp)->code == PSN_SETACTIVE)
        s_startPage = OPTION_PAGE_KEYS;
    INT_PTR r = KeyPage_DlgProc(page, msg, wp, lp);
    if (!r && msg == WM_HELP) {
        Shell_OpenHelp(kOptionPages[OPTION_PAGE_KEYS].resource);
        return TRUE;
    }
    return r;
}

}  // namespace

INT_PTR OptionPage_Handle(int index, const OptionPageProcs& procs, HWND page, UINT msg, WPARAM wp, LPARAM lp)
{
    switch (msg) {
    case WM_SHEET_CENTRE:
        Wnd_CentreOver(GetParent(page), g_shell.main);
        return TRUE;
    case WM_HELP:
        Shell_OpenHelp(kOptionPages[index].resource);
        return TRUE;
    case WM_INITDIALOG:
        procs.init(page);
        RequestCentre(page);
        return TRUE;
    case WM_NOTIFY: {
        NMHDR* nm = (NMHDR*)lp;
        if (nm->hwndFrom != GetParent(page))
            break;
        switch (nm->code) {
        case PSN_SETACTIVE:
            s_startPage = index;
            SetWindowLongPtrA(page, DWLP_MSGRESULT, 0);
            return TRUE;
        case PSN_KILLACTIVE:
            if (kOptionPages[index].applyOnLeave)
                procs.apply(page);
            SetWindowLongPtrA(page, DWLP_MSGRESULT, FALSE);
            return TRUE;
        case PSN_APPLY:
            procs.apply(page);
            SetWindowLongPtrA(page, DWLP_MSGRESULT, PSNRET_NOERROR);
            return TRUE;
        }
        break;
    }
    }
    return procs.message ? procs.message(page, msg, wp, lp) : FALSE;
}

void OptionPage_Changed(HWND page)
{
    PropSheet_Changed(GetParent(page), page);
}

std::string OptionPage_Text(HWND page, int id)
{
    HWND c = GetDlgItem(page, id);
    int n = c ? GetWindowTextLengthA(c) : 0;
    std::vector<char> buf((size_t)std::max(n, 0) + 2, 0);
    if (c)
        GetWindowTextA(c, buf.data(), n + 1);
    return buf.data();
}

int OptionPage_Checked(HWND page, int id)
{
    return IsDlgButtonChecked(page, id) == BST_CHECKED ? 1 : 0;
}

void OptionPage_Check(HWND page, int id, int on)
{
    CheckDlgButton(page, id, on ? BST_CHECKED : BST_UNCHECKED);
}

int OptionPage_ChooseFile(HWND owner, const char* filter, char* path, size_t size)
{
    if (!path || size < 2)
        return 0;
    char name[MAX_PATH];
    Option_CutText(name, sizeof name, path);
    OPENFILENAMEA ofn;
    memset(&ofn, 0, sizeof ofn);
    ofn.lStructSize = sizeof ofn;
    ofn.hwndOwner = owner;
    ofn.lpstrFilter = filter;
    ofn.nFilterIndex = 1;
    ofn.lpstrFile = name;
    ofn.nMaxFile = sizeof name;
    ofn.Flags = OFN_EXPLORER | OFN_FILEMUSTEXIST | OFN_HIDEREADONLY | OFN_ENABLESIZING;
    BOOL ok = GetOpenFileNameA(&ofn);
    if (!ok && CommDlgExtendedError() == FNERR_INVALIDFILENAME) {
        name[0] = 0;
        ok = GetOpenFileNameA(&ofn);
    }
    if (!ok)
        return 0;
    Option_CutText(path, size, name);
    return 1;
}

int Options_IsBuilt()
{
    return 1;
}

void Options_Show()
{
    INITCOMMONCONTROLSEX icc = {sizeof icc, ICC_UPDOWN_CLASS | ICC_BAR_CLASSES | ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&icc);
    const DLGPROC procs[OPTION_PAGE_COUNT] = {DisplayPage_Proc, ComposePage_Proc, PatrolPage_Proc,
                                              SoundPage_Proc,   KeyPageInSheet,     OtherPage_Proc};
    PROPSHEETPAGEA pages[OPTION_PAGE_COUNT];
    for (int i = 0; i < OPTION_PAGE_COUNT; ++i) {
        memset(&pages[i], 0, sizeof pages[i]);
        pages[i].dwSize = sizeof pages[i];
        pages[i].hInstance = g_shell.instance ? g_shell.instance : GetModuleHandleA(nullptr);
        pages[i].pszTemplate = MAKEINTRESOURCEA(kOptionPages[i].resource);
        pages[i].pfnDlgProc = procs[i];
    }
    PROPSHEETHEADERA h;
    memset(&h, 0, sizeof h);
    h.dwSize = sizeof h;
    h.dwFlags = PSH_PROPSHEETPAGE;
    h.hwndParent = g_shell.main;
    h.hInstance = pages[0].hInstance;
    h.pszCaption = "オプション";
    h.nPages = OPTION_PAGE_COUNT;
    h.nStartPage = (UINT)std::min(std::max(s_startPage, 0), OPTION_PAGE_COUNT - 1);
    h.ppsp = pages;
    s_centred = false;
    PropertySheetA(&h);
}
