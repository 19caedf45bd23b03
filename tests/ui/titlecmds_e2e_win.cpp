// The commands of the title view's rows in zeva.exe, driven from outside:
// marks and colour labels landing in the store, delete with its question,
// rows dragged onto another board (moved, and copied with Ctrl), a reply
// written in the stand-in editor, history and parent, and the context menu
// with its colour labels pictured.
#include "res/resource.h"
#include "ui/driver/UiDriver.h"

#include <gtest/gtest.h>

#include <stdio.h>

using namespace uidriver;

namespace {

const char kExe[] = "zeva.exe";

std::string Article(const std::string& no, const std::string& pno, const char* flags, const std::string& title,
                    const char* extra = "")
{
    return "S:" + no + "," + pno + ",26/12/01,10:00," + flags + "\nT:" + title + "\nN:投稿者" + no + "\n" + extra +
           "M:本文 " + no + "\n.\n";
}

// Tree order (builder order, oldest thread first): 1, 2, 4, 3, 5, *(reply
// to 5, unsent).
std::string BoardStore()
{
    return "#T:テスト板\n#P:POST,http://127.0.0.1/,t=$T\n#F:POST,http://127.0.0.1/,t=$T\n" +
           Article("1", "*", "N", "最初の話題", "E:a@example.jp\n") + Article("2", "1", "N", "Re: 最初の話題") +
           Article("3", "1", "", "Re: 最初の話題") + Article("4", "2", "N", "Re: Re: 最初の話題") +
           Article("5", "*", "N", "新しい話題") + Article("*", "5", "U", "書きかけ");
}

// The S: line of the article titled title in a store's bytes.
std::string SLine(const std::string& zvt, const std::string& title)
{
    size_t t = zvt.find("\nT:" + title + "\n");
    if (t == std::string::npos)
        return "";
    size_t s = zvt.rfind("S:", t);
    return zvt.substr(s, t - s);
}

class TitleCommandsE2E : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(inst.AddProgram(ZEVA_EXE, kExe));
        ASSERT_TRUE(inst.PutData("板\\zeva_BBS.ini", "[BASIC]\r\nLIB=ZVT\r\nCLMSORTUP=0\r\n"));
        ASSERT_TRUE(inst.PutData("板\\001.zvt", BoardStore()));
    }
    void Start(const std::string& options = "")
    {
        ASSERT_TRUE(inst.PutData("zeva.ini", "[OPTION]\r\nAnimation=0\r\n" + options));
        ASSERT_TRUE(app.Start(inst, kExe));
        main = app.WaitWindow("ZEVA");
        ASSERT_TRUE(main);
        ASSERT_TRUE(app.WaitIdle());
        list = Child(main, IDC_TITLEVIEW);
        tree = Child(main, IDC_FOLDERVIEW);
        ASSERT_TRUE(list && tree);
    }
    // Opens the board's store by a click in the folder view.
    void OpenBoard()
    {
        std::string root = inst.DataDir() + "\\";
        SendMessageA(tree, TVM_EXPAND, TVE_EXPAND, (LPARAM)TreeFind(tree, root + "\\板"));
        HTREEITEM store = nullptr;
        ASSERT_TRUE(WaitFor([&] {
            for (const TreeItem& it : TreeItems(tree))
                if (it.text.rfind("テスト板", 0) == 0)
                    store = TreeFind(tree, root + "\\板\\" + it.text);
            return store != nullptr;
        }));
        ASSERT_TRUE(TreeSelect(tree, store));
        ASSERT_TRUE(WaitFor([&] { return ListCount(list) == 6; }));
    }
    // Selects the rows, the first of them focused (current).
    void Select(const std::vector<int>& rows)
    {
        ASSERT_TRUE(ListSelect(list, rows.front()));
        RemoteMemory mem(list, sizeof(LVITEMA));
        for (int r : rows) {
            LVITEMA it = {};
            it.stateMask = it.state = LVIS_SELECTED;
            ASSERT_TRUE(mem.Write(&it, sizeof it));
            SendMessageA(list, LVM_SETITEMSTATE, (WPARAM)r, (LPARAM)mem.Address());
        }
        ASSERT_TRUE(Settle(main));
    }
    std::vector<std::string> Titles()
    {
        std::vector<std::string> out;
        for (const ListRow& r : ListRows(list))
            out.push_back(r.cells.at(1));
        return out;
    }
    std::string Status() { return StatusParts(Child(main, IDC_STATUSBAR)).at(2); }
    std::string SavedStore(const char* rel = "板\\001.zvt")
    {
        EXPECT_TRUE(SendCommand(main, ID_REFRESH));   // saves the open store
        return inst.ReadData(rel);
    }
    void Shot(const char* name)
    {
        Image shot;
        ASSERT_TRUE(Capture(main, &shot));
        EXPECT_TRUE(shot.NotBlank());
        SavePng(shot, ScreenPath(name));
    }
    // A mouse drag of a title row onto a folder-view item, with real input.
    bool DragRow(int row, HTREEITEM to, bool copy)
    {
        RECT a, b;
        if (!ListItemRect(list, row, &a) || !TreeItemRect(tree, to, &b))
            return false;
        return MouseDrag(list, {a.left + 150, (a.top + a.bottom) / 2}, tree, {b.left + 6, (b.top + b.bottom) / 2},
                         copy);
    }

    Install inst;
    Process app;
    HWND main = nullptr, list = nullptr, tree = nullptr;
};

