// The main window of zeva.exe driven from outside: its toolbar, status bar
// and menus against the command tables, commands and keys, settings and key
// files read at start, bad files, the close refused during a patrol, the
// about box, and pictures of the window with a menu open.
#include "plugins/e2e/e2e_util.h"
#include "res/resource.h"
#include "ui/driver/UiDriver.h"
#include "ui/keys/MenuText.h"
#include "ui/shell/Commands.h"

#include <gtest/gtest.h>

using namespace uidriver;

namespace {

const char kExe[] = "zeva.exe";

class ZevaShell : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(inst.AddProgram(ZEVA_EXE, kExe)); }
    void Start(const std::string& args = std::string())
    {
        ASSERT_TRUE(app.Start(inst, kExe, args));
        main = app.WaitWindow("ZEVA");
        ASSERT_TRUE(main);
        ASSERT_TRUE(app.WaitIdle());
    }
    void Quit()
    {
        ASSERT_TRUE(PostCommand(main, ID_APP_EXIT));
        ASSERT_TRUE(app.WaitExit(20000));
    }
    int Width(int id) const
    {
        RECT r = WindowRect(Child(main, id));
        return r.right - r.left;
    }
    HWND Pane(int id) const { return Child(main, id); }
    // The dialog of the process whose texts hold the text.
    HWND DialogWith(const std::string& text)
    {
        HWND found = nullptr;
        WaitFor([&] {
            for (HWND d : TopWindows(app.Id(), "#32770"))
                for (const std::string& t : ReadDialog(d).texts)
                    if (t.find(text) != std::string::npos)
                        return (found = d) != nullptr;
            return false;
        });
        return found;
    }

    Install inst;
    Process app;
    HWND main = nullptr;
};

TEST_F(ZevaShell, ToolbarStatusBarAndMenusFollowTheCommandTables)
{
    Start();
    std::vector<ToolButton> buttons = ToolButtons(Pane(IDC_TOOLBAR));
    ASSERT_EQ(buttons.size(), g_toolbarCount);
    for (size_t i = 0; i < g_toolbarCount; ++i) {
        EXPECT_EQ(buttons[i].separator, g_toolbar[i].id == 0) << i;
        if (!buttons[i].separator) {
            EXPECT_EQ(buttons[i].command, g_toolbar[i].id) << i;
            EXPECT_EQ(buttons[i].bitmap, g_toolbar[i].image) << i;
        }
    }
    RECT client = ClientRect(main);
    std::vector<int> edges = StatusEdges(Pane(IDC_STATUSBAR));
    ASSERT_EQ(edges.size(), 3u);
    EXPECT_EQ(edges[0], client.right - 350);
    EXPECT_EQ(edges[1], client.right - 280);

    // Every menu item names a routed command; every toolbar command has a
    // menu item; the colour labels show their colours.
    std::vector<MenuItem> menu = MenuItems(main);
    int items = 0;
    for (const MenuItem& m : menu) {
        if (m.separator || m.submenu)
            continue;
        ++items;
        EXPECT_GE(Command_Route((int)m.id), 0) << m.id;
        EXPECT_TRUE(m.ownerDrawn) << m.id;
        char label[MenuTextSize];
        if (ColorLabelText(m.id, label, sizeof label)) {
            EXPECT_EQ(ReadRemoteString(main, m.data), label);
        }
    }
    EXPECT_GT(items, 80);
    for (size_t i = 0; i < g_toolbarCount; ++i) {
        if (g_toolbar[i].id) {
            EXPECT_TRUE(FindMenuItem(menu, g_toolbar[i].id)) << g_toolbar[i].id;
        }
    }
    // A menu item shows its command's key after a tab.
    const MenuItem* search = FindMenuItem(menu, ID_SEARCH);
    ASSERT_TRUE(search);
    EXPECT_EQ(ReadRemoteString(main, search->data), "検索(&S)...\tCtrl+F");

    // The 記事 menu open, owner-drawn with icons and key texts.
    ASSERT_TRUE(SendKey(main, 'A', kAlt));
    ASSERT_TRUE(WaitFor([&] { return !OpenMenus(main).empty(); }));
    Image shot;
    ASSERT_TRUE(Capture(main, &shot));
    EXPECT_TRUE(shot.NotBlank());
    SavePng(shot, ScreenPath("zeva_menu.png"));
    SendKey(main, VK_ESCAPE);
    SendKey(main, VK_ESCAPE);
}

