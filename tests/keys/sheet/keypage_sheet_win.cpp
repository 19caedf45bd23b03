// The keyboard page in a property sheet of this process, worked from a
// second thread as a user would: what it lists, keys added through the
// add-key dialog and removed, the reset question, and what reaches the key
// files on Apply, OK and Cancel. Screenshots go to build/screens.
#include "keypage_host.h"

#include "ui/keys/KeyTable.h"

#include <gtest/gtest.h>

using namespace keypage;

namespace {

struct Folder {
    Install inst;   // only its data folder is used
    std::string data = inst.DataDir() + "\\";
    std::string File(const char* name) const { return ReadBytes(data + name); }
    bool Has(const char* name) const { return Exists(data + name); }
};

std::string Record(uint8_t flags, uint16_t key, uint16_t cmd)
{
    const char r[6] = {(char)flags, 0, (char)(key & 0xFF), (char)(key >> 8), (char)(cmd & 0xFF), (char)(cmd >> 8)};
    return std::string(r, 6);
}

std::string Defaults(KeyScope scope)
{
    KeyTable t;
    KeyTable_SetDefaults(t, scope);
    std::string out;
    for (const KeyBinding& b : t.items)
        out += Record(b.flags, b.key, b.cmd);
    return out;
}

HWND Item(HWND page, int id)
{
    return GetDlgItem(page, id);
}

std::vector<std::string> ComboTexts(HWND box)
{
    std::vector<std::string> out;
    int n = (int)SendMessageA(box, CB_GETCOUNT, 0, 0);
    for (int i = 0; i < n; ++i) {
        char buf[64] = "";
        SendMessageA(box, CB_GETLBTEXT, i, (LPARAM)buf);
        out.push_back(buf);
    }
    return out;
}

bool ApplyEnabled(HWND sheet)
{
    return Enabled(GetDlgItem(sheet, 0x3021));   // the sheet's 適用 button
}

}  // namespace

