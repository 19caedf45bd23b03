// The main window hosted in this process: its tool tips and tray icon, and
// everything that reaches it from other threads at once: a patrol that posts
// from and imports into the open store, the composer storing a new article
// into that store, and the user switching stores all the while. It must end
// without a hang, and every article must be where it belongs, once.
#include "base/sjis.h"
#include "patrol/Composer.h"
#include "patrol/PatrolWin.h"
#include "patrol/e2e/progress_ui.h"
#include "plugins/e2e/e2e_util.h"
#include "res/resource.h"
#include "store/Subj.h"
#include "ui/shell/MainWindow_win.h"

#include <gtest/gtest.h>

using namespace e2e;

namespace {

// Articles of the title in the store, and how many of them are unsent.
int Count(const std::string& store, const std::string& title, int* unsent = nullptr)
{
    CSubj s;
    if (!s.LoadFile(store.c_str()))
        return -1;
    int n = 0;
    if (unsent)
        *unsent = 0;
    for (int i = 0; i < s.GetCount(); ++i) {
        if (s.GetTitle(i) != title)
            continue;
        ++n;
        if (unsent && s.GetAtr(i, ATR_U))
            ++*unsent;
    }
    return n;
}

struct Install {
    Folder folder;
    std::string data, plugins;
    Install()
    {
        data = folder.Path() + "\\data";
        plugins = folder.Path() + "\\Plugins";
        CreateDirectoryA(data.c_str(), nullptr);
        CreateDirectoryA(plugins.c_str(), nullptr);
    }
};

HWND CreateMain(const Install& in)
{
    static bool registered = false;
    Str_Format(g_shell.programDir, sizeof g_shell.programDir, "%s\\", in.folder.Path().c_str());
    HINSTANCE inst = GetModuleHandleA(nullptr);
    if (!registered)
        registered = MainWindow_Register(inst) != 0;
    HWND main = MainWindow_Create(inst, 0);
    if (main)
        ShowWindow(main, SW_SHOW);
    return main;
}

void OpenStore(const std::string& path)
{
    static OpenItemRequest open;
    Str_Copy(open.path, sizeof open.path, path.c_str());
    open.isStore = 1;
    SendMessageA(g_shell.main, UWM_OPEN_ITEM, 0, (LPARAM)&open);
}

// Tool tips of the toolbar: the menu text up to its "(", nothing with plain
// menus.
TEST(ShellWindow, ToolTipsAreTheMenuTextsCutAtTheParenthesis)
{
    struct Case {
        int id;
        const char* owner;
    } cases[] = {{ID_PATROL_ALL, "通常巡回"}, {ID_SEARCH, "検索"}, {ID_READ_ON, "読み進める"}, {ID_NEW_FOLDER, "フォルダ作成"}};
    for (int normalMenu : {0, 1}) {
        Install in;
        ASSERT_TRUE(WriteFileBytes(in.data + "\\zeva.ini", "[OPTION]\r\nNormalMenu=" + std::to_string(normalMenu) + "\r\n"));
        HWND main = CreateMain(in);
        ASSERT_TRUE(main);
        for (const Case& c : cases) {
            NMTTDISPINFOA di = {};
            di.hdr.hwndFrom = g_shell.toolbar;
            di.hdr.idFrom = (UINT_PTR)c.id;
            di.hdr.code = TTN_GETDISPINFOA;
            SendMessageA(main, WM_NOTIFY, 0, (LPARAM)&di);
            EXPECT_STREQ(di.lpszText, normalMenu ? "" : c.owner) << c.id;
        }
        DestroyWindow(main);
    }
}

// With UseIconTray a minimise hides the window behind the notification-area
// icon (or minimises it when there is no icon); a click on the icon shows it.
TEST(ShellWindow, TrayIconTakesTheMinimisedWindow)
{
    Install in;
    ASSERT_TRUE(WriteFileBytes(in.data + "\\zeva.ini", "[OPTION]\r\nUseIconTray=1\r\n"));
    HWND main = CreateMain(in);
    ASSERT_TRUE(main);
    SendMessageA(main, WM_SYSCOMMAND, SC_MINIMIZE, 0);
    if (g_shell.trayShown) {
        EXPECT_FALSE(IsWindowVisible(main));
    } else {
        EXPECT_TRUE(IsIconic(main));
    }
    SendMessageA(main, UWM_TRAY, 1, WM_LBUTTONDOWN);
    EXPECT_TRUE(IsWindowVisible(main));
    EXPECT_EQ(g_shell.trayShown, 0);
    DestroyWindow(main);
}

// A store rewritten by a patrol thread between its two notices must never
// be overwritten by what the window held before: a change made in the
// window after the notices (here an added article) is saved together with
// the thread's result.
TEST(ShellThreads, StoreChangedByThePatrolIsNotOverwrittenByTheWindow)
{
    Install in;
    std::string store = in.data + "\\001.zvt", other = in.data + "\\002.zvt";
    ASSERT_TRUE(WriteFileBytes(store, "#T:板\nS:1,*,26/12/01,12:00,N\nT:古い記事\nN:a\nM:m\n.\n"));
    ASSERT_TRUE(WriteFileBytes(other, "#T:別\n"));
    HWND main = CreateMain(in);
    ASSERT_TRUE(main);
    OpenStore(store);

    SendMessageA(main, WM_COMMAND, ID_PATROL_STORE_LOCK, (LPARAM)store.c_str());
    EXPECT_TRUE(g_shell.subj->IsReadOnly());
    EXPECT_TRUE(g_shell.lockFile.IsLocked(store.c_str()));
    // The patrol's thread rewrites the file meanwhile.
    ASSERT_TRUE(WriteFileBytes(store, "#T:板\nS:1,*,26/12/01,12:00,N\nT:古い記事\nN:a\nM:m\n.\n"
                                      "S:2,*,26/12/02,12:00,N\nT:取り込んだ記事\nN:a\nM:m\n.\n"));
    SendMessageA(main, WM_COMMAND, MAKEWPARAM(ID_PATROL_STORE_UNLOCK, 0), (LPARAM)store.c_str());
    EXPECT_FALSE(g_shell.subj->IsReadOnly());
    EXPECT_FALSE(g_shell.lockFile.IsLocked(store.c_str()));

    g_shell.subj->Lock();
    EXPECT_EQ(g_shell.subj->GetCount(), 2);   // the window shows the thread's result
    g_shell.subj->SetAtr(0, ATR_N, 0);
    g_shell.subj->Unlock();
    OpenStore(other);
    EXPECT_EQ(Count(store, "取り込んだ記事"), 1);
    DestroyWindow(main);
}

TEST(ShellThreads, PatrolComposerAndStoreSwitchesTogether)
{
    Install in;
    const Folder& install = in.folder;
    const std::string& data = in.data;
    const std::string& plugins = in.plugins;
    ASSERT_TRUE(CopyFileA(PluginExe("zv_ZVT.exe").c_str(), (plugins + "\\zv_ZVT.exe").c_str(), FALSE));
    std::string gate = install.File("editor may end");
    std::string editor = WinPath(ZEVA_TEST_EDITOR);
    ASSERT_TRUE(WriteFileBytes(data + "\\zeva.ini",
                               "[OPTION]\r\nEditor=" + editor + "\r\nEditorOption=-a 追記 -w \"" + gate +
                                   "\"\r\nCloseRunWindow=1\r\nAutoConnect=0\r\nProxyIE=0\r\nAnimation=0\r\n"));
    std::string board = data + "\\並行", other = data + "\\別";
    std::string store = board + "\\001.zvt", otherStore = other + "\\001.zvt";
    for (const auto& b : {std::make_pair(board, "/shell/zvt/board.cgi"), std::make_pair(other, "/shell/zvt/other.cgi")}) {
        CreateDirectoryA(b.first.c_str(), nullptr);
        ASSERT_TRUE(WriteFileBytes(b.first + "\\zeva_BBS.ini", "[BASIC]\r\nLIB=ZVT\r\nURL=" + SimUrl(b.second) +
                                                                "\r\nBBSFOLDER=1\r\nPARAM2=\r\n"));
    }
    // The open store holds an article due for posting.
    ASSERT_TRUE(WriteFileBytes(store, "#T:並行板\n#U:1\n#P:POST," + SimUrl("/shell/zvt/board.cgi") +
                                          ",title=$T&comment=$M\nS:*,*,26/12/08,09:00,U\nT:送る記事\nN:私\nM:本文\n.\n"));
    ASSERT_TRUE(WriteFileBytes(otherStore, "#T:別板\n"));
    size_t postsBefore = SimRequests("/shell/zvt/board.cgi").size();

    HWND main = CreateMain(in);
    ASSERT_TRUE(main);
    OpenStore(store);
    ASSERT_EQ(g_shell.subj->GetCount(), 1);

    // The editor ends only once the patrol runs, so the composer's store
    // falls into the patrol.
    ComposeRequest req;
    req.store = store.c_str();
    req.title = "書いた記事";
    req.author = "私";
    ASSERT_EQ(g_shell.composer->Start(req), 1);
    SendMessageA(main, WM_COMMAND, ID_PATROL_ALL, 0);
    ASSERT_TRUE(Patrol_Window() != nullptr);
    ASSERT_TRUE(WriteFileBytes(gate, "go"));

    // Switch stores while the patrol and the composer work.
    int switches = 0;
    bool ended = progressui::PumpUntil(
        [&] {
            OpenStore(++switches % 2 ? otherStore : store);
            return !Patrol_IsRunning() && !Patrol_Window() && !g_shell.composer->IsBusy();
        },
        120000);
    EXPECT_TRUE(ended) << "patrol or composer did not end";
    EXPECT_GT(switches, 4);   // the board answers after half a second
    // A close during the patrol would have been refused; now it closes.
    SendMessageA(main, WM_CLOSE, 0, 0);
    EXPECT_FALSE(IsWindow(main));

    // Every post on the wire went once into the sent store: the due article,
    // and the composed one if it was stored before the board's posting pass
    // (then it is no longer unsent). No article is posted twice or lost.
    int posts = 0;
    std::vector<Request> all = SimRequests("/shell/zvt/board.cgi");
    for (size_t i = postsBefore; i < all.size(); ++i)
        posts += all[i].method == "POST";
    std::string sent = board + "\\送信済み.zvt";
    int composedSent = Count(sent, "書いた記事");
    EXPECT_EQ(Count(sent, "送る記事"), 1);
    EXPECT_EQ(posts, 1 + composedSent);
    int unsent = -1;
    Count(store, "送る記事", &unsent);
    EXPECT_EQ(unsent, 0);
    EXPECT_GE(Count(store, "書いた記事", &unsent), 1);
    EXPECT_EQ(unsent, 1 - composedSent);
    for (int i : {1, 20, 40})
        EXPECT_EQ(Count(store, "記事 " + std::to_string(i)), 1) << i;
    EXPECT_EQ(Count(otherStore, "記事 10"), 1);
    EXPECT_FALSE(g_shell.lockFile.IsLocked(store.c_str()));
}

}  // namespace
