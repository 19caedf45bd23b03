// A key added on the keyboard page acts at once in the running program: the
// page adds F6 to 次の記事へ in the title view's scope and takes ↓ from it;
// on Apply the key file holds the change and the program has rebuilt its
// keys: F6 in the title view moves to the next row and the menu shows it.
// The page is worked twice: hosted in this process on the program's data
// folder (it then has the program reload its keys as it does inside it),
// and inside the program through its option sheet where that is built.
#include "keys/sheet/keypage_host.h"
#include "ui/keys/KeyTable.h"
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

int RowOfCommand(int command)
{
    for (int r = 0; r < FunctionCount; ++r)
        if (FunctionList[r].id == command)
            return r;
    return -1;
}

class KeyPageE2E : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(inst.AddProgram(ZEVA_EXE, kExe));
        ASSERT_TRUE(inst.PutData("zeva.ini", "[OPTION]\r\nAnimation=0\r\n"));
        ASSERT_TRUE(inst.PutData("板\\zeva_BBS.ini", "[BASIC]\r\nLIB=ZVT\r\n"));
        ASSERT_TRUE(inst.PutData("板\\001.zvt",
                                 "#T:読み物\n#N:3\n#U:0\n" + Article(3, "三") + Article(2, "二") + Article(1, "一")));
        ASSERT_TRUE(app.Start(inst, kExe));
        main = app.WaitWindow("ZEVA");
        ASSERT_TRUE(main && app.WaitIdle());
        HWND tree = Child(main, IDC_FOLDERVIEW);
        list = Child(main, IDC_TITLEVIEW);
        ASSERT_TRUE(tree && list);
        root = inst.DataDir() + "\\";
        SendMessageA(tree, TVM_EXPAND, TVE_EXPAND, (LPARAM)TreeFind(tree, root + "\\板"));
        HTREEITEM store = TreeFind(tree, root + "\\板\\読み物(3)");
        RECT r;
        ASSERT_TRUE(store && TreeItemRect(tree, store, &r));
        ASSERT_TRUE(Click(tree, r.left + 4, (r.top + r.bottom) / 2));
        ASSERT_TRUE(WaitFor([&] { return ListCount(list) == 3; }));
        ASSERT_TRUE(FocusControl(list));
        EXPECT_EQ(MenuText(115), "次の記事(&N)\t↓");
        // F6 is no key yet; ↓ (posted after it) moves to the first row.
        ASSERT_TRUE(PostKey(list, VK_F6));
        ASSERT_TRUE(PostKey(list, VK_DOWN));
        ASSERT_TRUE(WaitFor([&] { return Row() == 0; }));
    }

    // The text an owner-drawn menu item keeps of command id.
    std::string MenuText(UINT id)
    {
        std::vector<MenuItem> menu = MenuItems(main);
        const MenuItem* item = FindMenuItem(menu, id);
        return item ? ReadRemoteString(main, item->data) : "(no item)";
    }
    int Row() { return ListNext(list, -1, LVNI_FOCUSED); }

    // The page applied: the file holds the change and F6 acts at once.
    void ExpectNewKeyActs(const char* screen)
    {
        std::string title = inst.ReadData("KeyTitle.dat");
        EXPECT_EQ(title.size(), 60u);
        EXPECT_EQ(title.substr(54), std::string("\x03\x00\x75\x00\x73\x00", 6));        // F6 → 115, appended
        EXPECT_EQ(title.find(std::string("\x28\x00\x73\x00", 4)), std::string::npos);   // ↓ → 115 gone
        ASSERT_TRUE(FocusControl(list));
        ASSERT_TRUE(PostKey(list, VK_F6));
        EXPECT_TRUE(WaitFor([&] { return Row() == 1; })) << Row();
        EXPECT_EQ(MenuText(115), "次の記事(&N)\tF6");
        ASSERT_TRUE(SendKey(main, 'M', kAlt));   // the 移動 menu, drawn with its new key
        ASSERT_TRUE(WaitFor([&] { return !OpenMenus(main).empty(); }));
        Image shot;
        ASSERT_TRUE(Capture(main, &shot));
        EXPECT_TRUE(shot.NotBlank());
        SavePng(shot, ScreenPath(screen));
        SendKey(main, VK_ESCAPE);
    }

    Install inst;
    Process app;
    HWND main = nullptr, list = nullptr;
    std::string root;
};

}  // namespace

