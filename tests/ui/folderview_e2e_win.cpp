// The folder view of zeva.exe driven from outside: the tree as the user sees
// it for a prepared data folder (texts with counts, images, ticks), opening
// by click at once and by keyboard after the delay, ticks written to
// zeva_BBS.ini, new folder, rename and delete with their boxes answered, the
// expansion kept across a restart, drag and drop, the context menu and the
// saved-page import.
#include "plugins/e2e/e2e_util.h"
#include "res/resource.h"
#include "ui/driver/UiDriver.h"

#include <gtest/gtest.h>

using namespace uidriver;

namespace {

const char kExe[] = "zeva.exe";

// A store whose header holds the counts the folder view shows.
// A store whose header counts agree with its records (the title view counts
// the records of the store it opens).
std::string Store(const char* title, int unread, int unsent)
{
    std::string s = std::string("#T:") + title + "\n#N:" + std::to_string(unread) + "\n#U:" + std::to_string(unsent) + "\n";
    for (int i = 0; i < unread + unsent; ++i)
        s += (i < unread ? "S:" + std::to_string(i + 1) + ",*,26/12/01,12:00,N\n" : std::string("S:*,*,26/12/01,12:00,U\n")) +
             "T:記事" + std::to_string(i + 1) + "\nN:名前\nM:本文\n.\n";
    return s;
}

class FolderViewE2e : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(inst.AddProgram(ZEVA_EXE, kExe));
        ASSERT_TRUE(inst.PutData("zeva.ini", "[OPTION]\r\nNormalMenu=1\r\n"));
        ASSERT_TRUE(inst.PutData("ソフト\\zeva_BBS.ini", "[BASIC]\r\nLIB=ZVT\r\nBBSFOLDER=1\r\n"));
        ASSERT_TRUE(inst.PutData("ソフト\\雑談.zvt", Store("雑談スレ", 3, 1)));
        ASSERT_TRUE(inst.PutData("ソフト\\送信済み.zvt", Store("", 2, 0)));
        ASSERT_TRUE(inst.PutData("ソフト\\作業ファイル001.txt", "x"));
        ASSERT_TRUE(inst.PutData("趣味\\釣り\\zeva_BBS.ini", "[BASIC]\r\nLIB=NONE\r\nBBSFOLDER=3\r\n"));
        ASSERT_TRUE(inst.PutData("趣味\\釣り\\海.zvt", Store("", 0, 2)));
        ASSERT_TRUE(inst.PutData("空\\dummy.txt", ""));
    }
    void Start()
    {
        ASSERT_TRUE(app.Start(inst, kExe));
        main = app.WaitWindow("ZEVA");
        ASSERT_TRUE(main);
        ASSERT_TRUE(app.WaitIdle());
        tree = Child(main, IDC_FOLDERVIEW);
        status = Child(main, IDC_STATUSBAR);
        ASSERT_EQ(ClassOf(tree), "SysTreeView32");
    }
    void Quit()
    {
        ASSERT_TRUE(PostCommand(main, ID_APP_EXIT));
        ASSERT_TRUE(app.WaitExit(20000));
    }
    std::string Root() const { return inst.DataDir() + "\\"; }
    TreeItem Item(const std::string& path)
    {
        TreeItem it;
        HTREEITEM h = TreeFind(tree, path);
        EXPECT_TRUE(h) << path;
        if (h)
            ReadTreeItem(tree, h, &it);
        return it;
    }
    std::string Part0() { return StatusParts(status).at(0); }
    HWND Box(const std::string& caption)
    {
        HWND found = nullptr;
        WaitFor([&] {
            for (HWND d : TopWindows(app.Id(), "#32770"))
                if (ReadDialog(d).caption == caption)
                    return (found = d) != nullptr;
            return false;
        });
        return found;
    }
    // A box of the process showing the text.
    HWND BoxWith(const std::string& text)
    {
        HWND found = nullptr;
        WaitFor([&] {
            for (HWND d : TopWindows(app.Id(), "#32770"))
                for (const std::string& t : ReadDialog(d).texts)
                    if (t == text)
                        return (found = d) != nullptr;
            return false;
        });
        return found;
    }
    bool ClickItem(const std::string& path, int dx = 0)
    {
        RECT r;
        HTREEITEM h = TreeFind(tree, path);
        return h && TreeItemRect(tree, h, &r) && Click(tree, dx ? r.left + dx : r.left + 4, (r.top + r.bottom) / 2) &&
               WaitFor([&] { return TreeSelection(tree) == h; });
    }

    Install inst;
    Process app;
    HWND main = nullptr, tree = nullptr, status = nullptr;
};