TEST(KeyPageSheet, ListsFunctionsAddsAKeyAndSavesItOnApply)
{
    Folder f;
    HostLog log;
    RunPage(f.data, log, [&] {
        HWND sheet = WaitSheet();
        ASSERT_TRUE(sheet);
        HWND page = PageOf(sheet);
        HWND lv = Item(page, IDC_KEY_FUNCTIONS);
        EXPECT_EQ(ComboTexts(Item(page, IDC_KEY_SCOPE)), (std::vector<std::string>{"全体", "フォルダビュー", "タイトルビュー"}));
        EXPECT_EQ(Text(Item(page, IDC_KEY_SCOPE)), "全体");
        EXPECT_EQ(ListColumns(lv), (std::vector<std::string>{"機能名", "現在のキー"}));
        EXPECT_EQ(SendMessageA(lv, LVM_GETCOLUMNWIDTH, 0, 0), 180);
        ASSERT_EQ(ListCount(lv), FunctionCount);
        for (int r : {0, 1, 80})
            EXPECT_EQ(ListText(lv, r, 0), FunctionList[r].name) << r;
        EXPECT_EQ(ListText(lv, RowOf(page, 32847), 1), "Alt+↓,Num 3");
        EXPECT_FALSE(Enabled(Item(page, IDC_KEY_ADD)));
        EXPECT_FALSE(Enabled(Item(page, IDC_KEY_REMOVE)));
        ListSelect(lv, 0);   // a group header: nothing to add to
        EXPECT_FALSE(Enabled(Item(page, IDC_KEY_ADD)));
        EXPECT_TRUE(ListBoxTexts(Item(page, IDC_KEY_CURRENT)).empty());

        // Title scope, 次の記事へ: its key listed; 解除 once that key is chosen.
        ComboPick(page, IDC_KEY_SCOPE, 2);
        int next = RowOf(page, 115);
        EXPECT_EQ(ListText(lv, next, 1), "↓");
        ListSelect(lv, next);
        EXPECT_EQ(ListBoxTexts(Item(page, IDC_KEY_CURRENT)), std::vector<std::string>{"↓"});
        EXPECT_TRUE(Enabled(Item(page, IDC_KEY_ADD)));
        EXPECT_FALSE(Enabled(Item(page, IDC_KEY_REMOVE)));
        ListBoxPick(page, IDC_KEY_CURRENT, 0);
        EXPECT_TRUE(Enabled(Item(page, IDC_KEY_REMOVE)));
        EXPECT_FALSE(ApplyEnabled(sheet));

        // The add-key dialog: every key name, OK only once one is chosen;
        // OK without a key keeps it open, Cancel adds nothing.
        PostMessageA(Item(page, IDC_KEY_ADD), BM_CLICK, 0, 0);
        HWND box = WaitBox(sheet);
        ASSERT_TRUE(box);
        Dialog d = ReadDialog(box);
        EXPECT_EQ(d.caption, "新しいキーを追加");
        std::vector<std::string> names = ListBoxTexts(Item(box, IDC_ADDKEY_LIST));
        ASSERT_EQ((int)names.size(), KeyNameCount);
        for (int i = 0; i < KeyNameCount; ++i)
            EXPECT_EQ(names[(size_t)i], KeyNameTable[i].name) << i;
        EXPECT_EQ(Text(Item(box, IDC_ADDKEY_CTRL)), "Ctrl");
        EXPECT_EQ(Text(Item(box, IDC_ADDKEY_SHIFT)), "Shift");
        EXPECT_EQ(Text(Item(box, IDC_ADDKEY_ALT)), "Alt");
        EXPECT_FALSE(Enabled(Item(box, IDOK)));
        SendMessageA(box, WM_COMMAND, IDOK, 0);
        EXPECT_TRUE(IsWindow(box));
        ListBoxPick(box, IDC_ADDKEY_LIST, (int)SendDlgItemMessageA(box, IDC_ADDKEY_LIST, LB_FINDSTRINGEXACT,
                                                                   (WPARAM)-1, (LPARAM)"Page Down"));
        CheckDlgButton(box, IDC_ADDKEY_SHIFT, BST_CHECKED);
        EXPECT_TRUE(Enabled(Item(box, IDOK)));
        Shot(box, "keypage_addkey.png");
        PressButton(box, IDCANCEL);
        ASSERT_TRUE(WaitFor([&] { return !IsWindow(box); }));
        EXPECT_EQ(ListText(lv, next, 1), "↓");

        ASSERT_TRUE(AddKey(sheet, page, "N", true, false, false));
        EXPECT_EQ(ListText(lv, next, 1), "↓,Ctrl+N");
        EXPECT_EQ(ListBoxTexts(Item(page, IDC_KEY_CURRENT)), (std::vector<std::string>{"↓", "Ctrl+N"}));
        // The same key for 前の記事へ: both show the conflict.
        int prev = RowOf(page, 116);
        ListSelect(lv, prev);
        ASSERT_TRUE(AddKey(sheet, page, "N", true, false, false));
        EXPECT_EQ(ListText(lv, prev, 1), "↑,Ctrl+N * ");
        EXPECT_EQ(ListText(lv, next, 1), "↓,Ctrl+N * ");
        EXPECT_EQ(ListBoxTexts(Item(page, IDC_KEY_CURRENT)), (std::vector<std::string>{"↑", "Ctrl+N *"}));
        EXPECT_TRUE(ApplyEnabled(sheet));
        EXPECT_FALSE(f.Has("KeyTitle.dat"));
        Shot(sheet, "keypage_title.png");

        PostMessageA(sheet, PSM_PRESSBUTTON, PSBTN_APPLYNOW, 0);
        ASSERT_TRUE(WaitFor([&] { return f.Has("KeyTitle.dat"); }));
        PostMessageA(sheet, PSM_PRESSBUTTON, PSBTN_CANCEL, 0);
    });
    EXPECT_EQ(log.saved, 1);
    ASSERT_FALSE(log.entered.empty());
    EXPECT_EQ(log.entered[0], 0);   // the page's index in the sheet
    const uint8_t ctrl = KEYF_BASE | KEYF_CONTROL;
    EXPECT_EQ(f.File("KeyTitle.dat"), Defaults(KeyScope::TitleView) + Record(ctrl, 'N', 115) + Record(ctrl, 'N', 116));
    EXPECT_EQ(f.File("KeyGlobal.dat"), Defaults(KeyScope::Global));
    EXPECT_EQ(f.File("KeyFolder.dat"), Defaults(KeyScope::FolderView));
}

