// The keyboard page: a scope combo, the function list with each function's
// keys in that scope, the selected function's key list, and buttons to add,
// remove and reset keys. It works on copies of the three key tables and
// writes them to the key files when it is applied or left.
#include "ui/keys/KeyPage_win.h"

#include "base/debug.h"
#include "base/sjis.h"
#include "res/resource.h"
#include "ui/keys/KeyPageModel.h"

#include <commctrl.h>

#include <new>

namespace {

struct HostCopy {
    char folder[MAX_PATH] = "";
    KeyPageHost host;
};
HostCopy g_host;

struct PageState {
    CKeyPageModel model;
    HostCopy host;
    bool saved = false;     // written at least once since the page opened
    bool changed = false;   // changed since last written
};

PageState* StateOf(HWND dlg)
{
    return (PageState*)GetWindowLongPtrA(dlg, DWLP_USER);
}

int SelectedRow(HWND dlg)
{
    return (int)SendDlgItemMessageA(dlg, IDC_KEY_FUNCTIONS, LVM_GETNEXTITEM, (WPARAM)-1, LVNI_SELECTED);
}

// The key list of the selected function; 追加 for a function, 解除 only once
// one of its keys is selected.
void FillKeyList(HWND dlg, PageState* st)
{
    HWND list = GetDlgItem(dlg, IDC_KEY_CURRENT);
    SendMessageA(list, LB_RESETCONTENT, 0, 0);
    int row = SelectedRow(dlg);
    for (const KeyEntry& e : st->model.Entries(row)) {
        LRESULT at = SendMessageA(list, LB_ADDSTRING, 0, (LPARAM)e.text.c_str());
        if (at >= 0)
            SendMessageA(list, LB_SETITEMDATA, (WPARAM)at, (LPARAM)e.index);
    }
    EnableWindow(GetDlgItem(dlg, IDC_KEY_ADD), CKeyPageModel::CommandOf(row) != 0);
    EnableWindow(GetDlgItem(dlg, IDC_KEY_REMOVE), FALSE);
}

void Refresh(HWND dlg, PageState* st)
{
    HWND lv = GetDlgItem(dlg, IDC_KEY_FUNCTIONS);
    for (int row = 0; row < FunctionCount; ++row) {
        std::string keys = st->model.RowKeys(row);
        LVITEMA it = {};
        it.iSubItem = 1;
        it.pszText = (char*)keys.c_str();
        SendMessageA(lv, LVM_SETITEMTEXTA, (WPARAM)row, (LPARAM)&it);
    }
    FillKeyList(dlg, st);
}

void FillFunctions(HWND dlg)
{
    HWND lv = GetDlgItem(dlg, IDC_KEY_FUNCTIONS);
    SendMessageA(lv, LVM_SETEXTENDEDLISTVIEWSTYLE, LVS_EX_FULLROWSELECT, LVS_EX_FULLROWSELECT);
    RECT rc;
    GetClientRect(lv, &rc);
    const struct {
        const char* title;
        int width;
    } columns[] = {{"機能名", 180}, {"現在のキー", rc.right - 180 - GetSystemMetrics(SM_CXVSCROLL)}};
    for (int i = 0; i < 2; ++i) {
        LVCOLUMNA col = {};
        col.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_SUBITEM;
        col.pszText = (char*)columns[i].title;
        col.cx = columns[i].width > 40 ? columns[i].width : 40;
        col.iSubItem = i;
        SendMessageA(lv, LVM_INSERTCOLUMNA, (WPARAM)i, (LPARAM)&col);
    }
    for (int row = 0; row < FunctionCount; ++row) {
        LVITEMA it = {};
        it.mask = LVIF_TEXT | LVIF_PARAM;
        it.iItem = row;
        it.pszText = (char*)FunctionList[row].name;
        it.lParam = FunctionList[row].id;
        SendMessageA(lv, LVM_INSERTITEMA, 0, (LPARAM)&it);
    }
}

void OnInit(HWND dlg)
{
    PageState* st = new (std::nothrow) PageState;
    if (!st) {
        Debug_Out("KeyPage_DlgProc() - メモリが足りません\n");
        return;
    }
    SetWindowLongPtrA(dlg, DWLP_USER, (LONG_PTR)st);
    st->host = g_host;
    st->host.host.dataFolder = st->host.folder;
    st->model.Load(st->host.folder);
    HWND combo = GetDlgItem(dlg, IDC_KEY_SCOPE);
    for (int s = 0; s < KeyScopeCount; ++s)
        SendMessageA(combo, CB_ADDSTRING, 0, (LPARAM)KeyScopeName((KeyScope)s));
    SendMessageA(combo, CB_SETCURSEL, 0, 0);
    FillFunctions(dlg);
    Refresh(dlg, st);
}

void Changed(HWND dlg, PageState* st)
{
    st->changed = true;
    Refresh(dlg, st);
    PropSheet_Changed(GetParent(dlg), dlg);
}

// Applied or left: the files get the tables and the program the new keys.
// A second save with nothing changed in between (OK leaves the page and
// then applies it) is skipped.
void Save(PageState* st)
{
    if (st->saved && !st->changed)
        return;
    st->model.Save(st->host.folder);
    st->saved = true;
    st->changed = false;
    if (st->host.host.keysSaved)
        st->host.host.keysSaved(st->host.host.ctx);
}

void OnCommand(HWND dlg, PageState* st, int id, int code)
{
    switch (id) {
    case IDC_KEY_SCOPE:
        if (code == CBN_SELCHANGE) {
            int s = (int)SendDlgItemMessageA(dlg, IDC_KEY_SCOPE, CB_GETCURSEL, 0, 0);
            st->model.scope = s >= 0 && s < KeyScopeCount ? (KeyScope)s : KeyScope::Global;
            Refresh(dlg, st);
        }
        break;
    case IDC_KEY_CURRENT:
        if (code == LBN_SELCHANGE)
            EnableWindow(GetDlgItem(dlg, IDC_KEY_REMOVE),
                         SendDlgItemMessageA(dlg, IDC_KEY_CURRENT, LB_GETCURSEL, 0, 0) >= 0);
        break;
    case IDC_KEY_ADD: {
        uint16_t key;
        uint8_t flags;
        int row = SelectedRow(dlg);
        if (CKeyPageModel::CommandOf(row) && AddKey_Run(dlg, &key, &flags) && st->model.Add(row, key, flags) >= 0)
            Changed(dlg, st);
        break;
    }
    case IDC_KEY_REMOVE: {
        LRESULT sel = SendDlgItemMessageA(dlg, IDC_KEY_CURRENT, LB_GETCURSEL, 0, 0);
        if (sel >= 0 &&
            st->model.Remove((int)SendDlgItemMessageA(dlg, IDC_KEY_CURRENT, LB_GETITEMDATA, (WPARAM)sel, 0)))
            Changed(dlg, st);
        break;
    }
    case IDC_KEY_RESET:
        if (MessageBoxA(dlg, "キーボードの割り当てを初期化しても良いですか？", "確認",
                        MB_YESNOCANCEL | MB_ICONQUESTION | MB_DEFBUTTON2) == IDYES) {
            st->model.ResetToDefaults();
            Changed(dlg, st);
        }
        break;
    }
}

INT_PTR OnNotify(HWND dlg, PageState* st, NMHDR* nm)
{
    if (nm->idFrom == IDC_KEY_FUNCTIONS) {
        NMLISTVIEW* lv = (NMLISTVIEW*)nm;
        if (nm->code == LVN_ITEMCHANGED && ((lv->uNewState ^ lv->uOldState) & LVIS_SELECTED))
            FillKeyList(dlg, st);
        return FALSE;
    }
    switch (nm->code) {
    case PSN_SETACTIVE:
        if (st->host.host.entered)
            st->host.host.entered(st->host.host.ctx, PropSheet_HwndToIndex(GetParent(dlg), dlg));
        SetWindowLongPtrA(dlg, DWLP_MSGRESULT, 0);
        return TRUE;
    case PSN_KILLACTIVE:
        Save(st);
        SetWindowLongPtrA(dlg, DWLP_MSGRESULT, FALSE);
        return TRUE;
    case PSN_APPLY:
        Save(st);
        SetWindowLongPtrA(dlg, DWLP_MSGRESULT, PSNRET_NOERROR);
        return TRUE;
    }
    return FALSE;
}

// The add-key dialog: OK stays greyed until a key is chosen in the list, so
// it never closes without a key (a double click chooses and closes).
struct AddKeyForm {
    uint16_t key;
    uint8_t flags;
};

bool AddKey_Take(HWND dlg, AddKeyForm* form)
{
    int sel = (int)SendDlgItemMessageA(dlg, IDC_ADDKEY_LIST, LB_GETCURSEL, 0, 0);
    return AddKey_Choice(sel, IsDlgButtonChecked(dlg, IDC_ADDKEY_CTRL) == BST_CHECKED,
                         IsDlgButtonChecked(dlg, IDC_ADDKEY_SHIFT) == BST_CHECKED,
                         IsDlgButtonChecked(dlg, IDC_ADDKEY_ALT) == BST_CHECKED, &form->key, &form->flags);
}

INT_PTR CALLBACK AddKeyProc(HWND dlg, UINT msg, WPARAM wp, LPARAM lp)
{
    switch (msg) {
    case WM_INITDIALOG:
        SetWindowLongPtrA(dlg, DWLP_USER, lp);
        for (int i = 0; i < KeyNameCount; ++i)
            SendDlgItemMessageA(dlg, IDC_ADDKEY_LIST, LB_ADDSTRING, 0, (LPARAM)KeyNameTable[i].name);
        EnableWindow(GetDlgItem(dlg, IDOK), FALSE);
        return TRUE;
    case WM_COMMAND: {
        AddKeyForm* form = (AddKeyForm*)GetWindowLongPtrA(dlg, DWLP_USER);
        int id = LOWORD(wp), code = HIWORD(wp);
        if (id == IDC_ADDKEY_LIST && code == LBN_SELCHANGE)
            EnableWindow(GetDlgItem(dlg, IDOK),
                         SendDlgItemMessageA(dlg, IDC_ADDKEY_LIST, LB_GETCURSEL, 0, 0) >= 0);
        else if ((id == IDOK || (id == IDC_ADDKEY_LIST && code == LBN_DBLCLK)) && AddKey_Take(dlg, form))
            EndDialog(dlg, IDOK);
        else if (id == IDCANCEL)
            EndDialog(dlg, IDCANCEL);
        return TRUE;
    }
    }
    return FALSE;
}

HINSTANCE ResourceModule()
{
    return GetModuleHandleA(nullptr);
}

}  // namespace

