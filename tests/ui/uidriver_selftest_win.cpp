// The outside driver against a sample program of known content: it starts
// the program in an install folder, reads every kind of control back across
// the process boundary, drives it by commands, keys, clicks and its message
// box, and takes a screenshot.
#include "ui/driver/UiDriver.h"

#include <gtest/gtest.h>

using namespace uidriver;

namespace {

const char kClass[] = "ZEVA_SAMPLE";
const char kExe[] = "ui_sample.exe";

class Sample : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(inst.AddProgram(ZEVA_UI_SAMPLE, kExe));
        ASSERT_TRUE(app.Start(inst, kExe, args));
        main = app.WaitWindow(kClass);
        ASSERT_TRUE(main) << "no window of class " << kClass;
        ASSERT_TRUE(app.WaitIdle());
        status = Child(main, 110);
        toolbar = Child(main, 111);
        tree = Child(main, 112);
        list = Child(main, 114);
        ASSERT_TRUE(status && toolbar && tree && list);
    }
    // Lines the sample wrote for the commands it received.
    std::string Received() const { return ReadBytes(inst.Path("received.txt")); }
    bool Arrived(const std::string& line, DWORD ms = 5000) const
    {
        return WaitFor([&] { return Received().find(line + "\r\n") != std::string::npos; }, ms);
    }

    std::string args;
    Install inst;
    Process app;
    HWND main = nullptr, status = nullptr, toolbar = nullptr, tree = nullptr, list = nullptr;
};

class SampleExitCode : public Sample {
protected:
    SampleExitCode() { args = "-exit 7"; }
};

TEST_F(SampleExitCode, RunsInItsInstallFolderAndEndsWithItsExitCode)
{
    EXPECT_TRUE(Exists(inst.DataDir()));
    EXPECT_TRUE(Exists(inst.PluginDir()));
    EXPECT_TRUE(inst.PutData("sub/board/zeva_BBS.ini", "[BASIC]\r\n"));
    EXPECT_EQ(inst.ReadData("sub\\board\\zeva_BBS.ini"), "[BASIC]\r\n");
    EXPECT_EQ(Text(main), "ZEVA サンプル");
    EXPECT_TRUE(Visible(main));
    RECT r = WindowRect(main);
    EXPECT_EQ(r.right - r.left, 760);
    EXPECT_EQ(r.bottom - r.top, 480);

    ASSERT_TRUE(PostCommand(main, 40003));   // 終了
    DWORD code = 0;
    ASSERT_TRUE(app.WaitExit(10000, &code));
    EXPECT_EQ(code, 7u);
    EXPECT_EQ(Received(), "command 40003 menu\r\ndestroy\r\n");
}

TEST_F(Sample, ReadsStatusBarParts)
{
    EXPECT_EQ(StatusParts(status), (std::vector<std::string>{"準備完了", "未読 3 件", "オフライン"}));
    EXPECT_EQ(StatusEdges(status), (std::vector<int>{200, 320, -1}));
    // WM_SETTEXT sets the first part; Shift-JIS crosses both ways intact.
    ASSERT_TRUE(SetText(status, "読み込み中…"));
    EXPECT_EQ(StatusParts(status).at(0), "読み込み中…");
}

TEST_F(Sample, ReadsToolbarButtons)
{
    struct Want {
        int command;
        bool separator, enabled, checked;
    } want[] = {{40001, false, true, false}, {0, true, true, false}, {40002, false, true, true}, {40010, false, false, false}};
    std::vector<ToolButton> got = ToolButtons(toolbar);
    ASSERT_EQ(got.size(), std::size(want));
    for (size_t i = 0; i < got.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(got[i].command, want[i].command);
        EXPECT_EQ(got[i].separator, want[i].separator);
        EXPECT_EQ(got[i].enabled, want[i].enabled);
        EXPECT_EQ(got[i].checked, want[i].checked);
        if (!want[i].separator) {
            EXPECT_EQ(ToolEnabled(toolbar, want[i].command), want[i].enabled);
        }
    }
}

TEST_F(Sample, ReadsAndSelectsTreeItems)
{
    struct Want {
        int depth;
        const char* text;
        bool selected, expanded;
    } want[] = {{0, "データ", false, true},       {1, "雑談", false, true}, {2, "ソフトウェア", true, false},
                {2, "ハードウェア", false, false}, {1, "ニュース", false, false}, {0, "送信済み", false, false}};
    std::vector<TreeItem> got = TreeItems(tree);
    ASSERT_EQ(got.size(), std::size(want));
    for (size_t i = 0; i < got.size(); ++i) {
        SCOPED_TRACE(want[i].text);
        EXPECT_EQ(got[i].depth, want[i].depth);
        EXPECT_EQ(got[i].text, want[i].text);
        EXPECT_EQ(got[i].selected, want[i].selected);
        EXPECT_EQ(got[i].expanded, want[i].expanded);
    }
    // "ソ" ends in the byte 0x5C: paths are compared whole, never split.
    EXPECT_EQ(TreePath(tree, TreeSelection(tree)), "データ\\雑談\\ソフトウェア");
    HTREEITEM news = TreeFind(tree, "データ\\ニュース");
    ASSERT_TRUE(news);
    ASSERT_TRUE(TreeSelect(tree, news));
    TreeItem item;
    ASSERT_TRUE(ReadTreeItem(tree, TreeSelection(tree), &item));
    EXPECT_EQ(item.text, "ニュース");
    EXPECT_EQ(item.depth, 1);
    EXPECT_TRUE(item.selected);
}