TEST_F(TitleCommandsE2E, MarksAndColourLabelsLandInTheStore)
{
    Start();
    OpenBoard();
    EXPECT_EQ(Titles(), (std::vector<std::string>{"最初の話題", "Re: 最初の話題", "Re: Re: 最初の話題",
                                                  "Re: 最初の話題", "新しい話題", "書きかけ"}));
    EXPECT_EQ(Status(), "未読 : 4 / 未送信 : 1 / 総数 : 6");
    // Rows 0 and 3 (articles 1 and 3) read, then 3 unread again; the
    // patrol mark only on the root; a label on both; the unsent one held.
    Select({0, 3});
    ASSERT_TRUE(SendCommand(main, ID_MARK_READ));
    EXPECT_EQ(Status(), "未読 : 3 / 未送信 : 1 / 総数 : 6");
    ASSERT_TRUE(SendCommand(main, ID_PATROL_MARK));
    ASSERT_TRUE(SendCommand(main, 32941));
    Select({3});
    ASSERT_TRUE(SendCommand(main, ID_MARK_UNREAD));
    ASSERT_TRUE(SendCommand(main, 32953));
    Select({5, 4});
    ASSERT_TRUE(SendCommand(main, ID_HOLD));
    EXPECT_EQ(Status(), "未読 : 4 / 未送信 : 0 / 総数 : 6");

    std::string zvt = SavedStore();
    struct Line {
        const char* title;
        const char* sline;
    } lines[] = {
        {"最初の話題", "S:1,*,26/12/01,10:00,R,FF0000"},
        {"Re: 最初の話題", "S:2,1,26/12/01,10:00,N,"},
        {"新しい話題", "S:5,*,26/12/01,10:00,N,"},   // not unsent: not held
        {"書きかけ", "S:*,5,26/12/01,10:00,UB,"},
    };
    for (const Line& l : lines)
        EXPECT_EQ(SLine(zvt, l.title), l.sline) << l.title;
    EXPECT_NE(zvt.find("S:3,1,26/12/01,10:00,N,008000\n"), std::string::npos) << zvt;

    // The menu after the marks: the 記事 menu at the current row with its
    // colour labels open.
    ASSERT_TRUE(ListSelect(list, 0));
    ASSERT_TRUE(SendKey(list, VK_APPS));
    ASSERT_TRUE(WaitFor([&] { return !OpenMenus(main).empty(); }));
    std::vector<MenuItem> popup = MenuItems(main, MenuOfPopup(OpenMenus(main).front()));
    for (int id : {ID_COPY, ID_MARK_READ, ID_LABEL_NONE, 32956, ID_DELETE_ARTICLE, ID_REPLY}) {
        const MenuItem* m = FindMenuItem(popup, (UINT)id);
        ASSERT_TRUE(m) << id;
        EXPECT_FALSE(m->grayed) << id;
    }
    for (int id : {ID_HOLD, ID_EDIT}) {
        const MenuItem* m = FindMenuItem(popup, (UINT)id);
        ASSERT_TRUE(m) << id;
        EXPECT_TRUE(m->grayed) << id;
    }
    // "カラーラベル(&L)" opened with its key.
    ASSERT_TRUE(SendKey(OpenMenus(main).front(), 'L'));
    ASSERT_TRUE(WaitFor([&] { return OpenMenus(main).size() == 2; }));
    Shot("titlecmds_labels.png");
    SendKey(main, VK_ESCAPE);
    SendKey(main, VK_ESCAPE);
}

