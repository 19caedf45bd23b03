// The plug-in flow of each mode, run in a real board folder with the HTTP
// side scripted: status lines, ERROR, PARAM2, UPURL, log.html and output.
#include "base/debug.h"
#include "plugins/common/PluginApp.h"
#include "plugins/common/PluginStatus.h"
#include "plugins/orbiloom/OrbiloomConv.h"
#include "plugins/zvt/ZvtConv.h"

#include "store/subj_testutil.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {
std::string g_out;
void Capture(const char* d, size_t n)
{
    g_out.append(d, n);
}

// Answers as configured; remembers what the plug-in asked for.
class CScriptHttp : public CPluginHttp {
public:
    std::string failAt;           // "session", "connect", "request", "send", "read"
    std::vector<int> statuses{200};
    std::string body;
    size_t chunk = 5000;

    std::string userAgent, host, target, referer, user, pass;
    int port = 0, sends = 0, timeouts = 0, closed = 0;

    int OpenSession(const char* ua) override
    {
        userAgent = ua;
        return failAt != "session";
    }
    int Connect(const char* h, int p) override
    {
        host = h;
        port = p;
        return failAt != "connect";
    }
    int OpenRequest(const char* t, const char* r) override
    {
        target = t;
        referer = r;
        return failAt != "request";
    }
    void SetTimeouts(int s) override { timeouts = s; }
    int Send() override
    {
        ++sends;
        return failAt != "send";
    }
    int StatusCode() override { return statuses[(size_t)(sends - 1) < statuses.size() ? sends - 1 : 0]; }
    void SetCredentials(const char* u, const char* p) override
    {
        user = u;
        pass = p;
    }
    int Read(char* buf, size_t size, size_t* got) override
    {
        if (failAt == "read")
            return 0;
        size_t n = std::min(std::min(size, chunk), body.size() - m_pos);
        body.copy(buf, n, m_pos);
        m_pos += n;
        *got = n;
        return 1;
    }
    void Close() override { ++closed; }

private:
    size_t m_pos = 0;
};

struct Board {
    subjtest::TempDir dir;
    std::string printed;

    void Settings(const std::string& basic)
    {
        subjtest::WriteBytes(dir.File("zeva_BBS.ini"), "[BASIC]\r\n" + basic);
    }
    std::string Ini() const { return subjtest::ReadBytes(dir.File("zeva_BBS.ini")); }
    std::string File(const char* name) const { return subjtest::ReadBytes(dir.File(name)); }
    bool Has(const char* name) const { return File_Exists(dir.File(name).c_str()) != 0; }

    int Run(const PluginDef& def, const char* arg, CPluginHttp& http)
    {
        g_out.clear();
        Plugin_SetWriter(Capture);
        int rc = Plugin_Run(def, arg, dir.Path().c_str(), http);
        Plugin_SetWriter(nullptr);
        printed = g_out;
        return rc;
    }
};

const std::string kZvtAnswer =
    "#T:board\n#UU:http://example.jp/post.cgi\nS:40,*,04/01/02,12:00\nT:a\nN:n\nM:x\n.\n"
    "S:41,40,04/01/02,12:05\nT:b\nN:n\nM:y\n.\n";
}

