// The title view of zeva.exe driven from outside: a store opened through
// UWM_OPEN_ITEM, its rows read back as the list gives them, read marks
// landing in the store as the user moves on, sorts and the tree kept in the
// folder's settings, menu states, pictures of the tree, the flat list and
// preview rows, and stores no reader should choke on.
#include "ui/zeva_open.h"
#include "bench/store_gen.h"
#include "res/resource.h"
#include "ui/driver/UiDriver.h"

#include <gtest/gtest.h>

#include <stdio.h>
#include <stdlib.h>

using namespace uidriver;

namespace {

const char kExe[] = "zeva.exe";

// "YY/MM/DD" of the day n days before today.
std::string Day(int daysBefore)
{
    SYSTEMTIME st;
    GetLocalTime(&st);
    FILETIME ft;
    SystemTimeToFileTime(&st, &ft);
    ULARGE_INTEGER v;
    v.LowPart = ft.dwLowDateTime;
    v.HighPart = ft.dwHighDateTime;
    v.QuadPart -= (ULONGLONG)daysBefore * 24 * 3600 * 10000000ULL;
    ft.dwLowDateTime = v.LowPart;
    ft.dwHighDateTime = v.HighPart;
    FileTimeToSystemTime(&ft, &st);
    char buf[16];
    snprintf(buf, sizeof buf, "%02d/%02d/%02d", st.wYear % 100, st.wMonth, st.wDay);
    return buf;
}

std::string Article(const std::string& no, const std::string& pno, const std::string& date, const char* flags,
                    const std::string& title, const char* extra = "")
{
    return "S:" + no + "," + pno + "," + date + ",00:00," + flags + "\nT:" + title + "\nN:投稿者" + no + "\n" + extra +
           "M:本文 " + no + "\n.\n";
}

// 1 with 2 (and 4 below it) and 3 (with a blue label); 5 with the unsent
// 6; 7 (virtual) answers an article that is not there.
std::string BoardStore()
{
    return "#T:テスト板\n" + Article("1", "*", Day(5), "N", "最初の話題", "E:a@example.jp\nH:http://example.jp/\n") +
           Article("2", "1", Day(4), "N", "Re: 最初の話題") + Article("3", "1", Day(2), ",FF0000", "Re: 最初の話題") +
           Article("4", "2", Day(0), "N", "Re: Re: 最初の話題") + Article("5", "*", Day(0), "N", "新しい話題") +
           Article("*", "5", Day(0), "U", "書きかけ") + Article("7", "99", Day(10), "V", "親のない返信");
}

class TitleViewE2E : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(inst.AddProgram(ZEVA_EXE, kExe)); }
    void Start()
    {
        ASSERT_TRUE(inst.PutData("zeva.ini", "[OPTION]\r\nAnimation=0\r\n"));
        ASSERT_TRUE(app.Start(inst, kExe));
        main = app.WaitWindow("ZEVA");
        ASSERT_TRUE(main);
        ASSERT_TRUE(app.WaitIdle());
        list = Child(main, IDC_TITLEVIEW);
        ASSERT_TRUE(list);
    }
    // What the folder view does when a store is chosen.
    void Open(const std::string& rel)
    {
        ASSERT_TRUE(ZevaOpenStore(main, inst.DataDir() + "\\" + rel));
    }
    std::string Status() { return StatusParts(Child(main, IDC_STATUSBAR)).at(2); }
    std::vector<std::string> Column(int c)
    {
        std::vector<std::string> out;
        for (const ListRow& r : ListRows(list))
            out.push_back(r.cells.at((size_t)c));
        return out;
    }
    void Shot(const char* name)
    {
        Image shot;
        ASSERT_TRUE(Capture(main, &shot));
        EXPECT_TRUE(shot.NotBlank());
        SavePng(shot, ScreenPath(name));
    }

    Install inst;
    Process app;
    HWND main = nullptr, list = nullptr;
};