TEST_F(FolderViewE2e, TreeShowsCountsImagesAndTicks)
{
    Start();
    std::string root = Root();
    struct Row {
        std::string path;
        int image;
        int state;   // state image index
    } rows[] = {
        {root, 14, 0},
        {root + "\\ソフト", 8, 1},   // BBS folder, unread and unsent below (the sent store adds nothing)
        {root + "\\ソフト\\雑談スレ(3)", 12, 0},
        {root + "\\ソフト\\送信済み(2)", 15, 0},
        {root + "\\趣味", 3, 1},           // a plain folder, unsent below
        {root + "\\趣味\\釣り", 7, 2},
        {root + "\\趣味\\釣り\\海", 11, 0},
        {root + "\\空", 1, 1},
    };
    for (const Row& r : rows) {
        TreeItem it = Item(r.path);
        EXPECT_EQ(it.image, r.image) << r.path;
        EXPECT_EQ((int)((it.state & TVIS_STATEIMAGEMASK) >> 12), r.state) << r.path;
    }
    EXPECT_EQ(TreeItems(tree).size(), 8u);   // no working file, no zeva_BBS.ini, no txt
    // Expand everything for the picture.
    for (const TreeItem& it : TreeItems(tree))
        SendMessageA(tree, TVM_EXPAND, TVE_EXPAND, (LPARAM)it.handle);
    ASSERT_TRUE(ClickItem(root + "\\ソフト\\雑談スレ(3)"));
    Image shot;
    ASSERT_TRUE(Capture(main, &shot));
    EXPECT_TRUE(shot.NotBlank());
    SavePng(shot, ScreenPath("folderview_tree.png"));
    Quit();
}

TEST_F(FolderViewE2e, ClicksOpenAtOnceKeysAfterTheDelay)
{
    Start();
    std::string root = Root();
    SendMessageA(tree, TVM_EXPAND, TVE_EXPAND, (LPARAM)TreeFind(tree, root + "\\ソフト"));
    // A click on the BBS folder opens its first child, the store.
    ASSERT_TRUE(ClickItem(root + "\\ソフト"));
    ASSERT_TRUE(Settle(main));
    EXPECT_EQ(Part0(), "ソフト");
    EXPECT_EQ(Text(main), "ソフト - ZEVA 1.00");
    // Down to the store: selected at once, opened only after the delay.
    HTREEITEM store = TreeFind(tree, root + "\\ソフト\\雑談スレ(3)");
    ASSERT_TRUE(PostKey(tree, VK_DOWN));
    ASSERT_TRUE(WaitFor([&] { return TreeSelection(tree) == store; }, 3000, 1));
    EXPECT_EQ(Part0(), "ソフト");
    ASSERT_TRUE(WaitFor([&] { return Part0() == "ソフト/雑談スレ"; }, 3000, 5));
    EXPECT_EQ(Text(main), "ソフト/雑談スレ - ZEVA 1.00");
    // Enter hands the focus to the title view.
    ASSERT_TRUE(PostKey(tree, VK_RETURN));
    EXPECT_TRUE(WaitFor([&] { return FocusOf(main) == Child(main, IDC_TITLEVIEW); }));
    Quit();
}