TEST_F(KeyPageE2E, KeyAddedOnAHostedPageActsAtOnce)
{
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
    ExpectNewKeyActs("keypage_e2e_menu.png");
}

TEST_F(KeyPageE2E, KeyAddedThroughTheOptionSheetActsAtOnce)
{
    const MenuItem* options = nullptr;
    std::vector<MenuItem> menu = MenuItems(main);
    options = FindMenuItem(menu, ID_OPTIONS);
    ASSERT_TRUE(options);
    if (options->grayed)
        GTEST_SKIP() << "this program has no option sheet yet";

    ASSERT_TRUE(PostCommand(main, ID_OPTIONS));
    HWND sheet = WaitDialog(app.Id());
    ASSERT_TRUE(sheet);
    EXPECT_EQ(Text(sheet), "オプション");
    SendMessageA(sheet, PSM_SETCURSELID, 0, IDD_KEYPAGE);
    HWND page = (HWND)SendMessageA(sheet, PSM_GETCURRENTPAGEHWND, 0, 0);
    ASSERT_TRUE(page);
    HWND lv = GetDlgItem(page, IDC_KEY_FUNCTIONS);
    ASSERT_TRUE(lv);
    SendDlgItemMessageA(page, IDC_KEY_SCOPE, CB_SETCURSEL, 2, 0);
    SendMessageA(page, WM_COMMAND, MAKEWPARAM(IDC_KEY_SCOPE, CBN_SELCHANGE), (LPARAM)GetDlgItem(page, IDC_KEY_SCOPE));
    int next = RowOfCommand(115);
    ASSERT_TRUE(ListSelect(lv, next));
    EXPECT_EQ(ListText(lv, next, 1), "↓");

    ASSERT_TRUE(PostMessageA(GetDlgItem(page, IDC_KEY_ADD), BM_CLICK, 0, 0));
    HWND box = nullptr;
    ASSERT_TRUE(WaitFor([&] {
        for (HWND w : TopWindows(app.Id(), "#32770"))
            if (w != sheet)
                box = w;
        return box != nullptr;
    }));
    EXPECT_EQ(Text(box), "新しいキーを追加");
    int f6 = 0;
    while (f6 < KeyNameCount && KeyNameTable[f6].code != VK_F6)
        ++f6;
    SendDlgItemMessageA(box, IDC_ADDKEY_LIST, LB_SETCURSEL, (WPARAM)f6, 0);
    SendMessageA(box, WM_COMMAND, MAKEWPARAM(IDC_ADDKEY_LIST, LBN_SELCHANGE), (LPARAM)GetDlgItem(box, IDC_ADDKEY_LIST));
    PressButton(box, IDOK);
    ASSERT_TRUE(WaitFor([&] { return !IsWindow(box); }));
    EXPECT_EQ(ListText(lv, next, 1), "↓,F6");
    SendDlgItemMessageA(page, IDC_KEY_CURRENT, LB_SETCURSEL, 0, 0);
    SendMessageA(page, WM_COMMAND, MAKEWPARAM(IDC_KEY_CURRENT, LBN_SELCHANGE), (LPARAM)GetDlgItem(page, IDC_KEY_CURRENT));
    SendMessageA(GetDlgItem(page, IDC_KEY_REMOVE), BM_CLICK, 0, 0);
    EXPECT_EQ(ListText(lv, next, 1), "F6");

    PostMessageA(sheet, PSM_PRESSBUTTON, PSBTN_OK, 0);
    ASSERT_TRUE(WaitFor([&] { return !IsWindow(sheet); }));
    ExpectNewKeyActs("keypage_e2e_sheet_menu.png");
}