TEST_F(TitleViewE2E, OpensAStoreAsATreeNewestThreadFirst)
{
    ASSERT_TRUE(inst.PutData("板\\zeva_BBS.ini", "[BASIC]\r\nLIB=ZVT\r\nNAME=私\r\n"));
    ASSERT_TRUE(inst.PutData("板\\001.zvt", BoardStore()));
    Start();
    Open("板\\001.zvt");
    EXPECT_EQ(ListColumns(list), (std::vector<std::string>{"No", "タイトル", "発言者", "日時"}));
    ASSERT_EQ(ListCount(list), 7);
    EXPECT_EQ(Column(0), (std::vector<std::string>{"5", "*", "1", "2", "4", "3", "7"}));
    EXPECT_EQ(Column(1), (std::vector<std::string>{"新しい話題", "書きかけ", "最初の話題", "Re: 最初の話題",
                                                   "Re: Re: 最初の話題", "Re: 最初の話題", "親のない返信"}));
    // The unsent article shows the board's poster name.
    EXPECT_EQ(Column(2).at(1), "私");
    EXPECT_EQ(Column(3).at(2), Day(5) + " 00:00");
    EXPECT_EQ(Status(), "未読 : 4 / 未送信 : 1 / 総数 : 7");

    // The tree is checked; sorts and display switches are answered; with no
    // current article the article commands stand greyed.
    std::vector<MenuItem> menu = MenuItems(main);
    struct Entry {
        int id;
        bool checked, grayed;
    } entries[] = {{ID_SORT_TREE, true, false},       {ID_SORT_DATE, false, false},
                   {ID_VIEWFLAG_NUMBER, true, false}, {ID_VIEWFLAG_PREVIEW, false, false},
                   {ID_DELETE_ARTICLE, false, true},  {ID_REPLY, false, true}};
    for (const Entry& e : entries) {
        const MenuItem* m = FindMenuItem(menu, (UINT)e.id);
        ASSERT_TRUE(m) << e.id;
        EXPECT_EQ(m->checked, e.checked) << e.id;
        EXPECT_EQ(m->grayed, e.grayed) << e.id;
    }
    EXPECT_FALSE(ToolEnabled(Child(main, IDC_TOOLBAR), ID_NEW_ARTICLE));

    ASSERT_TRUE(SendCommand(main, ID_MAX_TITLEVIEW));
    ASSERT_TRUE(ListSelect(list, 2));
    Shot("titleview_tree.png");

    // The 記事 menu from the keyboard, at the current row: reply greyed (the
    // board gave no posting template), the commands of the row enabled.
    ASSERT_TRUE(SendKey(list, VK_APPS));
    ASSERT_TRUE(WaitFor([&] { return !OpenMenus(main).empty(); }));
    std::vector<MenuItem> popup = MenuItems(main, MenuOfPopup(OpenMenus(main).front()));
    for (int id : {ID_REPLY, ID_COPY, ID_MARK_READ, ID_LABEL_NONE}) {
        const MenuItem* m = FindMenuItem(popup, (UINT)id);
        ASSERT_TRUE(m) << id;
        EXPECT_EQ(m->grayed, id == ID_REPLY) << id;
    }
    RECT row = {};
    ASSERT_TRUE(ListItemRect(list, 2, &row));
    RECT box = WindowRect(OpenMenus(main).front());
    POINT at = {row.left, row.bottom};
    ClientToScreen(list, &at);
    EXPECT_LE(std::abs(box.top - at.y), 40) << "the menu stands at the current row";
    Shot("titleview_context.png");
    SendKey(main, VK_ESCAPE);
}

