// Patrols end to end under Wine: the real progress window, the real plug-in
// programs and the WinINet poster against the board simulator. A small
// window of the test's own stands for the main window and records the
// commands the patrol sends it.
#include "base/sjis.h"
#include "patrol/PatrolWin.h"
#include "patrol/e2e/progress_ui.h"
#include "plugins/e2e/e2e_util.h"
#include "res/resource.h"
#include "store/PostRequest.h"
#include "store/Profile.h"
#include "store/Subj.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <set>

using namespace e2e;
using namespace progressui;

namespace {

struct Command {
    int id;
    int high;
    std::string path;
};
std::vector<Command> g_commands;

LRESULT CALLBACK MainProc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp)
{
    if (msg == WM_COMMAND) {
        Command c{LOWORD(wp), HIWORD(wp), ""};
        if ((c.id == ID_PATROL_STORE_LOCK || c.id == ID_PATROL_STORE_UNLOCK) && lp)
            c.path = (const char*)lp;
        g_commands.push_back(c);
        return 0;
    }
    return DefWindowProcA(wnd, msg, wp, lp);
}

HWND MainWindow()
{
    static HWND wnd = nullptr;
    if (!wnd) {
        WNDCLASSA wc = {};
        wc.lpfnWndProc = MainProc;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.lpszClassName = "ZevaPatrolTestMain";
        RegisterClassA(&wc);
        wnd = CreateWindowA("ZevaPatrolTestMain", "main", WS_OVERLAPPEDWINDOW, 0, 0, 200, 100, nullptr, nullptr,
                            wc.hInstance, nullptr);
    }
    return wnd;
}