TEST(PluginRun, ZvtFetchReportsStoresAndWrites)
{
    Board b;
    b.Settings("URL=http://example.jp:8080/cgi/zvt.cgi\r\nPARAM2=7\r\nLIB=ZVT\r\n");
    CScriptHttp http;
    http.body = kZvtAnswer + std::string(6000 - kZvtAnswer.size(), '\n');
    Debug_BeginCapture();
    EXPECT_EQ(b.Run(g_zvtPlugin, "", http), 0);
    EXPECT_EQ(Debug_Take(), "SendPassword() - FALSE\n");
    Debug_EndCapture();

    EXPECT_EQ(b.printed, " サーバに接続中...\r\n応答を待っています...\r\n5000 bytes受信\r\n6000 bytes受信\r\n"
                         "変換中...\r\n正常終了\r\n");
    EXPECT_EQ(http.userAgent, "Mozilla/4.0 (compatible; ZEVA/1.10)");
    EXPECT_EQ(http.host, "example.jp");
    EXPECT_EQ(http.port, 8080);
    EXPECT_EQ(http.target, "cgi/zvt.cgi?point=7");
    EXPECT_EQ(http.referer, "http://example.jp:8080/cgi/zvt.cgi");
    EXPECT_EQ(http.timeouts, 1);
    EXPECT_EQ(http.sends, 1);
    // New keys are added to BASIC in the plug-in's spelling; PARAM2 replaced.
    EXPECT_EQ(b.Ini(), "[BASIC]\r\nURL=http://example.jp:8080/cgi/zvt.cgi\r\nPARAM2=42\r\nLIB=ZVT\r\n"
                       "UPURL=http://example.jp/post.cgi\r\nERROR=正常終了\r\n");
    EXPECT_EQ(b.File("001.zv$"), http.body);
    EXPECT_EQ(b.File("log.html"),
              "このファイルは「ZEVA用ZVT形式プラグイン(zv_ZVT)」によって作成されました。\n"
              "このファイルは不要ならばいつでも削除可能です。\n" + http.body);
}

TEST(PluginRun, AuthenticationIsTriedOnceAfter401)
{
    Board b;
    b.Settings("URL=h/x\r\nUSER=me\r\nPASS=pw\r\n");
    CScriptHttp http;
    http.statuses = {401, 401};
    http.body = "<html>denied</html>";
    Debug_BeginCapture();
    EXPECT_EQ(b.Run(g_zvtPlugin, "", http), 0);
    EXPECT_EQ(Debug_Take(), "SendPassword() - TRUE\n");
    Debug_EndCapture();
    EXPECT_EQ(http.sends, 2);
    EXPECT_EQ(http.user, "me");
    EXPECT_EQ(http.pass, "pw");
    // The second answer is read and converted whatever it is.
    EXPECT_EQ(b.File("001.zv$"), "<html>denied</html>");
}