TEST(KeyPageSheet, ResetIsAskedAndCancelLeavesTheFiles)
{
    Folder f;
    const std::string title = Record(KEYF_BASE, 'Q', 105), global = "";
    ASSERT_TRUE(WriteBytes(f.data + "KeyTitle.dat", title));
    ASSERT_TRUE(WriteBytes(f.data + "KeyGlobal.dat", global));
    HostLog log;
    int result = RunPage(f.data, log, [&] {
        HWND sheet = WaitSheet();
        ASSERT_TRUE(sheet);
        HWND page = PageOf(sheet);
        HWND lv = Item(page, IDC_KEY_FUNCTIONS);
        int exitRow = RowOf(page, 105), downRow = RowOf(page, 32847);
        EXPECT_EQ(ListText(lv, downRow, 1), "");   // an empty global file: no keys

        const struct {
            int answer;
            const char* downKeys;   // global scope after the answer
        } answers[] = {{IDNO, ""}, {IDCANCEL, ""}, {IDYES, "Alt+↓,Num 3"}};
        for (const auto& a : answers) {
            PostMessageA(Item(page, IDC_KEY_RESET), BM_CLICK, 0, 0);
            HWND box = WaitBox(sheet);
            ASSERT_TRUE(box);
            Dialog d = ReadDialog(box);
            EXPECT_EQ(d.caption, "確認");
            EXPECT_EQ(d.texts, std::vector<std::string>{"キーボードの割り当てを初期化しても良いですか？"});
            std::vector<int> ids;
            for (const DialogButton& b : d.buttons)
                ids.push_back(b.id);
            EXPECT_EQ(ids, (std::vector<int>{IDYES, IDNO, IDCANCEL}));
            for (const DialogButton& b : d.buttons)   // No is the default
                EXPECT_EQ((GetWindowLongA(b.handle, GWL_STYLE) & BS_TYPEMASK) == BS_DEFPUSHBUTTON, b.id == IDNO)
                    << b.id;
            if (a.answer == IDYES)
                Shot(box, "keypage_reset.png");
            PressButton(box, a.answer);
            ASSERT_TRUE(WaitFor([&] { return !IsWindow(box); }));
            EXPECT_EQ(ListText(lv, downRow, 1), a.downKeys);
        }
        ComboPick(page, IDC_KEY_SCOPE, 2);
        EXPECT_EQ(ListText(lv, exitRow, 1), "");   // the defaults, no longer the file's Q
        EXPECT_EQ(ListText(lv, RowOf(page, 115), 1), "↓");
        PostMessageA(sheet, PSM_PRESSBUTTON, PSBTN_CANCEL, 0);
    });
    EXPECT_EQ(result, 0);
    EXPECT_EQ(log.saved, 0);
    EXPECT_EQ(f.File("KeyTitle.dat"), title);
    EXPECT_EQ(f.File("KeyGlobal.dat"), global);
    EXPECT_FALSE(f.Has("KeyFolder.dat"));
}