void KeyPage_SetHost(const KeyPageHost& host)
{
    g_host.host = host;
    Str_Copy(g_host.folder, sizeof g_host.folder, host.dataFolder);
    g_host.host.dataFolder = g_host.folder;
}

int AddKey_Run(HWND owner, uint16_t* key, uint8_t* flags)
{
    AddKeyForm form = {0, 0};
    if (DialogBoxParamA(ResourceModule(), MAKEINTRESOURCEA(IDD_ADDKEY), owner, AddKeyProc, (LPARAM)&form) != IDOK)
        return 0;
    *key = form.key;
    *flags = form.flags;
    return 1;
}

INT_PTR CALLBACK KeyPage_DlgProc(HWND dlg, UINT msg, WPARAM wp, LPARAM lp)
{
    if (msg == WM_INITDIALOG) {
        OnInit(dlg);
        return TRUE;
    }
    PageState* st = StateOf(dlg);
    if (!st)
        return FALSE;
    switch (msg) {
    case WM_COMMAND:
        OnCommand(dlg, st, LOWORD(wp), HIWORD(wp));
        return TRUE;
    case WM_NOTIFY:
        return OnNotify(dlg, st, (NMHDR*)lp);
    case WM_DESTROY:
        SetWindowLongPtrA(dlg, DWLP_USER, 0);
        delete st;
        return FALSE;
    }
    return FALSE;
}
