// The article properties dialog (resource 151) over the form of
// ArticleProps.h: it reads and writes nothing but the form.
#include "res/resource.h"
#include "ui/textview/ArticleProps.h"

#include "store/Subj.h"

namespace {

void Fill(HWND dlg, const ArticleProps& f)
{
    SetDlgItemTextA(dlg, IDC_AP_NO, f.no);
    SetDlgItemTextA(dlg, IDC_AP_PNO, f.pno);
    SendDlgItemMessageA(dlg, IDC_AP_NO, EM_SETREADONLY, !f.noEditable, 0);
    SendDlgItemMessageA(dlg, IDC_AP_PNO, EM_SETREADONLY, !f.pnoEditable, 0);
    SetDlgItemTextA(dlg, IDC_AP_DATE, f.date);
    SetDlgItemTextA(dlg, IDC_AP_TIME, f.time);
    SetDlgItemTextA(dlg, IDC_AP_NAME, f.name);
    SetDlgItemTextA(dlg, IDC_AP_TITLE, f.title);
    SendDlgItemMessageA(dlg, IDC_AP_POST, EM_LIMITTEXT, ARTICLE_TEMPLATE_MAX, 0);
    SendDlgItemMessageA(dlg, IDC_AP_FOLLOW, EM_LIMITTEXT, ARTICLE_TEMPLATE_MAX, 0);
    SetDlgItemTextA(dlg, IDC_AP_POST, f.post);
    SetDlgItemTextA(dlg, IDC_AP_FOLLOW, f.follow);
    CheckDlgButton(dlg, IDC_AP_UNREAD, f.unread ? BST_CHECKED : BST_UNCHECKED);
    CheckDlgButton(dlg, IDC_AP_UNSENT, f.unsent ? BST_CHECKED : BST_UNCHECKED);
    CheckDlgButton(dlg, IDC_AP_HELD, f.held ? BST_CHECKED : BST_UNCHECKED);
    CheckDlgButton(dlg, IDC_AP_VIRTUAL, f.virt ? BST_CHECKED : BST_UNCHECKED);
}

void ReadBack(HWND dlg, ArticleProps* f)
{
    if (f->noEditable)
        GetDlgItemTextA(dlg, IDC_AP_NO, f->no, sizeof f->no);
    if (f->pnoEditable)
        GetDlgItemTextA(dlg, IDC_AP_PNO, f->pno, sizeof f->pno);
    GetDlgItemTextA(dlg, IDC_AP_POST, f->post, sizeof f->post);
    GetDlgItemTextA(dlg, IDC_AP_FOLLOW, f->follow, sizeof f->follow);
    f->unread = IsDlgButtonChecked(dlg, IDC_AP_UNREAD) == BST_CHECKED;
    f->unsent = IsDlgButtonChecked(dlg, IDC_AP_UNSENT) == BST_CHECKED;
    f->held = IsDlgButtonChecked(dlg, IDC_AP_HELD) == BST_CHECKED;
    f->virt = IsDlgButtonChecked(dlg, IDC_AP_VIRTUAL) == BST_CHECKED;
}

INT_PTR CALLBACK DialogProc(HWND dlg, UINT msg, WPARAM wp, LPARAM lp)
{
    switch (msg) {
    case WM_INITDIALOG:
        SetWindowLongPtrA(dlg, DWLP_USER, lp);
        Fill(dlg, *(const ArticleProps*)lp);
        return TRUE;
    case WM_COMMAND:
        if (LOWORD(wp) == IDOK) {
            ReadBack(dlg, (ArticleProps*)GetWindowLongPtrA(dlg, DWLP_USER));
            EndDialog(dlg, IDOK);
            return TRUE;
        }
        if (LOWORD(wp) == IDCANCEL) {
            EndDialog(dlg, IDCANCEL);
            return TRUE;
        }
        break;
    }
    return FALSE;
}

}  // namespace

INT_PTR ArticleProps_Dialog(HWND owner, ArticleProps* form)
{
    ArticleProps edited = *form;
    INT_PTR r = DialogBoxParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDD_ARTICLE_PROPS), owner, DialogProc,
                                (LPARAM)&edited);
    if (r == IDOK)
        *form = edited;
    return r == IDOK ? IDOK : IDCANCEL;
}

int ArticleProps_Run(HWND owner, CSubj& subj, int index)
{
    ArticleProps form;
    if (!ArticleProps_Read(subj, index, &form))
        return 0;
    if (ArticleProps_Dialog(owner, &form) != IDOK)
        return 0;
    return ArticleProps_Apply(subj, index, form);
}
