// Reading a store with the space key, driven from outside: the store opened
// from the folder tree, Space pages a long article and then moves on with
// the article marked read, Shift+Space pages back and returns to the row
// before, and the read marks are in the store after quitting.
#include "res/resource.h"
#include "ui/driver/UiDriver.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace uidriver;

namespace {

const char kExe[] = "zeva.exe";

std::string Article(int no, const char* date, const std::string& title, const std::string& text)
{
    return "S:" + std::to_string(no) + ",*," + date + ",12:00,N\nT:" + title + "\nN:名前\nM:" + text + "\n.\n";
}

// Three unread threads, newest first in the tree; the second one's text is
// many pages long.
std::string ReadingStore()
{
    std::string longText;
    for (int i = 1; i <= 150; ++i)
        longText += "長い本文の " + std::to_string(i) + " 行目です。\n";
    longText += "長い本文の終わり";
    return "#T:読み物\n#N:3\n#U:0\n" + Article(1, "26/12/03", "短い記事", "最初の本文") +
           Article(2, "26/12/02", "長い記事", longText) + Article(3, "26/12/01", "最後の記事", "最後の本文");
}

class ReadingE2E : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(inst.AddProgram(ZEVA_EXE, kExe));
        // Pages in one step: a smooth scroll stops at the next key, and the
        // test sends its keys as soon as the text has moved.
        ASSERT_TRUE(inst.PutData("zeva.ini", "[OPTION]\r\nAnimation=0\r\nSmoothScroll=0\r\n"));
        ASSERT_TRUE(inst.PutData("板\\zeva_BBS.ini", "[BASIC]\r\nLIB=ZVT\r\n"));
        ASSERT_TRUE(inst.PutData("板\\001.zvt", ReadingStore()));
    }
    std::string Status() { return StatusParts(Child(main, IDC_STATUSBAR)).at(2); }
    int Row() { return ListNext(list, -1, LVNI_FOCUSED); }
    int FirstLine()
    {
        DWORD_PTR r = 0;
        SendMessageTimeoutA(text, EM_GETFIRSTVISIBLELINE, 0, 0, SMTO_NORMAL, 5000, &r);
        return (int)r;
    }
    int Lines()
    {
        DWORD_PTR r = 0;
        SendMessageTimeoutA(text, EM_GETLINECOUNT, 0, 0, SMTO_NORMAL, 5000, &r);
        return (int)r;
    }
    bool Shows(const char* part) { return Text(text).find(part) != std::string::npos; }

    Install inst;
    Process app;
    HWND main = nullptr, list = nullptr, text = nullptr;
};