TEST_F(TitleCommandsE2E, DeleteAsksAndRemovesExactlyTheSelectedRows)
{
    Start();
    OpenBoard();
    // Rows across threads of the tree: 2 (a reply), 4 (another root) and
    // 1 (a reply above them).
    Select({2, 4, 1});
    struct Answer {
        int button;
        std::vector<std::string> titles;
    } answers[] = {
        {IDCANCEL, {"最初の話題", "Re: 最初の話題", "Re: Re: 最初の話題", "Re: 最初の話題", "新しい話題", "書きかけ"}},
        {IDNO, {"最初の話題", "Re: 最初の話題", "Re: Re: 最初の話題", "Re: 最初の話題", "新しい話題", "書きかけ"}},
        {IDYES, {"最初の話題", "Re: 最初の話題", "書きかけ"}},
    };
    for (const Answer& a : answers) {
        ASSERT_TRUE(PostCommand(main, ID_DELETE_ARTICLE));
        HWND box = WaitDialog(app.Id());
        ASSERT_TRUE(box);
        Dialog d = ReadDialog(box);
        EXPECT_EQ(d.texts, (std::vector<std::string>{"選択されている記事を削除します"}));
        EXPECT_EQ(d.buttons.size(), 3u);
        ASSERT_TRUE(PressButton(box, a.button));
        ASSERT_TRUE(WaitFor([&] { return !IsWindow(box); }));
        ASSERT_TRUE(Settle(main));
        EXPECT_EQ(Titles(), a.titles) << a.button;
    }
    // The row where the last deletion happened is current.
    EXPECT_EQ(ListNext(list, -1, LVNI_FOCUSED), 1);
    std::string zvt = SavedStore();
    for (const char* gone : {"S:2,1,", "S:4,2,", "S:5,*,"})
        EXPECT_EQ(zvt.find(gone), std::string::npos) << gone;
    for (const char* kept : {"S:1,*,", "S:3,1,", "S:*,5,"})
        EXPECT_NE(zvt.find(kept), std::string::npos) << kept;
}

TEST_F(TitleCommandsE2E, DeleteConfirmedAfterAPatrolReloadRemovesNothing)
{
    Start();
    OpenBoard();
    Select({2, 4, 1});
    ASSERT_TRUE(PostCommand(main, ID_DELETE_ARTICLE));
    HWND box = WaitDialog(app.Id());
    ASSERT_TRUE(box);
    // While the question is up a patrol rewrites the store with one more
    // article, and the view reloads it: the selected rows now stand for
    // other articles.
    std::string path = inst.DataDir() + "\\板\\001.zvt";
    RemoteMemory mem(main, path.size() + 1);
    ASSERT_TRUE(mem.Write(path.c_str(), path.size() + 1));
    SendMessageA(main, WM_COMMAND, ID_PATROL_STORE_LOCK, (LPARAM)mem.Address());
    ASSERT_TRUE(inst.PutData("板\\001.zvt", BoardStore() + Article("0", "*", "N", "巡回で届いた話題")));
    SendMessageA(main, WM_COMMAND, MAKEWPARAM(ID_PATROL_STORE_UNLOCK, 1), (LPARAM)mem.Address());
    ASSERT_EQ(ListCount(list), 7);
    std::vector<std::string> reloaded = Titles();
    ASSERT_TRUE(PressButton(box, IDYES));
    ASSERT_TRUE(WaitFor([&] { return !IsWindow(box); }));
    ASSERT_TRUE(Settle(main));
    EXPECT_EQ(Titles(), reloaded);
    EXPECT_NE(SavedStore().find("S:2,1,"), std::string::npos);
}