TEST_F(FolderViewE2e, TicksWriteBbsFolderIntoTheFolderSettings)
{
    Start();
    std::string root = Root();
    RECT r;
    ASSERT_TRUE(TreeItemRect(tree, TreeFind(tree, root + "\\空"), &r));
    // The state image: left of the label, where the control's hit test says so.
    int y = (r.top + r.bottom) / 2, x = r.left - 1;
    RemoteMemory mem(tree, sizeof(TVHITTESTINFO));
    for (; x > 0; --x) {
        TVHITTESTINFO hit = {};
        hit.pt = {x, y};
        ASSERT_TRUE(mem.Write(&hit, sizeof hit));
        SendMessageA(tree, TVM_HITTEST, 0, (LPARAM)mem.Address());
        ASSERT_TRUE(mem.Read(&hit, sizeof hit));
        if (hit.flags & TVHT_ONITEMSTATEICON)
            break;
    }
    ASSERT_GT(x, 0);
    ASSERT_TRUE(Click(tree, x, y));   // a real click: the tick reads the message position
    ASSERT_TRUE(WaitFor([&] { return inst.HasData("空\\zeva_BBS.ini"); }));
    EXPECT_EQ(inst.ReadData("空\\zeva_BBS.ini"), "[BASIC]\r\nBBSFOLDER=2\r\n");
    EXPECT_EQ(Item(root + "\\空").state >> 12 & 0xF, 2u);
    // The command on the current item flips it back; the other keys stay.
    ASSERT_TRUE(ClickItem(root + "\\ソフト"));
    ASSERT_TRUE(SendCommand(main, ID_FOLDER_CHECK));
    EXPECT_NE(inst.ReadData("ソフト\\zeva_BBS.ini").find("BBSFOLDER=3"), std::string::npos);
    EXPECT_NE(inst.ReadData("ソフト\\zeva_BBS.ini").find("LIB=ZVT"), std::string::npos);
    EXPECT_EQ(Item(root + "\\ソフト").state >> 12 & 0xF, 2u);
    Quit();
}

TEST_F(FolderViewE2e, NewRenameAndDeleteFolders)
{
    Start();
    std::string root = Root();
    ASSERT_TRUE(ClickItem(root + "\\空"));
    // New folder inside the current one.
    ASSERT_TRUE(PostCommand(main, ID_NEW_FOLDER));
    HWND dlg = Box("新しいフォルダ");
    ASSERT_TRUE(dlg);
    ASSERT_TRUE(SetText(Child(dlg, IDC_NEW_FOLDER_NAME), "新規"));
    Image shot;
    ASSERT_TRUE(Capture(dlg, &shot));
    SavePng(shot, ScreenPath("folderview_newfolder.png"));
    ASSERT_TRUE(PressButton(dlg, IDOK));
    ASSERT_TRUE(WaitFor([&] { return TreeFind(tree, root + "\\空\\新規") != nullptr; }));
    EXPECT_TRUE(Item(root + "\\空\\新規").selected);
    // A name that would leave the folder is refused.
    ASSERT_TRUE(PostCommand(main, ID_NEW_FOLDER));
    dlg = Box("新しいフォルダ");
    ASSERT_TRUE(dlg);
    ASSERT_TRUE(SetText(Child(dlg, IDC_NEW_FOLDER_NAME), "..\\外"));
    ASSERT_TRUE(PressButton(dlg, IDOK));
    HWND fail = BoxWith("フォルダの作成に失敗しました");
    ASSERT_TRUE(fail);
    EXPECT_EQ(ReadDialog(fail).caption, "");
    PressButton(fail, IDOK);
    EXPECT_FALSE(inst.HasData("外"));

    // Rename through the label editor.
    ASSERT_TRUE(PostCommand(main, ID_RENAME));
    HWND edit = nullptr;
    ASSERT_TRUE(WaitFor([&] { return (edit = (HWND)SendMessageA(tree, TVM_GETEDITCONTROL, 0, 0)) != nullptr; }));
    ASSERT_TRUE(SetText(edit, "改名"));
    ASSERT_TRUE(PostKey(edit, VK_RETURN));
    ASSERT_TRUE(WaitFor([&] { return TreeFind(tree, root + "\\空\\改名") != nullptr; }));
    EXPECT_TRUE(inst.HasData("空\\改名"));
    EXPECT_FALSE(inst.HasData("空\\新規"));

    // Delete asks; No keeps it, Yes deletes only that folder.
    for (int answer : {IDNO, IDYES}) {
        ASSERT_TRUE(PostCommand(main, ID_DELETE_FILE));
        HWND ask = BoxWith("フォルダを削除しても良いですか？");
        ASSERT_TRUE(ask);
        EXPECT_EQ(ReadDialog(ask).caption, "確認");
        ASSERT_TRUE(PressButton(ask, answer));
        ASSERT_TRUE(WaitFor([&] { return TopWindows(app.Id(), "#32770").empty(); }));
        ASSERT_TRUE(Settle(main));
        EXPECT_EQ(inst.HasData("空\\改名"), answer == IDNO);
    }
    EXPECT_TRUE(inst.HasData("空\\dummy.txt"));
    EXPECT_TRUE(Item(root + "\\空").selected);   // the item shown above it
    Quit();
}