TEST(PluginRun, EachFailureReportsItsTextAndKeepsThePointer)
{
    const struct {
        const char* at;
        const char* text;
        const char* lines;
    } cases[] = {
        {"session", "WinInet 初期化エラー", ""},
        {"connect", "サーバとの接続に失敗", " サーバに接続中...\r\n"},
        {"request", "ファイルがありません", " サーバに接続中...\r\n応答を待っています...\r\n"},
        {"send", "HTTPサーバへの要求に失敗", " サーバに接続中...\r\n応答を待っています...\r\n"},
        {"read", "HTTPファイルの読み込みに失敗", " サーバに接続中...\r\n応答を待っています...\r\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.at);
        Board b;
        b.Settings("URL=h/x\r\nPARAM2=5\r\n");
        CScriptHttp http;
        http.failAt = c.at;
        http.body = kZvtAnswer;
        EXPECT_EQ(b.Run(g_orbiloomPlugin, "", http), -1);
        EXPECT_EQ(b.printed, std::string(c.lines) + c.text + "\r\n");
        EXPECT_EQ(b.Ini(), std::string("[BASIC]\r\nURL=h/x\r\nPARAM2=5\r\nERROR=") + c.text + "\r\n");
        EXPECT_FALSE(b.Has("log.html"));
    }
}

TEST(PluginRun, EmptyBodyStillConvertsAndSucceeds)
{
    Board b;
    b.Settings("URL=h/x\r\nPARAM2=9\r\n");
    CScriptHttp http;
    EXPECT_EQ(b.Run(g_zvtPlugin, "", http), 0);
    EXPECT_EQ(b.printed, " サーバに接続中...\r\n応答を待っています...\r\n変換中...\r\n正常終了\r\n");
    EXPECT_EQ(b.File("001.zv$"), "");
    EXPECT_NE(b.Ini().find("PARAM2=9\r\n"), std::string::npos);
}

TEST(PluginRun, OrbiloomQueryFromPointerOrCount)
{
    const struct {
        const char* settings;
        const char* target;
    } cases[] = {
        {"", "rnall.cgi?point=-100"},
        {"PARAM1=50\r\n", "rnall.cgi?point=-50"},
        {"PARAM1=50\r\nPARAM2=1234\r\n", "rnall.cgi?point=1234"},
        {"PARAM1=0\r\nPARAM2=-3\r\n", "rnall.cgi?point=-100"},
    };
    for (const auto& c : cases) {
        Board b;
        b.Settings(std::string("URL=http://h/rnall.cgi\r\n") + c.settings);
        CScriptHttp http;
        http.body = "(host)Serial-number:77\n";
        EXPECT_EQ(b.Run(g_orbiloomPlugin, "", http), 0);
        EXPECT_EQ(http.target, c.target);
        EXPECT_NE(b.Ini().find("PARAM2=77"), std::string::npos);
    }
}

TEST(PluginRun, OrbiloomAppendsToItsLog)
{
    Board b;
    b.Settings("URL=http://h/rnall.cgi\r\n");
    for (int i = 0; i < 2; ++i) {
        CScriptHttp http;
        http.body = "body\r\n";
        EXPECT_EQ(b.Run(g_orbiloomPlugin, "", http), 0);
    }
    const std::string head = "<br><div align=\"center\">----- zv_Orbiloom -----</div><br>";
    EXPECT_EQ(b.File("log.html"), head + "body\r\n" + head + "body\r\n");
    // No serial number: PARAM2 is not written.
    EXPECT_EQ(b.Ini().find("PARAM2"), std::string::npos);
}

TEST(PluginRun, FileModeConvertsASavedAnswer)
{
    Board b;
    b.Settings("PARAM2=3\r\n");
    std::string saved = "#T:b\r\n#UU:http://p/\r\nS:9,*,04/01/02,12:00\r\nT:\x83\r\r\nM:a\n\r\n\rb\r\n.\r\n";
    ASSERT_TRUE(subjtest::WriteBytes(b.dir.File("saved.html"), saved));
    CScriptHttp http;
    http.failAt = "session";
    EXPECT_EQ(b.Run(g_zvtPlugin, b.dir.File("saved.html").c_str(), http), 0);
    EXPECT_EQ(b.printed, "変換中...\r\n");
    EXPECT_EQ(b.File("001.zv$"), "#T:b\n#UU:http://p/\nS:9,*,04/01/02,12:00\nT:\x83\r\nM:a\n\nb\n.\n");
    EXPECT_FALSE(b.Has("log.html"));
    EXPECT_EQ(b.Ini(), "[BASIC]\r\nPARAM2=3\r\nUPURL=http://p/\r\n");
}

TEST(PluginRun, FileModeMissingFileIsReportedInBasic)
{
    Board b;
    b.Settings("PARAM2=3\r\n");
    CScriptHttp http;
    EXPECT_EQ(b.Run(g_orbiloomPlugin, b.dir.File("nothing.html").c_str(), http), 0);
    EXPECT_EQ(b.printed, "ファイルが開けません\r\n");
    EXPECT_NE(b.Ini().find("ERROR=ファイルが開けません"), std::string::npos);
    EXPECT_EQ(http.sends, 0);
}

TEST(PluginRun, DialogModeWritesTheEntriesInOrder)
{
    Board b;
    b.Settings("URL=u\r\n");
    CScriptHttp http;
    EXPECT_EQ(b.Run(g_zvtPlugin, "i", http), 1);
    EXPECT_EQ(b.printed, "");
    EXPECT_EQ(http.sends, 0);
    EXPECT_EQ(b.Ini(),
              "[BASIC]\r\nURL=u\r\n[DIALOG]\r\nURL=1\r\nUPURL=1\r\nNAME=1\r\nEMAIL=1\r\nHP=1\r\nKEY=1\r\n"
              "USER=1\r\nPASS=1\r\nPARAM1=1\r\nPARAM2=1\r\n_URL=掲示板のアドレス(URL)(&A):\r\n"
              "_UPURL=書き込み先アドレス(URL):\r\n_NAME=名前:\r\n_EMAIL=e-mailアドレス:\r\n"
              "_HP=ホームページ:\r\n_KEY=削除キー(&K):\r\n_USER=ユーザ名\r\n_PASS=パスワード\r\n"
              "_PARAM1=パラメータ\r\n_PARAM2=未読ポインタ\r\n");
}