TEST_F(ZevaShell, CommandsAndKeysMoveFocusAndToggleBars)
{
    ASSERT_TRUE(inst.PutData("KeyGlobal.dat", std::string("\x03\x00\x78\x00\x53\x80", 6)));   // F9 -> 32851
    Start();
    // Focus ring: folder view, title view, text view and back.
    struct Step {
        int command, pane;
    } ring[] = {{ID_NEXT_WINDOW, IDC_TITLEVIEW},
                {ID_NEXT_WINDOW, IDC_TEXTVIEW},
                {ID_NEXT_WINDOW, IDC_FOLDERVIEW},
                {ID_PREV_WINDOW, IDC_TEXTVIEW},
                {ID_VIEW_FOLDERVIEW, IDC_FOLDERVIEW},
                {ID_VIEW_FOLDERVIEW, IDC_TITLEVIEW}};
    for (const Step& s : ring) {
        ASSERT_TRUE(SendCommand(main, s.command));
        EXPECT_EQ(FocusOf(main), Pane(s.pane)) << s.command;
    }
    // The key file's F9 toggles the toolbar; the title view grows by its height.
    int titleTop = WindowRect(Pane(IDC_TITLEVIEW)).top;
    ASSERT_TRUE(PostKey(Pane(IDC_TITLEVIEW), VK_F9));
    ASSERT_TRUE(WaitFor([&] { return !Visible(Pane(IDC_TOOLBAR)); }));
    // The toolbar hides before the panes move: wait for the layout.
    EXPECT_TRUE(WaitFor([&] { return WindowRect(Pane(IDC_TITLEVIEW)).top < titleTop; }));
    ASSERT_TRUE(SendCommand(main, ID_VIEW_STATUSBAR));
    EXPECT_FALSE(Visible(Pane(IDC_STATUSBAR)));
    // Pane modes: the title view takes the whole height and hides the header.
    ASSERT_TRUE(SendCommand(main, ID_MAX_TITLEVIEW));
    EXPECT_FALSE(Visible(Pane(IDC_HEADERVIEW)));
    ASSERT_TRUE(SendCommand(main, ID_MAX_TEXTVIEW));
    EXPECT_TRUE(Visible(Pane(IDC_HEADERVIEW)));
    Quit();
    EXPECT_EQ(inst.ReadData("KeyGlobal.dat").size(), 6u);   // key files are only read
    std::string ini = inst.ReadData("zeva.ini");
    EXPECT_NE(ini.find("ShowToolbar=0\r\n"), std::string::npos);
    EXPECT_NE(ini.find("ShowStatusbar=0\r\n"), std::string::npos);
}

TEST_F(ZevaShell, SettingsOfTheLastRunComeBack)
{
    struct Case {
        const char* ini;
        int folderW;
        bool toolbar;
        int left, top;
    } cases[] = {
        {"[WINDOW]\r\nWindowX=40\r\nWindowY=30\r\nWindowW=840\r\nWindowH=630\r\nFolderW=250\r\n"
         "[OPTION]\r\nShowToolbar=0\r\n",
         250, false, 40, 30},
        // Saved wholly off the screen: back at the top left.
        {"[WINDOW]\r\nWindowX=-900\r\nWindowY=-700\r\nWindowW=-100\r\nWindowH=-50\r\n", 200, true, 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.ini);
        ASSERT_TRUE(inst.PutData("zeva.ini", c.ini));
        Start();
        EXPECT_EQ(Width(IDC_FOLDERVIEW), c.folderW);
        EXPECT_EQ(Visible(Pane(IDC_TOOLBAR)), c.toolbar);
        RECT r = WindowRect(main);
        EXPECT_EQ(r.left, c.left);
        EXPECT_EQ(r.top, c.top);
        EXPECT_GT(r.right - r.left, 100);
        Quit();
    }
}

