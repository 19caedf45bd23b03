// The WinINet poster against the local board simulator (ZEVA_SIM_PORT): the
// request the board receives, the status texts in order, the response log,
// error answers, authentication by server and proxy, and the posting pass
// end to end.
#include "patrol/HttpPost_win.h"
#include "patrol/Posting.h"

#include "base/debug.h"
#include "base/fileio.h"
#include "base/profile.h"
#include "pluginhost/PluginRun.h"
#include "store/Subj.h"
#include "store/subj_testutil.h"

#include <gtest/gtest.h>

#include <stdlib.h>
#include <string>
#include <vector>
#include <windows.h>
#include <wininet.h>

using subjtest::Parse;
using subjtest::ReadBytes;
using subjtest::TempDir;
using subjtest::WriteBytes;
using subjtest::Written;

namespace {

using Texts = std::vector<std::string>;

int Port(const char* var)
{
    const char* v = getenv(var);
    return v ? atoi(v) : 0;
}

std::string SimUrl(const std::string& path, const char* scheme = "http")
{
    return std::string(scheme) + "://127.0.0.1:" + std::to_string(Port("ZEVA_SIM_PORT")) + path;
}

std::string HttpGet(const std::string& url)
{
    std::string out;
    HINTERNET s = InternetOpenA("test", INTERNET_OPEN_TYPE_DIRECT, nullptr, nullptr, 0);
    if (!s)
        return out;
    HINTERNET r = InternetOpenUrlA(s, url.c_str(), nullptr, 0, INTERNET_FLAG_RELOAD | INTERNET_FLAG_NO_UI, 0);
    if (r) {
        char buf[4096];
        DWORD got = 0;
        while (InternetReadFile(r, buf, sizeof buf, &got) && got)
            out.append(buf, got);
        InternetCloseHandle(r);
    }
    InternetCloseHandle(s);
    return out;
}

std::string PercentDecode(const std::string& s)
{
    std::string out;
    for (size_t i = 0; i < s.size(); ++i) {
        if (s[i] == '%' && i + 2 < s.size()) {
            out += (char)strtol(s.substr(i + 1, 2).c_str(), nullptr, 16);
            i += 2;
        } else {
            out += s[i];
        }
    }
    return out;
}

struct Recorded {
    std::string method, target, auth, referer, agent, cache, body;
};

// What the simulator received at paths starting with prefix, in order.
std::vector<Recorded> Requests(const std::string& prefix)
{
    std::vector<Recorded> out;
    std::string text = HttpGet(SimUrl("/_sim/requests?prefix=" + prefix));
    size_t pos = 0;
    while (pos < text.size()) {
        size_t end = text.find('\n', pos);
        if (end == std::string::npos)
            end = text.size();
        std::string line = text.substr(pos, end - pos);
        pos = end + 1;
        std::vector<std::string> f;
        size_t a = 0;
        for (;;) {
            size_t t = line.find('\t', a);
            f.push_back(line.substr(a, t == std::string::npos ? std::string::npos : t - a));
            if (t == std::string::npos)
                break;
            a = t + 1;
        }
        if (f.size() == 7)
            out.push_back({f[0], f[1], f[2], f[3], f[4], f[5], PercentDecode(f[6])});
    }
    return out;
}

class RecordingRow : public CPluginStatusSink {
public:
    void ShowStatus(const char* text) override { texts.push_back(text); }
    Texts texts;
};

std::vector<unsigned> g_waits;
void RecordSleep(unsigned ms) { g_waits.push_back(ms); }

class HttpPostTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_NE(Port("ZEVA_SIM_PORT"), 0) << "run beside the board simulator (run_with_sim.py)";
        g_waits.clear();
    }
    std::string Folder() const { return dir.Path() + "\\"; }
    std::string F(const std::string& name) const { return Folder() + name; }
    int Post(CWinInetPoster& poster, const std::string& url, const char* body, const char* user = "",
             const char* pass = "")
    {
        return poster.Post(&row, F("送信LOG.html").c_str(), url.c_str(), body, user, pass);
    }

    TempDir dir;
    RecordingRow row;
    HttpPostOptions direct;
};

TEST(HttpPostAgent, ComesFromTheVersionBlockOrIsTheProgramsOwn)
{
    char agent[300];
    HttpPost_UserAgent(agent, sizeof agent);
    EXPECT_STREQ(agent, "ZVTEST9.87z");   // this test program's own block
    TempDir dir;
    std::string plain = dir.Path() + "\\plain.exe";
    ASSERT_TRUE(WriteBytes(plain, "MZ not a real program"));
    HttpPost_UserAgent(agent, sizeof agent, plain.c_str());
    EXPECT_STREQ(agent, "ZEVA1.22c");
}