TEST_F(TitleCommandsE2E, RowsDraggedOntoAnotherBoardMoveOrCopy)
{
    ASSERT_TRUE(inst.PutData("他\\zeva_BBS.ini", "[BASIC]\r\nLIB=ZVT\r\n"));
    ASSERT_TRUE(inst.PutData("他\\001.zvt", "#T:他の板\n" + Article("70", "*", "", "よその話題")));
    Start();
    OpenBoard();
    HTREEITEM other = TreeFind(tree, inst.DataDir() + "\\\\他");
    ASSERT_TRUE(other);

    // Move: rows 1 and 3 (articles 2 and 3) leave the board.
    Select({1, 3});
    ASSERT_TRUE(DragRow(1, other, false));
    ASSERT_TRUE(WaitFor([&] { return ListCount(list) == 4; }));
    std::string here = inst.ReadData("板\\001.zvt"), there = inst.ReadData("他\\001.zvt");
    EXPECT_EQ(here.find("S:2,1,"), std::string::npos) << here;
    EXPECT_EQ(here.find("S:3,1,"), std::string::npos) << here;
    // Appended highest index first; marks and texts go along.
    size_t a3 = there.find("S:3,1,26/12/01,10:00,,\n"), a2 = there.find("S:2,1,26/12/01,10:00,");
    ASSERT_NE(a3, std::string::npos) << there;
    ASSERT_NE(a2, std::string::npos) << there;
    EXPECT_LT(a3, a2);
    EXPECT_NE(there.find("S:70,*,"), std::string::npos);
    EXPECT_NE(there.find("M:本文 2\n"), std::string::npos);

    // Copy (Ctrl held): the root stays here and arrives there.
    Select({0});
    other = TreeFind(tree, inst.DataDir() + "\\\\他");   // the tree was rebuilt
    ASSERT_TRUE(DragRow(0, other, true));
    ASSERT_TRUE(WaitFor([&] { return inst.ReadData("他\\001.zvt").find("S:1,*,") != std::string::npos; }));
    EXPECT_EQ(ListCount(list), 4);
    EXPECT_NE(SavedStore().find("S:1,*,"), std::string::npos);
    Shot("titlecmds_after_drag.png");

    // The target store can't be written: the rows stay where they were and
    // neither file changes.
    std::string otherPath = inst.DataDir() + "\\他\\001.zvt";
    ASSERT_TRUE(SetFileAttributesA(otherPath.c_str(), FILE_ATTRIBUTE_READONLY));
    Select({1});   // leaving row 0 marks it read
    std::string hereBefore = SavedStore(), thereBefore = inst.ReadData("他\\001.zvt");
    other = TreeFind(tree, inst.DataDir() + "\\\\他");
    ASSERT_TRUE(DragRow(1, other, false));
    HWND refused = WaitDialog(app.Id());
    ASSERT_TRUE(refused);
    EXPECT_EQ(ReadDialog(refused).texts, (std::vector<std::string>{"メッセージの移動はできません"}));
    PressButton(refused, IDOK);
    ASSERT_TRUE(WaitFor([&] { return !IsWindow(refused); }));
    EXPECT_EQ(ListCount(list), 4);
    EXPECT_EQ(SavedStore(), hereBefore);
    EXPECT_EQ(inst.ReadData("他\\001.zvt"), thereBefore);
    SetFileAttributesA(otherPath.c_str(), FILE_ATTRIBUTE_NORMAL);

    // A folder without that store: nothing moves, the user is told.
    ASSERT_TRUE(inst.PutData("空\\zeva_BBS.ini", "[BASIC]\r\nLIB=ZVT\r\n"));
    ASSERT_TRUE(SendCommand(main, ID_REFRESH));
    HTREEITEM empty = nullptr;
    ASSERT_TRUE(WaitFor([&] { return (empty = TreeFind(tree, inst.DataDir() + "\\\\空")) != nullptr; }));
    Select({0});
    ASSERT_TRUE(DragRow(0, empty, false));
    HWND box = WaitDialog(app.Id());
    ASSERT_TRUE(box);
    EXPECT_EQ(ReadDialog(box).texts, (std::vector<std::string>{"メッセージの移動はできません"}));
    PressButton(box, IDOK);
    EXPECT_EQ(ListCount(list), 4);
    EXPECT_FALSE(inst.HasData("空\\001.zvt"));
}