bool Has(const std::string& path)
{
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::string TextOf(const std::vector<Row>& rows, const std::string& name)
{
    for (const Row& r : rows)
        if (r.name == name)
            return r.text;
    return "<no row>";
}

struct Stored {
    std::string title;
    int flags;
};

std::vector<Stored> Store(const std::string& path)
{
    std::vector<Stored> out;
    CSubj s;
    if (!s.LoadFile(path.c_str()))
        return out;
    for (int i = 0; i < s.GetCount(); ++i)
        out.push_back(Stored{s.GetTitle(i), s.GetItem(i).atr});
    return out;
}

std::vector<std::string> Titles(const std::string& path)
{
    std::vector<std::string> t;
    for (const Stored& s : Store(path))
        t.push_back(s.title);
    return t;
}

// A store as the program leaves it: the header counters match the records
// (the walk and the posting pass go by them).
bool WriteStore(const std::string& path, const std::string& text)
{
    if (!WriteFileBytes(path, text))
        return false;
    CSubj s;
    if (!s.LoadFile(path.c_str()))
        return false;
    s.SetModified();
    return s.Update() == 1;
}

// A small but valid wave file (8 kHz, 8 bit, mono, 0.1 s of silence).
std::string Wave()
{
    const unsigned samples = 800;
    std::string w = "RIFF";
    auto u32 = [&w](unsigned v) {
        for (int i = 0; i < 4; ++i)
            w += (char)((v >> (8 * i)) & 0xFF);
    };
    auto u16 = [&w](unsigned v) {
        w += (char)(v & 0xFF);
        w += (char)((v >> 8) & 0xFF);
    };
    u32(36 + samples);
    w += "WAVEfmt ";
    u32(16);
    u16(1);
    u16(1);
    u32(8000);
    u32(8000);
    u16(1);
    u16(8);
    w += "data";
    u32(samples);
    w += std::string(samples, (char)0x80);
    return w;
}

// The request log holds bodies percent-encoded once more.
std::string Quote(const std::string& text)
{
    std::string out;
    for (unsigned char c : text) {
        if (isalnum(c) || c == '-' || c == '.' || c == '_' || c == '~') {
            out += (char)c;
        } else {
            char hex[4];
            snprintf(hex, sizeof hex, "%%%02X", c);
            out += hex;
        }
    }
    return out;
}

// What ph_stderr writes to its standard error.
std::string StderrBytes()
{
    std::string all;
    for (int i = 0; i < 256; ++i)
        all += (char)i;
    return "エラー: 接続できません\r\n" + all + all + all + all + all + "\n\r\nend";
}

class PatrolE2E : public ::testing::Test {
protected:
    void SetUp() override
    {
        g_commands.clear();
        plugins = data.Path() + "\\Plugins";   // a plug-in folder of the test's own
        root = data.Path() + "\\data";
        CreateDirectoryA(plugins.c_str(), nullptr);
        CreateDirectoryA(root.c_str(), nullptr);
        ASSERT_TRUE(CopyFileA(PluginExe("zv_ZVT.exe").c_str(), (plugins + "\\zv_ZVT.exe").c_str(), FALSE));
        ASSERT_TRUE(CopyFileA(PluginExe("zv_Orbiloom.exe").c_str(), (plugins + "\\zv_Orbiloom.exe").c_str(), FALSE));
        ASSERT_TRUE(CopyFileA(WinPath(ZEVA_PH_STDERR).c_str(), (plugins + "\\zv_Stderr.exe").c_str(), FALSE));
        ini.Open((root + "\\zeva.ini").c_str());

        params.mainWindow = MainWindow();
        params.settings = &ini;
        params.options.proxyIE = 0;
        params.options.autoConnect = 1;
        Str_Format(params.options.dataFolder, sizeof params.options.dataFolder, "%s\\", root.c_str());
        Str_Format(params.options.pluginFolder, sizeof params.options.pluginFolder, "%s\\", plugins.c_str());
    }
    void TearDown() override
    {
        if (Patrol_Window()) {
            PumpUntil([] { return !Patrol_IsRunning(); });
            SendMessageA(Patrol_Window(), WM_COMMAND, IDCANCEL, 0);
            PumpUntil([] { return Patrol_Window() == nullptr; });
        }
    }

    std::string Dir(const std::string& rel) { return root + "\\" + rel; }
    // Board settings written as the settings dialog writes them: through the
    // profile functions, whose cache then agrees with the file.
    void Board(const std::string& rel, const std::string& basic)
    {
        CreateDirectoryA(Dir(rel).c_str(), nullptr);
        std::string ini = Dir(rel) + "\\zeva_BBS.ini";
        for (const std::string& line : Split(basic, '\n')) {
            size_t eq = line.find('=');
            if (eq == std::string::npos)
                continue;
            std::string value = line.substr(eq + 1);
            if (!value.empty() && value.back() == '\r')
                value.pop_back();
            ASSERT_TRUE(WritePrivateProfileStringA("BASIC", line.substr(0, eq).c_str(), value.c_str(), ini.c_str()));
        }
    }
    std::string Basic(const std::string& rel, const char* key)
    {
        char buf[1024];
        GetPrivateProfileStringA("BASIC", key, "<none>", buf, sizeof buf, (Dir(rel) + "\\zeva_BBS.ini").c_str());
        return buf;
    }
    // Runs a patrol to its end; the window stays open.
    std::vector<Row> Patrol(int kind, const char* folder = nullptr)
    {
        EXPECT_TRUE(Patrol_Start(params, kind, folder));
        EXPECT_TRUE(Patrol_Window() != nullptr);
        EXPECT_TRUE(PumpUntil([] { return !Patrol_IsRunning(); }));
        // The last row comes with the end; the title follows it.
        EXPECT_TRUE(PumpUntil([] { return WindowText(Patrol_Window()) == "ZEVA - 巡回終了"; }, 5000));
        return Rows();
    }
    void Close()
    {
        g_commands.clear();
        SendMessageA(Patrol_Window(), WM_COMMAND, IDCANCEL, 0);
        ASSERT_TRUE(PumpUntil([] {
            return Patrol_Window() == nullptr && !g_commands.empty() && g_commands.back().id == ID_PATROL_END;
        }));
    }
    std::set<std::string> Names(const std::vector<Row>& rows)
    {
        std::set<std::string> names;
        for (const Row& r : rows)
            names.insert(r.name);
        return names;
    }

    Folder data;
    std::string plugins, root;
    CProfile ini;
    PatrolStartParams params;
};

const char kFail[] = "プロセスの起動に失敗(ヘルプを読んで下さい)";
const char kCancelled[] = "ユーザによるキャンセル";
const char kStore[] = "#T:投稿板\n#P:POST,$C,title=$T&name=$N&comment=$M\n";

TEST_F(PatrolE2E, NormalPatrolWithThreeSlotsThenASecondPatrolAddsNothing)
{
    params.options.threadCount = 3;
    ASSERT_TRUE(WriteFileBytes(data.Path() + "\\start.wav", Wave()));
    Str_Format(params.options.sound[0], sizeof params.options.sound[0], "%s\\start.wav", data.Path().c_str());
    Str_Copy(params.options.sound[2], sizeof params.options.sound[2], "C:\\no\\such.wav");

    Board("ZVT板", "LIB=ZVT\r\nURL=" + SimUrl("/pe2e/zvt/a.cgi") + "\r\nBBSFOLDER=1\r\nPARAM2=\r\n");
    Board("Orb", "LIB=Orbiloom\r\nURL=" + SimUrl("/pe2e/orb/rnall.cgi") + "\r\nBBSFOLDER=1\r\nPARAM1=\r\nPARAM2=\r\n");
    CreateDirectoryA(Dir("plain").c_str(), nullptr);
    Board("plain\\一時", "LIB=ZVT\r\nURL=" + SimUrl("/pe2e/zvt/temp.cgi") + "\r\nBBSFOLDER=2\r\n");
    Board("missing", "LIB=NoSuchType\r\nURL=" + SimUrl("/pe2e/none") + "\r\nBBSFOLDER=1\r\n");
    ASSERT_TRUE(WriteFileBytes(Dir("missing") + "\\left.zv$", "S:9,*,04/05/06,12:00\nT:残り\nN:n\nM:m\n.\n"));
    Board("unmarked", "LIB=ZVT\r\nURL=" + SimUrl("/pe2e/zvt/kind.cgi") + "\r\nBBSFOLDER=0\r\n");
    Board("stderr", "LIB=Stderr\r\nBBSFOLDER=1\r\n");
    Board("post", "LIB=ZVT\r\nURL=" + SimUrl("/pe2e/zvt/post.cgi") + "\r\nBBSFOLDER=1\r\nNAME=名無し\r\n");
    ASSERT_TRUE(WriteStore(Dir("post") + "\\main.zvt",
                               std::string(kStore) + "S:*,*,04/05/06,12:00,U\nT:投稿 一\nN:名無し\nM:本文です\n.\n"
                                                     "S:*,*,04/05/06,12:01,UB\nT:保留\nN:n\nM:m\n.\n"
                                                     "S:*,*,04/05/06,12:02,U\nT:手渡し\nN:n\nP:LIB,$C,title=$T\nM:m\n.\n"
                                                     "S:7,*,04/05/06,12:03,R\nT:取得\nN:n\nM:m\n.\n"));
    Board("err", "LIB=ZVT\r\nURL=" + SimUrl("/pe2e/zvt/err.cgi") + "\r\nBBSFOLDER=1\r\n");
    ASSERT_TRUE(WriteStore(Dir("err") + "\\main.zvt",
                               "#P:POST,$C,title=$T\nS:*,*,04/05/06,12:00,U\nT:拒否される\nN:n\nM:m\n.\n"));

    // The body the board must receive: the template expanded for the article.
    std::string body;
    {
        CSubj s;
        ASSERT_TRUE(s.LoadFile((Dir("post") + "\\main.zvt").c_str()));
        PostRequest req;
        PostRequest_Init(&req);
        ASSERT_TRUE(s.MakePostRequest(0, &req));
        body = req.body;
        PostRequest_Free(&req);
    }
    size_t postsBefore = SimRequests("/pe2e/zvt/post.cgi").size();

    std::vector<Row> rows = Patrol(PATROL_ALL);
    EXPECT_EQ(Names(rows), (std::set<std::string>{"ZVT板", "Orb", "一時", "missing", "stderr", "post", "err",
                                                   "終了しました"}));
    EXPECT_EQ(rows.back().name, "終了しました");
    EXPECT_EQ(TextOf(rows, "ZVT板"), "正常終了(未読:3)");
    EXPECT_EQ(TextOf(rows, "一時"), "正常終了(未読:2)");
    EXPECT_EQ(TextOf(rows, "Orb").find("(未読:3)") != std::string::npos, true) << TextOf(rows, "Orb");
    EXPECT_EQ(TextOf(rows, "missing"), std::string(kFail) + "(未読:1)");
    EXPECT_EQ(TextOf(rows, "stderr"), "正常終了");
    int total = Patrol_Total();
    EXPECT_GE(total, 3 + 2 + 3 + 1);
    HWND dlg = Patrol_Window();
    EXPECT_EQ(WindowText(GetDlgItem(dlg, IDCANCEL)), "閉じる");
    EXPECT_TRUE(IsWindowEnabled(GetDlgItem(dlg, IDCANCEL)));

    // Stores filled, pointers advanced, temporary mark used up.
    EXPECT_EQ(Titles(Dir("ZVT板") + "\\001.zvt"), (std::vector<std::string>{"記事 1", "記事 2", "記事 3"}));
    EXPECT_EQ(Basic("ZVT板", "PARAM2"), "4");
    EXPECT_EQ(Titles(Dir("Orb") + "\\雑談.zvt"), (std::vector<std::string>{"はじめまして", "また雑談"}));
    EXPECT_EQ(Basic("Orb", "PARAM2"), "503");
    EXPECT_EQ(Titles(Dir("plain\\一時") + "\\001.zvt").size(), 2u);
    EXPECT_EQ(Basic("plain\\一時", "BBSFOLDER"), "0");
    EXPECT_EQ(Titles(Dir("missing") + "\\left.zvt"), (std::vector<std::string>{"残り"}));
    EXPECT_FALSE(Has(Dir("missing") + "\\left.zv$"));
    EXPECT_EQ(ListFolder(Dir("unmarked")), (std::vector<std::string>{"zeva_BBS.ini"}));
    // No proxy given to the plug-ins.
    EXPECT_EQ(Basic("ZVT板", "PROXY"), "<none>");

    // Error logs: fresh for every visited board, the plug-in's stderr byte for byte.
    EXPECT_EQ(ReadFileBytes(Dir("stderr") + "\\ErrorLog.txt"), StderrBytes());
    for (const char* b : {"ZVT板", "Orb", "plain\\一時", "missing", "post", "err"})
        EXPECT_EQ(ReadFileBytes(Dir(b) + "\\ErrorLog.txt"), "") << b;

    // Posting: the due article went to the board and into "送信済み.zvt" with
    // its flags; the held one stayed; the LIB one came back from the plug-in
    // unposted and stays due; the fetch list is gone after the import.
    std::vector<Request> posts = SimRequests("/pe2e/zvt/post.cgi");
    std::vector<Request> newPosts;
    for (size_t i = postsBefore; i < posts.size(); ++i)
        if (posts[i].method == "POST")
            newPosts.push_back(posts[i]);
    ASSERT_EQ(newPosts.size(), 1u);
    EXPECT_EQ(newPosts[0].body, Quote(body));
    EXPECT_EQ(newPosts[0].referer, SimUrl("/pe2e/zvt/post.cgi"));
    std::vector<Stored> sent = Store(Dir("post") + "\\送信済み.zvt");
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_EQ(sent[0].title, "投稿 一");
    EXPECT_EQ(sent[0].flags & 0x06, 0x02);
    std::vector<Stored> left = Store(Dir("post") + "\\main.zvt");
    ASSERT_EQ(left.size(), 3u);
    std::set<std::string> leftTitles;
    for (const Stored& s : left)
        leftTitles.insert(s.title);
    EXPECT_EQ(leftTitles, (std::set<std::string>{"保留", "手渡し", "取得"}));
    for (const Stored& s : left) {
        if (s.title == "手渡し") {
            EXPECT_EQ(s.flags & 0x06, 0x02);
        }
    }
    EXPECT_FALSE(Has(Dir("post") + "\\main.zvw"));
    EXPECT_FALSE(Has(Dir("post") + "\\ReadList.tmp"));
    EXPECT_NE(ReadFileBytes(Dir("post") + "\\送信LOG.html").find("書き込みました"), std::string::npos);
    // An "ERROR:" answer keeps the article due.
    std::vector<Stored> refused = Store(Dir("err") + "\\main.zvt");
    ASSERT_EQ(refused.size(), 1u);
    EXPECT_EQ(refused[0].flags & 0x06, 0x02);
    EXPECT_FALSE(Has(Dir("err") + "\\送信済み.zvt") && !Store(Dir("err") + "\\送信済み.zvt").empty());

    // Every rewritten store was announced before and after, in pairs.
    std::vector<std::string> open;
    bool sawNew = false;
    for (const Command& c : g_commands) {
        ASSERT_TRUE(c.id == ID_PATROL_STORE_LOCK || c.id == ID_PATROL_STORE_UNLOCK) << c.id;
        if (c.id == ID_PATROL_STORE_LOCK) {
            open.push_back(c.path);
        } else {
            auto it = std::find(open.begin(), open.end(), c.path);
            ASSERT_NE(it, open.end()) << c.path;
            open.erase(it);
            if (c.path == Dir("ZVT板") + "\\001.zvt")
                sawNew = sawNew || c.high == 1;
        }
    }
    EXPECT_TRUE(open.empty());
    EXPECT_TRUE(sawNew);

    // The window follows its size; its placement is kept in GOAROUND.
    RECT before, listBefore, after, listAfter;
    GetWindowRect(dlg, &before);
    GetWindowRect(GetDlgItem(dlg, IDC_PATROL_LIST), &listBefore);
    SetWindowPos(dlg, nullptr, 10, 20, before.right - before.left + 60, before.bottom - before.top + 40,
                 SWP_NOZORDER | SWP_NOACTIVATE);
    PumpUntil([] { return false; }, 100);
    GetWindowRect(dlg, &after);
    GetWindowRect(GetDlgItem(dlg, IDC_PATROL_LIST), &listAfter);
    EXPECT_EQ(listAfter.right - listAfter.left, listBefore.right - listBefore.left + 60);
    EXPECT_EQ(listAfter.bottom - listAfter.top, listBefore.bottom - listBefore.top + 40);
    Close();
    ini.SetSection("GOAROUND");
    EXPECT_EQ(ini.GetInt("LEFT", -1), 10);
    EXPECT_EQ(ini.GetInt("TOP", -1), 20);
    EXPECT_EQ(ini.GetInt("WIDTH", -1), after.right - after.left);
    EXPECT_EQ(ini.GetInt("COLUMN0", -1), 150);
    CProfile saved;
    saved.Open((root + "\\zeva.ini").c_str());
    saved.SetSection("GOAROUND");
    EXPECT_EQ(saved.GetInt("LEFT", -1), 10);

    // A second patrol: nothing new anywhere, the stores stay as they are,
    // the temporary board is not visited again, the window opens where it was.
    std::string zvtStore = ReadFileBytes(Dir("ZVT板") + "\\001.zvt");
    std::string orbStore = ReadFileBytes(Dir("Orb") + "\\雑談.zvt");
    rows = Patrol(PATROL_ALL);
    EXPECT_EQ(Names(rows).count("一時"), 0u);
    EXPECT_EQ(TextOf(rows, "ZVT板"), "正常終了");
    EXPECT_EQ(TextOf(rows, "Orb").find("(未読"), std::string::npos);
    EXPECT_EQ(ReadFileBytes(Dir("ZVT板") + "\\001.zvt"), zvtStore);
    EXPECT_EQ(ReadFileBytes(Dir("Orb") + "\\雑談.zvt"), orbStore);
    EXPECT_EQ(Basic("ZVT板", "PARAM2"), "4");
    // "post" fetched back the article it posted; nothing else is new.
    EXPECT_EQ(Patrol_Total(), TextOf(rows, "post").find("(未読:1)") != std::string::npos ? 1 : 0);
    GetWindowRect(Patrol_Window(), &before);
    EXPECT_EQ(before.left, 10);
    EXPECT_EQ(before.top, 20);
    Close();
}

TEST_F(PatrolE2E, KindsWithOneSlot)
{
    params.options.threadCount = 1;
    Board("temp", "LIB=ZVT\r\nURL=" + SimUrl("/pe2e/zvt/kind.cgi") + "\r\nBBSFOLDER=2\r\n");
    Board("normal", "LIB=ZVT\r\nURL=" + SimUrl("/pe2e/zvt/kind.cgi") + "\r\nBBSFOLDER=1\r\n");
    Board("unmarked", "LIB=ZVT\r\nURL=" + SimUrl("/pe2e/zvt/kind.cgi") + "\r\nBBSFOLDER=0\r\n");
    Board("send", "LIB=ZVT\r\nURL=" + SimUrl("/pe2e/zvt/kind.cgi") + "\r\nBBSFOLDER=1\r\n");
    ASSERT_TRUE(WriteStore(Dir("send") + "\\main.zvt",
                               "#P:LIB,$C,title=$T\nS:*,*,04/05/06,12:00,U\nT:送る\nN:n\nM:m\n.\n"));

    std::vector<Row> rows = Patrol(PATROL_TEMPORARY);
    EXPECT_EQ(Names(rows), (std::set<std::string>{"temp", "終了しました"}));
    EXPECT_EQ(TextOf(rows, "temp"), "正常終了(未読:1)");
    Close();

    std::string unmarked = Dir("unmarked");
    rows = Patrol(PATROL_CURRENT, unmarked.c_str());
    EXPECT_EQ(Names(rows), (std::set<std::string>{"unmarked", "終了しました"}));
    EXPECT_EQ(Titles(Dir("unmarked") + "\\001.zvt"), (std::vector<std::string>{"種類 1"}));
    Close();

    rows = Patrol(PATROL_SEND);
    EXPECT_EQ(Names(rows), (std::set<std::string>{"send", "終了しました"}));
    Close();

    // All marked boards, one after another; the temporary one is used up.
    rows = Patrol(PATROL_ALL);
    EXPECT_EQ(Names(rows), (std::set<std::string>{"normal", "send", "終了しました"}));
    Close();
}

TEST_F(PatrolE2E, CancelBeforeAnyPluginStarted)
{
    params.options.threadCount = 1;
    for (const char* b : {"c1", "c2", "c3"}) {
        Board(b, "LIB=ZVT\r\nURL=" + SimUrl("/pe2e/zvt/cancel.cgi") + "\r\nBBSFOLDER=1\r\n");
        ASSERT_TRUE(WriteFileBytes(Dir(b) + "\\old.zv$", "S:3,*,04/05/06,12:00\nT:前回の残り\nN:n\nM:m\n.\n"));
    }
    size_t before = SimRequests("/pe2e/zvt/cancel.cgi").size();
    ASSERT_TRUE(Patrol_Start(params, PATROL_ALL, nullptr));
    // The first worker waits for this thread to add its row: cancel now.
    SendMessageA(Patrol_Window(), WM_COMMAND, IDCANCEL, 0);
    EXPECT_EQ(WindowText(Patrol_Window()), "ZEVA - キャンセル");
    ASSERT_TRUE(PumpUntil([] { return !Patrol_IsRunning(); }));
    PumpUntil([] { return WindowText(Patrol_Window()) == "ZEVA - 巡回終了"; }, 5000);
    std::vector<Row> rows = Rows();
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[0].text, kCancelled);
    EXPECT_EQ(rows[1].name, "終了しました");
    EXPECT_EQ(SimRequests("/pe2e/zvt/cancel.cgi").size(), before);
    // The started board imported what was there; the others keep theirs.
    for (const char* b : {"c1", "c2", "c3"}) {
        if (rows[0].name == b) {
            EXPECT_EQ(Titles(Dir(b) + "\\old.zvt"), (std::vector<std::string>{"前回の残り"}));
            EXPECT_FALSE(Has(Dir(b) + "\\old.zv$"));
        } else {
            EXPECT_TRUE(Has(Dir(b) + "\\old.zv$")) << b;
        }
    }
    Close();
}