TEST_F(HttpPostTest, PostingPassSendsTheTemplatesBodyAndMovesTheArticle)
{
    std::string url = SimUrl("/post/ok.cgi");
    std::string ini = F("zeva_BBS.ini");
    Profile_WriteString("BASIC", "URL", url.c_str(), ini.c_str());
    Profile_WriteString("BASIC", "NAME", "A", ini.c_str());
    CSubj s;
    Parse(s, "#T:board\n#P:POST,$C,title=$T&name=$N&comment=$M\n"
             "S:*,*,04/05/06,12:00,U\nT:テスト\nN:nm\nM:x\n.\n");
    ASSERT_TRUE(WriteBytes(F("a.zvt"), Written(s)));

    CWinInetPoster poster(direct, RecordSleep);
    PostingContext ctx;
    ctx.row = &row;
    ctx.poster = &poster;
    ctx.sleep = RecordSleep;
    size_t before = Requests("/post/ok.cgi").size();
    PostingResult result;
    EXPECT_EQ(Patrol_PostArticles(Folder().c_str(), ctx, &result), 1);
    EXPECT_EQ(result.posted, 1);

    std::vector<Recorded> reqs = Requests("/post/ok.cgi");
    ASSERT_EQ(reqs.size(), before + 1);
    const Recorded& r = reqs.back();
    EXPECT_EQ(r.method, "POST");
    EXPECT_EQ(r.target, "/post/ok.cgi");
    EXPECT_EQ(r.body, "title=%83%65%83%58%83%67&name=A&comment=x%0D%0A");
    EXPECT_EQ(r.referer, url);
    EXPECT_EQ(r.agent, "ZVTEST9.87z");
    EXPECT_EQ(r.auth, "-");   // no credentials without both user and password

    EXPECT_EQ(row.texts, (Texts{"送信中(1)", "[ZEVA] 接続中...", "[ZEVA] 送信中..."}));
    EXPECT_TRUE(g_waits.empty());
    EXPECT_EQ(ReadBytes(F("送信LOG.html")), "<html><body><!-- 書き込みました --></body></html>");
    CSubj sent;
    sent.LoadFile(F("送信済み.zvt").c_str());
    ASSERT_EQ(sent.GetCount(), 1);
    EXPECT_STREQ(sent.GetTitle(0), "テスト");
    EXPECT_EQ(sent.GetItem(0).atr, ATR_U);
    CSubj left;
    left.LoadFile(F("a.zvt").c_str());
    EXPECT_EQ(left.GetCount(), 0);
}

TEST_F(HttpPostTest, ErrorCommentFailsThePostAndShowsTheReasonForTwoSeconds)
{
    // The reason runs up to the comment's end, blank included.
    CWinInetPoster poster(direct, RecordSleep);
    EXPECT_EQ(Post(poster, SimUrl("/post/err.cgi"), "title=t"), 0);
    EXPECT_EQ(row.texts, (Texts{"[ZEVA] 接続中...", "[ZEVA] 送信中...", "名前がありません "}));
    EXPECT_EQ(g_waits, std::vector<unsigned>{2000});
    EXPECT_EQ(ReadBytes(F("送信LOG.html")), "<html><body><!-- ERROR:名前がありません --></body></html>");
}