TEST_F(ZevaShell, BadFilesInTheDataFolderStillGiveTheWindow)
{
    std::string noise(10 * 1024 * 1024, '\0');
    unsigned x = 12345;
    for (char& c : noise)
        c = (char)((x = x * 1103515245u + 12345u) >> 24);
    struct Case {
        const char* file;
        std::string bytes;
    } cases[] = {
        {"zeva.ini", noise.substr(0, 70000)},
        {"zeva.ini", "[WINDOW]\r\nFolderW=99999999999999999999\r\nTitleH=-\r\n[OPTION]\r\nFontTextSize=-99999\r\n"},
        {"KeyGlobal.dat", noise.substr(0, 7)},
        {"KeyTitle.dat", noise},
        {"Toolbar.bmp", ""},
        {"Toolbar.bmp", "BM\x10\0\0\0"},
        {"Toolbar.bmp", noise},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.file) + " of " + std::to_string(c.bytes.size()) + " bytes");
        RemoveTree(inst.DataDir());
        ASSERT_TRUE(inst.PutData(c.file, c.bytes));
        Start();
        EXPECT_EQ(ToolButtons(Pane(IDC_TOOLBAR)).size(), g_toolbarCount);
        EXPECT_GT(Width(IDC_FOLDERVIEW), 0);
        Quit();
    }
}

TEST_F(ZevaShell, AboutBoxListsThePlugins)
{
    ASSERT_TRUE(inst.AddPlugin(e2e::PluginExe("zv_ZVT.exe")));
    Start();
    ASSERT_TRUE(PostCommand(main, ID_APP_ABOUT));
    HWND about = DialogWith("ZEVA - Web掲示板巡回ソフト");
    ASSERT_TRUE(about);
    Dialog d = ReadDialog(about);
    EXPECT_EQ(d.caption, "バージョン情報");
    EXPECT_EQ(Text(Child(about, IDC_ABOUT_VERSION)), "version 1.00");
    std::string plugins = Text(Child(about, IDC_ABOUT_PLUGINS));
    EXPECT_EQ(plugins.compare(0, 26, "zv_ZVT.exe                "), 0) << plugins;
    EXPECT_NE(plugins.find("\r\n"), std::string::npos);
    Image shot;
    ASSERT_TRUE(Capture(about, &shot));
    EXPECT_TRUE(shot.NotBlank());
    SavePng(shot, ScreenPath("zeva_about.png"));
    ASSERT_TRUE(PressButton(about, IDOK));
    ASSERT_TRUE(WaitFor([&] { return !IsWindow(about); }));
    Quit();
}

// A board that answers slowly (within the plug-ins' one-second time-outs)
// keeps the patrol running: closing is refused with a message, and the
// program goes on; -G then ends by itself.
TEST_F(ZevaShell, CloseIsRefusedWhileAPatrolRuns)
{
    ASSERT_TRUE(inst.AddPlugin(e2e::PluginExe("zv_ZVT.exe")));
    ASSERT_TRUE(inst.PutData("遅い板\\zeva_BBS.ini", "[BASIC]\r\nLIB=ZVT\r\nURL=" + e2e::SimUrl("/ui/slow.cgi") +
                                                      "\r\nBBSFOLDER=1\r\nPARAM2=\r\n"));
    ASSERT_TRUE(inst.PutData("zeva.ini", "[OPTION]\r\nAutoConnect=0\r\nProxyIE=0\r\n"));
    Start("-G");
    ASSERT_TRUE(WaitFor([&] { return !TopWindows(app.Id(), "#32770").empty(); }));
    ASSERT_TRUE(PostMessageA(main, WM_CLOSE, 0, 0));
    HWND box = DialogWith("巡回中のため終了できません。");
    ASSERT_TRUE(box);
    ASSERT_TRUE(PressButton(box, IDOK));
    EXPECT_TRUE(IsWindow(main));
    DWORD code = 1;
    ASSERT_TRUE(app.WaitExit(60000, &code));   // -G: the end of the patrol closes the program
    EXPECT_EQ(code, 0u);
    EXPECT_TRUE(inst.HasData("遅い板\\001.zvt")) << inst.ReadData("遅い板\\zeva_BBS.ini");
    EXPECT_NE(inst.ReadData("zeva.ini").find("[WINDOW]"), std::string::npos);
}

}  // namespace