// The sample's list is virtual: every text comes through LVN_GETDISPINFOA.
TEST_F(Sample, ReadsListRowsColumnsAndSelection)
{
    EXPECT_EQ(ListColumnCount(list), 4);
    EXPECT_EQ(ListColumns(list), (std::vector<std::string>{"タイトル", "名前", "日付", "番号"}));
    std::vector<ListRow> rows = ListRows(list);
    ASSERT_EQ(rows.size(), 3u);
    EXPECT_EQ(rows[1].cells, (std::vector<std::string>{"Re: 新着のお知らせ", "名無し", "06/12/02", "2"}));
    EXPECT_EQ(ListText(list, 2, 0), "質問があります");
    EXPECT_EQ(ListNext(list, -1, LVNI_SELECTED), 1);
    EXPECT_TRUE(rows[1].focused);
    EXPECT_FALSE(rows[0].selected || rows[2].selected);

    ASSERT_TRUE(ListSelect(list, 2));
    rows = ListRows(list);
    EXPECT_TRUE(rows[2].selected && rows[2].focused);
    EXPECT_FALSE(rows[1].selected);
}

TEST_F(Sample, ReadsTheMenuBarWithStates)
{
    struct Want {
        int depth;
        UINT id;   // 0: a popup or separator, matched by position in the table
        const char* text;
        bool checked, grayed, ownerDrawn, separator;
    } want[] = {
        {0, 0, "ファイル(&F)", false, false, false, false},
        {1, 40001, "開く(&O)\tCtrl+O", false, false, false, false},
        {1, 40002, "折り返し(&W)", true, false, false, false},
        {1, 0, "", false, false, false, true},
        {1, 40003, "終了(&X)", false, false, false, false},
        {0, 0, "表示(&V)", false, false, false, false},
        {1, 40010, "記事の削除(&D)...", false, false, false, false},
        {1, 40011, "使えない項目", false, true, false, false},
        {1, 0, "並べ替え(&S)", false, false, false, false},
        {2, 40012, "日付順", true, false, false, false},
        {2, 40013, "名前順", false, false, false, false},
        {1, 40030, "", false, false, true, false},
    };
    std::vector<MenuItem> got = MenuItems(main);
    ASSERT_EQ(got.size(), std::size(want));
    for (size_t i = 0; i < got.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(got[i].depth, want[i].depth);
        if (want[i].id) {
            EXPECT_EQ(got[i].id, want[i].id);
        }
        EXPECT_EQ(got[i].text, want[i].text);
        EXPECT_EQ(got[i].checked, want[i].checked);
        EXPECT_EQ(got[i].grayed, want[i].grayed);
        EXPECT_EQ(got[i].ownerDrawn, want[i].ownerDrawn);
        EXPECT_EQ(got[i].separator, want[i].separator);
    }
    // The owner-drawn item keeps its text in its item data.
    const MenuItem* drawn = FindMenuItem(got, 40030);
    ASSERT_TRUE(drawn);
    EXPECT_EQ(ReadRemoteString(main, drawn->data), "色付き項目");
}

TEST_F(Sample, KeysReachTheAcceleratorTable)
{
    // Posted keys for keys alone; real input (SendInput) for modifiers.
    ASSERT_TRUE(PostKey(tree, VK_F5));
    EXPECT_TRUE(Arrived("command 40020 accelerator"));
    struct Case {
        UINT vk;
        unsigned mods;
        const char* line;
    } cases[] = {{'O', kCtrl, "command 40001 accelerator"}, {VK_F3, kShift, "command 40021 accelerator"}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.line);
        ASSERT_TRUE(SendKey(list, c.vk, c.mods));
        EXPECT_TRUE(Arrived(c.line));
        EXPECT_EQ(FocusOf(main), list);
    }
    EXPECT_EQ(Received(),
              "command 40020 accelerator\r\ncommand 40001 accelerator\r\ncommand 40021 accelerator\r\n");
}

TEST_F(Sample, ClicksSelectListRows)
{
    RECT row;
    ASSERT_TRUE(ListItemRect(list, 0, &row));
    ASSERT_TRUE(Click(list, row.left + 40, (row.top + row.bottom) / 2));
    EXPECT_TRUE(WaitFor([&] { return ListNext(list, -1, LVNI_SELECTED) == 0; }));
    EXPECT_EQ(FocusOf(main), list);
    ASSERT_TRUE(ListItemRect(list, 2, &row));
    ASSERT_TRUE(PostClick(list, row.left + 40, (row.top + row.bottom) / 2));
    EXPECT_TRUE(WaitFor([&] { return ListNext(list, -1, LVNI_SELECTED) == 2; }));
}