TEST_F(TitleCommandsE2E, ReplyIsWrittenInTheEditor)
{
    // Not named "zv_...": the program would take it for a stray plug-in.
    ASSERT_TRUE(inst.AddProgram(ZEVA_TEST_EDITOR, "test_editor.exe"));
    std::string flag = inst.Path("editor_may_end");
    Start("Editor=" + inst.Path("test_editor.exe") + "\r\nEditorOption=-a reply-body -w " + flag + "\r\n");
    OpenBoard();
    ASSERT_TRUE(ListSelect(list, 1));   // article 2, "Re: 最初の話題"
    ASSERT_TRUE(Settle(main));
    const MenuItem* reply = FindMenuItem(MenuItems(main), ID_REPLY);
    ASSERT_TRUE(reply);
    EXPECT_FALSE(reply->grayed);
    ASSERT_TRUE(SendCommand(main, ID_REPLY));
    // The work file: the title kept without a second prefix, the replied
    // article quoted, what the editor wrote at the end.
    std::string work;
    ASSERT_TRUE(WaitFor([&] {
        work = inst.ReadData("作業ファイル000.txt");
        return work.find("reply-body") != std::string::npos;
    })) << work;
    EXPECT_EQ(work.substr(0, work.find("\r\n")), "Re: 最初の話題");
    EXPECT_NE(work.find(">発言者: 投稿者2\r\n"), std::string::npos) << work;
    EXPECT_NE(work.find(">本文 2\r\n"), std::string::npos) << work;
    ASSERT_TRUE(WriteBytes(flag, "x"));
    // The reply arrives in the open store as unsent, below its parent.
    ASSERT_TRUE(WaitFor([&] { return ListCount(list) == 7; }));
    EXPECT_EQ(Status(), "未読 : 4 / 未送信 : 2 / 総数 : 7");
    std::string zvt = SavedStore();
    EXPECT_NE(zvt.find(",U,\nT:Re: 最初の話題\n"), std::string::npos) << zvt;
    EXPECT_NE(zvt.find("S:*,2,"), std::string::npos) << zvt;

    // Edit the reply: it leaves the list while the editor runs (here it
    // ends at once) and comes back once, as edited.
    int row = -1;
    std::vector<ListRow> rows = ListRows(list);
    for (size_t r = 0; r < rows.size(); ++r)
        if (rows[r].cells.at(0) == "*" && rows[r].cells.at(1) == "Re: 最初の話題")
            row = (int)r;
    ASSERT_GE(row, 0);
    ASSERT_TRUE(ListSelect(list, row));
    ASSERT_TRUE(Settle(main));
    ASSERT_TRUE(SendCommand(main, ID_EDIT));
    ASSERT_TRUE(WaitFor([&] { return inst.ReadData("作業ファイル001.txt").find("reply-body") != std::string::npos; }));
    auto count = [](const std::string& text, const std::string& what) {
        int n = 0;
        for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1))
            ++n;
        return n;
    };
    // The edited text holds what the editor added each time.
    ASSERT_TRUE(WaitFor([&] { return count(SavedStore(), "reply-body\n") == 2; }));
    zvt = SavedStore();
    EXPECT_EQ(count(zvt, ",U,\nT:Re: 最初の話題\n"), 1) << zvt;
    EXPECT_EQ(ListCount(list), 7);
}

