// The runner's portable logic: command lines, output lines, and the watch
// loop driven through a scripted process.
#include "pluginhost/PluginRun.h"

#include <gtest/gtest.h>

#include <deque>
#include <string>
#include <vector>

namespace {

struct RecordingSink : CPluginStatusSink {
    std::vector<std::string> shown;
    void ShowStatus(const char* text) override { shown.push_back(text); }
};

std::string Cmd(PluginKind kind, const char* path, const char* arg)
{
    char buf[1024];
    EXPECT_EQ(1, Plugin_BuildCommandLine(buf, sizeof(buf), kind, path, "C:\\Perl\\bin\\perl.exe",
                                         "C:\\My Ruby\\ruby.exe", arg));
    return buf;
}

} // namespace

TEST(PluginCommandLine, PerKindAndArgument)
{
    const char* exe = "C:\\Program Files\\ZEVA\\Plugins\\zv_ZVT.exe";
    EXPECT_EQ("C:\\Program Files\\ZEVA\\Plugins\\zv_ZVT.exe", Cmd(PLUGIN_EXE, exe, nullptr));
    EXPECT_EQ("C:\\Program Files\\ZEVA\\Plugins\\zv_ZVT.exe \"i\"", Cmd(PLUGIN_EXE, exe, "i"));
    EXPECT_EQ("\"C:\\My Ruby\\ruby.exe\" -KS \"C:\\P\\zv_R.rb\"", Cmd(PLUGIN_RUBY, "C:\\P\\zv_R.rb", nullptr));
    EXPECT_EQ("\"C:\\Perl\\bin\\perl.exe\" \"C:\\P\\zv_L.pl\" \"D:\\saved page.html\"",
              Cmd(PLUGIN_PERL, "C:\\P\\zv_L.pl", "D:\\saved page.html"));
    EXPECT_EQ("\"C:\\Perl\\bin\\perl.exe\" \"C:\\P\\zv_X\"", Cmd(PLUGIN_NONE, "C:\\P\\zv_X", nullptr));
    // An empty argument is still an argument.
    EXPECT_EQ("C:\\P\\zv_A.exe \"\"", Cmd(PLUGIN_EXE, "C:\\P\\zv_A.exe", ""));
}

TEST(PluginCommandLine, TooLongIsCutAndReported)
{
    char small[16];
    EXPECT_EQ(0, Plugin_BuildCommandLine(small, sizeof(small), PLUGIN_RUBY, "C:\\P\\zv_R.rb", "perl", "ruby",
                                         nullptr));
    EXPECT_EQ(15u, strlen(small));
    char buf[32];
    EXPECT_EQ(0, Plugin_BuildCommandLine(buf, sizeof(buf), PLUGIN_EXE, "C:\\P\\zv_A.exe", "perl", "ruby",
                                         "a long argument here"));
    EXPECT_EQ(31u, strlen(buf));
}

TEST(PluginCommandLine, BoardFolderLosesOneTrailingBackslash)
{
    char out[260];
    Plugin_BoardFolderForCd(out, sizeof(out), "C:\\data\\board\\");
    EXPECT_STREQ("C:\\data\\board", out);
    Plugin_BoardFolderForCd(out, sizeof(out), "C:\\data\\board\\\\");
    EXPECT_STREQ("C:\\data\\board\\", out);
    Plugin_BoardFolderForCd(out, sizeof(out), "C:\\data\\board");
    EXPECT_STREQ("C:\\data\\board", out);
    // "表" ends in 0x5C: that byte is part of the character, not a separator.
    Plugin_BoardFolderForCd(out, sizeof(out), "C:\\data\\表");
    EXPECT_STREQ("C:\\data\\表", out);
    Plugin_BoardFolderForCd(out, sizeof(out), "C:\\data\\表\\");
    EXPECT_STREQ("C:\\data\\表", out);
}