TEST_F(TitleViewE2E, MovingOnMarksShownArticlesReadInTheStore)
{
    ASSERT_TRUE(inst.PutData("板\\zeva_BBS.ini", "[BASIC]\r\nLIB=ZVT\r\n"));
    ASSERT_TRUE(inst.PutData("板\\001.zvt", BoardStore()));
    Start();
    Open("板\\001.zvt");
    ASSERT_TRUE(FocusControl(list));
    ASSERT_TRUE(ListSelect(list, 0));
    // The text of a row follows on a timer of 10 or 200 ms (nothing to see
    // while the text view is not built): give it time before leaving.
    struct Step {
        int row;
        const char* status;
    } steps[] = {{1, "未読 : 3 / 未送信 : 1 / 総数 : 7"},    // 5 was read
                 {2, "未読 : 3 / 未送信 : 1 / 総数 : 7"},    // the unsent one has no mark
                 {3, "未読 : 2 / 未送信 : 1 / 総数 : 7"}};   // 1 was read
    for (const Step& s : steps) {
        Sleep(400);
        ASSERT_TRUE(SendKey(list, VK_DOWN));
        EXPECT_TRUE(WaitFor([&] { return ListNext(list, -1, LVNI_FOCUSED) == s.row; })) << s.row;
        EXPECT_TRUE(WaitFor([&] { return Status() == s.status; })) << Status();
    }
    ASSERT_TRUE(SendCommand(main, ID_REFRESH));   // saves the open store
    std::string zvt = inst.ReadData("板\\001.zvt");
    EXPECT_NE(zvt.find("S:5,*," + Day(0) + ", 0:00,,"), std::string::npos) << zvt;
    EXPECT_NE(zvt.find("S:1,*," + Day(5) + ", 0:00,,"), std::string::npos) << zvt;
    EXPECT_NE(zvt.find("S:2,1," + Day(4) + ", 0:00,N,"), std::string::npos) << zvt;   // still current
}

TEST_F(TitleViewE2E, SortsAndTreeAreKeptInTheBoardSettings)
{
    ASSERT_TRUE(inst.PutData("板\\zeva_BBS.ini", "[BASIC]\r\nLIB=ZVT\r\n"));
    ASSERT_TRUE(inst.PutData("板\\001.zvt", BoardStore()));
    Start();
    Open("板\\001.zvt");
    ASSERT_TRUE(SendCommand(main, ID_SORT_DATE));
    EXPECT_EQ(Column(0).front(), "7");   // oldest first
    ASSERT_TRUE(SendCommand(main, ID_SORT_DATE));
    EXPECT_EQ(Column(0).back(), "7");    // the same key again: newest first
    const MenuItem* date = FindMenuItem(MenuItems(main), ID_SORT_DATE);
    ASSERT_TRUE(date);
    EXPECT_TRUE(date->checked);
    ASSERT_TRUE(SendCommand(main, ID_MAX_TITLEVIEW));
    ASSERT_TRUE(ListSelect(list, 1));
    Shot("titleview_flat_date.png");
    ASSERT_TRUE(SendCommand(main, ID_REFRESH));
    std::string ini = inst.ReadData("板\\zeva_BBS.ini");
    for (const char* kv : {"TREE=0", "CLMSORT=3", "CLMSORTUP=0", "VIEWFLAG=66", "CLM01=200"})
        EXPECT_NE(ini.find(kv), std::string::npos) << kv << "\n" << ini;

    // Preview rows, then the tree again with its thread order turned.
    ASSERT_TRUE(SendCommand(main, ID_VIEWFLAG_PREVIEW));
    ASSERT_TRUE(SendCommand(main, ID_VIEWFLAG_PARENT));
    EXPECT_EQ(Column(0).back(), "7(99)");
    Shot("titleview_preview.png");
    ASSERT_TRUE(SendCommand(main, ID_SORT_TREE));
    ASSERT_TRUE(SendCommand(main, ID_SORT_TREE));
    EXPECT_EQ(Column(0).front(), "1(*)");   // builder order: by number
    ASSERT_TRUE(SendCommand(main, ID_REFRESH));
    ini = inst.ReadData("板\\zeva_BBS.ini");
    for (const char* kv : {"TREE=1", "CLMSORTUP=0", "VIEWFLAG=86"})
        EXPECT_NE(ini.find(kv), std::string::npos) << kv << "\n" << ini;
}