std::string Clipboard()
{
    std::string text;
    if (!OpenClipboard(nullptr))
        return text;
    HANDLE h = GetClipboardData(CF_TEXT);
    const char* p = h ? (const char*)GlobalLock(h) : nullptr;
    if (p)
        text = p;
    if (h)
        GlobalUnlock(h);
    CloseClipboard();
    return text;
}

TEST_F(TitleCommandsE2E, CopyAndSelectAllFromTheTitleView)
{
    Start();
    OpenBoard();
    ASSERT_TRUE(ListSelect(list, 0));
    ASSERT_TRUE(FocusControl(list));
    ASSERT_TRUE(SendCommand(main, ID_COPY));   // the focused pane's copy
    EXPECT_EQ(Clipboard().substr(0, Clipboard().find("\r\n【  日時")), "【タイトル】最初の話題\r\n【記事番号】1");
    ASSERT_TRUE(SendCommand(main, ID_COPY_EMAIL));
    EXPECT_EQ(Clipboard(), "a@example.jp");
    ASSERT_TRUE(SendCommand(main, ID_SELECT_ALL));
    ASSERT_TRUE(SendCommand(main, ID_COPY));
    std::string all = Clipboard();
    size_t n = 0;
    for (size_t at = all.find("【タイトル】"); at != std::string::npos; at = all.find("【タイトル】", at + 1))
        ++n;
    EXPECT_EQ(n, 6u);
    EXPECT_EQ(all.rfind("【タイトル】書きかけ\r\n【記事番号】* (5)"), all.rfind("【タイトル】")) << all;
}

TEST_F(TitleCommandsE2E, BackForwardAndParent)
{
    Start();
    OpenBoard();
    HWND text = Child(main, IDC_TEXTVIEW);
    ASSERT_TRUE(ListSelect(list, 2));   // article 4, a reply to 2
    ASSERT_TRUE(SendCommand(main, ID_GO_PARENT));
    EXPECT_EQ(ListNext(list, -1, LVNI_FOCUSED), 1);
    ASSERT_TRUE(SendCommand(main, ID_GO_PARENT));
    EXPECT_EQ(ListNext(list, -1, LVNI_FOCUSED), 0);
    ASSERT_TRUE(SendCommand(main, ID_GO_PARENT));   // a root: nothing
    EXPECT_EQ(ListNext(list, -1, LVNI_FOCUSED), 0);
    struct Step {
        int id, row;
    } steps[] = {{ID_BACK, 1}, {ID_BACK, 2}, {ID_FORWARD, 1}, {ID_FORWARD, 0}, {ID_FORWARD, 0}};
    for (const Step& s : steps) {
        ASSERT_TRUE(SendCommand(main, s.id));
        EXPECT_EQ(ListNext(list, -1, LVNI_FOCUSED), s.row) << s.id;
    }
    // Show with parent: the text, the separator and the parent's text.
    ASSERT_TRUE(ListSelect(list, 2));
    ASSERT_TRUE(Settle(main));
    ASSERT_TRUE(SendCommand(main, ID_SHOW_WITH_PARENT));
    EXPECT_TRUE(WaitFor([&] {
        std::string t = Text(text);
        size_t a = t.find("本文 4"), b = t.find("-- 親記事 --"), c = t.find("本文 2");
        return a != std::string::npos && b != std::string::npos && c != std::string::npos && a < b && b < c;
    })) << Text(text);
}

}  // namespace
