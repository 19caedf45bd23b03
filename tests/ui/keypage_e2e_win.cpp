// A key added on the keyboard page acts at once in the running program: the
// page (hosted in this process, on the program's data folder) adds F6 to
// 次の記事へ in the title view's scope and takes ↓ from it; on Apply the key
// file holds the change and the page has the program rebuild its keys, as it
// does inside the program; F6 in the title view then moves to the next row
// and the menu shows the new key.
#include "keys/sheet/keypage_host.h"
#include "ui/shell/Shell.h"

#include <gtest/gtest.h>

using namespace keypage;

namespace {

const char kExe[] = "zeva.exe";

std::string Article(int no, const std::string& title)
{
    return "S:" + std::to_string(no) + ",*,26/12/0" + std::to_string(no) + ",12:00,N\nT:" + title +
           "\nN:名前\nM:本文 " + std::to_string(no) + "\n.\n";
}

// The text an owner-drawn menu item keeps of command id.
std::string MenuText(HWND main, UINT id)
{
    std::vector<MenuItem> menu = MenuItems(main);
    const MenuItem* item = FindMenuItem(menu, id);
    return item ? ReadRemoteString(main, item->data) : "(no item)";
}

}  // namespace

TEST(KeyPageE2E, AddedTitleKeyActsAtOnce)
{
    Install inst;
    ASSERT_TRUE(inst.AddProgram(ZEVA_EXE, kExe));
    ASSERT_TRUE(inst.PutData("zeva.ini", "[OPTION]\r\nAnimation=0\r\n"));
    ASSERT_TRUE(inst.PutData("板\\zeva_BBS.ini", "[BASIC]\r\nLIB=ZVT\r\n"));
    ASSERT_TRUE(inst.PutData("板\\001.zvt", "#T:読み物\n#N:3\n#U:0\n" + Article(3, "三") + Article(2, "二") + Article(1, "一")));
    Process app;
    ASSERT_TRUE(app.Start(inst, kExe));
    HWND main = app.WaitWindow("ZEVA");
    ASSERT_TRUE(main && app.WaitIdle());
    HWND tree = Child(main, IDC_FOLDERVIEW), list = Child(main, IDC_TITLEVIEW);
    ASSERT_TRUE(tree && list);
    std::string root = inst.DataDir() + "\\";
    SendMessageA(tree, TVM_EXPAND, TVE_EXPAND, (LPARAM)TreeFind(tree, root + "\\板"));
    HTREEITEM store = TreeFind(tree, root + "\\板\\読み物(3)");
    RECT r;
    ASSERT_TRUE(store && TreeItemRect(tree, store, &r));
    ASSERT_TRUE(Click(tree, r.left + 4, (r.top + r.bottom) / 2));
    ASSERT_TRUE(WaitFor([&] { return ListCount(list) == 3; }));
    ASSERT_TRUE(FocusControl(list));
    auto row = [&] { return ListNext(list, -1, LVNI_FOCUSED); };
    EXPECT_EQ(MenuText(main, 115), "次の記事(&N)\t↓");

    // Before: F6 is no key; ↓ (posted after it) moves to the first row.
    ASSERT_TRUE(PostKey(list, VK_F6));
    ASSERT_TRUE(PostKey(list, VK_DOWN));
    ASSERT_TRUE(WaitFor([&] { return row() == 0; }));

    HostLog log;
    log.onSaved = [&] {
        DWORD_PTR res = 0;
        SendMessageTimeoutA(main, UWM_KEYS_CHANGED, 0, 0, SMTO_NORMAL, 10000, &res);
    };
    RunPage(root, log, [&] {
        HWND sheet = WaitSheet();
        ASSERT_TRUE(sheet);
        HWND page = PageOf(sheet);
        HWND lv = GetDlgItem(page, IDC_KEY_FUNCTIONS);
        ComboPick(page, IDC_KEY_SCOPE, 2);
        int next = RowOf(page, 115);
        ListSelect(lv, next);
        ASSERT_TRUE(AddKey(sheet, page, "F6", false, false, false));
        ListBoxPick(page, IDC_KEY_CURRENT, 0);
        SendMessageA(GetDlgItem(page, IDC_KEY_REMOVE), BM_CLICK, 0, 0);
        EXPECT_EQ(ListText(lv, next, 1), "F6");
        PostMessageA(sheet, PSM_PRESSBUTTON, PSBTN_APPLYNOW, 0);
        ASSERT_TRUE(WaitFor([&] { return log.saved == 1; }));
        PostMessageA(sheet, PSM_PRESSBUTTON, PSBTN_CANCEL, 0);
    });
    ASSERT_EQ(log.saved, 1);
    std::string title = inst.ReadData("KeyTitle.dat");
    EXPECT_EQ(title.size(), 60u);
    EXPECT_EQ(title.substr(54), std::string("\x03\x00\x75\x00\x73\x00", 6));   // F6 → 115, appended
    EXPECT_EQ(title.find(std::string("\x28\x00\x73\x00", 4)), std::string::npos);   // ↓ → 115 gone

    // After: F6 moves on at once, and the menu names it.
    ASSERT_TRUE(FocusControl(list));
    ASSERT_TRUE(PostKey(list, VK_F6));
    EXPECT_TRUE(WaitFor([&] { return row() == 1; })) << row();
    EXPECT_EQ(MenuText(main, 115), "次の記事(&N)\tF6");
    ASSERT_TRUE(SendKey(main, 'M', kAlt));   // the 移動 menu, drawn with its new key
    ASSERT_TRUE(WaitFor([&] { return !OpenMenus(main).empty(); }));
    Image shot;
    ASSERT_TRUE(Capture(main, &shot));
    EXPECT_TRUE(shot.NotBlank());
    SavePng(shot, ScreenPath("keypage_e2e_menu.png"));
    SendKey(main, VK_ESCAPE);
}
