// zeva.exe started from outside in a fresh install folder: what a user sees
// after the start, what the start does to the install folder, a second
// start, and what the program leaves at exit.
#include "ui/driver/UiDriver.h"

#include <gtest/gtest.h>

using namespace uidriver;

namespace {

const char kExe[] = "zeva.exe";

std::string IniValue(const Install& inst, const char* section, const char* key)
{
    char buf[256] = "";
    GetPrivateProfileStringA(section, key, "<none>", buf, sizeof buf, (inst.DataDir() + "\\zeva.ini").c_str());
    return buf;
}

class ZevaStart : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(inst.AddProgram(ZEVA_EXE, kExe)); }
    void Start()
    {
        ASSERT_TRUE(app.Start(inst, kExe));
        main = app.WaitWindow("ZEVA");
        ASSERT_TRUE(main);
        ASSERT_TRUE(app.WaitIdle());
    }
    Install inst;
    Process app;
    HWND main = nullptr;
};

TEST_F(ZevaStart, ShowsTheMainWindowWithItsPanesAndMenus)
{
    Start();
    struct Pane {
        int id;
        const char* name;
    } panes[] = {{110, "status bar"}, {111, "toolbar"},     {112, "folder view"},
                 {114, "title view"}, {120, "header view"}, {113, "text view"}};
    for (const Pane& p : panes) {
        SCOPED_TRACE(p.name);
        HWND c = Child(main, p.id);
        ASSERT_TRUE(c);
        EXPECT_TRUE(Visible(c));
        RECT r = WindowRect(c);
        EXPECT_GT(r.right - r.left, 0);
    }
    HWND folder = Child(main, 112), focus = FocusOf(main);
    EXPECT_TRUE(focus == folder || IsChild(folder, focus)) << "the folder view has the focus";

    // Owner-drawn items keep their text as item data.
    std::vector<MenuItem> menu = MenuItems(main);
    const MenuItem* quit = FindMenuItem(menu, 105);
    ASSERT_TRUE(quit);
    EXPECT_TRUE(quit->ownerDrawn);
    EXPECT_EQ(ReadRemoteString(main, quit->data), "終了(&X)");

    Image shot;
    ASSERT_TRUE(Capture(main, &shot));
    EXPECT_TRUE(shot.NotBlank());
    SavePng(shot, ScreenPath("zeva_start.png"));
}

TEST_F(ZevaStart, MakesItsFoldersAndMovesStrayPlugins)
{
    struct File {
        const char* name;
        bool moves;
    } files[] = {{"zv_Test.exe", true}, {"ZV_Upper.exe", true}, {"conv.pl", true}, {"conv.rb", true},
                 {"readme.txt", false}, {"my_zv.exe", false}};
    RemoveTree(inst.DataDir());
    RemoveTree(inst.PluginDir());
    for (const File& f : files)
        ASSERT_TRUE(WriteBytes(inst.Path(f.name), std::string("bytes of ") + f.name));
    Start();
    EXPECT_TRUE(Exists(inst.DataDir()));
    EXPECT_TRUE(Exists(inst.PluginDir()));
    for (const File& f : files) {
        SCOPED_TRACE(f.name);
        EXPECT_EQ(Exists(inst.Path(f.name)), !f.moves);
        std::string moved = inst.PluginDir() + "\\" + f.name;
        EXPECT_EQ(Exists(moved), f.moves);
        if (f.moves) {
            EXPECT_EQ(ReadBytes(moved), std::string("bytes of ") + f.name);
        }
    }
}

TEST_F(ZevaStart, SecondStartLeavesTheRunningWindowAndTouchesNoFile)
{
    Start();
    Process second;
    ASSERT_TRUE(second.Start(inst, kExe));
    ASSERT_TRUE(second.WaitExit(20000));
    EXPECT_TRUE(IsWindow(main));
    EXPECT_EQ(TopWindows(app.Id(), "ZEVA"), std::vector<HWND>{main});
    EXPECT_FALSE(inst.HasData("zeva.ini"));   // written at exit only
}

TEST_F(ZevaStart, QuitWritesTheWindowAndBars)
{
    Start();
    ASSERT_TRUE(PostCommand(main, 105));   // 終了
    ASSERT_TRUE(app.WaitExit(20000));
    EXPECT_EQ(IniValue(inst, "WINDOW", "ShowWindow"), "5");
    EXPECT_EQ(IniValue(inst, "OPTION", "ShowToolbar"), "1");
    EXPECT_EQ(IniValue(inst, "OPTION", "ShowStatusbar"), "1");
}

}  // namespace