TEST_F(PatrolE2E, CancelDuringAPluginRunWaitsForItAndImportsWhatItLeft)
{
    // A stand-in plug-in that says "ready", runs 1.5 s and says "done".
    ASSERT_TRUE(CopyFileA(WinPath(ZEVA_PH_BREAK).c_str(), (plugins + "\\zv_Break.exe").c_str(), FALSE));
    params.options.threadCount = 1;
    Board("running", "LIB=Break\r\nBBSFOLDER=1\r\n");
    ASSERT_TRUE(Patrol_Start(params, PATROL_ALL, nullptr));
    ASSERT_TRUE(PumpUntil([] { return TextOf(Rows(), "running") == "ready"; }, 20000));
    // What the plug-in has written so far.
    ASSERT_TRUE(WriteFileBytes(Dir("running") + "\\got.zv$", "S:5,*,04/05/06,12:00\nT:取得済み\nN:n\nM:m\n.\n"));
    SendMessageA(Patrol_Window(), WM_COMMAND, IDCANCEL, 0);
    EXPECT_EQ(WindowText(Patrol_Window()), "ZEVA - キャンセル");
    EXPECT_TRUE(Patrol_IsRunning());
    ASSERT_TRUE(PumpUntil([] { return !Patrol_IsRunning(); }));
    PumpUntil([] { return WindowText(Patrol_Window()) == "ZEVA - 巡回終了"; }, 5000);
    // The patrol waited for the plug-in to end, by itself or by the break.
    std::string breaks = ReadFileBytes(Dir("running") + "\\breaks.txt");
    EXPECT_TRUE(breaks == "end\n" || breaks.find("break") != std::string::npos) << breaks;
    EXPECT_EQ(TextOf(Rows(), "running"), kCancelled);
    EXPECT_EQ(Titles(Dir("running") + "\\got.zvt"), (std::vector<std::string>{"取得済み"}));
    EXPECT_FALSE(Has(Dir("running") + "\\got.zv$"));
    Close();
}

TEST_F(PatrolE2E, NoPatrolWhenDiallingFails)
{
    Board("a", "LIB=ZVT\r\nURL=" + SimUrl("/pe2e/zvt/kind.cgi") + "\r\nBBSFOLDER=1\r\n");
    static int dials;
    dials = 0;
    params.dial = [] {
        ++dials;
        return 0;
    };
    EXPECT_FALSE(Patrol_Start(params, PATROL_ALL, nullptr));
    EXPECT_EQ(Patrol_Window(), nullptr);
    EXPECT_EQ(dials, 1);
    // Unattended: dialled first whatever the result, then as AutoConnect says.
    params.options.unattended = 1;
    params.options.autoConnect = 0;
    params.dial = [] {
        ++dials;
        return 0;
    };
    params.options.closeRunWindow = 0;
    g_commands.clear();
    ASSERT_TRUE(Patrol_Start(params, PATROL_ALL, nullptr));
    EXPECT_EQ(dials, 2);
    // An unattended patrol closes its window itself and tells the main window.
    ASSERT_TRUE(PumpUntil([] {
        return Patrol_Window() == nullptr && !g_commands.empty() && g_commands.back().id == ID_PATROL_END;
    }));
}

}  // namespace