TEST_F(HttpPostTest, ServerAskingForCredentialsGetsThemOnce)
{
    // WinINet remembers credentials per server once they worked, so the case
    // that shows the retry comes first. With an empty password the connection
    // has no credentials: the 401 answer makes the poster set them on the
    // request and send once more (Wine's WinINet may put one more exchange
    // of its own into that send).
    CWinInetPoster poster(direct, RecordSleep);
    size_t before = Requests("/post/open.cgi").size();
    Debug_BeginCapture();
    EXPECT_EQ(Post(poster, SimUrl("/post/open.cgi"), "title=u", "usr", ""), 1);
    std::string debug = Debug_Take();
    std::vector<Recorded> reqs = Requests("/post/open.cgi");
    ASSERT_GE(reqs.size() - before, 2u);
    ASSERT_LE(reqs.size() - before, 3u);
    EXPECT_EQ(reqs[before].auth, "-");
    EXPECT_EQ(reqs.back().auth, "usr:");
    EXPECT_EQ(reqs.back().body, "title=u");
    EXPECT_EQ(debug, "SendPassword() - TRUE\nSendPassword() - FALSE\n");

    // Asked a second time: the post fails after that one more try.
    row.texts.clear();
    EXPECT_EQ(Post(poster, SimUrl("/post/auth.cgi"), "title=t", "usr", ""), 0);
    debug = Debug_Take();
    Debug_EndCapture();
    EXPECT_EQ(debug, "SendPassword() - TRUE\nSendPassword() - TRUE\n");
    EXPECT_EQ(row.texts, (Texts{"[ZEVA] 接続中...", "[ZEVA] 送信中...", "[ZEVA] リクエストに失敗しました."}));
    EXPECT_EQ(g_waits, std::vector<unsigned>{2000});

    // With user and password both set they go with the connection.
    EXPECT_EQ(Post(poster, SimUrl("/post/auth.cgi"), "title=v", "usr", "pw"), 1);
    reqs = Requests("/post/auth.cgi");
    ASSERT_FALSE(reqs.empty());
    EXPECT_EQ(reqs.back().auth, "usr:pw");
    EXPECT_EQ(reqs.back().body, "title=v");
}

TEST_F(HttpPostTest, ProxyAskingForCredentialsGetsThemOnce)
{
    HttpPostOptions proxied;
    proxied.proxyIE = 0;
    strcpy(proxied.proxyAdr, "127.0.0.1");
    proxied.proxyPort = Port("ZEVA_SIM_PORT");
    CWinInetPoster poster(proxied, RecordSleep);
    size_t before = Requests("/post/proxy.cgi").size();
    Debug_BeginCapture();
    EXPECT_EQ(Post(poster, SimUrl("/post/proxy.cgi"), "title=p", "pusr", "ppw"), 1);
    std::string debug = Debug_Take();
    Debug_EndCapture();
    std::vector<Recorded> reqs = Requests("/post/proxy.cgi");
    // The first send is refused; the proxy credentials are set once and the
    // post goes through (Wine's WinINet may itself send once more on the way).
    ASSERT_GE(reqs.size() - before, 2u);
    ASSERT_LE(reqs.size() - before, 3u);
    EXPECT_EQ(reqs.back().target, SimUrl("/post/proxy.cgi"));   // the absolute form a proxy gets
    EXPECT_EQ(debug, "SendPassword() - TRUE(Proxy)\nSendPassword() - FALSE\n");
    EXPECT_EQ(row.texts, (Texts{"[ZEVA] 接続中...", "[ZEVA] 送信中..."}));
}

TEST_F(HttpPostTest, LongAnswerIsReadLoggedAndJudgedByItsFirst3000Bytes)
{
    CWinInetPoster poster(direct, RecordSleep);
    EXPECT_EQ(Post(poster, SimUrl("/post/long.cgi"), "title=t"), 1);
    std::string log = ReadBytes(F("送信LOG.html"));
    ASSERT_EQ(log.size(), 3000u);
    EXPECT_EQ(log.substr(0, 6), "<html>");
    EXPECT_EQ(log.substr(2995), "<!-- ");
    EXPECT_TRUE(g_waits.empty());
}

TEST_F(HttpPostTest, UnreachableServerFailsWithTheRequestText)
{
    CWinInetPoster poster(direct, RecordSleep);
    std::string url = "http://127.0.0.1:" + std::to_string(Port("ZEVA_SIM_DEADPORT")) + "/x.cgi";
    EXPECT_EQ(Post(poster, url, "a=b"), 0);
    EXPECT_EQ(row.texts, (Texts{"[ZEVA] 接続中...", "[ZEVA] 送信中...", "[ZEVA] リクエストに失敗しました."}));
    EXPECT_EQ(g_waits, std::vector<unsigned>{2000});
}

TEST_F(HttpPostTest, HttpsAddressIsPostedOverASecureConnection)
{
    // The simulator speaks plain HTTP: a secure attempt never arrives there
    // as a POST, and the post fails.
    CWinInetPoster poster(direct, RecordSleep);
    size_t before = Requests("/post/ok.cgi").size();
    EXPECT_EQ(Post(poster, SimUrl("/post/ok.cgi", "https"), "a=b"), 0);
    EXPECT_EQ(Requests("/post/ok.cgi").size(), before);
    ASSERT_FALSE(row.texts.empty());
    EXPECT_EQ(row.texts.back(), "[ZEVA] リクエストに失敗しました.");
}

}  // namespace