TEST(PluginLineSplitter, LinesAndOpenLines)
{
    RecordingSink sink;
    CPluginLineSplitter s;
    std::string chunk = " サーバに接続中...\r\n応答を待っています...\r\n1000 bytes受信\r\n2000 bytes受信";
    s.Feed(chunk.data(), chunk.size(), &sink);
    EXPECT_EQ((std::vector<std::string>{" サーバに接続中...", "応答を待っています...", "1000 bytes受信",
                                        "2000 bytes受信"}),
              sink.shown);

    // The open line goes on with the next chunk; LF alone ends a line too.
    sink.shown.clear();
    std::string more = "!\n変換中...\n";
    s.Feed(more.data(), more.size(), &sink);
    EXPECT_EQ((std::vector<std::string>{"2000 bytes受信!", "変換中..."}), sink.shown);
}

TEST(PluginLineSplitter, SplitsAcrossChunksAndCR)
{
    RecordingSink sink;
    CPluginLineSplitter s;
    // "変換中..." cut inside the double-byte "中", its CR LF cut in two as well.
    std::string text = "変換中...\r\n";
    size_t cut = std::string("変換").size() + 1;
    s.Feed(text.data(), cut, &sink);
    s.Feed(text.data() + cut, text.size() - cut - 1, &sink);
    s.Feed(text.data() + text.size() - 1, 1, &sink);
    ASSERT_EQ(3u, sink.shown.size());
    EXPECT_EQ(text.substr(0, cut), sink.shown[0]);
    EXPECT_EQ("変換中...", sink.shown[1]);   // open line, CR held back
    EXPECT_EQ("変換中...", sink.shown[2]);   // ended by the LF of the last chunk

    // A CR not followed by LF stays in the line, also across chunks.
    sink.shown.clear();
    s.Feed("a\rb", 3, &sink);
    s.Feed("c\r", 2, &sink);
    s.Feed("d\r\n", 3, &sink);
    EXPECT_EQ((std::vector<std::string>{"a\rb", "a\rbc", "a\rbc\rd"}), sink.shown);

    // Empty lines are shown as empty status texts.
    sink.shown.clear();
    s.Feed("\r\n\n", 3, &sink);
    EXPECT_EQ((std::vector<std::string>{"", ""}), sink.shown);
}

TEST(PluginLineSplitter, KeepsFirst299BytesOfALine)
{
    RecordingSink sink;
    CPluginLineSplitter s;
    std::string a(250, 'a'), b(250, 'b');
    s.Feed(a.data(), a.size(), &sink);
    s.Feed(b.data(), b.size(), &sink);
    s.Feed("\nnext\n", 6, &sink);
    ASSERT_EQ(4u, sink.shown.size());
    EXPECT_EQ(a + std::string(49, 'b'), sink.shown[1]);
    EXPECT_EQ(a + std::string(49, 'b'), sink.shown[2]);
    EXPECT_EQ("next", sink.shown[3]);
}

namespace {

// A plug-in played from a script: each step says what the pipes hold and
// whether the process has ended when the watcher next looks.
struct Step {
    std::string out, err;
    bool ended;
};

class ScriptedIo : public CPluginWatchIo {
public:
    std::deque<Step> steps;
    std::string pendingOut, pendingErr, log;
    bool ended = false;
    int breaks = 0, sleeps = 0, readsOut = 0;
    std::atomic<int>* cancelAt = nullptr;   // set when the script runs out of steps
    int maxSleeps = 1000;

    void Advance()
    {
        if (steps.empty())
            return;
        Step s = steps.front();
        steps.pop_front();
        pendingOut += s.out;
        pendingErr += s.err;
        ended = ended || s.ended;
    }
    size_t PeekOut() override { return pendingOut.size(); }
    size_t ReadOut(char* buf, size_t n) override
    {
        readsOut++;
        n = std::min(n, pendingOut.size());
        memcpy(buf, pendingOut.data(), n);
        pendingOut.erase(0, n);
        return n;
    }
    size_t PeekErr() override { return pendingErr.size(); }
    size_t ReadErr(char* buf, size_t n) override
    {
        n = std::min(n, pendingErr.size());
        memcpy(buf, pendingErr.data(), n);
        pendingErr.erase(0, n);
        return n;
    }
    void AppendErrorLog(const char* data, size_t n) override { log.append(data, n); }
    bool HasEnded() override { return ended; }
    void SendBreak() override { breaks++; }
    void Sleep(unsigned ms) override
    {
        EXPECT_EQ(100u, ms);
        sleeps++;
        if (sleeps > maxSleeps) {
            ADD_FAILURE() << "watcher does not stop";
            ended = true;
        }
        Advance();
    }
};

} // namespace

