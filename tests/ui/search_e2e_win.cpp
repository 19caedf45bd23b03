// The search driven from outside: the search dialog as the settings file
// fills it, searches down and up across boards, "this folder only", the
// not-found message, the unread search and reading on through unread
// articles across folders, the hits highlighted in the text view, and, with
// our BREGEXP.DLL beside the program, a regular-expression search and a
// pattern the library refuses.
#include "res/resource.h"
#include "ui/driver/UiDriver.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace uidriver;

namespace {

const char kExe[] = "zeva.exe";

struct Art {
    int no;
    const char* date;
    const char* flags;
    std::string title, text;
};

std::string Store(const std::string& title, const std::vector<Art>& arts)
{
    int unread = 0, unsent = 0;
    std::string body;
    for (const Art& a : arts) {
        unread += strchr(a.flags, 'N') != nullptr;
        unsent += strchr(a.flags, 'U') != nullptr;
        body += "S:" + (a.no ? std::to_string(a.no) : std::string("*")) + ",*," + a.date + ",12:00," + a.flags +
                ",\nT:" + a.title + "\nN:名前\nM:" + a.text + "\n.\n";
    }
    return "#T:" + title + "\n#N:" + std::to_string(unread) + "\n#U:" + std::to_string(unsent) + "\n" + body;
}

class SearchE2E : public ::testing::Test {
protected:
    void Start()
    {
        ASSERT_TRUE(app.Start(inst, kExe));
        main = app.WaitWindow("ZEVA");
        ASSERT_TRUE(main);
        ASSERT_TRUE(app.WaitIdle());
        tree = Child(main, IDC_FOLDERVIEW);
        list = Child(main, IDC_TITLEVIEW);
        text = Child(main, IDC_TEXTVIEW);
        ASSERT_TRUE(tree && list && text);
        // Every board folder open, so the upward walk sees their stores.
        for (const TreeItem& it : TreeItems(tree))
            if (it.depth == 1)
                SendMessageA(tree, TVM_EXPAND, TVE_EXPAND, (LPARAM)it.handle);
    }
    std::string Root() { return inst.DataDir() + "\\\\"; }
    // Opens a store with a click in the tree.
    void Open(const std::string& path, int rows)
    {
        HTREEITEM store = TreeFind(tree, Root() + path);
        RECT r;
        ASSERT_TRUE(store && TreeItemRect(tree, store, &r)) << path;
        ASSERT_TRUE(Click(tree, r.left + 4, (r.top + r.bottom) / 2));
        ASSERT_TRUE(WaitFor([&] { return ListCount(list) == rows; })) << path;
    }
    std::string Selected()
    {
        TreeItem it;
        return ReadTreeItem(tree, TreeSelection(tree), &it) ? it.text : std::string();
    }
    int Row() { return ListNext(list, -1, LVNI_FOCUSED); }
    std::string RowTitle() { return Row() >= 0 ? ListText(list, Row(), 1) : std::string(); }
    bool Shows(const std::string& part) { return Text(text).find(part) != std::string::npos; }
    // Waits until the search has landed on the row with this title and its
    // text is shown.
    bool Landed(const std::string& store, const std::string& title, const std::string& body)
    {
        return WaitFor([&] { return Selected() == store && RowTitle() == title && Shows(body); });
    }
    // Opens the search dialog, sets the text and boxes, presses 次を検索.
    HWND OpenDialog()
    {
        EXPECT_TRUE(PostCommand(main, ID_SEARCH));
        HWND dlg = WaitDialog(app.Id());
        EXPECT_TRUE(dlg);
        return dlg;
    }
    void SetCheck(HWND dlg, int id, bool on)
    {
        SendMessageA(Child(dlg, id), BM_SETCHECK, on ? BST_CHECKED : BST_UNCHECKED, 0);
    }
    bool Checked(HWND dlg, int id) { return SendMessageA(Child(dlg, id), BM_GETCHECK, 0, 0) == BST_CHECKED; }
    // The combo box's list, read as Unicode (the system marshals
    // CB_GETLBTEXT across processes) and turned into Shift-JIS.
    std::vector<std::string> ComboItems(HWND combo)
    {
        std::vector<std::string> items;
        int n = (int)SendMessageW(combo, CB_GETCOUNT, 0, 0);
        for (int i = 0; i < n; ++i) {
            wchar_t wide[600] = L"";
            int len = (int)SendMessageW(combo, CB_GETLBTEXTLEN, i, 0);
            if (len < 0 || len >= 600)
                break;
            SendMessageW(combo, CB_GETLBTEXT, i, (LPARAM)wide);
            char sjis[1200] = "";
            WideCharToMultiByte(932, 0, wide, -1, sjis, sizeof sjis, nullptr, nullptr);
            items.push_back(sjis);
        }
        return items;
    }
    // Presses a button of a dialog and waits until the dialog has gone.
    bool Press(HWND dlg, int id)
    {
        return PressButton(dlg, id) && WaitFor([&] { return !IsWindow(dlg) || !Visible(dlg); });
    }
    void Search(const std::string& what, bool folderOnly, bool regExp = false)
    {
        HWND dlg = OpenDialog();
        ASSERT_TRUE(dlg);
        ASSERT_TRUE(SetText(Child(dlg, IDC_SEARCH_TEXT), what));
        SetCheck(dlg, IDC_SEARCH_FOLDER_ONLY, folderOnly);
        SetCheck(dlg, IDC_SEARCH_REGEXP, regExp);
        ASSERT_TRUE(Press(dlg, IDOK));
    }
    // The message box of the process with this text, answered with OK.
    bool AnswerBox(const std::string& caption, const std::string& message)
    {
        HWND box = WaitDialog(app.Id());
        if (!box)
            return false;
        Dialog d = ReadDialog(box);
        bool ok = d.caption == caption && !d.texts.empty() && d.texts.back() == message;
        EXPECT_EQ(d.caption, caption);
        EXPECT_FALSE(d.texts.empty());
        if (!d.texts.empty()) {
            EXPECT_EQ(d.texts.back(), message);
        }
        return Press(box, IDOK) && ok;
    }
    // Pixels of the highlight colour inside the text view, on screen.
    int HighlightPixels()
    {
        Image shot;
        if (!Capture(main, &shot))
            return -1;
        RECT m = WindowRect(main), t = WindowRect(text);
        COLORREF c = GetSysColor(COLOR_HIGHLIGHT);
        uint32_t want = ((c & 0xFF) << 16) | (c & 0xFF00) | ((c >> 16) & 0xFF);
        int n = 0;
        for (int y = t.top - m.top; y < t.bottom - m.top && y < shot.height; ++y)
            for (int x = t.left - m.left; x < t.right - m.left && x < shot.width; ++x)
                if (x >= 0 && y >= 0 && shot.At(x, y) == want)
                    ++n;
        return n;
    }