namespace {

// What a user does first: a new folder becomes a board in its property
// sheet (plug-in, address, patrol tick), a patrol of the current folder
// fetches it, and the tree shows the new store with its count.
TEST_F(ZevaShell, NewBoardIsSetUpPatrolledAndCounted)
{
    ASSERT_TRUE(inst.AddPlugin(e2e::PluginExe("zv_ZVT.exe")));
    ASSERT_TRUE(inst.PutData("zeva.ini", "[OPTION]\r\nAutoConnect=0\r\nProxyIE=0\r\nCloseRunWindow=1\r\n"));
    ASSERT_TRUE(inst.PutData("新しい板\\zeva_BBS.ini", "[BASIC]\r\nLIB=ZVT\r\n"));
    Start();
    HWND tree = Pane(IDC_FOLDERVIEW);
    std::string root = inst.DataDir() + "\\";
    ASSERT_TRUE(TreeSelect(tree, TreeFind(tree, root + "\\新しい板")));
    ASSERT_TRUE(WaitFor([&] { return StatusParts(Pane(IDC_STATUSBAR)).at(0) == "新しい板"; }));
    ASSERT_TRUE(PostCommand(main, ID_FOLDER_PROPERTIES));
    HWND sheet = nullptr;
    ASSERT_TRUE(WaitFor([&] {
        for (HWND d : TopWindows(app.Id(), "#32770"))
            if (Text(d) == "フォルダ プロパティ")
                return (sheet = d) != nullptr;
        return false;
    }, 30000));
    HWND basic = (HWND)SendMessageA(sheet, PSM_GETCURRENTPAGEHWND, 0, 0);
    EXPECT_EQ(Text(Child(basic, IDC_SET_PLUGIN)), "ZVT");
    SendMessageA(Child(basic, IDC_SET_PATROL), BM_SETCHECK, BST_CHECKED, 0);
    SendMessageA(sheet, PSM_SETCURSEL, 1, 0);
    HWND patrol = (HWND)SendMessageA(sheet, PSM_GETCURRENTPAGEHWND, 0, 0);
    ASSERT_TRUE(SetText(Child(patrol, IDC_SET_FIELD0), e2e::SimUrl("/ui/slow.cgi")));
    Image shot;
    ASSERT_TRUE(Capture(sheet, &shot));
    SavePng(shot, ScreenPath("zeva_new_board_sheet.png"));
    PostMessageA(sheet, PSM_PRESSBUTTON, PSBTN_OK, 0);
    ASSERT_TRUE(WaitFor([&] { return !IsWindow(sheet); }));
    std::string ini = inst.ReadData("新しい板\\zeva_BBS.ini");
    EXPECT_NE(ini.find("URL=" + e2e::SimUrl("/ui/slow.cgi") + "\r\n"), std::string::npos) << ini;
    EXPECT_NE(ini.find("BBSFOLDER=1\r\n"), std::string::npos) << ini;

    ASSERT_TRUE(PostCommand(main, ID_PATROL_CURRENT));
    EXPECT_TRUE(WaitFor([&] { return TreeFind(tree, root + "\\新しい板\\遅い板(1)") != nullptr; }, 60000));
    ASSERT_TRUE(Capture(main, &shot));
    EXPECT_TRUE(shot.NotBlank());
    SavePng(shot, ScreenPath("zeva_new_board.png"));
    Quit();
}

}  // namespace
