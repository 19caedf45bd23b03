// Page 巡回 (156): patrol threads, connection switches, proxy, interpreters.
// Applied on OK/Apply and on leaving the page; saves at once.
#include "ui/options/OptionPages_win.h"

#include "res/resource.h"
#include "ui/shell/Shell.h"

#include <commctrl.h>

namespace {

const char kPerlFilter[] = "Perl(Perl.exe;JPerl.exe)\0Perl.exe;JPerl.exe\0実行可能ファイル(*.exe)\0*.exe\0";
const char kRubyFilter[] = "Ruby(Ruby.exe)\0Ruby.exe\0実行可能ファイル(*.exe)\0*.exe\0";

const struct {
    int id;
    int PatrolForm::*field;
} kBoxes[] = {
    {IDC_OPP_CLOSE_RUN, &PatrolForm::closeRunWindow},   {IDC_OPP_GA_MULTI, &PatrolForm::gaMultiWindow},
    {IDC_OPP_AUTO_CONNECT, &PatrolForm::autoConnect},   {IDC_OPP_AUTO_DISCONNECT, &PatrolForm::autoDisconnect},
    {IDC_OPP_PROXY_IE, &PatrolForm::proxyIE},
};
const struct {
    int id;
    std::string PatrolForm::*field;
    size_t max;   // bytes the setting holds
} kEdits[] = {
    {IDC_OPP_THREADS, &PatrolForm::threadCount, 0},
    {IDC_OPP_PROXY_PORT, &PatrolForm::proxyPort, 0},
    {IDC_OPP_PERL, &PatrolForm::perl, sizeof g_shell.opt.perl - 1},
    {IDC_OPP_RUBY, &PatrolForm::ruby, sizeof g_shell.opt.ruby - 1},
    {IDC_OPP_PROXY_ADR, &PatrolForm::proxyAdr, sizeof g_shell.opt.proxyAdr - 1},
};

void Init(HWND page)
{
    PatrolForm f;
    PatrolForm_Load(&f, g_shell.opt);
    SendDlgItemMessageA(page, IDC_OPP_THREADS_SPIN, UDM_SETRANGE32, 1, 8);
    for (const auto& e : kEdits) {
        if (e.max)
            SendDlgItemMessageA(page, e.id, EM_LIMITTEXT, e.max, 0);
        SetDlgItemTextA(page, e.id, (f.*e.field).c_str());
    }
    for (const auto& b : kBoxes)
        OptionPage_Check(page, b.id, f.*b.field);
}

void Apply(HWND page)
{
    PatrolForm f;
    for (const auto& e : kEdits)
        f.*e.field = OptionPage_Text(page, e.id);
    for (const auto& b : kBoxes)
        f.*b.field = OptionPage_Checked(page, b.id);
    CProfileSink ini(g_shell.ini);
    PatrolForm_Store(f, &g_shell.opt, ini);
}

void Browse(HWND page, int edit, const char* filter)
{
    char path[MAX_PATH];
    Option_CutText(path, sizeof path, OptionPage_Text(page, edit).c_str());
    if (OptionPage_ChooseFile(page, filter, path, sizeof path))
        SetDlgItemTextA(page, edit, path);
}

INT_PTR Message(HWND page, UINT msg, WPARAM wp, LPARAM)
{
    if (msg != WM_COMMAND || HIWORD(wp) != BN_CLICKED)
        return FALSE;
    switch (LOWORD(wp)) {
    case IDC_OPP_PERL_BROWSE:
        Browse(page, IDC_OPP_PERL, kPerlFilter);
        return TRUE;
    case IDC_OPP_RUBY_BROWSE:
        Browse(page, IDC_OPP_RUBY, kRubyFilter);
        return TRUE;
    }
    return FALSE;
}

const OptionPageProcs kProcs = {Init, Apply, Message};

}  // namespace

INT_PTR CALLBACK PatrolPage_Proc(HWND page, UINT msg, WPARAM wp, LPARAM lp)
{
    return OptionPage_Handle(OPTION_PAGE_PATROL, kProcs, page, msg, wp, lp);
}