TEST_F(Sample, AnswersTheMessageBox)
{
    struct Case {
        int button;
        const char* line;
    } cases[] = {{IDNO, "answer 7"}, {IDYES, "answer 6"}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.line);
        ASSERT_TRUE(PostCommand(main, 40010));   // the box is modal: never sent
        HWND box = WaitDialog(app.Id());
        ASSERT_TRUE(box);
        Dialog d = ReadDialog(box);
        EXPECT_EQ(d.caption, "記事の削除");
        EXPECT_EQ(d.texts, (std::vector<std::string>{"選択した記事を削除しますか？"}));
        std::vector<int> ids;
        for (const DialogButton& b : d.buttons)
            ids.push_back(b.id);
        EXPECT_EQ(ids, (std::vector<int>{IDYES, IDNO}));
        ASSERT_TRUE(PressButton(box, c.button));
        EXPECT_TRUE(Arrived(c.line));
        EXPECT_TRUE(WaitFor([&] { return !IsWindow(box); }));
    }
}

TEST_F(Sample, ScreenshotsShowTheWindowAndAnOpenMenu)
{
    Image shot;
    ASSERT_TRUE(Capture(main, &shot));
    RECT r = WindowRect(main);
    EXPECT_EQ(shot.width, r.right - r.left);
    EXPECT_EQ(shot.height, r.bottom - r.top);
    EXPECT_TRUE(shot.NotBlank()) << shot.DistinctColours() << " colours";
    std::string path = ScreenPath("uidriver_sample.png");
    ASSERT_TRUE(SavePng(shot, path));
    std::string png = ReadBytes(path);
    ASSERT_GT(png.size(), 33u);
    EXPECT_EQ(png.substr(0, 8), "\x89PNG\r\n\x1A\n");
    EXPECT_EQ(png.substr(12, 4), "IHDR");
    EXPECT_EQ((uint8_t)png[18] * 256 + (uint8_t)png[19], shot.width);
    EXPECT_EQ((uint8_t)png[22] * 256 + (uint8_t)png[23], shot.height);

    // Alt+V opens the menu "表示"; its popup window holds the items read above.
    ASSERT_TRUE(SendKey(main, 'V', kAlt));
    std::vector<HWND> menus;
    ASSERT_TRUE(WaitFor([&] { return !(menus = OpenMenus(main)).empty(); }));
    EXPECT_TRUE(GuiOf(main).inMenu);
    std::vector<MenuItem> items = MenuItems(main, MenuOfPopup(menus.front()));
    ASSERT_FALSE(items.empty());
    EXPECT_EQ(items.front().text, "記事の削除(&D)...");
    Image withMenu;
    ASSERT_TRUE(Capture(main, &withMenu));
    EXPECT_TRUE(withMenu.NotBlank());
    EXPECT_GE(withMenu.height, shot.height);
    ASSERT_TRUE(SavePng(withMenu, ScreenPath("uidriver_sample_menu.png")));
    ASSERT_TRUE(SendKey(main, VK_ESCAPE));
    SendKey(main, VK_ESCAPE);
    EXPECT_TRUE(WaitFor([&] { return OpenMenus(main).empty(); }));
}

TEST_F(Sample, SecondStartFindsTheRunningWindowAndEnds)
{
    Process second;
    ASSERT_TRUE(second.Start(inst, kExe));
    DWORD code = 0;
    ASSERT_TRUE(second.WaitExit(10000, &code));
    EXPECT_EQ(code, 1u);
    EXPECT_TRUE(IsWindow(main));
    EXPECT_EQ(app.WaitWindow(kClass, 1000), main);
}

TEST(SampleLifetime, NothingIsLeftBehind)
{
    Install inst;
    ASSERT_TRUE(inst.AddProgram(ZEVA_UI_SAMPLE, kExe));
    HANDLE watch = nullptr;
    std::string root = inst.Root();
    {
        Process app;
        ASSERT_TRUE(app.Start(inst, kExe));
        ASSERT_TRUE(app.WaitWindow(kClass));
        watch = OpenProcess(SYNCHRONIZE, FALSE, app.Id());
        ASSERT_TRUE(watch);
    }
    EXPECT_EQ(WaitForSingleObject(watch, 0), WAIT_OBJECT_0);
    CloseHandle(watch);
    EXPECT_EQ(FindWindowA(kClass, nullptr), nullptr);
    // A new start in the same folder finds its window again.
    Process again;
    ASSERT_TRUE(again.Start(inst, kExe));
    EXPECT_TRUE(again.WaitWindow(kClass));
}

}  // namespace