TEST_F(ReadingE2E, SpaceReadsThroughTheStore)
{
    ASSERT_TRUE(app.Start(inst, kExe));
    main = app.WaitWindow("ZEVA");
    ASSERT_TRUE(main);
    ASSERT_TRUE(app.WaitIdle());
    HWND tree = Child(main, IDC_FOLDERVIEW);
    list = Child(main, IDC_TITLEVIEW);
    text = Child(main, IDC_TEXTVIEW);
    ASSERT_TRUE(tree && list && text);

    // The store is opened with a click in the folder tree.
    std::string root = inst.DataDir() + "\\";
    SendMessageA(tree, TVM_EXPAND, TVE_EXPAND, (LPARAM)TreeFind(tree, root + "\\板"));
    HTREEITEM store = TreeFind(tree, root + "\\板\\読み物(3)");
    RECT r;
    ASSERT_TRUE(store && TreeItemRect(tree, store, &r));
    ASSERT_TRUE(Click(tree, r.left + 4, (r.top + r.bottom) / 2));
    ASSERT_TRUE(WaitFor([&] { return ListCount(list) == 3; }));
    EXPECT_EQ(ListText(list, 0, 1), "短い記事");
    EXPECT_EQ(ListText(list, 1, 1), "長い記事");
    EXPECT_EQ(ListText(list, 2, 1), "最後の記事");
    EXPECT_TRUE(WaitFor([&] { return Status() == "未読 : 3 / 未送信 : 0 / 総数 : 3"; })) << Status();

    // No row is current after opening: the first Space makes the first
    // one current and shows it.
    ASSERT_TRUE(FocusControl(list));
    EXPECT_EQ(Row(), -1);
    ASSERT_TRUE(PostKey(list, VK_SPACE));
    ASSERT_TRUE(WaitFor([&] { return Row() == 0 && Shows("最初の本文"); })) << Row();
    EXPECT_EQ(Status(), "未読 : 3 / 未送信 : 0 / 総数 : 3");

    // The short article needs no paging: Space marks it read and moves on.
    ASSERT_TRUE(PostKey(list, VK_SPACE));
    ASSERT_TRUE(WaitFor([&] { return Row() == 1; }));
    EXPECT_TRUE(WaitFor([&] { return Status() == "未読 : 2 / 未送信 : 0 / 総数 : 3"; })) << Status();
    ASSERT_TRUE(WaitFor([&] { return Lines() > 150; })) << Lines();
    EXPECT_EQ(FirstLine(), 0);

    // The long one pages down, staying on its row and unread, to its end.
    int pages = 0, line = FirstLine();
    while (Row() == 1 && pages < 100) {
        ASSERT_TRUE(PostKey(list, VK_SPACE));
        ASSERT_TRUE(WaitFor([&] { return FirstLine() != line || Row() != 1; })) << pages;
        if (Row() != 1)
            break;
        EXPECT_GT(FirstLine(), line);
        EXPECT_EQ(Status(), "未読 : 2 / 未送信 : 0 / 総数 : 3");
        line = FirstLine();
        ++pages;
        if (pages == 2) {
            Image shot;
            ASSERT_TRUE(Capture(main, &shot));
            EXPECT_TRUE(shot.NotBlank());
            SavePng(shot, ScreenPath("reading_mid_article.png"));
        }
    }
    EXPECT_GE(pages, 3) << "the long article takes several pages";
    EXPECT_LT(pages, 30) << "a page is not a line";
    // At its end the article is read and the next row is current.
    EXPECT_EQ(Row(), 2);
    EXPECT_TRUE(WaitFor([&] { return Status() == "未読 : 1 / 未送信 : 0 / 総数 : 3"; })) << Status();
    ASSERT_TRUE(WaitFor([&] { return Shows("最後の本文"); }));

    // Shift+Space at the top of a text goes back to the row before, whose
    // text pages up again from further down.
    ASSERT_TRUE(SendKey(list, VK_SPACE, kShift));
    ASSERT_TRUE(WaitFor([&] { return Row() == 1 && Lines() > 150; }));
    EXPECT_EQ(FirstLine(), 0);
    EXPECT_TRUE(WaitFor([&] { return Status() == "未読 : 0 / 未送信 : 0 / 総数 : 3"; }))
        << "the last article's end was in view when it was left: " << Status();
    ASSERT_TRUE(PostKey(list, VK_SPACE));
    ASSERT_TRUE(WaitFor([&] { return FirstLine() > 0; }));
    line = FirstLine();
    ASSERT_TRUE(SendKey(list, VK_SPACE, kShift));
    ASSERT_TRUE(WaitFor([&] { return FirstLine() < line; }));
    EXPECT_EQ(Row(), 1);

    ASSERT_TRUE(PostCommand(main, ID_APP_EXIT));
    ASSERT_TRUE(app.WaitExit(20000));
    std::string zvt = inst.ReadData("板\\001.zvt");
    int records = 0;
    for (size_t at = zvt.find("S:"); at != std::string::npos; at = zvt.find("\nS:", at + 1)) {
        size_t start = zvt[at] == '\n' ? at + 1 : at;
        std::string rec = zvt.substr(start, zvt.find('\n', start) - start);
        size_t flags = 0;
        for (int comma = 0; comma < 4 && flags != std::string::npos; ++comma)
            flags = rec.find(',', flags + (comma ? 1 : 0));
        ASSERT_NE(flags, std::string::npos) << rec;
        std::string f = rec.substr(flags + 1, rec.find(',', flags + 1) - flags - 1);
        EXPECT_EQ(f.find('N'), std::string::npos) << rec;
        ++records;
    }
    EXPECT_EQ(records, 3) << zvt;
}

}  // namespace
