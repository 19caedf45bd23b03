// The keyboard page hosted in this process as the option sheet hosts it: a
// property sheet with that one page (template 169, KeyPage_DlgProc), run on
// the calling thread while a second thread works it as a user would.
#pragma once
#include "res/resource.h"
#include "ui/driver/UiDriver.h"
#include "ui/keys/KeyPage_win.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <thread>
#include <vector>

namespace keypage {

using namespace uidriver;

const char kCaption[] = "オプション";

// What the page told its host.
struct HostLog {
    int saved = 0;                  // keysSaved calls
    std::vector<int> entered;       // page indexes it reported on entering
    std::function<void()> onSaved;  // run on each keysSaved (the page's thread)
};

// Under our own X server Wine frames the windows itself (as the outside
// driver arranges for the programs it starts): no wait for a window manager
// when a box closes, and the caption shows in the screenshots.
inline void FrameByWine()
{
    char v[8];
    HKEY key;
    if (GetEnvironmentVariableA("ZEVA_XVFB", v, sizeof v) &&
        RegCreateKeyExA(HKEY_CURRENT_USER, "Software\\Wine\\X11 Driver", 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key,
                        nullptr) == ERROR_SUCCESS) {
        RegSetValueExA(key, "Managed", 0, REG_SZ, (const BYTE*)"N", 2);
        RegCloseKey(key);
    }
}

// An empty page "次" after the keyboard page, to leave it for (secondPage).
struct EmptyPageTemplate {
    DLGTEMPLATE t = {DS_SETFONT | WS_CHILD | WS_CAPTION | WS_DISABLED, 0, 0, 0, 0, 262, 200};
    WORD menu = 0, cls = 0;
    wchar_t title[2] = {0x6B21, 0};   // 次
    WORD points = 9;
    wchar_t face[9] = L"MS Shell";
};

inline INT_PTR CALLBACK EmptyPageProc(HWND, UINT msg, WPARAM, LPARAM)
{
    return msg == WM_INITDIALOG;
}

inline int RunPage(const std::string& dataFolder, HostLog& log, const std::function<void()>& drive,
                   bool secondPage = false)
{
    FrameByWine();
    INITCOMMONCONTROLSEX icc = {sizeof icc, ICC_LISTVIEW_CLASSES | ICC_TAB_CLASSES};
    InitCommonControlsEx(&icc);
    KeyPageHost host;
    host.dataFolder = dataFolder.c_str();
    host.ctx = &log;
    host.keysSaved = [](void* ctx) {
        HostLog* l = (HostLog*)ctx;
        ++l->saved;
        if (l->onSaved)
            l->onSaved();
    };
    host.entered = [](void* ctx, int index) { ((HostLog*)ctx)->entered.push_back(index); };
    KeyPage_SetHost(host);

    PROPSHEETPAGEA pages[2] = {};
    pages[0].dwSize = sizeof pages[0];
    pages[0].hInstance = GetModuleHandleA(nullptr);
    pages[0].pszTemplate = MAKEINTRESOURCEA(IDD_KEYPAGE);
    pages[0].pfnDlgProc = KeyPage_DlgProc;
    static EmptyPageTemplate empty;
    pages[1].dwSize = sizeof pages[1];
    pages[1].dwFlags = PSP_DLGINDIRECT;
    pages[1].pResource = &empty.t;
    pages[1].pfnDlgProc = EmptyPageProc;
    PROPSHEETHEADERA sheet = {};
    sheet.dwSize = sizeof sheet;
    sheet.dwFlags = PSH_PROPSHEETPAGE;
    sheet.hInstance = pages[0].hInstance;
    sheet.pszCaption = kCaption;
    sheet.nPages = secondPage ? 2 : 1;
    sheet.ppsp = pages;
    std::thread driver(drive);
    INT_PTR result = PropertySheetA(&sheet);
    driver.join();
    return (int)result;
}

inline HWND WaitSheet()
{
    HWND sheet = nullptr;
    WaitFor([&] { return (sheet = FindWindowA("#32770", kCaption)) && IsWindowVisible(sheet); }, 30000);
    return sheet;
}

inline HWND PageOf(HWND sheet)
{
    return (HWND)SendMessageA(sheet, PSM_GETCURRENTPAGEHWND, 0, 0);
}

// A dialog of this process other than the sheet (the add-key dialog, a
// message box).
inline HWND WaitBox(HWND sheet)
{
    HWND box = nullptr;
    WaitFor([&] {
        for (HWND w : TopWindows(GetCurrentProcessId(), "#32770"))
            if (w != sheet)
                box = w;
        return box != nullptr;
    });
    return box;
}

inline std::vector<std::string> ListBoxTexts(HWND box)
{
    std::vector<std::string> out;
    int n = (int)SendMessageA(box, LB_GETCOUNT, 0, 0);
    for (int i = 0; i < n; ++i) {
        char buf[256] = "";
        if (SendMessageA(box, LB_GETTEXTLEN, i, 0) < (LRESULT)sizeof buf)
            SendMessageA(box, LB_GETTEXT, i, (LPARAM)buf);
        out.push_back(buf);
    }
    return out;
}

// Selects entry i of a list box as a click would (with its notification).
inline void ListBoxPick(HWND dlg, int id, int i)
{
    SendDlgItemMessageA(dlg, id, LB_SETCURSEL, (WPARAM)i, 0);
    SendMessageA(dlg, WM_COMMAND, MAKEWPARAM(id, LBN_SELCHANGE), (LPARAM)GetDlgItem(dlg, id));
}

inline void ComboPick(HWND dlg, int id, int i)
{
    SendDlgItemMessageA(dlg, id, CB_SETCURSEL, (WPARAM)i, 0);
    SendMessageA(dlg, WM_COMMAND, MAKEWPARAM(id, CBN_SELCHANGE), (LPARAM)GetDlgItem(dlg, id));
}

// The FunctionList row of a command.
inline int RowOf(HWND page, int command)
{
    HWND lv = GetDlgItem(page, IDC_KEY_FUNCTIONS);
    for (int r = 0; r < ListCount(lv); ++r) {
        LVITEMA it = {};
        it.mask = LVIF_PARAM;
        it.iItem = r;
        SendMessageA(lv, LVM_GETITEMA, 0, (LPARAM)&it);
        if (it.lParam == command)
            return r;
    }
    return -1;
}

// Adds a key to the selected function through the add-key dialog: the
// key's name picked in its list, the boxes set, OK.
inline bool AddKey(HWND sheet, HWND page, const std::string& name, bool ctrl, bool shift, bool alt)
{
    PostMessageA(GetDlgItem(page, IDC_KEY_ADD), BM_CLICK, 0, 0);
    HWND box = WaitBox(sheet);
    if (!box)
        return false;
    int at = (int)SendDlgItemMessageA(box, IDC_ADDKEY_LIST, LB_FINDSTRINGEXACT, (WPARAM)-1, (LPARAM)name.c_str());
    ListBoxPick(box, IDC_ADDKEY_LIST, at);
    CheckDlgButton(box, IDC_ADDKEY_CTRL, ctrl ? BST_CHECKED : BST_UNCHECKED);
    CheckDlgButton(box, IDC_ADDKEY_SHIFT, shift ? BST_CHECKED : BST_UNCHECKED);
    CheckDlgButton(box, IDC_ADDKEY_ALT, alt ? BST_CHECKED : BST_UNCHECKED);
    PressButton(box, IDOK);
    return WaitFor([&] { return !IsWindow(box); });
}

inline void Shot(HWND window, const std::string& name)
{
    Image shot;
    RedrawWindow(window, nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    ASSERT_TRUE(Capture(window, &shot));
    EXPECT_TRUE(shot.NotBlank()) << name;
    EXPECT_TRUE(SavePng(shot, ScreenPath(name)));
}

}  // namespace keypage