TEST(KeyPageSheet, RemovedKeyIsSavedOnceOnOk)
{
    Folder f;
    // Folder view: F2 twice, for 名前の変更 and フォルダプロパティ.
    const std::string folder = Record(KEYF_BASE, 0x71, 32807) + Record(KEYF_BASE, 0x71, 32782);
    ASSERT_TRUE(WriteBytes(f.data + "KeyFolder.dat", folder));
    HostLog log;
    int result = RunPage(f.data, log, [&] {
        HWND sheet = WaitSheet();
        ASSERT_TRUE(sheet);
        HWND page = PageOf(sheet);
        HWND lv = Item(page, IDC_KEY_FUNCTIONS);
        ComboPick(page, IDC_KEY_SCOPE, 1);
        int rename = RowOf(page, 32807), props = RowOf(page, 32782);
        EXPECT_EQ(ListText(lv, rename, 1), "F2 * ");
        ListSelect(lv, props);
        EXPECT_EQ(ListBoxTexts(Item(page, IDC_KEY_CURRENT)), std::vector<std::string>{"F2 *"});
        ListBoxPick(page, IDC_KEY_CURRENT, 0);
        SendMessageA(Item(page, IDC_KEY_REMOVE), BM_CLICK, 0, 0);
        EXPECT_TRUE(ListBoxTexts(Item(page, IDC_KEY_CURRENT)).empty());
        EXPECT_FALSE(Enabled(Item(page, IDC_KEY_REMOVE)));
        EXPECT_EQ(ListText(lv, rename, 1), "F2");
        EXPECT_EQ(ListText(lv, props, 1), "");
        EXPECT_EQ(f.File("KeyFolder.dat"), folder);
        PostMessageA(sheet, PSM_PRESSBUTTON, PSBTN_OK, 0);
    });
    EXPECT_EQ(result, 1);
    EXPECT_EQ(log.saved, 1);   // left and applied: written once
    EXPECT_EQ(f.File("KeyFolder.dat"), Record(KEYF_BASE, 0x71, 32807));
    EXPECT_EQ(f.File("KeyTitle.dat"), Defaults(KeyScope::TitleView));
}

// Leaving the page saves, even when the sheet is then cancelled; a key file
// that cannot be written stays as it was and the others are written.
TEST(KeyPageSheet, LeavingThePageSavesEvenIfCancelled)
{
    Folder f;
    ASSERT_TRUE(MakeFolders(f.data + "KeyGlobal.dat"));   // a folder where the file would go
    HostLog log;
    RunPage(
        f.data, log,
        [&] {
            HWND sheet = WaitSheet();
            ASSERT_TRUE(sheet);
            HWND page = PageOf(sheet);
            HWND lv = Item(page, IDC_KEY_FUNCTIONS);
            ComboPick(page, IDC_KEY_SCOPE, 1);
            ListSelect(lv, RowOf(page, 32782));
            ASSERT_TRUE(AddKey(sheet, page, "F4", false, false, true));
            EXPECT_EQ(log.saved, 0);
            SendMessageA(sheet, PSM_SETCURSEL, 1, 0);
            EXPECT_EQ(log.saved, 1);
            EXPECT_EQ(f.File("KeyFolder.dat"), Defaults(KeyScope::FolderView) + Record(0x13, 0x73, 32782));
            SendMessageA(sheet, PSM_SETCURSEL, 0, 0);
            EXPECT_EQ(ListText(lv, RowOf(page, 32782), 1), "Alt+F4");
            PostMessageA(sheet, PSM_PRESSBUTTON, PSBTN_CANCEL, 0);
        },
        true);
    EXPECT_EQ(log.saved, 1);
    EXPECT_EQ(log.entered, (std::vector<int>{0, 0}));
    EXPECT_EQ(f.File("KeyFolder.dat"), Defaults(KeyScope::FolderView) + Record(0x13, 0x73, 32782));
    EXPECT_EQ(f.File("KeyTitle.dat"), Defaults(KeyScope::TitleView));
    DWORD attr = GetFileAttributesA((f.data + "KeyGlobal.dat").c_str());
    EXPECT_TRUE(attr != INVALID_FILE_ATTRIBUTES && (attr & FILE_ATTRIBUTE_DIRECTORY));
}