TEST_F(TitleViewE2E, ColumnWidthsAreKeptInTheBoardSettings)
{
    ASSERT_TRUE(inst.PutData("板\\zeva_BBS.ini", "[BASIC]\r\nLIB=ZVT\r\nCLM02=90\r\n"));
    ASSERT_TRUE(inst.PutData("板\\001.zvt", BoardStore()));
    Start();
    Open("板\\001.zvt");
    HWND header = Child(list, 0);
    ASSERT_TRUE(header);
    auto width = [&](int column) { return (int)SendMessageA(list, LVM_GETCOLUMNWIDTH, (WPARAM)column, 0); };
    EXPECT_EQ(width(2), 90);   // read from CLM02
    // A divider moved: the header tells its list.
    HDITEMA item = {};
    item.mask = HDI_WIDTH;
    item.cxy = 150;
    RemoteMemory mem(list, sizeof item);
    ASSERT_TRUE(mem.Ok() && mem.Write(&item, sizeof item));
    SendMessageA(header, HDM_SETITEMA, 1, (LPARAM)mem.Address());
    EXPECT_EQ(width(1), 150);
    // A double click on the No column's divider: 10 x greatest depth + 94,
    // plus 8.
    ASSERT_TRUE(Click(header, width(0), 4, false, true));
    EXPECT_TRUE(WaitFor([&] { return width(0) == 10 * 2 + 94 + 8; })) << width(0);
    ASSERT_TRUE(SendCommand(main, ID_REFRESH));
    std::string ini = inst.ReadData("板\\zeva_BBS.ini");
    for (const char* kv : {"CLM00=122", "CLM01=150", "CLM02=90", "CLM03=120"})
        EXPECT_NE(ini.find(kv), std::string::npos) << kv << "\n" << ini;
}

TEST_F(TitleViewE2E, LargeAndBrokenStoresOpen)
{
    // 200,000 articles.
    storegen::Board board(7, false);
    ASSERT_TRUE(inst.PutData("大\\001.zvt", board.Store(200000)));
    // 10 MB title, name and text, a lead byte at the very end, a date
    // without a year, identifiers, a line without LF.
    std::string big(10 * 1024 * 1024, 'x');
    big.back() = '\x82';
    ASSERT_TRUE(inst.PutData("壊\\001.zvt", "#T:壊れた板\nS:Sabc,*,12/05,10:00,N\nT:" + big + "\nN:" + big +
                                                "\nM:" + big + "\n.\nS:Sdef,Sabc,01/01/01,1:00,\nT:短い\nM:x\n."));
    ASSERT_TRUE(inst.PutData("空\\001.zvt", "#T:空の板\n"));
    Start();
    Open("空\\001.zvt");
    EXPECT_EQ(ListCount(list), 0);
    EXPECT_EQ(Status(), "未読 : 0 / 未送信 : 0 / 総数 : 0");
    Open("大\\001.zvt");
    EXPECT_EQ(ListCount(list), 200000);
    EXPECT_EQ(Status().substr(Status().rfind(' ') + 1), "200000");
    ASSERT_TRUE(ListSelect(list, 199999));
    EXPECT_TRUE(Settle(main));
    Open("壊\\001.zvt");
    ASSERT_GE(ListCount(list), 1);
    std::string title = ListText(list, 0, 1);
    EXPECT_FALSE(title.empty());
    EXPECT_LE(title.size(), 4096u);
    ASSERT_TRUE(ListSelect(list, 0));
    ASSERT_TRUE(SendCommand(main, ID_VIEWFLAG_PREVIEW));
    EXPECT_TRUE(Settle(main));
    Shot("titleview_broken.png");
    EXPECT_TRUE(app.Running());
}

}  // namespace