TEST_F(FolderViewE2e, ExpansionIsKeptAcrossARestart)
{
    Start();
    std::string root = Root();
    SendMessageA(tree, TVM_EXPAND, TVE_EXPAND, (LPARAM)TreeFind(tree, root + "\\趣味"));
    // 釣り expanded inside a folder that is collapsed again: not kept.
    SendMessageA(tree, TVM_EXPAND, TVE_EXPAND, (LPARAM)TreeFind(tree, root + "\\ソフト"));
    Quit();
    EXPECT_EQ(inst.ReadData("TreeState.ini"),
              Root() + "\r\n" + Root() + "ソフト\\\r\n" + Root() + "趣味\\\r\n");
    Start();
    EXPECT_TRUE(Item(root + "\\ソフト").expanded);
    EXPECT_TRUE(Item(root + "\\趣味").expanded);
    EXPECT_FALSE(Item(root + "\\趣味\\釣り").expanded);
    Quit();
}

// A mouse drag from one item to another with real input.
bool Drag(HWND tree, HTREEITEM from, HTREEITEM to, bool copy)
{
    RECT a, b;
    if (!TreeItemRect(tree, from, &a) || !TreeItemRect(tree, to, &b))
        return false;
    POINT p = {a.left + 6, (a.top + a.bottom) / 2}, q = {b.left + 6, (b.top + b.bottom) / 2};
    return MouseDrag(tree, p, tree, q, copy);
}

TEST_F(FolderViewE2e, DragMovesCopiesAndRefusesAFolderIntoItself)
{
    Start();
    std::string root = Root();
    SendMessageA(tree, TVM_EXPAND, TVE_EXPAND, (LPARAM)TreeFind(tree, root + "\\趣味"));
    ASSERT_TRUE(Drag(tree, TreeFind(tree, root + "\\趣味"), TreeFind(tree, root + "\\趣味\\釣り"), false));
    HWND no = BoxWith("その操作はだめ");
    ASSERT_TRUE(no);
    EXPECT_EQ(ReadDialog(no).caption, "しゅ～");
    PressButton(no, IDOK);
    ASSERT_TRUE(WaitFor([&] { return TopWindows(app.Id(), "#32770").empty(); }));
    // Move (no Ctrl): the folder goes into the target folder.
    ASSERT_TRUE(Drag(tree, TreeFind(tree, root + "\\空"), TreeFind(tree, root + "\\ソフト"), false));
    ASSERT_TRUE(WaitFor([&] { return inst.HasData("ソフト\\空\\dummy.txt") && !inst.HasData("空"); }));
    ASSERT_TRUE(WaitFor([&] { return TreeFind(tree, root + "\\ソフト\\空") != nullptr; }));
    // Copy (Ctrl held): a store into another folder; both stay.
    SendMessageA(tree, TVM_EXPAND, TVE_EXPAND, (LPARAM)TreeFind(tree, root + "\\ソフト"));
    SendMessageA(tree, TVM_EXPAND, TVE_EXPAND, (LPARAM)TreeFind(tree, root + "\\趣味"));
    ASSERT_TRUE(Drag(tree, TreeFind(tree, root + "\\ソフト\\雑談スレ(3)"), TreeFind(tree, root + "\\趣味"), true));
    ASSERT_TRUE(WaitFor([&] { return inst.HasData("趣味\\雑談.zvt"); }));
    EXPECT_TRUE(inst.HasData("ソフト\\雑談.zvt"));
    Quit();
}