TEST(PluginWatchLoop, ReadsEverythingAndSleepsOnlyWhenIdle)
{
    ScriptedIo io;
    RecordingSink sink;
    // 700 bytes of stdout at once: read in 300-byte chunks without sleeping.
    std::string big;
    for (int i = 0; i < 50; i++)
        big += std::to_string(1000 * i) + " bytes受信\r\n";
    io.pendingOut = big;
    io.steps = {{"", "", false}, {"変換", "", false}, {"中...\r\n正常終了", "", true}};
    Plugin_WatchLoop(io, &sink, nullptr, false);
    EXPECT_EQ((int)(big.size() + 299) / 300 + 2, io.readsOut);   // 300-byte reads, then two chunks
    EXPECT_EQ(3, io.sleeps);
    ASSERT_GE(sink.shown.size(), 3u);
    EXPECT_EQ("変換中...", sink.shown[sink.shown.size() - 2]);
    EXPECT_EQ("正常終了", sink.shown.back());
    EXPECT_EQ(0, io.breaks);
}

TEST(PluginWatchLoop, OutputWrittenJustBeforeTheEndIsRead)
{
    // The process has ended by the time output is first seen.
    ScriptedIo io;
    RecordingSink sink;
    io.ended = true;
    io.pendingOut = "最後の行";
    std::string err;
    for (int i = 0; i < 1000; i++)
        err += (char)(i * 7);
    io.pendingErr = err;
    Plugin_WatchLoop(io, &sink, nullptr, false);
    EXPECT_EQ((std::vector<std::string>{"最後の行"}), sink.shown);
    // stderr arrives byte for byte even when it is longer than one round's read.
    EXPECT_EQ(err, io.log);
    EXPECT_EQ(0, io.sleeps);
}

TEST(PluginWatchLoop, CancelSendsOneBreakAndKeepsWaiting)
{
    std::atomic<int> cancel{0};
    ScriptedIo io;
    RecordingSink sink;
    for (int i = 0; i < 5; i++)
        io.steps.push_back({"", "", false});
    io.steps.push_back({"中断\r\n", "", false});
    for (int i = 0; i < 5; i++)
        io.steps.push_back({"", "", false});
    io.steps.push_back({"", "", true});
    cancel = 1;
    Plugin_WatchLoop(io, &sink, &cancel, false);
    EXPECT_EQ(1, io.breaks);
    EXPECT_EQ((std::vector<std::string>{"中断"}), sink.shown);
    EXPECT_EQ(12, io.sleeps);   // the run is waited for to its end
}

TEST(PluginWatchLoop, NoBreakWithMultiWindowOrWithoutCancel)
{
    std::atomic<int> cancel{1};
    ScriptedIo io;
    io.steps = {{"", "", false}, {"", "", false}, {"", "", true}};
    Plugin_WatchLoop(io, nullptr, &cancel, true);
    EXPECT_EQ(0, io.breaks);
    EXPECT_EQ(3, io.sleeps);

    std::atomic<int> idle{0};
    ScriptedIo io2;
    io2.steps = {{"", "", false}, {"", "", true}};
    Plugin_WatchLoop(io2, nullptr, &idle, false);
    EXPECT_EQ(0, io2.breaks);

    // A break is sent once the flag is set during the run, not before.
    ScriptedIo io3;
    std::atomic<int> later{0};
    struct CancellingIo : ScriptedIo {
        std::atomic<int>* flag;
        void Sleep(unsigned ms) override
        {
            ScriptedIo::Sleep(ms);
            if (sleeps == 3)
                *flag = 1;
        }
    } io4;
    io4.flag = &later;
    for (int i = 0; i < 6; i++)
        io4.steps.push_back({"", "", i == 5});
    Plugin_WatchLoop(io4, nullptr, &later, false);
    EXPECT_EQ(1, io4.breaks);
}
