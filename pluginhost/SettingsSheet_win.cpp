// The folder properties sheet: three pages over one settings object of the
// board folder. What the pages decide (labels, enables, items, what OK
// stores) is DialogDesc.cpp; this file moves it in and out of the controls
// and runs the plug-in for its description.
#include "pluginhost/SettingsSheet_win.h"

#include "base/fileio.h"
#include "base/sjis.h"
#include "base/window_win.h"
#include "res/resource.h"
#include "store/Profile.h"

#include <commctrl.h>
#include <commdlg.h>
#include <shellapi.h>

#include <algorithm>
#include <string.h>
#include <string>
#include <vector>

namespace {

const char kCaption[] = "フォルダ プロパティ";
const char kCalling[] = "プラグイン呼び出し中...";
const UINT WM_SHEET_CENTRE = WM_APP + 1;
const DWORD kDialogModeWaitMs = 10000;

struct SheetState {
    FolderSheetForm* form = nullptr;
    std::string folder;                 // the board folder, ending with a backslash
    CProfile ini;                       // its "zeva_BBS.ini", shared by the pages
    std::vector<std::string> types;     // installed plug-ins, sorted
    std::string chosen;                 // the type chosen on the first page
    bool parsed = false;                // the detail items were read ...
    std::string parsedType;             // ... for this type
    std::vector<DialogItem> items;
    HIMAGELIST images = nullptr;
    HWND sheet = nullptr;
    bool ok = false;
    FolderSettingsOutput out;
};

SheetState* StateOf(HWND page)
{
    return (SheetState*)GetWindowLongPtrA(page, DWLP_USER);
}

SheetState* InitState(HWND page, LPARAM lParam)
{
    SheetState* s = (SheetState*)((PROPSHEETPAGEA*)lParam)->lParam;
    SetWindowLongPtrA(page, DWLP_USER, (LONG_PTR)s);
    s->sheet = GetParent(page);
    return s;
}

std::string WindowText(HWND wnd)
{
    int n = GetWindowTextLengthA(wnd);
    std::vector<char> buf((size_t)n + 2);
    GetWindowTextA(wnd, buf.data(), n + 1);
    return buf.data();
}

// LF alone becomes CR LF, as an edit control shows line breaks.
std::string ForEdit(const std::string& s)
{
    std::string out;
    for (size_t i = 0; i < s.size(); ++i) {
        if (s[i] == '\n' && (i == 0 || s[i - 1] != '\r'))
            out += '\r';
        out += s[i];
    }
    return out;
}

// ---- the description ----------------------------------------------------

// Renews section DIALOG for the chosen type: from the description block of a
// script, or else from the plug-in run in dialog mode.
void FetchDescription(SheetState* s, HWND page)
{
    const PluginRunOptions& run = s->form->run;
    PluginInfo info;
    Plugin_Lookup(&info, s->chosen.c_str(), run.pluginFolder);
    char head[2];
    long n = File_ReadHead(info.path, head, sizeof head);
    if (n < 0)
        return;   // no such file: the pages keep what they show
    DialogDesc_ClearItems(s->ini);
    s->ini.Save();
    bool exe = n == 2 && head[0] == 'M' && head[1] == 'Z';
    int block = 0;
    if (!exe) {
        std::vector<char> text;
        if (File_ReadAll(info.path, text))
            block = DialogDesc_ReadBlock(text.data(), text.size(), s->ini);
    }
    if (exe || !block) {
        PluginLaunchRequest req;
        req.boardFolder = s->folder.c_str();
        req.typeName = s->chosen.c_str();
        req.argument = "i";
        req.visible = false;
        req.stdOut = nullptr;
        req.stdErr = nullptr;
        req.processId = nullptr;
        HANDLE process = Plugin_Launch(req, run, s->form->launchLock);
        if (process) {
            WaitForSingleObject(process, kDialogModeWaitMs);
            CloseHandle(process);
        } else {
            char folder[MAX_PATH];
            Plugin_BoardFolderForCd(folder, sizeof folder, s->folder.c_str());
            MessageBoxA(page, folder, "プラグイン起動エラー", MB_OK | MB_ICONERROR);
        }
        // The plug-in wrote section DIALOG into the file itself.
        s->ini.Load();
    }
}

void FetchWithTitle(SheetState* s, HWND page)
{
    s->ini.Save();   // the plug-in reads the current values
    SetWindowTextA(s->sheet, kCalling);
    FetchDescription(s, page);
    SetWindowTextA(s->sheet, kCaption);
}

// ---- page 基本設定 ---------------------------------------------------------

void ShowPluginInfo(SheetState* s, HWND page)
{
    PluginInfo info;
    Plugin_Lookup(&info, s->chosen.c_str(), s->form->run.pluginFolder);
    SetDlgItemTextA(page, IDC_SET_TARGET, info.target.c_str());
    SetDlgItemTextA(page, IDC_SET_AUTHOR, info.author.c_str());
    SetDlgItemTextA(page, IDC_SET_VERSION, info.version.c_str());
    SetDlgItemTextA(page, IDC_SET_COMMENTS, ForEdit(info.comments).c_str());
}

std::string ClipboardText(HWND owner)
{
    std::string text;
    if (!OpenClipboard(owner))
        return text;
    HANDLE h = GetClipboardData(CF_TEXT);
    const char* p = h ? (const char*)GlobalLock(h) : nullptr;
    if (p) {
        text.assign(p, strnlen(p, GlobalSize(h)));
        GlobalUnlock(h);
    }
    CloseClipboard();
    return text;
}

void BasicInit(SheetState* s, HWND page)
{
    HWND box = GetDlgItem(page, IDC_SET_PLUGIN);
    for (const std::string& t : s->types)
        SendMessageA(box, CB_ADDSTRING, 0, (LPARAM)t.c_str());
    s->ini.SetSection("BASIC");
    char lib[260], url[260];
    s->ini.GetString("LIB", lib, sizeof lib, "");
    s->ini.GetString("URL", url, sizeof url, "");
    int sel = -1;
    for (size_t i = 0; i < s->types.size() && sel < 0; ++i)
        if (lib[0] && Str_ICmp(s->types[i].c_str(), lib) == 0)
            sel = (int)i;
    if (sel < 0) {
        std::string clip = ClipboardText(page), address;
        sel = Plugin_PreselectType(clip.empty() ? nullptr : clip.c_str(), lib, url, s->types, &address);
        if (!address.empty()) {
            s->ini.SetString("URL", address.c_str());
            s->ini.Save();
        }
    }
    SendMessageA(box, CB_SETCURSEL, sel, 0);
    s->chosen = sel >= 0 ? s->types[sel] : std::string();
    int marks = s->ini.GetInt("BBSFOLDER", 0);
    CheckDlgButton(page, IDC_SET_PATROL, marks & 1 ? BST_CHECKED : BST_UNCHECKED);
    CheckDlgButton(page, IDC_SET_TEMPORARY, marks & 2 ? BST_CHECKED : BST_UNCHECKED);
    ShowPluginInfo(s, page);
    PostMessageA(page, WM_SHEET_CENTRE, 0, 0);
}

void ShowHelp(SheetState* s, HWND page)
{
    std::string path = Plugin_HelpFile(s->form->run.pluginFolder, s->chosen.c_str());
    if (path.empty()) {
        MessageBoxA(page, "プラグインのヘルプと思われるファイルは見あたりません", "確認", MB_OK | MB_ICONWARNING);
        return;
    }
    if (path.size() > 4 && Str_ICmp(path.c_str() + path.size() - 4, ".hlp") == 0) {
        WinHelpA(page, path.c_str(), HELP_CONTENTS, 0);   // the help viewer at its contents
    } else {
        ShellExecuteA(page, "open", path.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
    }
}

INT_PTR CALLBACK BasicProc(HWND page, UINT msg, WPARAM wParam, LPARAM lParam)
{
    SheetState* s = StateOf(page);
    switch (msg) {
    case WM_INITDIALOG:
        BasicInit(InitState(page, lParam), page);
        return TRUE;
    case WM_SHEET_CENTRE:
        Wnd_CentreOver(s->sheet, s->form->owner);
        return TRUE;
    case WM_COMMAND:
        if (LOWORD(wParam) == IDC_SET_PLUGIN && HIWORD(wParam) == CBN_SELCHANGE) {
            HWND box = GetDlgItem(page, IDC_SET_PLUGIN);
            int sel = (int)SendMessageA(box, CB_GETCURSEL, 0, 0);
            if (sel >= 0 && sel < (int)s->types.size())
                s->chosen = s->types[sel];
            ShowPluginInfo(s, page);
        } else if (LOWORD(wParam) == IDC_SET_HELP) {
            ShowHelp(s, page);
        }
        return TRUE;
    case WM_NOTIFY:
        if (((NMHDR*)lParam)->code == PSN_APPLY) {
            s->out.pages |= SETTINGS_PAGE_BASIC;
            s->out.lib = s->chosen;
            s->out.patrol = IsDlgButtonChecked(page, IDC_SET_PATROL) == BST_CHECKED;
            s->out.temporary = IsDlgButtonChecked(page, IDC_SET_TEMPORARY) == BST_CHECKED;
            s->ok = true;
            SetWindowLongPtrA(page, DWLP_MSGRESULT, PSNRET_NOERROR);
            return TRUE;
        }
        return FALSE;
    }
    return FALSE;
}

// ---- page 巡回設定 ---------------------------------------------------------

void PatrolInit(SheetState* s, HWND page)
{
    s->ini.SetSection("BASIC");
    for (int i = 0; i < SETTINGS_FIELD_COUNT; ++i) {
        char value[SETTINGS_FIELD_MAX + 1];
        s->ini.GetString(g_SettingsFields[i].key, value, sizeof value, "");
        HWND field = GetDlgItem(page, IDC_SET_FIELD0 + i);
        SendMessageA(field, EM_LIMITTEXT, SETTINGS_FIELD_MAX, 0);
        SetWindowTextA(field, value);
    }
}

void PatrolShow(SheetState* s, HWND page)
{
    FetchWithTitle(s, page);
    for (int i = 0; i < SETTINGS_FIELD_COUNT; ++i) {
        bool on = Settings_FieldEnabled(s->ini, i);
        SetDlgItemTextA(page, IDC_SET_LABEL0 + i, Settings_FieldLabel(s->ini, i).c_str());
        EnableWindow(GetDlgItem(page, IDC_SET_LABEL0 + i), on);
        EnableWindow(GetDlgItem(page, IDC_SET_FIELD0 + i), on);
    }
}

INT_PTR CALLBACK PatrolProc(HWND page, UINT msg, WPARAM wParam, LPARAM lParam)
{
    SheetState* s = StateOf(page);
    switch (msg) {
    case WM_INITDIALOG:
        PatrolInit(InitState(page, lParam), page);
        return TRUE;
    case WM_NOTIFY:
        switch (((NMHDR*)lParam)->code) {
        case PSN_SETACTIVE:
            PatrolShow(s, page);
            SetWindowLongPtrA(page, DWLP_MSGRESULT, 0);
            return TRUE;
        case PSN_APPLY:
            s->out.pages |= SETTINGS_PAGE_PATROL;
            for (int i = 0; i < SETTINGS_FIELD_COUNT; ++i)
                s->out.fields[i] = WindowText(GetDlgItem(page, IDC_SET_FIELD0 + i));
            SetWindowLongPtrA(page, DWLP_MSGRESULT, PSNRET_NOERROR);
            return TRUE;
        }
        return FALSE;
    }
    return FALSE;
}

// ---- page 詳細 -------------------------------------------------------------

// One cell of the item list's image strip.
void DrawItemImage(HDC dc, int index, int x)
{
    RECT r = {x, 0, x + 16, 16};
    RECT box = {x + 2, 2, x + 15, 15};
    HBRUSH black = (HBRUSH)GetStockObject(BLACK_BRUSH);
    switch (index) {
    case DIMG_HEADING: {
        // A dark blue arrow head.
        POINT tri[3] = {{x + 5, 3}, {x + 12, 8}, {x + 5, 13}};
        HBRUSH b = CreateSolidBrush(RGB(0, 0, 128));
        HGDIOBJ ob = SelectObject(dc, b), op = SelectObject(dc, GetStockObject(NULL_PEN));
        Polygon(dc, tri, 3);
        SelectObject(dc, ob);
        SelectObject(dc, op);
        DeleteObject(b);
        break;
    }
    case DIMG_RADIO_OFF:
    case DIMG_RADIO_ON:
        DrawFrameControl(dc, &box, DFC_BUTTON, DFCS_BUTTONRADIO | (index == DIMG_RADIO_ON ? DFCS_CHECKED : 0));
        break;
    case DIMG_CHECK_OFF:
    case DIMG_CHECK_ON:
        DrawFrameControl(dc, &box, DFC_BUTTON, DFCS_BUTTONCHECK | (index == DIMG_CHECK_ON ? DFCS_CHECKED : 0));
        break;
    case DIMG_COLOR: {
        const COLORREF colours[4] = {RGB(224, 0, 0), RGB(0, 160, 0), RGB(0, 0, 224), RGB(240, 200, 0)};
        for (int k = 0; k < 4; ++k) {
            RECT c = {x + 2 + (k % 2) * 6, 2 + (k / 2) * 6, x + 8 + (k % 2) * 6, 8 + (k / 2) * 6};
            HBRUSH b = CreateSolidBrush(colours[k]);
            FillRect(dc, &c, b);
            DeleteObject(b);
        }
        RECT frame = {x + 2, 2, x + 14, 14};
        FrameRect(dc, &frame, black);
        break;
    }
    case DIMG_FILE: {
        // A page with a folded corner.
        POINT page[5] = {{x + 3, 1}, {x + 10, 1}, {x + 13, 4}, {x + 13, 14}, {x + 3, 14}};
        HGDIOBJ ob = SelectObject(dc, GetStockObject(WHITE_BRUSH)), op = SelectObject(dc, GetStockObject(BLACK_PEN));
        Polygon(dc, page, 5);
        MoveToEx(dc, x + 10, 1, nullptr);
        LineTo(dc, x + 10, 4);
        LineTo(dc, x + 14, 4);
        for (int y = 7; y <= 11; y += 2) {
            MoveToEx(dc, x + 5, y, nullptr);
            LineTo(dc, x + 11, y);
        }
        SelectObject(dc, ob);
        SelectObject(dc, op);
        break;
    }
    default: {
        // Text: a field with a caret.
        RECT field = {x + 1, 3, x + 15, 13};
        FillRect(dc, &field, (HBRUSH)GetStockObject(WHITE_BRUSH));
        FrameRect(dc, &field, black);
        RECT caret = {x + 4, 5, x + 5, 11};
        FillRect(dc, &caret, black);
        break;
    }
    }
    (void)r;
}

HIMAGELIST CreateItemImages()
{
    const int n = DIMG_COUNT;
    HDC screen = GetDC(nullptr);
    HDC dc = CreateCompatibleDC(screen);
    HBITMAP bmp = CreateCompatibleBitmap(screen, 16 * n, 16);
    HGDIOBJ old = SelectObject(dc, bmp);
    const COLORREF mask = RGB(255, 0, 255);
    RECT all = {0, 0, 16 * n, 16};
    HBRUSH bg = CreateSolidBrush(mask);
    FillRect(dc, &all, bg);
    DeleteObject(bg);
    for (int i = 0; i < n; ++i)
        DrawItemImage(dc, i, 16 * i);
    SelectObject(dc, old);
    HIMAGELIST list = ImageList_Create(16, 16, ILC_COLOR24 | ILC_MASK, n, 0);
    ImageList_AddMasked(list, bmp, mask);
    DeleteObject(bmp);
    DeleteDC(dc);
    ReleaseDC(nullptr, screen);
    return list;
}

void RefreshItems(SheetState* s, HWND list)
{
    for (size_t i = 0; i < s->items.size(); ++i) {
        std::string text = DialogItem_Text(s->items[i]);
        LVITEMA it = {};
        it.mask = LVIF_TEXT | LVIF_IMAGE;
        it.iItem = (int)i;
        it.pszText = (char*)text.c_str();
        it.iImage = DialogItem_Image(s->items[i]);
        SendMessageA(list, LVM_SETITEMA, 0, (LPARAM)&it);
    }
}

void FillItems(SheetState* s, HWND list)
{
    SendMessageA(list, WM_SETREDRAW, FALSE, 0);
    SendMessageA(list, LVM_DELETEALLITEMS, 0, 0);
    for (size_t i = 0; i < s->items.size(); ++i) {
        std::string text = DialogItem_Text(s->items[i]);
        LVITEMA it = {};
        it.mask = LVIF_TEXT | LVIF_IMAGE | LVIF_INDENT | LVIF_PARAM;
        it.iItem = (int)i;
        it.pszText = (char*)text.c_str();
        it.iImage = DialogItem_Image(s->items[i]);
        it.iIndent = DialogItem_Indent(s->items[i]);
        it.lParam = (LPARAM)i;
        SendMessageA(list, LVM_INSERTITEMA, 0, (LPARAM)&it);
    }
    SendMessageA(list, WM_SETREDRAW, TRUE, 0);
    EnableWindow(list, !s->items.empty());
}

void DetailInit(SheetState* s, HWND page)
{
    HWND list = GetDlgItem(page, IDC_SET_ITEMS);
    s->images = CreateItemImages();
    SendMessageA(list, LVM_SETIMAGELIST, LVSIL_SMALL, (LPARAM)s->images);
    RECT rc;
    GetClientRect(list, &rc);
    LVCOLUMNA col = {};
    col.mask = LVCF_TEXT | LVCF_WIDTH;
    col.pszText = (char*)"リスト";
    col.cx = rc.right - GetSystemMetrics(SM_CXVSCROLL);
    SendMessageA(list, LVM_INSERTCOLUMNA, 0, (LPARAM)&col);

    HWND cs = GetDlgItem(page, IDC_SET_CHARSET);
    SendMessageA(cs, CB_ADDSTRING, 0, (LPARAM) "S-JIS");
    SendMessageA(cs, CB_ADDSTRING, 0, (LPARAM) "EUC");
    char charset[SETTINGS_CHARSET_MAX + 1];
    s->ini.SetSection("BASIC");
    s->ini.GetString("CHARSET", charset, sizeof charset, "S-JIS");
    // A value that is neither shows (and keeps on OK) the default.
    SendMessageA(cs, CB_SETCURSEL, Str_ICmp(charset, "EUC") == 0 ? 1 : 0, 0);

    std::string sign = s->folder + "sign.ini";
    std::vector<char> text;
    if (!File_Exists(sign.c_str()))
        File_Replace(sign.c_str(), "", 0);
    File_ReadAll(sign.c_str(), text, 0, 1);
    HWND edit = GetDlgItem(page, IDC_SET_SIGNATURE);
    SendMessageA(edit, EM_LIMITTEXT, 0, 0);
    SetWindowTextA(edit, text.empty() ? "" : text.data());
    s->parsed = false;
    PostMessageA(page, WM_SHEET_CENTRE, 0, 0);
}

void DetailShow(SheetState* s, HWND page)
{
    FetchDescription(s, page);
    if (s->parsed && s->parsedType == s->chosen)
        return;
    if (DialogItems_Read(s->ini, s->items) == DITEMS_MALFORMED)
        MessageBoxA(page, "[DIALOG]のパラメータが不正", "プラグインエラー", MB_OK | MB_ICONERROR);
    FillItems(s, GetDlgItem(page, IDC_SET_ITEMS));
    s->parsed = true;
    s->parsedType = s->chosen;
}

void ChooseItemColour(HWND page, DialogItem* item)
{
    static COLORREF custom[16];
    CHOOSECOLORA cc = {};
    cc.lStructSize = sizeof cc;
    cc.hwndOwner = page;
    cc.rgbResult = DialogColor_ToColorRef(item->value.c_str());
    cc.lpCustColors = custom;
    cc.Flags = CC_FULLOPEN | CC_RGBINIT;
    if (ChooseColorA(&cc))
        item->value = DialogColor_FromColorRef(cc.rgbResult);
}

void ChooseItemFile(SheetState* s, HWND page, DialogItem* item)
{
    // One filter: the label as its name, the pattern from its parentheses.
    std::string filter = item->label;
    filter += '\0';
    filter += DialogItem_FilePattern(item->label.c_str());
    filter += '\0';
    filter += '\0';
    char path[MAX_PATH] = "";
    OPENFILENAMEA ofn = {};
    ofn.lStructSize = sizeof ofn;
    ofn.hwndOwner = page;
    ofn.lpstrFilter = filter.c_str();
    ofn.lpstrFile = path;
    ofn.nMaxFile = sizeof path;
    ofn.lpstrInitialDir = s->form->run.pluginFolder;
    ofn.Flags = OFN_HIDEREADONLY;
    if (GetOpenFileNameA(&ofn))
        DialogItem_SetValue(item, path);
    else
        item->value.clear();   // a cancelled choice empties the value
}

void ActOnItem(SheetState* s, HWND page, int i)
{
    if (i < 0 || i >= (int)s->items.size())
        return;
    HWND list = GetDlgItem(page, IDC_SET_ITEMS);
    DialogItem& item = s->items[i];
    switch (item.type) {
    case DITEM_CHECK:
    case DITEM_RADIO:
        DialogItems_Act(s->items, (size_t)i);
        break;
    case DITEM_COLOR:
        ChooseItemColour(page, &item);
        break;
    case DITEM_FILE:
        ChooseItemFile(s, page, &item);
        break;
    case DITEM_TEXT:
    case DITEM_TEXT_S:
        SetFocus(list);
        SendMessageA(list, LVM_EDITLABELA, i, 0);
        return;
    default:
        return;
    }
    RefreshItems(s, list);
}

int SelectedItem(HWND list)
{
    return (int)SendMessageA(list, LVM_GETNEXTITEM, (WPARAM)-1, LVNI_SELECTED);
}

LRESULT DetailNotify(SheetState* s, HWND page, NMHDR* nm)
{
    HWND list = GetDlgItem(page, IDC_SET_ITEMS);
    switch (nm->code) {
    case NM_CLICK: {
        LVHITTESTINFO hit = {};
        hit.pt = ((NMITEMACTIVATE*)nm)->ptAction;
        int i = (int)SendMessageA(list, LVM_HITTEST, 0, (LPARAM)&hit);
        if (i >= 0 && (hit.flags & (LVHT_ONITEMICON | LVHT_ONITEMLABEL)))
            ActOnItem(s, page, i);
        return 0;
    }
    case LVN_KEYDOWN: {
        WORD vk = ((NMLVKEYDOWN*)nm)->wVKey;
        if (vk == VK_SPACE || vk == VK_F2)
            ActOnItem(s, page, SelectedItem(list));
        return 0;
    }
    case LVN_BEGINLABELEDITA: {
        int i = ((NMLVDISPINFOA*)nm)->item.iItem;
        // Only a text item is edited in place, and with its value.
        if (i != SelectedItem(list) || i < 0 || i >= (int)s->items.size() || !DialogItem_IsText(s->items[i]))
            return TRUE;
        HWND edit = (HWND)SendMessageA(list, LVM_GETEDITCONTROL, 0, 0);
        if (edit) {
            SendMessageA(edit, EM_LIMITTEXT, DITEM_VALUE_MAX, 0);
            SetWindowTextA(edit, s->items[i].value.c_str());
        }
        return FALSE;
    }
    case LVN_ENDLABELEDITA: {
        NMLVDISPINFOA* di = (NMLVDISPINFOA*)nm;
        int i = di->item.iItem;
        if (di->item.pszText && i >= 0 && i < (int)s->items.size())
            DialogItem_SetValue(&s->items[i], di->item.pszText);
        RefreshItems(s, list);
        return FALSE;   // the list shows "label \"value\"", set above
    }
    }
    return 0;
}

INT_PTR CALLBACK DetailProc(HWND page, UINT msg, WPARAM wParam, LPARAM lParam)
{
    SheetState* s = StateOf(page);
    switch (msg) {
    case WM_INITDIALOG:
        DetailInit(InitState(page, lParam), page);
        return TRUE;
    case WM_SHEET_CENTRE:
        Wnd_CentreOver(s->sheet, s->form->owner);
        return TRUE;
    case WM_NOTIFY: {
        NMHDR* nm = (NMHDR*)lParam;
        if (nm->idFrom == IDC_SET_ITEMS) {
            SetWindowLongPtrA(page, DWLP_MSGRESULT, DetailNotify(s, page, nm));
            return TRUE;
        }
        if (nm->code == PSN_SETACTIVE) {
            DetailShow(s, page);
            SetWindowLongPtrA(page, DWLP_MSGRESULT, 0);
            return TRUE;
        }
        if (nm->code == PSN_APPLY) {
            s->out.pages |= SETTINGS_PAGE_DETAIL;
            s->out.signature = WindowText(GetDlgItem(page, IDC_SET_SIGNATURE));
            s->out.charset = WindowText(GetDlgItem(page, IDC_SET_CHARSET));
            s->out.items = s->items;
            SetWindowLongPtrA(page, DWLP_MSGRESULT, PSNRET_NOERROR);
            return TRUE;
        }
        return FALSE;
    }
    }
    return FALSE;
}

// Type names as the choice box lists them: sorted without regard to case.
void SortTypes(std::vector<std::string>& types)
{
    std::sort(types.begin(), types.end(),
              [](const std::string& a, const std::string& b) { return Str_ICmp(a.c_str(), b.c_str()) < 0; });
}

} // namespace

int FolderSheet_Run(FolderSheetForm* form)
{
    SheetState s;
    s.form = form;
    s.folder = form->boardFolder ? form->boardFolder : "";
    if (s.folder.empty() || Sjis_StrRChr(s.folder.c_str(), '\\') != s.folder.c_str() + s.folder.size() - 1)
        s.folder += '\\';
    INITCOMMONCONTROLSEX icc = {sizeof icc, ICC_LISTVIEW_CLASSES};
    InitCommonControlsEx(&icc);
    Plugin_ListTypes(form->run.pluginFolder, s.types);
    SortTypes(s.types);
    if (s.types.empty()) {
        MessageBoxA(form->owner, "使用可能なプラグインがありません。\nプラグインを ZEVA と同じフォルダにコピーして下さい。",
                    nullptr, MB_OK | MB_ICONERROR);
        return 0;
    }
    std::string iniPath = s.folder + "zeva_BBS.ini";
    s.ini.Open(iniPath.c_str());

    struct PageDef {
        int id;
        DLGPROC proc;
    } defs[3] = {{IDD_SETTINGS_BASIC, BasicProc}, {IDD_SETTINGS_PATROL, PatrolProc}, {IDD_SETTINGS_DETAIL, DetailProc}};
    PROPSHEETPAGEA pages[3];
    for (int i = 0; i < 3; ++i) {
        memset(&pages[i], 0, sizeof pages[i]);
        pages[i].dwSize = sizeof pages[i];
        pages[i].hInstance = GetModuleHandleA(nullptr);
        pages[i].pszTemplate = MAKEINTRESOURCEA(defs[i].id);
        pages[i].pfnDlgProc = defs[i].proc;
        pages[i].lParam = (LPARAM)&s;
    }
    PROPSHEETHEADERA h;
    memset(&h, 0, sizeof h);
    h.dwSize = sizeof h;
    h.dwFlags = PSH_PROPSHEETPAGE | PSH_NOAPPLYNOW;
    h.hwndParent = form->owner;
    h.hInstance = GetModuleHandleA(nullptr);
    h.pszCaption = kCaption;
    h.nPages = 3;
    h.ppsp = pages;
    INT_PTR result = PropertySheetA(&h);
    if (s.images)
        ImageList_Destroy(s.images);
    if (result < 0 || !s.ok)
        return 0;

    form->out = s.out;
    FolderSettings_Store(s.ini, s.out);
    int written = s.ini.Save();
    if (s.out.pages & SETTINGS_PAGE_DETAIL) {
        std::string sign = s.folder + "sign.ini";
        written &= File_Replace(sign.c_str(), s.out.signature.data(), s.out.signature.size());
    }
    return written ? 1 : 0;
}
