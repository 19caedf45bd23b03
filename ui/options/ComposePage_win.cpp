// Page 作成 (150): quote mark, editor and its options, the reply title
// template with its macro popup. Applied on OK/Apply only; saves at once.
#include "ui/options/OptionPages_win.h"

#include "res/resource.h"
#include "ui/shell/Shell.h"

#include <commctrl.h>

namespace {

const char kExeFilter[] = "実行可能ファイル(*.exe)\0*.exe\0";

void Init(HWND page)
{
    ComposeForm f;
    ComposeForm_Load(&f, g_shell.opt);
    const struct {
        int id;
        const std::string& text;
        size_t max;
    } edits[] = {
        {IDC_OPC_QUOTE_MARK, f.quoteMark, sizeof g_shell.opt.quoteMark - 1},
        {IDC_OPC_EDITOR, f.editor, sizeof g_shell.opt.editor - 1},
        {IDC_OPC_EDITOR_OPTION, f.editorOption, sizeof g_shell.opt.editorOption - 1},
        {IDC_OPC_REPLY_HEADER, f.replyHeader, sizeof g_shell.opt.replyHeader - 1},
    };
    for (const auto& e : edits) {
        SendDlgItemMessageA(page, e.id, EM_LIMITTEXT, e.max, 0);
        SetDlgItemTextA(page, e.id, e.text.c_str());
    }
}

void Apply(HWND page)
{
    ComposeForm f;
    f.quoteMark = OptionPage_Text(page, IDC_OPC_QUOTE_MARK);
    f.editor = OptionPage_Text(page, IDC_OPC_EDITOR);
    f.editorOption = OptionPage_Text(page, IDC_OPC_EDITOR_OPTION);
    f.replyHeader = OptionPage_Text(page, IDC_OPC_REPLY_HEADER);
    CProfileSink ini(g_shell.ini);
    ComposeForm_Store(f, &g_shell.opt, ini);
    Shell_ApplyComposerSettings();   // the next article uses the new editor
}

void ShowMacros(HWND page)
{
    HMENU menu = LoadMenuA(g_shell.instance ? g_shell.instance : GetModuleHandleA(nullptr),
                           MAKEINTRESOURCEA(IDM_REPLY_MACROS));
    if (!menu)
        return;
    RECT r;
    GetWindowRect(GetDlgItem(page, IDC_OPC_INSERT), &r);
    TrackPopupMenu(GetSubMenu(menu, 0), TPM_LEFTALIGN | TPM_TOPALIGN | TPM_RIGHTBUTTON, r.right, r.top, 0, page,
                   nullptr);
    DestroyMenu(menu);
}

INT_PTR Message(HWND page, UINT msg, WPARAM wp, LPARAM)
{
    if (msg != WM_COMMAND)
        return FALSE;
    int id = LOWORD(wp);
    if (const char* macro = Option_ReplyMacro(id)) {
        HWND edit = GetDlgItem(page, IDC_OPC_REPLY_HEADER);
        SendMessageA(edit, EM_REPLACESEL, TRUE, (LPARAM)macro);
        SetFocus(edit);
        return TRUE;
    }
    if (HIWORD(wp) != BN_CLICKED)
        return FALSE;
    if (id == IDC_OPC_INSERT) {
        ShowMacros(page);
        return TRUE;
    }
    if (id == IDC_OPC_EDITOR_BROWSE) {
        char path[MAX_PATH];
        Option_CutText(path, sizeof path, OptionPage_Text(page, IDC_OPC_EDITOR).c_str());
        if (OptionPage_ChooseFile(page, kExeFilter, path, sizeof path))
            SetDlgItemTextA(page, IDC_OPC_EDITOR, path);
        return TRUE;
    }
    return FALSE;
}

const OptionPageProcs kProcs = {Init, Apply, Message};

}  // namespace

INT_PTR CALLBACK ComposePage_Proc(HWND page, UINT msg, WPARAM wp, LPARAM lp)
{
    return OptionPage_Handle(OPTION_PAGE_COMPOSE, kProcs, page, msg, wp, lp);
}