TEST_F(FolderViewE2e, ContextMenuHighlightsItsItem)
{
    Start();
    std::string root = Root();
    RECT r;
    ASSERT_TRUE(TreeItemRect(tree, TreeFind(tree, root + "\\ソフト"), &r));
    ASSERT_TRUE(Click(tree, r.left + 6, (r.top + r.bottom) / 2, true));
    ASSERT_TRUE(WaitFor([&] { return !OpenMenus(main).empty(); }));
    HMENU menu = MenuOfPopup(OpenMenus(main).front());
    std::vector<MenuItem> items = MenuItems(main, menu);
    const MenuItem* rename = FindMenuItem(items, ID_RENAME);
    ASSERT_TRUE(rename);
    EXPECT_FALSE(rename->grayed);
    EXPECT_TRUE(Item(root + "\\ソフト").state & TVIS_DROPHILITED);
    Image shot;
    ASSERT_TRUE(Capture(main, &shot));
    EXPECT_TRUE(shot.NotBlank());
    SavePng(shot, ScreenPath("folderview_context.png"));
    SendKey(main, VK_ESCAPE);
    ASSERT_TRUE(WaitFor([&] { return OpenMenus(main).empty(); }));
    EXPECT_FALSE(Item(root + "\\ソフト").state & TVIS_DROPHILITED);
    Quit();
}

// The import on the current item: the open-file dialog answered with the page.
void ImportPage(HWND main, DWORD pid, const std::string& page)
{
    ASSERT_TRUE(PostCommand(main, ID_IMPORT));
    HWND open = nullptr;
    ASSERT_TRUE(WaitFor([&] {
        for (HWND d : TopWindows(pid, "#32770"))
            if (Child(d, 1148))   // the file name field
                return (open = d) != nullptr;
        return false;
    }));
    ASSERT_TRUE(SetText(Child(open, 1148), page));
    ASSERT_TRUE(PressButton(open, IDOK));
}

TEST_F(FolderViewE2e, ImportOfASavedPageThroughTheBoardsPlugin)
{
    ASSERT_TRUE(inst.AddPlugin(e2e::PluginExe("zv_ZVT.exe")));
    ASSERT_TRUE(inst.PutData("page.html", "#T:取込\r\nS:5,*,04/01/02,12:00\r\nT:題\r\nN:名\r\nM:本文\r\n.\r\n"
                                          "S:6,5,04/01/02,12:01\r\nT:Re:題\r\nN:名\r\nM:返信\r\n.\r\n"));
    Start();
    std::string page = inst.DataDir() + "\\page.html";
    // A board whose plug-in is missing: the start error, nothing imported.
    SendMessageA(tree, TVM_EXPAND, TVE_EXPAND, (LPARAM)TreeFind(tree, Root() + "\\趣味"));
    ASSERT_TRUE(ClickItem(Root() + "\\趣味\\釣り"));
    ImportPage(main, app.Id(), page);
    HWND box = BoxWith("プラグイン起動エラー");
    ASSERT_TRUE(box);
    PressButton(box, IDOK);
    // The ZVT board: its plug-in converts the page into the store.
    ASSERT_TRUE(ClickItem(Root() + "\\ソフト"));
    ImportPage(main, app.Id(), page);
    box = BoxWith("2 個の記事をインポートしました");
    ASSERT_TRUE(box);
    EXPECT_EQ(ReadDialog(box).caption, "インポート結果");
    PressButton(box, IDOK);
    EXPECT_TRUE(inst.HasData("ソフト\\001.zvt"));
    EXPECT_FALSE(inst.HasData("ソフト\\001.zv$"));
    EXPECT_FALSE(inst.HasData("趣味\\釣り\\001.zvt"));
    EXPECT_TRUE(WaitFor([&] { return TreeFind(tree, Root() + "\\ソフト\\取込(2)") != nullptr; }));
    Quit();
}

}  // namespace
