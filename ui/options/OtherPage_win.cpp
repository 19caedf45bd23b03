// Page その他 (144): article-read rule, plain menus, tray icon. Applied on
// OK/Apply and on leaving the page; the file goes to disk with its next save.
#include "ui/options/OptionPages_win.h"

#include "res/resource.h"
#include "ui/shell/Shell.h"

namespace {

const struct {
    int id;
    int OtherForm::*field;
} kBoxes[] = {
    {IDC_OPO_PART_VIEW_READ, &OtherForm::partViewRead},
    {IDC_OPO_NORMAL_MENU, &OtherForm::normalMenu},
    {IDC_OPO_ICON_TRAY, &OtherForm::useIconTray},
};

void Init(HWND page)
{
    // The tray switch as the file has it: the running program read it at start.
    g_shell.ini.SetSection("OPTION");
    OtherForm f;
    OtherForm_Load(&f, g_shell.opt, g_shell.ini.GetInt("UseIconTray", 0));
    for (const auto& b : kBoxes)
        OptionPage_Check(page, b.id, f.*b.field);
}

void Apply(HWND page)
{
    OtherForm f;
    for (const auto& b : kBoxes)
        f.*b.field = OptionPage_Checked(page, b.id);
    CProfileSink ini(g_shell.ini);
    OtherForm_Store(f, &g_shell.opt, ini);
}

const OptionPageProcs kProcs = {Init, Apply, nullptr};

}  // namespace

INT_PTR CALLBACK OtherPage_Proc(HWND page, UINT msg, WPARAM wp, LPARAM lp)
{
    return OptionPage_Handle(OPTION_PAGE_OTHER, kProcs, page, msg, wp, lp);
}