    Install inst;
    Process app;
    HWND main = nullptr, tree = nullptr, list = nullptr, text = nullptr;
};

// Three boards; the text "目印" stands in a message on the second and in a
// title on the third.
void PutThreeBoards(Install& inst)
{
    inst.PutData("zeva.ini", "[OPTION]\r\nAnimation=0\r\nSmoothScroll=0\r\nSearch000=前の検索\r\n"
                             "Search001=もっと前\r\n[SEARCH]\r\nEnableCap=1\r\n");
    inst.PutData("板A\\zeva_BBS.ini", "[BASIC]\r\nLIB=ZVT\r\n");
    inst.PutData("板A\\001.zvt", Store("掲示板A", {{1, "26/12/02", "", "最初の記事", "何もない本文"},
                                               {2, "26/12/01", "", "次の記事", "やはり何もない"}}));
    // A board whose store goes away after the start (it cannot be loaded
    // when the search reaches it); it held the text.
    inst.PutData("板A2\\001.zvt", Store("掲示板A2", {{1, "26/12/01", "", "消える記事", "ここにも目印"}}));
    inst.PutData("板B\\zeva_BBS.ini", "[BASIC]\r\nLIB=ZVT\r\n");
    inst.PutData("板B\\001.zvt", Store("掲示板B", {{1, "26/12/03", "", "普通の記事", "ここには無い"},
                                               {2, "26/12/02", "", "本文に印", "本文に目印があります"},
                                               {3, "26/12/01", "", "古い記事", "これにも無い"}}));
    inst.PutData("板C\\zeva_BBS.ini", "[BASIC]\r\nLIB=ZVT\r\n");
    inst.PutData("板C\\001.zvt", Store("掲示板C", {{1, "26/12/02", "", "目印の題名", "題名だけA123Zに"}}));
}

TEST_F(SearchE2E, DialogThenDownAndUpAcrossBoards)
{
    ASSERT_TRUE(inst.AddProgram(ZEVA_EXE, kExe));
    PutThreeBoards(inst);
    Start();
    ASSERT_TRUE(DeleteFileA((inst.DataDir() + "\\板A2\\001.zvt").c_str()));
    Open("板A\\掲示板A", 2);

    // The dialog: the history of the settings file, the case box from
    // SEARCH, this folder only on, downwards, no library so no regular
    // expressions.
    HWND dlg = OpenDialog();
    ASSERT_TRUE(dlg);
    EXPECT_EQ(ReadDialog(dlg).caption, "検索");
    HWND combo = Child(dlg, IDC_SEARCH_TEXT);
    EXPECT_EQ(ComboItems(combo), (std::vector<std::string>{"前の検索", "もっと前"}));
    EXPECT_EQ(Text(combo), "");
    EXPECT_TRUE(Checked(dlg, IDC_SEARCH_CASE));
    EXPECT_TRUE(Checked(dlg, IDC_SEARCH_FOLDER_ONLY));
    EXPECT_TRUE(Checked(dlg, IDC_SEARCH_DOWN));
    EXPECT_FALSE(Checked(dlg, IDC_SEARCH_UP));
    EXPECT_FALSE(Enabled(Child(dlg, IDC_SEARCH_REGEXP)));
    // Centred over the main window.
    RECT d = WindowRect(dlg), m = WindowRect(main);
    EXPECT_NEAR((d.left + d.right) / 2, (m.left + m.right) / 2, 2);
    EXPECT_NEAR((d.top + d.bottom) / 2, (m.top + m.bottom) / 2, 2);
    SetText(combo, "目印");
    // The dialog over the main window, as the user sees it.
    Image shot;
    ASSERT_TRUE(BringToFront(dlg));
    RedrawWindow(dlg, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    ASSERT_TRUE(Settle(dlg));
    ASSERT_TRUE(CaptureRect(WindowRect(main), &shot));
    EXPECT_TRUE(shot.NotBlank());
    SavePng(shot, ScreenPath("search_dialog.png"));
    Image alone;
    ASSERT_TRUE(CaptureRect(WindowRect(dlg), &alone));
    EXPECT_TRUE(alone.NotBlank());

    // This folder only: the next board's folder ends the walk.
    ASSERT_TRUE(Press(dlg, IDOK));
    ASSERT_TRUE(AnswerBox("確認", "検索した記事は見つかりませんでした"));
    EXPECT_EQ(Selected(), "掲示板A");

    // Past the folders (and the store that is gone): the second board's
    // message, then the third board's title; the title view has the focus.
    EXPECT_EQ(HighlightPixels(), 0);
    Search("目印", false);
    ASSERT_TRUE(Landed("掲示板B", "本文に印", "本文に目印があります"));
    EXPECT_EQ(FocusOf(main), list);
    EXPECT_TRUE(WaitFor([&] { return HighlightPixels() > 20; })) << "the hit is drawn in the highlight colours";
    ASSERT_TRUE(Capture(main, &shot));
    EXPECT_TRUE(shot.NotBlank());
    SavePng(shot, ScreenPath("search_found.png"));

    ASSERT_TRUE(PostCommand(main, ID_SEARCH_DOWN));
    ASSERT_TRUE(Landed("掲示板C", "目印の題名", "題名だけ"));
    EXPECT_EQ(HighlightPixels(), 0) << "the text itself holds no hit";
    // Nothing further down: the message, and the last store stays open.
    ASSERT_TRUE(PostCommand(main, ID_SEARCH_DOWN));
    ASSERT_TRUE(AnswerBox("確認", "検索した記事は見つかりませんでした"));
    EXPECT_EQ(Selected(), "掲示板C");
    // Upwards back to the second board.
    ASSERT_TRUE(PostCommand(main, ID_SEARCH_UP));
    ASSERT_TRUE(Landed("掲示板B", "本文に印", "本文に目印があります"));
    // From the board's folder item (which shows the same store, with no
    // row current): the row is found again in the open store, and the next
    // search goes on to the third board instead of finding it once more.
    HTREEITEM folderB = TreeFind(tree, Root() + "板B");
    RECT r;
    ASSERT_TRUE(folderB && TreeItemRect(tree, folderB, &r));
    ASSERT_TRUE(Click(tree, r.left + 4, (r.top + r.bottom) / 2));
    ASSERT_TRUE(WaitFor([&] { return Selected() == "板B"; }));
    ASSERT_TRUE(PostCommand(main, ID_SEARCH_DOWN));
    ASSERT_TRUE(Landed("板B", "本文に印", "本文に目印があります"));
    ASSERT_TRUE(PostCommand(main, ID_SEARCH_DOWN));
    ASSERT_TRUE(Landed("掲示板C", "目印の題名", "題名だけ")) << Selected() << " " << RowTitle();

    // The case box and the regular-expression box are kept; the history is
    // never written.
    ASSERT_TRUE(PostCommand(main, ID_APP_EXIT));
    ASSERT_TRUE(app.WaitExit(20000));
    std::string ini = inst.ReadData("zeva.ini");
    EXPECT_NE(ini.find("[SEARCH]\r\nEnableCap=1\r\nEnableRegExp=0\r\n"), std::string::npos) << ini;
    EXPECT_EQ(ini.find("目印"), std::string::npos) << ini;
    EXPECT_NE(ini.find("Search000=前の検索"), std::string::npos) << ini;
}

TEST_F(SearchE2E, UnreadSearchAndReadingOnAcrossFolders)
{
    ASSERT_TRUE(inst.AddProgram(ZEVA_EXE, kExe));
    inst.PutData("zeva.ini", "[OPTION]\r\nAnimation=0\r\nSmoothScroll=0\r\n");
    // A: one unread article above a read one; B: two unread; C: only an
    // unsent article; D: one unread.
    inst.PutData("板A\\001.zvt", Store("掲示板A", {{1, "26/12/02", "N", "A未読", "Aの未読本文"},
                                               {2, "26/12/01", "", "A既読", "Aの既読本文"}}));
    inst.PutData("板B\\001.zvt", Store("掲示板B", {{1, "26/12/02", "N", "B一", "Bの一つ目"},
                                               {2, "26/12/01", "N", "B二", "Bの二つ目"}}));
    inst.PutData("板C\\001.zvt", Store("掲示板C", {{0, "26/12/01", "U", "C作成", "Cの書きかけ"}}));
    inst.PutData("板D\\001.zvt", Store("掲示板D", {{1, "26/12/01", "N", "D一", "Dの本文"}}));
    Start();
    Open("板A\\掲示板A(1)", 2);
    ASSERT_TRUE(ListSelect(list, 1));
    ASSERT_TRUE(WaitFor([&] { return Row() == 1 && Shows("Aの既読本文"); }));

    // Down from the last row: the next folder's store, selected through its
    // folder.
    ASSERT_TRUE(PostCommand(main, ID_UNREAD_DOWN));
    ASSERT_TRUE(Landed("板B", "B一", "Bの一つ目"));
    EXPECT_EQ(FocusOf(main), list);
    // Reading on: each short article is marked read and the next unread or
    // unsent one is shown, across folders.
    ASSERT_TRUE(PostCommand(main, ID_READ_ON_UNREAD));
    ASSERT_TRUE(Landed("板B", "B二", "Bの二つ目"));
    ASSERT_TRUE(PostCommand(main, ID_READ_ON_UNREAD));
    ASSERT_TRUE(Landed("板C", "C作成", "Cの書きかけ"));
    EXPECT_EQ(StatusParts(Child(main, IDC_STATUSBAR)).at(2), "未読 : 0 / 未送信 : 1 / 総数 : 1");
    ASSERT_TRUE(PostCommand(main, ID_READ_ON_UNREAD));
    ASSERT_TRUE(Landed("板D", "D一", "Dの本文"));
    // Upwards the store with only an unsent article and the board read
    // through are passed; the first board's unread article is found.
    ASSERT_TRUE(PostCommand(main, ID_UNREAD_UP));
    ASSERT_TRUE(Landed("掲示板A(1)", "A未読", "Aの未読本文"));
    // The second board was read through on the way.
    HTREEITEM b = TreeFind(tree, Root() + "板B\\掲示板B");
    EXPECT_TRUE(b) << "its label lost the unread count";
}

TEST_F(SearchE2E, RegularExpressionsWithTheLibrary)
{
#ifndef ZEVA_BREGEXP_DLL
    GTEST_SKIP() << "BREGEXP.DLL is not built here (no Oniguruma source)";
#else
    ASSERT_TRUE(inst.AddProgram(ZEVA_EXE, kExe));
    ASSERT_TRUE(inst.AddProgram(ZEVA_BREGEXP_DLL, "BREGEXP.DLL"));
    PutThreeBoards(inst);
    Start();
    Open("板A\\掲示板A", 2);

    HWND dlg = OpenDialog();
    ASSERT_TRUE(dlg);
    EXPECT_TRUE(Enabled(Child(dlg, IDC_SEARCH_REGEXP)));
    ASSERT_TRUE(Press(dlg, IDCANCEL));

    // "A[0-9]+Z" stands only in the third board's message; the case box
    // does not apply to patterns.
    Search("a[0-9]+z", false, true);
    ASSERT_TRUE(AnswerBox("確認", "検索した記事は見つかりませんでした"));
    Search("A[0-9]+Z", false, true);
    ASSERT_TRUE(Landed("掲示板C", "目印の題名", "題名だけA123Zに"));
    EXPECT_TRUE(WaitFor([&] { return HighlightPixels() > 10; }));

    // A pattern the library refuses: its message, no search, no harm.
    Search("(目印", false, true);
    HWND box = WaitDialog(app.Id());
    ASSERT_TRUE(box);
    Dialog refused = ReadDialog(box);
    EXPECT_EQ(refused.caption, "検索");
    ASSERT_FALSE(refused.texts.empty());
    EXPECT_FALSE(refused.texts.back().empty());
    ASSERT_TRUE(Press(box, IDOK));
    EXPECT_TRUE(Settle(main));
    EXPECT_EQ(Selected(), "掲示板C");

    ASSERT_TRUE(PostCommand(main, ID_APP_EXIT));
    ASSERT_TRUE(app.WaitExit(20000));
    EXPECT_NE(inst.ReadData("zeva.ini").find("EnableRegExp=1"), std::string::npos);
#endif
}

TEST_F(SearchE2E, AnIncompleteLibraryCountsAsAbsent)
{
    ASSERT_TRUE(inst.AddProgram(ZEVA_EXE, kExe));
    ASSERT_TRUE(inst.AddProgram(ZEVA_PARTIAL_BREGEXP, "BREGEXP.DLL"));
    PutThreeBoards(inst);
    inst.PutData("zeva.ini", "[SEARCH]\r\nEnableRegExp=1\r\n");
    Start();
    Open("板A\\掲示板A", 2);
    HWND dlg = OpenDialog();
    ASSERT_TRUE(dlg);
    EXPECT_FALSE(Enabled(Child(dlg, IDC_SEARCH_REGEXP)));
    EXPECT_FALSE(Checked(dlg, IDC_SEARCH_REGEXP)) << "EnableRegExp is forced off";
    ASSERT_TRUE(Press(dlg, IDCANCEL));
    // The plain search works; nothing of the library is called.
    Search("A123Z", false);
    ASSERT_TRUE(Landed("掲示板C", "目印の題名", "題名だけA123Zに"));
    ASSERT_TRUE(PostCommand(main, ID_APP_EXIT));
    DWORD code = 1;
    ASSERT_TRUE(app.WaitExit(20000, &code));
    EXPECT_EQ(code, 0u);
}

}  // namespace
