// The plug-in runner with real processes: launching in the board folder,
// command lines per kind, pipes, the error log, cancelling, the launch lock.
#include "base/profile.h"
#include "pluginhost/PluginHost.h"
#include "../pluginhost_testutil.h"

#include <gtest/gtest.h>

#include <algorithm>

#include <string>
#include <thread>
#include <vector>

using phtest::ReadBytes;
using phtest::TempDir;
using phtest::WinPath;

namespace {

std::string Prog(const char* name)
{
    return WinPath(ZEVA_PH_PROGS) + "\\" + name + ".exe";
}

template <class F>
bool WaitFor(F cond, int ms = 5000)
{
    for (int t = 0; t < ms; t += 20) {
        if (cond())
            return true;
        Sleep(20);
    }
    return cond();
}

struct RecordingSink : CPluginStatusSink {
    std::vector<std::string> shown;
    void ShowStatus(const char* text) override { shown.push_back(text); }
};

class PluginRunner : public ::testing::Test {
protected:
    void SetUp() override
    {
        GetCurrentDirectoryA(sizeof(m_cwd), m_cwd);
        plugins = dir.Sub("Plugins");
        board = dir.Sub("board");
    }
    void TearDown() override { SetCurrentDirectoryA(m_cwd); }

    void Install(const char* prog, const std::string& as, std::string folder = "")
    {
        if (folder.empty())
            folder = plugins;
        ASSERT_TRUE(CopyFileA(Prog(prog).c_str(), (folder + as).c_str(), FALSE)) << prog;
    }
    PluginRunOptions Options()
    {
        PluginRunOptions o;
        o.pluginFolder = plugins.c_str();
        o.perl = perl.c_str();
        o.ruby = ruby.c_str();
        o.multiWindow = multiWindow;
        return o;
    }
    // Starts and waits without pipes, as the dialog and the import do.
    bool RunPlain(const char* type, const char* arg, bool visible = true)
    {
        PluginLaunchRequest req = {board.c_str(), type, arg, visible, nullptr, nullptr, nullptr};
        HANDLE h = Plugin_Launch(req, Options(), nullptr);
        if (!h)
            return false;
        EXPECT_EQ(WAIT_OBJECT_0, WaitForSingleObject(h, 10000));
        CloseHandle(h);
        return true;
    }
    // Starts with both pipes and follows the run as a patrol worker does.
    bool RunWatched(const char* type, const char* arg = nullptr, const std::atomic<int>* cancel = nullptr)
    {
        HANDLE outR, outW, errR, errW;
        if (!Plugin_CreatePipe(&outR, &outW) || !Plugin_CreatePipe(&errR, &errW))
            return false;
        HANDLE log = CreateFileA((board + "ErrorLog.txt").c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                                 CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
        DWORD pid = 0;
        PluginLaunchRequest req = {board.c_str(), type, arg, true, outW, errW, &pid};
        HANDLE h = Plugin_Launch(req, Options(), &lock);
        if (h) {
            EXPECT_NE(0u, pid);
            Plugin_Watch(h, pid, outR, errR, log, &sink, cancel, multiWindow);
            EXPECT_EQ(WAIT_OBJECT_0, WaitForSingleObject(h, 0)) << "watch returned before the end";
            CloseHandle(h);
        }
        CloseHandle(log);
        for (HANDLE x : {outR, outW, errR, errW})
            CloseHandle(x);
        return h != nullptr;
    }

    TempDir dir;
    std::string plugins, board;
    std::string perl = "perl", ruby = "ruby";
    bool multiWindow = false;
    CCritSec lock;
    RecordingSink sink;

private:
    char m_cwd[MAX_PATH];
};

std::vector<std::string> Lines(const std::string& text)
{
    std::vector<std::string> out;
    size_t pos = 0;
    while (pos < text.size()) {
        size_t nl = text.find('\n', pos);
        if (nl == std::string::npos)
            nl = text.size();
        out.push_back(text.substr(pos, nl - pos));
        pos = nl + 1;
    }
    return out;
}

std::string NoSlash(const std::string& folder)
{
    return folder.substr(0, folder.size() - 1);
}

} // namespace

TEST_F(PluginRunner, LastTextWithoutLineEndIsShown)
{
    Install("ph_bytes", "zv_Bytes.exe");
    ASSERT_TRUE(RunWatched("Bytes"));
    ASSERT_FALSE(sink.shown.empty());
    EXPECT_EQ("1000 bytes受信", sink.shown.front());
    EXPECT_EQ("3000 bytes受信", sink.shown.back());
    EXPECT_NE(sink.shown.end(), std::find(sink.shown.begin(), sink.shown.end(), "2000 bytes受信"));
}

TEST_F(PluginRunner, LineWrittenInTwoPiecesIsShownWhole)
{
    Install("ph_split", "zv_Split.exe");
    ASSERT_TRUE(RunWatched("Split"));
    ASSERT_FALSE(sink.shown.empty());
    EXPECT_EQ("変換中...", sink.shown.back());
    // Whatever was shown before is the start of that line, never its rest.
    for (const std::string& s : sink.shown)
        EXPECT_EQ(0u, std::string("変換中...").find(s)) << s;
}

TEST_F(PluginRunner, StandardErrorGoesToTheErrorLogByteForByte)
{
    Install("ph_stderr", "zv_Err.exe");
    ASSERT_TRUE(RunWatched("Err"));
    std::string all;
    for (int i = 0; i < 256; i++)
        all += (char)i;
    std::string expected = "エラー: 接続できません\r\n" + all + all + all + all + all + "\n\r\nend";
    EXPECT_EQ(expected, ReadBytes(board + "ErrorLog.txt"));
    EXPECT_EQ((std::vector<std::string>{"変換中...", "正常終了"}), sink.shown);
}

TEST_F(PluginRunner, ExecutableRunsInTheBoardFolderFromLIB)
{
    Install("ph_cmdline", "zv_Cmd.exe");
    Profile_WriteString("BASIC", "LIB", "Cmd", (board + "zeva_BBS.ini").c_str());
    ASSERT_TRUE(RunPlain(nullptr, nullptr));
    std::vector<std::string> rec = Lines(ReadBytes(board + "cmdline.txt"));
    ASSERT_GE(rec.size(), 2u);
    EXPECT_EQ(plugins + "zv_Cmd.exe", rec[0]);   // not quoted
    EXPECT_EQ(NoSlash(board), rec[1]);
    // The host's own folder follows the board.
    char cwd[MAX_PATH];
    GetCurrentDirectoryA(sizeof(cwd), cwd);
    EXPECT_EQ(NoSlash(board), cwd);

    // Dialog mode: the quoted letter i.
    DeleteFileA((board + "cmdline.txt").c_str());
    ASSERT_TRUE(RunPlain("Cmd", "i", false));
    EXPECT_EQ(plugins + "zv_Cmd.exe \"i\"", Lines(ReadBytes(board + "cmdline.txt"))[0]);
}

TEST_F(PluginRunner, ExecutablePathWithSpacesStartsThatExecutable)
{
    // Read unquoted, "...\Plug ins\zv_Cmd.exe" would first mean "...\Plug.exe"
    // on Windows (Wine tries the longer name itself, so there it passes either way).
    std::string spaced = dir.Sub("Plug ins");
    Install("ph_cmdline", "zv_Cmd.exe", spaced);
    Install("ph_interp", "Plug.exe", dir.Path());
    plugins = spaced;
    ASSERT_TRUE(RunPlain("Cmd", nullptr));
    std::vector<std::string> rec = Lines(ReadBytes(board + "cmdline.txt"));
    ASSERT_GE(rec.size(), 1u);
    EXPECT_EQ(spaced + "zv_Cmd.exe", rec[0]);
    EXPECT_FALSE(File_Exists((board + "interp.txt").c_str()));
}

TEST_F(PluginRunner, ScriptsRunThroughTheirInterpreters)
{
    // Ruby at a path with a space: interpreter and script are quoted.
    std::string rubyDir = dir.Sub("my ruby");
    Install("ph_interp", "ruby.exe", rubyDir);
    ruby = rubyDir + "ruby.exe";
    phtest::WriteBytes(plugins + "zv_Rb.rb", "# version 1.0 by Someone\n");
    ASSERT_TRUE(RunPlain("Rb", nullptr));
    std::vector<std::string> rec = Lines(ReadBytes(board + "interp.txt"));
    ASSERT_GE(rec.size(), 2u);
    EXPECT_EQ("\"" + ruby + "\" -KS \"" + plugins + "zv_Rb.rb\"", rec[0]);
    EXPECT_EQ(NoSlash(board), rec[1]);

    // Perl, from LIB, with a file path argument.
    DeleteFileA((board + "interp.txt").c_str());
    std::string perlDir = dir.Sub("perl");
    Install("ph_interp", "perl.exe", perlDir);
    perl = perlDir + "perl.exe";
    phtest::WriteBytes(plugins + "zv_Pl.pl", "#!perl\n");
    Profile_WriteString("BASIC", "LIB", "Pl", (board + "zeva_BBS.ini").c_str());
    ASSERT_TRUE(RunPlain(nullptr, "C:\\saved page.html"));
    rec = Lines(ReadBytes(board + "interp.txt"));
    ASSERT_GE(rec.size(), 1u);
    EXPECT_EQ("\"" + perl + "\" \"" + plugins + "zv_Pl.pl\" \"C:\\saved page.html\"", rec[0]);

    // A script given with GAMultiWindow still starts detached in dialog mode.
    DeleteFileA((board + "interp.txt").c_str());
    multiWindow = true;
    ASSERT_TRUE(RunPlain("Pl", "i", false));
    EXPECT_TRUE(File_Exists((board + "interp.txt").c_str()));
}

TEST_F(PluginRunner, FailuresReturnNoProcess)
{
    // The look-up never fails, the start does.
    EXPECT_FALSE(RunPlain("Missing", nullptr));
    phtest::WriteBytes(plugins + "zv_Rb.rb", "#\n");
    ruby = dir.Path() + "no ruby\\ruby.exe";
    EXPECT_FALSE(RunPlain("Rb", nullptr));
    // A board folder that does not exist is never replaced by another one.
    Install("ph_cmdline", "zv_Cmd.exe");
    board = dir.Path() + "gone\\";
    EXPECT_FALSE(RunPlain("Cmd", nullptr));
}

TEST(PluginRunnerFlags, PerRequest)
{
    EXPECT_EQ((DWORD)CREATE_NEW_PROCESS_GROUP, Plugin_CreationFlags(true, false, PLUGIN_EXE));
    EXPECT_EQ((DWORD)(CREATE_NEW_PROCESS_GROUP | DETACHED_PROCESS), Plugin_CreationFlags(false, false, PLUGIN_PERL));
    EXPECT_EQ((DWORD)CREATE_NEW_PROCESS_GROUP, Plugin_CreationFlags(true, true, PLUGIN_EXE));
    EXPECT_EQ((DWORD)(CREATE_NEW_PROCESS_GROUP | CREATE_NEW_CONSOLE), Plugin_CreationFlags(true, true, PLUGIN_RUBY));
    EXPECT_EQ((DWORD)(CREATE_NEW_PROCESS_GROUP | CREATE_NEW_CONSOLE), Plugin_CreationFlags(true, true, PLUGIN_NONE));
    EXPECT_EQ((DWORD)(CREATE_NEW_PROCESS_GROUP | DETACHED_PROCESS), Plugin_CreationFlags(false, true, PLUGIN_RUBY));
}

TEST_F(PluginRunner, LaunchLockKeepsEachPluginInItsOwnFolder)
{
    Install("ph_cmdline", "zv_Cmd.exe");
    std::vector<std::string> boards;
    for (int i = 0; i < 4; i++)
        boards.push_back(dir.Sub("board" + std::to_string(i)));
    PluginRunOptions opt = Options();
    std::vector<std::thread> threads;
    for (int i = 0; i < 4; i++) {
        threads.emplace_back([&, i] {
            for (int k = 0; k < 3; k++) {
                PluginLaunchRequest req = {boards[i].c_str(), "Cmd", nullptr, true, nullptr, nullptr, nullptr};
                HANDLE h = Plugin_Launch(req, opt, &lock);
                if (h) {
                    WaitForSingleObject(h, 10000);
                    CloseHandle(h);
                }
            }
        });
    }
    for (auto& t : threads)
        t.join();
    for (int i = 0; i < 4; i++) {
        std::vector<std::string> rec = Lines(ReadBytes(boards[i] + "cmdline.txt"));
        ASSERT_EQ(9u, rec.size()) << i;   // three runs of three lines each
        for (int k = 0; k < 3; k++)
            EXPECT_EQ(NoSlash(boards[i]), rec[k * 3 + 1]) << i;
    }
}

TEST_F(PluginRunner, CancelledRunIsWaitedForToItsEnd)
{
    // The program ignores breaks and ends by itself after about 1.5 s. Wine
    // delivers no console control events to other processes, so there the
    // record holds no break at all; on Windows it holds exactly one.
    Install("ph_break", "zv_Brk.exe");
    std::atomic<int> cancel{1};
    ASSERT_TRUE(RunWatched("Brk", "ignore", &cancel));
    ASSERT_FALSE(sink.shown.empty());
    EXPECT_EQ("done", sink.shown.back());
    std::string rec = ReadBytes(board + "breaks.txt");
    EXPECT_EQ("end\n", rec.substr(rec.size() - 4));
    EXPECT_LE(rec.size(), std::string("break\nend\n").size()) << rec;

    // With GAMultiWindow no break is sent; the run ends all the same.
    DeleteFileA((board + "breaks.txt").c_str());
    sink.shown.clear();
    multiWindow = true;
    ASSERT_TRUE(RunWatched("Brk", "ignore", &cancel));
    EXPECT_EQ("done", sink.shown.back());
    EXPECT_EQ("end\n", ReadBytes(board + "breaks.txt"));
}
